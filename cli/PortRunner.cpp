#include "cli/PortRunner.h"

#include "cli/BoardSession.h"
#include "cli/ConfigFiles.h"
#include "cli/Text.h"
#include "link/PortFailure.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace kronax::cli {
namespace {

PortResult Failure(int exitCode, const std::string& problem) {
    PortResult result;
    result.exitCode = exitCode;
    result.problem = problem;
    return result;
}

// The port's failure in the words the window uses too.
PortResult PortFailed(const ESerialPort& error, PortStage stage) {
    return Failure(ExitPortError,
                   "the port " + DescribePortFailure(ClassifyPortFailure(error, stage)));
}

PortResult RunOne(const std::string& port, const PortAction& action, const RunOptions& options,
                  TOutput& output) {
    std::optional<TBoardSession> session;
    try {
        session.emplace(
            port, TErrorStreamLog(output, options.several ? port + ": " : "", options.verbose));
    } catch (const ESerialPort& error) {
        return PortFailed(error, PortStage::Opening);
    }
    try {
        return action(session->Channel());
    } catch (const ESerialPort& error) {
        return PortFailed(error, PortStage::Exchange);
    } catch (const EFileProblem& error) {
        return Failure(ExitFileError, error.what());
    }
}

void Print(const std::string& port, PortResult result, const RunOptions& options, TOutput& output) {
    if (options.json) {
        nlohmann::ordered_json json = {{"port", port}, {"exitCode", result.exitCode}};
        if (!result.problem.empty())
            json["error"] = result.problem;
        if (result.json.is_object())
            json.update(result.json);
        output.Print(json.dump(options.several ? -1 : 2) + "\n");
    } else {
        output.Print(PrefixLines(result.text, options.several ? port + ": " : ""));
    }
    if (!result.problem.empty())
        output.PrintError(port + ": " + result.problem + "\n");
}

std::string Summary(const std::vector<int>& codes) {
    const auto failed = std::count_if(codes.begin(), codes.end(), [](int code) { return code; });
    const int highest = *std::max_element(codes.begin(), codes.end());
    return std::to_string(codes.size()) +
           " ports: " + std::to_string(static_cast<long>(codes.size()) - failed) + " succeeded, " +
           std::to_string(failed) + " failed; exit code " + std::to_string(highest) + "\n";
}

} // namespace

int RunOnPorts(const std::vector<std::string>& ports, const PortAction& action,
               const RunOptions& options, TOutput& output) {
    std::vector<int> codes(ports.size(), ExitSuccess);
    std::vector<std::thread> workers;
    workers.reserve(ports.size());
    for (std::size_t index = 0; index < ports.size(); ++index)
        workers.emplace_back([&, index] {
            PortResult result = RunOne(ports[index], action, options, output);
            codes[index] = result.exitCode;
            Print(ports[index], std::move(result), options, output);
        });
    for (std::thread& worker : workers)
        worker.join();
    if (options.several) {
        if (options.json)
            output.PrintError(Summary(codes));
        else
            output.Print(Summary(codes));
    }
    return codes.empty() ? ExitSuccess : *std::max_element(codes.begin(), codes.end());
}

} // namespace kronax::cli
