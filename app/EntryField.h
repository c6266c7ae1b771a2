#pragma once

#include <QLineEdit>

namespace kronax {

// A single-line entry field whose Change() runs on every change of its text, typed or set by
// the program; setting the text it already holds runs nothing. Its background shows whether
// the text was accepted; until SetValid() is first called it keeps the normal field colour.
// Use on the UI thread only.
class EntryField : public QLineEdit {
    Q_OBJECT
public:
    explicit EntryField(QWidget* parent);

    // Replaces the text; emits Change() only when the text differs from the current one.
    void SetText(const QString& text);

    // Colours the background white for a valid text, red for an invalid one.
    void SetValid(bool valid);

signals:
    void Change();
};

} // namespace kronax
