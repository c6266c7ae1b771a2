#include "tests/cli/CliHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

// The guide's worked example, run as it stands against simulated boards: each command prints
// what the page shows.
namespace kronax::cli::testing {
namespace {

struct Step {
    std::string command;
    std::vector<std::string> shown; // the lines the page shows after it
};

std::vector<Step> ExampleSteps(const std::string& page, const std::string& heading) {
    const std::size_t start = page.find("```console", page.find(heading));
    const std::size_t end = page.find("```", start + 3);
    std::istringstream lines(page.substr(start, end - start));
    std::vector<Step> steps;
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        if (line.starts_with("$ "))
            steps.push_back({line.substr(2), {}});
        else if (!steps.empty())
            steps.back().shown.push_back(line);
    }
    return steps;
}

// Runs a shell line in folder with standard error joined to standard output; gives its lines
// and its exit code.
std::pair<std::vector<std::string>, int> RunShell(const std::string& folder,
                                                  const std::string& line) {
    const std::string command = "cd '" + folder + "' && " + line + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    for (std::size_t count; (count = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, count);
    const int status = pclose(pipe);
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string shown; std::getline(stream, shown);)
        lines.push_back(shown);
    return {lines, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(PtyKronaxGuideExample, TheWorkedExampleOfTheCommandLineGuidePrintsWhatThePageShows) {
    // COM3 answers as the example's simulator; COM4 is not there.
    Boards boards(3);
    Scratch folder;
    const std::vector<Step> steps =
        ExampleSteps(ReadFileText(std::string(KRONAX_SOURCE_DIR) + "/docs/command-line.md"),
                     "## A worked example");
    ASSERT_GE(steps.size(), 6u);
    int lastCode = 0;
    for (const Step& step : steps) {
        // The simulator and its ports folder are the test's own.
        if (step.command.starts_with("mkdir") || step.command.starts_with("build/sim/"))
            continue;
        if (step.command == "echo $?") {
            EXPECT_EQ(step.shown, std::vector<std::string>{std::to_string(lastCode)});
            continue;
        }
        const std::string line =
            std::regex_replace(step.command, std::regex("^build/cli/kronax"), KRONAX_BINARY);
        const auto [printed, code] = RunShell(folder.Path(""), line);
        lastCode = code;
        // Ports finish in either order; what each prints is compared.
        EXPECT_EQ(Sorted(printed), Sorted(step.shown)) << step.command;
    }
}

} // namespace
} // namespace kronax::cli::testing
