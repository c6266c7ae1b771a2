#include "app/WindowLook.h"
#include "cli/KronaxCommand.h"
#include "config_file/IniFile.h"
#include "exchange/BoardPort.h"
#include "sim/SimProcess.h"
#include "tests/app/LinkedForm.h"
#include "tests/app/ModalAnswerer.h"
#include "tests/support/LockedPty.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

namespace kronax::test {
namespace {

using sim::SimProcess;

// A window whose settings remember a port that is not present, so that start-up reads nothing
// and each test decides when to connect.
std::unique_ptr<LinkedForm> IdleWindow() {
    const std::string settings = NewFolder() + "/settings.ini";
    IniFile(settings).WriteEntry("General", "ComPortNo", "99");
    return std::make_unique<LinkedForm>(TestEnvironment(settings));
}

bool ShownInRed(const QLabel* label) {
    return label->palette().color(QPalette::WindowText) == FailureRed;
}

QLabel* Outcome(const LinkedForm& form) {
    return form.Control<QLabel>("lblOutcome");
}

QString Connection(const LinkedForm& form) {
    return form.Control<QLabel>("lblPort")->text();
}

TEST(StatusBarTest, EachWriteAndReadEndsWithItsSummaryInRedWhenALineFailed) {
    const struct {
        std::vector<std::string> boardOptions;
        const char* read;
        const char* write;
    } cases[] = {
        {{}, "Configuration read: 6 of 6 received.", "Configuration written: 6 of 6 acknowledged."},
        {{"--crlf"},
         "Configuration read: 0 of 6 received. First failure: CA parameters NOT received "
         "correctly.",
         "Configuration written: 6 of 6 acknowledged."},
        {{"--refuse", "##SMCDM"},
         "Configuration read: 6 of 6 received.",
         "Configuration written: 5 of 6 acknowledged. First failure: CDM parameters NOT "
         "acknowledged."},
        {{"--silent"},
         "Configuration read: 0 of 6 received. First failure: CA parameters timeout.",
         "Configuration written: 0 of 6 acknowledged. First failure: CA parameters timeout."},
    };
    for (const auto& c : cases) {
        SimProcess board(c.boardOptions);
        ScopedPorts ports(board.Folder());
        auto form = IdleWindow();
        form->Pick("COM1");
        EXPECT_EQ(Outcome(*form)->text(), c.read);
        EXPECT_EQ(ShownInRed(Outcome(*form)), !QString(c.read).contains("6 of 6")) << c.read;
        EXPECT_TRUE(Connection(*form).startsWith(QString::fromUtf8("COM1 \u00b7 ")))
            << Connection(*form).toStdString();

        form->ApplyConfigurationtoKronax1Click();
        EXPECT_EQ(Outcome(*form)->text(), c.write);
        EXPECT_EQ(ShownInRed(Outcome(*form)), !QString(c.write).contains("6 of 6")) << c.write;
        const QString report = form->Text("lblReport");
        EXPECT_EQ(report.count("\r\n"), 6) << "the report itself is unchanged";
        QStringList lines = report.trimmed().split("\r\n");
        for (QString& line : lines)
            line.replace('\r', "\\r").replace('\n', "\\n");
        EXPECT_EQ(Outcome(*form)->toolTip(), lines.join('\n')) << "hovering shows the report";
    }
}

TEST(StatusBarTest, CommandsWithoutAnOpenPortSayNothingWasSent) {
    auto form = IdleWindow();
    EXPECT_EQ(Connection(*form), "No com port opened.");
    form->ApplyConfigurationtoKronax1Click();
    EXPECT_EQ(Outcome(*form)->text(), "Write Configuration not sent: no com port opened.");
    EXPECT_TRUE(ShownInRed(Outcome(*form)));
    EXPECT_TRUE(form->Text("lblReport").endsWith("MUX timeout.\r\n")) << "the report as before";
    form->btnStartClick();
    EXPECT_EQ(form->Text("lblStart"), "Start timeout.");
    EXPECT_EQ(Outcome(*form)->text(), "Start Algorithms not sent: no com port opened.");
}

TEST(StatusBarTest, PowerOnDefaultAndSaveAreSummarised) {
    SimProcess board({"--refuse", "##SMSETP"});
    ScopedPorts ports(board.Folder());
    auto form = IdleWindow();
    form->Pick("COM1");
    form->SetPowerOnDefault();
    EXPECT_EQ(Outcome(*form)->text(), "Setting power on defaults NOT acknowledged.");
    EXPECT_TRUE(ShownInRed(Outcome(*form)));

    const std::string file = NewFolder() + "/saved.kxcfg";
    form->saveAnswers.push_back(file);
    form->StoreConfigurationtoFile1Click();
    EXPECT_EQ(Outcome(*form)->text(), "Configuration saved to saved.kxcfg.");
    EXPECT_FALSE(ShownInRed(Outcome(*form)));

    // The error box keeps its fixed text; the status bar adds why.
    const std::string nowhere = NewFolder() + "/missing/saved.kxcfg";
    form->saveAnswers.push_back(nowhere);
    ModalAnswerer answerer;
    form->Control<QAction>("StoreConfigurationtoFile1")->trigger();
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_EQ(answerer.boxes[0], QString::fromStdString("Unable to write to " + nowhere));
    EXPECT_EQ(Outcome(*form)->text().toStdString(),
              "Save stopped: Unable to write to " + nowhere + ": no such file or directory");
}

TEST(StatusBarTest, FailedOpeningNamesThePortAndWhyAndKeepsTheSpecifiedLabel) {
    const std::string folder = NewFolder();
    const test::LockedPty locked;
    std::filesystem::create_symlink(locked.DevicePath(), folder + "/COM4");
    ScopedPorts ports(folder);
    auto form = IdleWindow();
    form->Pick("COM4");
    EXPECT_EQ(form->Text("lblConnection"), "No com port opened.");
    EXPECT_EQ(form->PortList()->currentIndex(), -1);
    EXPECT_EQ(Outcome(*form)->text(), "COM4 could not be opened: disconnected.");
    EXPECT_TRUE(ShownInRed(Outcome(*form)));
    EXPECT_EQ(Connection(*form), "No com port opened.");
}

// An adapter plugged in after start-up appears when the list drops down; its device is shown.
TEST(PortListTest, DroppingDownListsABoardStartedAfterTheWindow) {
    const std::string folder = NewFolder();
    ScopedPorts ports(folder);
    auto form = IdleWindow();
    form->show();
    ASSERT_EQ(form->PortList()->count(), 0);

    SimProcess board({"--ports-dir", folder});
    form->PortList()->showPopup();
    ASSERT_EQ(form->PortList()->count(), 1);
    form->PortList()->hidePopup();
    const QString device = form->PortList()->model()->index(0, 1).data().toString();
    EXPECT_TRUE(device.startsWith("/dev/pts/")) << device.toStdString();
    EXPECT_TRUE(form->PortList()->itemData(0, Qt::ToolTipRole).toString().contains(device));

    form->Pick("COM1");
    EXPECT_EQ(form->LogLines().size(), 6) << "the new port opens and is read";
    form->PortList()->showPopup();
    form->PortList()->hidePopup();
    EXPECT_EQ(form->PortList()->currentText(), "COM1") << "the selection survives a refresh";
}

// The board's adapter unplugged and plugged back, as the simulator's port going and coming.
TEST(DisconnectTest, VanishedBoardClosesThePortAndComesBackOnlyWhenPicked) {
    const std::string folder = NewFolder();
    ScopedPorts ports(folder);
    auto board = std::make_unique<SimProcess>(std::vector<std::string>{"--ports-dir", folder});
    auto form = IdleWindow();
    form->Pick("COM1");
    ASSERT_EQ(form->LogLines().size(), 6);

    board.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Text("lblConnection").isEmpty(); }, 10000));
    EXPECT_EQ(form->Text("lblConnection"), "No com port opened.");
    EXPECT_EQ(Outcome(*form)->text(),
              "COM1 was disconnected. Pick it again in the port list once it is back.");
    EXPECT_EQ(Connection(*form), "No com port opened.");
    form->ApplyConfigurationtoKronax1Click();
    EXPECT_EQ(Outcome(*form)->text(), "Write Configuration not sent: COM1 was disconnected.");
    EXPECT_EQ(form->LogLines().size(), 6) << "nothing reaches a port that is gone";

    board = std::make_unique<SimProcess>(std::vector<std::string>{"--ports-dir", folder});
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->PortList()->findText("COM1") >= 0; }, 10000));
    EXPECT_EQ(Outcome(*form)->text(), "COM1 is back: pick it in the port list to reconnect.");
    EXPECT_EQ(form->LogLines().size(), 6) << "no reconnection on its own";
    form->Pick("COM1");
    EXPECT_EQ(form->Text("lblConnection"), "");
    EXPECT_EQ(form->LogLines().size(), 12);
    EXPECT_EQ(Outcome(*form)->text(), "Configuration read: 6 of 6 received.");
}

