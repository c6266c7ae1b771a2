#include "exchange/BoardPort.h"
#include "exchange/CommandTransaction.h"
#include "exchange/SteadyTickSource.h"
#include "sim/SimProcess.h"
#include "tests/app/LinkedForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace kronax::test {
namespace {

using sim::SimProcess;

const QString Title = "VOXA-KRONAX Configuration V 1.0";

// A window on a simulated board (or on no port at all) whose tick a test moves by hand. The
// window's own timer is stopped so that only the test's calls of Timer2Timer expire labels.
class BoardWindow {
public:
    explicit BoardWindow(const std::vector<std::string>& boardOptions, bool withBoard = true) {
        if (withBoard) {
            board = std::make_unique<SimProcess>(boardOptions);
            ports = std::make_unique<ScopedPorts>(board->Folder());
        }
        form = std::make_unique<LinkedForm>(TestEnvironment(NewFolder() + "/settings.ini", ticks));
        form->Control<QTimer>("Timer2")->stop();
    }

    std::shared_ptr<OffsetTicks> ticks = std::make_shared<OffsetTicks>();
    std::unique_ptr<SimProcess> board;
    std::unique_ptr<ScopedPorts> ports;
    std::unique_ptr<LinkedForm> form;
};

QMessageBox* BoardInformationBox() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "BoardInformationBox" && widget->isVisible())
            return qobject_cast<QMessageBox*>(widget);
    return nullptr;
}

// Start and Read Status also left the status line showing the operation before them.
TEST(BoardCommandsWindowTest, EachOutcomeLandsInItsLabelAndStartAndStatusInTheStatusLine) {
    const struct {
        std::vector<std::string> boardOptions;
        bool withBoard;
        const char* start;
        const char* status;
        const char* powerOnDefault;
        const char* startLine;
        const char* statusLine;
    } cases[] = {
        {{},
         true,
         "Start aknowledged.",
         "Status: RUNNING\r",
         "Setting power on defaults aknowledged.",
         "Start aknowledged.",
         "Status: RUNNING"},
        {{"--refuse", "##SMSTA,??SMSTA,##SMSETP"},
         true,
         "Start NOT acknowledged.",
         "Status: NCK\r",
         "Setting power on defaults NOT acknowledged.",
         "Start NOT acknowledged.",
         "Status: NCK"},
        {{"--garbage"},
         true,
         "#~GARBAGE~%\r",
         "Status: unknown.",
         "#~GARBAGE~%\r",
         "Start Algorithms: unrecognised reply #~GARBAGE~%",
         "Status: unknown."},
        // A reply's control characters are shown, never obeyed; its CR stays as the board sent it.
        {{"--reply", "##SMSTA=1B5B324A0D", "--reply", "##SMSETP=1B5B324A0D"},
         true,
         "\\x1B[2J\r",
         "Status: RUNNING\r",
         "\x1B[2J\r",
         "Start Algorithms: unrecognised reply \\x1B[2J",
         "Status: RUNNING"},
        {{},
         false,
         "Start timeout.",
         "Status: request timeout.",
         "Setting power on defaults timeout.",
         "Start Algorithms not sent: no com port opened.",
         "Read Status not sent: no com port opened."},
    };
    for (const auto& c : cases) {
        BoardWindow window(c.boardOptions, c.withBoard);
        window.form->btnStartClick();
        EXPECT_EQ(window.form->Text("lblOutcome"), c.startLine);
        window.form->btnStatusClick();
        EXPECT_EQ(window.form->Text("lblOutcome"), c.statusLine);
        window.form->SetPowerOnDefault();
        EXPECT_EQ(window.form->Text("lblStart"), c.start);
        EXPECT_EQ(window.form->Text("lblStatus"), c.status);
        EXPECT_EQ(window.form->Text("lblReport"), c.powerOnDefault);
    }
}

class NoLog : public ITrafficLog {
public:
    void AppendLine(const std::string&) override {}
};

// Another program's run, kronax say, left a start without its answer on the port just before
// the window opens it: the window's start-up read must not take that answer.
TEST(BoardCommandsWindowTest, TheWindowNeverTakesTheLateAnswerToAnEarlierRunsCommand) {
    SimProcess board({"--late-command", "##SMSTA=1300"});
    ScopedPorts ports(board.Folder());
    {
        const auto port = OpenBoardPort("COM1", false);
        SteadyTickSource ticks;
        NoLog log;
        CommandTransaction earlierRun(*port, ticks, log);
        std::string reply;
        ASSERT_FALSE(earlierRun.TransactCommand("##SMSTA\r", reply, 1000));
    }
    LinkedForm form(TestEnvironment(NewFolder() + "/settings.ini"));
    const QStringList log = form.LogLines();
    ASSERT_EQ(log.size(), 7);
    EXPECT_EQ(log[0], "(late answer to ##SMSTA\\r discarded) | !SMACK\\r");
    EXPECT_EQ(log[1], "??SMSEN\\r | !SM010100000000\\r");
}

TEST(BoardCommandsWindowTest, StartAndStatusTextsExpireAfterThreeSecondsAlsoAcrossAWrap) {
    for (const std::uint32_t shownAt : {100000u, 0xFFFFF000u}) {
        BoardWindow window({}, false);
        window.ticks->Set(shownAt);
        window.form->btnStartClick();
        window.form->btnStatusClick();
        window.ticks->Set(shownAt + 3000);
        window.form->Timer2Timer();
        EXPECT_EQ(window.form->Text("lblStart"), "Start timeout.") << shownAt;
        EXPECT_EQ(window.form->Text("lblStatus"), "Status: request timeout.") << shownAt;

        window.ticks->Set(shownAt + 3100);
        window.form->Timer2Timer();
        EXPECT_EQ(window.form->Text("lblStart"), "") << shownAt;
        EXPECT_EQ(window.form->Text("lblStatus"), "Status:") << shownAt;
    }
}

TEST(BoardCommandsWindowTest, TimerTickExpiresTheLabels) {
    BoardWindow window({}, false);
    window.form->btnStartClick();
    window.ticks->Advance(5000);
    window.form->Control<QTimer>("Timer2")->setInterval(10);
    window.form->Control<QTimer>("Timer2")->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.form->Text("lblStart").isEmpty(); }, 10000));
}

TEST(BoardCommandsWindowTest, BoardInformationShowsTheIdentityInABoxWithoutOwner) {
    const struct {
        bool withBoard;
        const char* fields[4];
    } cases[] = {{true, {"0815", "P1.2", "F2.1", "U1.7"}}, {false, {"", "", "", ""}}};
    for (const auto& c : cases) {
        BoardWindow window({}, c.withBoard);
        window.form->show();
        window.form->ShowBoardInformation();
        QPointer<QMessageBox> box = BoardInformationBox();
        ASSERT_TRUE(box);
        const QString expected = QString("Board Information:\nSerial number: %1\nPCB Version: %2\n"
                                         "FPGA Version: %3\n")
                                     .arg(c.fields[0], c.fields[1], c.fields[2]) +
                                 QString::fromLatin1("\xB5"
                                                     "C Version: ") +
                                 c.fields[3];
        EXPECT_EQ(box->text(), expected);
        EXPECT_EQ(box->windowTitle(), Title);
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButton(box->buttons().front()), QMessageBox::Ok);
        EXPECT_EQ(box->parent(), nullptr);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the main window stays usable";

        window.form->btnStartClick();
        EXPECT_FALSE(window.form->Text("lblStart").isEmpty());
        box->button(QMessageBox::Ok)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull()) << "the closed box is deleted";
    }
}

} // namespace
} // namespace kronax::test
