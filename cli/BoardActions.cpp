#include "cli/BoardActions.h"

#include "cli/ConfigurationFields.h"
#include "cli/Text.h"
#include "protocol/BoardCommands.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/PayloadCodec.h"
#include "protocol/TransferMessages.h"

#include <algorithm>
#include <cctype>

namespace kronax::cli {
namespace {

using Json = nlohmann::ordered_json;

struct BoardRead {
    ConfigurationSnapshot snapshot;
    std::vector<std::string> report;
    bool complete = true;
    Json payloads = Json::object();
};

bool EndsWith(const std::string& text, std::string_view end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += Utf8FromSystemText(line) + "\n";
    return text;
}

BoardRead ReadBoard(TRecordingChannel& channel) {
    MemoryConfigurationView view;
    BoardRead read;
    read.report = ReportLines(ReadConfiguration(ConfigTarget::Device, {view, channel}));
    read.snapshot = view.Snapshot();
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index) {
        const PayloadKind kind = PayloadKinds[index];
        const std::string received = "??SM" + std::string(KindName(kind)) + " | " +
                                     std::string(DeviceReadMessagesFor(kind).received);
        if (index >= read.report.size() || read.report[index] != received)
            read.complete = false;
        const auto payload = channel.QueriedPayload(kind);
        read.payloads[std::string(KindName(kind))] =
            payload ? Json(Utf8FromSystemText(*payload)) : Json(nullptr);
    }
    return read;
}

PortResult Incomplete(const BoardRead& read) {
    PortResult result;
    result.exitCode = ExitNotAsAsked;
    result.text = Lines(read.report);
    result.json["report"] = read.report;
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
bool Verify(TRecordingChannel& channel, const ConfigurationSnapshot& written, PortResult& result) {
    const BoardRead back = ReadBoard(channel);
    if (!back.complete) {
        result.text += Lines(back.report) + "Verify: the configuration was not read back.\n";
        result.json["verified"] = false;
        return false;
    }
    bool same = true;
    for (PayloadKind kind : PayloadKinds) {
        const std::string sent = EncodePayload(kind, written);
        const std::string held = *channel.QueriedPayload(kind);
        if (SameHex(sent, held))
            continue;
        same = false;
        result.text += "Verify: " + std::string(KindName(kind)) + " written " + sent +
                       ", board holds " + Utf8FromSystemText(held) + "\n";
    }
    if (same)
        result.text += "Verify: the board holds the configuration written.\n";
    result.json["verified"] = same;
    return same;
}

bool AllAcknowledged(const std::vector<std::string>& report) {
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index) {
        const auto acknowledged = WriteMessagesFor(PayloadKinds[index]).acknowledged;
        if (index >= report.size() || !EndsWith(report[index], " | " + std::string(acknowledged)))
            return false;
    }
    return true;
}

Json DifferencesJson(const std::vector<FieldDifference>& differences) {
    Json json = Json::array();
    for (const FieldDifference& difference : differences)
        json.push_back({{"field", difference.caption},
                        {"board", difference.boardText},
                        {"file", difference.fileText}});
    return json;
}

PortResult SingleCommand(const std::string& outcome, bool asked) {
    PortResult result;
    result.exitCode = asked ? ExitSuccess : ExitNotAsAsked;
    result.text = PrintableReply(outcome) + "\n";
    result.json["outcome"] = PrintableReply(outcome);
    return result;
}

} // namespace

PortResult ReadBoardAction(TRecordingChannel& channel, const ReadRequest& request) {
    const BoardRead read = ReadBoard(channel);
    if (!read.complete)
        return Incomplete(read);
    PortResult result;
    result.text = FieldsText(read.snapshot);
    result.json["fields"] = FieldsJson(read.snapshot);
    result.json["payloads"] = read.payloads;
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

PortResult WriteBoardAction(TRecordingChannel& channel, const WriteRequest& request) {
    const BoardRead read = ReadBoard(channel);
    if (!read.complete) {
        PortResult result = Incomplete(read);
        result.problem += "; nothing was written";
        return result;
    }
    PortResult result;
    const auto differences = DiffFields(read.snapshot, request.file.snapshot);
    result.text = DifferencesText(differences);
    result.json["differences"] = DifferencesJson(differences);
    if (request.dryRun)
        return result;

    MemoryConfigurationView view(request.file.snapshot);
    const auto report = ReportLines(*WriteConfiguration(ConfigTarget::Device, {view, channel}));
    result.text += Lines(report);
    result.json["report"] = report;
    bool done = AllAcknowledged(report);
    if (!done)
        result.problem = "the board did not acknowledge every write";
    if (done && request.verify) {
        done = Verify(channel, request.file.snapshot, result);
        if (!done)
            result.problem = "the board does not hold what was written";
    }
    if (request.setDefault) {
        if (done) {
            const std::string outcome = SendPowerOnDefaultCommand(channel);
            result.text += PrintableReply(outcome) + "\n";
            result.json["setDefault"] = PrintableReply(outcome);
            if (outcome != "Setting power on defaults aknowledged.") {
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

PortResult DiffBoardAction(TRecordingChannel& channel, const LoadedFile& file) {
    const BoardRead read = ReadBoard(channel);
    if (!read.complete)
        return Incomplete(read);
    PortResult result;
    const auto differences = DiffFields(read.snapshot, file.snapshot);
    result.text = DifferencesText(differences);
    result.json["differences"] = DifferencesJson(differences);
    result.exitCode = differences.empty() ? ExitSuccess : ExitNotAsAsked;
    return result;
}

PortResult StartAction(TRecordingChannel& channel) {
    const std::string outcome = SendStartCommand(channel);
    return SingleCommand(outcome, outcome == "Start aknowledged.");
}

PortResult StatusAction(TRecordingChannel& channel) {
    const std::string outcome = RequestStatus(channel);
    return SingleCommand(outcome, channel.LastAnswered() && outcome != "Status: unknown.");
}

PortResult SetDefaultAction(TRecordingChannel& channel) {
    const std::string outcome = SendPowerOnDefaultCommand(channel);
    return SingleCommand(outcome, outcome == "Setting power on defaults aknowledged.");
}

PortResult InfoAction(TRecordingChannel& channel) {
    const std::vector<std::string> lines = ReportLines(RequestBoardInformation(channel));
    PortResult result;
    result.exitCode = channel.LastAnswered() ? ExitSuccess : ExitNotAsAsked;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string line = Utf8FromSystemText(lines[index]);
        result.text += line + "\n";
        const std::size_t colon = line.find(": ");
        if (index > 0 && colon != std::string::npos)
            result.json[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return result;
}

} // namespace kronax::cli
