#include "config_file/ConfigFileFlows.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "protocol/PayloadCodec.h"
#include "tests/fakes/FakeEntryStore.h"
#include "tests/fakes/ScriptedChannel.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

namespace kronax {
namespace {

using test::BoardHolding;
using test::FakeEntryFile;
using test::FakeEntryStore;
using test::ScriptedChannel;

// Answers the dialogs as scripted and records, in order, what the flow asked of the window.
class ScriptedWindow : public IConfigFileWindow {
public:
    std::optional<std::string> chosenFile = "board.kxcfg";
    bool overwrite = true;
    std::vector<std::string> events;
    std::vector<std::string> reports;
    std::vector<std::string> warnings;

    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) override {
        CheckOptions(options);
        events.push_back("save dialog");
        return chosenFile;
    }
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) override {
        CheckOptions(options);
        events.push_back("open dialog");
        return chosenFile;
    }
    bool ConfirmWarning(std::string_view message, std::string_view caption) override {
        warnings.push_back(std::string(caption) + ": " + std::string(message));
        return overwrite;
    }
    void Repaint() override { events.push_back("repaint"); }
    void SetReport(const std::string& report) override {
        events.push_back("report");
        reports.push_back(report);
    }

private:
    static void CheckOptions(const FileDialogOptions& options) {
        EXPECT_EQ(options.defaultExtension, ".kxcfg");
        EXPECT_EQ(options.filter, "VOXA Kronax Config|*.kxcfg");
    }
};

ConfigurationSnapshot UsedConfiguration() {
    ConfigurationSnapshot snapshot = StartSnapshot();
    snapshot.configuration = {3600, 12, 0, 0, 1, 0, 0, 4, 3, 2, 100};
    snapshot.Selected(Selection::SensorType) = sensor_type::MotionEncoder;
    snapshot.Selected(Selection::CdmInput) = 1;
    snapshot.Selected(Selection::EncoderMode) = 1;
    snapshot.Selected(Selection::EdgeAB) = 2;
    snapshot.Selected(Selection::InputFilter) = 4;
    snapshot.Selected(Selection::Aux2Source) = 7;
    snapshot.Selected(Selection::Di6Source) = 3;
    return snapshot;
}

std::vector<std::string> Payloads(const IConfigurationView& view) {
    std::vector<std::string> payloads;
    for (PayloadKind kind : PayloadKinds)
        payloads.push_back(EncodePayload(kind, view));
    return payloads;
}

class ConfigFileFlows : public ::testing::Test {
protected:
    MemoryConfigurationView view{UsedConfiguration()};
    ScriptedChannel channel{BoardHolding(StartSnapshot())};
    ScriptedWindow window;
    FakeEntryFile file;
    std::set<std::string> existingFiles;
    std::vector<std::string> openedNames;

    ConfigFileContext Context() {
        return {view, channel, window,
                [this](const std::string& name) {
                    openedNames.push_back(name);
                    return std::make_unique<FakeEntryStore>(file);
                },
                [this](const std::string& name) {
                    return existingFiles.contains(name);
                }};
    }
};

TEST_F(ConfigFileFlows, SavingToANewFileWritesTheSixPayloadsInOrderWithoutAsking) {
    StoreConfigurationToFile(Context());

    EXPECT_TRUE(window.warnings.empty());
    EXPECT_EQ(openedNames, std::vector<std::string>{"board.kxcfg"});
    EXPECT_EQ(file.writtenKeys,
              (std::vector<std::string>{"Kronax/SEN", "Kronax/CDM", "Kronax/ABV", "Kronax/TDF",
                                        "Kronax/MOD", "Kronax/MUX"}));
    EXPECT_EQ(file.entries.at({"Kronax", "CDM"}), "0E10");
    EXPECT_EQ(file.entries.at({"Kronax", "MOD"}), "30241");
    EXPECT_EQ(file.openStores, 0);
    EXPECT_TRUE(channel.commands.empty());
    EXPECT_TRUE(window.reports.empty());
}

TEST_F(ConfigFileFlows, CancelOnTheOverwriteQuestionLeavesTheFileUntouched) {
    existingFiles.insert("board.kxcfg");
    file.Set("SEN", "old");
    window.overwrite = false;

    StoreConfigurationToFile(Context());

    EXPECT_EQ(window.warnings, std::vector<std::string>{"Warning: File exists. Overwrite?"});
    EXPECT_TRUE(openedNames.empty());
    EXPECT_TRUE(file.writtenKeys.empty());
}

