#include "form1.h"
#include "ui_form1.h"

#include "application.h"
#include "form2.h"
#include "hintballoon.h"
#include "pictures.h"
#include "waveform.h"
#include "windowing.h"

#include "calc/numeric_text.h"
#include "calc/readout.h"
#include "calc/timing.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>

#include <utility>
#include <variant>

namespace ferolune::ui {

namespace {

// What the user is told instead of results.
const QString IncompleteDataMessage = QStringLiteral("请填写完整的数据！");
const QString OverflowMessage = QStringLiteral("数值溢出，请检查输入的数据！");

constexpr QStringView ReadoutPlaceholder = u"按“计算”后，这里显示精确值、频率和占空比";
constexpr QStringView StaleReadout = u"以下是上次计算的结果，输入已改动，按“计算”更新";

// A screen reader announces what the tooltip shows.
void describe(QLineEdit *box, const QString &detail)
{
    box->setToolTip(detail);
    box->setAccessibleDescription(detail);
}

void describe(QLineEdit *box, std::u16string_view detail)
{
    describe(box, QString::fromStdU16String(std::u16string(detail)));
}

// The tooltip as rich text, line for line: what the user typed is shown as
// typed, never taken for markup, and long lines are not wrapped.
QString toolTipHtml(const QString &plain)
{
    return QStringLiteral("<p style=\"white-space:pre\">%1</p>")
        .arg(plain.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")));
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<::Ui::Form1>())
{
    m_ui->setupUi(this);
    setWindowTitle(windowTitle().arg(CaptionVersion));

    // The colours are ferolune.json's, which the picture generator and the tests read too.
    QPalette orange = palette();
    orange.setColor(QPalette::Window, QColor(FEROLUNE_COLOUR_ORANGE));
    setPalette(orange);
    // The group boxes show the window's orange through.
    setStyleSheet(
        QStringLiteral("QGroupBox { border: 2px groove rgb(128, 128, 128); margin-top: 6px; }\n"
                       "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 1px; color: %1; }")
            .arg(QColor(FEROLUNE_COLOUR_BLUE).name()));
    for (QLineEdit *box : {m_ui->Text4, m_ui->Text5, m_ui->Text6}) {
        QPalette lightPink = box->palette();
        lightPink.setColor(QPalette::Base, QColor(FEROLUNE_COLOUR_LIGHT_PINK));
        box->setPalette(lightPink);
    }
    followScreenScale(this);

    // The form file keeps whole points only. The unit labels then take the
    // size of their text, so a stand-in for 宋体 with taller lines (or a wider
    // μ) is not clipped; their top-left corners stay where the form puts them.
    for (QLabel *label : {m_ui->Label1, m_ui->Label2, m_ui->Label3, m_ui->Label4, m_ui->Label5, m_ui->Label6}) {
        QFont font = label->font();
        font.setPointSizeF(10.5);
        label->setFont(font);
        label->adjustSize();
    }

    // The detail behind the two decimals lives where nothing of the window
    // changes: the tooltip, the accessible description and the context menu.
    for (QLineEdit *box : {m_ui->Text4, m_ui->Text5, m_ui->Text6}) {
        describe(box, ReadoutPlaceholder.toString());
        box->installEventFilter(this);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, box](const QPoint &position) { showResultMenu(box, position); });
    }