// A board that dies without taking its port name along: the next command meets a hung-up line.
TEST(DisconnectTest, HungUpLineEndsTheCommandWithTheDisconnectedMessageNotAnErrorBox) {
    SimProcess board;
    ScopedPorts ports(board.Folder());
    auto form = IdleWindow();
    form->Pick("COM1");
    form->Control<QTimer>("tmrPortWatch")->stop();
    board.Stop(SIGKILL);

    ModalAnswerer answerer;
    form->Control<QPushButton>("btnStart")->click();
    EXPECT_TRUE(answerer.boxes.empty()) << answerer.boxes.front().toStdString();
    EXPECT_EQ(form->Text("lblConnection"), "No com port opened.");
    EXPECT_EQ(Outcome(*form)->text(),
              "COM1 was disconnected. Pick it again in the port list once it is back.");
    form->Control<QPushButton>("btnStatus")->click();
    EXPECT_EQ(Outcome(*form)->text(), "Read Status not sent: COM1 was disconnected.");
    EXPECT_TRUE(answerer.boxes.empty());

    // The name still links to where the board's device was: no port is there, and none comes
    // back. (A closed pseudo-terminal's number may go to another test's at once, so the link is
    // pointed at a path that surely stays free.)
    const std::string link = board.Folder() + "/COM1";
    std::filesystem::remove(link);
    std::filesystem::create_symlink(board.Folder() + "/gone", link);
    // The watch's ticks, as its timer would give them.
    form->Form().WatchPorts();
    form->Form().WatchPorts();
    EXPECT_EQ(form->PortList()->findText("COM1"), -1);
    EXPECT_EQ(Outcome(*form)->text(), "Read Status not sent: COM1 was disconnected.");
}

