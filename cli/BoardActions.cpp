#include "cli/BoardActions.h"

#include "cli/ConfigurationFields.h"
#include "cli/PortErrors.h"
#include "cli/Settings.h"
#include "cli/Text.h"
#include "protocol/BoardCommands.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "protocol/PayloadCodec.h"
#include "protocol/RangeCheck.h"
#include "records/OperationSteps.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kronax::cli {
namespace {

using Json = nlohmann::ordered_json;

struct BoardRead {
    ConfigurationSnapshot snapshot;
    TransferReport report; // one step per exchange that happened
    bool complete = true;

    std::optional<std::string> Payload(std::size_t index) const {
        return report.PayloadOf(PayloadKinds[index]);
    }
};

void NoteSteps(PortResult& result, const TransferReport& report) {
    for (records::RecordedStep& step : records::StepsOf(report))
        result.recorded.steps.push_back(std::move(step));
}

// The record names the file by its absolute path, so that it still says which file it was when
// read from elsewhere.
void NoteFile(PortResult& result, const std::string& name, std::string bytes) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(name, error);
    result.recorded.filePath = name == StandardStream || error ? name : absolute.string();
    result.fileBytes = std::move(bytes);
}

// Asks the board who it is after an operation that changed it, so that the record names the
// board that was on the cable then, not one identified earlier. A stopped channel asks nothing.
void IdentifyBoard(GuardedChannel& guard, PortResult& result) {
    if (guard.Stopped())
        return;
    const CommandResult identity = RequestBoardInformation(guard);
    if (guard.Stopped())
        return;
    result.recorded.steps.push_back(records::StepOf(identity));
    result.recorded.board = records::IdentityOf(identity);
}

std::string Lines(const TransferReport& report) {
    std::string text;
    for (const TransferStep& step : report.steps)
        text += Utf8FromSystemText(ReportLineText(report.transfer, step)) + "\n";
    return text;
}

Json JsonLines(const TransferReport& report) {
    Json json = Json::array();
    for (const TransferStep& step : report.steps)
        json.push_back(Utf8FromSystemText(ReportLineText(report.transfer, step)));
    return json;
}

Json OptionalText(const std::optional<std::string>& text) {
    return text ? Json(Utf8FromSystemText(*text)) : Json(nullptr);
}

// The report of a transfer, cut to the exchanges that happened since completedBefore: a
// transfer whose channel stopped sending still reports the commands it could not send.
TransferReport ReportOf(TransferReport report, const GuardedChannel& guard,
                        std::size_t completedBefore) {
    const std::size_t happened = guard.Completed() - completedBefore;
    if (guard.Stopped() && report.steps.size() > happened)
        report.steps.resize(happened);
    return report;
}

BoardRead ReadBoard(GuardedChannel& guard) {
    MemoryConfigurationView view;
    BoardRead read;
    const std::size_t before = guard.Completed();
    read.report = ReportOf(ReadConfiguration(view, guard), guard, before);
    read.snapshot = view.Snapshot();
    read.complete = read.report.steps.size() == PayloadKinds.size() && read.report.AllSucceeded();
    return read;
}

Json PayloadsJson(const BoardRead& read) {
    Json json = Json::object();
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
        json[std::string(KindName(PayloadKinds[index]))] = OptionalText(read.Payload(index));
    return json;
}

using Kinds = std::vector<PayloadKind>;

std::string KindList(const Kinds& kinds) {
    std::string list;
    for (PayloadKind kind : kinds)
        list += (list.empty() ? "" : ", ") + std::string(KindName(kind));
    return list;
}

Json KindsJson(const Kinds& kinds) {
    Json json = Json::array();
    for (PayloadKind kind : kinds)
        json.push_back(KindName(kind));
    return json;
}

