#include "winapp/Program.h"

#include "winapp/WideText.h"
#include "winapp/Win32FormView.h"

#include <exception>
#include <windows.h>

namespace kronax::win32 {

int RunWindowProgram(const std::function<void()>& afterFirstPaint) {
    try {
        Win32FormView view;
        view.AfterFirstPaint(afterFirstPaint);
        view.Show();
        return view.Run();
    } catch (const std::exception& failure) {
        MessageBoxW(nullptr, Wide(failure.what()).c_str(), Wide(WindowTitle).c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    }
}

} // namespace kronax::win32
