#include "form/KronaxConfigForm.h"

#include "config_file/FileError.h"
#include "config_file/IniEntryStore.h"
#include "config_file/RecentFiles.h"
#include "config_file/RememberedPort.h"
#include "exchange/BoardPort.h"
#include "form/BoardCommandLabels.h"
#include "form/BusyChannel.h"
#include "form/DisplayText.h"
#include "form/FileNames.h"
#include "form/FormView.h"
#include "form/KeyboardShortcuts.h"
#include "form/OperationRecords.h"
#include "form/OutcomeSummary.h"
#include "form/ParameterEntry.h"
#include "form/PortChoice.h"
#include "form/RecordForwarding.h"
#include "form/SensorPanel.h"
#include "form/StatusLine.h"
#include "form/UnopenableFile.h"
#include "link/PortFailure.h"
#include "link/SerialPort.h"
#include "link/UiDispatcher.h"
#include "protocol/BoardChannel.h"
#include "protocol/BoardCommands.h"
#include "protocol/OutcomeText.h"
#include "records/RecordingLog.h"

#include <algorithm>

namespace kronax {
namespace {

// How often the present ports are looked at, so that an unplugged board is noticed.
constexpr int PortWatchInterval = 1000;
constexpr int Timer2Interval = 1000;

std::optional<NumberField> FieldOf(ControlId control) {
    for (int index = 0; index < NumberFieldCount; ++index) {
        const auto field = static_cast<NumberField>(index);
        if (ParameterEntry::FieldControl(field) == control)
            return field;
    }
    return std::nullopt;
}

std::optional<Selection> SelectionOf(ControlId control) {
    for (int index = 0; index < SelectionCount; ++index) {
        const auto selection = static_cast<Selection>(index);
        if (SensorPanel::SelectionControl(selection) == control)
            return selection;
    }
    return std::nullopt;
}

} // namespace

TForm1::TForm1(IFormView& view, FormEnvironment environment)
    : view_(view), environment_(std::move(environment)),
      status_(std::make_unique<StatusLine>(view)),
      entry_(std::make_unique<ParameterEntry>(view, [this] { EditsChanged(); })),
      panel_(std::make_unique<SensorPanel>(view, *entry_, [this] { EditsChanged(); })),
      portChoice_(std::make_unique<PortChoice>(view, *status_)),
      labels_(std::make_unique<BoardCommandLabels>(view, *environment_.ticks)),
      recordForwarding_(MakeRecordForwarding(view, environment_.settingsFileName)) {
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::FormCreate() {
    FillPortList();
    settings_ = std::make_unique<IniEntryStore>(environment_.settingsFileName);
    portChoice_->Remember(ReadComPortNumber(*settings_));
    recentFiles_ = ReadRecentFiles(*settings_);
    FillRecentFiles();
    view_.SetText(ControlId::lblStart, "");
    view_.SetText(ControlId::lblReport, "");
    view_.SetText(ControlId::lblConnection, "");
    CreatePort();
    InitializeControls();
    ShowTrafficLog(false);
    view_.StartTimer(FormTimer::Timer2, Timer2Interval);
    view_.StartTimer(FormTimer::PortWatch, PortWatchInterval);
}

void TForm1::FormDestroy() {
    destroying_ = true;
    view_.StopTimer(FormTimer::Timer2);
    view_.StopTimer(FormTimer::PortWatch);
    view_.StopTimer(FormTimer::Unwritten);
    recorder_.reset();
    busyChannel_.reset();
    channel_.reset();
    port_.reset();
    try {
        WriteComPortNumber(*settings_, portChoice_->ComPortNumber());
        WriteRecentFiles(*settings_, recentFiles_);
    } catch (const std::exception& error) {
        view_.ShowFinalError(NativeText(error.what()));
    }
    settings_.reset();
}

// Without a port list the window still starts: the list stays empty, no port is opened, and the
// remembered number is written back unchanged at shutdown.
void TForm1::FillPortList() {
    try {
        portChoice_->Fill(ListPortIdentities());
    } catch (const ESerialPort& error) {
        view_.ShowMessage(MessageKind::Error, NativeText(error.what()));
    }
}

// The port's watcher hands its work to the UI thread through the shared dispatcher; the view
// posts the call to its event loop.
void TForm1::CreatePort() {
    UiDispatcher::Shared().SetWakeUp(
        [&view = view_] { view.Post([] { UiDispatcher::Shared().RunPending(); }); });
    port_ = std::make_unique<TSerialPort>();
    SetUpBoardPort(*port_, true);
    recordingLog_ =
        std::make_unique<records::RecordingLog>(view_.TrafficLog(), *environment_.ticks);
    channel_ = std::make_unique<BoardChannel>(*port_, *environment_.ticks, *recordingLog_);
    busyChannel_ = std::make_unique<BusyChannel>(*channel_, view_);
    // [Records] Enabled=0 in the settings file switches the records off.
    const bool recording = settings_->ReadEntry("Records", "Enabled", "1") != "0";
    recorder_ = MakeOperationRecords(*busyChannel_, *recordingLog_, recording);
}

void TForm1::InitializeControls() {
    entry_->ShowConfiguration();
    panel_->FillLists();
}

void TForm1::OpenOnStart(const std::string& fileName) {
    startFile_ = fileName;
}

// The start-up read waits for the window's first paint, so the operator sees the window, and
// what it is waiting for, at once, even with a board that never answers.
void TForm1::FirstPainted() {
    RunStartUp();
}

void TForm1::RunStartUp() {
    if (startedUp_)
        return;
    startedUp_ = true;
    // Nobody picked the remembered port: there is nothing to ask about.
    RunHandler(&TForm1::ChoosePort, Operation::PortChoice);
    if (!startFile_.empty())
        RunHandler(&TForm1::OpenStartFile, Operation::Open);
}

void TForm1::FieldEdited(ControlId field, const std::string& text) {
    if (const auto number = FieldOf(field))
        entry_->FieldEdited(*number, text);
}

void TForm1::SelectionClicked(ControlId control, int index) {
    if (const auto selection = SelectionOf(control))
        panel_->SelectionClicked(*selection, index);
}

void TForm1::PortPicked(int index) {
    portChoice_->Select(index);
    RunHandler(&TForm1::cmbComPortChange, Operation::PortChoice);
}

void TForm1::PortListDroppingDown() {
    portChoice_->Refresh();
}

void TForm1::ButtonClicked(ControlId button) {
    switch (button) {
    case ControlId::btnStart:
        RunHandler(&TForm1::btnStartClick, Operation::StartAlgorithms);
        break;
    case ControlId::btnStatus:
        RunHandler(&TForm1::btnStatusClick, Operation::ReadStatus);
        break;
    case ControlId::btnWriteToKronax:
        RunHandler(&TForm1::btnWriteToKronaxClick, Operation::WriteConfiguration);
        break;
    default:
        break;
    }
}

void TForm1::CommandChosen(FormCommand command) {
    using F = FormCommand;
    const struct {
        F command;
        void (TForm1::*handler)();
        Operation operation;
    } handlers[] = {
        {F::LoadConfigurationfromFile1, &TForm1::LoadConfigurationfromFile1Click, Operation::Open},
        {F::StoreConfigurationtoFile1, &TForm1::StoreConfigurationtoFile1Click, Operation::Save},
        {F::LoadConfigurationfromKronax1, &TForm1::LoadConfigurationfromKronax1Click,
         Operation::ReadConfiguration},
        {F::ApplyConfigurationtoKronax1, &TForm1::ApplyConfigurationtoKronax1Click,
         Operation::WriteConfiguration},
        {F::SetCurrentConfigurationasPowerOnDefault1,
         &TForm1::SetCurrentConfigurationasPowerOnDefault1Click, Operation::PowerOnDefault},
        {F::KRONAXBoardInformation1, &TForm1::KRONAXBoardInformation1Click,
         Operation::BoardInformation},
        {F::BoardHistory1, &TForm1::BoardHistory1Click, Operation::Background},
        {F::ShowTrafficLog1, &TForm1::Image1DblClick, Operation::Background},
        {F::LastReport1, &TForm1::LastReport1Click, Operation::Background},
        {F::KeyboardShortcuts1, &TForm1::KeyboardShortcuts1Click, Operation::Background},
        {F::About1, &TForm1::About1Click, Operation::Background},
    };
    for (const auto& entry : handlers)
        if (entry.command == command) {
            // The traffic log's item switches between the log and the logo.
            if (command == F::ShowTrafficLog1 && logShown_)
                RunHandler(&TForm1::gbDebugDblClick, entry.operation);
            else
                RunHandler(entry.handler, entry.operation);
        }
}

void TForm1::RecentFileChosen(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= recentFiles_.size())
        return;
    recentChoice_ = recentFiles_[static_cast<std::size_t>(index)];
    RunHandler(&TForm1::OpenRecentFile, Operation::Open);
}

void TForm1::DoubleClicked(ControlId control) {
    if (control == ControlId::Image1)
        Image1DblClick();
    else if (control == ControlId::gbDebug)
        gbDebugDblClick();
}

void TForm1::TimerTicked(FormTimer timer) {
    switch (timer) {
    case FormTimer::Timer2:
        RunHandler(&TForm1::Timer2Timer, Operation::Background);
        break;
    case FormTimer::PortWatch:
        RunHandler(&TForm1::WatchPorts, Operation::Background);
        break;
    case FormTimer::Unwritten:
        view_.StopTimer(FormTimer::Unwritten);
        ShowUnwritten();
        break;
    }
}

void TForm1::DevicesChanged() {
    RunHandler(&TForm1::WatchPorts, Operation::Background);
}

bool TForm1::CloseRequested() {
    closeAccepted_ = false;
    RunHandler(&TForm1::AskBeforeClose, Operation::Close);
    return closeAccepted_;
}

// No event is handled while an exchange blocks the window, so the window is brought up to date
// before it: whatever is dropped down closes, the status line says what is about to happen, the
// wait cursor shows and what changed is painted at once. Nothing blocks without an open port.
void TForm1::Announce(const std::string& text) {
    if (!port_->Connected())
        return;
    std::string progress = text;
    progress.replace(progress.find("%1"), 2, DisplayText(port_->Port()));
    status_->ShowProgress(progress);
    busyChannel_->BeginSequence();
    view_.PaintBeforeBlocking();
}

// Every event handler runs here, and no exception leaves: an exception must never unwind
// through a toolkit's event delivery. The input given while the handler's commands blocked the
// window is dropped before the error box could take it. Once the window is going away, the event
// loop of its last error box runs no handler: the port and channels are gone.
void TForm1::RunHandler(void (TForm1::*handler)(), Operation operation) {
    if (destroying_)
        return;
    std::exception_ptr failure;
    try {
        (this->*handler)();
    } catch (...) {
        failure = std::current_exception();
    }
    // Told apart before the input is discarded: the port watch may run meanwhile and close the
    // port of a vanished device, which would leave its failure looking like any other.
    if (failure && DroppedVanished(failure))
        failure = nullptr;
    if (failure)
        recorder_->Abandon();
    busyChannel_->EndSequence(true);
    if (channel_)
        channel_->Settle();
    status_->EndProgress();
    if (failure)
        ReportFailure(failure, operation);
}

// A device that went away is not an error of the operator's action: the port is closed and the
// status bar says so.
bool TForm1::DroppedVanished(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const ESerialPort& error) {
        if (port_->Connected() &&
            ClassifyPortFailure(error, PortStage::Exchange).kind == PortFailureKind::Vanished) {
            portChoice_->DropVanished(*port_, error.AfterCommandSent());
            return true;
        }
    } catch (...) {
    }
    return false;
}