// "after TDF; MOD, MUX not sent", or "before SEN; ..." when nothing went out, or
// "during TDF (sent, no answer); MOD, MUX not sent" when the port failed after TDF went out.
std::string NotSentNote(const Kinds& kinds, std::size_t completed, bool inFlight) {
    const std::size_t unsent = completed + (inFlight ? 1 : 0);
    const std::string where =
        inFlight ? "during " + std::string(KindName(kinds[completed])) + " (sent, no answer)"
        : completed == 0 ? "before " + std::string(KindName(kinds.front()))
                         : "after " + std::string(KindName(kinds[completed - 1]));
    if (unsent == kinds.size())
        return where;
    return where + "; " +
           KindList(Kinds(kinds.begin() + static_cast<std::ptrdiff_t>(unsent), kinds.end())) +
           " not sent";
}

// "TDF (multiplier, divider)": the kinds with the settings they carry.
std::string KindsWithSettings(const Kinds& kinds) {
    std::string list;
    for (PayloadKind kind : kinds) {
        std::string names;
        for (const Setting& setting : AllSettings()) {
            const Kinds carriers = PayloadsOf(setting);
            if (std::find(carriers.begin(), carriers.end(), kind) != carriers.end())
                names += (names.empty() ? "" : ", ") + SettingKey(setting);
        }
        list += (list.empty() ? "" : "; ") + std::string(KindName(kind)) + " (" + names + ")";
    }
    return list;
}

bool NoneAnswered(const TransferReport& report) {
    return std::all_of(report.steps.begin(), report.steps.end(), [](const TransferStep& step) {
        return step.outcome == StepOutcome::Timeout;
    });
}

PortResult Incomplete(const GuardedChannel& guard, const BoardRead& read, const std::string& note) {
    PortResult result = guard.Stopped() ? StoppedResult(guard, "while reading the board")
                        : NoneAnswered(read.report)
                            ? NoAnswerResult()
                            : FailedResult(ExitNotAsAsked, "read_incomplete",
                                           "the board's configuration was not read "
                                           "completely");
    result.text = Lines(read.report);
    result.problem += note;
    return result;
}

Json DifferencesJson(const std::vector<FieldDifference>& differences) {
    Json json = Json::array();
    for (const FieldDifference& difference : differences)
        json.push_back({{"field", difference.key},
                        {"board", difference.boardValue},
                        {"file", difference.fileValue}});
    return json;
}

struct PayloadDifference {
    PayloadKind kind;
    std::optional<std::string> board;
    std::string sent;
};

// The payloads whose bytes a write of sent would change on the board.
std::vector<PayloadDifference> DiffPayloads(const BoardRead& read, const PayloadTexts& sent) {
    std::vector<PayloadDifference> differences;
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
        if (const auto board = read.Payload(index); board != sent[index])
            differences.push_back({PayloadKinds[index], board, sent[index]});
    return differences;
}

std::string PayloadDifferencesText(const std::vector<PayloadDifference>& differences,
                                   const std::string& written = "file") {
    std::string text;
    for (const PayloadDifference& difference : differences)
        text += "Payload " + std::string(KindName(difference.kind)) + ": board " +
                Utf8FromSystemText(difference.board.value_or("(none)")) + ", " + written + " " +
                difference.sent + "\n";
    return text;
}

// "MUX board 10881, file 1088D; ..." on one line.
std::string PayloadDifferencesLine(const std::vector<PayloadDifference>& differences) {
    std::string line = PayloadDifferencesText(differences);
    line.pop_back();
    for (std::size_t end = line.find('\n'); end != std::string::npos; end = line.find('\n'))
        line.replace(end, 1, "; ");
    return line;
}

Json PayloadDifferencesJson(const std::vector<PayloadDifference>& differences) {
    Json json = Json::array();
    for (const PayloadDifference& difference : differences)
        json.push_back({{"payload", KindName(difference.kind)},
                        {"board", OptionalText(difference.board)},
                        {"file", difference.sent}});
    return json;
}

