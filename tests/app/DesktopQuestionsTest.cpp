#include "sim/SimProcess.h"
#include "tests/app/BoardTraffic.h"
#include "tests/app/LinkedForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <optional>

namespace kronax::test {
namespace {

using sim::SimProcess;

// Long enough for a loaded machine; a question box that never gets the keyboard fails the test
// after it instead of hanging it.
constexpr int PatienceMs = 10000;

// The window as the operator has it: its questions asked in the real box.
class DesktopForm : public LinkedForm {
public:
    using LinkedForm::LinkedForm;
    Answer Ask(const Question& question) override { return KronaxWindow::Ask(question); }
};

// The window that has the X server's keyboard focus. Qt calls a modal box active even while the
// window behind it has the focus.
WId FocusedWindow() {
    QProcess xdotool;
    xdotool.start("xdotool", {"getwindowfocus"});
    xdotool.waitForFinished();
    return xdotool.readAllStandardOutput().trimmed().toULongLong();
}

// Presses keys through the X server, as a keyboard would, once a question box is the active
// window and has the focus. Past the patience any modal box left is closed, which cancels it.
class KeyboardAnswer {
public:
    explicit KeyboardAnswer(const QString& keys) {
        clock_.start();
        QObject::connect(&poll_, &QTimer::timeout, [this, keys] { Poll(keys); });
        poll_.start(20);
    }

    // The text of the box that had the keyboard when the keys went.
    std::optional<QString> question;

private:
    void Poll(const QString& keys) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeWindow());
        if (box && !question && FocusedWindow() == box->winId()) {
            question = box->text();
            QProcess::execute("xdotool", {"key", keys});
        }
        if (clock_.hasExpired(PatienceMs) && QApplication::activeModalWidget())
            QApplication::activeModalWidget()->close();
    }

    QElapsedTimer clock_;
    QTimer poll_;
};

struct DesktopCase {
    const char* what;
    EditLoss action;
    const char* keys;
    bool closed;
    const char* traffic;
};

// The other window tests answer the questions in code; on a desktop the box itself must take the
// keyboard from the window behind it: Esc, its mnemonics and Return.
TEST(DesktopQuestionsTest, QuestionBoxHasTheKeyboardAndDoesWhatItsKeysSay) {
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X display: tests/app/on-a-desktop runs it";
    const DesktopCase cases[] = {
        {"close, Esc", EditLoss::Close, "Escape", false, ""},
        {"close, Discard", EditLoss::Close, "alt+d", true, ""},
        {"Ctrl+R, Esc", EditLoss::Read, "Escape", false, ""},
        {"close, Write", EditLoss::Close, "Return", true, "W6"},
    };
    for (const DesktopCase& c : cases) {
        const SimProcess board;
        const ScopedPorts ports(board.Folder());
        DesktopForm form(TestEnvironment(NewFolder() + "/settings.ini"));
        form.Control<QTimer>("Timer2")->stop();
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form, PatienceMs)) << c.what;
        form.Control<QLineEdit>("edMultiplier")->setText("7");
        QApplication::processEvents();
        ASSERT_EQ(form.Text("lblUnwritten"), "Not written: Multiplier") << c.what;
        const qsizetype startLines = form.LogLines().size();

        const KeyboardAnswer answer(c.keys);
        if (c.action == EditLoss::Close)
            form.close();
        else
            QProcess::execute("xdotool", {"key", "ctrl+r"});
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return answer.question && !QApplication::activeModalWidget(); }, PatienceMs))
            << c.what << ": no question box with the focus took the keys";

        EXPECT_EQ(answer.question,
                  QString::fromStdString(LossQuestion(c.action, {"Multiplier"}).text))
            << c.what;
        EXPECT_EQ(!form.isVisible(), c.closed) << c.what;
        EXPECT_EQ(Traffic(form.LogLines(), startLines), c.traffic) << c.what;
        EXPECT_EQ(form.Control<QLineEdit>("edMultiplier")->text(), "7") << c.what;
    }
}

} // namespace
} // namespace kronax::test
