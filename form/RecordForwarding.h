#pragma once

#include <memory>
#include <string>

namespace kronax {

class IFormView;

// Forwards the station's waiting records to the records server (KRONAX_RECORDS_SERVER, or
// Server= in section [Records] of the window's settings file) after each board operation, from
// a thread of its own, never the one that owns the port. While records wait, the status bar
// says how many in red, with the reason as its details. UI thread only.
class IRecordForwarding {
public:
    virtual ~IRecordForwarding() = default;
    // Asks for a forwarding; returns at once.
    virtual void AfterOperation() = 0;
};

// Forwarding for the view's window; one that does nothing when no server is named or the build
// has no records server client.
std::unique_ptr<IRecordForwarding> MakeRecordForwarding(IFormView& view,
                                                        const std::string& settingsFileName);

} // namespace kronax
