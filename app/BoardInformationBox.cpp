#include "app/BoardInformationBox.h"

#include "app/WindowLook.h"

#include <QMessageBox>

namespace kronax {

QMessageBox* ShowBoardInformationBox(const QString& caption, const std::string& text) {
    // The text's lines end with CR LF; a Qt label breaks lines at LF alone.
    QString lines = QString::fromStdString(text);
    lines.replace("\r\n", "\n");
    auto* box = new QMessageBox(QMessageBox::Information, caption, lines, QMessageBox::Ok);
    box->setObjectName("BoardInformationBox");
    // The fields are the board's characters, never markup.
    box->setTextFormat(Qt::PlainText);
    // Without an owner the box would not take the window's font.
    UseWindowLook(box);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    // Closing the main window ends the program even while this box is still open.
    box->setAttribute(Qt::WA_QuitOnClose, false);
    box->show();
    return box;
}

} // namespace kronax
