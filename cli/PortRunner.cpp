#include "cli/PortRunner.h"

#include "cli/BoardActions.h"
#include "cli/ConfigFiles.h"
#include "cli/PortErrors.h"
#include "cli/ProgressWords.h"
#include "cli/RecordKeeper.h"
#include "cli/RecordsServer.h"
#include "cli/Signals.h"
#include "cli/Text.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace kronax::cli {
namespace {

PortResult RecordFailure(const std::string& problem) {
    return FailedResult(ExitRecordError, "record_error",
                        "no record can be kept (" + problem +
                            "); nothing was sent (--no-record runs without one)");
}

// Completes the port's record; when that fails the result stands, the record goes to standard
// error so that it is not lost, and the exit code says so.
void FinishRecord(RecordKeeper& keeper, records::BoardRecord& record, PortResult& result,
                  std::vector<records::RecordedLogLine> traffic, Output& output) {
    const std::string problem = keeper.Finish(record, result, std::move(traffic));
    if (problem.empty())
        return;
    output.PrintErrorExact(RecordKeeper::JsonLine(record));
    const std::string note = "the record was not kept: " + problem;
    if (result.exitCode == ExitSuccess) {
        result.errorCode = "record_error";
        result.problem = note;
    } else {
        result.problem += "; " + note;
    }
    result.exitCode = std::max(result.exitCode, static_cast<int>(ExitRecordError));
}

PortResult Act(BoardSession& session, const std::string& port, const PortAction& action) {
    try {
        return action(session, port);
    } catch (const EFileProblem& error) {
        return FailedResult(ExitFileError, "file_error", error.what());
    } catch (const std::exception& error) {
        return FailedResult(ExitInternalError, "internal_error", error.what());
    }
}

PortResult RunOne(const std::string& port, const PortAction& action, const RunOptions& options,
                  RecordKeeper& keeper, Output& output) {
    if (StopSignal() != 0)
        return FailedResult(ExitSignalBase + StopSignal(), "interrupted",
                            "interrupted before the port was opened; nothing sent");
    records::BoardRecord record;
    if (const std::string problem = keeper.Begin(record, port); !problem.empty())
        return RecordFailure(problem);
    std::optional<BoardSession> session;
    try {
        session.emplace(
            port, ErrorStreamLog(output, options.several ? port + ": " : "", options.verbose),
            [&output, port, words = ProgressWords()](const std::string& command) mutable {
                output.SetProgress(port, words.Next(command));
            });
    } catch (const ESerialPort& error) {
        const PortFailure failure = ClassifyPortFailure(error, PortStage::Opening);
        PortResult result = FailedResult(ExitPortError, PortErrorCode(failure),
                                         "the port " + DescribePortFailure(failure));
        FinishRecord(keeper, record, result, {}, output);
        return result;
    }
    PortResult result = Act(*session, port, action);
    FinishRecord(keeper, record, result, session->Traffic(), output);
    return result;
}

void Print(const std::string& port, const PortResult& result, const RunOptions& options,
           Output& output) {
    if (options.json) {
        nlohmann::ordered_json json = JsonHead(options.command, "port", port, result);
        if (result.json.is_object())
            json.update(result.json);
        output.PrintExact(JsonLine(json));
    } else if (result.textIsFileBytes) {
        output.PrintExact(result.text);
    } else {
        output.Print(PrefixLines(result.text, options.several ? port + ": " : ""));
    }
    if (!result.problem.empty())
        output.PrintError(port + ": " + result.problem + "\n");
    if (!result.warning.empty() && !options.quiet)
        output.PrintError(port + ": warning: " + result.warning + "\n");
}

std::string Summary(const std::vector<int>& codes) {
    const auto failed = std::count_if(codes.begin(), codes.end(), [](int code) { return code; });
    const int highest = *std::max_element(codes.begin(), codes.end());
    return std::to_string(codes.size()) + (codes.size() == 1 ? " port: " : " ports: ") +
           std::to_string(static_cast<long>(codes.size()) - failed) + " succeeded, " +
           std::to_string(failed) + " failed; exit code " + std::to_string(highest) + "\n";
}

} // namespace

nlohmann::ordered_json JsonHead(const std::string& command, const std::string& subjectKey,
                                const std::string& subject, const PortResult& result) {
    nlohmann::ordered_json json = {{"command", command},
                                   {subjectKey, Utf8FromSystemText(subject)},
                                   {"exit_code", result.exitCode},
                                   {"error", nullptr}};
    if (!result.problem.empty())
        json["error"] = {{"code", result.errorCode}, {"message", result.problem}};
    return json;
}

std::string JsonLine(const nlohmann::ordered_json& value) {
    // Replacing is a last guard only: every text is UTF-8 before it gets here.
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

int RunOnPorts(const std::vector<std::string>& ports, const PortAction& action,
               const RunOptions& options, Output& output) {
    std::vector<int> codes(ports.size(), ExitSuccess);
    if (options.progress)
        output.EnableProgress();
    RecordKeeper keeper(options.record, options.command);
    std::vector<std::thread> workers;
    workers.reserve(ports.size());
    for (std::size_t index = 0; index < ports.size(); ++index)
        workers.emplace_back([&, index] {
            BlockStopSignalsInThisThread();
            // A thread's edge: an exception escaping it would end the process and every board.
            try {
                PortResult result = RunOne(ports[index], action, options, keeper, output);
                output.SetProgress(ports[index], "");
                codes[index] = result.exitCode;
                Print(ports[index], result, options, output);
            } catch (const std::exception& error) {
                output.PrintError(ports[index] + ": " + error.what() + "\n");
                codes[index] = std::max(codes[index], static_cast<int>(ExitInternalError));
            }
        });
    for (std::thread& worker : workers)
        worker.join();
    if (options.several && !options.quiet) {
        if (options.json)
            output.PrintError(Summary(codes));
        else
            output.Print(Summary(codes));
    }
    // Only now that every board is done: no board waits for the server.
    if (options.record)
        ForwardAfterRun(output, options.quiet);
    return codes.empty() ? ExitSuccess : *std::max_element(codes.begin(), codes.end());
}

} // namespace kronax::cli
