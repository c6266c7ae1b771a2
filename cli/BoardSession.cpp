#include "cli/BoardSession.h"

#include "cli/Text.h"
#include "exchange/BoardPort.h"

namespace kronax::cli {

void ErrorStreamLog::AppendLine(const std::string& line) {
    if (verbose_)
        output_.PrintError(PrefixLines(Utf8FromSystemText(line) + "\n", prefix_));
}

BoardSession::BoardSession(const std::string& portName, ErrorStreamLog log,
                           GuardedChannel::SendListener onSend)
    : port_(OpenBoardPort(portName, false)), log_(std::move(log)), recording_(log_, ticks_),
      board_(*port_, ticks_, recording_), guard_(board_, std::move(onSend)) {}

} // namespace kronax::cli
