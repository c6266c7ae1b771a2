#include "config_file/IniFile.h"
#include "sim/SimProcess.h"
#include "tests/app/BoardTraffic.h"
#include "tests/app/LinkedForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace kronax::test {
namespace {

using sim::SimProcess;

using Payloads = const char* const[6];

// The board's configuration: multiplier 3 and divider 5.
const char* const BoardPayloads[] = {"600200000000", "0001", "0207", "0305", "00000", "00880"};
// The same with divider 0, a value the board holds although no operator could enter it.
const char* const ZeroDividerPayloads[] = {"600200000000", "0001",  "0207",
                                           "0300",         "00000", "00880"};

void WriteConfigFile(const std::string& fileName, const Payloads& payloads) {
    IniFile file(fileName);
    for (std::size_t i = 0; i < PayloadKinds.size(); ++i)
        file.WriteEntry("Kronax", std::string(KindName(PayloadKinds[i])), payloads[i]);
}

// A window started on a board holding one of the configurations above; each case starts its own
// board, since a write changes it.
class UnwrittenEditsTest : public testing::Test {
protected:
    UnwrittenEditsTest() { StartBoard(BoardPayloads); }

    void StartBoard(const Payloads& payloads) {
        form.reset();
        ports.reset();
        WriteConfigFile(stateFile, payloads);
        board = std::make_unique<SimProcess>(std::vector<std::string>{"--state", stateFile});
        ports = std::make_unique<ScopedPorts>(board->Folder());
    }

    void Start() {
        form = std::make_unique<LinkedForm>(TestEnvironment(folder + "/settings.ini"));
        form->Control<QTimer>("Timer2")->stop();
        QApplication::processEvents();
        startLines = form->LogLines().size();
    }

    void Type(const char* field, const QString& text) {
        form->Control<QLineEdit>(field)->setText(text);
        QApplication::processEvents();
    }

    QString Field(const char* field) const { return form->Control<QLineEdit>(field)->text(); }
    std::string TrafficSinceStart() const { return Traffic(form->LogLines(), startLines); }

