#pragma once

#include "form/FieldMismatch.h"
#include "form/FormView.h"

#include <string>
#include <vector>

namespace kronax {

// What would replace the settings the window holds unwritten.
enum class EditLoss { Close, Read, PortChoice, Open };

// "Not written to the board: <names>." with what loss does to them, offering Write, Discard and
// Cancel. Pure.
Question LossQuestion(EditLoss loss, const std::vector<std::string>& names);

// Before a power-on default with unwritten settings: write them first, or store what the board
// holds. Pure.
Question PowerOnDefaultQuestion(const std::vector<std::string>& names);

// Before a write that sends values other than those shown, or values out of range: each field
// named with what will be sent. Pure.
Question SendQuestion(const std::vector<FieldMismatch>& notes);

// Before sending a file that nobody chose in the dialog (one named on the command line). Pure.
Question FileSendQuestion(const std::string& fileName);

// Each field with what was written instead of what it shows, or that its value is out of range,
// joined by "; ". verb: "was written", "will be sent", or empty to name an out-of-range value
// only. Pure.
std::string MismatchNotes(const std::vector<FieldMismatch>& notes, const std::string& verb);

// names joined by separator. Pure.
std::string Joined(const std::vector<std::string>& names, const std::string& separator);

} // namespace kronax
