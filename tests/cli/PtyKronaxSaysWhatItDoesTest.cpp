#include "protocol/ConfigurationSnapshot.h"
#include "tests/cli/KronaxBinary.h"
#include "tests/support/ScopedEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// kronax as a process against simulated boards: it does what each command line says or refuses
// it, with one exit code per kind of fault and a JSON line for every outcome.
namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

ConfigurationSnapshot Board(int sensorType, int caInput = 0) {
    ConfigurationSnapshot s = StartSnapshot();
    s.Selected(Selection::SensorType) = sensorType;
    s.Selected(Selection::CaInput) = caInput;
    if (sensorType == sensor_type::MotionEncoder) {
        s.Selected(Selection::EncoderMode) = 2; // x4
        s.configuration.CountsPerRev = 900;
    }
    return s;
}

std::string Saved(const Scratch& scratch, const std::string& name,
                  const ConfigurationSnapshot& snapshot) {
    const std::string file = scratch.Path(name);
    SaveConfigFile(file, snapshot, true);
    return file;
}

bool SentAnyWrite(const Boards& boards, const std::string& port) {
    return boards.ReceivedAny(port, "##");
}

// COM1 Off, COM2 a Motion Encoder in x4, COM3 In Car with Gaps taking its CA input from CDMA.
struct ThreeBoards {
    Scratch scratch;
    std::string encoder = Saved(scratch, "encoder.kxcfg", Board(sensor_type::MotionEncoder));
    std::string inCar = Saved(scratch, "incar.kxcfg", Board(sensor_type::InCarWithGaps, 1));
    Boards boards{SimArgs{{}, {"--state", encoder}, {"--state", inCar}}};
};

TEST(PtyKronaxSaysWhatItDoes, ASettingTheSensorTypeDoesNotUseIsRefusedAndNothingIsWritten) {
    ThreeBoards three;
    const std::string encoderFile = three.scratch.Path("edited.kxcfg");
    SaveConfigFile(encoderFile, Board(sensor_type::MotionEncoder), false);
    const std::string before = ReadFileText(encoderFile);
    const struct {
        std::vector<std::string> args;
        std::string port; // the board that must receive no write, or none
        std::string message;
    } refused[] = {
        {{"write", "-p", "COM1", "--set", "encoder_mode=x4"},
         "COM1",
         "encoder_mode is used by Motion Encoder; the board's sensor type is Off"},
        {{"write", "-p", "COM2", "--set", "cdm_input=CDMB"},
         "COM2",
         "cdm_input is used by Pulse + Trigger; the board's sensor type is Motion Encoder"},
        {{"write", "-p", "COM3", "--set", "aux1_source=CA_E"},
         "COM3",
         "the board's sensor type is In Car with Gaps with ca_input CDMA"},
        {{"write", "-p", "COM3", "--set", "trigger_level=0.4 V"}, "COM3", "with ca_input CDMA"},
        {{"write", "-p", "COM1", "--set", "aux1_source=CA_E"},
         "COM1",
         "aux1_source=CA_E would make the sensor type In Car with Gaps; the board's sensor type is "
         "Off"},
        {{"write", "-p", "COM1", "--set", "aux2_source=CA", "--set", "sensor_type=off"},
         "COM1",
         "would make the sensor type In Car with Gaps, not Off as given"},
        {{"new", "sensor_type=Motion Encoder", "cdm_input=CDMB", "--output", "-"},
         "",
         "cdm_input is used by Pulse + Trigger; the sensor type given is Motion Encoder"},
        {{"edit", encoderFile, "cdm_input=CDMB"},
         "",
         "cdm_input is used by Pulse + Trigger; the file's sensor type is Motion Encoder"},
        {{"new", "counts_per_rev=100", "--output", "-"},
         "",
         "counts_per_rev is used by Pulse + Trigger, Motion Encoder; the new file's sensor type "
         "is Off"},
    };
    for (const auto& c : refused) {
        const Outcome outcome = KronaxBinary(c.args);
        EXPECT_EQ(outcome.code, 2) << c.message;
        EXPECT_THAT(outcome.err, HasSubstr(c.message));
        EXPECT_EQ(outcome.out, "") << c.message;
        if (!c.port.empty()) {
            EXPECT_FALSE(SentAnyWrite(three.boards, c.port)) << c.message;
        }
    }
    EXPECT_EQ(ReadFileText(encoderFile), before);

    // Set together with a sensor type that uses them, they go.
    const Outcome encoder = KronaxBinary(
        {"write", "-p", "COM1", "--set", "sensor_type=Motion Encoder", "--set", "encoder_mode=x4"});
    EXPECT_EQ(encoder.code, 0) << encoder.err;
    EXPECT_TRUE(three.boards.ReceivedAny("COM1", "##SMMOD30002"));
    // The differences name only what one of the two sensor types shows.
    EXPECT_THAT(encoder.out, HasSubstr("Mode: board x1, new x4\n"));
    EXPECT_THAT(encoder.out, Not(HasSubstr("Input Selection")));
    EXPECT_THAT(encoder.out, Not(HasSubstr("Trigger Level")));
    const Outcome inCar =
        KronaxBinary({"write", "-p", "COM3", "--set", "ca_input=CA", "--set", "aux1_source=CA_E"});
    EXPECT_EQ(inCar.code, 0) << inCar.err;
    EXPECT_TRUE(three.boards.ReceivedAny("COM3", "##SMMUX"));
}

