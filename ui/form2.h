#pragma once

#include <QWidget>

#include <memory>

QT_BEGIN_NAMESPACE
namespace Ui {
class Form2;
}
QT_END_NAMESPACE

namespace ferolune::ui {

// The principle window: the formulas as a picture and a button that closes it.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);
    ~Form2() override;

private:
    std::unique_ptr<::Ui::Form2> m_ui;
};

} // namespace ferolune::ui
