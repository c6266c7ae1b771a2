#pragma once

#include "exchange/TrafficLog.h"
#include "form/FormEvents.h"
#include "form/FormView.h"
#include "winapp/AccessibleText.h"

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>
#include <windows.h>

namespace kronax::win32 {

// Whether this build has a record store (the build says it).
inline constexpr bool StationKeepsRecords = KRONAX_STATION_KEEPS_RECORDS;

// The window on Windows: a view of the form made of Windows' own controls, each created at the
// design's place scaled to the window's DPI. The form decides; this class shows what it is told
// and reports what the operator does. A change the form makes never comes back as an edit or a
// click. Every member runs on the thread that made the window, except Post.
class Win32FormView : public IFormView {
public:
    // Makes the main window, hidden, with every control of the design, its menus and status bar,
    // at dpi (0: the system's). Raises std::runtime_error when Windows refuses the window.
    explicit Win32FormView(int dpi = 0);
    ~Win32FormView() override;
    Win32FormView(const Win32FormView&) = delete;
    Win32FormView& operator=(const Win32FormView&) = delete;

    // Where the operator's edits, clicks and commands go; null drops them.
    void SetEvents(IFormEvents* events) { events_ = events; }
    // Runs once when the shown window has painted for the first time, before the form hears
    // of it.
    void AfterFirstPaint(std::function<void()> hook) { afterFirstPaint_ = std::move(hook); }

    // Shows the window at its designed place and gives the first control the focus.
    void Show();
    // Runs the event loop until the window is gone; returns the exit code.
    int Run();
    // What the event loop does with a message before it is dispatched: the Ctrl shortcuts, then
    // Tab, the arrows, Enter and the mnemonics among the controls. True when it was handled.
    bool PreTranslate(MSG& message);

    HWND Window() const { return window_; }
    // The control's window (a radio group's frame); null for the client area.
    HWND Control(ControlId id) const;
    // A radio group's item, or null.
    HWND RadioButton(ControlId group, int index) const;
    HWND StatusBar() const { return statusBar_; }
    HMENU Menu() const { return menu_; }
    HACCEL Accelerators() const { return accelerators_; }
    // The identifier a control's notifications carry (what DM_GETDEFID answers for the default
    // button).
    static int ControlIdentifier(ControlId id);
    static int CommandIdentifier(FormCommand command);
    // Design pixels at the window's DPI.
    int Scale(int designPixels) const;

    // IFormView
    void SetText(ControlId control, const std::string& text) override;
    void SetValid(ControlId control, bool valid, const std::string& description) override;
    void SetEnabled(ControlId control, bool enabled) override;
    void SetVisible(ControlId control, bool visible) override;
    void SetItems(ControlId control, const std::vector<std::string>& items) override;
    void SetSelection(ControlId control, int index) override;
    void SetPorts(const std::vector<PortListEntry>& ports) override;
    bool PortListDropped() const override;
    void SetStatus(StatusPart part, const StatusText& text) override;
    void SetRecentFiles(const std::vector<RecentFileItem>& items) override;
    ITrafficLog& TrafficLog() override { return log_; }
    Answer Ask(const Question& question) override;
    void ShowMessage(MessageKind kind, const std::string& text) override;
    void ShowUnownedMessage(const std::string& text) override;
    void ShowFinalError(const std::string& text) override;
    void ShowKeyboardShortcuts(const std::string& text) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) override;
    bool ConfirmWarning(const std::string& message, const std::string& caption) override;
    void ShowBoardHistory(records::RecordStore* store, const std::string& boardSerial,
                          const std::string& port) override;
    void PaintBeforeBlocking() override;
    void SetBusy(bool busy) override;
    void DiscardInput() override;
    void StartTimer(FormTimer timer, int intervalMilliseconds) override;
    void StopTimer(FormTimer timer) override;
    void Post(std::function<void()> work) override;

private:
    // memDebug as the form's traffic log: lines appended at the end, the newest in view.
    class EditLog : public ITrafficLog {
    public:
        void AppendLine(const std::string& line) override;
        HWND edit = nullptr;
    };

    struct ControlWindow {
        HWND window = nullptr;
        ControlKind kind = ControlKind::Label;
        // Radio groups: their items; lists: the index last shown or reported.
        std::vector<HWND> buttons;
        int selection = -1;
        bool valid = true;
        bool visible = true;
    };

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int identifier, int notification, HWND from);
    void OnRadioClicked(ControlId group, HWND button);
    void OnListChosen(ControlId list);
    void NextDialogControl(WPARAM wParam, LPARAM lParam);
    void OnActivate(bool active);
    void OnFirstPaint();
    void RunPosted();

    void CreateControls();
    void CreateMenus();
    void CreateStatusBar();
    void LayOut();
    void LayOutRadioButtons(ControlId group);
    void MakeFont();
    void ApplyFont();
    void ApplyDpi(int dpi);
    RECT ScaledPlace(const ControlDesign& design) const;
    void SizeWindow();
    void MoveTabStop(ControlId group);
    void SetStatusParts();
    LRESULT ColourEdit(HDC dc, HWND edit);
    void DrawStatusPart(const DRAWITEMSTRUCT& item);
    void DrawLogo(const DRAWITEMSTRUCT& item);
    void DrawPortEntry(const DRAWITEMSTRUCT& item);
    const ControlWindow* Find(HWND window, ControlId* id) const;
    std::wstring Title() const;

    HWND window_ = nullptr;
    HWND statusBar_ = nullptr;
    HMENU menu_ = nullptr;
    HMENU fileMenu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH red_ = nullptr;
    HBRUSH white_ = nullptr;
    HBITMAP logo_ = nullptr;
    HBITMAP writePicture_ = nullptr;
    std::vector<HBITMAP> menuPictures_;
    int dpi_ = 96;
    IFormEvents* events_ = nullptr;
    std::function<void()> afterFirstPaint_;
    std::map<ControlId, ControlWindow> controls_;
    std::vector<StatusText> status_;
    std::vector<PortListEntry> ports_;
    int recentCount_ = 0;
    // Set while the form's own change is being made, so that its notification is not reported.
    int echo_ = 0;
    bool busy_ = false;
    bool painted_ = false;
    HWND lastFocus_ = nullptr;
    EditLog log_;
    AccessibleText accessible_;

    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
};

} // namespace kronax::win32
