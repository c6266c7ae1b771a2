#pragma once

#include "config_file/ConfigFileFlows.h"
#include "config_file/ConfigFileWindow.h"
#include "form/FieldMismatch.h"
#include "form/FormEnvironment.h"
#include "form/FormEvents.h"
#include "form/WindowQuestions.h"
#include "protocol/BoardCopy.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/ConfigurationView.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace kronax {

class BoardChannel;
class BoardCommandLabels;
class BusyChannel;
class IFormView;
class IniEntryStore;
class IOperationRecords;
class IRecordForwarding;
class ParameterEntry;
class PortChoice;
class SensorPanel;
class StatusLine;
class TSerialPort;
struct OperationFacts;
struct Outcome;
enum class Operation;
namespace records {
class RecordingLog;
}

// The program's one window, without its toolkit: its state and every decision it makes. It owns
// the sensor panel and the parameter entry, the serial port, the settings file and the command
// transaction for its whole life, and leads each menu item, button, timer tick and double click
// that its view reports to its handler. It is also the view through which the configuration
// transfer code reads and sets the parameters and selections, and the window the configuration
// file flows ask and report through. Every member runs on the UI thread.
class TForm1 : public IFormEvents, public IConfigurationView, public IConfigFileWindow {
public:
    // Runs the start-up steps but the last on view, which must outlive the form. The last step,
    // the opening of the remembered port and the reading of the board's configuration, runs once
    // the shown window has painted (FirstPainted). A port list that cannot be read is shown in
    // the error box and start-up goes on.
    TForm1(IFormView& view, FormEnvironment environment);
    // Frees the port and writes the remembered port number and the recent files to the settings
    // file; a failed write is shown in a box of no window's.
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // What the view reports.
    void FieldEdited(ControlId field, const std::string& text) override;
    void SelectionClicked(ControlId control, int index) override;
    void PortPicked(int index) override;
    void PortListDroppingDown() override;
    void ButtonClicked(ControlId button) override;
    void CommandChosen(FormCommand command) override;
    void RecentFileChosen(int index) override;
    void DoubleClicked(ControlId control) override;
    void TimerTicked(FormTimer timer) override;
    void DevicesChanged() override;
    void FirstPainted() override;
    bool CloseRequested() override;

    const DeviceConfiguration& Configuration() const override;
    int Selected(Selection selection) const override;
    void StoreNumber(NumberField field, std::int32_t value) override;
    void Select(Selection selection, int position) override;

    // The configuration file flows' window: dialogs, warning, repaint and report label.
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) override;
    bool ConfirmWarning(std::string_view message, std::string_view caption) override;
    // An opened file with values out of range stays in the window; one named on the command line
    // is sent only when the operator agrees.
    bool ConfirmSend(const std::string& fileName) override;
    void Repaint() override;
    // Replaces the text of lblReport with report (8-bit text).
    void SetReport(const std::string& report) override;

    // A file to open as Open does once start-up has read the board, asking before it is sent.
    void OpenOnStart(const std::string& fileName);
    // The last start-up step: the port choice for the remembered port's entry, with its read.
    // Runs once; later calls do nothing.
    void RunStartUp();

    // The parts, for a view and tests that look at the state behind the controls.
    const ParameterEntry& Entry() const { return *entry_; }
    const SensorPanel& Panel() const { return *panel_; }
    const StatusLine& Status() const { return *status_; }
    const PortChoice& Ports() const { return *portChoice_; }
    const BoardCommandLabels& Labels() const { return *labels_; }
    const std::vector<std::string>& RecentFiles() const { return recentFiles_; }
    const TSerialPort& Port() const { return *port_; }
    bool TrafficLogShown() const { return logShown_; }
    // The settings the window holds unwritten, by name, in the order of the settings.
    std::vector<std::string> UnwrittenNames() const;

    // Handlers of the menu items, buttons, port list and timer. Each raises what its operation
    // raises; the view's events reach them through RunHandler, which lets nothing escape.
    // Virtual so that a test can observe that each event reaches its handler.
    virtual void LoadConfigurationfromFile1Click();
    virtual void StoreConfigurationtoFile1Click();
    virtual void LoadConfigurationfromKronax1Click();
    virtual void ApplyConfigurationtoKronax1Click();
    virtual void SetCurrentConfigurationasPowerOnDefault1Click();
    virtual void KRONAXBoardInformation1Click();
    virtual void BoardHistory1Click();
    virtual void About1Click();
    virtual void btnWriteToKronaxClick();
    virtual void btnStartClick();
    virtual void btnStatusClick();
    virtual void cmbComPortChange();
    virtual void Timer2Timer();
    void Image1DblClick();
    void gbDebugDblClick();
    // Looks at the present ports (an unplugged board closes the port).
    void WatchPorts();
    // Sends "##SMSETP" and puts the outcome into lblReport. Raises ESerialPort.
    void SetPowerOnDefault();
    // Asks the board for its identity and shows it in a box without owner, also after a
    // time-out. Raises ESerialPort.
    void ShowBoardInformation();

