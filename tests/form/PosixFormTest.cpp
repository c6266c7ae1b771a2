#include "exchange/SteadyTickSource.h"
#include "form/KronaxConfigForm.h"
#include "form/StatusLine.h"
#include "tests/form/FakeFormView.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace kronax::test {
namespace {

// A form on its fake view with no port to open and no records kept.
class FormTest : public testing::Test {
protected:
    FormTest() {
        std::filesystem::create_directories(folder + "/ports");
        std::ofstream(folder + "/settings.ini") << "[Records]\nEnabled=0\n";
    }
    ~FormTest() override {
        form.reset();
        std::filesystem::remove_all(folder);
    }

    TForm1& Start() {
        form = std::make_unique<TForm1>(
            view, FormEnvironment{folder + "/settings.ini", std::make_shared<SteadyTickSource>()});
        form->FirstPainted();
        return *form;
    }

    std::string folder = std::filesystem::temp_directory_path().string() + "/kronax-form-" +
                         std::to_string(::getpid());
    ScopedEnvironment ports{"KRONAX_PORTS", folder + "/ports"};
    FakeFormView view;
    std::unique_ptr<TForm1> form;
};

TEST_F(FormTest, AValueInAnotherSpellingIsWrittenWithoutAQuestion) {
    for (const char* text : {"07", "+7", "$7", "0x07"}) {
        TForm1& window = Start();
        window.StoreNumber(NumberField::Multiplier, 7);
        window.FieldEdited(ControlId::edMultiplier, text);
        window.CommandChosen(FormCommand::ApplyConfigurationtoKronax1);
        EXPECT_TRUE(view.questions.empty()) << text << ": " << view.questions.front().text;
        view.questions.clear();
    }
}

// A view whose question box fails: the failure is the close's own, not the write's it may lead to.
TEST_F(FormTest, AFailureWhileClosingIsReportedUnderTheClosesName) {
    struct FailingQuestions : FakeFormView {
        Answer Ask(const Question&) override { throw std::runtime_error("no box"); }
    } failing;
    form = std::make_unique<TForm1>(
        failing, FormEnvironment{folder + "/settings.ini", std::make_shared<SteadyTickSource>()});
    form->FieldEdited(ControlId::edMultiplier, "300");
    EXPECT_FALSE(form->CloseRequested());
    EXPECT_EQ(failing.status[StatusPart::Outcome].text, "Close stopped: no box");
    EXPECT_EQ(failing.messages.back(), "no box");
    form.reset();
}

TEST_F(FormTest, TheTrafficLogAndTheWholeReportAreReachedByCommands) {
    TForm1& window = Start();
    EXPECT_FALSE(view[ControlId::gbDebug].visible);
    window.CommandChosen(FormCommand::ShowTrafficLog1);
    EXPECT_TRUE(view[ControlId::gbDebug].visible);
    EXPECT_FALSE(view[ControlId::Image1].visible);
    window.CommandChosen(FormCommand::ShowTrafficLog1);
    EXPECT_FALSE(view[ControlId::gbDebug].visible);
    EXPECT_TRUE(view[ControlId::Image1].visible);

    window.FieldEdited(ControlId::edMultiplier, "300");
    view.answers.push_back(Answer::Accept);
    window.CommandChosen(FormCommand::ApplyConfigurationtoKronax1);
    window.CommandChosen(FormCommand::LastReport1);
    const std::string& outcome = view.status[StatusPart::Outcome].text;
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.back().substr(0, outcome.size()), outcome);
}

} // namespace
} // namespace kronax::test
