#include "cli/BoardActions.h"
#include "cli/ConfigFiles.h"
#include "cli/ConfigurationFields.h"
#include "config_file/IniEntryStore.h"
#include "protocol/CommandFraming.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/PayloadCodec.h"
#include "tests/cli/CliHarness.h"
#include "tests/fakes/ScriptedChannel.h"
#include "tests/support/FileText.h"

#include <gtest/gtest.h>

#include <map>

namespace kronax::cli::testing {
namespace {

// Keeps what it is written and answers queries with it, like a board; starts with the window's
// start values.
class StoringBoard {
public:
    std::optional<std::string> Answer(const std::string& command) {
        for (PayloadKind kind : PayloadKinds) {
            const std::string write = WriteCommand(kind, "");
            if (command.starts_with(write)) {
                held_[kind] = command.substr(write.size(), PayloadLength(kind));
                return "!SMACK\r";
            }
            if (command == CommandLine(QueryCommand(kind)))
                return "!SM" + held_[kind] + "\r";
        }
        return "!SMNCK\r";
    }

private:
    std::map<PayloadKind, std::string> held_ = [] {
        std::map<PayloadKind, std::string> held;
        for (PayloadKind kind : PayloadKinds)
            held[kind] = EncodePayload(kind, StartSnapshot());
        return held;
    }();
};

// MOD names no sensor type while MUX enables outputs: encoding what this decodes to does not give
// the file back, so a front end that re-encodes before it compares or writes decodes it otherwise.
TEST(OneDecoder, ShowDiffWriteReadAndTheWindowsOpenDecodeAFileAlike) {
    Scratch scratch;
    const std::string path = scratch.Path("odd.kxcfg");
    test::WriteFileText(path, "[Kronax]\r\nSEN=010100000000\r\nCDM=0001\r\nABV=0000\r\n"
                              "TDF=0001\r\nMOD=F9F9F\r\nMUX=FFFFF\r\n");
    const LoadedFile shown = LoadConfigFile(path);
    ASSERT_TRUE(shown.problems.empty());

    MemoryConfigurationView opened;
    ReadConfiguration(opened, IniEntryStore(path));
    EXPECT_EQ(opened.Snapshot(), shown.snapshot) << "the window's Open";

    StoringBoard board;
    test::ScriptedChannel scripted([&board](const std::string& c) { return board.Answer(c); });
    GuardedChannel channel(scripted);
    const PortResult written = WriteBoardAction(channel, {shown, false, true, false});
    EXPECT_EQ(written.exitCode, ExitSuccess) << written.text;
    EXPECT_EQ(DiffBoardAction(channel, shown).text, "No differences.\n");
    const std::string saved = scratch.Path("saved.kxcfg");
    // The window's encoding of this configuration is not the board's: read --output says so,
    // and read --raw --output stores the board's payloads, which decode as the read did.
    const PortResult read = ReadBoardAction(channel, {saved, false});
    EXPECT_EQ(read.text, FieldsText(shown.snapshot));
    EXPECT_NE(read.warning, "");
    EXPECT_EQ(ReadBoardAction(channel, {saved, true}).text, FieldsText(shown.snapshot));
    EXPECT_EQ(LoadConfigFile(saved).snapshot, shown.snapshot) << "what read --raw --output stored";
}

} // namespace
} // namespace kronax::cli::testing
