#pragma once

#include "link/SerialPlatform.h"

namespace kronax {

// The event object of one transfer, a write or a read: created set, and released when the
// transfer call ends, also when it raises.
class PortRequest {
public:
    enum class Kind { Write = 0, Read = 1 };

    // Raises ESerialPort CError_WriteFailed or CError_ReadFailed when the event cannot be created.
    PortRequest(ISerialPlatform& platform, Kind kind);
    ~PortRequest();
    PortRequest(const PortRequest&) = delete;
    PortRequest& operator=(const PortRequest&) = delete;

    Kind RequestKind() const { return kind_; }
    EventHandle Event() const { return event_; }
    // The port error code a failure of this transfer raises.
    int FailureCode() const;

private:
    ISerialPlatform& platform_;
    Kind kind_;
    EventHandle event_ = 0;
};

} // namespace kronax