// The line hangs up while the command that went out waits for its answer: the board may hold it,
// and the operator is told so.
TEST(DisconnectTest, ALineLostAfterTheCommandWentOutSaysItWasSentWithNoAnswer) {
    const std::string log = NewFolder() + "/board.log";
    SimProcess board({"--ignore", "##SMSTA", "--log", log});
    ScopedPorts ports(board.Folder());
    auto form = IdleWindow();
    form->Pick("COM1");
    form->Control<QTimer>("tmrPortWatch")->stop();
    std::thread unplug([&board, &log] {
        EXPECT_TRUE(WaitForFileText(log, "##SMSTA"));
        board.Stop(SIGKILL);
    });
    form->Control<QPushButton>("btnStart")->click();
    unplug.join();
    EXPECT_EQ(Outcome(*form)->text(),
              "COM1 was disconnected. Pick it again in the port list once it is back. Its last "
              "command was sent and got no answer: the board may hold it.");
}

// The device goes while the read's last query waits for its answer and the line does not hang
// up: the query times out before the watch finds the port gone, and the drop still says the
// board may hold it.
TEST(DisconnectTest, APortGoneDuringAnUnansweredCommandSaysItWasSentWithNoAnswer) {
    const std::string folder = NewFolder();
    ScopedPorts ports(folder);
    auto board = std::make_unique<SimProcess>(
        std::vector<std::string>{"--ports-dir", folder, "--ignore", "??SMMUX"});
    auto form = IdleWindow();
    form->Pick("COM1");
    board.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Text("lblConnection").isEmpty(); }, 10000));
    EXPECT_EQ(Outcome(*form)->text(),
              "COM1 was disconnected. Pick it again in the port list once it is back. Its last "
              "command was sent and got no answer: the board may hold it.");
}

