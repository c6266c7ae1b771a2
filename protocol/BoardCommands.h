#pragma once

#include "protocol/CommandChannel.h"

#include <string>

namespace kronax {

// The single board commands, each one exchange over channel with its own time-out, returning
// the text to show (BoardReplies.h). They raise whatever the channel raises (ESerialPort); no
// text is produced then. UI thread only.

// "##SMSTA", 1000 ms: the text for lblStart.
std::string SendStartCommand(ICommandChannel& channel);

// "??SMSTA", 1000 ms: the text for lblStatus.
std::string RequestStatus(ICommandChannel& channel);

// "##SMSETP", 1000 ms: the text for lblReport.
std::string SendPowerOnDefaultCommand(ICommandChannel& channel);

// "??SMSETB", 500 ms: the five-line board information text for the message box.
std::string RequestBoardInformation(ICommandChannel& channel);

} // namespace kronax
