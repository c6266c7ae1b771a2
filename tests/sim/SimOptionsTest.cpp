#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace kronax::sim {
namespace {

TEST(ParseSimOptions, DefaultsToCom1InTheFolderFromTheEnvironment) {
    const SimOptions options = ParseSimOptions({}, "/tmp/ports");
    EXPECT_EQ(options.portsDir, "/tmp/ports");
    EXPECT_EQ(options.portName, "COM1");
    EXPECT_FALSE(options.faults.silent);
    EXPECT_TRUE(options.faults.ignored.empty());
    EXPECT_EQ(options.faults.delayMs, 0);
}

TEST(ParseSimOptions, ReadsEveryOption) {
    const SimOptions o = ParseSimOptions(
        {"--ports-dir",     "/p",       "--port",         "COM12",        "--state",
         "s.ini",           "--log",    "l.txt",          "--silent",     "--refuse",
         "##SMSEN,??SMSTA", "--refuse", "##SMSETP",       "--ignore",     "??SMMOD,,??SMMUX",
         "--ignore",        "##SMSTA",  "--crlf",         "--delay",      "25",
         "--split",         "3",        "--split-pause",  "80",           "--late",
         "--garbage",       "--pace",   "--late-command", "##SMSTA=1300", "--late-command",
         "??SM=A=5",        "--reply",  "??SMSTA=21B50d"},
        "/env");
    EXPECT_EQ(o.portsDir, "/p");
    EXPECT_EQ(o.portName, "COM12");
    EXPECT_EQ(o.stateFile, "s.ini");
    EXPECT_EQ(o.logFile, "l.txt");
    EXPECT_TRUE(o.faults.silent && o.faults.crLf && o.faults.late && o.faults.garbage &&
                o.faults.pace);
    EXPECT_EQ(o.faults.refused, (std::vector<std::string>{"##SMSEN", "??SMSTA", "##SMSETP"}));
    EXPECT_EQ(o.faults.ignored, (std::vector<std::string>{"??SMMOD", "??SMMUX", "##SMSTA"}));
    EXPECT_EQ(o.faults.delayMs, 25);
    EXPECT_EQ(o.faults.splitSize, 3);
    EXPECT_EQ(o.faults.splitPauseMs, 80);
    EXPECT_EQ(o.faults.lateCommands,
              (std::vector<std::pair<std::string, int>>{{"##SMSTA", 1300}, {"??SM=A", 5}}));
    ASSERT_EQ(o.faults.replies.size(), 1u);
    EXPECT_EQ(o.faults.replies[0].first, "??SMSTA");
    EXPECT_EQ(o.faults.replies[0].second, "!\xB5\r");
}

TEST(ParseSimOptions, RepeatedOptionTakesTheLastValueInsteadOfFailing) {
    const SimOptions o = ParseSimOptions({"--port", "COM2", "--port", "COM3", "--delay", "1",
                                          "--delay", "4", "--silent", "--silent"},
                                         "/p");
    EXPECT_EQ(o.portName, "COM3");
    EXPECT_EQ(o.faults.delayMs, 4);
}

TEST(ParseSimOptions, RejectsWhatItCannotRunWith) {
    const std::vector<std::vector<std::string>> bad = {
        {"--port", "COM0"},
        {"--port", "COM"},
        {"--port", "TTY1"},
        {"--port", "COM1x"},
        {"--delay", "-1"},
        {"--delay", "5ms"},
        {"--delay"},
        {"--frobnicate"},
        {"--split", ""},
        {"--ignore"},
        {"--late-command", "##SMSTA"},
        {"--late-command", "=5"},
        {"--late-command", "##SMSTA=x"},
        {"--reply", "??SMSTA"},
        {"--reply", "=21"},
        {"--reply", "X=2"},
        {"--reply", "X=2G"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(ParseSimOptions(args, "/p"), EUsage) << args[0];
    EXPECT_THROW(ParseSimOptions({}, nullptr), EUsage) << "no device-map folder";
}

TEST(ParseSimOptions, HelpNeedsNothingElse) {
    EXPECT_TRUE(ParseSimOptions({"--help"}, nullptr).help);
    EXPECT_NE(UsageText().find("--ports-dir"), std::string::npos);
    EXPECT_NE(UsageText().find("--ignore CMD[,CMD]"), std::string::npos);
}

} // namespace
} // namespace kronax::sim