// Shows every setting and every payload in which the board differs from what a write sends;
// returns whether there was any.
bool ShowDifferences(const BoardRead& read, const PayloadTexts& file, PortResult& result,
                     const std::string& written = "file") {
    const auto fields = DiffFields(read.report.Payloads(), file);
    const auto payloads = DiffPayloads(read, file);
    result.text += fields.empty() && payloads.empty()
                       ? "No differences.\n"
                       : (fields.empty() ? "" : DifferencesText(fields, written)) +
                             PayloadDifferencesText(payloads, written);
    result.json["differences"] = DifferencesJson(fields);
    result.json["payload_differences"] = PayloadDifferencesJson(payloads);
    return !fields.empty() || !payloads.empty();
}

// The steps of a write, each adding to result; each returns whether the write goes on.
class WriteSteps {
public:
    WriteSteps(GuardedChannel& guard, const WriteRequest& request)
        : guard_(guard), request_(request), sent_(request.file.payloads),
          kinds_(PayloadKinds.begin(), PayloadKinds.end()) {
        if (request.settings.empty())
            NoteFile(result_, request.file.name, request.file.bytes);
        for (const char* key :
             {"differences", "payload_differences", "report", "verified", "set_default", "holds"})
            result_.json[key] = nullptr;
        result_.json["not_sent"] = KindsJson(kinds_);
        result_.json["sent_no_answer"] = Json::array();
    }

    bool ReadFirst() {
        if (request_.noRead)
            return true;
        const BoardRead read = ReadBoard(guard_);
        if (!read.complete)
            result_ = Merged(Incomplete(guard_, read, "; nothing was written"));
        NoteSteps(result_, read.report);
        result_.recorded.before = records::PayloadsOf(read.report);
        if (!read.complete)
            return false;
        board_ = read.report.Payloads();
        if (!request_.settings.empty() && !ChangeSettings(read))
            return false;
        // With --set there is no file: the other side is the board's new configuration.
        ShowDifferences(read, sent_, result_, request_.settings.empty() ? "file" : "new");
        return !request_.dryRun;
    }

    bool Send() {
        if (kinds_.empty()) {
            result_.text += "Nothing to write: the board holds these settings already.\n";
            return true;
        }
        const std::size_t before = guard_.Completed();
        const TransferReport report =
            ReportOf(WritePayloadTexts(sent_, kinds_, guard_), guard_, before);
        NoteSteps(result_, report);
        result_.recorded.sent = records::PayloadsOf(report);
        result_.text += Lines(report);
        result_.json["report"] = JsonLines(report);
        // A command the port failed after sending may be on the board: it is not counted with
        // those never sent.
        const std::size_t completed = report.steps.size();
        const bool inFlight = guard_.FailedAfterSending() && completed < kinds_.size();
        const auto from = kinds_.begin() + static_cast<std::ptrdiff_t>(completed);
        const Kinds sentNoAnswer(from, from + (inFlight ? 1 : 0));
        const Kinds notSent(from + (inFlight ? 1 : 0), kinds_.end());
        result_.json["sent_no_answer"] = KindsJson(sentNoAnswer);
        result_.json["not_sent"] = KindsJson(notSent);
        if (!report.AllSucceeded() || !notSent.empty() || inFlight)
            NameMixture(report, sentNoAnswer, notSent);
        if (guard_.Stopped())
            return FailWith(StoppedResult(guard_, NotSentNote(kinds_, completed, inFlight)));
        if (NoneAnswered(report))
            return FailWith(NoAnswerResult());
        if (!report.AllSucceeded())
            return Fail(ExitNotAsAsked, "write_not_acknowledged",
                        "the board did not acknowledge every write");
        return true;
    }

