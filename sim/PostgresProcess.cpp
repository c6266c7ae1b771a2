#include "sim/PostgresProcess.h"

#include "sim/ArgumentVector.h"
#include "sim/ScratchFolder.h"
#include "sim/Ser2netProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kronax::sim {
namespace {
namespace fs = std::filesystem;

// The newest installed server's programs: /usr/lib/postgresql/<version>/bin.
std::string PostgresBin() {
    std::string newest;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", error))
        if (fs::exists(entry.path() / "bin" / "pg_ctl") && entry.path().string() > newest)
            newest = entry.path().string();
    if (newest.empty())
        throw EPostgresUnavailable(
            "PostgreSQL is not installed (scripts/install-deps installs it)");
    return newest + "/bin";
}

// Runs argv, its output into log; returns its exit status.
int Run(std::vector<std::string> args, const std::string& log) {
    std::vector<char*> argv = ArgumentVector(args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const std::string& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& file, const std::string& text, fs::perms mode) {
    std::ofstream(file) << text;
    fs::permissions(file, mode);
}

} // namespace

PostgresProcess::PostgresProcess()
    : folder_(NewScratchFolder("kronax-postgres")), bin_(PostgresBin()), port_(FreeLoopbackPort()) {
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody || chown(folder_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
            throw EPostgresUnavailable("PostgreSQL cannot run as root, and the user nobody "
                                       "cannot own " +
                                       folder_);
    }
    WriteFile(folder_ + "/password", std::string(Password) + "\n", fs::perms::all);
    try {
        RunTool("initdb", {"-D", folder_ + "/data", "-U", "kronax", "--pwfile",
                           folder_ + "/password", "--auth-local=trust", "--auth-host=scram-sha-256",
                           "--no-locale", "-E", "UTF8", "--no-sync"});
    } catch (const std::runtime_error& error) {
        throw EPostgresUnavailable(error.what());
    }
    Start();
}

PostgresProcess::~PostgresProcess() {
    if (running_)
        Kill();
    std::error_code error;
    fs::remove_all(folder_, error);
}

void PostgresProcess::RunTool(const std::string& tool, const std::vector<std::string>& args) const {
    std::vector<std::string> command;
    if (geteuid() == 0)
        command = {"/usr/sbin/runuser", "-u", "nobody", "--"};
    command.push_back(bin_ + "/" + tool);
    command.insert(command.end(), args.begin(), args.end());
    const std::string log = folder_ + "/tools.log";
    if (Run(command, log) != 0)
        throw std::runtime_error(tool + " failed: " + Text(log));
}

void PostgresProcess::Start() {
    // fsync off: a test's cluster need not outlive a power cut.
    RunTool("pg_ctl",
            {"-D", folder_ + "/data", "-l", folder_ + "/server.log", "-w", "-t", "60", "-o",
             "-k " + folder_ + " -p " + std::to_string(port_) +
                 " -c listen_addresses=127.0.0.1 -c fsync=off",
             "start"});
    running_ = true;
}

void PostgresProcess::Stop() {
    RunTool("pg_ctl", {"-D", folder_ + "/data", "-m", "fast", "-w", "stop"});
    running_ = false;
}

void PostgresProcess::Kill() {
    RunTool("pg_ctl", {"-D", folder_ + "/data", "-m", "immediate", "-w", "stop"});
    running_ = false;
}

std::string PostgresProcess::SocketConnection() const {
    return "host=" + folder_ + " port=" + std::to_string(port_) + " dbname=postgres user=kronax";
}

std::string PostgresProcess::TcpConnection(const std::string& password) {
    const std::string passFile = folder_ + "/pgpass" + std::to_string(++passFiles_);
    WriteFile(passFile, "*:*:*:kronax:" + password + "\n",
              fs::perms::owner_read | fs::perms::owner_write);
    return "host=127.0.0.1 port=" + std::to_string(port_) +
           " dbname=postgres user=kronax connect_timeout=10 passfile=" + passFile;
}

} // namespace kronax::sim
