#include "form/StatusLine.h"

#include "exchange/VisibleLineEnds.h"
#include "form/FormView.h"
#include "form/WindowQuestions.h"

namespace kronax {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

std::string DetailsText(const std::string& text) {
    const std::string trimmed = Trimmed(text);
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = trimmed.find("\r\n", start);
        lines.push_back(WithVisibleLineEnds(trimmed.substr(start, end - start)));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    return Joined(lines, "\n");
}

void StatusLine::ShowOutcome(const Outcome& outcome, const std::string& details) {
    inProgress_ = false;
    shown_ = outcome;
    shownDetails_ = details;
    view_.SetStatus(StatusPart::Outcome, {outcome.text, DetailsText(details), outcome.failed});
}

void StatusLine::MarkNotRecorded(const std::string& why) {
    // An operation that showed no outcome of its own (start, status) leaves its progress text.
    const std::string note = "No record was kept: " + why;
    ShowOutcome({inProgress_ ? note : shown_.text + " " + note, true}, shownDetails_);
}

void StatusLine::ShowProgress(const std::string& text) {
    inProgress_ = true;
    view_.SetStatus(StatusPart::Outcome, {text, {}, false});
}

void StatusLine::EndProgress() {
    if (inProgress_)
        ShowOutcome(shown_, shownDetails_);
}

void StatusLine::ShowUnwritten(const std::vector<std::string>& names) {
    const std::string text = names.empty() ? std::string() : "Not written: " + Joined(names, ", ");
    if (text == unwritten_)
        return;
    unwritten_ = text;
    view_.SetStatus(StatusPart::Unwritten, {text, text, false});
}

void StatusLine::ShowConnection(const std::string& text, const std::string& details) {
    view_.SetStatus(StatusPart::Connection,
                    {text, DetailsText(details.empty() ? text : details), false});
}

} // namespace kronax