// The operator's action failed with text: said in the status bar and in the error box.
void TForm1::ShowFailure(Operation operation, const std::string& text) {
    status_->ShowOutcome(StoppedOutcome(operation, text), text);
    view_.ShowMessage(MessageKind::Error, text);
}

// Any error but a vanished device is shown in the error box.
void TForm1::ReportFailure(const std::exception_ptr& failure, Operation operation) {
    try {
        std::rethrow_exception(failure);
    } catch (const EIniWrite& error) {
        // The error box keeps its fixed text; the status bar adds the system's reason.
        const std::string text = NativeText(error.what());
        status_->ShowOutcome(
            StoppedOutcome(operation, text + ": " + DisplayText(ReasonText(error.Reason()))), text);
        view_.ShowMessage(MessageKind::Error, text);
    } catch (const std::exception& error) {
        ShowFailure(operation, NativeText(error.what()));
    } catch (...) {
        ShowFailure(operation, "Unknown error.");
    }
}

const DeviceConfiguration& TForm1::Configuration() const {
    return entry_->Configuration();
}

int TForm1::Selected(Selection selection) const {
    return panel_->Selected(selection);
}

void TForm1::StoreNumber(NumberField field, std::int32_t value) {
    entry_->StoreNumber(field, value);
}

void TForm1::Select(Selection selection, int position) {
    panel_->Select(selection, position);
}

