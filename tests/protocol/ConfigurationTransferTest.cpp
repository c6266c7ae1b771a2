#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "protocol/PayloadCodec.h"
#include "tests/fakes/FakeEntryStore.h"
#include "tests/fakes/ScriptedChannel.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kronax {
namespace {

using test::BoardHolding;
using test::FakeEntryFile;
using test::FakeEntryStore;
using test::ScriptedChannel;
using test::SilentBoard;

std::vector<std::string> Lines(const std::string& report) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto end = report.find("\r\n"); end != std::string::npos;
         start = end + 2, end = report.find("\r\n", start))
        lines.push_back(report.substr(start, end - start));
    EXPECT_EQ(start, report.size()) << "report does not end with CR LF";
    return lines;
}

// The part of a report line after its last separator.
std::string Outcome(const std::string& line) {
    const auto separator = line.rfind(" | ");
    return separator == std::string::npos ? line : line.substr(separator + 3);
}

std::vector<std::string> Outcomes(const std::string& report) {
    std::vector<std::string> outcomes;
    for (const std::string& line : Lines(report))
        outcomes.push_back(Outcome(line));
    return outcomes;
}

ScriptedChannel::Responder Answering(std::string answer) {
    return [answer](const std::string&) {
        return std::optional<std::string>(answer);
    };
}

ConfigurationSnapshot InCarConfiguration() {
    ConfigurationSnapshot snapshot = StartSnapshot();
    snapshot.configuration = {1, 58, 2, 0, 2, 0, 0, 10, 2, 5, 9};
    snapshot.Selected(Selection::SensorType) = sensor_type::InCarDoubleTooth;
    snapshot.Selected(Selection::EdgeDetection) = 1;
    snapshot.Selected(Selection::InputFilter) = 6;
    snapshot.Selected(Selection::TriggerLevel) = 1;
    snapshot.Selected(Selection::Aux1Source) = 2;
    snapshot.Selected(Selection::Di7Source) = 5;
    return snapshot;
}

TEST(WriteConfiguration, StartValuesAcceptedGiveSixAcknowledgedLines) {
    MemoryConfigurationView view;
    ScriptedChannel board(Answering("!SMACK\r"));

    const TransferReport report = WriteConfiguration(view, board);

    EXPECT_TRUE(report.AllSucceeded());
    EXPECT_EQ(report.PayloadOf(PayloadKind::MUX), "00880");
    EXPECT_EQ(ReportText(report), "##SMSEN010100000000 | CA parameters acknowledged.\r\n"
                                  "##SMCDM0001 | CDM parameters acknowledged.\r\n"
                                  "##SMABV0000 | Alpha Beta parameters acknowledged.\r\n"
                                  "##SMTDF0001 | Multiplier/Devider parameters acknowledged.\r\n"
                                  "##SMMOD00000 | Operation Mode acknowledged.\r\n"
                                  "##SMMUX00880 | MUX acknowledged.\r\n");
    EXPECT_EQ(board.commands,
              (std::vector<std::string>{"##SMSEN010100000000\r", "##SMCDM0001\r", "##SMABV0000\r",
                                        "##SMTDF0001\r", "##SMMOD00000\r", "##SMMUX00880\r"}));
    EXPECT_EQ(board.timeouts, std::vector<std::int32_t>(6, 1000));
}

TEST(WriteConfiguration, EveryOutcomeHasItsOwnTextForEveryKind) {
    struct Case {
        ScriptedChannel::Responder board;
        std::vector<std::string> outcomes;
    };
    const std::vector<Case> cases = {
        {Answering("OK !SMACK\r"),
         {"CA parameters acknowledged.", "CDM parameters acknowledged.",
          "Alpha Beta parameters acknowledged.", "Multiplier/Devider parameters acknowledged.",
          "Operation Mode acknowledged.", "MUX acknowledged."}},
        {Answering("\r"),
         {"CA parameters NOT acknowledged.", "CDM parameters NOT acknowledged.",
          "Alpha Beta parameters NOT acknowledged.",
          "Multiplier/Devider parameters NOT acknowledged.", "Operation Mode NOT acknowledged.",
          "MUX NOT acknowledged."}},
        {SilentBoard,
         {"CA parameters timeout.", "CDM parameters timeout.", "Alpha Beta parameters timeout.",
          "Multiplier/Devider parameters timeout.", "Operation Mode timeout.", "MUX timeout."}},
    };
    for (const Case& c : cases) {
        MemoryConfigurationView view;
        ScriptedChannel board(c.board);
        EXPECT_EQ(Outcomes(ReportText(WriteConfiguration(view, board))), c.outcomes);
        EXPECT_EQ(board.commands.size(), 6u);
    }
}

