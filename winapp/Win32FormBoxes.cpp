#include "winapp/Win32FormView.h"

#include "winapp/SystemNames.h"
#include "winapp/WideText.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <thread>

// The window's boxes and dialogs: questions, messages and the file dialogs.
namespace kronax::win32 {

Answer Win32FormView::Ask(const Question& question) {
    using TaskDialogFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
    const auto taskDialog = reinterpret_cast<TaskDialogFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "TaskDialogIndirect")));
    const std::wstring text = Wide(question.text);
    const std::wstring title = Title();
    const std::wstring accept = Wide(question.accept);
    const std::wstring alternative = Wide(question.alternative);
    if (taskDialog != nullptr) {
        std::vector<TASKDIALOG_BUTTON> buttons{{IDYES, accept.c_str()}};
        if (!alternative.empty())
            buttons.push_back({IDNO, alternative.c_str()});
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof(config);
        config.hwndParent = window_;
        config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
        config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
        config.pszWindowTitle = title.c_str();
        config.pszMainIcon = TD_WARNING_ICON;
        config.pszContent = text.c_str();
        config.cButtons = static_cast<UINT>(buttons.size());
        config.pButtons = buttons.data();
        config.nDefaultButton = IDYES;
        int chosen = IDCANCEL;
        if (SUCCEEDED(taskDialog(&config, &chosen, nullptr, nullptr))) {
            if (chosen == IDYES)
                return Answer::Accept;
            return chosen == IDNO ? Answer::Alternative : Answer::Cancel;
        }
    }
    // Without the task dialog: Yes, No and Cancel stand for the named buttons.
    const UINT buttons = alternative.empty() ? MB_OKCANCEL : MB_YESNOCANCEL;
    const int chosen = MessageBoxW(window_, text.c_str(), title.c_str(), buttons | MB_ICONWARNING);
    if (chosen == IDOK || chosen == IDYES)
        return Answer::Accept;
    return chosen == IDNO ? Answer::Alternative : Answer::Cancel;
}

void Win32FormView::ShowMessage(MessageKind kind, const std::string& text) {
    MessageBoxW(window_, Wide(text).c_str(), Title().c_str(),
                static_cast<UINT>(
                    MB_OK | (kind == MessageKind::Error ? MB_ICONERROR : MB_ICONINFORMATION)));
}

void Win32FormView::ShowUnownedMessage(const std::string& text) {
    // On a thread of its own the box has a message loop of its own, and the window keeps its
    // keyboard handling meanwhile.
    std::thread([text = Wide(text), title = Title()] {
        MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
    }).detach();
}

void Win32FormView::ShowFinalError(const std::string& text) {
    MessageBoxW(nullptr, Wide(text).c_str(), Title().c_str(), MB_OK | MB_ICONERROR);
}

void Win32FormView::ShowKeyboardShortcuts(const std::string& text) {
    MessageBoxW(window_, Wide(text).c_str(), Title().c_str(), MB_OK | MB_ICONINFORMATION);
}

namespace {

std::optional<std::string> ChooseFile(HWND owner, const FileDialogOptions& options, bool save) {
    // "Description|pattern|..." as Windows wants it: each part ended by a NUL, and one more.
    std::wstring filter = Wide(options.filter);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');
    std::wstring extension = Wide(options.defaultExtension);
    if (!extension.empty() && extension.front() == L'.')
        extension.erase(0, 1);
    std::wstring name(MAX_PATH * 4, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrDefExt = extension.c_str();
    // The window asks its own question before a file is replaced, and an open may name a file
    // that does not exist.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
        return std::nullopt;
    name.resize(name.find(L'\0'));
    return SystemFileName(name);
}

} // namespace

std::optional<std::string> Win32FormView::ChooseOpenFile(const FileDialogOptions& options) {
    return ChooseFile(window_, options, false);
}

std::optional<std::string> Win32FormView::ChooseSaveFile(const FileDialogOptions& options) {
    return ChooseFile(window_, options, true);
}

bool Win32FormView::ConfirmWarning(const std::string& message, const std::string& caption) {
    return MessageBoxW(window_, Wide(message).c_str(), Wide(caption).c_str(),
                       MB_YESNO | MB_ICONWARNING) == IDYES;
}

void Win32FormView::ShowBoardHistory(records::RecordStore* store, const std::string&,
                                     const std::string&) {
    // The Windows build has no record store to show; one that is switched off or failed says so
    // as on the other front end.
    const wchar_t* const why =
        store == nullptr && !StationKeepsRecords
            ? L"No records are kept: this station has no record store."
            : L"No records are kept: the record store is switched off or failed.";
    MessageBoxW(window_, why, L"Board History", MB_OK | MB_ICONINFORMATION);
}

} // namespace kronax::win32
