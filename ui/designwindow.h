#pragma once

#include <QDialog>

#include <memory>
#include <vector>

QT_BEGIN_NAMESPACE
namespace Ui {
class DesignWindow;
}
QT_END_NAMESPACE

namespace ferolune::calc {
struct DesignCandidate;
}

namespace ferolune::ui {

// The reverse question: the standard parts for a target frequency and duty
// cycle, listed as the user types, with the selected design's circuit.
class DesignWindow : public QDialog
{
    Q_OBJECT

public:
    explicit DesignWindow(QWidget *parent = nullptr);
    ~DesignWindow() override;

signals:
    // The selected design as the entries' texts: R_A and R_B in Ω, C in μF.
    void filled(const QString &ra, const QString &rb, const QString &c);

private:
    void search();
    void showSelected();
    void fill();

    std::unique_ptr<::Ui::DesignWindow> m_ui;
    std::vector<calc::DesignCandidate> m_candidates;
};

} // namespace ferolune::ui
