#include "app/WindowQuestions.h"

#include "app/SystemText.h"
#include "app/WindowLook.h"
#include "protocol/FieldCaptions.h"
#include "protocol/IntegerText.h"

#include <QMessageBox>
#include <QPushButton>

namespace kronax {
namespace {

QString Consequence(EditLoss loss) {
    switch (loss) {
    case EditLoss::Close:
        return "Closing the window loses them.";
    case EditLoss::Read:
        return "Reading the configuration replaces them with the board's values.";
    case EditLoss::PortChoice:
        return "Picking a port reads the board's configuration and replaces them.";
    case EditLoss::Open:
        return "Opening a file replaces them with the file's values.";
    }
    return {};
}

QString NotWritten(const QStringList& names) {
    return "Not written to the board: " + names.join(", ") + ".";
}

// "Multiplier (0..255)" is named "Multiplier".
QString FieldName(NumberField field) {
    const QString caption = FromSystemText(std::string(NumberFieldCaption(field)));
    return caption.left(caption.indexOf(" (")).trimmed();
}

QString NoteText(const FieldMismatch& note, const QString& verb) {
    const QString name = FieldName(note.field);
    const QString stored = QString::number(note.stored);
    if (note.outOfRange)
        return name + " " + stored + " is out of range" +
               (note.reportedByBoard ? " (the board reported it)" : "") +
               (verb.isEmpty() ? "" : ", " + verb + " as it is");
    const QString sent = stored + " " + verb;
    if (note.shown.trimmed().isEmpty())
        return name + " is empty: " + sent;
    const bool number = ReadInteger(note.shown.toStdString()).has_value();
    return name + " shows " + note.shown + (number ? ", out of range: " : ", not a number: ") +
           sent;
}

} // namespace

Question LossQuestion(EditLoss loss, const QStringList& names) {
    return {NotWritten(names) + "\n\n" + Consequence(loss) + " Write them to the board first?",
            "&Write", "&Discard"};
}

Question PowerOnDefaultQuestion(const QStringList& names) {
    return {NotWritten(names) +
                "\n\nThe board stores what it holds as its power-on default, not what the window "
                "shows. Write them to the board first?",
            "&Write First", "&Store the Board's"};
}

Question SendQuestion(const std::vector<FieldMismatch>& notes) {
    QStringList lines;
    for (const FieldMismatch& note : notes)
        lines << NoteText(note, "will be sent") + ".";
    return {"Not sent as shown:\n" + lines.join("\n") + "\n\nWrite the configuration to the board?",
            "&Write",
            {}};
}

Question FileSendQuestion(const QString& fileName) {
    return {"The window shows the configuration of " + fileName + ".\n\nWrite it to the board now?",
            "&Write",
            {}};
}

QString MismatchNotes(const std::vector<FieldMismatch>& notes, const QString& verb) {
    QStringList texts;
    for (const FieldMismatch& note : notes)
        texts << NoteText(note, verb);
    return texts.join("; ");
}

Answer AskQuestion(QWidget* owner, const QString& caption, const Question& question) {
    QMessageBox box(QMessageBox::Question, caption, question.text, QMessageBox::NoButton, owner);
    box.setTextFormat(Qt::PlainText);
    QPushButton* accept = box.addButton(question.accept, QMessageBox::AcceptRole);
    QPushButton* alternative =
        question.alternative.isEmpty()
            ? nullptr
            : box.addButton(question.alternative, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(accept);
    box.setEscapeButton(cancel);
    UseWindowLook(&box);
    box.exec();
    if (box.clickedButton() == accept)
        return Answer::Accept;
    if (alternative && box.clickedButton() == alternative)
        return Answer::Alternative;
    return Answer::Cancel;
}

} // namespace kronax
