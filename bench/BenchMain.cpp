#include "bench/BenchMain.h"

#include <cstdlib>
#include <exception>
#include <iostream>

namespace kronax::bench {

void PreferOffscreenPlatform() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || *platform == '\0')
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

int RunReportingErrors(const char* program, const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::exception& error) {
        std::cerr << program << ": " << error.what() << '\n';
        return 1;
    }
}

} // namespace kronax::bench
