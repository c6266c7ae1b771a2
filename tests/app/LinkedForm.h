#pragma once

#include "app/KronaxWindow.h"
#include "form/KronaxConfigForm.h"
#include "tests/app/TestSupport.h"
#include "tests/support/TakeFirst.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kronax::test {

// The main window, its start-up run to the end when it is made (shown or not), with its handlers
// callable by tests and its file dialogs answered from scripts: each dialog takes the next answer
// (a file name, or nothing for Cancel; OK or Cancel for the warning). A dialog without a scripted
// answer is cancelled.
class LinkedForm : public KronaxWindow {
public:
    explicit LinkedForm(FormEnvironment environment) : KronaxWindow(std::move(environment)) {
        Form().RunStartUp();
    }
    // Started as from a command line naming startFile, the window's questions answered in turn.
    LinkedForm(FormEnvironment environment, const std::string& startFile,
               std::deque<Answer> startAnswers)
        : KronaxWindow(std::move(environment)), answers(std::move(startAnswers)) {
        Form().OpenOnStart(startFile);
        Form().RunStartUp();
    }

    // The form's handlers, called as the events would but letting their errors out.
    void ApplyConfigurationtoKronax1Click() { Form().ApplyConfigurationtoKronax1Click(); }
    void btnStartClick() { Form().btnStartClick(); }
    void btnStatusClick() { Form().btnStatusClick(); }
    void LoadConfigurationfromFile1Click() { Form().LoadConfigurationfromFile1Click(); }
    void LoadConfigurationfromKronax1Click() { Form().LoadConfigurationfromKronax1Click(); }
    void SetCurrentConfigurationasPowerOnDefault1Click() {
        Form().SetCurrentConfigurationasPowerOnDefault1Click();
    }
    void StoreConfigurationtoFile1Click() { Form().StoreConfigurationtoFile1Click(); }
    void Timer2Timer() { Form().Timer2Timer(); }
    void SetPowerOnDefault() { Form().SetPowerOnDefault(); }
    void ShowBoardInformation() { Form().ShowBoardInformation(); }
    void cmbComPortChange() { Form().cmbComPortChange(); }

    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<bool> warningAnswers;
    std::vector<std::string> warnings;
    // The window's questions, answered in turn; one without an answer is cancelled.
    std::deque<Answer> answers;
    std::vector<Question> questions;

    Answer Ask(const Question& question) override {
        questions.push_back(question);
        if (answers.empty())
            return Answer::Cancel;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<std::string> ChooseSaveFile(const FileDialogOptions&) override {
        return TakeFirst(saveAnswers).value_or(std::nullopt);
    }
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions&) override {
        return TakeFirst(openAnswers).value_or(std::nullopt);
    }
    bool ConfirmWarning(const std::string& message, const std::string& caption) override {
        warnings.push_back(caption + ": " + message);
        return TakeFirst(warningAnswers).value_or(false);
    }

    template <typename T> T* Control(const char* name) const {
        return findChild<T*>(QString::fromLatin1(name));
    }
    QString Text(const char* label) const { return Control<QLabel>(label)->text(); }
    QComboBox* PortList() const { return Control<QComboBox>("cmbComPort"); }
    // What the log holds once the event loop has run: a hidden log takes its lines then.
    QStringList LogLines() const {
        auto* log = Control<QPlainTextEdit>("memDebug");
        QCoreApplication::sendPostedEvents(log, QEvent::MetaCall);
        const QString text = log->toPlainText();
        return text.isEmpty() ? QStringList() : text.split('\n');
    }

    // Picks the list entry text as the operator would and runs the port choice.
    void Pick(const QString& text) { Form().PortPicked(PortList()->findText(text)); }
};

} // namespace kronax::test
