#include "app/KronaxApplication.h"

#include "app/WindowLook.h"

#include <QIcon>
#include <QMessageBox>

#include <exception>

namespace kronax {

KronaxApplication::KronaxApplication(int& argc, char** argv) : QApplication(argc, argv) {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addFile(QString(":/icons/%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    // Wayland's application id: lets the desktop match the window to its menu entry.
    setDesktopFileName("kronax-config");
}

// The window's handlers catch everything themselves; an exception reaching this point came from
// somewhere else and is shown, never passed on into the event loop.
bool KronaxApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ShowError("Unknown error.");
    }
    return false;
}

void KronaxApplication::ShowError(const QString& text) {
    // Error texts carry file and port names, which are shown as they are, never as markup.
    QMessageBox box(QMessageBox::Critical, applicationName(), text, QMessageBox::Ok,
                    activeWindow());
    box.setTextFormat(Qt::PlainText);
    UseWindowLook(&box);
    box.exec();
}

} // namespace kronax
