#include "app/KronaxConfigForm.h"

#include "app/BoardCommandLabels.h"
#include "app/BoardInformationBox.h"
#include "app/BusyChannel.h"
#include "app/ConfigFileDialogs.h"
#include "app/EntryField.h"
#include "app/GroupBoxFrame.h"
#include "app/HistoryDialog.h"
#include "app/ImageList.h"
#include "app/KeyboardShortcuts.h"
#include "app/KronaxApplication.h"
#include "app/OperationRecorder.h"
#include "app/OutcomeSummary.h"
#include "app/ParameterEntry.h"
#include "app/PortChoice.h"
#include "app/PortList.h"
#include "app/RadioGroup.h"
#include "app/RecordForwardingLine.h"
#include "app/SensorPanel.h"
#include "app/StatusLine.h"
#include "app/SystemText.h"
#include "app/TrafficLogView.h"
#include "app/UnopenableFile.h"
#include "app/WindowLook.h"
#include "config_file/FileError.h"
#include "config_file/IniEntryStore.h"
#include "config_file/RecentFiles.h"
#include "config_file/RememberedPort.h"
#include "exchange/BoardPort.h"
#include "link/PortFailure.h"
#include "protocol/BoardChannel.h"
#include "protocol/BoardCommands.h"
#include "protocol/OutcomeText.h"
#include "records/RecordingLog.h"

#include <fstream>
#include <sstream>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <vector>

namespace kronax {
namespace {

const QString Title = "VOXA-KRONAX Configuration V 1.0";
constexpr int ClientWidth = 721;
constexpr int ClientHeight = 346;
// How often the present ports are looked at, so that an unplugged board is noticed.
constexpr int PortWatchInterval = 1000;

// The labels show board replies unchanged; a reply that looks like markup must not be rendered
// as rich text.
QLabel* CreateLabel(QWidget* parent, const char* name, const QString& caption, const QRect& place) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(place);
    return label;
}

void ShowError(const std::exception& error) {
    KronaxApplication::ShowError(QString::fromLocal8Bit(error.what()));
}

// The operator's action failed with text: said in the status bar and in the error box.
void ShowFailure(StatusLine& status, Operation operation, const QString& text) {
    status.ShowOutcome(StoppedOutcome(operation, text), text);
    KronaxApplication::ShowError(text);
}

} // namespace

TForm1::TForm1(QWidget* parent) : TForm1(FormEnvironment::Default(), parent) {}

