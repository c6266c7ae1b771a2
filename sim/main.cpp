#include "sim/PtyLink.h"
#include "sim/SimBoard.h"
#include "sim/SimLog.h"
#include "sim/SimOptions.h"
#include "sim/SimServer.h"
#include "sim/SimState.h"
#include "version/KronaxVersion.h"

#include <csignal>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

using namespace kronax::sim;

int stopPipe[2] = {-1, -1};

void RequestStop(int) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = write(stopPipe[1], &byte, 1);
}

// SIGINT and SIGTERM make the stop pipe readable, which ends the serving loop and every pause.
void InstallStopHandlers() {
    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe2");
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

SimBoard MakeBoard(const SimOptions& options) {
    const std::string stateFile = options.stateFile;
    Payloads start = stateFile.empty() ? StartPayloads() : LoadState(stateFile);
    return SimBoard(
        std::move(start),
        [stateFile](const Payloads& payloads) {
            return stateFile.empty() || SaveState(stateFile, payloads);
        },
        options.identity);
}

int Serve(const SimOptions& options) {
    InstallStopHandlers();
    SimLog log(options.logFile);
    SimBoard board = MakeBoard(options);
    PtyLink link(options.portsDir, options.portName);
    std::cout << options.portName << std::endl;
    std::cerr << "kronax-sim: " << link.LinkPath() << " -> " << link.SlavePath() << std::endl;
    SimServer(link.MasterFd(), stopPipe[0], board, options.faults, log).Run();
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char* argv[]) {
    try {
        const SimOptions options = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc),
                                                   std::getenv("KRONAX_PORTS"));
        if (options.help) {
            std::cout << UsageText();
            return EXIT_SUCCESS;
        }
        if (options.version) {
            std::cout << "kronax-sim " << kronax::KronaxVersion << "\n";
            return EXIT_SUCCESS;
        }
        return Serve(options);
    } catch (const EUsage& error) {
        std::cerr << "kronax-sim: " << error.what() << "\n" << UsageText();
    } catch (const std::exception& error) {
        std::cerr << "kronax-sim: " << error.what() << std::endl;
    }
    return EXIT_FAILURE;
}
