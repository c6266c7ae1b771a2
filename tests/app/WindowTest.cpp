#include "app/BoardInformationBox.h"
#include "protocol/BoardReplies.h"
#include "protocol/OutcomeText.h"
#include "tests/app/FormProbe.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace kronax::test {
namespace {

std::string InformationText(bool answered, const std::string& reply) {
    return CommandOutcomeText(ClassifyReply(BoardCommand::BoardInformation, answered, reply));
}

const QString Title = "VOXA-KRONAX Configuration V 1.0";

class WindowTest : public testing::Test {
protected:
    WindowTest() {
        form.show();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    FormProbe form;
};

// Closes the next modal message box as soon as it shows and keeps its text. The polling only
// ends with the box; a box that never appears fails the test through the caller's check.
class MessageBoxCloser {
public:
    MessageBoxCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                icon = box->icon();
                format = box->textFormat();
                box->accept();
                timer_.stop();
            }
        });
        timer_.start(10);
    }

    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;

private:
    QTimer timer_;
};

TEST_F(WindowTest, TitleAndApplicationNameAreTheProgramName) {
    EXPECT_EQ(form.windowTitle(), Title);
    EXPECT_EQ(QApplication::applicationName(), Title);
}

TEST_F(WindowTest, ClientAreaIsFixedBelowTheMenuWithoutMaximise) {
    EXPECT_EQ(form.centralWidget()->size(), QSize(721, 346));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
}

// The status bar sits below the client area; a long outcome must not widen the window.
TEST_F(WindowTest, StatusBarAddsItsHeightOnlyAndKeepsTheWidth) {
    const QSize before = form.size();
    auto* outcome = form.Control<QLabel>("lblOutcome");
    outcome->setText(QString(400, 'x'));
    QApplication::processEvents();
    EXPECT_EQ(form.size(), before);
    EXPECT_EQ(form.width(), 721);
    EXPECT_GE(form.statusBar()->geometry().top(), form.centralWidget()->geometry().bottom());
}

TEST_F(WindowTest, Timer2RunsEverySecondFromStartUp) {
    auto* timer = form.Control<QTimer>("Timer2");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
}

TEST_F(WindowTest, CtrlShortcutsReachTheirMenuHandlers) {
    const struct {
        Qt::Key key;
        const char* handler;
    } cases[] = {{Qt::Key_O, "Open"},  {Qt::Key_S, "Save"},    {Qt::Key_R, "Read"},
                 {Qt::Key_W, "Write"}, {Qt::Key_D, "Default"}, {Qt::Key_I, "Information"}};
    for (const auto& c : cases) {
        form.calls.clear();
        QTest::keyClick(&form, c.key, Qt::ControlModifier);
        EXPECT_EQ(form.calls, std::vector<std::string>{c.handler}) << c.handler;
    }
    EXPECT_TRUE(form.Control<QAction>("About1")->shortcut().isEmpty());
}

TEST_F(WindowTest, MenuItemsCarryTheirIcons) {
    for (const char* name :
         {"LoadConfigurationfromFile1", "StoreConfigurationtoFile1", "LoadConfigurationfromKronax1",
          "ApplyConfigurationtoKronax1", "SetCurrentConfigurationasPowerOnDefault1",
          "KRONAXBoardInformation1", "About1"})
        EXPECT_FALSE(form.Control<QAction>(name)->icon().isNull()) << name;
}

TEST_F(WindowTest, EnterInAnEntryFieldPressesTheWriteButton) {
    QTest::keyClick(form.Field("edTooth1"), Qt::Key_Return);
    QTest::keyClick(form.Field("edBeta"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(form.calls, (std::vector<std::string>{"WriteButton", "WriteButton"}));
}

TEST_F(WindowTest, EnterOnAnotherButtonPressesThatButton) {
    QTest::keyClick(form.Control<QPushButton>("btnStatus"), Qt::Key_Return);
    EXPECT_EQ(form.calls, std::vector<std::string>{"Status"});
}

TEST_F(WindowTest, DoubleClicksSwitchBetweenLogoAndLogOnlyOnTheFrame) {
    auto* logo = form.Control<QLabel>("Image1");
    auto* box = form.Control<QGroupBox>("gbDebug");
    auto* log = form.Control<QPlainTextEdit>("memDebug");
    EXPECT_TRUE(box->isHidden());
    EXPECT_FALSE(logo->isHidden());

    QTest::mouseDClick(logo, Qt::LeftButton, {}, logo->rect().center());
    EXPECT_TRUE(logo->isHidden());
    EXPECT_FALSE(box->isHidden());

    QTest::mouseDClick(log->viewport(), Qt::LeftButton, {}, log->viewport()->rect().center());
    EXPECT_FALSE(box->isHidden()) << "a double click inside the log text does not switch back";

    QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2, 2));
    EXPECT_TRUE(box->isHidden());
    EXPECT_FALSE(logo->isHidden());
}