TEST_F(ConfigFileFlows, OkOnTheOverwriteQuestionReplacesThePayloadsAndKeepsOtherEntries) {
    existingFiles.insert("board.kxcfg");
    file.Set("SEN", "old");
    file.entries[{"Notes", "Owner"}] = "lab 3";

    StoreConfigurationToFile(Context());

    EXPECT_EQ(window.warnings.size(), 1u);
    EXPECT_EQ(file.entries.at({"Kronax", "SEN"}), "0C0100000000");
    EXPECT_EQ(file.entries.at({"Notes", "Owner"}), "lab 3");
}

TEST_F(ConfigFileFlows, CancelledDialogsDoNothing) {
    window.chosenFile.reset();
    StoreConfigurationToFile(Context());
    LoadConfigurationFromFile(Context());
    EXPECT_TRUE(openedNames.empty());
    EXPECT_TRUE(channel.commands.empty());
    EXPECT_TRUE(window.reports.empty());
}

TEST_F(ConfigFileFlows, OpeningAFileThatDoesNotExistDoesNothing) {
    LoadConfigurationFromFile(Context());
    EXPECT_TRUE(openedNames.empty());
    EXPECT_TRUE(channel.commands.empty());
    EXPECT_EQ(window.events, std::vector<std::string>{"open dialog"});
    EXPECT_EQ(view.Snapshot(), UsedConfiguration());
}

TEST_F(ConfigFileFlows, SavedFileOpensToTheSameConfigurationAndIsSentToTheBoard) {
    StoreConfigurationToFile(Context());
    const auto saved = Payloads(view);
    existingFiles.insert("board.kxcfg");
    view = MemoryConfigurationView();
    int storesOpenAtFirstCommand = -1;
    ScriptedChannel board([&](const std::string&) -> std::optional<std::string> {
        if (storesOpenAtFirstCommand < 0)
            storesOpenAtFirstCommand = file.openStores;
        return "!SMACK\r";
    });
    ConfigFileContext context = Context();
    ConfigFileContext withBoard{view, board, window, context.openStore, context.fileExists};

    LoadConfigurationFromFile(withBoard);

    EXPECT_EQ(Payloads(view), saved);
    EXPECT_EQ(view.Selected(Selection::SensorType), sensor_type::MotionEncoder);
    ASSERT_EQ(board.commands.size(), 6u);
    for (std::size_t i = 0; i < saved.size(); ++i)
        EXPECT_EQ(board.commands[i],
                  "##SM" + std::string(KindName(PayloadKinds[i])) + saved[i] + "\r");
    EXPECT_EQ(storesOpenAtFirstCommand, 0);
    EXPECT_EQ(window.events, (std::vector<std::string>{"save dialog", "open dialog", "report",
                                                       "repaint", "report"}));
    EXPECT_EQ(window.reports[0], "CA read.\r\nCDM parameters read.\r\nAlpha Beta parameters "
                                 "read.\r\nMultiplier/Devider parameters read.\r\nOperation Mode "
                                 "read.\r\nOperation Mode read.\r\n");
    EXPECT_EQ(window.reports[1].substr(0, 37), "##SMSEN0C0100000000 | CA parameters a");
}

TEST_F(ConfigFileFlows, FileWithoutMuxLoadsTheRestAndKeepsTheSources) {
    existingFiles.insert("board.kxcfg");
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"SEN", "050100000000"},
                                                          {"CDM", "0100"},
                                                          {"ABV", "0102"},
                                                          {"TDF", "0304"},
                                                          {"MOD", "41000"}})
        file.Set(key, value);

    LoadConfigurationFromFile(Context());

    EXPECT_EQ(view.Configuration().Tooth1, 5);
    EXPECT_EQ(view.Configuration().CountsPerRev, 256);
    EXPECT_EQ(view.Selected(Selection::CaInput), 1);
    EXPECT_EQ(view.Selected(Selection::SensorType), sensor_type::MotionEncoder);
    EXPECT_EQ(view.Selected(Selection::Aux2Source), 7);
    EXPECT_EQ(view.Selected(Selection::Di6Source), 3);
    EXPECT_TRUE(
        window.reports[0].ends_with("Operation Mode read.\r\nINCOMPLETE Operation Mode.\r\n"));
    EXPECT_TRUE(channel.commands.empty()) << "a file without MUX is not a whole configuration";
}

