#pragma once

#include <QLineEdit>

namespace kronax {

// A single-line entry field. Edited() tells every change of its text but those made through
// SetText, which is how the form sets it: the form's own changes never come back as edits. Its
// background shows whether the text was accepted; until SetValid() is first called it keeps the
// normal field colour. Use on the UI thread only.
class EntryField : public QLineEdit {
    Q_OBJECT
public:
    explicit EntryField(QWidget* parent);

    // Replaces the text without telling Edited().
    void SetText(const QString& text);

    // Colours the background white for a valid text, red for an invalid one; a screen reader
    // hears description for a red field.
    void SetValid(bool valid, const QString& description);

signals:
    void Edited(const QString& text);

private:
    bool settingText_ = false;
};

} // namespace kronax
