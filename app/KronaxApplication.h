#pragma once

#include <QApplication>

namespace kronax {

// The application object. The main window's handlers let no exception escape; as a last resort,
// one that escapes some other receiver is caught here, shown in an error message box with its
// text and never rethrown; the program then goes on with the windows as they are.
// Its windows carry the menu entry's icon.
class KronaxApplication : public QApplication {
    Q_OBJECT
public:
    KronaxApplication(int& argc, char** argv);

    // Delivers event to receiver; an escaping exception is shown and the event counts as not
    // handled. UI thread.
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows text in a modal error message box titled with the application name. UI thread.
    static void ShowError(const QString& text);
};

} // namespace kronax
