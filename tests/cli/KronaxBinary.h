#pragma once

#include "tests/cli/CliHarness.h"

#include <fcntl.h>

namespace kronax::cli::testing {

// Runs the kronax program itself with args (no shell between), standard input empty, and gives
// its exit code and what it printed.
inline Outcome KronaxBinary(const std::vector<std::string>& args) {
    Scratch scratch;
    const std::string out = scratch.Path("out");
    const std::string err = scratch.Path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv = {const_cast<char*>(KRONAX_BINARY)};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    Outcome outcome;
    if (posix_spawn(&pid, KRONAX_BINARY, &actions, nullptr, argv.data(), ::environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    outcome.out = ReadFileText(out);
    outcome.err = ReadFileText(err);
    return outcome;
}

} // namespace kronax::cli::testing
