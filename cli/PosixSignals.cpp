#include "cli/Signals.h"

#include <atomic>
#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace kronax::cli {
namespace {

std::atomic<int> stopSignal{0};

extern "C" void OnStopSignal(int signal) {
    int none = 0;
    if (!stopSignal.compare_exchange_strong(none, signal))
        _exit(128 + signal);
}

} // namespace

void InstallStopSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void BlockStopSignalsInThisThread() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int StopSignal() {
    return stopSignal.load();
}

} // namespace kronax::cli
