#include "app/StatusLine.h"
#include "app/WindowLook.h"
#include "config_file/IniFile.h"
#include "sim/SimProcess.h"
#include "tests/app/LinkedForm.h"
#include "tests/app/ModalAnswerer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

namespace kronax::test {
namespace {

using sim::SimProcess;

QLabel* Outcome(const QWidget& form) {
    return form.findChild<QLabel*>("lblOutcome");
}

// What the window showed when its first command went out.
struct FirstCommandSeen {
    QString statusLine;
    bool waitCursor = false;
    bool popupOpen = true;
};

void WatchFirstCommand(QWidget& form, FirstCommandSeen& seen) {
    auto* log = form.findChild<QPlainTextEdit*>("memDebug");
    QObject::connect(log, &QPlainTextEdit::textChanged, log, [&form, &seen, log] {
        if (log->blockCount() != 1)
            return;
        seen.statusLine = Outcome(form)->text();
        const QCursor* cursor = QApplication::overrideCursor();
        seen.waitCursor = cursor && cursor->shape() == Qt::WaitCursor;
        seen.popupOpen = QApplication::activePopupWidget() != nullptr;
    });
}

// The start-up read used to run inside the constructor, before the window could paint.
TEST(FirstPaintTest, StartUpReadRunsOnlyAfterTheShownWindowPaintedAndSaysSo) {
    SimProcess board;
    ScopedPorts ports(board.Folder());
    KronaxWindow form(TestEnvironment(NewFolder() + "/settings.ini"));
    auto* log = form.findChild<QPlainTextEdit*>("memDebug");
    EXPECT_TRUE(log->toPlainText().isEmpty()) << "nothing is exchanged before the window shows";
    form.findChild<QWidget*>("gbDebug")->show(); // a hidden log takes its lines only afterwards
    FirstCommandSeen seen;
    WatchFirstCommand(form, seen);
    form.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log->blockCount() == 6; }, 10000));
    EXPECT_EQ(seen.statusLine, "Reading the configuration from COM1 ...");
    EXPECT_TRUE(seen.waitCursor);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Outcome(form)->text() == "Configuration read: 6 of 6 received."; }, 5000));
}

// A list dropped down when an exchange starts stayed frozen over the window until it ended.
TEST(FirstPaintTest, DroppedDownListClosesBeforeAnExchange) {
    SimProcess board;
    ScopedPorts ports(board.Folder());
    LinkedForm form(TestEnvironment(NewFolder() + "/settings.ini"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.Control<QWidget>("gbDebug")->show(); // a hidden log takes its lines only afterwards
    form.Control<QPlainTextEdit>("memDebug")->clear();
    FirstCommandSeen seen;
    WatchFirstCommand(form, seen);
    form.PortList()->showPopup();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    form.Control<QAction>("LoadConfigurationfromKronax1")->trigger();
    EXPECT_FALSE(seen.popupOpen);
    EXPECT_EQ(seen.statusLine, "Reading the configuration from COM1 ...");
    EXPECT_EQ(Outcome(form)->text(), "Configuration read: 6 of 6 received.");
}

// A dialog kept between uses left its completion popup over the window; each use gets its own.
TEST(FileDialogUseTest, EachOpenBuildsItsOwnDialogThatStartsWhereTheLastEnded) {
    const std::string folder = NewFolder();
    std::ofstream(folder + "/first.kxcfg") << "[Kronax]\n";
    KronaxWindow form(TestEnvironment(folder + "/settings.ini"));
    EXPECT_TRUE(form.findChildren<QFileDialog*>().isEmpty()) << "no dialog at start-up";
    QStringList folders;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return;
        folders << dialog->directory().absolutePath();
        dialog->findChild<QLineEdit*>("fileNameEdit")
            ->setText(QString::fromStdString(folder + "/first.kxcfg"));
        static_cast<QDialog*>(dialog)->accept();
    });
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(form.ChooseOpenFile(ConfigFileDialogOptions));
        EXPECT_TRUE(form.findChildren<QFileDialog*>().isEmpty()) << "the dialog went with its use";
    }
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders[1], QString::fromStdString(std::filesystem::canonical(folder).string()));
}