    std::string folder = NewFolder();
    std::string stateFile = folder + "/board.kxcfg";
    std::unique_ptr<SimProcess> board;
    std::unique_ptr<ScopedPorts> ports;
    std::unique_ptr<LinkedForm> form;
    qsizetype startLines = 0;
};

struct EditCase {
    const char* what;
    bool edit;
    EditLoss action;
    std::optional<Answer> answer;
    std::optional<Question> question;
    const char* traffic;
    const char* multiplierAfter;
};

// Edits vanished without a word on Read, a port pick, Open and closing the window.
TEST_F(UnwrittenEditsTest, OperationsThatReplaceEditsAskFirstAndDoWhatTheAnswerSays) {
    const std::vector<std::string> multiplier = {"Multiplier"};
    const EditCase cases[] = {
        {"read, no edit", false, EditLoss::Read, std::nullopt, std::nullopt, "R6", "3"},
        {"read, cancel", true, EditLoss::Read, Answer::Cancel,
         LossQuestion(EditLoss::Read, multiplier), "", "7"},
        {"read, discard", true, EditLoss::Read, Answer::Alternative,
         LossQuestion(EditLoss::Read, multiplier), "R6", "3"},
        {"read, write", true, EditLoss::Read, Answer::Accept,
         LossQuestion(EditLoss::Read, multiplier), "W6 R6", "7"},
        {"port pick, cancel", true, EditLoss::PortChoice, Answer::Cancel,
         LossQuestion(EditLoss::PortChoice, multiplier), "", "7"},
        {"port pick, discard", true, EditLoss::PortChoice, Answer::Alternative,
         LossQuestion(EditLoss::PortChoice, multiplier), "R6", "3"},
        {"open, cancel", true, EditLoss::Open, Answer::Cancel,
         LossQuestion(EditLoss::Open, multiplier), "", "7"},
        {"close, cancel", true, EditLoss::Close, Answer::Cancel,
         LossQuestion(EditLoss::Close, multiplier), "", "7"},
        {"close, write", true, EditLoss::Close, Answer::Accept,
         LossQuestion(EditLoss::Close, multiplier), "W6", "7"},
    };
    for (const EditCase& c : cases) {
        StartBoard(BoardPayloads);
        Start();
        if (c.edit)
            Type("edMultiplier", "7");
        EXPECT_EQ(form->Control<QLabel>("lblUnwritten")->text(),
                  c.edit ? "Not written: Multiplier" : "")
            << c.what;
        if (c.answer)
            form->answers.push_back(*c.answer);
        bool closed = false;
        switch (c.action) {
        case EditLoss::Read:
            form->LoadConfigurationfromKronax1Click();
            break;
        case EditLoss::PortChoice:
            form->Pick("COM1");
            break;
        case EditLoss::Open:
            form->LoadConfigurationfromFile1Click();
            break;
        case EditLoss::Close:
            closed = form->close();
            break;
        }
        if (c.question) {
            ASSERT_EQ(form->questions.size(), 1u) << c.what;
            EXPECT_EQ(form->questions[0].text, c.question->text) << c.what;
        } else {
            EXPECT_TRUE(form->questions.empty()) << c.what;
        }
        EXPECT_EQ(TrafficSinceStart(), c.traffic) << c.what;
        EXPECT_EQ(Field("edMultiplier"), c.multiplierAfter) << c.what;
        EXPECT_EQ(closed, c.action == EditLoss::Close && c.answer == Answer::Accept) << c.what;
        EXPECT_EQ(form->PortList()->currentText(), "COM1") << c.what;
        form.reset();
    }
}

// Ctrl+D stored the board's settings while the window showed others and said it was done.
TEST_F(UnwrittenEditsTest, PowerOnDefaultWithEditsAsksWhetherToWriteThemFirst) {
    const struct {
        const char* what;
        Answer answer;
        const char* traffic;
    } cases[] = {
        {"write first", Answer::Accept, "W6 D"},
        {"store the board's", Answer::Alternative, "D"},
        {"cancel", Answer::Cancel, ""},
    };
    for (const auto& c : cases) {
        StartBoard(BoardPayloads);
        Start();
        Type("edMultiplier", "7");
        form->answers.push_back(c.answer);
        form->SetCurrentConfigurationasPowerOnDefault1Click();
        ASSERT_EQ(form->questions.size(), 1u) << c.what;
        EXPECT_EQ(form->questions[0], PowerOnDefaultQuestion({"Multiplier"})) << c.what;
        EXPECT_EQ(TrafficSinceStart(), c.traffic) << c.what;
        form.reset();
    }
}

TEST_F(UnwrittenEditsTest, AcknowledgedWriteClearsTheListAndASelectionCountsAsAnEdit) {
    Start();
    form->Form().Select(Selection::SensorType, sensor_type::PulseTrigger);
    QApplication::processEvents();
    EXPECT_TRUE(
        form->Control<QLabel>("lblUnwritten")->text().startsWith("Not written: Sensor Type"));
    form->ApplyConfigurationtoKronax1Click();
    QApplication::processEvents();
    EXPECT_EQ(form->Control<QLabel>("lblUnwritten")->text(), "");
}

// "07" was named a mismatch ("Multiplier shows 07, out of range: 7 will be sent") and stayed
// listed as not written after the write: the comparison looked at the text, not the value.
TEST_F(UnwrittenEditsTest, AValueInAnotherSpellingIsWrittenAsShownAndThenWritten) {
    Start();
    Type("edMultiplier", "07");
    form->ApplyConfigurationtoKronax1Click();
    QApplication::processEvents();
    EXPECT_TRUE(form->questions.empty());
    EXPECT_EQ(TrafficSinceStart(), "W6");
    EXPECT_EQ(form->Control<QLabel>("lblUnwritten")->text(), "");
}

// Ctrl+W sent a red field's stored value and the board's own divider 0 with half a warning.
TEST_F(UnwrittenEditsTest, WriteNamesWhatIsNotSentAsShownAndAsksFirst) {
    for (const Answer answer : {Answer::Cancel, Answer::Accept}) {
        StartBoard(ZeroDividerPayloads);
        Start();
        Type("edMultiplier", "300");
        form->answers.push_back(answer);
        form->ApplyConfigurationtoKronax1Click();
        ASSERT_EQ(form->questions.size(), 1u);
        EXPECT_EQ(form->questions[0].text,
                  "Not sent as shown:\n"
                  "Multiplier shows 300, out of range: 3 will be sent.\n"
                  "Divider 0 is out of range (the board reported it), will be sent as it is.\n\n"
                  "Write the configuration to the board?");
        EXPECT_EQ(TrafficSinceStart(), answer == Answer::Accept ? "W6" : "");
        if (answer == Answer::Accept) {
            EXPECT_EQ(form->Text("lblOutcome"),
                      "Configuration written: 6 of 6 acknowledged. Multiplier shows 300, out of "
                      "range: 3 was written; Divider 0 is out of range (the board reported it), "
                      "was written as it is.");
        }
        form.reset();
    }
}

TEST_F(UnwrittenEditsTest, FileWithValuesOutOfRangeIsReadButNotSent) {
    const std::string file = folder + "/zero-divider.kxcfg";
    const char* const payloads[] = {"600200000000", "0001", "0207", "0900", "00000", "00880"};
    WriteConfigFile(file, payloads);
    Start();
    form->openAnswers.push_back(file);
    form->LoadConfigurationfromFile1Click();
    EXPECT_EQ(Field("edMultiplier"), "9");
    EXPECT_EQ(TrafficSinceStart(), "");
    EXPECT_EQ(form->Text("lblOutcome"),
              "Open: zero-divider.kxcfg read; not sent: Divider 0 is out of range.");
}

// kronax-config FILE ignored the file.
TEST_F(UnwrittenEditsTest, FileNamedOnStartIsOpenedAndSentOnlyWhenTheOperatorAgrees) {
    const std::string file = folder + "/start.kxcfg";
    const char* const payloads[] = {"600200000000", "0001", "0207", "0905", "00000", "00880"};
    WriteConfigFile(file, payloads);
    for (const Answer answer : {Answer::Cancel, Answer::Accept}) {
        LinkedForm started(TestEnvironment(folder + "/settings.ini"), file, {answer});
        ASSERT_EQ(started.questions.size(), 1u);
        EXPECT_EQ(started.questions[0], FileSendQuestion("start.kxcfg"));
        EXPECT_EQ(started.Control<QLineEdit>("edMultiplier")->text(), "9");
        EXPECT_EQ(Traffic(started.LogLines(), 0), answer == Answer::Accept ? "R6 W6" : "R6");
        if (answer == Answer::Cancel) {
            EXPECT_EQ(started.Text("lblOutcome"), "Open: start.kxcfg read; not sent.");
        }
    }
}

// There was no list of recent files.
TEST_F(UnwrittenEditsTest, FileMenuListsTheLastFiveFilesNewestFirstAndKeepsThemInTheSettings) {
    Start();
    for (int i = 1; i <= 6; ++i) {
        form->saveAnswers.push_back(folder + "/saved-" + std::to_string(i) + ".kxcfg");
        form->StoreConfigurationtoFile1Click();
    }
    const auto items = [](const LinkedForm& window) {
        QStringList texts;
        for (QAction* item : window.Control<QMenu>("File1")->actions())
            if (item->objectName().startsWith("RecentFile"))
                texts << item->text();
        return texts;
    };
    const QStringList expected = {"&1 saved-6.kxcfg", "&2 saved-5.kxcfg", "&3 saved-4.kxcfg",
                                  "&4 saved-3.kxcfg", "&5 saved-2.kxcfg"};
    EXPECT_EQ(items(*form), expected);
    form.reset();
    LinkedForm again(TestEnvironment(folder + "/settings.ini"));
    EXPECT_EQ(items(again), expected);
}

// Alt+F and a digit, as the keyboard shortcuts say, opens that recent file and sends it.
TEST_F(UnwrittenEditsTest, AltFAndADigitOpensThatRecentFile) {
    Start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    for (const char* name : {"older.kxcfg", "newest.kxcfg"}) {
        form->saveAnswers.push_back(folder + "/" + name);
        form->StoreConfigurationtoFile1Click();
    }
    QTimer::singleShot(0, [] {
        if (QWidget* menu = QApplication::activePopupWidget())
            QTest::keyClick(menu, Qt::Key_2);
    });
    QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return TrafficSinceStart() == "W6"; }, 10000))
        << TrafficSinceStart();
    EXPECT_TRUE(form->Text("lblOutcome").startsWith("Open: older.kxcfg read and written"))
        << form->Text("lblOutcome").toStdString();
}

} // namespace
} // namespace kronax::test
