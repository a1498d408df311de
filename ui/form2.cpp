#include "form2.h"
#include "ui_form2.h"

#include "accessibility.h"
#include "pictures.h"

namespace ferolune::ui {

Form2::Form2(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<::Ui::Form2>())
{
    m_ui->setupUi(this);
    followScreenScale(this);
    readPictureAloud(this, QStringLiteral(":/assets/principle.json"), m_ui->Command1);
    // A fixed window with only a close box; not a dialog, so Esc leaves it open.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    connect(m_ui->Command1, &QPushButton::clicked, this, &QWidget::close);
}

Form2::~Form2() = default;

} // namespace ferolune::ui
