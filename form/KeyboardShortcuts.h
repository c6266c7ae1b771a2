#pragma once

#include <string>

namespace kronax {

// The text of Keyboard Shortcuts: every key of the window and what it does. Pure.
std::string KeyboardShortcutsText();

} // namespace kronax
