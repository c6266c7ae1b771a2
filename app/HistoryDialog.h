#pragma once

#include "records/BoardRecord.h"

#include <QDialog>

#include <string>
#include <vector>

class QTableWidget;

namespace kronax {

namespace records {
class RecordStore;
}

// The table of a board's records, newest first: time (UTC), operation, outcome, file, station.
// Activating a row shows that record's steps and traffic log. UI thread only.
class HistoryDialog : public QDialog {
    Q_OBJECT
public:
    HistoryDialog(std::vector<records::BoardRecord> records, const QString& subject,
                  QWidget* parent);

    // Shows the records of the board boardSerial, or of the port when no board was identified;
    // says so when there is no store (recording switched off or the store failed).
    static void ShowFor(QWidget* parent, records::RecordStore* store,
                        const std::string& boardSerial, const std::string& port);

private:
    void ShowRecord(int row);

    std::vector<records::BoardRecord> records_;
    QTableWidget* table_;
};

// The record's steps and traffic log as text for people.
QString RecordReport(const records::BoardRecord& record);

} // namespace kronax
