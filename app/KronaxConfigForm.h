#pragma once

#include "ConfigurationView.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace kronax {

class ParameterEntry;
class SensorPanel;

// The program's one window. It lays out the controls, owns the sensor panel and the parameter
// entry, and leads each menu item, button, timer tick and double click to its handler. It is
// also the view through which the configuration transfer code reads and sets the parameters
// and selections. Every member runs on the UI thread.
class TForm1 : public QMainWindow, public IConfigurationView {
    Q_OBJECT
public:
    // Builds the window and runs the start-up steps; the window is not shown yet.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    const DeviceConfiguration& Configuration() const override;
    int Selected(Selection selection) const override;
    void StoreNumber(NumberField field, std::int32_t value) override;
    void Select(Selection selection, int position) override;

protected:
    // Handlers of the menu items, buttons, port list and timer. Virtual so that a test can
    // observe that each event reaches its handler.
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

    // Enter that no control used itself presses the default button.
    void keyPressEvent(QKeyEvent* event) override;
    // Double clicks on the logo and on the traffic log's frame switch between the two.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
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
    QComboBox* cmbComPort_ = nullptr;
    QLabel* lblConnection_ = nullptr;
    QLabel* lblStart_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* lblReport_ = nullptr;
    QPushButton* btnWriteToKronax_ = nullptr;
    QLabel* Image1_ = nullptr;
    QGroupBox* gbDebug_ = nullptr;
    QPlainTextEdit* memDebug_ = nullptr;
    QTimer* Timer2_ = nullptr;
    ParameterEntry* entry_ = nullptr;
    SensorPanel* panel_ = nullptr;
};

} // namespace kronax
