#include "app/KronaxWindow.h"

#include "app/BoardInformationBox.h"
#include "app/ConfigFileDialogs.h"
#include "app/EntryField.h"
#include "app/GroupBoxFrame.h"
#include "app/HistoryDialog.h"
#include "app/ImageList.h"
#include "app/InputDiscard.h"
#include "app/KeyboardShortcuts.h"
#include "app/KronaxApplication.h"
#include "app/PortList.h"
#include "app/RadioGroup.h"
#include "app/StatusLine.h"
#include "app/TrafficLogView.h"
#include "app/WindowEnvironment.h"
#include "app/WindowLook.h"
#include "app/WindowQuestions.h"
#include "form/KronaxConfigForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
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

namespace kronax {
namespace {

const QString Title = WindowTitle;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The labels show board replies unchanged; a reply that looks like markup must not be rendered
// as rich text.
QLabel* CreateLabel(const ControlDesign& design, QWidget* parent) {
    auto* label = new QLabel(Text(design.caption), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

KronaxWindow::KronaxWindow() : KronaxWindow(WindowEnvironment()) {}

KronaxWindow::KronaxWindow(FormEnvironment environment, const FormFactory& makeForm)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      ImageList1_(DrawImageList()) {
    setFont(WindowFont());
    QApplication::setApplicationName(Title);
    setWindowTitle(Title);
    CreateMenu();
    status_ = std::make_unique<StatusLine>(statusBar());
    CreateControls();
    dialogs_ = std::make_unique<ConfigFileDialogs>(this);
    CreateTimers();
    WireControls();
    SetTabOrder();
    move(WindowLeft, WindowTop);
    form_ = makeForm ? makeForm(*this, std::move(environment))
                     : std::make_unique<TForm1>(*this, std::move(environment));
    UseGroupBoxFrames(this);
    FitWindowFont(this);
}

// The form goes first: its shutdown still shows its last error through the window.
KronaxWindow::~KronaxWindow() {
    form_.reset();
    if (busy_)
        QApplication::restoreOverrideCursor();
}

void KronaxWindow::CreateMenu() {
    std::vector<QMenu*> menus;
    for (const MenuDesign& design : FormMenus()) {
        QMenu* menu = menuBar()->addMenu(Text(design.caption));
        menu->setObjectName(Text(design.name));
        menus.push_back(menu);
    }
    File1_ = menus.front();
    for (const MenuItemDesign& item : FormMenuItems()) {
        QMenu* menu = menus[static_cast<std::size_t>(item.menu)];
        QAction* action = item.icon >= 0
                              ? menu->addAction(ImageList1_[item.icon], Text(item.caption))
                              : menu->addAction(Text(item.caption));
        action->setObjectName(Text(item.name));
        if (item.shortcut != 0)
            action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(item.shortcut)));
        connect(action, &QAction::triggered, this,
                [this, command = item.command] { form_->CommandChosen(command); });
    }
}

void KronaxWindow::CreateControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    controls_[ControlId::Client] = client;
    for (const ControlDesign& design : FormControls()) {
        if (design.id == ControlId::Client)
            continue;
        QWidget* widget = CreateControl(design, controls_.at(design.parent));
        widget->setObjectName(Text(design.name));
        widget->setAccessibleName(Text(design.accessibleName));
        if (design.kind != ControlKind::TrafficLog)
            widget->setGeometry(design.place.left, design.place.top, design.place.width,
                                design.place.height);
        if (!design.visibleAtStart)
            widget->hide();
        controls_[design.id] = widget;
    }
    // A label names its control to a screen reader, which reads a list by it on Linux.
    for (const ControlDesign& design : FormControls())
        if (design.labels != ControlId::Client)
            static_cast<QLabel*>(controls_.at(design.id))->setBuddy(controls_.at(design.labels));
}

QWidget* KronaxWindow::CreateControl(const ControlDesign& design, QWidget* parent) {
    switch (design.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(Text(design.caption), parent);
    case ControlKind::Label:
        return CreateLabel(design, parent);
    case ControlKind::EntryField:
        return new EntryField(parent);
    case ControlKind::DropDownList: {
        if (design.id == ControlId::cmbComPort)
            return new PortList(parent);
        auto* list = new QComboBox(parent);
        list->setMaxVisibleItems(20);
        return list;
    }
    case ControlKind::RadioGroup:
        return new RadioGroup(Text(design.caption), design.columns, parent);
    case ControlKind::Button: {
        auto* button = new QPushButton(Text(design.caption), parent);
        button->setAutoDefault(true);
        if (design.id == ControlId::btnWriteToKronax) {
            button->setIcon(ImageList1_[image::WriteToBoard]);
            button->setDefault(true);
        }
        return button;
    }
    case ControlKind::Picture: {
        auto* picture = CreateLabel(design, parent);
        picture->setPixmap(QPixmap(":/logo/KronaxLogo.gif"));
        picture->setAlignment(Qt::AlignCenter);
        picture->installEventFilter(this);
        return picture;
    }
    case ControlKind::TrafficLog: {
        memDebug_ = new TrafficLogView(parent);
        memDebug_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // The log is read, never typed into: Tab goes on to the next control.
        memDebug_->setTabChangesFocus(true);
        auto* fill = new QVBoxLayout(parent);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(memDebug_);
        parent->installEventFilter(this);
        return memDebug_;
    }
    }
    return new QWidget(parent);
}

void KronaxWindow::CreateTimers() {
    const char* const names[] = {"Timer2", "tmrPortWatch", "tmrUnwritten"};
    for (std::size_t index = 0; index < timers_.size(); ++index) {
        auto* timer = new QTimer(this);
        timer->setObjectName(names[index]);
        connect(timer, &QTimer::timeout, this,
                [this, index] { form_->TimerTicked(static_cast<FormTimer>(index)); });
        timers_[index] = timer;
    }
}

// The operator's edits, picks and clicks go to the form; the form's own changes never come back
// (the controls suppress their echo).
void KronaxWindow::WireControls() {
    for (const ControlDesign& design : FormControls()) {
        QWidget* widget = controls_.at(design.id);
        const ControlId id = design.id;
        if (auto* field = qobject_cast<EntryField*>(widget))
            connect(field, &EntryField::Edited, this, [this, id](const QString& text) {
                form_->FieldEdited(id, text.toStdString());
            });
        else if (auto* group = qobject_cast<RadioGroup*>(widget))
            connect(group, &RadioGroup::Clicked, this,
                    [this, id](int index) { form_->SelectionClicked(id, index); });
        else if (auto* ports = qobject_cast<PortList*>(widget)) {
            connect(ports, &QComboBox::activated, this,
                    [this](int index) { form_->PortPicked(index); });
            ports->onDropDown = [this] {
                form_->PortListDroppingDown();
            };
        } else if (auto* list = qobject_cast<QComboBox*>(widget))
            connect(list, &QComboBox::activated, this,
                    [this, id](int index) { form_->SelectionClicked(id, index); });
        else if (auto* button = qobject_cast<QPushButton*>(widget))
            connect(button, &QPushButton::clicked, this, [this, id] { form_->ButtonClicked(id); });
    }
}

// Tab goes through the controls in the design's order, the order of the layout.
void KronaxWindow::SetTabOrder() {
    QWidget* previous = nullptr;
    for (const ControlId id : TabOrder()) {
        QWidget* widget = controls_.at(id);
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void KronaxWindow::SetText(ControlId control, const std::string& text) {
    QWidget* widget = controls_.at(control);
    if (auto* field = qobject_cast<EntryField*>(widget))
        field->SetText(Text(text));
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(Text(text));
    else if (auto* box = qobject_cast<QGroupBox*>(widget))
        box->setTitle(Text(text));
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setText(Text(text));
}

void KronaxWindow::SetValid(ControlId control, bool valid, const std::string& description) {
    if (auto* field = qobject_cast<EntryField*>(controls_.at(control)))
        field->SetValid(valid, Text(description));
}

void KronaxWindow::SetEnabled(ControlId control, bool enabled) {
    controls_.at(control)->setEnabled(enabled);
}

void KronaxWindow::SetVisible(ControlId control, bool visible) {
    controls_.at(control)->setVisible(visible);
}

void KronaxWindow::SetItems(ControlId control, const std::vector<std::string>& items) {
    QStringList texts;
    for (const std::string& item : items)
        texts << Text(item);
    QWidget* widget = controls_.at(control);
    if (auto* group = qobject_cast<RadioGroup*>(widget)) {
        group->SetItems(texts);
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        list->clear();
        list->addItems(texts);
        list->setCurrentIndex(-1);
    }
}

void KronaxWindow::SetSelection(ControlId control, int index) {
    QWidget* widget = controls_.at(control);
    if (auto* group = qobject_cast<RadioGroup*>(widget))
        group->SetItemIndex(index);
    else if (auto* list = qobject_cast<QComboBox*>(widget))
        list->setCurrentIndex(index);
}

void KronaxWindow::SetPorts(const std::vector<PortListEntry>& ports) {
    static_cast<PortList*>(controls_.at(ControlId::cmbComPort))->SetPorts(ports);
}

bool KronaxWindow::PortListDropped() const {
    return static_cast<PortList*>(controls_.at(ControlId::cmbComPort))->Dropped();
}

void KronaxWindow::SetStatus(StatusPart part, const StatusText& text) {
    status_->Show(part, text);
}

// The recent files follow the File menu's own items.
void KronaxWindow::SetRecentFiles(const std::vector<RecentFileItem>& items) {
    qDeleteAll(recentItems_);
    recentItems_.clear();
    if (items.empty())
        return;
    recentItems_ << File1_->addSeparator();
    for (std::size_t i = 0; i < items.size(); ++i) {
        QAction* item = File1_->addAction(Text(items[i].caption));
        item->setObjectName(QString("RecentFile%1").arg(i + 1));
        item->setToolTip(Text(items[i].path));
        item->setStatusTip(Text(items[i].path));
        connect(item, &QAction::triggered, this,
                [this, index = static_cast<int>(i)] { form_->RecentFileChosen(index); });
        recentItems_ << item;
    }
}

ITrafficLog& KronaxWindow::TrafficLog() {
    return *memDebug_;
}

Answer KronaxWindow::Ask(const Question& question) {
    return AskQuestion(this, Title, question);
}

void KronaxWindow::ShowMessage(MessageKind kind, const std::string& text) {
    if (kind == MessageKind::Error) {
        KronaxApplication::ShowError(Text(text));
        return;
    }
    QMessageBox box(QMessageBox::Information, Title, Text(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    UseWindowLook(&box);
    box.exec();
}

void KronaxWindow::ShowUnownedMessage(const std::string& text) {
    ShowBoardInformationBox(Title, text);
}

// The window is going away: the box must not belong to it.
void KronaxWindow::ShowFinalError(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, Title, Text(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    UseWindowLook(&box);
    box.exec();
}

void KronaxWindow::ShowKeyboardShortcuts(const std::string& text) {
    kronax::ShowKeyboardShortcuts(this, Title, Text(text));
}

void KronaxWindow::ShowBoardHistory(records::RecordStore* store, const std::string& boardSerial,
                                    const std::string& port) {
    HistoryDialog::ShowFor(this, store, boardSerial, port);
}

std::optional<std::string> KronaxWindow::ChooseOpenFile(const FileDialogOptions& options) {
    return dialogs_->RunOpenDialog(options);
}

std::optional<std::string> KronaxWindow::ChooseSaveFile(const FileDialogOptions& options) {
    return dialogs_->RunSaveDialog(options);
}

bool KronaxWindow::ConfirmWarning(const std::string& message, const std::string& caption) {
    return dialogs_->ConfirmWarning(message, caption);
}

// Whatever is dropped down closes, and what changed is painted at once: the status bar, and the
// whole window only where a closed popup left it uncovered.
void KronaxWindow::PaintBeforeBlocking() {
    QWidget* popup = QApplication::activePopupWidget();
    if (popup)
        popup->close();
    if (popup)
        repaint();
    else
        statusBar()->repaint();
}

void KronaxWindow::SetBusy(bool busy) {
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void KronaxWindow::DiscardInput() {
    DiscardQueuedInput();
}

void KronaxWindow::StartTimer(FormTimer timer, int intervalMilliseconds) {
    QTimer* qtimer = timers_[static_cast<std::size_t>(timer)];
    qtimer->setInterval(intervalMilliseconds);
    qtimer->start();
}

void KronaxWindow::StopTimer(FormTimer timer) {
    timers_[static_cast<std::size_t>(timer)]->stop();
}

// A queued call with the window as its context: the event loop runs it on the UI thread, and
// drops it once the window is gone.
void KronaxWindow::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void KronaxWindow::closeEvent(QCloseEvent* event) {
    if (form_->CloseRequested())
        QMainWindow::closeEvent(event);
    else
        event->ignore();
}

bool KronaxWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::Paint && !startUpQueued_) {
        startUpQueued_ = true;
        QTimer::singleShot(0, this, [this] { form_->FirstPainted(); });
    }
    return handled;
}

void KronaxWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* write = static_cast<QPushButton*>(controls_.at(ControlId::btnWriteToKronax));
    if (enter && write->isEnabled()) {
        write->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool KronaxWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (const ControlId id : {ControlId::Image1, ControlId::gbDebug})
            if (watched == controls_.at(id)) {
                form_->DoubleClicked(id);
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kronax