TForm1::TForm1(FormEnvironment environment, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      ImageList1_(DrawImageList()), environment_(std::move(environment)) {
    setFont(WindowFont());
    auto* client = new QWidget(this);
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(60, 257);

    CreateMenu();
    status_ = std::make_unique<StatusLine>(statusBar());
    recordForwarding_ =
        std::make_unique<RecordForwardingLine>(statusBar(), environment_.settingsFileName);
    CreateCommunication(client);
    QGroupBox* sensorBox =
        CreateGroupBox(client, "gbSensorSettings", "Sensor Settings", {8, 56, 697, 153});
    QGroupBox* auxBox =
        CreateGroupBox(client, "gbAux", "Auxiliary Output Signals", {8, 216, 161, 121});
    QGroupBox* multiplierBox =
        CreateGroupBox(client, "gbMultiplierDevider", "Multiplier/Divider", {176, 216, 153, 121});
    entry_ = new ParameterEntry(sensorBox, multiplierBox, this);
    panel_ = new SensorPanel(sensorBox, auxBox, *entry_, this);
    WatchEdits(client);
    CreateStatus(client);
    CreateLogoAndLog(client);
    lblReport_ = CreateLabel(client, "lblReport", "", {632, 40, 80, 16});
    lblReport_->hide();
    labels_ = std::make_unique<BoardCommandLabels>(lblStart_, lblStatus_, *environment_.ticks);
    dialogs_ = std::make_unique<ConfigFileDialogs>(this);

    Timer2_ = new QTimer(this);
    Timer2_->setObjectName("Timer2");
    Timer2_->setInterval(1000);
    connect(Timer2_, &QTimer::timeout, this,
            [this] { RunHandler(&TForm1::Timer2Timer, Operation::Background); });
    tmrPortWatch_ = new QTimer(this);
    tmrPortWatch_->setObjectName("tmrPortWatch");
    tmrPortWatch_->setInterval(PortWatchInterval);
    connect(tmrPortWatch_, &QTimer::timeout, this,
            [this] { RunHandler(&TForm1::WatchPorts, Operation::Background); });

    FormCreate();
    UseGroupBoxFrames(this);
    FitWindowFont(this);
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::CreateMenu() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    File1_ = file;
    connect(AddItem(file, "LoadConfigurationfromFile1", "&Open Configuration from File...",
                    Qt::CTRL | Qt::Key_O, image::OpenFile),
            &QAction::triggered, this,
            [this] { RunHandler(&TForm1::LoadConfigurationfromFile1Click, Operation::Open); });
    connect(AddItem(file, "StoreConfigurationtoFile1", "&Save Configuration to File...",
                    Qt::CTRL | Qt::Key_S, image::SaveFile),
            &QAction::triggered, this,
            [this] { RunHandler(&TForm1::StoreConfigurationtoFile1Click, Operation::Save); });
    connect(AddItem(file, "LoadConfigurationfromKronax1", "&Read Configuration from KRONAX",
                    Qt::CTRL | Qt::Key_R, image::ReadFromBoard),
            &QAction::triggered, this, [this] {
                RunHandler(&TForm1::LoadConfigurationfromKronax1Click,
                           Operation::ReadConfiguration);
            });
    connect(AddItem(file, "ApplyConfigurationtoKronax1", "&Write Configuration to KRONAX",
                    Qt::CTRL | Qt::Key_W, image::WriteToBoard),
            &QAction::triggered, this, [this] {
                RunHandler(&TForm1::ApplyConfigurationtoKronax1Click,
                           Operation::WriteConfiguration);
            });
    connect(AddItem(file, "SetCurrentConfigurationasPowerOnDefault1",
                    "Set Current Configuration as Power On &Default", Qt::CTRL | Qt::Key_D,
                    image::PowerOnDefault),
            &QAction::triggered, this, [this] {
                RunHandler(&TForm1::SetCurrentConfigurationasPowerOnDefault1Click,
                           Operation::PowerOnDefault);
            });

    QMenu* help = menuBar()->addMenu("&?");
    help->setObjectName("N1");
    connect(AddItem(help, "KRONAXBoardInformation1", "KRONAX Board &Information...",
                    Qt::CTRL | Qt::Key_I, image::BoardInformation),
            &QAction::triggered, this, [this] {
                RunHandler(&TForm1::KRONAXBoardInformation1Click, Operation::BoardInformation);
            });
    // Not among the specified items: it has neither shortcut nor icon of its own.
    QAction* history = help->addAction("Board &History...");
    history->setObjectName("BoardHistory1");
    connect(history, &QAction::triggered, this,
            [this] { RunHandler(&TForm1::BoardHistory1Click, Operation::Background); });
    QAction* shortcuts = help->addAction("&Keyboard Shortcuts...");
    shortcuts->setObjectName("KeyboardShortcuts1");
    connect(shortcuts, &QAction::triggered, this, [this] { ShowKeyboardShortcuts(this, Title); });
    connect(AddItem(help, "About1", "&About...", QKeySequence(), image::About), &QAction::triggered,
            this, [this] { RunHandler(&TForm1::About1Click, Operation::Background); });
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const QString& caption,
                         const QKeySequence& shortcut, int icon) {
    QAction* action = menu->addAction(ImageList1_[icon], caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

QGroupBox* TForm1::CreateGroupBox(QWidget* client, const char* name, const QString& caption,
                                  const QRect& place) {
    auto* box = new QGroupBox(caption, client);
    box->setObjectName(name);
    box->setGeometry(place);
    return box;
}

void TForm1::CreateCommunication(QWidget* client) {
    QGroupBox* box = CreateGroupBox(client, "gbComm", "Communication", {8, 0, 177, 49});
    CreateLabel(box, "Label7", "COM Port", {8, 24, 52, 16});
    cmbComPort_ = new PortList(box);
    cmbComPort_->setObjectName("cmbComPort");
    cmbComPort_->setGeometry(64, 20, 105, 21);
    connect(cmbComPort_, &QComboBox::activated, this,
            [this] { RunHandler(&TForm1::cmbComPortChange, Operation::PortChoice); });
    cmbComPort_->onDropDown = [this] {
        portChoice_->Refresh();
    };

    lblConnection_ = CreateLabel(client, "lblConnection", "", {192, 24, 260, 16});
    QPalette colours = lblConnection_->palette();
    colours.setColor(QPalette::WindowText, FailureRed);
    lblConnection_->setPalette(colours);
    portChoice_ = std::make_unique<PortChoice>(cmbComPort_, lblConnection_, *status_);
}

void TForm1::CreateStatus(QWidget* client) {
    QGroupBox* box = CreateGroupBox(client, "gbStatus", "Start / Status", {336, 216, 113, 121});
    auto* btnStart = new QPushButton("Start Algorithms", box);
    btnStart->setObjectName("btnStart");
    btnStart->setGeometry(8, 15, 97, 21);
    btnStart->setAutoDefault(true);
    connect(btnStart, &QPushButton::clicked, this,
            [this] { RunHandler(&TForm1::btnStartClick, Operation::StartAlgorithms); });
    // The outcome texts are wider than the group: each label wraps onto a second line and is
    // tall enough for both lines, descenders included, between the buttons.
    lblStart_ = CreateLabel(box, "lblStart", "", {8, 36, 101, 31});
    lblStart_->setWordWrap(true);
    lblStart_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* btnStatus = new QPushButton("Read Status", box);
    btnStatus->setObjectName("btnStatus");
    btnStatus->setGeometry(8, 67, 97, 21);
    btnStatus->setAutoDefault(true);
    connect(btnStatus, &QPushButton::clicked, this,
            [this] { RunHandler(&TForm1::btnStatusClick, Operation::ReadStatus); });
    lblStatus_ = CreateLabel(box, "lblStatus", "Status:", {8, 88, 101, 31});
    lblStatus_->setWordWrap(true);
    lblStatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    btnWriteToKronax_ = new QPushButton(ImageList1_[image::WriteToBoard],
                                        "&Write Config to KRONAX (Ctrl+W)", client);
    btnWriteToKronax_->setObjectName("btnWriteToKronax");
    btnWriteToKronax_->setGeometry(480, 216, 201, 25);
    btnWriteToKronax_->setDefault(true);
    connect(btnWriteToKronax_, &QPushButton::clicked, this,
            [this] { RunHandler(&TForm1::btnWriteToKronaxClick, Operation::WriteConfiguration); });
}

void TForm1::CreateLogoAndLog(QWidget* client) {
    Image1_ = CreateLabel(client, "Image1", "", {472, 256, 225, 81});
    Image1_->setPixmap(QPixmap(":/logo/KronaxLogo.gif"));
    Image1_->setAlignment(Qt::AlignCenter);
    Image1_->installEventFilter(this);

    gbDebug_ =
        CreateGroupBox(client, "gbDebug", "Commands and Kronax's Replys:", {456, 248, 257, 89});
    gbDebug_->installEventFilter(this);
    memDebug_ = new TrafficLogView(gbDebug_);
    memDebug_->setObjectName("memDebug");
    memDebug_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The log is read, never typed into: Tab goes on to the next control.
    memDebug_->setTabChangesFocus(true);
    auto* fill = new QVBoxLayout(gbDebug_);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(memDebug_);
}

void TForm1::FormCreate() {
    QApplication::setApplicationName(Title);
    setWindowTitle(Title);
    FillPortList();
    settings_ = std::make_unique<IniEntryStore>(environment_.settingsFileName);
    portChoice_->Remember(ReadComPortNumber(*settings_));
    recentFiles_ = ReadRecentFiles(*settings_);
    FillRecentFiles();
    lblStart_->clear();
    lblReport_->clear();
    lblConnection_->clear();
    CreatePort();
    InitializeControls();
    gbDebug_->hide();
    Image1_->show();
    Timer2_->start();
    tmrPortWatch_->start();
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

void TForm1::OpenOnStart(const std::string& fileName) {
    startFile_ = fileName;
}

// The start-up read waits for the window's first paint, so the operator sees the window, and
// what it is waiting for, at once, even with a board that never answers.
bool TForm1::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::Paint && !startUpQueued_) {
        startUpQueued_ = true;
        QTimer::singleShot(0, this, &TForm1::RunStartUp);
    }
    return handled;
}

// No event is handled while an exchange blocks the window, so the window is brought up to date
// before it: whatever is dropped down closes, the status line says what is about to happen, the
// wait cursor shows and what changed is painted at once: the status bar, and the whole window
// only where a closed popup left it uncovered. Nothing blocks without an open port.
void TForm1::Announce(const QString& text) {
    if (!port_->Connected())
        return;
    QWidget* popup = QApplication::activePopupWidget();
    if (popup)
        popup->close();
    status_->ShowProgress(text.arg(FromSystemText(port_->Port())));
    busyChannel_->BeginSequence();
    if (popup)
        repaint();
    else
        statusBar()->repaint();
}

// Without a port list the window still starts: the list stays empty, no port is opened, and the
// remembered number is written back unchanged at shutdown.
void TForm1::FillPortList() {
    try {
        portChoice_->Fill(ListPortIdentities());
    } catch (const ESerialPort& error) {
        ShowError(error);
    }
}

// The port's watcher hands its work to the UI thread through the shared dispatcher; a queued
// call on the application object makes the event loop run it.
void TForm1::PlugInDispatcher() {
    UiDispatcher::Shared().SetWakeUp([] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { UiDispatcher::Shared().RunPending(); },
            Qt::QueuedConnection);
    });
}

