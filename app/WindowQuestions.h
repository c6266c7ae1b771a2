#pragma once

#include "form/FormView.h"

#include <QString>

class QWidget;

namespace kronax {

// Asks question in a modal box owned by owner; closing the box or Esc cancels.
Answer AskQuestion(QWidget* owner, const QString& caption, const Question& question);

} // namespace kronax
