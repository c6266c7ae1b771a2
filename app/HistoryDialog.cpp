#include "app/HistoryDialog.h"

#include "app/SystemText.h"
#include "app/WindowLook.h"
#include "records/RecordStore.h"
#include "records/RecordTime.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kronax {
namespace {

// How many records the table shows at most; the command line's history shows them all.
constexpr std::size_t TableLimit = 1000;

QStringList RowTexts(const records::BoardRecord& record) {
    return {QString::fromStdString(records::UtcTimeText(record.startedMs)),
            QString::fromStdString(record.operation), QString::fromStdString(record.Outcome()),
            FromSystemText(record.filePath.value_or("")), FromSystemText(record.station)};
}

} // namespace

QString RecordReport(const records::BoardRecord& record) {
    QString text = "Record " + QString::fromStdString(record.id) + "\n";
    if (record.board)
        text += "Board " + FromSystemText(record.board->serialNumber) + "\n";
    if (record.fileSha256)
        text += "SHA-256 " + QString::fromStdString(*record.fileSha256) + "\n";
    for (const records::RecordedStep& step : record.steps)
        text += FromSystemText(step.command) + ": " + QString::fromStdString(step.outcome) + "\n";
    text += "\n";
    for (const records::RecordedLogLine& line : record.traffic)
        text += "+" + QString::number(line.offsetMs) + " ms  " + FromSystemText(line.line) + "\n";
    return text;
}

HistoryDialog::HistoryDialog(std::vector<records::BoardRecord> records, const QString& subject,
                             QWidget* parent)
    : QDialog(parent), records_(std::move(records)), table_(new QTableWidget(this)) {
    setObjectName("HistoryDialog");
    setWindowTitle("Board History: " + subject);
    table_->setObjectName("tblHistory");
    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels({"Time (UTC)", "Operation", "Outcome", "File", "Station"});
    table_->setRowCount(static_cast<int>(records_.size()));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    for (std::size_t row = 0; row < records_.size(); ++row) {
        const QStringList texts = RowTexts(records_[row]);
        for (int column = 0; column < texts.size(); ++column)
            table_->setItem(static_cast<int>(row), column, new QTableWidgetItem(texts[column]));
    }
    table_->resizeColumnsToContents();
    connect(table_, &QTableWidget::cellActivated, this, [this](int row, int) { ShowRecord(row); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    resize(720, 360);
}

void HistoryDialog::ShowRecord(int row) {
    QDialog report(this);
    report.setObjectName("RecordReport");
    report.setWindowTitle("Record");
    auto* text = new QPlainTextEdit(RecordReport(records_[static_cast<std::size_t>(row)]), &report);
    text->setReadOnly(true);
    auto* layout = new QVBoxLayout(&report);
    layout->addWidget(text);
    report.resize(640, 400);
    report.exec();
}

void HistoryDialog::ShowFor(QWidget* parent, records::RecordStore* store,
                            const std::string& boardSerial, const std::string& port) {
    if (!store) {
        QMessageBox box(QMessageBox::Information, "Board History",
                        "No records are kept: the record store is switched off or failed.",
                        QMessageBox::Ok, parent);
        UseWindowLook(&box);
        box.exec();
        return;
    }
    records::RecordFilter filter;
    if (boardSerial.empty())
        filter.port = port;
    else
        filter.boardSerial = boardSerial;
    filter.limit = TableLimit;
    const QString subject = boardSerial.empty() ? "port " + QString::fromStdString(port)
                                                : "board " + FromSystemText(boardSerial);
    HistoryDialog dialog(store->Query(filter), subject, parent);
    dialog.exec();
}

} // namespace kronax