TEST(WriteConfiguration, RefusalOfOneCommandDoesNotStopTheOthers) {
    MemoryConfigurationView view;
    ScriptedChannel board([](const std::string& command) -> std::optional<std::string> {
        return command.starts_with("##SMCDM") ? "!SMNCK\r" : "!SMACK\r";
    });

    const auto lines = Lines(ReportText(WriteConfiguration(view, board)));

    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "##SMCDM0001 | CDM parameters NOT acknowledged.");
    EXPECT_EQ(Outcome(lines[5]), "MUX acknowledged.");
}

TEST(WriteConfiguration, PortErrorEndsTheWriteAtThatCommand) {
    MemoryConfigurationView view;
    ScriptedChannel board([](const std::string& command) -> std::optional<std::string> {
        if (command.starts_with("##SMABV"))
            throw std::runtime_error("Write error");
        return "!SMACK\r";
    });

    EXPECT_THROW(WriteConfiguration(view, board), std::runtime_error);
    EXPECT_EQ(board.commands.size(), 3u);
}

TEST(WriteConfiguration, FileTargetWritesSixKeysAndNothingElse) {
    MemoryConfigurationView view(InCarConfiguration());
    FakeEntryFile file;
    FakeEntryStore store(file);

    WriteConfiguration(view, store);

    EXPECT_EQ(file.writtenKeys,
              (std::vector<std::string>{"Kronax/SEN", "Kronax/CDM", "Kronax/ABV", "Kronax/TDF",
                                        "Kronax/MOD", "Kronax/MUX"}));
    EXPECT_EQ(file.entries.at({"Kronax", "SEN"}), "3A0202000000");
    EXPECT_EQ(file.entries.at({"Kronax", "MOD"}), "40161");
    EXPECT_EQ(file.entries.at({"Kronax", "MUX"}), "2085D");
}

TEST(ReadConfiguration, BoardConfigurationIsShownWithSixReceivedLines) {
    MemoryConfigurationView view;
    ScriptedChannel board(BoardHolding(InCarConfiguration()));

    const TransferReport report = ReadConfiguration(view, board);

    EXPECT_EQ(ReportText(report), "??SMSEN | CA parameters received.\r\n"
                                  "??SMCDM | CDM parameters received.\r\n"
                                  "??SMABV | Alpha Beta parameters received.\r\n"
                                  "??SMTDF | Multiplier/Devider parameters received.\r\n"
                                  "??SMMOD | Operation Mode received.\r\n"
                                  "??SMMUX | Operation Mode received.\r\n");
    EXPECT_EQ(board.timeouts, std::vector<std::int32_t>(6, 1000));
    EXPECT_EQ(board.commands.front(), "??SMSEN\r");
    for (PayloadKind kind : PayloadKinds) {
        EXPECT_EQ(EncodePayload(kind, view), EncodePayload(kind, InCarConfiguration()));
        EXPECT_EQ(report.PayloadOf(kind), EncodePayload(kind, InCarConfiguration()))
            << "the transfer hands back the payload it read";
    }
    EXPECT_EQ(view.Selected(Selection::SensorType), sensor_type::InCarDoubleTooth);
}

TEST(ReadConfiguration, FaultyRepliesAreReportedWithTheReplyAndApplyNothing) {
    struct Case {
        std::string reply;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"!SM0100\r\n", "??SMCDM | !SM0100\n | CDM parameters NOT received correctly."},
        {"!SMACK\r", "??SMCDM | !SMACK | CDM parameters NOT received correctly."},
        {"XYZ0100\r", "??SMCDM | XYZ0100 | CDM parameters NOT received correctly."},
        {"!SM01\r0\r", "??SMCDM | !SM010\r | CDM parameters received with illegal paramerters."},
        {"!SM0x10\r", "??SMCDM | !SM0x10 | CDM parameters received with illegal paramerters."},
    };
    for (const Case& c : cases) {
        MemoryConfigurationView view;
        ScriptedChannel board([&](const std::string& query) -> std::optional<std::string> {
            if (query == "??SMCDM\r")
                return c.reply;
            return std::nullopt;
        });
        const auto lines = Lines(ReportText(ReadConfiguration(view, board)));
        ASSERT_EQ(lines.size(), 6u);
        EXPECT_EQ(lines[1], c.line);
        EXPECT_EQ(view.Snapshot(), StartSnapshot()) << c.line;
    }
}

