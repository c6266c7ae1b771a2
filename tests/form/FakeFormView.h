#pragma once

#include "exchange/TrafficLog.h"
#include "form/FormView.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kronax::test {

// A view without a toolkit: it keeps what the form shows, counts what the form sets, and answers
// the form's questions and dialogs from scripts (a question or dialog without an answer is
// cancelled).
class FakeFormView : public IFormView, public ITrafficLog {
public:
    struct Control {
        std::string text;
        bool valid = true;
        std::string description;
        bool enabled = true;
        bool visible = true;
        std::vector<std::string> items;
        int selection = -1;
        int textSets = 0;
        int validSets = 0;
    };

    std::map<ControlId, Control> controls;
    std::map<StatusPart, StatusText> status;
    std::vector<PortListEntry> ports;
    std::vector<RecentFileItem> recentFiles;
    std::vector<std::string> log;
    std::deque<Answer> answers;
    std::vector<Question> questions;
    std::vector<std::string> messages;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::map<FormTimer, int> timers;
    std::vector<std::function<void()>> posted;

    const Control& operator[](ControlId id) { return controls[id]; }

    void SetText(ControlId control, const std::string& text) override {
        controls[control].text = text;
        ++controls[control].textSets;
    }
    void SetValid(ControlId control, bool valid, const std::string& description) override {
        controls[control].valid = valid;
        controls[control].description = description;
        ++controls[control].validSets;
    }
    void SetEnabled(ControlId control, bool enabled) override {
        controls[control].enabled = enabled;
    }
    void SetVisible(ControlId control, bool visible) override {
        controls[control].visible = visible;
    }
    void SetItems(ControlId control, const std::vector<std::string>& items) override {
        controls[control].items = items;
        controls[control].selection = -1;
    }
    void SetSelection(ControlId control, int index) override {
        controls[control].selection = index;
    }
    void SetPorts(const std::vector<PortListEntry>& entries) override { ports = entries; }
    bool PortListDropped() const override { return false; }
    void SetStatus(StatusPart part, const StatusText& text) override { status[part] = text; }
    void SetRecentFiles(const std::vector<RecentFileItem>& items) override { recentFiles = items; }
    ITrafficLog& TrafficLog() override { return *this; }
    void AppendLine(const std::string& line) override { log.push_back(line); }
    Answer Ask(const Question& question) override {
        questions.push_back(question);
        return Take(answers, Answer::Cancel);
    }
    void ShowMessage(MessageKind, const std::string& text) override { messages.push_back(text); }
    void ShowUnownedMessage(const std::string& text) override { messages.push_back(text); }
    void ShowFinalError(const std::string& text) override { messages.push_back(text); }
    void ShowKeyboardShortcuts(const std::string& text) override { messages.push_back(text); }
    void ShowBoardHistory(records::RecordStore*, const std::string&, const std::string&) override {}
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions&) override {
        return Take(openAnswers, std::optional<std::string>());
    }
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions&) override {
        return Take(saveAnswers, std::optional<std::string>());
    }
    bool ConfirmWarning(const std::string&, const std::string&) override { return false; }
    void PaintBeforeBlocking() override {}
    void SetBusy(bool) override {}
    void DiscardInput() override {}
    void StartTimer(FormTimer timer, int intervalMilliseconds) override {
        timers[timer] = intervalMilliseconds;
    }
    void StopTimer(FormTimer timer) override { timers.erase(timer); }
    void Post(std::function<void()> work) override { posted.push_back(std::move(work)); }

private:
    template <typename T> static T Take(std::deque<T>& queue, T otherwise) {
        if (queue.empty())
            return otherwise;
        T first = std::move(queue.front());
        queue.pop_front();
        return first;
    }
};

} // namespace kronax::test