TEST(PtyKronaxSaysWhatItDoes, ANumberIsDecimalAndOneBeyondThirtyTwoBitsIsNeverWrapped) {
    Boards boards(1);
    const struct {
        std::string value;
        int code;
        std::string said; // on standard error, or the TDF entry written
    } cases[] = {
        {"16", 0, "TDF=1001"},
        {"+7", 0, "TDF=0701"},
        {"0x10", 2, "not a number"},
        {"$10", 2, "not a number"},
        {"x10", 2, "not a number"},
        {" 7", 2, "not a number"},
        {"7 ", 2, "not a number"},
        {"7h", 2, "multiplier=7h: not a number"},
        {"", 2, "not a number"},
        {"-0xFFFFFFF9", 2, "not a number"},
        {"4294967303", 2, "multiplier=4294967303: multiplier takes 0 to 255"},
        {"-1", 2, "multiplier takes 0 to 255"},
    };
    for (const auto& c : cases) {
        const Outcome made = KronaxBinary({"new", "multiplier=" + c.value, "--output", "-"});
        EXPECT_EQ(made.code, c.code) << c.value;
        EXPECT_THAT(c.code == 0 ? made.out : made.err, HasSubstr(c.said)) << c.value;
        const Outcome written =
            KronaxBinary({"write", "-p", "COM1", "--set", "multiplier=" + c.value});
        EXPECT_EQ(written.code, c.code) << c.value;
    }
    // Only the two numbers went to the board.
    std::vector<std::string> writes;
    for (const std::string& line : boards.Received("COM1"))
        if (line.rfind("##SMTDF", 0) == 0)
            writes.push_back(line);
    EXPECT_THAT(writes, ::testing::ElementsAre("##SMTDF1001\\r", "##SMTDF0701\\r"));
}

TEST(PtyKronaxSaysWhatItDoes, OneKindOfFaultEndsWithOneExitCodeWhateverThePath) {
    ThreeBoards three;
    ConfigurationSnapshot zero = StartSnapshot();
    zero.configuration.Divider = 0;
    const std::string outOfRange = Saved(three.scratch, "zero.kxcfg", zero);
    const std::string encoder = three.encoder;
    const struct {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        // A value given out of range: a usage error, whichever limit it passes.
        {{"new", "counts_per_rev=7201", "--output", "-"}, 2},
        {{"new", "sensor_type=Motion Encoder", "encoder_mode=x4", "counts_per_rev=1801", "--output",
          "-"},
         2},
        {{"edit", encoder, "counts_per_rev=1801"}, 2},
        {{"write", "-p", "COM2", "--set", "counts_per_rev=1801"}, 2},
        {{"write", "-p", "COM2", "--set", "counts_per_rev=7201"}, 2},
        // A file that holds one: a file error, whatever reads it.
        {{"show", outOfRange}, 4},
        {{"write", "-p", "COM1", outOfRange}, 4},
        {{"diff", "-p", "COM1", outOfRange}, 4},
        {{"edit", outOfRange, "multiplier=3"}, 4},
        // A difference alone is 1; the same configuration is 0.
        {{"diff", "-p", "COM2", encoder}, 0},
        {{"diff", "-p", "COM1", encoder}, 1},
    };
    for (const auto& c : cases) {
        const Outcome outcome = KronaxBinary(c.args);
        EXPECT_EQ(outcome.code, c.code) << ::testing::PrintToString(c.args) << outcome.err;
    }
    EXPECT_FALSE(SentAnyWrite(three.boards, "COM1"));
    EXPECT_FALSE(SentAnyWrite(three.boards, "COM2"));

    // The help names each kind of fault under one code.
    const std::string help = KronaxBinary({"--help"}).out;
    EXPECT_THAT(help, HasSubstr("  2    usage error"));
    std::size_t mentions = 0;
    for (std::size_t at = help.find("out of range"); at != std::string::npos;
         at = help.find("out of range", at + 1))
        ++mentions;
    EXPECT_EQ(mentions, 2u) << "given on the command line, held in a file:\n" << help;
}

