#include "app/HistoryDialog.h"
#include "records/FileDigest.h"
#include "records/RecordStore.h"
#include "sim/SimProcess.h"
#include "tests/app/LinkedForm.h"
#include "tests/app/ModalAnswerer.h"
#include "tests/support/FileText.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <utility>

namespace kronax::test {
namespace {

using records::BoardRecord;
using records::RecordStore;

// A window on a board with serial number 4711, its records in a store of the test's own.
class RecordsWindowTest : public testing::Test {
protected:
    RecordsWindowTest() : store_(std::getenv("KRONAX_RECORDS")) {
        qputenv("KRONAX_RECORDS", QByteArray::fromStdString(storeFile));
    }
    ~RecordsWindowTest() override { qputenv("KRONAX_RECORDS", store_.c_str()); }

    void Start(const std::string& settings = "") {
        std::ofstream(folder + "/settings.ini") << settings;
        ports.reset(); // restores the variable before it is set again
        ports = std::make_unique<ScopedPorts>(board.Folder());
        form = std::make_unique<LinkedForm>(TestEnvironment(folder + "/settings.ini"));
        form->Control<QTimer>("Timer2")->stop();
    }

    std::vector<BoardRecord> Records() { return RecordStore(storeFile).Query({}); }

    std::string store_;
    std::string folder = NewFolder();
    std::string storeFile = folder + "/records.sqlite3";
    sim::SimProcess board{std::vector<std::string>{"--serial", "4711"}};
    std::unique_ptr<ScopedPorts> ports;
    std::unique_ptr<LinkedForm> form;
};

TEST_F(RecordsWindowTest, AWriteIsRecordedWithTheBoardAskedAfterItsSixCommands) {
    Start();
    form->ApplyConfigurationtoKronax1Click();
    const auto records = Records();
    ASSERT_EQ(records.size(), 2u) << "the start-up read and the write";
    const BoardRecord& write = records[0];
    EXPECT_EQ(write.operation, "write");
    EXPECT_EQ(write.program, "kronax-config");
    EXPECT_EQ(write.Outcome(), "ok");
    ASSERT_TRUE(write.board);
    EXPECT_EQ(write.board->serialNumber, "4711");
    ASSERT_EQ(write.steps.size(), 7u);
    EXPECT_EQ(write.steps[5].command.substr(0, 7), "##SMMUX");
    EXPECT_EQ(write.steps[6].command, "??SMSETB");
    EXPECT_EQ(write.traffic.size(), 7u);
    EXPECT_EQ(records[1].operation, "startup-read");
    EXPECT_FALSE(records[1].board) << "a read that stores no file does not ask";
    EXPECT_TRUE(form->LogLines().last().startsWith("??SMSETB"));
}

// The record of an Open named the file as it was read again afterwards: a file replaced after
// the window decoded it was recorded by bytes that never reached the board.
TEST_F(RecordsWindowTest, AnOpenedFileIsRecordedByTheBytesThatWereSent) {
    struct ReplacingForm : LinkedForm {
        using LinkedForm::LinkedForm;
        std::function<void()> beforeSend;
        // Announce paints right before the configuration goes out.
        void PaintBeforeBlocking() override {
            if (beforeSend)
                std::exchange(beforeSend, nullptr)();
            LinkedForm::PaintBeforeBlocking();
        }
    };
    std::ofstream(folder + "/settings.ini") << "";
    ports = std::make_unique<ScopedPorts>(board.Folder());
    ReplacingForm window(TestEnvironment(folder + "/settings.ini"));
    const std::string file = folder + "/sent.kxcfg";
    window.saveAnswers.push_back(file);
    window.StoreConfigurationtoFile1Click();
    const std::string sent = ReadFileText(file);
    window.beforeSend = [&file] {
        std::ofstream(file, std::ios::app) << "; replaced\n";
    };
    window.openAnswers.push_back(file);
    window.LoadConfigurationfromFile1Click();
    const auto records = Records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].operation, "open-send");
    EXPECT_EQ(records[0].fileSha256, records::Sha256Hex(sent));
    EXPECT_NE(ReadFileText(file), sent) << "the file was replaced before the send";
}

TEST_F(RecordsWindowTest, TheHistoryDialogListsTheBoardsRecordsAndOpensOne) {
    Start();
    form->btnStartClick();
    QString report;
    int rows = -1;
    QString operation;
    // The row is activated once the dialog's own event loop runs; the report it opens is read
    // and closed, and then the dialog.
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = static_cast<QDialog*>(modal);
        if (auto* text = modal->findChild<QPlainTextEdit*>()) {
            report = text->toPlainText();
            dialog->accept();
            return;
        }
        auto* table = modal->findChild<QTableWidget*>("tblHistory");
        if (!table || rows >= 0) {
            if (!report.isEmpty())
                dialog->accept();
            return;
        }
        rows = table->rowCount();
        operation = table->item(0, 1)->text();
        QTimer::singleShot(0, table, [table] { emit table->cellActivated(0, 0); });
    });
    form->findChild<QAction*>("BoardHistory1")->trigger();
    EXPECT_EQ(rows, 1) << "start identified the board; the read did not";
    EXPECT_EQ(operation, "start");
    EXPECT_TRUE(report.contains("Board 4711")) << report.toStdString();
    EXPECT_TRUE(report.contains("##SMSTA\\r | !SMACK\\r")) << report.toStdString();
}

TEST_F(RecordsWindowTest, RecordingSwitchedOffOrFailingLeavesNoRecordAndFailingSaysSoInRed) {
    Start("[Records]\nEnabled=0\n");
    form->btnStartClick();
    EXPECT_TRUE(Records().empty());
    form.reset();

    std::filesystem::remove(storeFile);
    std::filesystem::create_directory(storeFile);
    Start();
    form->btnStartClick();
    EXPECT_EQ(form->Text("lblStart"), "Start aknowledged.");
    // The start's own outcome leads the status line; the missing record follows it.
    EXPECT_TRUE(form->Text("lblOutcome").startsWith("Start aknowledged. No record was kept: "))
        << form->Text("lblOutcome").toStdString();
}

} // namespace
} // namespace kronax::test