// The port watch closed the port while the input was discarded, so the failure of the command
// under way was shown as an error instead of as a disconnection; and the disconnection must say
// that the command under way went out, as kronax says it.
TEST(DisconnectTest, UnplugDuringACommandIsADisconnectionWhoseCommandMayHaveReachedTheBoard) {
    const std::string folder = NewFolder();
    ScopedPorts ports(folder);
    const std::string log = NewFolder() + "/board.log";
    auto board = std::make_unique<SimProcess>(
        std::vector<std::string>{"--ports-dir", folder, "--delay", "3000", "--log", log});
    const std::string settings = NewFolder() + "/settings.ini";
    IniFile(settings).WriteEntry("General", "ComPortNo", "99");
    LinkedForm form(TestEnvironment(settings));
    form.Pick("COM1");
    // Unplugged once the write's first command has reached the board, which waits to answer.
    std::thread unplug([&board, &log] {
        EXPECT_TRUE(WaitForFileText(log, "##SM"));
        board.reset();
    });
    ModalAnswerer answerer;
    form.Control<QAction>("ApplyConfigurationtoKronax1")->trigger();
    unplug.join();
    EXPECT_TRUE(answerer.boxes.empty()) << answerer.boxes.front().toStdString();
    EXPECT_EQ(Outcome(form)->text(),
              "COM1 was disconnected. Pick it again in the port list once it is back. Its last "
              "command was sent and got no answer: the board may hold it.");
    EXPECT_EQ(form.Text("lblConnection"), "No com port opened.");
}

// A red field's text never reaches the board; the operator was told only "6 of 6 acknowledged".
TEST(WrittenValueTest, WriteSaysWhichFieldsShowAnotherValueThanWasWritten) {
    SimProcess board;
    ScopedPorts ports(board.Folder());
    LinkedForm form(TestEnvironment(NewFolder() + "/settings.ini"));
    const struct {
        const char* multiplier;
        const char* beta;
        const char* expected;
    } cases[] = {
        {"300", "0",
         "Configuration written: 6 of 6 acknowledged. Multiplier shows 300, out of range: 0 was "
         "written."},
        {"x", "",
         "Configuration written: 6 of 6 acknowledged. Multiplier shows x, not a number: 0 "
         "was written; Beta is empty: 0 was written."},
        {"0", "0", "Configuration written: 6 of 6 acknowledged."},
    };
    for (const auto& c : cases) {
        form.Control<QLineEdit>("edMultiplier")->setText(c.multiplier);
        form.Control<QLineEdit>("edBeta")->setText(c.beta);
        form.answers.push_back(Answer::Accept);
        form.ApplyConfigurationtoKronax1Click();
        form.answers.clear();
        EXPECT_EQ(Outcome(form)->text(), c.expected);
        EXPECT_EQ(Outcome(form)->palette().color(QPalette::WindowText) == FailureRed,
                  QString(c.expected).contains("written."))
            << c.expected;
        EXPECT_TRUE(form.Text("lblReport").endsWith("MUX acknowledged.\r\n"))
            << "the report is the board's";
    }
}

// The log took Tab as a character and kept the focus.
TEST(FocusTest, TabLeavesTheTrafficLog) {
    LinkedForm form(TestEnvironment(NewFolder() + "/settings.ini"));
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::mouseDClick(form.Control<QLabel>("Image1"), Qt::LeftButton);
    auto* log = form.Control<QPlainTextEdit>("memDebug");
    log->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log->hasFocus(); }, 2000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(log->hasFocus());
    EXPECT_FALSE(log->toPlainText().contains('\t'));
}

TEST(OutcomeLineTest, OutcomesNameTheirOperationAndWhyNothingHappened) {
    const std::string folder = NewFolder();
    std::filesystem::create_directory(folder + "/folder.kxcfg");
    ASSERT_EQ(mkfifo((folder + "/fifo.kxcfg").c_str(), 0600), 0);
    const struct {
        std::vector<std::string> boardOptions;
        std::string openFile;
        void (LinkedForm::*action)();
        const char* expected;
    } cases[] = {
        {{"--garbage"}, "", &LinkedForm::SetPowerOnDefault, "Power On Default: unrecognised reply"},
        {{"--silent"},
         "",
         &LinkedForm::ShowBoardInformation,
         "Board Information: COM1 did not answer in time."},
        {{}, "", &LinkedForm::ShowBoardInformation, "Board Information received from COM1."},
        {{},
         folder + "/missing.kxcfg",
         &LinkedForm::LoadConfigurationfromFile1Click,
         "Open: missing.kxcfg was not opened: it does not exist."},
        {{},
         folder + "/fifo.kxcfg",
         &LinkedForm::LoadConfigurationfromFile1Click,
         "Open: fifo.kxcfg was not opened: it is not a regular file."},
        {{},
         folder + "/folder.kxcfg",
         &LinkedForm::LoadConfigurationfromFile1Click,
         "Open: folder.kxcfg was not opened: it is a folder."},
    };
    for (const auto& c : cases) {
        SimProcess board(c.boardOptions);
        ScopedPorts ports(board.Folder());
        LinkedForm form(TestEnvironment(NewFolder() + "/settings.ini"));
        form.openAnswers.push_back(c.openFile);
        (form.*c.action)();
        EXPECT_TRUE(Outcome(form)->text().startsWith(c.expected))
            << Outcome(form)->text().toStdString();
        for (QWidget* box : QApplication::topLevelWidgets())
            if (box->objectName() == "BoardInformationBox")
                box->close();
    }
}

