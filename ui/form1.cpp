#include "form1.h"
#include "ui_form1.h"

#include "application.h"
#include "form2.h"
#include "windowing.h"

#include "calc/numeric_text.h"
#include "calc/timing.h"

#include <variant>

namespace ferolune::ui {

namespace {

// What the user is told instead of results.
const QString IncompleteDataMessage = QStringLiteral("请填写完整的数据！");
const QString OverflowMessage = QStringLiteral("数值溢出，请检查输入的数据！");

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<::Ui::Form1>())
{
    m_ui->setupUi(this);
    setWindowTitle(windowTitle().arg(CaptionVersion));

    // The form file keeps whole points only. The unit labels then take the
    // size of their text, so a stand-in for 宋体 with taller lines (or a wider
    // μ) is not clipped; their top-left corners stay where the form puts them.
    for (QLabel *label : {m_ui->Label1, m_ui->Label2, m_ui->Label3, m_ui->Label4, m_ui->Label5, m_ui->Label6}) {
        QFont font = label->font();
        font.setPointSizeF(10.5);
        label->setFont(font);
        label->adjustSize();
    }

    connect(m_ui->Command1, &QPushButton::clicked, this, &Form1::calculate);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Form1::showPrinciple);
    connect(m_ui->Command3, &QPushButton::clicked, this, &endProgram);

    m_ui->Text1->setFocus();
    centreOnScreen(this);
}

Form1::~Form1() = default;

void Form1::calculate()
{
    try {
        const calc::CalculateOutcome outcome = calc::Calculate({m_ui->Text1->text().toStdU16String(),
                                                                m_ui->Text2->text().toStdU16String(),
                                                                m_ui->Text3->text().toStdU16String()});
        if (const auto *texts = std::get_if<calc::TimingTexts>(&outcome)) {
            m_ui->Text4->setText(QString::fromStdU16String(texts->t1));
            m_ui->Text5->setText(QString::fromStdU16String(texts->t2));
            m_ui->Text6->setText(QString::fromStdU16String(texts->t));
        } else {
            showMessage(IncompleteDataMessage);
        }
    } catch (const calc::OverflowError &) {
        showMessage(OverflowMessage);
    }
}

void Form1::showPrinciple()
{
    if (!m_principle)
        m_principle = std::make_unique<Form2>();
    showModal(m_principle.get());
}

} // namespace ferolune::ui