TEST_F(WindowTest, LogFillsItsFrameBelowTheCaption) {
    auto* box = form.Control<QGroupBox>("gbDebug");
    auto* log = form.Control<QPlainTextEdit>("memDebug");
    form.Control<QLabel>("Image1")->hide();
    box->show();
    QApplication::processEvents();
    EXPECT_EQ(log->geometry(), box->contentsRect());
    EXPECT_GE(log->y(), box->fontMetrics().height()) << "the caption stays free to double-click";
    EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

// A reply such as "<b>NCK</b>" must appear as the board sent it, not as bold "NCK".
TEST_F(WindowTest, LabelsShowingBoardRepliesNeverRenderThemAsMarkup) {
    for (const char* name : {"lblStart", "lblStatus", "lblReport", "lblConnection"})
        EXPECT_EQ(form.Control<QLabel>(name)->textFormat(), Qt::PlainText) << name;
}

// The start and status outcomes are wider than their group: they wrap onto a second line, and
// both lines must be readable (down to their baseline) inside the label and the group.
TEST_F(WindowTest, LongestStartAndStatusTextsStayReadable) {
    const struct {
        const char* label;
        const char* text;
    } cases[] = {{"lblStart", "Start NOT acknowledged."},
                 {"lblStatus", "Status: request timeout."},
                 {"lblStatus", "Status: RUNNING12"}};
    for (const auto& c : cases) {
        auto* label = form.Control<QLabel>(c.label);
        label->setText(c.text);
        const QFontMetrics metrics(label->font());
        const int lines = label->heightForWidth(label->width()) / metrics.lineSpacing();
        EXPECT_LE(lines, 2) << c.text;
        // Down to the descenders of the last line ("acknowledged." has a g).
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << c.text;
        EXPECT_LE(label->geometry().bottom(), label->parentWidget()->contentsRect().bottom())
            << c.text;
        for (QWidget* sibling : label->parentWidget()->findChildren<QPushButton*>())
            EXPECT_FALSE(label->geometry().intersects(sibling->geometry()))
                << c.text << " is covered by " << sibling->objectName().toStdString();
    }
}

TEST_F(WindowTest, BoardInformationBoxNeverRendersTheFieldsAsMarkup) {
    QPointer<QMessageBox> box =
        ShowBoardInformationBox(Title, InformationText(true, "<b>0815</b>PCB1FPG1UC01\r"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    box->close();
}

TEST(ProgramEndTest, ClosingTheWindowEndsTheProgramAlsoWhileTheBoardInformationBoxIsOpen) {
    FormProbe form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QPointer<QMessageBox> box = ShowBoardInformationBox(Title, InformationText(false, ""));
    QTimer::singleShot(0, &form, [&] { form.close(); });
    // Only bounds a hang: a loop still running then is ended by closing the box.
    bool stillRunning = false;
    QTimer::singleShot(10000, &form, [&] {
        stillRunning = true;
        if (box)
            box->close();
    });
    QApplication::exec();
    EXPECT_FALSE(stillRunning) << "the event loop waited for the box";
    delete box;
}

TEST_F(WindowTest, AboutShowsTheProgramName) {
    MessageBoxCloser closer;
    form.Control<QAction>("About1")->trigger();
    EXPECT_EQ(closer.text, Title);
    EXPECT_EQ(closer.icon, QMessageBox::Information);
}

// Nothing told the operator the window's keys.
TEST_F(WindowTest, KeyboardShortcutsSitBesideAboutAndNameEveryMenuShortcut) {
    const QList<QAction*> help = form.Control<QMenu>("N1")->actions();
    ASSERT_GE(help.size(), 2);
    EXPECT_EQ(help[help.size() - 2]->objectName(), "KeyboardShortcuts1");
    EXPECT_EQ(help.back()->objectName(), "About1");
    MessageBoxCloser closer;
    help[help.size() - 2]->trigger();
    for (const QAction* item : form.findChildren<QAction*>()) {
        if (!item->shortcut().isEmpty()) {
            EXPECT_TRUE(closer.text.contains(item->shortcut().toString() + "\t"))
                << item->objectName().toStdString();
        }
    }
}

// Qt's warnings, kept while the object lives.
class WarningLog {
public:
    WarningLog() { previous_ = qInstallMessageHandler(&WarningLog::Keep); }
    ~WarningLog() {
        qInstallMessageHandler(previous_);
        Kept().clear();
    }
    static QStringList& Kept() {
        static QStringList messages;
        return messages;
    }

private:
    static void Keep(QtMsgType, const QMessageLogContext&, const QString& message) {
        Kept() << message;
    }
    QtMessageHandler previous_ = nullptr;
};

// An exception that unwinds through Qt's event delivery leaves the click's release event
// half-handled ("MouseRelease not accepted"); the handler boundary must catch it first.
TEST_F(WindowTest, EscapingExceptionIsShownAndTheWindowLivesOn) {
    form.onWrite = [] {
        throw std::runtime_error("Port not open (win error code: 5)");
    };
    form.Type("edTooth1", "7");
    MessageBoxCloser closer;
    WarningLog warnings;
    QTest::mouseClick(form.Control<QPushButton>("btnWriteToKronax"), Qt::LeftButton);
    for (const QString& warning : WarningLog::Kept())
        EXPECT_FALSE(warning.contains("not accepted")) << warning.toStdString();
    EXPECT_EQ(closer.text, "Port not open (win error code: 5)");
    EXPECT_EQ(form.Control<QLabel>("lblOutcome")->text(),
              "Write Configuration stopped: Port not open (win error code: 5)");
    EXPECT_EQ(closer.icon, QMessageBox::Critical);
    EXPECT_EQ(closer.format, Qt::PlainText) << "a file name like a<b>.kxcfg is shown as it is";

    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Field("edTooth1")->text(), "7");
    form.onWrite = nullptr;
    QTest::mouseClick(form.Control<QPushButton>("btnStatus"), Qt::LeftButton);
    EXPECT_EQ(form.calls.back(), "Status") << "the window still handles input";
}

} // namespace
} // namespace kronax::test