TEST(ReadConfiguration, AcknowledgementToEveryQueryIsNotReceivedForEveryKind) {
    MemoryConfigurationView view;
    ScriptedChannel board(Answering("!SMACK\r"));

    EXPECT_EQ(Outcomes(ReportText(ReadConfiguration(view, board))),
              (std::vector<std::string>{"CA parameters NOT received correctly.",
                                        "CDM parameters NOT received correctly.",
                                        "Alpha Beta parameters NOT received correctly.",
                                        "Multiplier/Devider parameters NOT received correctly.",
                                        "Operation Mode NOT received correctly.",
                                        "Operation Mode NOT received correctly."}));
    EXPECT_EQ(view.Snapshot(), StartSnapshot());
}

TEST(ReadConfiguration, SilentBoardGivesSixTimeoutLinesAndChangesNothing) {
    MemoryConfigurationView view(InCarConfiguration());
    ScriptedChannel board(SilentBoard);

    EXPECT_EQ(ReportText(ReadConfiguration(view, board)),
              "??SMSEN | CA parameters timeout.\r\n"
              "??SMCDM | CDM parameters timeout.\r\n"
              "??SMABV | Alpha Beta parameters timeout.\r\n"
              "??SMTDF | Multiplier/Devider parameters timeout.\r\n"
              "??SMMOD | Operation Mode timeout.\r\n"
              "??SMMUX | Operation Mode timeout.\r\n");
    EXPECT_EQ(view.Snapshot(), InCarConfiguration());
}

TEST(ReadConfiguration, IllegalPayloadsGiveTheirOwnTextForEveryKind) {
    MemoryConfigurationView view;
    ScriptedChannel board([](const std::string& query) -> std::optional<std::string> {
        const std::size_t payloadLength = query == "??SMSEN\r"         ? 12
                                          : query.starts_with("??SMM") ? 5
                                                                       : 4;
        return "!SM" + std::string(payloadLength, 'Z') + "\r";
    });

    EXPECT_EQ(Outcomes(ReportText(ReadConfiguration(view, board))),
              (std::vector<std::string>{"CA parameters received with illegal paramerters.",
                                        "CDM parameters received with illegal paramerters.",
                                        "Alpha Beta parameters received with illegal paramerters.",
                                        "Multiplier/Devider parameters received with illegal "
                                        "paramerters.",
                                        "Operation Mode received with illegal paramerters.",
                                        "Operation Mode received with illegal paramerters."}));
}

TEST(ReadConfiguration, ModTimeoutThenMuxWithEnabledOutputsGivesInCarWithGaps) {
    MemoryConfigurationView view;
    ScriptedChannel board([](const std::string& query) -> std::optional<std::string> {
        if (query == "??SMMOD\r")
            return std::nullopt;
        if (query == "??SMMUX\r")
            return "!SM3088F\r";
        return "!SMACK\r";
    });

    const auto lines = Lines(ReportText(ReadConfiguration(view, board)));

    EXPECT_EQ(lines[4], "??SMMOD | Operation Mode timeout.");
    EXPECT_EQ(lines[5], "??SMMUX | Operation Mode received.");
    EXPECT_EQ(view.Selected(Selection::SensorType), sensor_type::InCarWithGaps);
    EXPECT_EQ(view.Selected(Selection::Aux1Source), 3);
}

TEST(ReadConfiguration, PortErrorEndsTheReadAndKeepsWhatWasApplied) {
    MemoryConfigurationView view;
    ScriptedChannel board([](const std::string& query) -> std::optional<std::string> {
        if (query == "??SMABV\r")
            throw std::runtime_error("Read error");
        return query == "??SMSEN\r" ? "!SM070100000000\r" : "!SM0200\r";
    });

    EXPECT_THROW(ReadConfiguration(view, board), std::runtime_error);
    EXPECT_EQ(board.commands.size(), 3u);
    EXPECT_EQ(view.Configuration().Tooth1, 7);
    EXPECT_EQ(view.Configuration().CountsPerRev, 512);
}

