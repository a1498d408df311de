#pragma once

#include <QHash>
#include <QWidget>

#include "calc/readout.h"
#include "calc/timing.h"

#include <memory>
#include <optional>

QT_BEGIN_NAMESPACE
class QLineEdit;
namespace Ui {
class Form1;
}
QT_END_NAMESPACE

namespace ferolune::ui {

class Form2;
class HintBalloon;

// The main window: three entries, three results and the three buttons.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void calculate();
    void showPrinciple();
    void showResultMenu(QLineEdit *box, const QPoint &position);
    void showHint(const calc::CalculationHint &hint);
    void entryEdited(QLineEdit *entry, calc::Entry which);

    std::unique_ptr<::Ui::Form1> m_ui;
    // Created on first use and kept for the rest of the run; it has no owner.
    std::unique_ptr<Form2> m_principle;
    // Each result box's detail and the value it copies exactly, once there are any.
    QHash<const QLineEdit *, QString> m_details;
    QHash<const QLineEdit *, QString> m_exactValues;
    // Made when there is first something to say.
    HintBalloon *m_hint = nullptr;
    // The times the T box's tooltip draws, for a design that has a waveform.
    std::optional<calc::TimingResult> m_waveform;
};

} // namespace ferolune::ui