TEST(OutcomeLineTest, FileKeyThatIsMissingOrIllegalIsNamedInTheTooltip) {
    const std::string folder = NewFolder();
    const struct {
        const char* key;
        const char* value;
        const char* named;
    } cases[] = {
        {"MUX", nullptr, "MUX is missing from the file."},
        {"CDM", "00Z0", "CDM=00Z0 is illegal."},
        {"ABV", "01", "ABV=01 has the wrong length."},
    };
    for (const auto& c : cases) {
        const std::string file = folder + "/" + c.key + ".kxcfg";
        {
            IniFile ini(file);
            const char* const whole[][2] = {{"SEN", "010100000000"}, {"CDM", "0001"},
                                            {"ABV", "0000"},         {"TDF", "0001"},
                                            {"MOD", "00000"},        {"MUX", "00880"}};
            for (const auto& entry : whole)
                if (std::string(entry[0]) != c.key || c.value)
                    ini.WriteEntry("Kronax", entry[0],
                                   std::string(entry[0]) == c.key ? c.value : entry[1]);
        }
        LinkedForm form(TestEnvironment(folder + "/settings.ini"));
        form.openAnswers.push_back(file);
        form.LoadConfigurationfromFile1Click();
        EXPECT_TRUE(Outcome(form)->text().contains("not sent to the board"))
            << Outcome(form)->text().toStdString();
        EXPECT_TRUE(Outcome(form)->toolTip().startsWith(c.named))
            << Outcome(form)->toolTip().toStdString();
    }
}

TEST(ElideTest, HeadlineIsCutAfterAWholeWord) {
    const QFontMetrics metrics(QApplication::font());
    const QString text = "Open: a-rather-long-name.kxcfg read and written: 6 of 6 acknowledged.";
    const QString ellipsis = QString::fromUtf8("\u2026");
    EXPECT_EQ(ElideAtWord(text, metrics, metrics.horizontalAdvance(text)), text);
    const int width = metrics.horizontalAdvance("Open: a-rather-long-name.kxcfg rea");
    EXPECT_EQ(ElideAtWord(text, metrics, width), "Open: a-rather-long-name.kxcfg" + ellipsis);
    EXPECT_TRUE(ElideAtWord("Unbreakable-name", metrics, metrics.horizontalAdvance("Unbre"))
                    .endsWith(ellipsis));
}

double Luminance(const QColor& colour) {
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Pure red text on a window's grey reached 3.5 to 1; message boxes cut the caption; the port
// label touched the window's edge.
TEST(LookTest, RedsAreReadableCaptionsWholeAndThePortLabelOffTheEdge) {
    LinkedForm form(TestEnvironment(NewFolder() + "/settings.ini"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPalette colours = form.palette();
    EXPECT_GE(Contrast(FailureRed, colours.color(QPalette::Window)), 4.5);
    EXPECT_GE(Contrast(FailureRed, Qt::white), 4.5);
    EXPECT_GE(Contrast(InvalidFieldRed, colours.color(QPalette::Text)), 4.5);

    auto* port = form.Control<QLabel>("lblPort");
    const int textRight = port->geometry().left() + port->contentsRect().left() +
                          port->fontMetrics().horizontalAdvance(port->text());
    EXPECT_LE(textRight, form.statusBar()->width() - 4);

    QMessageBox box(QMessageBox::Information, form.windowTitle(), "x", QMessageBox::Ok, &form);
    UseWindowLook(&box);
    box.show();
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    EXPECT_GT(box.width(), QFontMetrics(titleFont).horizontalAdvance(form.windowTitle()));
}

// Without the font the layout was drawn for, a wider sans clipped labels and buttons. The suite
// runs a second time with only the fonts of a minimal installation (FONTCONFIG_FILE).
TEST(FontTest, NoCaptionIsClippedWithTheFontsAtHand) {
    LinkedForm form(TestEnvironment(NewFolder() + "/settings.ini"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(ClippedControls(&form), QStringList())
        << QFontInfo(form.Control<QLabel>("Label7")->font()).family().toStdString();
}

} // namespace
} // namespace kronax::test