    // Reads the board back and compares what it holds with what was sent, byte for byte.
    bool Verify() {
        if (!request_.verify)
            return true;
        const BoardRead back = ReadBoard(guard_);
        NoteSteps(result_, back.report);
        result_.recorded.verified = records::PayloadsOf(back.report);
        if (!back.complete) {
            result_.text += Lines(back.report) + "Verify: the configuration was not read back.\n";
            result_.json["verified"] = false;
            if (guard_.Stopped())
                return Stopped("while reading back");
            if (NoneAnswered(back.report))
                return FailWith(NoAnswerResult());
            return Fail(ExitNotAsAsked, "verify_failed", "the configuration was not read back");
        }
        const auto differences = DiffPayloads(back, sent_);
        for (const PayloadDifference& difference : differences)
            result_.text += "Verify: " + std::string(KindName(difference.kind)) + " written " +
                            difference.sent + ", board holds " +
                            Utf8FromSystemText(difference.board.value_or("")) + "\n";
        if (differences.empty())
            result_.text += "Verify: the board holds the configuration written.\n";
        result_.json["verified"] = differences.empty();
        return differences.empty() ||
               Fail(ExitNotAsAsked, "verify_mismatch", "the board does not hold what was written");
    }

    void SetDefault(bool allDone) {
        if (!request_.setDefault || request_.dryRun)
            return;
        if (!allDone) {
            result_.text += "Setting power on defaults not sent.\n";
            return;
        }
        const CommandResult outcome = SendPowerOnDefaultCommand(guard_);
        if (guard_.Stopped()) {
            Stopped("before the power-on default");
            return;
        }
        result_.recorded.steps.push_back(records::StepOf(outcome));
        const std::string text = CommandOutcomeText(outcome);
        result_.text += PrintableReply(WithoutLineEnds(text)) + "\n";
        result_.json["set_default"] = Utf8FromSystemText(WithoutLineEnds(text));
        if (outcome.outcome == CommandOutcome::Timeout)
            FailWith(NoAnswerResult());
        else if (!outcome.Succeeded())
            Fail(ExitNotAsAsked, "set_default_refused",
                 "the board did not make the configuration its power-on default");
    }

    PortResult Result() { return std::move(result_); }

private:
    // Sends only the payloads the named settings change; the others stay as the board has them.
    bool ChangeSettings(const BoardRead& read) {
        try {
            CheckSettingsApply(read.snapshot, request_.settings, "the board's");
        } catch (const ESettingProblem& problem) {
            return Fail(ExitUsage, "setting_not_used",
                        problem.what() + std::string("; nothing was written"));
        }
        ConfigurationSnapshot changed = read.snapshot;
        ApplySettingValues(changed, request_.settings);
        const PayloadTexts before = EncodePayloads(read.snapshot);
        const PayloadTexts after = EncodePayloads(changed);
        sent_ = read.report.Payloads();
        kinds_.clear();
        for (PayloadKind kind : PayloadKinds) {
            const auto index = static_cast<std::size_t>(kind);
            if (after[index] == before[index])
                continue;
            sent_[index] = after[index];
            kinds_.push_back(kind);
        }
        result_.json["not_sent"] = KindsJson(kinds_);
        return CheckRanges(read.snapshot, changed);
    }

    // A value out of range already on the board is left as it is; one that the change puts out
    // of range (counts beyond a new encoder mode's limit) is refused.
    bool CheckRanges(const ConfigurationSnapshot& before, const ConfigurationSnapshot& after) {
        const std::vector<OutOfRangeValue> old = OutOfRangeValues(before);
        std::string refused;
        for (const OutOfRangeValue& found : OutOfRangeValues(after)) {
            if (std::find(old.begin(), old.end(), found) != old.end())
                AddWarning("the board holds " + OutOfRangeLine(found) + "; left as it is");
            else
                refused += (refused.empty() ? "" : "; ") + OutOfRangeLine(found);
        }
        if (refused.empty() || request_.allowOutOfRange)
            return true;
        return Fail(ExitUsage, "out_of_range",
                    refused + "; nothing was written (--allow-out-of-range writes it)");
    }