std::optional<std::string> TForm1::ChooseSaveFile(const FileDialogOptions& options) {
    return view_.ChooseSaveFile(options);
}

std::optional<std::string> TForm1::ChooseOpenFile(const FileDialogOptions& options) {
    return view_.ChooseOpenFile(options);
}

bool TForm1::ConfirmWarning(std::string_view message, std::string_view caption) {
    return view_.ConfirmWarning(std::string(message), std::string(caption));
}

// The open flow repaints right before it writes the file's configuration to the board.
void TForm1::Repaint() {
    Announce("Writing the opened configuration to %1 ...");
    view_.PaintBeforeBlocking();
}

void TForm1::SetReport(const std::string& report) {
    view_.SetText(ControlId::lblReport, DisplayText(report));
}

ConfigFileContext TForm1::FileContext() {
    return {*this, *recorder_, *this, [](const std::string& fileName) {
                return std::make_unique<IniEntryStore>(fileName);
            }};
}

void TForm1::ShowBoardOutcome(Operation operation, const Outcome& outcome,
                              const std::string& report) {
    const std::string notSent = portChoice_->NotSentReason(*port_);
    status_->ShowOutcome(notSent.empty() ? outcome : NotSentOutcome(operation, notSent),
                         DisplayText(report));
}

// The next commands are operation's, on the port as it is now.
void TForm1::ArmRecord(const char* operation) {
    recorder_->Arm(operation, port_->Port(), port_->Opening());
}

