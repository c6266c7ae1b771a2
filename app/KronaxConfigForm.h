#pragma once

#include "app/FormEnvironment.h"
#include "app/WindowQuestions.h"
#include "config_file/ConfigFileFlows.h"
#include "config_file/ConfigFileWindow.h"
#include "protocol/BoardCopy.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/ConfigurationView.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>

#include <exception>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace kronax {

class BoardCommandLabels;
class BusyChannel;
class OperationRecorder;
struct OperationFacts;
class ConfigFileDialogs;
class ParameterEntry;
class PortChoice;
class PortList;
class RecordForwardingLine;
class SensorPanel;
class StatusLine;
struct Outcome;
enum class Operation;
class BoardChannel;
class IniEntryStore;
class TrafficLogView;
namespace records {
class RecordingLog;
}
class TSerialPort;

// The program's one window. It lays out the controls, owns the sensor panel and the parameter
// entry, and leads each menu item, button, timer tick and double click to its handler. It is
// also the view through which the configuration transfer code reads and sets the parameters
// and selections, and the window the configuration file flows ask and report through. It owns
// the serial port, the settings file and the command transaction for its whole life. Below the
// client area a status bar tells the outcome of each operation and the connection. Every
// member runs on the UI thread.
class TForm1 : public QMainWindow, public IConfigurationView, public IConfigFileWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up steps but the last; the window is not shown yet.
    // The last step, the opening of the remembered port and the reading of the board's
    // configuration, runs once the shown window has painted (RunStartUp). A port list that
    // cannot be read is shown in the error box and start-up goes on.
    explicit TForm1(QWidget* parent = nullptr);
    TForm1(FormEnvironment environment, QWidget* parent = nullptr);
    // Frees the port and writes the remembered port number to the settings file; a failed write
    // is shown in the error box.
    ~TForm1() override;

    const DeviceConfiguration& Configuration() const override;
    int Selected(Selection selection) const override;
    void StoreNumber(NumberField field, std::int32_t value) override;
    void Select(Selection selection, int position) override;

    // The file dialogs, the warning question and the repaint of the configuration file flows.
    // The dialogs are virtual so that a test can answer them.
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) override;
    bool ConfirmWarning(std::string_view message, std::string_view caption) override;
    // An opened file with values out of range stays in the window; one named on the command line
    // is sent only when the operator agrees.
    bool ConfirmSend(const std::string& fileName) override;
    void Repaint() override;
    // Replaces the text of lblReport with report (8-bit text).
    void SetReport(const std::string& report) override;

    // The last start-up step: the port choice for the remembered port's entry, with its read.
    // Runs once; later calls do nothing. An error is shown in the error box. The window calls it
    // itself after its first paint.
    void RunStartUp();

    // A file to open as Open does once start-up has read the board, asking before it is sent.
    void OpenOnStart(const std::string& fileName);

    // Sends "##SMSETP" and puts the outcome into lblReport. Raises ESerialPort.
    void SetPowerOnDefault();
    // Asks the board for its identity and shows it in a box without owner, also after a
    // time-out. Raises ESerialPort.
    void ShowBoardInformation();

protected:
    // Handlers of the menu items, buttons, port list and timer. Virtual so that a test can
    // observe that each event reaches its handler. Each raises what its operation raises; the
    // events reach them through RunHandler, which lets nothing escape.
    virtual void LoadConfigurationfromFile1Click();
    virtual void StoreConfigurationtoFile1Click();
    virtual void LoadConfigurationfromKronax1Click();
    virtual void ApplyConfigurationtoKronax1Click();
    virtual void SetCurrentConfigurationasPowerOnDefault1Click();
    virtual void KRONAXBoardInformation1Click();
    virtual void btnWriteToKronaxClick();
    virtual void btnStartClick();
    virtual void btnStatusClick();
    virtual void cmbComPortChange();
    virtual void Timer2Timer();
    // Opens the table of the records of the board last identified on the port.
    virtual void BoardHistory1Click();
    // Looks at the present ports (an unplugged board closes the port).
    void WatchPorts();

    // Asks question in a modal box; virtual so that a test can answer.
    virtual Answer Ask(const Question& question);

    // Closing with unwritten settings asks first; Cancel keeps the window open.
    void closeEvent(QCloseEvent* event) override;

    // The first paint queues the start-up's last step.
    bool event(QEvent* event) override;
    // Enter that no control used itself presses the default button.
    void keyPressEvent(QKeyEvent* event) override;
    // Double clicks on the logo and on the traffic log's frame switch between the two.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void FillPortList();
    void PlugInDispatcher();
    void CreatePort();
    void Announce(const QString& text);
    void RunHandler(void (TForm1::*handler)(), Operation operation);
    bool DroppedVanished(const std::exception_ptr& failure);
    void ReportFailure(const std::exception_ptr& failure, Operation operation);
    void ReadFromBoard(const char* operation);
    // Asks first when what is sent differs from what is shown; true when the write went out and
    // the board acknowledged all of it.
    bool WriteToBoard();
    std::vector<FieldMismatch> SendNotes() const;
    QStringList UnwrittenNames() const;
    void ShowUnwritten();
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
    void WatchEdits(QWidget* client);
    void ShowBoardOutcome(Operation operation, const Outcome& outcome, const std::string& report);
    void ArmRecord(const char* operation);
    void KeepRecord(OperationFacts facts);
    ConfigFileContext FileContext();
    void InitializeControls();
    void About1Click();
    void Image1DblClick();
    void gbDebugDblClick();

    void CreateMenu();
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut, int icon);
    void CreateCommunication(QWidget* client);
    void CreateStatus(QWidget* client);
    void CreateLogoAndLog(QWidget* client);
    QGroupBox* CreateGroupBox(QWidget* client, const char* name, const QString& caption,
                              const QRect& place);

    QList<QIcon> ImageList1_;
    PortList* cmbComPort_ = nullptr;
    QLabel* lblConnection_ = nullptr;
    QLabel* lblStart_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* lblReport_ = nullptr;
    QPushButton* btnWriteToKronax_ = nullptr;
    QLabel* Image1_ = nullptr;
    QGroupBox* gbDebug_ = nullptr;
    TrafficLogView* memDebug_ = nullptr;
    QTimer* Timer2_ = nullptr;
    QTimer* tmrPortWatch_ = nullptr;
    QTimer* tmrUnwritten_ = nullptr;
    QMenu* File1_ = nullptr;
    QList<QAction*> recentItems_;
    ParameterEntry* entry_ = nullptr;
    SensorPanel* panel_ = nullptr;

    FormEnvironment environment_;
    std::unique_ptr<StatusLine> status_;
    std::unique_ptr<RecordForwardingLine> recordForwarding_;
    std::unique_ptr<PortChoice> portChoice_;
    std::unique_ptr<BoardCommandLabels> labels_;
    std::unique_ptr<ConfigFileDialogs> dialogs_;
    std::unique_ptr<IniEntryStore> settings_;
    std::unique_ptr<TSerialPort> port_;
    std::unique_ptr<BoardChannel> channel_;
    std::unique_ptr<BusyChannel> busyChannel_;
    BoardCopy boardCopy_;
    std::vector<std::string> recentFiles_;
    std::string startFile_;
    std::string recentChoice_;
    std::vector<FieldMismatch> withheld_;
    bool askBeforeSending_ = false;
    bool closeAccepted_ = false;
    std::unique_ptr<records::RecordingLog> recordingLog_;
    std::unique_ptr<OperationRecorder> recorder_;
    bool startUpQueued_ = false;
    bool startedUp_ = false;
    bool destroying_ = false;
};

} // namespace kronax
