#include "form/WindowQuestions.h"

#include "form/DisplayText.h"
#include "protocol/FieldCaptions.h"
#include "protocol/IntegerText.h"

#include <algorithm>

namespace kronax {
namespace {

std::string Consequence(EditLoss loss) {
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

std::string NotWritten(const std::vector<std::string>& names) {
    return "Not written to the board: " + Joined(names, ", ") + ".";
}

// "Multiplier (0..255)" is named "Multiplier".
std::string FieldName(NumberField field) {
    const std::string caption = DisplayText(NumberFieldCaption(field));
    return caption.substr(0, caption.find(" ("));
}

bool Blank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::string NoteText(const FieldMismatch& note, const std::string& verb) {
    const std::string name = FieldName(note.field);
    const std::string stored = std::to_string(note.stored);
    if (note.outOfRange)
        return name + " " + stored + " is out of range" +
               (note.reportedByBoard ? " (the board reported it)" : "") +
               (verb.empty() ? "" : ", " + verb + " as it is");
    const std::string sent = stored + " " + verb;
    if (Blank(note.shown))
        return name + " is empty: " + sent;
    const bool number = ReadInteger(note.shown).has_value();
    return name + " shows " + note.shown + (number ? ", out of range: " : ", not a number: ") +
           sent;
}

} // namespace

std::string Joined(const std::vector<std::string>& names, const std::string& separator) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : separator) + name;
    return joined;
}

Question LossQuestion(EditLoss loss, const std::vector<std::string>& names) {
    return {NotWritten(names) + "\n\n" + Consequence(loss) + " Write them to the board first?",
            "&Write", "&Discard"};
}

Question PowerOnDefaultQuestion(const std::vector<std::string>& names) {
    return {NotWritten(names) +
                "\n\nThe board stores what it holds as its power-on default, not what the window "
                "shows. Write them to the board first?",
            "&Write First", "&Store the Board's"};
}

Question SendQuestion(const std::vector<FieldMismatch>& notes) {
    std::vector<std::string> lines;
    for (const FieldMismatch& note : notes)
        lines.push_back(NoteText(note, "will be sent") + ".");
    return {"Not sent as shown:\n" + Joined(lines, "\n") +
                "\n\nWrite the configuration to the board?",
            "&Write",
            {}};
}

Question FileSendQuestion(const std::string& fileName) {
    return {"The window shows the configuration of " + fileName + ".\n\nWrite it to the board now?",
            "&Write",
            {}};
}

std::string MismatchNotes(const std::vector<FieldMismatch>& notes, const std::string& verb) {
    std::vector<std::string> texts;
    for (const FieldMismatch& note : notes)
        texts.push_back(NoteText(note, verb));
    return Joined(texts, "; ");
}

} // namespace kronax
