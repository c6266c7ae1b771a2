#pragma once

namespace kronax::cli {

// What kronax ends with; with several ports the highest code of any port wins.
enum ExitCode : int {
    ExitSuccess = 0,
    ExitNotAsAsked = 1, // the board answered, but not as asked: refused, timed out, differs
    ExitUsage = 2,
    ExitPortError = 3, // cannot open, busy, vanished during the exchange
    ExitFileError = 4, // missing, unreadable, illegal or incomplete payload, refused overwrite
};

} // namespace kronax::cli