// Completes the operation's record; the status line says in red when none was kept, and why.
void TForm1::KeepRecord(OperationFacts facts) {
    if (const std::string problem = recorder_->Finish(std::move(facts)); !problem.empty())
        status_->MarkNotRecorded(NativeText(problem));
    recordForwarding_->AfterOperation();
}

void TForm1::ReadFromBoard(const char* operation) {
    Announce("Reading the configuration from %1 ...");
    ArmRecord(operation);
    const TransferReport report = ReadConfiguration(*this, *recorder_);
    boardCopy_.Take(report);
    ShowUnwritten();
    const std::string text = ReportText(report);
    SetReport(text);
    ShowBoardOutcome(Operation::ReadConfiguration, ReadOutcome(report), text);
    KeepRecord(TransferFacts(report, "read_incomplete", false));
}

bool TForm1::WriteToBoard() {
    const std::vector<FieldMismatch> notes = SendNotes();
    if (!notes.empty() && view_.Ask(SendQuestion(notes)) != Answer::Accept)
        return false;
    Announce("Writing the configuration to %1 ...");
    ArmRecord("write");
    const TransferReport report = WriteConfiguration(*this, *recorder_);
    boardCopy_.Take(report);
    const std::string text = ReportText(report);
    SetReport(text);
    ShowBoardOutcome(Operation::WriteConfiguration, WithMismatches(WriteOutcome(report), notes),
                     text);
    ShowUnwritten();
    KeepRecord(TransferFacts(report, "write_not_acknowledged", true));
    return report.AllSucceeded() && portChoice_->NotSentReason(*port_).empty();
}