TEST(ReadConfiguration, Aux1EndsOffExactlyForAnInCarSensorOnCdma) {
    struct Case {
        std::optional<std::string> mod;
        std::optional<std::string> mux;
        int startSensorType;
        int aux1;
    };
    const std::vector<Case> cases = {
        {"01000", "3088D", sensor_type::Off, AuxSourceOff},
        {"41000", "3088D", sensor_type::Off, AuxSourceOff},
        {"41000", std::nullopt, sensor_type::InCarDoubleTooth, AuxSourceOff},
        {"41000", "3088G", sensor_type::InCarWithGaps, AuxSourceOff},
        {"00000", "3088D", sensor_type::Off, 3},
        {"31000", "3088D", sensor_type::Off, 3},
        {"11000", "3088D", sensor_type::Off, 3},
        {"41000", std::nullopt, sensor_type::MotionEncoder, 3},
    };
    for (const Case& c : cases) {
        ConfigurationSnapshot start = StartSnapshot();
        start.Selected(Selection::SensorType) = c.startSensorType;
        start.Selected(Selection::Aux1Source) = 3;
        MemoryConfigurationView view(start);
        ScriptedChannel board([&](const std::string& query) -> std::optional<std::string> {
            const auto& payload = query == "??SMMOD\r"   ? c.mod
                                  : query == "??SMMUX\r" ? c.mux
                                                         : std::nullopt;
            return payload ? std::optional<std::string>("!SM" + *payload + "\r") : std::nullopt;
        });

        ReadConfiguration(view, board);

        EXPECT_EQ(view.Selected(Selection::Aux1Source), c.aux1)
            << "MOD " << c.mod.value_or("-") << ", MUX " << c.mux.value_or("-");
    }
}

TEST(ReadConfiguration, FileReportsEveryOutcomeInItsOwnWords) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> entries;
        std::vector<std::string> report;
    };
    const std::vector<Case> cases = {
        {{{"SEN", "010100000000"},
          {"CDM", "0001"},
          {"ABV", "0000"},
          {"TDF", "0001"},
          {"MOD", "00000"},
          {"MUX", "00880"}},
         {"CA read.", "CDM parameters read.", "Alpha Beta parameters read.",
          "Multiplier/Devider parameters read.", "Operation Mode read.", "Operation Mode read."}},
        {{{"SEN", "01010000000Z"},
          {"CDM", "000Z"},
          {"ABV", "000Z"},
          {"TDF", "000Z"},
          {"MOD", "0000Z"},
          {"MUX", "0088Z"}},
         {"ILLEGAL CA paramerters.", "ILLEGAL CDM parameters.", "ILLEGAL Alpha Beta parameters.",
          "ILLEGAL Multiplier/Devider parameters.", "ILLEGAL Operation Mode.",
          "ILLEGAL Operation Mode."}},
        {{{"SEN", "0101000000000"}, {"CDM", "001"}},
         {"INCOMPLETE CA parameters.", "INCOMPLETE CDM parameters.",
          "INCOMPLETE Alpha Beta parameters.", "INCOMLETE Multiplier/Devider parameters.",
          "INCOMPLETE Operation Mode.", "INCOMPLETE Operation Mode."}},
    };
    for (const Case& c : cases) {
        FakeEntryFile file;
        for (const auto& [key, value] : c.entries)
            file.Set(key, value);
        FakeEntryStore store(file);
        MemoryConfigurationView view;

        EXPECT_EQ(Lines(ReportText(ReadConfiguration(view, store))), c.report);
    }
}

TEST(ReadConfiguration, FileWithOtherSectionsOnlyIsReadFromSectionKronax) {
    FakeEntryFile file;
    file.entries[{"Other", "CDM"}] = "0100";
    FakeEntryStore store(file);
    MemoryConfigurationView view;

    ReadConfiguration(view, store);

    EXPECT_EQ(view.Snapshot(), StartSnapshot());
}

} // namespace
} // namespace kronax
