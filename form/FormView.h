#pragma once

#include "config_file/ConfigFileWindow.h"
#include "form/FormDesign.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kronax {

class ITrafficLog;
namespace records {
class RecordStore;
}

// A question of the window before it loses or sends something the operator may not expect: the
// text, the caption of the button that goes ahead and, for a three-way question, of the button
// that goes on without it (empty for two buttons). Cancel is always the last button (and Esc).
// Captions mark their mnemonic with "&". UTF-8.
struct Question {
    std::string text;
    std::string accept;
    std::string alternative;

    bool operator==(const Question&) const = default;
};

enum class Answer { Accept, Alternative, Cancel };

// A text of the status bar: its words, the longer text a pointer or the keyboard reaches
// (details; empty for none) and whether it is said in red. UTF-8.
struct StatusText {
    std::string text;
    std::string details;
    bool red = false;

    bool operator==(const StatusText&) const = default;
};

// The status bar's parts, left to right.
enum class StatusPart {
    // The outcome of the last operation, or what is about to happen.
    Outcome,
    // How many records wait for the records server (empty while none waits).
    Forwarding,
    // The settings the window holds unwritten.
    Unwritten,
    // The open port and the device behind it.
    Connection,
};

// One entry of the port list: the port's name ("COM3"), the device behind it in a second
// column, and the full description for a tooltip. UTF-8.
struct PortListEntry {
    std::string name;
    std::string device;
    std::string details;

    bool operator==(const PortListEntry&) const = default;
};

// One entry of the recent files at the end of the File menu: the caption with its mnemonic
// ("&1 board.kxcfg", an "&" of the name doubled) and the whole path as its tip. UTF-8.
struct RecentFileItem {
    std::string caption;
    std::string path;

    bool operator==(const RecentFileItem&) const = default;
};

enum class MessageKind { Information, Error };

// The timers of the window: Timer2 expires the board-command labels, the port watch looks at the
// present ports, Unwritten shows the unwritten settings anew once a change is over (interval 0:
// as soon as the event loop is idle).
enum class FormTimer { Timer2, PortWatch, Unwritten };

// What the form asks of a toolkit. A view shows what it is told and tells the form what the
// operator did (FormEvents); it decides nothing. A change the form makes through these calls
// never comes back to the form as an operator's edit or click: the view suppresses its own
// echo. Every call is made on the user-interface thread, except Post.
class IFormView {
public:
    virtual ~IFormView() = default;

    // A label's, button's or group box's caption, or an entry field's text.
    virtual void SetText(ControlId control, const std::string& text) = 0;
    // An entry field's colour: white while valid, red while not. A red field also says so to a
    // screen reader, with description ("Multiplier takes 0 to 255.") as its accessible
    // description; a valid one has an empty description.
    virtual void SetValid(ControlId control, bool valid, const std::string& description) = 0;
    virtual void SetEnabled(ControlId control, bool enabled) = 0;
    virtual void SetVisible(ControlId control, bool visible) = 0;
    // A radio group's or drop-down list's items; afterwards none is selected.
    virtual void SetItems(ControlId control, const std::vector<std::string>& items) = 0;
    // Selects an item of a radio group or drop-down list; -1 selects none.
    virtual void SetSelection(ControlId control, int index) = 0;

    // The port list's entries; afterwards none is selected (SetSelection(cmbComPort, ...)).
    virtual void SetPorts(const std::vector<PortListEntry>& ports) = 0;
    // Whether the port list is dropped down right now (the form then leaves its entries alone).
    virtual bool PortListDropped() const = 0;

    virtual void SetStatus(StatusPart part, const StatusText& text) = 0;
    virtual void SetRecentFiles(const std::vector<RecentFileItem>& items) = 0;

    // The traffic log that memDebug shows; it lives as long as the view.
    virtual ITrafficLog& TrafficLog() = 0;

    // Modal boxes owned by the window, with the window's title as their caption.
    virtual Answer Ask(const Question& question) = 0;
    virtual void ShowMessage(MessageKind kind, const std::string& text) = 0;
    // An information box that belongs to no window, so that the window stays usable beside it
    // (the board information).
    virtual void ShowUnownedMessage(const std::string& text) = 0;
    // The error box once the window is going away (it must not belong to the window).
    virtual void ShowFinalError(const std::string& text) = 0;
    virtual void ShowKeyboardShortcuts(const std::string& text) = 0;
    // The table of the records of board boardSerial, or of port when no board was identified;
    // store is null where the station keeps no records (switched off, failed, or not built).
    virtual void ShowBoardHistory(records::RecordStore* store, const std::string& boardSerial,
                                  const std::string& port) = 0;

    // The file dialogs; file names are the system's own (the core opens them as given).
    virtual std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) = 0;
    // A warning with Yes and No; true for Yes.
    virtual bool ConfirmWarning(const std::string& message, const std::string& caption) = 0;

    // A blocking exchange is about to start: closes whatever is dropped down and paints what
    // changed (the status bar at least) now, since no event is handled until it ends.
    virtual void PaintBeforeBlocking() = 0;
    // The wait cursor on or off.
    virtual void SetBusy(bool busy) = 0;
    // Drops the keyboard and mouse input given while the window was blocked.
    virtual void DiscardInput() = 0;

    virtual void StartTimer(FormTimer timer, int intervalMilliseconds) = 0;
    virtual void StopTimer(FormTimer timer) = 0;

    // Any thread: runs work on the user-interface thread soon, from the event loop; work still
    // waiting when the view goes away is dropped. Never blocks.
    virtual void Post(std::function<void()> work) = 0;
};

} // namespace kronax