TEST_F(ConfigFileFlows, TwoCharacterModeLeavesModeCodeZeroSoTheSensorBecomesInCarWithGaps) {
    existingFiles.insert("board.kxcfg");
    file.Set("MOD", "31");
    file.Set("MUX", "0088C");

    LoadConfigurationFromFile(Context());

    EXPECT_EQ(view.Selected(Selection::SensorType), sensor_type::InCarWithGaps);
    EXPECT_EQ(window.reports[0], "INCOMPLETE CA parameters.\r\nINCOMPLETE CDM parameters.\r\n"
                                 "INCOMPLETE Alpha Beta parameters.\r\nINCOMLETE "
                                 "Multiplier/Devider parameters.\r\nINCOMPLETE Operation "
                                 "Mode.\r\nOperation Mode read.\r\n");
}

TEST_F(ConfigFileFlows, RefusedWriteEndsTheSaveReleasesTheFileAndReachesTheCaller) {
    file.failingWrite = 2;

    try {
        StoreConfigurationToFile(Context());
        ADD_FAILURE() << "the write error was swallowed";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Unable to write to test.kxcfg");
    }

    EXPECT_EQ(file.openStores, 0);
    EXPECT_EQ(file.writtenKeys, (std::vector<std::string>{"Kronax/SEN", "Kronax/CDM"}));
}

TEST_F(ConfigFileFlows, PortErrorWhileSendingAnOpenedFileKeepsTheReadReport) {
    StoreConfigurationToFile(Context());
    existingFiles.insert("board.kxcfg");
    ScriptedChannel failing([](const std::string&) -> std::optional<std::string> {
        throw std::runtime_error("port gone");
    });
    ConfigFileContext context = Context();

    EXPECT_THROW(
        LoadConfigurationFromFile({view, failing, window, context.openStore, context.fileExists}),
        std::runtime_error);

    EXPECT_EQ(file.openStores, 0);
    EXPECT_EQ(window.reports.size(), 1u);
}

// Sending what the window holds after a partial read would give the board the window's old values
// mixed with the file's: such a file is read into the window and shown, but nothing is sent.
TEST_F(ConfigFileFlows, FileThatIsNotAWholeLegalConfigurationSendsNothing) {
    const struct {
        const char* what;
        const char* key;
        const char* value;
        const char* failure;
    } cases[] = {
        {"illegal CDM", "CDM", "00Z0", "ILLEGAL CDM parameters."},
        {"short SEN", "SEN", "0C01", "INCOMPLETE CA parameters."},
        {"long MUX", "MUX", "000000", "INCOMPLETE Operation Mode."},
        {"illegal digit in TDF", "TDF", "01G1", "ILLEGAL Multiplier/Devider parameters."},
    };
    for (const auto& c : cases) {
        file = FakeEntryFile();
        window = ScriptedWindow();
        view = MemoryConfigurationView(UsedConfiguration());
        StoreConfigurationToFile(Context());
        file.Set(c.key, c.value);
        existingFiles.insert("board.kxcfg");

        const FileOpening opening = LoadConfigurationFromFile(Context());

        EXPECT_EQ(opening.outcome, FileOpening::Outcome::NotSent) << c.what;
        EXPECT_EQ(opening.fileName, "board.kxcfg") << c.what;
        EXPECT_NE(ReportText(opening.readReport).find(c.failure), std::string::npos) << c.what;
        EXPECT_TRUE(opening.writeReport.steps.empty()) << c.what;
        EXPECT_TRUE(channel.commands.empty()) << c.what;
        EXPECT_EQ(window.events, (std::vector<std::string>{"save dialog", "open dialog", "report"}))
            << c.what;
        EXPECT_EQ(window.reports, std::vector<std::string>{ReportText(opening.readReport)})
            << c.what;
    }
}

TEST_F(ConfigFileFlows, FlowsTellWhatTheyDid) {
    EXPECT_EQ(StoreConfigurationToFile(Context()), std::optional<std::string>("board.kxcfg"));
    existingFiles.insert("board.kxcfg");
    const FileOpening opening = LoadConfigurationFromFile(Context());
    EXPECT_EQ(opening.outcome, FileOpening::Outcome::Sent);
    EXPECT_EQ(ReportText(opening.readReport), window.reports.at(0));
    EXPECT_EQ(ReportText(opening.writeReport), window.reports.at(1));
    EXPECT_EQ(channel.commands.size(), 6u);

    window.overwrite = false;
    EXPECT_EQ(StoreConfigurationToFile(Context()), std::nullopt) << "declined overwrite";
    window.chosenFile.reset();
    EXPECT_EQ(StoreConfigurationToFile(Context()), std::nullopt);
    EXPECT_EQ(LoadConfigurationFromFile(Context()).outcome, FileOpening::Outcome::NothingOpened);
}

} // namespace
} // namespace kronax