// The fields whose text is not what a write sends, and those whose value is out of range, in
// the order of the fields; an out-of-range value is marked when the board holds it itself.
std::vector<FieldMismatch> TForm1::SendNotes() const {
    std::vector<FieldMismatch> notes = entry_->Mismatches();
    const std::vector<Setting> differences = boardCopy_.Differences(TakeSnapshot(*this));
    for (FieldMismatch note : entry_->OutOfRange()) {
        note.reportedByBoard = std::find(differences.begin(), differences.end(),
                                         Setting(note.field)) == differences.end();
        notes.push_back(note);
    }
    std::stable_sort(
        notes.begin(), notes.end(),
        [](const FieldMismatch& a, const FieldMismatch& b) { return a.field < b.field; });
    return notes;
}

// From the values: a setting differs from what the board last acknowledged or reported, or its
// field shows a text that no write would send.
std::vector<std::string> TForm1::UnwrittenNames() const {
    std::vector<Setting> settings = boardCopy_.Differences(TakeSnapshot(*this));
    for (const FieldMismatch& mismatch : entry_->Mismatches())
        if (std::find(settings.begin(), settings.end(), Setting(mismatch.field)) == settings.end())
            settings.emplace_back(mismatch.field);
    std::sort(settings.begin(), settings.end());
    std::vector<std::string> names;
    for (const Setting& setting : settings)
        names.push_back(DisplayText(SettingName(setting)));
    return names;
}

void TForm1::ShowUnwritten() {
    status_->ShowUnwritten(UnwrittenNames());
}

// Every change of a field's text or of a selection shows the unwritten settings anew once the
// change is over; a read that changes many of them updates the list once.
void TForm1::EditsChanged() {
    view_.StartTimer(FormTimer::Unwritten, 0);
}