    PortResult Merged(PortResult failure) {
        failure.recorded = std::move(result_.recorded);
        failure.fileBytes = std::move(result_.fileBytes);
        for (auto& [key, value] : result_.json.items())
            if (!failure.json.contains(key))
                failure.json[key] = value;
        return failure;
    }

    bool Fail(int exitCode, std::string errorCode, std::string problem) {
        result_.exitCode = exitCode;
        result_.errorCode = std::move(errorCode);
        result_.problem = std::move(problem);
        return false;
    }

    bool FailWith(const PortResult& failure) {
        return Fail(failure.exitCode, failure.errorCode, failure.problem);
    }

    bool Stopped(const std::string& where) { return FailWith(StoppedResult(guard_, where)); }

    void AddWarning(const std::string& warning) {
        result_.warning += (result_.warning.empty() ? "" : "; ") + warning;
    }

    // After a write in which a step failed, names what the board now holds of each payload
    // that was to go: the new one (acknowledged, or the board held it already), the old one
    // (refused or not sent) or either (no answer).
    void NameMixture(const TransferReport& report, const Kinds& sentNoAnswer,
                     const Kinds& notSent) {
        Kinds written;
        Kinds kept;
        Kinds unknown;
        const auto heldAlready = [this](PayloadKind kind) {
            const auto index = static_cast<std::size_t>(kind);
            return board_ && (*board_)[index] == sent_[index];
        };
        for (const TransferStep& step : report.steps) {
            if (step.outcome == StepOutcome::Acknowledged || heldAlready(step.kind))
                written.push_back(step.kind);
            else if (step.outcome == StepOutcome::Timeout)
                unknown.push_back(step.kind);
            else
                kept.push_back(step.kind);
        }
        for (PayloadKind kind : sentNoAnswer)
            (heldAlready(kind) ? written : unknown).push_back(kind);
        for (PayloadKind kind : notSent)
            (heldAlready(kind) ? written : kept).push_back(kind);
        result_.json["holds"] = {{"written", KindsJson(written)},
                                 {"kept", KindsJson(kept)},
                                 {"unknown", KindsJson(unknown)}};
        if (written.empty() || (kept.empty() && unknown.empty()))
            return;
        std::string text = "The board now holds a mixture: " + KindList(written) + " written";
        if (!kept.empty())
            text += "; " + KindsWithSettings(kept) + " not written, old values kept";
        if (!unknown.empty())
            text += "; " + KindsWithSettings(unknown) + " unanswered, old or new values";
        result_.text += text + ".\n";
    }

    GuardedChannel& guard_;
    const WriteRequest& request_;
    PayloadTexts sent_;                 // what a write sends, kind by kind
    Kinds kinds_;                       // the kinds it sends
    std::optional<PayloadTexts> board_; // what the board held before, when it was read
    PortResult result_;
};

Json ReplyJson(const CommandResult& outcome) {
    return outcome.outcome == CommandOutcome::Timeout ? Json(nullptr)
                                                      : Json(Utf8FromSystemText(outcome.reply));
}

// A signal holds the one command back; a port fails before it went out or after.
std::string SingleCommandStop(const GuardedChannel& guard) {
    return guard.FailedAfterSending() ? "during the command (sent, no answer)"
           : guard.Failure()          ? "during the command (not sent)"
                                      : "before the command";
}

PortResult SingleCommand(const CommandResult& outcome, GuardedChannel& guard) {
    PortResult result;
    if (guard.Stopped())
        return StoppedResult(guard, SingleCommandStop(guard));
    const std::string text = CommandOutcomeText(outcome);
    if (outcome.outcome == CommandOutcome::Timeout)
        result = NoAnswerResult();
    else if (!outcome.Succeeded())
        result = FailedResult(ExitNotAsAsked, "not_as_asked",
                              "the board did not answer as asked: " + PrintableReply(text));
    result.text = PrintableReply(WithoutLineEnds(text)) + "\n";
    result.json["outcome"] = Utf8FromSystemText(WithoutLineEnds(text));
    result.json["reply"] = ReplyJson(outcome);
    result.recorded.steps.push_back(records::StepOf(outcome));
    return result;
}

} // namespace

