#include "cli/BoardActions.h"

#include "cli/ConfigurationFields.h"
#include "cli/Text.h"
#include "protocol/BoardCommands.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"

#include <algorithm>
#include <cctype>

namespace kronax::cli {
namespace {

using Json = nlohmann::ordered_json;

struct BoardRead {
    ConfigurationSnapshot snapshot;
    TransferReport report;
};

BoardRead ReadBoard(ICommandChannel& channel) {
    MemoryConfigurationView view;
    TransferReport report = ReadConfiguration(view, channel);
    return {view.Snapshot(), std::move(report)};
}

Json PayloadsJson(const TransferReport& report) {
    Json payloads = Json::object();
    for (PayloadKind kind : PayloadKinds) {
        const auto payload = report.PayloadOf(kind);
        payloads[std::string(KindName(kind))] =
            payload ? Json(Utf8FromSystemText(*payload)) : Json(nullptr);
    }
    return payloads;
}

// The report's lines as the report label holds them, UTF-8 and without their line ends.
std::vector<std::string> ReportLinesOf(const TransferReport& report) {
    std::vector<std::string> lines;
    for (const TransferStep& step : report.steps)
        lines.push_back(Utf8FromSystemText(ReportLineText(report.transfer, step)));
    return lines;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

PortResult Incomplete(const BoardRead& read) {
    PortResult result;
    const std::vector<std::string> lines = ReportLinesOf(read.report);
    result.exitCode = ExitNotAsAsked;
    result.text = Lines(lines);
    result.json["report"] = lines;
    result.problem = "the board's configuration was not read completely";
    return result;
}

bool SameHex(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

// Reads the board back and compares what it holds with what was written; adds the outcome.
bool Verify(ICommandChannel& channel, const PayloadTexts& written, PortResult& result) {
    const BoardRead back = ReadBoard(channel);
    if (!back.report.AllSucceeded()) {
        result.text +=
            Lines(ReportLinesOf(back.report)) + "Verify: the configuration was not read back.\n";
        result.json["verified"] = false;
        return false;
    }
    bool same = true;
    for (PayloadKind kind : PayloadKinds) {
        const std::string& sent = written[static_cast<std::size_t>(kind)];
        const std::string held = *back.report.PayloadOf(kind);
        if (SameHex(sent, held))
            continue;
        same = false;
        result.text += "Verify: " + std::string(KindName(kind)) + " written " +
                       Utf8FromSystemText(sent) + ", board holds " + Utf8FromSystemText(held) +
                       "\n";
    }
    if (same)
        result.text += "Verify: the board holds the configuration written.\n";
    result.json["verified"] = same;
    return same;
}

Json DifferencesJson(const std::vector<FieldDifference>& differences) {
    Json json = Json::array();
    for (const FieldDifference& difference : differences)
        json.push_back({{"field", difference.caption},
                        {"board", difference.boardText},
                        {"file", difference.fileText}});
    return json;
}

PortResult SingleCommand(const CommandResult& outcome) {
    const std::string text = PrintableReply(CommandOutcomeText(outcome));
    PortResult result;
    result.exitCode = outcome.Succeeded() ? ExitSuccess : ExitNotAsAsked;
    result.text = text + "\n";
    result.json["outcome"] = text;
    return result;
}

} // namespace

PortResult ReadBoardAction(ICommandChannel& channel, const ReadRequest& request) {
    const BoardRead read = ReadBoard(channel);
    if (!read.report.AllSucceeded())
        return Incomplete(read);
    PortResult result;
    result.text = FieldsText(read.snapshot);
    result.json["fields"] = FieldsJson(read.snapshot);
    result.json["payloads"] = PayloadsJson(read.report);
    if (request.outputFile) {
        try {
            SaveConfigFile(*request.outputFile, read.snapshot, request.force);
        } catch (const EFileProblem& problem) {
            result.exitCode = ExitFileError;
            result.problem = problem.what();
        }
    }
    return result;
}

PortResult WriteBoardAction(ICommandChannel& channel, const WriteRequest& request) {
    const BoardRead read = ReadBoard(channel);
    if (!read.report.AllSucceeded()) {
        PortResult result = Incomplete(read);
        result.problem += "; nothing was written";
        return result;
    }
    PortResult result;
    const auto differences = DiffFields(read.report.Payloads(), request.file.payloads);
    result.text = DifferencesText(differences);
    result.json["differences"] = DifferencesJson(differences);
    if (request.dryRun)
        return result;

    const TransferReport written = WritePayloadTexts(request.file.payloads, channel);
    const std::vector<std::string> report = ReportLinesOf(written);
    result.text += Lines(report);
    result.json["report"] = report;
    bool done = written.AllSucceeded();
    if (!done)
        result.problem = "the board did not acknowledge every write";
    if (done && request.verify) {
        done = Verify(channel, request.file.payloads, result);
        if (!done)
            result.problem = "the board does not hold what was written";
    }
    if (request.setDefault) {
        if (done) {
            const CommandResult outcome = SendPowerOnDefaultCommand(channel);
            const std::string text = PrintableReply(CommandOutcomeText(outcome));
            result.text += text + "\n";
            result.json["setDefault"] = text;
            if (!outcome.Succeeded()) {
                done = false;
                result.problem = "the board did not make the configuration its power-on default";
            }
        } else {
            result.text += "Setting power on defaults not sent.\n";
        }
    }
    result.exitCode = done ? ExitSuccess : ExitNotAsAsked;
    return result;
}

PortResult DiffBoardAction(ICommandChannel& channel, const LoadedFile& file) {
    const BoardRead read = ReadBoard(channel);
    if (!read.report.AllSucceeded())
        return Incomplete(read);
    PortResult result;
    const auto differences = DiffFields(read.report.Payloads(), file.payloads);
    result.text = DifferencesText(differences);
    result.json["differences"] = DifferencesJson(differences);
    result.exitCode = differences.empty() ? ExitSuccess : ExitNotAsAsked;
    return result;
}

PortResult StartAction(ICommandChannel& channel) {
    return SingleCommand(SendStartCommand(channel));
}

PortResult StatusAction(ICommandChannel& channel) {
    return SingleCommand(RequestStatus(channel));
}

PortResult SetDefaultAction(ICommandChannel& channel) {
    return SingleCommand(SendPowerOnDefaultCommand(channel));
}

PortResult InfoAction(ICommandChannel& channel) {
    const CommandResult outcome = RequestBoardInformation(channel);
    PortResult result;
    result.exitCode = outcome.Succeeded() ? ExitSuccess : ExitNotAsAsked;
    result.text = Utf8FromSystemText(WithUnixLineEnds(CommandOutcomeText(outcome))) + "\n";
    const std::array<std::string, 4> fields = BoardIdentity(outcome);
    for (std::size_t index = 0; index < fields.size(); ++index)
        result.json[Utf8FromSystemText(BoardIdentityCaptions()[index])] =
            Utf8FromSystemText(fields[index]);
    return result;
}

} // namespace kronax::cli
