#include "config_file/IniFile.h"
#include "sim/SimProcess.h"
#include "tests/app/LinkedForm.h"
#include "tests/app/ModalAnswerer.h"
#include "tests/support/LockedPty.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <filesystem>
#include <memory>
#include <optional>
#include <unistd.h>

namespace kronax::test {
namespace {

using sim::SimProcess;

// A board on COM1 of its own device-map folder, a settings file of the test's own, and a
// window started on them.
class PortChoiceTest : public testing::Test {
protected:
    std::string RememberedEntry() const {
        return IniFile(settingsFile).ReadEntry("General", "ComPortNo", "(missing)");
    }
    void Remember(const std::string& value) const {
        IniFile(settingsFile).WriteEntry("General", "ComPortNo", value);
    }
    // A port whose device is there but refuses to be opened.
    void AddPortThatCannotOpen(const std::string& name) const {
        std::filesystem::create_symlink(locked.DevicePath(), board.Folder() + "/" + name);
    }
    void Start() { form = std::make_unique<LinkedForm>(TestEnvironment(settingsFile)); }
    void Shutdown() { form.reset(); }

    test::LockedPty locked;
    std::string folder = NewFolder();
    std::string settingsFile = folder + "/kronax-config.ini";
    SimProcess board;
    ScopedPorts ports{board.Folder()};
    std::unique_ptr<LinkedForm> form;
};

TEST_F(PortChoiceTest, RememberedNumberMissingOrNotANumberOpensCom1AndReadsTheBoard) {
    const std::optional<std::string> cases[] = {std::nullopt, "abc", "", "0x1"};
    for (const auto& remembered : cases) {
        std::filesystem::remove(settingsFile);
        if (remembered)
            Remember(*remembered);
        Start();
        EXPECT_EQ(form->PortList()->currentText(), "COM1") << remembered.value_or("(no file)");
        EXPECT_EQ(form->Text("lblConnection"), "");
        EXPECT_EQ(form->LogLines().size(), 6) << "the six configuration queries";
        Shutdown();
        EXPECT_EQ(RememberedEntry(), "1");
    }
}

TEST_F(PortChoiceTest, AbsentRememberedPortSelectsNothingSendsNothingAndIsKept) {
    Remember("5");
    Start();
    EXPECT_EQ(form->PortList()->currentIndex(), -1);
    EXPECT_EQ(form->Text("lblConnection"), "");
    EXPECT_TRUE(form->LogLines().isEmpty());
    Shutdown();
    EXPECT_EQ(RememberedEntry(), "5");
}

TEST_F(PortChoiceTest, RememberedPortThatCannotOpenShowsNoComPortAndKeepsItsNumber) {
    AddPortThatCannotOpen("COM3");
    Remember("3");
    Start();
    EXPECT_EQ(form->PortList()->currentIndex(), -1);
    EXPECT_EQ(form->Text("lblConnection"), "No com port opened.");
    EXPECT_TRUE(form->LogLines().isEmpty());
    Shutdown();
    EXPECT_EQ(RememberedEntry(), "3");
}

TEST_F(PortChoiceTest, PickingAPortThatCannotOpenClosesTheOldOneAndSavesTheFailedNumber) {
    AddPortThatCannotOpen("COM2");
    Start();
    form->Pick("COM2");
    EXPECT_EQ(form->PortList()->currentIndex(), -1);
    EXPECT_EQ(form->Text("lblConnection"), "No com port opened.");
    const auto logged = form->LogLines().size();
    form->btnStartClick();
    EXPECT_EQ(form->Text("lblStart"), "Start timeout.") << "COM1 was closed";
    EXPECT_EQ(form->LogLines().size(), logged);

    form->Pick("COM1");
    EXPECT_EQ(form->Text("lblConnection"), "") << "a good opening empties the label";
    Shutdown();
    EXPECT_EQ(RememberedEntry(), "1");
}

TEST_F(PortChoiceTest, PickingTheOpenPortAgainReopensItAndReadsAgain) {
    Start();
    ASSERT_EQ(form->LogLines().size(), 6);
    form->Pick("COM1");
    EXPECT_EQ(form->PortList()->currentText(), "COM1");
    ASSERT_EQ(form->LogLines().size(), 12);
    EXPECT_TRUE(form->LogLines()[6].startsWith("??SMSEN\\r | !SM"));
}

// The error box stays up past the window's one-second timer, whose handler must not run on a
// window that is going away.
TEST_F(PortChoiceTest, SettingsFileThatCannotBeWrittenShowsTheErrorAndStillEnds) {
    namespace fs = std::filesystem;
    const struct {
        const char* what;
        void (*make)(const std::string& file);
    } cases[] = {
        {"in a missing folder",
         [](const std::string&) {
         }},
        {"read-only",
         [](const std::string& file) {
             IniFile(file).WriteEntry("General", "ComPortNo", "1");
             fs::permissions(file, fs::perms::owner_read);
         }},
        {"a link to /dev/zero",
         [](const std::string& file) {
             fs::create_symlink("/dev/zero", file);
         }},
    };
    for (const auto& c : cases) {
        settingsFile =
            NewFolder() + (c.make == cases[0].make ? "/missing/" : "/") + "kronax-config.ini";
        c.make(settingsFile);
        Start();
        QElapsedTimer shown;
        std::vector<QString> boxes;
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* box = static_cast<QMessageBox*>(modal);
            if (!shown.isValid()) {
                shown.start();
                boxes.push_back(box->text());
            }
            if (shown.elapsed() > 1200) {
                shown.invalidate();
                box->accept();
            }
        });
        Shutdown();
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0], QString::fromStdString("Unable to write to " + settingsFile)) << c.what;
    }
}

TEST(PortListTest, UnreadablePortListIsShownAndTheSettingsAreStillWritten) {
    const std::string folder = NewFolder();
    const std::string settingsFile = folder + "/kronax-config.ini";
    IniFile(settingsFile).WriteEntry("General", "ComPortNo", "4");
    ScopedPorts ports(folder + "/no-such-folder");
    {
        ModalAnswerer answerer;
        LinkedForm form(TestEnvironment(settingsFile));
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_FALSE(answerer.boxes[0].isEmpty());
        EXPECT_EQ(form.PortList()->count(), 0);
        form.btnStartClick();
        EXPECT_EQ(form.Text("lblStart"), "Start timeout.") << "the window goes on";
    }
    EXPECT_EQ(IniFile(settingsFile).ReadEntry("General", "ComPortNo", ""), "4");
}

TEST(Com10Test, PortTenIsOpenedByItsFullNameAndRemembered) {
    const std::string settingsFile = NewFolder() + "/kronax-config.ini";
    SimProcess board({}, "COM10");
    ScopedPorts ports(board.Folder());
    {
        LinkedForm form(TestEnvironment(settingsFile));
        EXPECT_EQ(form.PortList()->currentIndex(), -1) << "COM1 is not present";
        form.Pick("COM10");
        EXPECT_EQ(form.PortList()->currentText(), "COM10");
        EXPECT_EQ(form.LogLines().size(), 6);
    }
    EXPECT_EQ(IniFile(settingsFile).ReadEntry("General", "ComPortNo", ""), "10");
}

} // namespace
} // namespace kronax::test
