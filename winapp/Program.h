#pragma once

#include <functional>

namespace kronax::win32 {

// The program: makes the window with everything behind it, shows it and runs its event loop
// until it closes; returns the exit code. afterFirstPaint, when given, runs once the shown
// window has painted for the first time (the first-paint benchmark ends the program there).
int RunWindowProgram(const std::function<void()>& afterFirstPaint = {});

} // namespace kronax::win32