bool TForm1::ClearToReplace(EditLoss loss) {
    const std::vector<std::string> names = UnwrittenNames();
    if (names.empty())
        return true;
    switch (view_.Ask(LossQuestion(loss, names))) {
    case Answer::Accept:
        return WriteToBoard();
    case Answer::Alternative:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

void TForm1::AskBeforeClose() {
    closeAccepted_ = ClearToReplace(EditLoss::Close);
}

void TForm1::LoadConfigurationfromFile1Click() {
    if (!ClearToReplace(EditLoss::Open))
        return;
    askBeforeSending_ = false;
    ArmRecord("open-send");
    ShowOpening(LoadConfigurationFromFile(FileContext()));
}

void TForm1::OpenFile(const std::string& fileName, bool askBeforeSending) {
    if (!ClearToReplace(EditLoss::Open))
        return;
    askBeforeSending_ = askBeforeSending;
    ArmRecord("open-send");
    ShowOpening(LoadConfigurationFromFile(FileContext(), fileName));
}

// Nobody chose the file named on the command line in the dialog: it is sent only on request.
void TForm1::OpenStartFile() {
    OpenFile(startFile_, true);
}

void TForm1::OpenRecentFile() {
    OpenFile(recentChoice_, false);
}

bool TForm1::ConfirmSend(const std::string& fileName) {
    withheld_ = entry_->OutOfRange();
    if (!withheld_.empty())
        return false;
    return !askBeforeSending_ ||
           view_.Ask(FileSendQuestion(BaseNameText(fileName))) == Answer::Accept;
}

void TForm1::ShowOpening(const FileOpening& opening) {
    if (opening.outcome == FileOpening::Outcome::Sent) {
        OperationFacts facts = TransferFacts(opening.writeReport, "write_not_acknowledged", true);
        facts.details.filePath = opening.fileName;
        // The bytes the configuration sent was decoded from, not the file as it is now.
        facts.fileBytes = opening.fileBytes;
        KeepRecord(std::move(facts));
    }
    if (opening.fileName.empty())
        return;
    if (const std::string reason = UnopenableReason(opening.fileName); !reason.empty()) {
        status_->ShowOutcome(NotOpenedOutcome(opening.fileName, reason),
                             FileNameText(opening.fileName));
        return;
    }
    if (opening.outcome == FileOpening::Outcome::NothingOpened)
        return;
    NoteRecentFile(opening.fileName);
    boardCopy_.Take(opening.writeReport);
    ShowUnwritten();
    if (opening.outcome == FileOpening::Outcome::Withheld) {
        status_->ShowOutcome(WithheldOutcome(opening.fileName, withheld_),
                             OpenDetails(opening, DisplayText(ReportText(opening.readReport))));
        return;
    }
    const bool sent = opening.outcome == FileOpening::Outcome::Sent;
    const std::string report =
        DisplayText(ReportText(sent ? opening.writeReport : opening.readReport));
    status_->ShowOutcome(OpenOutcome(opening, portChoice_->NotSentReason(*port_)),
                         OpenDetails(opening, report));
}

void TForm1::StoreConfigurationtoFile1Click() {
    if (const auto fileName = StoreConfigurationToFile(FileContext())) {
        status_->ShowOutcome(SaveOutcome(*fileName), FileNameText(*fileName));
        NoteRecentFile(*fileName);
    }
}

void TForm1::NoteRecentFile(const std::string& fileName) {
    recentFiles_ = WithRecentFile(recentFiles_, AbsoluteFileName(fileName));
    FillRecentFiles();
}

// The recent files follow the File menu's own items, numbered so that Alt+F and a digit opens one.
void TForm1::FillRecentFiles() {
    std::vector<RecentFileItem> items;
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        std::string name = BaseNameText(recentFiles_[i]);
        for (std::size_t at = name.find('&'); at != std::string::npos; at = name.find('&', at + 2))
            name.insert(at, "&");
        items.push_back({"&" + std::to_string(i + 1) + " " + name, FileNameText(recentFiles_[i])});
    }
    view_.SetRecentFiles(items);
}

void TForm1::LoadConfigurationfromKronax1Click() {
    if (ClearToReplace(EditLoss::Read))
        ReadFromBoard("read");
}

void TForm1::ApplyConfigurationtoKronax1Click() {
    WriteToBoard();
}

// The board stores what it holds, not what the window shows: with unwritten settings the operator
// chooses which.
void TForm1::SetCurrentConfigurationasPowerOnDefault1Click() {
    if (const std::vector<std::string> names = UnwrittenNames(); !names.empty()) {
        const Answer answer = view_.Ask(PowerOnDefaultQuestion(names));
        if (answer == Answer::Cancel || (answer == Answer::Accept && !WriteToBoard()))
            return;
    }
    SetPowerOnDefault();
}

void TForm1::KRONAXBoardInformation1Click() {
    ShowBoardInformation();
}

void TForm1::btnWriteToKronaxClick() {
    WriteToBoard();
}

void TForm1::btnStartClick() {
    Announce("Starting the algorithms on %1 ...");
    labels_->ClearStart();
    ArmRecord("start");
    const CommandResult result = SendStartCommand(*recorder_);
    labels_->ShowStart(CommandOutcomeText(result));
    ShowBoardOutcome(Operation::StartAlgorithms,
                     BoardCommandOutcome(Operation::StartAlgorithms, result), {});
    KeepRecord(CommandFacts(result, true));
}

void TForm1::btnStatusClick() {
    Announce("Reading the status from %1 ...");
    ArmRecord("status");
    const CommandResult result = RequestStatus(*recorder_);
    labels_->ShowStatus(CommandOutcomeText(result));
    ShowBoardOutcome(Operation::ReadStatus, BoardCommandOutcome(Operation::ReadStatus, result), {});
    KeepRecord(CommandFacts(result, false));
}

void TForm1::SetPowerOnDefault() {
    Announce("Setting the power-on default on %1 ...");
    ArmRecord("set-default");
    const CommandResult result = SendPowerOnDefaultCommand(*recorder_);
    const std::string text = CommandOutcomeText(result);
    SetReport(text);
    ShowBoardOutcome(Operation::PowerOnDefault,
                     BoardCommandOutcome(Operation::PowerOnDefault, result), text);
    KeepRecord(CommandFacts(result, true));
}

void TForm1::ShowBoardInformation() {
    Announce("Asking %1 for the board information ...");
    ArmRecord("info");
    const CommandResult result = RequestBoardInformation(*recorder_);
    const std::string notSent = portChoice_->NotSentReason(*port_);
    status_->ShowOutcome(notSent.empty() ? BoardInformationOutcome(result, port_->Port())
                                         : NotSentOutcome(Operation::BoardInformation, notSent));
    KeepRecord(CommandFacts(result, false));
    view_.ShowUnownedMessage(BoardText(CommandOutcomeText(result)));
}

void TForm1::cmbComPortChange() {
    if (!ClearToReplace(EditLoss::PortChoice)) {
        RestorePortSelection();
        return;
    }
    ChoosePort();
}

void TForm1::ChoosePort() {
    busyChannel_->Forget();
    if (portChoice_->Choose(*port_))
        ReadFromBoard("startup-read");
}

void TForm1::BoardHistory1Click() {
    view_.ShowBoardHistory(recorder_->Store(), recorder_->LastBoardSerial(), port_->Port());
}

// A cancelled pick leaves the list as it was: the open port's entry, or none.
void TForm1::RestorePortSelection() {
    if (port_->Connected())
        portChoice_->Remember(portChoice_->ComPortNumber());
    else
        portChoice_->Select(-1);
}

// A device unplugged during a command leaves that command without an answer: its time-out ends
// the operation before the watch sees the port gone, and the drop says the board may hold it.
void TForm1::WatchPorts() {
    portChoice_->WatchPorts(*port_, busyChannel_->LastUnanswered());
}

void TForm1::Timer2Timer() {
    labels_->ExpireMessages();
}

void TForm1::About1Click() {
    view_.ShowMessage(MessageKind::Information, WindowTitle);
}

void TForm1::KeyboardShortcuts1Click() {
    view_.ShowKeyboardShortcuts(KeyboardShortcutsText());
}

// The whole report of the last operation, for whoever cannot hover over the status bar.
void TForm1::LastReport1Click() {
    const std::string details = DetailsText(status_->ShownDetails());
    const std::string& text = status_->Shown().text;
    view_.ShowMessage(MessageKind::Information,
                      details.empty() || details == text ? text : text + "\n\n" + details);
}

void TForm1::ShowTrafficLog(bool shown) {
    logShown_ = shown;
    view_.SetVisible(ControlId::gbDebug, shown);
    view_.SetVisible(ControlId::Image1, !shown);
}

void TForm1::Image1DblClick() {
    ShowTrafficLog(true);
}

void TForm1::gbDebugDblClick() {
    ShowTrafficLog(false);
}

} // namespace kronax
