#pragma once

#include "protocol/BoardReplies.h"
#include "protocol/CommandChannel.h"

#include <string_view>

namespace kronax {

// The single board commands, each one exchange over channel with its own time-out, returning
// how it ended (OutcomeText.h renders what the operator is shown). They raise whatever the
// channel raises (ESerialPort); there is no result then. On the thread that owns the port.

// The command's text without its CR: "##SMSTA", "??SMSTA", "##SMSETP", "??SMSETB". Pure.
std::string_view BoardCommandText(BoardCommand command);

// "##SMSTA", 1000 ms.
CommandResult SendStartCommand(ICommandChannel& channel);

// "??SMSTA", 1000 ms.
CommandResult RequestStatus(ICommandChannel& channel);

// "##SMSETP", 1000 ms.
CommandResult SendPowerOnDefaultCommand(ICommandChannel& channel);

// "??SMSETB", 500 ms.
CommandResult RequestBoardInformation(ICommandChannel& channel);

} // namespace kronax
