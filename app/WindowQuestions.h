#pragma once

#include "app/ParameterEntry.h"

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace kronax {

// A question of the window before it loses or sends something the operator may not expect: the
// text, the caption of the button that goes ahead and, for a three-way question, of the button
// that goes on without it. Cancel is always the third button (and Esc).
struct Question {
    QString text;
    QString accept;
    QString alternative;

    bool operator==(const Question&) const = default;
};

enum class Answer { Accept, Alternative, Cancel };

// What would replace the settings the window holds unwritten.
enum class EditLoss { Close, Read, PortChoice, Open };

// "Not written to the board: <names>." with what loss does to them, offering Write, Discard and
// Cancel. Pure.
Question LossQuestion(EditLoss loss, const QStringList& names);

// Before a power-on default with unwritten settings: write them first, or store what the board
// holds. Pure.
Question PowerOnDefaultQuestion(const QStringList& names);

// Before a write that sends values other than those shown, or values out of range: each field
// named with what will be sent. Pure.
Question SendQuestion(const std::vector<FieldMismatch>& notes);

// Before sending a file that nobody chose in the dialog (one named on the command line). Pure.
Question FileSendQuestion(const QString& fileName);

// Each field with what was written instead of what it shows, or that its value is out of range,
// joined by "; ". verb: "was written", "will be sent", or empty to name an out-of-range value
// only. Pure.
QString MismatchNotes(const std::vector<FieldMismatch>& notes, const QString& verb);

// Asks question in a modal box owned by owner; closing the box or Esc cancels.
Answer AskQuestion(QWidget* owner, const QString& caption, const Question& question);

} // namespace kronax
