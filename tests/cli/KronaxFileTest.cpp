#include "tests/cli/CliHarness.h"

#include "cli/ConfigurationFields.h"
#include "protocol/PayloadCodec.h"
#include "tests/support/ScopedEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>
#include <unistd.h>

namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;

TEST(KronaxUsage, HelpNamesEveryCommandAndTheExitCodes) {
    Outcome help = Kronax({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* command : {"ports", "read", "write", "diff", "show", "start", "status", "info",
                                "set-default", "Exit codes:", "4    file error"})
        EXPECT_THAT(help.out, HasSubstr(command));
}

TEST(KronaxUsage, EveryMistakeInTheCommandLineIsCodeTwo) {
    const std::vector<std::string> mistakes[] = {
        {},
        {"frobnicate"},
        {"read"},
        {"read", "--port", ","},
        {"write", "--port", "COM1"},
        {"read", "--port", "COM1,COM2", "--output", "x.kxcfg"},
    };
    for (const auto& args : mistakes)
        EXPECT_EQ(Kronax(args).code, 2) << ::testing::PrintToString(args);
}

TEST(KronaxUsage, AMistypedCommandIsNamedWithTheOneMeant) {
    const Outcome typo = Kronax({"raed", "-p", "COM1"});
    EXPECT_EQ(typo.code, 2);
    EXPECT_EQ(typo.err, "kronax: 'raed' is no command (did you mean read?); kronax --help lists "
                        "them\n");
}

TEST(KronaxPorts, AComputerWithoutAnyPortListsNoneButAllHasNothingToRunOn) {
    Scratch scratch;
    kronax::test::ScopedEnvironment missing("KRONAX_PORTS", scratch.Path("no-such-folder"));
    const Outcome noFolder = Kronax({"ports"});
    EXPECT_EQ(noFolder.code, 3);
    EXPECT_THAT(noFolder.err, HasSubstr("no-such-folder, which is no folder"));
    kronax::test::ScopedEnvironment ports("KRONAX_PORTS", scratch.Path(""));
    const Outcome list = Kronax({"ports"});
    EXPECT_EQ(list.code, 0) << list.err;
    EXPECT_EQ(list.out, "");
    EXPECT_EQ(Kronax({"ports", "--json"}).out, "");
    const Outcome all = Kronax({"status", "--all"});
    EXPECT_EQ(all.code, 3);
    EXPECT_THAT(all.err, HasSubstr("no serial ports present"));
}

TEST(KronaxShow, DecodesAFileAndNamesEachPayloadItCannotUse) {
    Scratch scratch;
    const std::string good = scratch.Path("good.kxcfg");
    ConfigurationSnapshot inCar = StartSnapshot();
    inCar.configuration.Tooth1 = 10;
    inCar.configuration.Gap1 = 3;
    inCar.configuration.Tooth2 = 2;
    inCar.configuration.Gap2 = 1;
    inCar.Selected(Selection::SensorType) = sensor_type::InCarWithGaps;
    inCar.Selected(Selection::TriggerLevel) = 1;
    SaveConfigFile(good, inCar, false);
    Outcome show = Kronax({"show", good});
    EXPECT_EQ(show.code, 0) << show.err;
    EXPECT_THAT(show.out, HasSubstr("Sensor Type: In Car with Gaps\n"));
    EXPECT_THAT(show.out, HasSubstr("Trigger Level: 0.4 V\n"));
    EXPECT_THAT(show.out, HasSubstr("Tooth 1: 10\nGap 1: 3\nTooth 2: 2\nGap 2: 1\n"));
    EXPECT_THAT(show.out, ::testing::Not(HasSubstr("Counts per Rev.")));

    const std::string bad = scratch.Path("bad.kxcfg");
    std::ofstream(bad) << "[Kronax]\nSEN=0A03\nABV=ZZ00\n";
    Outcome broken = Kronax({"show", bad, "--json"});
    EXPECT_EQ(broken.code, 4);
    EXPECT_THAT(broken.err, HasSubstr(bad + ": INCOMPLETE CA parameters.\n"));
    EXPECT_THAT(broken.err, HasSubstr(bad + ": ILLEGAL Alpha Beta parameters.\n"));
    EXPECT_THAT(broken.err, HasSubstr(bad + ": INCOMLETE Multiplier/Devider parameters.\n"));
    const auto json = nlohmann::json::parse(broken.out);
    EXPECT_EQ(json["problems"].size(), 6u);
    EXPECT_EQ(json["payloads"]["ABV"], "ZZ00");
    EXPECT_EQ(Kronax({"show", scratch.Path("none.kxcfg")}).code, 4);
}

TEST(KronaxFiles, AFifoIsRefusedWithoutWaitingAndALinkedFileIsSavedThroughItsLink) {
    Scratch scratch;
    const std::string fifo = scratch.Path("fifo.kxcfg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opening the FIFO to read it would wait for a writer for ever.
    alarm(30);
    Outcome show = Kronax({"show", fifo});
    EXPECT_EQ(show.code, 4);
    EXPECT_THAT(show.err, HasSubstr(fifo + ": not a regular file"));
    EXPECT_THROW(SaveConfigFile(fifo, StartSnapshot(), true), EFileProblem);
    alarm(0);

    const std::string target = scratch.Path("target.kxcfg");
    const std::string link = scratch.Path("link.kxcfg");
    std::ofstream(target) << "[Other]\r\nKept=1\r\n";
    std::filesystem::create_symlink(target, link);
    SaveConfigFile(link, StartSnapshot(), true);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_THAT(ReadFileText(target), HasSubstr("Kept=1"));
    EXPECT_THAT(ReadFileText(target), HasSubstr("SEN="));
}

TEST(KronaxDiff, ComparesOnlyWhatAWriteCanChange) {
    ConfigurationSnapshot board = StartSnapshot();
    ConfigurationSnapshot file = StartSnapshot();
    // Off carries none of the sensor's options: they cannot differ on the board.
    file.Selected(Selection::EdgeTrigger) = 1;
    EXPECT_TRUE(DiffFields(EncodePayloads(board), EncodePayloads(file)).empty());
    // The counts go to the board all the same, but neither sensor type shows them: only their
    // payload differs.
    file.configuration.CountsPerRev = 500;
    file.configuration.Divider = 7;
    ASSERT_EQ(DiffFields(EncodePayloads(board), EncodePayloads(file)).size(), 1u);
    EXPECT_EQ(DiffFields(EncodePayloads(board), EncodePayloads(file))[0].caption,
              "Divider (1..255)");

    file.Selected(Selection::SensorType) = sensor_type::PulseTrigger;
    const auto differences = DiffFields(EncodePayloads(board), EncodePayloads(file));
    ASSERT_GE(differences.size(), 3u);
    EXPECT_EQ(differences[0].caption, "Sensor Type");
    EXPECT_EQ(differences[0].fileText, "Pulse + Trigger");
    EXPECT_EQ(DifferencesText(differences).substr(0, 45),
              "Sensor Type: board Off, file Pulse + Trigger\n");
}

} // namespace
} // namespace kronax::cli::testing