private:
    void FormCreate();
    void FormDestroy();
    void FillPortList();
    void CreatePort();
    void InitializeControls();
    void Announce(const std::string& text);
    void RunHandler(void (TForm1::*handler)(), Operation operation);
    bool DroppedVanished(const std::exception_ptr& failure);
    void ReportFailure(const std::exception_ptr& failure, Operation operation);
    void ShowFailure(Operation operation, const std::string& text);
    void ReadFromBoard(const char* operation);
    // Asks first when what is sent differs from what is shown; true when the write went out and
    // the board acknowledged all of it.
    bool WriteToBoard();
    std::vector<FieldMismatch> SendNotes() const;
    void ShowUnwritten();
    void EditsChanged();
    // Whether the operation that would replace the unwritten settings may go on: Write writes
    // them first, Discard drops them, Cancel stops it.
    bool ClearToReplace(EditLoss loss);
    void ChoosePort();
    void RestorePortSelection();
    void AskBeforeClose();
    void OpenFile(const std::string& fileName, bool askBeforeSending);
    void OpenStartFile();
    void OpenRecentFile();
    void ShowOpening(const FileOpening& opening);
    void NoteRecentFile(const std::string& fileName);
    void FillRecentFiles();
    void ShowBoardOutcome(Operation operation, const Outcome& outcome, const std::string& report);
    void ArmRecord(const char* operation);
    void KeepRecord(OperationFacts facts);
    ConfigFileContext FileContext();
    void ShowTrafficLog(bool shown);
    void KeyboardShortcuts1Click();
    void LastReport1Click();

    IFormView& view_;
    FormEnvironment environment_;
    std::unique_ptr<StatusLine> status_;
    std::unique_ptr<ParameterEntry> entry_;
    std::unique_ptr<SensorPanel> panel_;
    std::unique_ptr<PortChoice> portChoice_;
    std::unique_ptr<BoardCommandLabels> labels_;
    std::unique_ptr<IRecordForwarding> recordForwarding_;
    std::unique_ptr<IniEntryStore> settings_;
    std::unique_ptr<TSerialPort> port_;
    std::unique_ptr<records::RecordingLog> recordingLog_;
    std::unique_ptr<BoardChannel> channel_;
    std::unique_ptr<BusyChannel> busyChannel_;
    std::unique_ptr<IOperationRecords> recorder_;
    BoardCopy boardCopy_;
    std::vector<std::string> recentFiles_;
    std::string startFile_;
    std::string recentChoice_;
    std::vector<FieldMismatch> withheld_;
    bool askBeforeSending_ = false;
    bool closeAccepted_ = false;
    bool logShown_ = false;
    bool startedUp_ = false;
    bool destroying_ = false;
};

} // namespace kronax
