#pragma once

namespace kronax::cli {

// SIGINT and SIGTERM ask the run to stop: the exchange under way finishes, nothing more is sent.
// A second one ends the process at once with 128 + its number. SIGPIPE is ignored, so a reader
// that goes away shows as a failed write to standard output instead of killing the process
// between two payloads. Call once, from the main thread, before any worker starts.
void InstallStopSignals();

// The signal that asked the run to stop, or 0. Any thread.
int StopSignal();

// Keeps the stop signals away from the calling thread, so that they reach the main thread and
// never interrupt a worker's system call.
void BlockStopSignalsInThisThread();

} // namespace kronax::cli
