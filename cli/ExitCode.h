#pragma once

namespace kronax::cli {

// What kronax ends with; with several ports the highest code of any port wins, a failed write to
// standard output raises it to ExitOutputError, and a stop signal ends with 128 + its number
// (130 for SIGINT, 143 for SIGTERM) whatever the ports ended with.
enum ExitCode : int {
    ExitSuccess = 0,
    ExitNotAsAsked = 1, // the board answered, but not as asked: refused, timed out, differs
    ExitUsage = 2,
    ExitPortError = 3,      // cannot open, busy, vanished during the exchange
    ExitFileError = 4,      // missing, unreadable, illegal or incomplete payload, refused overwrite
    ExitOutputError = 5,    // standard output could not be written (a closed pipe, a full disk)
    ExitRecordError = 6,    // the record store could not keep the operation's record
    ExitServerError = 7,    // the records server could not be reached or refused (history)
    ExitInternalError = 70, // a fault inside kronax; the port's result says what it was
    ExitSignalBase = 128,
};

} // namespace kronax::cli
