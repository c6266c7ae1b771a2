#include "tests/cli/CliHarness.h"

#include "protocol/ConfigurationSnapshot.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A Motion Encoder configuration unlike the simulator's start one in every payload.
ConfigurationSnapshot MotionEncoderSnapshot() {
    ConfigurationSnapshot s = StartSnapshot();
    s.configuration = {
        .CountsPerRev = 900, .Multiplier = 4, .Divider = 3, .Alpha = 15, .Beta = 200};
    s.Selected(Selection::SensorType) = sensor_type::MotionEncoder;
    s.Selected(Selection::EncoderMode) = 2;
    s.Selected(Selection::EdgeAB) = 1;
    s.Selected(Selection::InputFilter) = 4;
    s.Selected(Selection::Aux1Source) = 3;
    s.Selected(Selection::Aux2Source) = 7;
    s.Selected(Selection::Di6Source) = 1;
    s.Selected(Selection::Di7Source) = 5;
    return s;
}

std::string SavedMotionEncoderFile(const Boards& boards) {
    const std::string file = boards.File("encoder.kxcfg");
    SaveConfigFile(file, MotionEncoderSnapshot(), false);
    return file;
}

TEST(PtyKronaxConfiguration, ReadWriteVerifyAndReadAgainGiveTheSameFileByteForByte) {
    Boards boards(1);
    const std::string file = SavedMotionEncoderFile(boards);

    Outcome write = Kronax({"write", "--port", "COM1", file, "--verify"});
    EXPECT_EQ(write.code, 0) << write.err;
    EXPECT_THAT(write.out, HasSubstr("Mode: board x1, file x4\n"));
    EXPECT_THAT(write.out, HasSubstr("Counts per Rev.: board 1, file 900\n"));
    EXPECT_THAT(write.out, HasSubstr(" | CA parameters acknowledged.\n"));
    EXPECT_THAT(write.out, HasSubstr(" | MUX acknowledged.\n"));
    EXPECT_THAT(write.out, HasSubstr("Verify: the board holds the configuration written.\n"));

    const std::string readBack = boards.File("read.kxcfg");
    Outcome read = Kronax({"read", "--port", "COM1", "--output", readBack});
    EXPECT_EQ(read.code, 0) << read.err;
    EXPECT_EQ(ReadFileText(readBack), ReadFileText(file));
    EXPECT_THAT(read.out, HasSubstr("Sensor Type: Motion Encoder\nMode: x4\nEdge Trigger: rising\n"
                                    "Edge A, B: falling\nInput Filter: 1 \xC2\xB5s\n"
                                    "Counts per Rev.: 900\nAUX 1: CA_Hole\n"));
    EXPECT_THAT(read.out, HasSubstr("Beta (0..255): 200\n"));
    EXPECT_THAT(read.out, Not(HasSubstr("Tooth 1")));
    EXPECT_THAT(read.out, Not(HasSubstr("Trigger Level")));

    EXPECT_EQ(Kronax({"diff", "--port", "COM1", file}).code, 0);
}

TEST(PtyKronaxConfiguration, JsonReadCarriesTheFieldsAndTheRawPayloads) {
    Boards boards(1);
    ASSERT_EQ(Kronax({"write", "--port", "COM1", SavedMotionEncoderFile(boards)}).code, 0);
    Outcome read = Kronax({"read", "--port", "COM1", "--json"});
    ASSERT_EQ(read.code, 0) << read.err;
    const auto json = nlohmann::json::parse(read.out);
    EXPECT_EQ(json["port"], "COM1");
    EXPECT_EQ(json["fields"]["sensor_type"], "Motion Encoder");
    EXPECT_EQ(json["fields"]["counts_per_rev"], 900);
    EXPECT_EQ(json["fields"]["input_filter"], "1 \xC2\xB5s");
    EXPECT_FALSE(json["fields"].contains("tooth1"));
    EXPECT_EQ(json["payloads"]["CDM"], "0384");
    EXPECT_EQ(json["payloads"].size(), 6u);
}

