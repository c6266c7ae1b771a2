#pragma once

#include <string>
#include <windows.h>

struct IAccPropServices;

namespace kronax::win32 {

// The accessible description screen readers read for a control beside its name, through the
// accessibility property service of Windows. Where the service is missing, nothing is said and
// nothing fails. UI thread.
class AccessibleText {
public:
    AccessibleText();
    ~AccessibleText();
    AccessibleText(const AccessibleText&) = delete;
    AccessibleText& operator=(const AccessibleText&) = delete;

    // Sets the description of control; an empty one removes it.
    void SetDescription(HWND control, const std::wstring& description);

    // Whether the service is there.
    bool Available() const { return services_ != nullptr; }

private:
    bool comStarted_ = false;
    IAccPropServices* services_ = nullptr;
};

} // namespace kronax::win32