// During a read from a board that leaves a query unanswered, the operator clicks Start and
// presses Enter in an entry field (which writes). Neither may run once the read is over.
TEST(WaitTest, InputGivenWhileCommandsRunIsDroppedAndTheWaitCursorShows) {
    const std::string boardLog = NewFolder() + "/board.log";
    SimProcess board({"--ignore", "??SMSEN", "--log", boardLog});
    ScopedPorts ports(board.Folder());
    auto form = IdleWindow();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->Pick("COM1");
    form->Control<QWidget>("gbDebug")->show(); // a hidden log takes its lines only afterwards
    auto* log = form->Control<QPlainTextEdit>("memDebug");
    log->clear();
    std::vector<Qt::CursorShape> cursors;
    QObject::connect(log, &QPlainTextEdit::textChanged, [&] {
        const QCursor* cursor = QApplication::overrideCursor();
        cursors.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
    });

    auto* start = form->Control<QPushButton>("btnStart");
    const QPoint centre = start->rect().center();
    QEvent* input[] = {
        new QMouseEvent(QEvent::MouseButtonPress, centre, start->mapToGlobal(centre),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier),
        new QMouseEvent(QEvent::MouseButtonRelease, centre, start->mapToGlobal(centre),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier),
        new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier),
    };
    QObject* targets[] = {start, start, form->Control<QLineEdit>("edTooth1")};
    // The operator's hand moves while the read waits for the board's unanswered query.
    std::thread operatorHand([&] {
        // The pick's read asked once already.
        EXPECT_TRUE(WaitForFileText(boardLog, "??SMSEN", 2));
        for (int i = 0; i < 3; ++i)
            QCoreApplication::postEvent(targets[i], input[i]);
    });
    form->Control<QAction>("LoadConfigurationfromKronax1")->trigger();
    operatorHand.join();
    QCoreApplication::processEvents();

    const QStringList lines = form->LogLines();
    ASSERT_EQ(lines.size(), 6) << lines.join('\n').toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(line.startsWith("??SM")) << line.toStdString();
    EXPECT_EQ(cursors, std::vector<Qt::CursorShape>(6, Qt::WaitCursor));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form->Text("lblStart"), "");
}

// The window and kronax meet the same failure of the same port and say it in the same words.
TEST(PortFailureWordsTest, WindowAndKronaxDescribeAPortAnotherProgramHoldsAlike) {
    SimProcess board;
    ScopedPorts ports(board.Folder());
    const auto held = OpenBoardPort("COM1", false);
    auto form = IdleWindow();
    form->Pick("COM1");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::RunKronax({"start", "--port", "COM1"}, out, err), 3);

    // Written out: the same wrong words in both front ends would pass a comparison of the two.
    const std::string words = "could not be opened: busy (another program holds it)";
    EXPECT_EQ(Outcome(*form)->text().toStdString(), "COM1 " + words + ".");
    EXPECT_EQ(err.str(), "COM1: the port " + words + "\n");
}

} // namespace
} // namespace kronax::test
