#include "designwindow.h"
#include "ui_designwindow.h"

#include "circuitview.h"

#include "calc/design_search.h"

#include <QHeaderView>

#include <algorithm>

namespace ferolune::ui {

namespace {

QString fromCalc(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}

// With a list and no warning, the line says how to use it.
const QString ListHint = QStringLiteral("按误差从小到大排列；选中一行，按“填入”（或回车、双击）写入主窗口并计算");

} // namespace

DesignWindow::DesignWindow(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<::Ui::DesignWindow>())
{
    m_ui->setupUi(this);
    // One window among the program's others, not a box that waits for an answer.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);

    // Columns as wide as their widest values, so that the list does not
    // shift under the user's eyes as it changes, and all eight rows in view.
    QTableWidget *table = m_ui->candidateTable;
    const QFontMetrics metrics(table->font());
    const QString widest[] = {
        QStringLiteral("9.76 MΩ"),           QStringLiteral("9.76 MΩ"), QStringLiteral("1000 μF"),
        QStringLiteral("999.9 kHz"),         QStringLiteral("99.9%"),   QStringLiteral("> 999.9%"),
        QStringLiteral("867.6 Hz–1.172 kHz")};
    int width = 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column) {
        const int header = metrics.horizontalAdvance(table->horizontalHeaderItem(column)->text()) + 16;
        const int shown = std::max(
            metrics.horizontalAdvance(widest[column]) + metrics.horizontalAdvance(QStringLiteral("00")), header);
        table->setColumnWidth(column, shown);
        width += shown;
    }
    table->horizontalHeader()->setStretchLastSection(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = metrics.height() + 6;
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->setMinimumSize(width,
                          table->horizontalHeader()->sizeHint().height() + 8 * rowHeight + 2 * table->frameWidth());

    connect(m_ui->targetEdit, &QLineEdit::textChanged, this, &DesignWindow::search);
    connect(m_ui->dutyEdit, &QLineEdit::textChanged, this, &DesignWindow::search);
    connect(m_ui->resistorBox, &QComboBox::currentIndexChanged, this, &DesignWindow::search);
    connect(m_ui->capacitorBox, &QComboBox::currentTextChanged, this, &DesignWindow::search);
    connect(table, &QTableWidget::itemSelectionChanged, this, &DesignWindow::showSelected);
    // Enter reaches the default button from every field and from the list.
    connect(table, &QTableWidget::cellDoubleClicked, this, &DesignWindow::fill);
    connect(m_ui->fillButton, &QPushButton::clicked, this, &DesignWindow::fill);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
    search();
}

DesignWindow::~DesignWindow() = default;

void DesignWindow::search()
{
    const calc::DesignAnswer answer = calc::designFor(
        m_ui->targetEdit->text().toStdU16String(), m_ui->dutyEdit->text().toStdU16String(),
        calc::ResistorSeries(m_ui->resistorBox->currentIndex()), m_ui->capacitorBox->currentText().toStdU16String());
    m_candidates = answer.candidates;
    const QString message = answer.message.empty() ? ListHint : fromCalc(answer.message);
    m_ui->messageLabel->setText(message);

    QTableWidget *table = m_ui->candidateTable;
    const QSignalBlocker quiet(table);
    table->clearSelection();
    table->setRowCount(int(m_candidates.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto texts = calc::designRow(m_candidates[std::size_t(row)]);
        for (int column = 0; column < int(texts.size()); ++column) {
            auto *item = new QTableWidgetItem(fromCalc(texts[std::size_t(column)]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    if (!m_candidates.empty())
        table->selectRow(0);
    showSelected();
}

void DesignWindow::showSelected()
{
    const QList<QTableWidgetSelectionRange> ranges = m_ui->candidateTable->selectedRanges();
    const int row = ranges.isEmpty() ? -1 : ranges.first().topRow();
    m_ui->fillButton->setEnabled(row >= 0);
    if (row < 0) {
        m_ui->circuit->setValues({}, {}, {});
        return;
    }
    const calc::DesignCandidate &chosen = m_candidates[std::size_t(row)];
    m_ui->circuit->setValues(fromCalc(calc::partLabel(chosen.ra.value, calc::Unit::Ohm)),
                             fromCalc(calc::partLabel(chosen.rb.value, calc::Unit::Ohm)),
                             fromCalc(calc::partLabel(chosen.c.value, calc::Unit::Farad)));
}

void DesignWindow::fill()
{
    const QList<QTableWidgetSelectionRange> ranges = m_ui->candidateTable->selectedRanges();
    if (ranges.isEmpty())
        return;
    const calc::DesignCandidate &chosen = m_candidates[std::size_t(ranges.first().topRow())];
    emit filled(fromCalc(chosen.ra.text), fromCalc(chosen.rb.text), fromCalc(chosen.c.text));
}

} // namespace ferolune::ui