    // An entry longer than its box shows its leading digits once the focus has
    // moved on to another control, as the results do; a switch to another window
    // leaves the caret where the user put it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (now && (old == m_ui->Text1 || old == m_ui->Text2 || old == m_ui->Text3))
            static_cast<QLineEdit *>(old)->setCursorPosition(0);
    });

    // The entries tell their unit and how a number is read from them.
    const std::pair<QLineEdit *, calc::Entry> entries[] = {
        {m_ui->Text1, calc::Entry::Ra}, {m_ui->Text2, calc::Entry::Rb}, {m_ui->Text3, calc::Entry::C}};
    for (const auto &[box, entry] : entries) {
        describe(box, calc::entryHint(entry));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, box, entry] { entryEdited(box, entry); });
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
        const calc::TimingInput input{m_ui->Text1->text().toStdU16String(), m_ui->Text2->text().toStdU16String(),
                                      m_ui->Text3->text().toStdU16String()};
        const calc::CalculateOutcome outcome = calc::Calculate(input);
        if (const auto *texts = std::get_if<calc::TimingTexts>(&outcome)) {
            m_ui->Text4->setText(QString::fromStdU16String(texts->t1));
            m_ui->Text5->setText(QString::fromStdU16String(texts->t2));
            m_ui->Text6->setText(QString::fromStdU16String(texts->t));
            // A result longer than its box shows its leading digits.
            for (QLineEdit *box : {m_ui->Text4, m_ui->Text5, m_ui->Text6})
                box->setCursorPosition(0);

            const auto show = [this](QLineEdit *box, const calc::ResultReadout &readout) {
                const QString detail = QString::fromStdU16String(readout.detail);
                describe(box, detail);
                m_details.insert(box, detail);
                m_exactValues.insert(box, QString::fromStdU16String(readout.exact));
            };
            const calc::TimingReadout readout = calc::timingReadout(input, *texts);
            show(m_ui->Text4, readout.t1);
            show(m_ui->Text5, readout.t2);
            show(m_ui->Text6, readout.t);
            describe(m_ui->Text1, readout.ra);
            describe(m_ui->Text2, readout.rb);
            describe(m_ui->Text3, readout.c);
            // Only a design of positive parts oscillates as the formulas say;
            // with no negative resistance, T > 0 also means C > 0.
            const calc::EnteredValues &read = texts->read;
            m_waveform.reset();
            if (read.ra >= 0 && read.rb >= 0 && texts->times.t > 0)
                m_waveform = texts->times;
            showHint(readout.hint);
        } else {
            showHint({});
            showMessage(IncompleteDataMessage);
        }
    } catch (const calc::OverflowError &) {
        showHint({});
        showMessage(OverflowMessage);
    }
}

// Said at the box it is about, where the two decimals or an entry mislead.
void Form1::showHint(const calc::CalculationHint &hint)
{
    if (hint.place == calc::HintPlace::None) {
        if (m_hint)
            m_hint->hide();
        return;
    }
    if (!m_hint)
        m_hint = new HintBalloon(this);
    QLineEdit *const boxes[] = {m_ui->Text1, m_ui->Text2, m_ui->Text3, m_ui->Text6};
    m_hint->showAt(boxes[int(hint.place) - int(calc::HintPlace::Ra)], QString::fromStdU16String(hint.text));
}

// Once an entry no longer holds what was calculated, nothing presents the last
// results as its own: the entry tells its hint again, the result boxes say
// whose they are.
void Form1::entryEdited(QLineEdit *entry, calc::Entry which)
{
    describe(entry, calc::entryHint(which));
    for (QLineEdit *box : {m_ui->Text4, m_ui->Text5, m_ui->Text6}) {
        if (m_details.contains(box))
            describe(box, StaleReadout.toString() + QLatin1Char('\n') + m_details.value(box));
    }
}

// Qt's own menu of the box, in Chinese, with the exact value last.
void Form1::showResultMenu(QLineEdit *box, const QPoint &position)
{
    QMenu *menu = box->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction *copyExact = menu->addAction(QStringLiteral("复制精确值"));
    const QString exact = m_exactValues.value(box);
    copyExact->setEnabled(!exact.isEmpty());
    connect(copyExact, &QAction::triggered, this, [exact] { QGuiApplication::clipboard()->setText(exact); });
    menu->popup(box->mapToGlobal(position));
}

// Every box's tooltip goes out as rich text; the T box's also shows the
// waveform, drawn only now that it is about to show.
bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::eventFilter(watched, event);

    // Only the six boxes are watched, and each always has a tooltip.
    auto *box = static_cast<QLineEdit *>(watched);

    QString html = toolTipHtml(box->toolTip());
    if (box == m_ui->Text6 && m_waveform)
        html += waveformHtml(m_waveform->t1, m_waveform->t2, box->devicePixelRatio());
    QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), html, box, {}, box->toolTipDuration());
    return true;
}

void Form1::showPrinciple()
{
    if (!m_principle)
        m_principle = std::make_unique<Form2>();
    showModal(m_principle.get());
}

} // namespace ferolune::ui
