#include "winapp/SystemNames.h"

#include <windows.h>

namespace kronax::win32 {
namespace {

// The name in the ANSI code page; lossless is false when a character had no byte there.
std::string Ansi(std::wstring_view wide, bool& lossless) {
    lossless = true;
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                           0, nullptr, &defaulted);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length,
                        nullptr, &defaulted);
    lossless = defaulted == FALSE;
    return ansi;
}

} // namespace

std::string SystemFileName(std::wstring_view wide) {
    bool lossless = true;
    const std::string ansi = Ansi(wide, lossless);
    if (lossless)
        return ansi;
    const std::wstring full(wide);
    std::wstring shortName(full.size() + MAX_PATH, L'\0');
    const DWORD length =
        GetShortPathNameW(full.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (length == 0 || length >= shortName.size())
        return ansi;
    shortName.resize(length);
    bool shortLossless = true;
    const std::string shortAnsi = Ansi(shortName, shortLossless);
    return shortLossless ? shortAnsi : ansi;
}

std::string ProgramFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return SystemFileName(path);
        }
        path.resize(path.size() * 2);
    }
}

} // namespace kronax::win32
