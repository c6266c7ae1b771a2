#include "cli/Signals.h"

#include <atomic>
#include <csignal>
#include <windows.h>

namespace kronax::cli {
namespace {

std::atomic<int> stopSignal{0};

// Runs on a thread of its own that the console starts for each Ctrl+C, Ctrl+Break or close.
BOOL WINAPI OnConsoleControl(DWORD event) {
    const int signal = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
    int none = 0;
    if (!stopSignal.compare_exchange_strong(none, signal))
        ExitProcess(static_cast<UINT>(128 + signal));
    return TRUE;
}

} // namespace

void InstallStopSignals() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

// The console's handler runs on its own thread, so workers never see it.
void BlockStopSignalsInThisThread() {}

int StopSignal() {
    return stopSignal.load();
}

} // namespace kronax::cli