TEST(PtyKronaxSaysWhatItDoes, TextFromBoardsAndStationsCannotDriveTheTerminal) {
    // ESC [ 2 J clears a terminal; 0x9B is the same in one byte.
    test::ScopedEnvironment station("KRONAX_STATION", "line\x1b[2J");
    // The serial number ESC [ 2 J, then the versions P1.2, F2.1 and U1.7.
    Boards boards(SimArgs{{"--reply", "??SMSETB=21534D1B5B324A50312E3246322E3155312E370D"},
                          {"--reply", "??SMSTA=21534D9B324A0D"}});
    Scratch scratch;
    test::ScopedEnvironment records("KRONAX_RECORDS", scratch.Path("records.sqlite3"));
    const struct {
        std::vector<std::string> args;
        std::string shown;
    } cases[] = {
        {{"info", "-p", "COM1"}, "\\x1B[2J"},
        {{"status", "-p", "COM2"}, "\\x9B2J"},
        {{"history"}, "line\\x1B[2J"},
        {{"history", "--board", "\x1b[2J"}, "\\x1B[2J"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = KronaxBinary(c.args);
        EXPECT_THAT(outcome.out + outcome.err, HasSubstr(c.shown)) << c.args[0];
        EXPECT_EQ((outcome.out + outcome.err).find_first_of("\x1b\x9b"), std::string::npos)
            << c.args[0] << ": " << outcome.out;
    }
    // JSON keeps the exact text.
    const auto record =
        nlohmann::json::parse(KronaxBinary({"history", "--json", "--limit", "1"}).out);
    EXPECT_EQ(record["record"]["station"], "line\x1b[2J");
    const auto status = nlohmann::json::parse(KronaxBinary({"status", "-p", "COM2", "--json"}).out);
    EXPECT_EQ(status["reply"], "!SM\xC2\x9B"
                               "2J\r");
}

TEST(PtyKronaxSaysWhatItDoes, EveryOutcomeIsOneJsonLineOfTheSchema) {
    ThreeBoards three;
    const Scratch& scratch = three.scratch;
    test::ScopedEnvironment records("KRONAX_RECORDS", scratch.Path("records.sqlite3"));
    const std::string partial = scratch.Path("partial.kxcfg");
    std::ofstream(partial) << "[Kronax]\nTDF=1404\n";
    ConfigurationSnapshot zero = StartSnapshot();
    zero.configuration.Divider = 0;
    const std::string outOfRange = Saved(scratch, "zero.kxcfg", zero);
    const std::string existing = Saved(scratch, "existing.kxcfg", StartSnapshot());
    const std::string missing = scratch.Path("missing.kxcfg");
    const struct {
        std::vector<std::string> args;
        int code;
        std::string errorCode; // of the one line, or empty for success
    } cases[] = {
        {{"write", "-p", "COM1", missing}, 4, "file_error"},
        {{"write", "-p", "COM1", partial}, 4, "file_incomplete"},
        {{"write", "-p", "COM1", outOfRange}, 4, "out_of_range"},
        {{"diff", "-p", "COM1", partial}, 4, "file_incomplete"},
        {{"diff", "-p", "COM1", outOfRange}, 4, "out_of_range"},
        {{"show", missing}, 4, "file_error"},
        {{"show", outOfRange}, 4, "out_of_range"},
        {{"read", "-p", "COM1", "--output", existing}, 4, "file_error"},
        {{"read", "-p", "COM1", "--output", scratch.Path("none/board.kxcfg")}, 4, "file_error"},
        {{"write", "-p", "COM1", "--set", "encoder_mode=x4"}, 2, "setting_not_used"},
        {{"write", "-p", "COM1", "--set", "multiplier=0x10"}, 2, "usage_error"},
        {{"write", "-p", "COM2", "--set", "counts_per_rev=1801"}, 2, "out_of_range"},
        {{"status", "-p", "COM9"}, 3, "port_not_present"},
        {{"status", "--bogus"}, 2, "usage_error"},
        {{"read", "-p", "COM2"}, 0, ""},
        {{"settings"}, 0, ""},
        {{"history", "--queued"}, 0, ""},
        {{"history", "--limit", "1"}, 0, ""},
        {{"history", "show", "no-such-record"}, 2, "usage_error"},
    };
    std::string lines;
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        const Outcome outcome = KronaxBinary(args);
        EXPECT_EQ(outcome.code, c.code) << args[0] << " " << args.back() << outcome.err;
        const auto objects = JsonLines(outcome.out);
        ASSERT_FALSE(objects.empty()) << ::testing::PrintToString(args);
        if (c.args[0] != "settings") {
            EXPECT_EQ(objects.size(), 1u) << ::testing::PrintToString(args);
        }
        EXPECT_EQ(objects.front()["exit_code"], c.code);
        EXPECT_EQ(objects.front()["error"].is_null() ? "" : objects.front()["error"]["code"],
                  c.errorCode)
            << ::testing::PrintToString(args);
        lines += outcome.out;
    }
    EXPECT_FALSE(SentAnyWrite(three.boards, "COM1"));
    EXPECT_EQ(KronaxBinary({"history", "--limit", "0", "--json"}).out, "");

    const std::string output = scratch.Path("lines.json");
    std::ofstream(output) << lines;
    const std::string check = std::string("/usr/bin/python3 ") + KRONAX_SOURCE_DIR +
                              "/tests/cli/validate_json_lines.py " + KRONAX_SOURCE_DIR +
                              "/cli/schema/kronax-output.schema.json " + output;
    EXPECT_EQ(std::system(check.c_str()), 0);
}

} // namespace
} // namespace kronax::cli::testing