void TForm1::CreatePort() {
    PlugInDispatcher();
    port_ = std::make_unique<TSerialPort>();
    SetUpBoardPort(*port_, true);
    recordingLog_ = std::make_unique<records::RecordingLog>(*memDebug_, *environment_.ticks);
    channel_ = std::make_unique<BoardChannel>(*port_, *environment_.ticks, *recordingLog_);
    busyChannel_ = std::make_unique<BusyChannel>(*channel_);
    // [Records] Enabled=0 in the settings file switches the records off.
    const bool recording = settings_->ReadEntry("Records", "Enabled", "1") != "0";
    recorder_ = std::make_unique<OperationRecorder>(*busyChannel_, *recordingLog_, recording);
}

// Every event handler runs here, and no exception leaves: an exception unwinding through Qt's
// event delivery is not supported by Qt. The input given while the handler's commands blocked
// the window is dropped before the error box could take it. Once the window is going away, the
// event loop of its last error box runs no handler: the port and channels are gone.
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

// Any error but a vanished device is shown in the error box.
void TForm1::ReportFailure(const std::exception_ptr& failure, Operation operation) {
    try {
        std::rethrow_exception(failure);
    } catch (const EIniWrite& error) {
        // The error box keeps its fixed text; the status bar adds the system's reason.
        const QString text = QString::fromLocal8Bit(error.what());
        const QString reason = FromSystemText(ReasonText(error.Reason()));
        status_->ShowOutcome(StoppedOutcome(operation, text + ": " + reason), text);
        KronaxApplication::ShowError(text);
    } catch (const std::exception& error) {
        ShowFailure(*status_, operation, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowFailure(*status_, operation, "Unknown error.");
    }
}

void TForm1::FormDestroy() {
    destroying_ = true;
    Timer2_->stop();
    tmrPortWatch_->stop();
    recorder_.reset();
    busyChannel_.reset();
    channel_.reset();
    port_.reset();
    try {
        WriteComPortNumber(*settings_, portChoice_->ComPortNumber());
        WriteRecentFiles(*settings_, recentFiles_);
    } catch (const std::exception& error) {
        // The window is going away: the box must not belong to it.
        QMessageBox box(QMessageBox::Critical, Title, QString::fromLocal8Bit(error.what()),
                        QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        UseWindowLook(&box);
        box.exec();
    }
    settings_.reset();
}

void TForm1::InitializeControls() {
    entry_->ShowConfiguration();
    panel_->FillLists();
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
    return dialogs_->RunSaveDialog(options);
}

std::optional<std::string> TForm1::ChooseOpenFile(const FileDialogOptions& options) {
    return dialogs_->RunOpenDialog(options);
}

bool TForm1::ConfirmWarning(std::string_view message, std::string_view caption) {
    return dialogs_->ConfirmWarning(message, caption);
}

// The open flow repaints right before it writes the file's configuration to the board.
void TForm1::Repaint() {
    Announce("Writing the opened configuration to %1 ...");
    repaint();
}

void TForm1::SetReport(const std::string& report) {
    lblReport_->setText(FromSystemText(report));
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
                         FromSystemText(report));
}

// The next commands are operation's, on the port as it is now.
void TForm1::ArmRecord(const char* operation) {
    recorder_->Arm(operation, port_->Port(), port_->Opening());
}

// Completes the operation's record; the status line says in red when none was kept, and why.
void TForm1::KeepRecord(OperationFacts facts) {
    if (const std::string problem = recorder_->Finish(std::move(facts)); !problem.empty())
        status_->MarkNotRecorded(QString::fromLocal8Bit(problem));
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
    if (!notes.empty() && Ask(SendQuestion(notes)) != Answer::Accept)
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
QStringList TForm1::UnwrittenNames() const {
    std::vector<Setting> settings = boardCopy_.Differences(TakeSnapshot(*this));
    for (const FieldMismatch& mismatch : entry_->Mismatches())
        if (std::find(settings.begin(), settings.end(), Setting(mismatch.field)) == settings.end())
            settings.emplace_back(mismatch.field);
    std::sort(settings.begin(), settings.end());
    QStringList names;
    for (const Setting& setting : settings)
        names << FromSystemText(SettingName(setting));
    return names;
}

void TForm1::ShowUnwritten() {
    status_->ShowUnwritten(UnwrittenNames());
}

bool TForm1::ClearToReplace(EditLoss loss) {
    const QStringList names = UnwrittenNames();
    if (names.isEmpty())
        return true;
    switch (Ask(LossQuestion(loss, names))) {
    case Answer::Accept:
        return WriteToBoard();
    case Answer::Alternative:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

Answer TForm1::Ask(const Question& question) {
    return AskQuestion(this, Title, question);
}

// Every change of a field's text or of a selection shows the unwritten settings anew once the
// change is over; a read that changes many of them updates the list once.
void TForm1::WatchEdits(QWidget* client) {
    tmrUnwritten_ = new QTimer(this);
    tmrUnwritten_->setSingleShot(true);
    tmrUnwritten_->setInterval(0);
    connect(tmrUnwritten_, &QTimer::timeout, this, &TForm1::ShowUnwritten);
    const auto changed = [this] {
        tmrUnwritten_->start();
    };
    for (EntryField* field : client->findChildren<EntryField*>())
        connect(field, &EntryField::Change, this, changed);
    for (RadioGroup* group : client->findChildren<RadioGroup*>())
        connect(group, &RadioGroup::Clicked, this, changed);
    for (QComboBox* list : client->findChildren<QComboBox*>())
        if (list != cmbComPort_)
            connect(list, &QComboBox::currentIndexChanged, this, changed);
}

void TForm1::closeEvent(QCloseEvent* event) {
    closeAccepted_ = false;
    RunHandler(&TForm1::AskBeforeClose, Operation::WriteConfiguration);
    if (closeAccepted_)
        QMainWindow::closeEvent(event);
    else
        event->ignore();
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
           Ask(FileSendQuestion(QFileInfo(QString::fromLocal8Bit(fileName)).fileName())) ==
               Answer::Accept;
}

void TForm1::ShowOpening(const FileOpening& opening) {
    if (opening.outcome == FileOpening::Outcome::Sent) {
        OperationFacts facts = TransferFacts(opening.writeReport, "write_not_acknowledged", true);
        std::ostringstream bytes;
        bytes << std::ifstream(opening.fileName, std::ios::binary).rdbuf();
        facts.details.filePath = opening.fileName;
        facts.fileBytes = bytes.str();
        KeepRecord(std::move(facts));
    }
    if (opening.fileName.empty())
        return;
    if (const std::string reason = UnopenableReason(opening.fileName); !reason.empty()) {
        status_->ShowOutcome(NotOpenedOutcome(opening.fileName, reason),
                             QString::fromLocal8Bit(opening.fileName));
        return;
    }
    if (opening.outcome == FileOpening::Outcome::NothingOpened)
        return;
    NoteRecentFile(opening.fileName);
    boardCopy_.Take(opening.writeReport);
    ShowUnwritten();
    if (opening.outcome == FileOpening::Outcome::Withheld) {
        status_->ShowOutcome(WithheldOutcome(opening.fileName, withheld_),
                             OpenDetails(opening, FromSystemText(ReportText(opening.readReport))));
        return;
    }
    const bool sent = opening.outcome == FileOpening::Outcome::Sent;
    const QString report =
        FromSystemText(ReportText(sent ? opening.writeReport : opening.readReport));
    status_->ShowOutcome(OpenOutcome(opening, portChoice_->NotSentReason(*port_)),
                         OpenDetails(opening, report));
}

void TForm1::StoreConfigurationtoFile1Click() {
    if (const auto fileName = StoreConfigurationToFile(FileContext())) {
        status_->ShowOutcome(SaveOutcome(*fileName), QString::fromLocal8Bit(*fileName));
        NoteRecentFile(*fileName);
    }
}

void TForm1::NoteRecentFile(const std::string& fileName) {
    const std::string absolute =
        QFileInfo(QString::fromLocal8Bit(fileName)).absoluteFilePath().toLocal8Bit().toStdString();
    recentFiles_ = WithRecentFile(recentFiles_, absolute);
    FillRecentFiles();
}

// The recent files follow the File menu's own items, numbered so that Alt+F and a digit opens one.
void TForm1::FillRecentFiles() {
    qDeleteAll(recentItems_);
    recentItems_.clear();
    if (recentFiles_.empty())
        return;
    recentItems_ << File1_->addSeparator();
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        const QString path = QString::fromLocal8Bit(recentFiles_[i]);
        QString name = QFileInfo(path).fileName();
        QAction* item =
            File1_->addAction(QString("&%1 %2").arg(i + 1).arg(name.replace("&", "&&")));
        item->setObjectName(QString("RecentFile%1").arg(i + 1));
        item->setToolTip(path);
        item->setStatusTip(path);
        connect(item, &QAction::triggered, this, [this, file = recentFiles_[i]] {
            recentChoice_ = file;
            RunHandler(&TForm1::OpenRecentFile, Operation::Open);
        });
        recentItems_ << item;
    }
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
    if (const QStringList names = UnwrittenNames(); !names.isEmpty()) {
        const Answer answer = Ask(PowerOnDefaultQuestion(names));
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
    const std::string text = CommandOutcomeText(result);
    ShowBoardInformationBox(Title, text);
}

void TForm1::cmbComPortChange() {
    if (!ClearToReplace(EditLoss::PortChoice)) {
        RestorePortSelection();
        return;
    }
    ChoosePort();
}

void TForm1::ChoosePort() {
    if (portChoice_->Choose(*port_))
        ReadFromBoard("startup-read");
}

void TForm1::BoardHistory1Click() {
    HistoryDialog::ShowFor(this, recorder_->Store(), recorder_->LastBoardSerial(), port_->Port());
}

// A cancelled pick leaves the list as it was: the open port's entry, or none.
void TForm1::RestorePortSelection() {
    if (port_->Connected())
        portChoice_->Remember(portChoice_->ComPortNumber());
    else
        cmbComPort_->setCurrentIndex(-1);
}

void TForm1::WatchPorts() {
    portChoice_->WatchPorts(*port_);
}

void TForm1::Timer2Timer() {
    labels_->ExpireMessages();
}

void TForm1::About1Click() {
    QMessageBox box(QMessageBox::Information, Title, Title, QMessageBox::Ok, this);
    UseWindowLook(&box);
    box.exec();
}

void TForm1::Image1DblClick() {
    gbDebug_->show();
    Image1_->hide();
}

void TForm1::gbDebugDblClick() {
    gbDebug_->hide();
    Image1_->show();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && btnWriteToKronax_->isEnabled()) {
        btnWriteToKronax_->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Image1_) {
            Image1DblClick();
            return true;
        }
        if (watched == gbDebug_) {
            gbDebugDblClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kronax
