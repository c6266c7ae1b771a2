#include "app/InputDiscard.h"

#include <QCoreApplication>
#include <QEvent>

namespace kronax {
namespace {

// Long enough to deliver everything queued, short enough never to be noticed.
constexpr int FlushLimitMs = 200;

bool IsOperatorInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

class InputSink : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        // An accepted override keeps a key from being looked up as a shortcut; the key event
        // that follows is then dropped as well.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        return IsOperatorInput(event->type());
    }
};

} // namespace

void DiscardQueuedInput() {
    InputSink sink;
    QCoreApplication::instance()->installEventFilter(&sink);
    QCoreApplication::processEvents(QEventLoop::AllEvents, FlushLimitMs);
    QCoreApplication::instance()->removeEventFilter(&sink);
}

} // namespace kronax
