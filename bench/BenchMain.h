#pragma once

#include <functional>

namespace kronax::bench {

// Qt's offscreen platform unless QT_QPA_PLATFORM names one, so a window benchmark runs without a
// display.
void PreferOffscreenPlatform();

// body's exit code; an exception it throws is printed after the program's name and gives 1.
int RunReportingErrors(const char* program, const std::function<int()>& body);

} // namespace kronax::bench