PortResult FailedResult(int exitCode, std::string errorCode, std::string problem) {
    PortResult result;
    result.exitCode = exitCode;
    result.errorCode = std::move(errorCode);
    result.problem = std::move(problem);
    return result;
}

PortResult NoAnswerResult() {
    return FailedResult(ExitNotAsAsked, "no_answer", "the board did not answer");
}

PortResult StoppedResult(const GuardedChannel& guard, const std::string& where) {
    if (guard.Failure()) {
        const PortFailure failure = ClassifyPortFailure(*guard.Failure(), PortStage::Exchange);
        return FailedResult(ExitPortError, PortErrorCode(failure),
                            "the port " + DescribePortFailure(failure) + " " + where);
    }
    return FailedResult(ExitSignalBase + guard.Interrupted(), "interrupted",
                        "interrupted " + where);
}

namespace {

std::string StoredBytes(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Shows the board's configuration and stores it when asked.
PortResult ShowAndStore(const GuardedChannel& guard, const BoardRead& read,
                        const ReadRequest& request) {
    PortResult result;
    if (!read.complete)
        result = Incomplete(guard, read, "");
    result.json["fields"] = read.complete ? FieldsJson(read.snapshot) : Json(nullptr);
    result.json["out_of_range"] = read.complete ? OutOfRangeJson(read.snapshot) : Json(nullptr);
    result.json["payloads"] = PayloadsJson(read);
    result.json["report"] = JsonLines(read.report);
    if (!read.complete)
        return result;
    if (const std::string outOfRange = OutOfRangeText(read.snapshot); !outOfRange.empty())
        result.warning = "the board holds " + outOfRange;
    const PayloadTexts encoded = EncodePayloads(read.snapshot);
    const PayloadTexts board = read.report.Payloads();
    const PayloadTexts& stored = request.raw ? board : encoded;
    if (!request.outputFile || *request.outputFile != StandardStream)
        result.text = FieldsText(read.snapshot);
    if (!request.outputFile)
        return result;
    if (!request.raw && encoded != board)
        result.warning += std::string(result.warning.empty() ? "" : "; ") +
                          "the file holds the configuration as the window saves it, not the "
                          "board's own payloads (" +
                          PayloadDifferencesLine(DiffPayloads(read, encoded)) +
                          "); --raw keeps them as they are";
    if (*request.outputFile == StandardStream) {
        result.text = PayloadsFileText(stored);
        result.textIsFileBytes = true;
        NoteFile(result, StandardStream, result.text);
        return result;
    }
    try {
        SavePayloads(*request.outputFile, stored);
        NoteFile(result, *request.outputFile, StoredBytes(*request.outputFile));
    } catch (const EFileProblem& problem) {
        result.exitCode = ExitFileError;
        result.errorCode = "file_error";
        result.problem = problem.what();
    }
    return result;
}

// result with failure's exit code, error code and problem.
PortResult WithFailure(PortResult result, const PortResult& failure) {
    result.exitCode = failure.exitCode;
    result.errorCode = failure.errorCode;
    result.problem = failure.problem;
    return result;
}

} // namespace

PortResult ReadBoardAction(GuardedChannel& guard, const ReadRequest& request) {
    const BoardRead read = ReadBoard(guard);
    PortResult result = ShowAndStore(guard, read, request);
    NoteSteps(result, read.report);
    result.recorded.received = records::PayloadsOf(read.report);
    if (result.recorded.filePath)
        IdentifyBoard(guard, result);
    return result;
}

PortResult WriteBoardAction(GuardedChannel& guard, const WriteRequest& request) {
    WriteSteps steps(guard, request);
    const bool allDone = steps.ReadFirst() && steps.Send() && steps.Verify();
    steps.SetDefault(allDone);
    PortResult result = steps.Result();
    if (!request.dryRun)
        IdentifyBoard(guard, result);
    return result;
}

PortResult DiffBoardAction(GuardedChannel& guard, const LoadedFile& file) {
    const BoardRead read = ReadBoard(guard);
    PortResult result;
    if (!read.complete) {
        result = Incomplete(guard, read, "");
        result.json["differences"] = nullptr;
        result.json["payload_differences"] = nullptr;
        result.json["out_of_range"] = nullptr;
    }
    NoteSteps(result, read.report);
    NoteFile(result, file.name, file.bytes);
    result.recorded.received = records::PayloadsOf(read.report);
    if (!read.complete)
        return result;
    const bool differs = ShowDifferences(read, file.payloads, result);
    const std::string onBoard = OutOfRangeText(read.snapshot);
    const std::string inFile = OutOfRangeText(file.snapshot);
    if (!onBoard.empty())
        result.text += "Out of range on the board: " + onBoard + "\n";
    if (!inFile.empty())
        result.text += "Out of range in the file: " + inFile + "\n";
    result.json["out_of_range"] = {{"board", OutOfRangeJson(read.snapshot)},
                                   {"file", OutOfRangeJson(file.snapshot)}};
    // A value out of range in the file is a fault of the file, as for every command that reads
    // one; on the board it is what the board holds, and only 1 says that the two differ.
    if (!inFile.empty())
        return WithFailure(std::move(result),
                           FailedResult(ExitFileError, "out_of_range", file.name + ": " + inFile));
    if (!onBoard.empty())
        result.warning = "the board holds " + onBoard;
    if (differs) {
        result.exitCode = ExitNotAsAsked;
        result.errorCode = "differences";
        result.problem = "the board differs from the file";
    }
    return result;
}

PortResult StartAction(GuardedChannel& guard) {
    PortResult result = SingleCommand(SendStartCommand(guard), guard);
    IdentifyBoard(guard, result);
    return result;
}

PortResult StatusAction(GuardedChannel& guard) {
    const CommandResult outcome = RequestStatus(guard);
    PortResult result = SingleCommand(outcome, guard);
    if (!guard.Stopped())
        result.json["status"] =
            outcome.Succeeded() ? Json(Utf8FromSystemText(WithoutLineEnds(BoardStatus(outcome))))
                                : Json(nullptr);
    return result;
}

PortResult SetDefaultAction(GuardedChannel& guard) {
    PortResult result = SingleCommand(SendPowerOnDefaultCommand(guard), guard);
    IdentifyBoard(guard, result);
    return result;
}

PortResult InfoAction(GuardedChannel& guard) {
    const CommandResult outcome = RequestBoardInformation(guard);
    if (guard.Stopped())
        return StoppedResult(guard, SingleCommandStop(guard));
    PortResult result;
    const bool answered = outcome.Succeeded();
    if (!answered)
        result = NoAnswerResult();
    result.text = Utf8FromSystemText(WithUnixLineEnds(CommandOutcomeText(outcome))) + "\n";
    // BoardIdentity's four fields in their order.
    const char* keys[] = {"serial_number", "pcb_version", "fpga_version", "uc_version"};
    const std::array<std::string, 4> fields = BoardIdentity(outcome);
    Json info = Json::object();
    for (std::size_t index = 0; index < fields.size(); ++index)
        info[keys[index]] = answered ? Json(Utf8FromSystemText(fields[index])) : Json(nullptr);
    result.json["info"] = info;
    result.json["reply"] = ReplyJson(outcome);
    result.recorded.steps.push_back(records::StepOf(outcome));
    result.recorded.board = records::IdentityOf(outcome);
    return result;
}

} // namespace kronax::cli
