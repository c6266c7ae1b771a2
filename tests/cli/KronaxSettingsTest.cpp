#include "cli/ProgressWords.h"
#include "cli/Settings.h"
#include "config_file/IniEntryStore.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "tests/cli/CliHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;

// What the window's Open makes of a file.
ConfigurationSnapshot OpenedInWindow(const std::string& file) {
    MemoryConfigurationView view;
    const TransferReport report = ReadConfiguration(view, IniEntryStore(file));
    EXPECT_TRUE(report.AllSucceeded()) << file;
    return view.Snapshot();
}

TEST(KronaxSettings, EverySettingTakesItsBoundsAndRefusesOneBeyondNamingItsRange) {
    const struct {
        std::string key;
        std::string lowest;
        std::int32_t lowestValue; // the number, or the position of the choice
        std::string highest;
        std::int32_t highestValue;
        std::string beyond;
        std::string takes; // part of the message for the value beyond
    } cases[] = {
        {"sensor_type", "off", 0, "In Car, Double Tooth", 4, "Pulse", "\"Motion Encoder\""},
        {"cdm_input", "CDMA", 0, "cdmb", 1, "CDMC", "\"CDMA\", \"CDMB\""},
        {"encoder_mode", "x1", 0, "x4", 2, "x3", "\"x1\", \"x2\", \"x4\""},
        {"ca_input", "CA", 0, "CDMA", 1, "CDMB", "\"CA\", \"CDMA\""},
        {"edge_trigger", "rising", 0, "falling", 1, "both", "\"rising\", \"falling\""},
        {"edge_detection", "rising", 0, "falling", 1, "both", "\"rising\", \"falling\""},
        {"edge_ab", "rising", 0, "both", 2, "none", "\"both\""},
        {"trigger_level", "2 V", 0, "0.4 V", 1, "1 V", "\"2 V\", \"0.4 V\""},
        {"input_filter", "Bypass", 0, "5 \xC2\xB5s", 7, "6 \xC2\xB5s", "\"5 \xC2\xB5s\""},
        {"aux1_source", "CA", 0, "off", 16, "In_DIO16", "\"In_DIO15\", \"off\""},
        {"aux2_source", "ca", 0, "== Off ==", 16, "", "\"CA\""},
        {"di6_source", "AUX 1", 0, "off", 8, "AUX 3", "\"CDMB\", \"off\""},
        {"di7_source", "aux 1", 0, "OFF", 8, "CA_Trg", "\"CA_E\""},
        {"counts_per_rev", "1", 1, "7200", 7200, "7201", "1 to 7200"},
        {"tooth1", "1", 1, "127", 127, "0", "1 to 127"},
        {"tooth2", "0", 0, "127", 127, "128", "0 to 127"},
        {"tooth3", "0", 0, "127", 127, "-1", "0 to 127"},
        {"gap1", "1", 1, "14", 14, "0", "1 to 14"},
        {"gap2", "0", 0, "14", 14, "15", "0 to 14"},
        {"gap3", "0", 0, "14", 14, "15", "0 to 14"},
        {"multiplier", "0", 0, "255", 255, "256", "0 to 255"},
        {"divider", "1", 1, "255", 255, "0", "1 to 255"},
        {"alpha", "0", 0, "15", 15, "16", "0 to 15"},
        {"beta", "0", 0, "255", 255, "256", "0 to 255"},
    };
    ASSERT_EQ(std::size(cases), AllSettings().size());
    for (const auto& c : cases) {
        for (const auto& [text, value] :
             {std::pair(c.lowest, c.lowestValue), std::pair(c.highest, c.highestValue)}) {
            const SettingValue parsed = ParseSettingValue(c.key + "=" + text);
            EXPECT_EQ(SettingKey(parsed.setting), c.key) << text;
            EXPECT_EQ(parsed.value, value) << c.key << "=" << text;
        }
        try {
            ParseSettingValue(c.key + "=" + c.beyond);
            ADD_FAILURE() << c.key << "=" << c.beyond << " was taken";
        } catch (const ESettingProblem& problem) {
            EXPECT_THAT(problem.what(), HasSubstr(c.key + " takes "));
            EXPECT_THAT(problem.what(), HasSubstr(c.takes));
        }
    }
    Outcome unknown = Kronax({"new", "--output", "-", "multipler=3"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_THAT(unknown.err, HasSubstr("'multipler' is no setting (did you mean multiplier?)"));
}

TEST(KronaxSettings, NewAndEditMakeFilesTheWindowOpensAsAsked) {
    Scratch scratch;
    const std::string file = scratch.Path("encoder.kxcfg");
    ASSERT_EQ(Kronax({"new", "sensor_type=Motion Encoder", "encoder_mode=x4", "counts_per_rev=900",
                      "aux1_source=CA_Hole", "--output", file})
                  .code,
              0);
    ConfigurationSnapshot expected = StartSnapshot();
    expected.Selected(Selection::SensorType) = sensor_type::MotionEncoder;
    expected.Selected(Selection::EncoderMode) = 2;
    // A read always gives CDMB for this sensor type, and the trigger level from the mode.
    expected.Selected(Selection::CdmInput) = 1;
    expected.Selected(Selection::TriggerLevel) = 1;
    expected.Selected(Selection::Aux1Source) = 3;
    expected.configuration.CountsPerRev = 900;
    EXPECT_EQ(OpenedInWindow(file), expected);
    EXPECT_EQ(Kronax({"new", "--output", file}).code, 4) << "an existing file needs --force";

    // Only the payload the change touches is written again; the others keep the file's text.
    std::ofstream(file, std::ios::app) << "[Other]\nkept=1\n";
    const std::string before = ReadFileText(file);
    ASSERT_EQ(Kronax({"edit", file, "multiplier=20", "divider=4"}).code, 0);
    expected.configuration.Multiplier = 20;
    expected.configuration.Divider = 4;
    EXPECT_EQ(OpenedInWindow(file), expected);
    EXPECT_THAT(ReadFileText(file), HasSubstr("TDF=1404"));
    EXPECT_THAT(ReadFileText(file), HasSubstr("kept=1"));

    const struct {
        std::vector<std::string> args;
        int code;
    } refused[] = {
        {{"edit", file, "counts_per_rev=1801"}, 2}, // beyond x4's limit
        {{"edit", file, "divider=0"}, 2},
        {{"edit", file}, 2},
        {{"edit", scratch.Path("none.kxcfg"), "alpha=1"}, 4},
    };
    const std::string edited = ReadFileText(file);
    for (const auto& c : refused)
        EXPECT_EQ(Kronax(c.args).code, c.code) << c.args.back();
    EXPECT_EQ(ReadFileText(file), edited);
    EXPECT_EQ(Kronax({"edit", file, "counts_per_rev=1801", "--allow-out-of-range"}).code, 0);
}

TEST(KronaxSettings, AFileWithAValueOutOfRangeIsShownAsSuchAndAPartialOneWithoutMadeUpValues) {
    Scratch scratch;
    const std::string file = scratch.Path("zero.kxcfg");
    ASSERT_EQ(Kronax({"new", "--output", file}).code, 0);
    const std::string text = ReadFileText(file);
    std::ofstream(file) << std::string(text).replace(text.find("TDF=0001"), 8, "TDF=2000");
    Outcome show = Kronax({"show", file});
    EXPECT_EQ(show.code, 4);
    EXPECT_THAT(show.out, HasSubstr("Divider (1..255): 0 (out of range: 1 to 255)\n"));
    EXPECT_THAT(show.err, HasSubstr("divider 0 (out of range 1 to 255)"));

    const std::string partial = scratch.Path("partial.kxcfg");
    std::ofstream(partial) << "[Kronax]\nTDF=1404\n";
    Outcome shown = Kronax({"show", partial});
    EXPECT_EQ(shown.code, 4);
    EXPECT_EQ(shown.out, "Multiplier (0..255): 20\nDivider (1..255): 4\n");
    const auto json = nlohmann::json::parse(Kronax({"show", partial, "--json"}).out);
    EXPECT_EQ(json["fields"], nlohmann::json({{"multiplier", 20}, {"divider", 4}}));
}

TEST(KronaxSettings, ProgressNamesTheStepInWords) {
    ProgressWords words;
    const std::pair<std::string, std::string> steps[] = {
        {"??SMSEN\r", "reading 1 of 6"},
        {"??SMTDF\r", "reading 4 of 6"},
        {"##SMTDF1404\r", "writing TDF 4 of 6"},
        {"??SMMUX\r", "verifying 6 of 6"},
        {"##SMSETP\r", "setting the power-on default"}};
    for (const auto& [command, expected] : steps)
        EXPECT_EQ(words.Next(command), expected);
}

} // namespace
} // namespace kronax::cli::testing