TEST(PtyKronaxConfiguration, DryRunAndDiffShowTheDifferencesAndSendNoWrite) {
    Boards boards(1);
    const std::string file = SavedMotionEncoderFile(boards);
    Outcome dry = Kronax({"write", "--port", "COM1", file, "--dry-run"});
    Outcome diff = Kronax({"diff", "--port", "COM1", file, "--json"});
    EXPECT_EQ(dry.code, 0);
    EXPECT_EQ(diff.code, 1);
    EXPECT_THAT(dry.out, HasSubstr("Sensor Type: board Off, file Motion Encoder\n"));
    EXPECT_THAT(dry.out, Not(HasSubstr("acknowledged")));
    const auto json = nlohmann::json::parse(diff.out);
    EXPECT_EQ(
        json["differences"][0],
        nlohmann::json({{"field", "sensor_type"}, {"board", "Off"}, {"file", "Motion Encoder"}}));
    EXPECT_FALSE(boards.ReceivedAny("COM1", "##"));
}

TEST(PtyKronaxConfiguration, APowerOnDefaultFollowsOnlyAFullyAcknowledgedWrite) {
    Boards boards(SimArgs{{}, {"--refuse", "##SMCDM"}});
    const std::string file = SavedMotionEncoderFile(boards);

    Outcome good = Kronax({"write", "--port", "COM1", file, "--set-default"});
    EXPECT_EQ(good.code, 0);
    EXPECT_THAT(good.out, HasSubstr("Setting power on defaults aknowledged.\n"));
    EXPECT_TRUE(boards.ReceivedAny("COM1", "##SMSETP"));

    Outcome refused = Kronax({"write", "--port", "COM2", file, "--set-default", "--verify"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_THAT(refused.out, HasSubstr(" | CDM parameters NOT acknowledged.\n"));
    EXPECT_THAT(refused.out, HasSubstr(" | MUX acknowledged.\n"));
    EXPECT_THAT(refused.out, HasSubstr("Setting power on defaults not sent.\n"));
    EXPECT_EQ(refused.err, "COM2: the board did not acknowledge every write\n");
    EXPECT_FALSE(boards.ReceivedAny("COM2", "##SMSETP"));
}

TEST(PtyKronaxConfiguration, ABoardThatCannotBeReadFirstGetsNoWrite) {
    Boards boards(SimArgs{{"--ignore", "??SMMUX"}});
    const std::string file = SavedMotionEncoderFile(boards);
    Outcome write = Kronax({"write", "--port", "COM1", file, "--verify", "--set-default"});
    EXPECT_EQ(write.code, 1);
    EXPECT_THAT(write.out, HasSubstr("??SMMUX | Operation Mode timeout.\n"));
    EXPECT_FALSE(boards.ReceivedAny("COM1", "##"));
}

TEST(PtyKronaxConfiguration, AnOutputFileIsNeverOverwrittenWithoutForceNorLeftHalfWritten) {
    Boards boards(1);
    const std::string existing = boards.File("existing.kxcfg");
    std::ofstream(existing) << "[Other]\nkeep=1\n";

    Outcome refused = Kronax({"read", "--port", "COM1", "--output", existing});
    EXPECT_EQ(refused.code, 4);
    EXPECT_EQ(refused.err, existing + ": exists already (--force overwrites it)\n");
    EXPECT_EQ(ReadFileText(existing), "[Other]\nkeep=1\n");
    EXPECT_TRUE(boards.Received("COM1").empty());

    EXPECT_EQ(Kronax({"read", "--port", "COM1", "--output", existing, "--force"}).code, 0);
    EXPECT_THAT(ReadFileText(existing), HasSubstr("[Other]\nkeep=1\n"));
    EXPECT_THAT(ReadFileText(existing), HasSubstr("SEN=010100000000"));

    const std::string nowhere = boards.File("missing-folder/out.kxcfg");
    const std::size_t exchanges = boards.Received("COM1").size();
    Outcome unwritable = Kronax({"read", "--port", "COM1", "--output", nowhere});
    EXPECT_EQ(unwritable.code, 4);
    EXPECT_THAT(unwritable.err, HasSubstr(nowhere + ": the folder "));
    EXPECT_EQ(boards.Received("COM1").size(), exchanges) << "refused before any exchange";
    EXPECT_FALSE(std::filesystem::exists(boards.File("missing-folder")));

    Outcome folder = Kronax({"read", "--port", "COM1", "--output", boards.File(""), "--force"});
    EXPECT_EQ(folder.code, 4);
    EXPECT_THAT(folder.err, HasSubstr("is a folder"));
}

TEST(PtyKronaxConfiguration, AFileThatCannotServeIsRefusedBeforeAnythingIsSent) {
    Boards boards(1);
    const std::string partial = boards.File("partial.kxcfg");
    std::ofstream(partial)
        << "[Kronax]\nSEN=010100000000\nCDM=00G1\nABV=0000\nTDF=0001\nMOD=00000\n";
    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {boards.File("none.kxcfg"), boards.File("none.kxcfg") + ": no such file or directory\n"},
        {boards.File(""), boards.File("") + ": is a folder, not a configuration file\n"},
        {partial,
         partial + ": ILLEGAL CDM parameters.\n" + partial + ": INCOMPLETE Operation Mode.\n"},
    };
    for (const auto& c : cases) {
        Outcome write = Kronax({"write", "--port", "COM1", c.file});
        EXPECT_EQ(write.code, 4) << c.file;
        EXPECT_EQ(write.err, c.message);
        EXPECT_EQ(write.out, "");
    }
    EXPECT_TRUE(boards.Received("COM1").empty());
}

TEST(PtyKronaxConfiguration, SetSendsOnlyThePayloadsOfTheNamedSettingsAndNamesAMixture) {
    Boards boards(SimArgs{{}, {"--refuse", "##SMTDF"}});
    Outcome set =
        Kronax({"write", "-p", "COM1", "--set", "multiplier=20", "--set", "divider=4", "--verify"});
    EXPECT_EQ(set.code, 0) << set.err;
    EXPECT_THAT(set.out, HasSubstr("Multiplier (0..255): board 0, new 20\n"));
    std::vector<std::string> writes;
    for (const std::string& line : boards.Received("COM1"))
        if (line.starts_with("##"))
            writes.push_back(line);
    EXPECT_EQ(writes, std::vector<std::string>{"##SMTDF1404\\r"});

    Outcome mixed = Kronax(
        {"write", "-p", "COM2", "--set", "multiplier=20", "--set", "sensor_type=Motion Encoder"});
    EXPECT_EQ(mixed.code, 1);
    EXPECT_THAT(mixed.out, HasSubstr("The board now holds a mixture: MOD, MUX written; TDF "
                                     "(multiplier, divider) not written, old values kept.\n"));
    EXPECT_THAT(mixed.out, Not(HasSubstr("##SMSEN")));
}

TEST(PtyKronaxConfiguration, AValueOutOfRangeIsNeverSentUnlessAllowed) {
    Boards boards(1);
    const std::string file = boards.File("zero.kxcfg");
    std::ofstream(file) << "[Kronax]\nSEN=010100000000\nCDM=0001\nABV=0000\nTDF=2000\n"
                           "MOD=00000\nMUX=00880\n";
    Outcome refused = Kronax({"write", "-p", "COM1", file});
    EXPECT_EQ(refused.code, 4);
    EXPECT_THAT(refused.err, HasSubstr("divider 0 (out of range 1 to 255)"));
    EXPECT_TRUE(boards.Received("COM1").empty());

    EXPECT_EQ(Kronax({"write", "-p", "COM1", file, "--allow-out-of-range"}).code, 0);
    EXPECT_TRUE(boards.ReceivedAny("COM1", "##SMTDF2000"));
    Outcome read = Kronax({"read", "-p", "COM1", "--json"});
    EXPECT_EQ(nlohmann::json::parse(read.out)["out_of_range"][0]["field"], "divider");
    // A change that leaves the value alone says so and sends only its own payload.
    Outcome set = Kronax({"write", "-p", "COM1", "--set", "alpha=3"});
    EXPECT_EQ(set.code, 0);
    EXPECT_THAT(set.err, HasSubstr("the board holds divider 0 (out of range 1 to 255); left as"));
}

} // namespace
} // namespace kronax::cli::testing
