#include "link/PortRequest.h"

#include "link/SerialError.h"

namespace kronax {

PortRequest::PortRequest(ISerialPlatform& platform, Kind kind) : platform_(platform), kind_(kind) {
    if (int error = platform_.NewEvent(true, event_))
        throw ESerialPort(FailureCode(), error);
}

PortRequest::~PortRequest() {
    platform_.CloseEvent(event_);
}

int PortRequest::FailureCode() const {
    return kind_ == Kind::Write ? CError_WriteFailed : CError_ReadFailed;
}

} // namespace kronax
