#include "form1.h"
#include "ui_form1.h"

#include "application.h"
#include "form2.h"
#include "windowing.h"

#include "calc/numeric_text.h"
#include "calc/timing.h"

#include <variant>

namespace {

// What the user is told instead of results.
const QString IncompleteDataMessage = QStringLiteral("请填写完整的数据！");
const QString OverflowMessage = QStringLiteral("数值溢出，请检查输入的数据！");

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::Form1>())
{
    ui->setupUi(this);
    setWindowTitle(windowTitle().arg(ferolune::ui::CaptionVersion));

    // The form file keeps whole points only. The unit labels then take the
    // size of their text, so a stand-in for 宋体 with taller lines (or a wider
    // μ) is not clipped; their top-left corners stay where the form puts them.
    for (QLabel *label : {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label6}) {
        QFont font = label->font();
        font.setPointSizeF(10.5);
        label->setFont(font);
        label->adjustSize();
    }

    connect(ui->Command1, &QPushButton::clicked, this, &Form1::calculate);
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::showPrinciple);
    connect(ui->Command3, &QPushButton::clicked, this, &ferolune::ui::endProgram);

    ui->Text1->setFocus();
    ferolune::ui::centreOnScreen(this);
}

Form1::~Form1() = default;

void Form1::calculate()
{
    namespace calc = ferolune::calc;
    try {
        const calc::CalculateOutcome outcome = calc::Calculate({ui->Text1->text().toStdU16String(),
                                                                ui->Text2->text().toStdU16String(),
                                                                ui->Text3->text().toStdU16String()});
        if (const auto *texts = std::get_if<calc::TimingTexts>(&outcome)) {
            ui->Text4->setText(QString::fromStdU16String(texts->t1));
            ui->Text5->setText(QString::fromStdU16String(texts->t2));
            ui->Text6->setText(QString::fromStdU16String(texts->t));
        } else {
            ferolune::ui::showMessage(IncompleteDataMessage);
        }
    } catch (const calc::OverflowError &) {
        ferolune::ui::showMessage(OverflowMessage);
    }
}

void Form1::showPrinciple()
{
    if (!principle)
        principle = std::make_unique<Form2>();
    ferolune::ui::showModal(principle.get());
}
