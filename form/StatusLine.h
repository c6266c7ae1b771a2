#pragma once

#include "form/OutcomeSummary.h"

#include <string>
#include <vector>

namespace kronax {

class IFormView;

// What the status bar below the client area says: the outcome of the last operation (red when it
// failed; its details reached by pointer or keyboard), or what is about to happen while it
// happens; the settings the window holds unwritten; the connection. UI thread only.
class StatusLine {
public:
    explicit StatusLine(IFormView& view) : view_(view) {}

    // Shows outcome; details (a report with CR LF line ends, or an error text) is its longer
    // text.
    void ShowOutcome(const Outcome& outcome, const std::string& details = {});

    // Says what is about to happen (in black) until the next outcome, or until EndProgress.
    void ShowProgress(const std::string& text);

    // Puts back the outcome that ShowProgress covered, unless an outcome was shown since.
    void EndProgress();

    // Shows which settings the window holds unwritten ("Not written: Multiplier, Divider") left of
    // the connection, nothing when names is empty.
    void ShowUnwritten(const std::vector<std::string>& names);
    // Adds to the outcome shown, in red, that no record of the operation was kept and why.
    void MarkNotRecorded(const std::string& why);

    // Shows text at the right edge, details as its longer text.
    void ShowConnection(const std::string& text, const std::string& details = {});

    // The outcome shown last, and its details, for the operator who asks for the whole report.
    const Outcome& Shown() const { return shown_; }
    const std::string& ShownDetails() const { return shownDetails_; }

private:
    IFormView& view_;
    Outcome shown_;
    std::string shownDetails_;
    std::string unwritten_;
    bool inProgress_ = false;
};

// A report or error text as the status bar's details show it: one line per report line, a CR or
// LF of a quoted board reply shown as the traffic log shows it. Pure.
std::string DetailsText(const std::string& text);

} // namespace kronax
