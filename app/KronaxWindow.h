#pragma once

#include "form/FormEnvironment.h"
#include "form/FormView.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>

#include <array>
#include <map>
#include <memory>

class QAction;
class QMenu;
class QTimer;

namespace kronax {

class ConfigFileDialogs;
class StatusLine;
class TForm1;
class TrafficLogView;

// The Qt view of the window: the design's controls as Qt widgets at their places, with their
// accessible names and Tab order, the menus, the status bar, the timers and the boxes. It shows
// what the form tells it and tells the form what the operator did; the form decides the rest.
// UI thread only.
class KronaxWindow : public QMainWindow, public IFormView {
    Q_OBJECT
public:
    // Makes the window's form; a test's may observe its handlers.
    using FormFactory = std::function<std::unique_ptr<TForm1>(IFormView&, FormEnvironment)>;

    // Builds the window and its form, which runs the start-up steps but the last; the window is
    // not shown yet. The last step runs once the shown window has painted.
    KronaxWindow();
    explicit KronaxWindow(FormEnvironment environment, const FormFactory& makeForm = {});
    ~KronaxWindow() override;

    TForm1& Form() { return *form_; }
    // The widget that shows control.
    QWidget* Control(ControlId control) const { return controls_.at(control); }

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
    ITrafficLog& TrafficLog() override;
    // The boxes and dialogs are virtual so that a test can answer them.
    Answer Ask(const Question& question) override;
    void ShowMessage(MessageKind kind, const std::string& text) override;
    void ShowUnownedMessage(const std::string& text) override;
    void ShowFinalError(const std::string& text) override;
    void ShowKeyboardShortcuts(const std::string& text) override;
    void ShowBoardHistory(records::RecordStore* store, const std::string& boardSerial,
                          const std::string& port) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) override;
    bool ConfirmWarning(const std::string& message, const std::string& caption) override;
    void PaintBeforeBlocking() override;
    void SetBusy(bool busy) override;
    void DiscardInput() override;
    void StartTimer(FormTimer timer, int intervalMilliseconds) override;
    void StopTimer(FormTimer timer) override;
    void Post(std::function<void()> work) override;

protected:
    // Closing with unwritten settings asks first; Cancel keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    // The first paint queues the start-up's last step.
    bool event(QEvent* event) override;
    // Enter that no control used itself presses the default button.
    void keyPressEvent(QKeyEvent* event) override;
    // Double clicks on the logo and on the traffic log's frame switch between the two.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    QWidget* CreateControl(const ControlDesign& design, QWidget* parent);
    void CreateMenu();
    void CreateTimers();
    void WireControls();
    void SetTabOrder();

    QList<QIcon> ImageList1_;
    std::map<ControlId, QWidget*> controls_;
    QMenu* File1_ = nullptr;
    QList<QAction*> recentItems_;
    TrafficLogView* memDebug_ = nullptr;
    std::array<QTimer*, 3> timers_{};
    std::unique_ptr<StatusLine> status_;
    std::unique_ptr<ConfigFileDialogs> dialogs_;
    std::unique_ptr<TForm1> form_;
    bool startUpQueued_ = false;
    bool busy_ = false;
};

} // namespace kronax
