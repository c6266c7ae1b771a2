#include "winapp/Program.h"

#include "config_file/SettingsLocation.h"
#include "exchange/SteadyTickSource.h"
#include "form/KronaxConfigForm.h"
#include "version/KronaxVersion.h"
#include "winapp/SystemNames.h"
#include "winapp/WideText.h"
#include "winapp/Win32FormView.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

#include <shellapi.h>

namespace kronax::win32 {
namespace {

std::vector<std::wstring> Arguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr)
        return {};
    std::vector<std::wstring> list(arguments + 1, arguments + count);
    LocalFree(arguments);
    return list;
}

} // namespace

int RunWindowProgram(const std::function<void()>& afterFirstPaint) {
    const std::vector<std::wstring> arguments = Arguments();
    for (const std::wstring& argument : arguments) {
        // A program without a console answers in a box.
        if (argument == L"--version") {
            MessageBoxW(nullptr, Wide(std::string("kronax-config ") + KronaxVersion).c_str(),
                        Wide(WindowTitle).c_str(), MB_OK | MB_ICONINFORMATION);
            return 0;
        }
    }
    try {
        Win32FormView view;
        const std::string settings = SettingsFilePath(ProgramFileName(), UserSettingsFolder());
        TForm1 form(view, {settings, std::make_shared<SteadyTickSource>()});
        view.SetEvents(&form);
        view.AfterFirstPaint(afterFirstPaint);
        // What is no option names a file, as a .kxcfg dropped on the program does.
        for (const std::wstring& argument : arguments)
            if (!argument.empty() && argument.front() != L'-')
                form.OpenOnStart(SystemFileName(argument));
        view.Show();
        const int code = view.Run();
        view.SetEvents(nullptr);
        return code;
    } catch (const std::exception& failure) {
        MessageBoxW(nullptr, Wide(failure.what()).c_str(), Wide(WindowTitle).c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    }
}

} // namespace kronax::win32
