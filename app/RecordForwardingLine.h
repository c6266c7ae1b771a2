#pragma once

#include <memory>
#include <string>

class QStatusBar;

namespace kronax {

// Forwards the station's waiting records to the records server (KRONAX_RECORDS_SERVER, or
// Server= in section [Records] of the window's settings file) after each board operation, from
// a thread of its own, never the one that owns the port. While records wait, the status bar
// says how many, with the reason as its tooltip. Nothing happens when no server is named or the
// build has no records server client. UI thread only.
class RecordForwardingLine {
public:
    RecordForwardingLine(QStatusBar* bar, const std::string& settingsFileName);
    ~RecordForwardingLine();
    RecordForwardingLine(const RecordForwardingLine&) = delete;
    RecordForwardingLine& operator=(const RecordForwardingLine&) = delete;

    // Asks for a forwarding; returns at once.
    void AfterOperation();

private:
    struct Forwarding;
    std::unique_ptr<Forwarding> forwarding_;
};

} // namespace kronax
