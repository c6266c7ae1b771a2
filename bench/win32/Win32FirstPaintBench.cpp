// kronax-bench-win32-paint: how long the Windows window takes from the start of its program to
// its first paint, against a bare Win32 window of the same size. Each window is made in a
// program of its own, started afresh for every run; the program measures from its own creation
// (as Windows recorded it) to the end of its first paint, and the parent prints the spread.
//
// Usage: kronax-bench-win32-paint [--repetitions N] [--output FILE]
//   --repetitions N   programs started per case (default 15), median reported
//   --output FILE     where the table goes (default: a message box, the program having no
//                     console under the GUI subsystem; scripts pass a file)

#include "bench/BenchTable.h"
#include "form/FormDesign.h"
#include "winapp/Program.h"
#include "winapp/WideText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>
#include <windows.h>

#include <shellapi.h>

namespace kronax::bench {
namespace {

// A bound against a window that never paints; it is not part of any figure.
constexpr DWORD PaintDeadlineMs = 60000;

std::int64_t Ticks(const FILETIME& time) {
    return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Milliseconds from this process's creation until now.
double SinceCreation() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    return static_cast<double>(Ticks(now) - Ticks(created)) / 1e4;
}

void ExitWithTime(const wchar_t* resultFile) {
    const double milliseconds = SinceCreation();
    FILE* out = _wfopen(resultFile, L"w");
    if (out != nullptr) {
        std::fprintf(out, "%.3f\n", milliseconds);
        std::fclose(out);
    }
    ExitProcess(0);
}

LRESULT CALLBACK BareProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        ExitWithTime(reinterpret_cast<const wchar_t*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window with the main window's frame, size and menu bar, and nothing in it.
int RunBare(const wchar_t* resultFile) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BareProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassW(&windowClass);
    const HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, 1, L"&File");
    RECT frame{0, 0, ClientWidth, ClientHeight + 22};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, TRUE);
    const HWND window = CreateWindowW(L"BareWindow", L"bare", style, WindowLeft, WindowTop,
                                      frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                      menu, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(resultFile));
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 1;
}

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH * 4, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring TemporaryFile() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    wchar_t name[MAX_PATH + 1] = {};
    GetTempFileNameW(folder, L"kxp", 0, name);
    return name;
}

double TimeFirstPaint(const std::wstring& child) {
    const std::wstring resultFile = TemporaryFile();
    std::wstring command =
        L"\"" + ProgramPath() + L"\" --child " + child + L" \"" + resultFile + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::runtime_error("the program could not be started");
    const DWORD waited = WaitForSingleObject(process.hProcess, PaintDeadlineMs);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    double milliseconds = 0;
    FILE* in = _wfopen(resultFile.c_str(), L"r");
    const bool read = in != nullptr && std::fscanf(in, "%lf", &milliseconds) == 1;
    if (in != nullptr)
        std::fclose(in);
    DeleteFileW(resultFile.c_str());
    if (!read || milliseconds <= 0)
        throw std::runtime_error("the window of " + win32::Utf8(child) + " never painted");
    return milliseconds;
}

std::string Run(int repetitions) {
    // The first start of each pays for loading from disk; that is nobody's figure.
    TimeFirstPaint(L"bare");
    TimeFirstPaint(L"window");
    // The cases take turns, so that a busy spell of the machine falls on both alike; the fastest
    // run of each is the one least disturbed.
    std::vector<double> bareSamples, windowSamples;
    for (int i = 0; i < repetitions; ++i) {
        bareSamples.push_back(TimeFirstPaint(L"bare"));
        windowSamples.push_back(TimeFirstPaint(L"window"));
    }
    const Spread bare = SpreadOf(bareSamples);
    const Spread window = SpreadOf(windowSamples);
    BenchTable table(
        {"case", "runs", "min, ms", "median, ms", "max, ms", "x bare (min)", "x bare (median)"});
    table.AddRow({"bare Win32 window", std::to_string(repetitions), Fixed(bare.min, 1),
                  Fixed(bare.median, 1), Fixed(bare.max, 1), "1.00", "1.00"});
    table.AddRow({"kronax-config.exe, no port", std::to_string(repetitions), Fixed(window.min, 1),
                  Fixed(window.median, 1), Fixed(window.max, 1), Fixed(window.min / bare.min, 2),
                  Fixed(window.median / bare.median, 2)});
    return "First paint, ms from the program's creation\n\n" + table.Text();
}

} // namespace
} // namespace kronax::bench

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::vector<std::wstring> args(arguments + 1, arguments + count);
    LocalFree(arguments);
    if (args.size() == 3 && args[0] == L"--child") {
        if (args[1] == L"bare")
            return kronax::bench::RunBare(args[2].c_str());
        const std::wstring resultFile = args[2];
        return kronax::win32::RunWindowProgram(
            [resultFile] { kronax::bench::ExitWithTime(resultFile.c_str()); });
    }
    int repetitions = 15;
    std::wstring output;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == L"--repetitions")
            repetitions = std::max(1, _wtoi(args[i + 1].c_str()));
        else if (args[i] == L"--output")
            output = args[i + 1];
    }
    std::string text;
    int status = 0;
    try {
        text = kronax::bench::Run(repetitions);
    } catch (const std::exception& failure) {
        text = std::string("kronax-bench-win32-paint: ") + failure.what() + "\n";
        status = 1;
    }
    if (output.empty()) {
        MessageBoxW(nullptr, kronax::win32::Wide(text).c_str(), L"kronax-bench-win32-paint", MB_OK);
    } else {
        std::ofstream(std::filesystem::path(output)) << text;
    }
    return status;
}
