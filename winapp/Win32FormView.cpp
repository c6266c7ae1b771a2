#include "winapp/Win32FormView.h"

#include "winapp/MenuPictures.h"
#include "winapp/ResourceIds.h"
#include "winapp/WideText.h"

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace kronax::win32 {
namespace {

const wchar_t* const WindowClass = L"KronaxConfigWindow";
constexpr UINT PostedWork = WM_APP + 1;
constexpr int DesignDpi = 96;
// The design's font is "MS Sans Serif" at 8 points, a bitmap font that does not scale. Windows has
// its scalable heir; under Wine a font of the same widths from the host (the other front end's).
const wchar_t* const FontNames[] = {L"Microsoft Sans Serif", L"Nimbus Sans", L"Arial", L"Tahoma"};
constexpr int FontPixels = 11;
constexpr int FirstControl = 1000;
constexpr int FirstRadioButton = 3000;
constexpr int RadioSlots = 32;
constexpr int FirstCommand = 100;
constexpr int FirstRecentFile = 500;
constexpr int MaxRecentFiles = 32;
constexpr int DropDownItems = 20;
constexpr int ItemHeight = 16;
constexpr COLORREF InvalidFieldRed = RGB(0xff, 0x60, 0x60);
// Dark enough to be read on the window's grey (more than 4.5:1).
constexpr COLORREF TextRed = RGB(0xc0, 0x00, 0x00);
constexpr COLORREF LogoKey = RGB(0xff, 0x00, 0xff);
constexpr int StatusMargin = 6;
constexpr WPARAM TimerCount = static_cast<WPARAM>(FormTimer::Unwritten) + 1;
// Where the port list's second column begins.
constexpr int PortNameWidth = 56;

using C = ControlId;

// Windows 10 gives each window its monitor's DPI; older systems have one for the whole screen.
int SystemDpi() {
    using GetDpiForSystemFunction = UINT(WINAPI*)();
    const auto getDpi = reinterpret_cast<GetDpiForSystemFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem")));
    if (getDpi != nullptr)
        return static_cast<int>(getDpi());
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : DesignDpi;
}

int CALLBACK NoteScalable(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
    if ((type & RASTER_FONTTYPE) == 0)
        *reinterpret_cast<bool*>(found) = true;
    return 1;
}

// The first of the window's fonts that this system has as a scalable font.
const wchar_t* WindowFontName() {
    const HDC screen = GetDC(nullptr);
    const wchar_t* chosen = FontNames[0];
    for (const wchar_t* name : FontNames) {
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(wanted.lfFaceName, name, LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExW(screen, &wanted, NoteScalable, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            chosen = name;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return chosen;
}

int WindowDpi(HWND window, int fallback) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const int dpi = getDpi != nullptr ? static_cast<int>(getDpi(window)) : 0;
    return dpi > 0 ? dpi : fallback;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool HasMnemonic(const std::string& caption) {
    return caption.find('&') != std::string::npos;
}

// The absolute place of a control in the client area, in design pixels.
DesignRect ClientPlace(const ControlDesign& design) {
    DesignRect place = design.place;
    for (C parent = design.parent; parent != C::Client;) {
        const ControlDesign& outer = DesignOf(parent);
        place.left += outer.place.left;
        place.top += outer.place.top;
        parent = outer.parent;
    }
    return place;
}

// The order in which controls are made, which is also the order Tab visits them in: the tab
// stops by their place in the design's tab order, each with the label just before it in the
// design (so that the label's mnemonic leads to it), then everything else.
std::vector<const ControlDesign*> CreationOrder() {
    const std::vector<ControlDesign>& all = FormControls();
    std::vector<const ControlDesign*> order;
    std::vector<bool> placed(all.size(), false);
    for (const ControlId stop : TabOrder()) {
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].id != stop)
                continue;
            if (i > 0 && all[i - 1].kind == ControlKind::Label && !placed[i - 1]) {
                order.push_back(&all[i - 1]);
                placed[i - 1] = true;
            }
            order.push_back(&all[i]);
            placed[i] = true;
        }
    }
    for (std::size_t i = 0; i < all.size(); ++i)
        if (!placed[i] && all[i].id != C::Client)
            order.push_back(&all[i]);
    return order;
}

struct WindowKind {
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
};

WindowKind KindOf(const ControlDesign& design) {
    const DWORD group = WS_GROUP;
    switch (design.kind) {
    case ControlKind::GroupBox:
    case ControlKind::RadioGroup:
        return {WC_BUTTONW, BS_GROUPBOX | group, 0};
    case ControlKind::Label:
        return {WC_STATICW,
                static_cast<DWORD>(SS_LEFT | (HasMnemonic(design.caption) ? 0 : SS_NOPREFIX)) |
                    group,
                0};
    case ControlKind::EntryField:
        return {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP | group, WS_EX_CLIENTEDGE};
    case ControlKind::DropDownList:
        // The port list draws each port's device in a second column when it drops down.
        return {WC_COMBOBOXW,
                static_cast<DWORD>(design.id == C::cmbComPort ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS
                                                              : 0) |
                    CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | group,
                0};
    case ControlKind::Button:
        return {WC_BUTTONW,
                static_cast<DWORD>(design.id == C::btnWriteToKronax ? BS_DEFPUSHBUTTON
                                                                    : BS_PUSHBUTTON) |
                    WS_TABSTOP | group,
                0};
    case ControlKind::Picture:
        return {WC_STATICW, SS_OWNERDRAW | SS_NOTIFY | group, 0};
    case ControlKind::TrafficLog:
        return {WC_EDITW, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP | group,
                WS_EX_CLIENTEDGE};
    }
    return {WC_STATICW, 0, 0};
}

// Whether the operator's Enter is used by the control itself rather than by the default button.
bool IsPushButton(HWND window) {
    return (SendMessageW(window, WM_GETDLGCODE, 0, 0) &
            (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

} // namespace

int Win32FormView::ControlIdentifier(ControlId id) {
    return FirstControl + static_cast<int>(id);
}

int Win32FormView::CommandIdentifier(FormCommand command) {
    return FirstCommand + static_cast<int>(command);
}

Win32FormView::Win32FormView(int dpi) : dpi_(dpi) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &Win32FormView::WindowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(IDI_KRONAX_CONFIG));
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = WindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered)
        throw std::runtime_error("the window class could not be registered");
    red_ = CreateSolidBrush(InvalidFieldRed);
    white_ = CreateSolidBrush(RGB(0xff, 0xff, 0xff));
    logo_ = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                            MAKEINTRESOURCEW(IDB_KRONAX_LOGO), IMAGE_BITMAP, 0, 0,
                                            LR_CREATEDIBSECTION));
    status_.resize(4);
    window_ =
        CreateWindowExW(WS_EX_CONTROLPARENT, WindowClass, Title().c_str(),
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        throw std::runtime_error("the window could not be made");
    // Under per-monitor awareness the window takes its monitor's DPI.
    if (dpi_ <= 0)
        dpi_ = WindowDpi(window_, SystemDpi());
    // Each control is made at its place in its font: laying out and giving the font afterwards
    // cost as much again under Wine.
    MakeFont();
    CreateMenus();
    CreateControls();
    CreateStatusBar();
    SendMessageW(Control(C::btnWriteToKronax), BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(writePicture_));
    SizeWindow();
}

Win32FormView::~Win32FormView() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (accelerators_ != nullptr)
        DestroyAcceleratorTable(accelerators_);
    for (HBITMAP picture : menuPictures_)
        DeleteObject(picture);
    DeleteObject(font_);
    if (writePicture_ != nullptr)
        DeleteObject(writePicture_);
    DeleteObject(red_);
    DeleteObject(white_);
    if (logo_ != nullptr)
        DeleteObject(logo_);
}

std::wstring Win32FormView::Title() const {
    return Wide(WindowTitle);
}

int Win32FormView::Scale(int designPixels) const {
    return MulDiv(designPixels, dpi_, DesignDpi);
}

HWND Win32FormView::Control(ControlId id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second.window;
}

HWND Win32FormView::RadioButton(ControlId group, int index) const {
    const auto found = controls_.find(group);
    if (found == controls_.end() || index < 0 ||
        static_cast<std::size_t>(index) >= found->second.buttons.size())
        return nullptr;
    return found->second.buttons[static_cast<std::size_t>(index)];
}

void Win32FormView::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const ControlDesign* design : CreationOrder()) {
        const WindowKind kind = KindOf(*design);
        bool visible = design->visibleAtStart;
        for (C parent = design->parent; parent != C::Client; parent = DesignOf(parent).parent)
            visible = visible && DesignOf(parent).visibleAtStart;
        const RECT place = ScaledPlace(*design);
        const HWND control = CreateWindowExW(
            kind.extendedStyle, kind.windowClass, Wide(design->caption).c_str(),
            WS_CHILD | (visible ? WS_VISIBLE : 0) | kind.style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdentifier(design->id))), instance,
            nullptr);
        if (control == nullptr)
            throw std::runtime_error("the control " + design->name + " could not be made");
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (design->kind == ControlKind::DropDownList)
            SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(ItemHeight + 1));
        ControlWindow& entry = controls_[design->id];
        entry.window = control;
        entry.kind = design->kind;
        entry.visible = visible;
    }
    log_.edit = Control(C::memDebug);
    // The log grows for the whole run.
    SendMessageW(log_.edit, EM_SETLIMITTEXT, 0, 0);
}

void Win32FormView::CreateMenus() {
    menu_ = CreateMenu();
    std::vector<HMENU> popups;
    for (const MenuDesign& design : FormMenus()) {
        const HMENU popup = CreatePopupMenu();
        AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                    Wide(design.caption).c_str());
        popups.push_back(popup);
    }
    fileMenu_ = popups.at(0);
    std::vector<ACCEL> keys;
    for (const MenuItemDesign& item : FormMenuItems()) {
        std::wstring caption = Wide(item.caption);
        const WORD identifier = static_cast<WORD>(CommandIdentifier(item.command));
        if (item.shortcut != 0) {
            caption += L"\tCtrl+";
            caption += static_cast<wchar_t>(item.shortcut);
            keys.push_back({FVIRTKEY | FCONTROL, static_cast<WORD>(item.shortcut), identifier});
        }
        const HMENU popup = popups.at(static_cast<std::size_t>(item.menu));
        // Said once, where the operator looks for the records.
        const bool noRecords = item.command == FormCommand::BoardHistory1 && !StationKeepsRecords;
        if (noRecords)
            caption += L" (no records kept at this station)";
        AppendMenuW(popup, static_cast<UINT>(MF_STRING | (noRecords ? MF_GRAYED : 0)), identifier,
                    caption.c_str());
        if (item.icon >= 0) {
            const HBITMAP picture = DrawMenuPicture(item.icon, GetSystemMetrics(SM_CXMENUCHECK));
            if (picture != nullptr) {
                menuPictures_.push_back(picture);
                MENUITEMINFOW info{};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_BITMAP;
                info.hbmpItem = picture;
                SetMenuItemInfoW(popup, identifier, FALSE, &info);
            }
        }
    }
    accelerators_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    SetMenu(window_, menu_);
}

void Win32FormView::CreateStatusBar() {
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS,
                                 0, 0, 0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetStatusParts();
}

void Win32FormView::MakeFont() {
    static const wchar_t* const fontName = WindowFontName();
    if (font_ != nullptr)
        DeleteObject(font_);
    font_ = CreateFontW(-Scale(FontPixels), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, fontName);
    // The write button's small picture, at the font's scale.
    if (writePicture_ != nullptr)
        DeleteObject(writePicture_);
    writePicture_ = DrawMenuPicture(image::WriteToBoard, Scale(16));
}

void Win32FormView::ApplyFont() {
    const HFONT old = font_;
    const HBITMAP oldPicture = writePicture_;
    font_ = nullptr;
    writePicture_ = nullptr;
    MakeFont();
    for (const auto& [id, control] : controls_) {
        SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        for (HWND button : control.buttons)
            SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(Control(C::btnWriteToKronax), BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(writePicture_));
    if (old != nullptr)
        DeleteObject(old);
    if (oldPicture != nullptr)
        DeleteObject(oldPicture);
}

RECT Win32FormView::ScaledPlace(const ControlDesign& design) const {
    DesignRect place = ClientPlace(design);
    if (design.kind == ControlKind::TrafficLog) {
        // The log fills its group inside the frame, leaving the frame and the caption to the
        // double click that brings the logo back.
        place.left += 6;
        place.top += 14;
        place.width -= 12;
        place.height -= 20;
    }
    if (design.kind == ControlKind::DropDownList)
        place.height += DropDownItems * ItemHeight;
    const int left = Scale(place.left);
    const int top = Scale(place.top);
    return {left, top, Scale(place.left + place.width), Scale(place.top + place.height)};
}

void Win32FormView::LayOut() {
    for (const ControlDesign& design : FormControls()) {
        const HWND control = Control(design.id);
        if (control == nullptr)
            continue;
        const RECT place = ScaledPlace(design);
        MoveWindow(control, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, FALSE);
        if (design.kind == ControlKind::DropDownList)
            SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(ItemHeight + 1));
        if (design.kind == ControlKind::RadioGroup)
            LayOutRadioButtons(design.id);
    }
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    SetStatusParts();
}

// Spreads the items evenly over the area below the caption, column by column, as the other
// front end does.
void Win32FormView::LayOutRadioButtons(ControlId group) {
    const ControlDesign& design = DesignOf(group);
    const std::vector<HWND>& buttons = controls_.at(group).buttons;
    if (buttons.empty())
        return;
    const DesignRect place = ClientPlace(design);
    const int count = static_cast<int>(buttons.size());
    const int columns = std::max(1, design.columns);
    const int rows = (count + columns - 1) / columns;
    const int top = FontPixels + 4;
    const int rowHeight = std::max(1, (place.height - top - 4) / rows);
    const int columnWidth = (place.width - 10) / columns;
    constexpr int ButtonHeight = 17;
    for (int index = 0; index < count; ++index) {
        const int left = place.left + 8 + (index / rows) * columnWidth;
        const int y = place.top + top + (index % rows) * rowHeight + (rowHeight - ButtonHeight) / 2;
        MoveWindow(buttons[static_cast<std::size_t>(index)], Scale(left), Scale(y),
                   Scale(columnWidth - 4), Scale(ButtonHeight), FALSE);
    }
}

void Win32FormView::SizeWindow() {
    RECT bar{};
    GetWindowRect(statusBar_, &bar);
    RECT frame{0, 0, Scale(ClientWidth), Scale(ClientHeight) + (bar.bottom - bar.top)};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
    const DWORD extended = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
    AdjustWindowRectEx(&frame, style, TRUE, extended);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar too narrow for its items would wrap and take client height.
    RECT client{};
    GetClientRect(window_, &client);
    const int missing = Scale(ClientHeight) + (bar.bottom - bar.top) - client.bottom;
    if (missing > 0)
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + missing,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
}

void Win32FormView::ApplyDpi(int dpi) {
    if (dpi == dpi_)
        return;
    dpi_ = dpi;
    ApplyFont();
    LayOut();
    SizeWindow();
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32FormView::Show() {
    SetWindowPos(window_, nullptr, Scale(WindowLeft), Scale(WindowTop), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    const HWND first = GetNextDlgTabItem(window_, nullptr, FALSE);
    if (first != nullptr)
        SetFocus(first);
}

int Win32FormView::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (PreTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool Win32FormView::PreTranslate(MSG& message) {
    if (window_ == nullptr)
        return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd))
        return false;
    if (TranslateAcceleratorW(window_, accelerators_, &message))
        return true;
    return IsDialogMessageW(window_, &message) != FALSE;
}

LRESULT CALLBACK Win32FormView::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* view = static_cast<Win32FormView*>(creation->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<Win32FormView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (view == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    // No exception may unwind into Windows' own code: it is shown as the error box and the
    // window goes on with its state.
    try {
        return view->Handle(message, wParam, lParam);
    } catch (const std::exception& failure) {
        MessageBoxW(window, Wide(failure.what()).c_str(), view->Title().c_str(),
                    MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxW(window, L"Unknown error", view->Title().c_str(), MB_OK | MB_ICONERROR);
    }
    return 0;
}

LRESULT Win32FormView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(ControlIdentifier(C::btnWriteToKronax), DC_HASDEFID);
    case WM_NEXTDLGCTL:
        NextDialogControl(wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        if (lastFocus_ != nullptr && IsWindow(lastFocus_))
            SetFocus(lastFocus_);
        return 0;
    case WM_CTLCOLOREDIT:
        return ColourEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == Control(C::lblConnection)) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, TextRed);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
            static_cast<UINT>(Scale(ItemHeight));
        return TRUE;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.hwndItem == statusBar_)
            DrawStatusPart(item);
        else if (item.hwndItem == Control(C::cmbComPort))
            DrawPortEntry(item);
        else if (item.hwndItem == Control(C::Image1))
            DrawLogo(item);
        return TRUE;
    }
    case WM_LBUTTONDBLCLK: {
        // A group box lets the mouse through to its parent: a double click on gbDebug's frame
        // or caption arrives here.
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT frame{};
        const HWND debug = Control(C::gbDebug);
        GetWindowRect(debug, &frame);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&frame), 2);
        const bool shown = (GetWindowLongPtrW(debug, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown && PtInRect(&frame, at) && events_ != nullptr)
            events_->DoubleClicked(C::gbDebug);
        return 0;
    }
    case WM_TIMER:
        if (events_ != nullptr && wParam >= 1 && wParam <= TimerCount)
            events_->TimerTicked(static_cast<FormTimer>(wParam - 1));
        return 0;
    case WM_DEVICECHANGE:
        if ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE ||
             wParam == DBT_DEVNODES_CHANGED) &&
            events_ != nullptr)
            events_->DevicesChanged();
        return TRUE;
    case WM_SETCURSOR:
        if (busy_) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
            return TRUE;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window_, &paint);
        EndPaint(window_, &paint);
        if (!painted_ && IsWindowVisible(window_))
            OnFirstPaint();
        return 0;
    }
    case WM_GETMINMAXINFO: {
        // The window keeps the design's size at any scale, also where it is larger than the
        // screen.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMaxTrackSize.x = std::max<LONG>(limits->ptMaxTrackSize.x, 1 << 15);
        limits->ptMaxTrackSize.y = std::max<LONG>(limits->ptMaxTrackSize.y, 1 << 15);
        return 0;
    }
    case WM_DPICHANGED: {
        ApplyDpi(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case PostedWork:
        RunPosted();
        return 0;
    case WM_CLOSE:
        if (events_ == nullptr || events_->CloseRequested())
            DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        for (auto& [id, control] : controls_)
            control.window = nullptr;
        log_.edit = nullptr;
        statusBar_ = nullptr;
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32FormView::OnFirstPaint() {
    painted_ = true;
    // The controls paint after their parent: the first paint is over once they have too.
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (afterFirstPaint_)
        afterFirstPaint_();
    if (events_ != nullptr)
        events_->FirstPainted();
}

void Win32FormView::OnCommand(int identifier, int notification, HWND from) {
    if (identifier >= FirstRecentFile && identifier < FirstRecentFile + MaxRecentFiles) {
        if (events_ != nullptr)
            events_->RecentFileChosen(identifier - FirstRecentFile);
        return;
    }
    if (identifier >= FirstCommand && identifier < FirstRecentFile && from == nullptr) {
        if (events_ != nullptr)
            events_->CommandChosen(static_cast<FormCommand>(identifier - FirstCommand));
        return;
    }
    if (identifier >= FirstRadioButton) {
        if (notification == BN_CLICKED) {
            const int group = (identifier - FirstRadioButton) / RadioSlots;
            OnRadioClicked(static_cast<ControlId>(group), from);
        }
        return;
    }
    if (identifier < FirstControl)
        return;
    const auto id = static_cast<ControlId>(identifier - FirstControl);
    const auto found = controls_.find(id);
    if (found == controls_.end() || echo_ > 0 || events_ == nullptr)
        return;
    switch (found->second.kind) {
    case ControlKind::EntryField:
        if (notification == EN_CHANGE)
            events_->FieldEdited(id, Utf8(WindowText(found->second.window)));
        break;
    case ControlKind::Button:
        if (notification == BN_CLICKED)
            events_->ButtonClicked(id);
        break;
    case ControlKind::DropDownList:
        if (notification == CBN_DROPDOWN && id == C::cmbComPort)
            events_->PortListDroppingDown();
        // A list dropped down changes its selection as the operator moves through it: the
        // choice is made when it closes up.
        else if ((notification == CBN_SELCHANGE &&
                  !SendMessageW(found->second.window, CB_GETDROPPEDSTATE, 0, 0)) ||
                 notification == CBN_CLOSEUP)
            OnListChosen(id);
        break;
    case ControlKind::Picture:
        if (notification == STN_DBLCLK)
            events_->DoubleClicked(id);
        break;
    default:
        break;
    }
}

void Win32FormView::OnListChosen(ControlId list) {
    ControlWindow& control = controls_.at(list);
    const int index = static_cast<int>(SendMessageW(control.window, CB_GETCURSEL, 0, 0));
    if (index == control.selection || index < 0)
        return;
    control.selection = index;
    if (list == C::cmbComPort)
        events_->PortPicked(index);
    else
        events_->SelectionClicked(list, index);
}

void Win32FormView::OnRadioClicked(ControlId group, HWND button) {
    const auto found = controls_.find(group);
    if (found == controls_.end() || echo_ > 0)
        return;
    ControlWindow& control = found->second;
    const auto at = std::find(control.buttons.begin(), control.buttons.end(), button);
    if (at == control.buttons.end())
        return;
    const int index = static_cast<int>(at - control.buttons.begin());
    // A click on the item already chosen changes nothing.
    if (index == control.selection)
        return;
    control.selection = index;
    MoveTabStop(group);
    if (events_ != nullptr)
        events_->SelectionClicked(group, index);
}

// Only the chosen item of a radio group is a tab stop, so that Tab enters the group there.
void Win32FormView::MoveTabStop(ControlId group) {
    const ControlWindow& control = controls_.at(group);
    for (std::size_t i = 0; i < control.buttons.size(); ++i) {
        const bool stop = static_cast<int>(i) == std::max(0, control.selection);
        const HWND button = control.buttons[i];
        LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
        style = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrW(button, GWL_STYLE, style);
    }
}

// What a dialog's own procedure would do: a plain window under IsDialogMessage is asked to move
// the focus for Tab, the arrows and a label's mnemonic.
void Win32FormView::NextDialogControl(WPARAM wParam, LPARAM lParam) {
    const HWND focus = GetFocus();
    HWND target = nullptr;
    if (LOWORD(lParam) != 0)
        target = reinterpret_cast<HWND>(wParam);
    else
        target = GetNextDlgTabItem(window_, focus, wParam != 0 ? TRUE : FALSE);
    if (target == nullptr || !IsChild(window_, target))
        return;
    SetFocus(target);
    const LRESULT code = SendMessageW(target, WM_GETDLGCODE, 0, 0);
    if ((code & DLGC_HASSETSEL) != 0)
        SendMessageW(target, EM_SETSEL, 0, -1);
    // An arrow within a radio group chooses the item it moves to.
    if ((code & DLGC_RADIOBUTTON) != 0 && focus != nullptr &&
        GetNextDlgGroupItem(window_, focus, FALSE) != focus &&
        SendMessageW(target, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        for (const auto& [id, control] : controls_) {
            const bool both = std::find(control.buttons.begin(), control.buttons.end(), target) !=
                                  control.buttons.end() &&
                              std::find(control.buttons.begin(), control.buttons.end(), focus) !=
                                  control.buttons.end();
            if (both)
                SendMessageW(target, BM_CLICK, 0, 0);
        }
    }
    // The default button looks pressed by Enter unless another push button has the focus.
    const HWND write = Control(C::btnWriteToKronax);
    SendMessageW(write, BM_SETSTYLE,
                 IsPushButton(target) && target != write ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
}

// The focus leaves with the window and comes back to the control that had it.
void Win32FormView::OnActivate(bool active) {
    if (!active) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus))
            lastFocus_ = focus;
        return;
    }
    HWND target = lastFocus_;
    if (target == nullptr || !IsWindow(target) || !IsWindowEnabled(target) ||
        (GetWindowLongPtrW(target, GWL_STYLE) & WS_VISIBLE) == 0)
        target = GetNextDlgTabItem(window_, nullptr, FALSE);
    if (target != nullptr)
        SetFocus(target);
}

LRESULT Win32FormView::ColourEdit(HDC dc, HWND edit) {
    ControlId id{};
    const ControlWindow* control = Find(edit, &id);
    const bool red = control != nullptr && !control->valid;
    SetBkColor(dc, red ? InvalidFieldRed : RGB(0xff, 0xff, 0xff));
    SetTextColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(red ? red_ : white_);
}

const Win32FormView::ControlWindow* Win32FormView::Find(HWND window, ControlId* id) const {
    for (const auto& [key, control] : controls_) {
        if (control.window == window) {
            *id = key;
            return &control;
        }
    }
    return nullptr;
}

void Win32FormView::DrawLogo(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (logo_ == nullptr)
        return;
    BITMAP picture{};
    GetObjectW(logo_, sizeof(picture), &picture);
    const int width = Scale(picture.bmWidth);
    const int height = Scale(picture.bmHeight);
    const int left = (item.rcItem.right - item.rcItem.left - width) / 2;
    const int top = (item.rcItem.bottom - item.rcItem.top - height) / 2;
    const HDC source = CreateCompatibleDC(item.hDC);
    const HGDIOBJ old = SelectObject(source, logo_);
    TransparentBlt(item.hDC, left, top, width, height, source, 0, 0, picture.bmWidth,
                   picture.bmHeight, LogoKey);
    SelectObject(source, old);
    DeleteDC(source);
}

void Win32FormView::DrawPortEntry(const DRAWITEMSTRUCT& item) {
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= ports_.size())
        return;
    const PortListEntry& port = ports_[item.itemID];
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT area = item.rcItem;
    area.left += Scale(2);
    const std::wstring name = Wide(port.name);
    DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    // The field shows the name only; the dropped-down list has the device beside it.
    if ((item.itemState & ODS_COMBOBOXEDIT) != 0 || port.device.empty())
        return;
    area.left += Scale(PortNameWidth);
    const std::wstring device = Wide(port.device);
    DrawTextW(item.hDC, device.c_str(), static_cast<int>(device.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void Win32FormView::SetStatusParts() {
    if (statusBar_ == nullptr)
        return;
    RECT bar{};
    GetClientRect(statusBar_, &bar);
    const HDC dc = GetDC(statusBar_);
    const HGDIOBJ old = SelectObject(dc, font_);
    int widths[4]{};
    int right = bar.right;
    // From the right: the connection, the unwritten settings, the forwarding line; the outcome
    // takes what is left.
    for (int part = 3; part >= 1; --part) {
        widths[part] = right;
        const std::wstring text = Wide(status_[static_cast<std::size_t>(part)].text);
        SIZE size{};
        if (!text.empty())
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        const int width = text.empty() ? 0 : size.cx + 2 * Scale(StatusMargin);
        right = std::max(0, right - width);
    }
    widths[0] = right;
    SelectObject(dc, old);
    ReleaseDC(statusBar_, dc);
    SendMessageW(statusBar_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(widths));
    for (int part = 0; part < 4; ++part) {
        const StatusText& text = status_[static_cast<std::size_t>(part)];
        SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(part | SBT_OWNERDRAW),
                     static_cast<LPARAM>(part));
        SendMessageW(statusBar_, SB_SETTIPTEXTW, static_cast<WPARAM>(part),
                     reinterpret_cast<LPARAM>(Wide(text.details).c_str()));
    }
}

void Win32FormView::DrawStatusPart(const DRAWITEMSTRUCT& item) {
    const auto part = static_cast<std::size_t>(item.itemData);
    if (part >= status_.size())
        return;
    const StatusText& text = status_[part];
    const std::wstring words = Wide(text.text);
    RECT area = item.rcItem;
    area.left += Scale(StatusMargin) / 2;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, text.red ? TextRed : GetSysColor(COLOR_BTNTEXT));
    const HGDIOBJ old = SelectObject(item.hDC, font_);
    DrawTextW(item.hDC, words.c_str(), static_cast<int>(words.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(item.hDC, old);
}

void Win32FormView::SetText(ControlId control, const std::string& text) {
    const HWND window = Control(control);
    if (window == nullptr)
        return;
    const std::wstring wide = Wide(text);
    if (WindowText(window) == wide)
        return;
    ++echo_;
    SetWindowTextW(window, wide.c_str());
    --echo_;
}

void Win32FormView::SetValid(ControlId control, bool valid, const std::string& description) {
    const auto found = controls_.find(control);
    if (found == controls_.end() || found->second.window == nullptr)
        return;
    // The colour is the visible sign; a screen reader reads the range as the field's
    // description.
    accessible_.SetDescription(found->second.window, valid ? std::wstring() : Wide(description));
    if (found->second.valid == valid)
        return;
    found->second.valid = valid;
    InvalidateRect(found->second.window, nullptr, TRUE);
}

void Win32FormView::SetEnabled(ControlId control, bool enabled) {
    const auto found = controls_.find(control);
    if (found == controls_.end() || found->second.window == nullptr)
        return;
    EnableWindow(found->second.window, enabled);
    for (HWND button : found->second.buttons)
        EnableWindow(button, enabled);
}

void Win32FormView::SetVisible(ControlId control, bool visible) {
    const auto found = controls_.find(control);
    if (found == controls_.end() || found->second.window == nullptr)
        return;
    const int show = visible ? SW_SHOWNA : SW_HIDE;
    found->second.visible = visible;
    // A hidden focus would leave the keyboard nowhere.
    const HWND focus = GetFocus();
    ShowWindow(found->second.window, show);
    for (HWND button : found->second.buttons)
        ShowWindow(button, show);
    for (const ControlDesign& design : FormControls())
        if (design.parent == control)
            SetVisible(design.id, visible);
    if (!visible && focus != nullptr && !IsWindowVisible(focus) && IsChild(window_, focus)) {
        const HWND next = GetNextDlgTabItem(window_, focus, FALSE);
        if (next != nullptr)
            SetFocus(next);
    }
}

void Win32FormView::SetItems(ControlId control, const std::vector<std::string>& items) {
    const auto found = controls_.find(control);
    if (found == controls_.end() || found->second.window == nullptr)
        return;
    ControlWindow& entry = found->second;
    ++echo_;
    if (entry.kind == ControlKind::DropDownList) {
        SendMessageW(entry.window, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : items)
            SendMessageW(entry.window, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Wide(item).c_str()));
    } else if (entry.kind == ControlKind::RadioGroup && entry.buttons.size() == items.size()) {
        // The same number of items: the buttons take the new captions.
        for (std::size_t i = 0; i < items.size(); ++i) {
            SetWindowTextW(entry.buttons[i], Wide(items[i]).c_str());
            SendMessageW(entry.buttons[i], BM_SETCHECK, BST_UNCHECKED, 0);
        }
    } else if (entry.kind == ControlKind::RadioGroup) {
        for (HWND button : entry.buttons)
            DestroyWindow(button);
        entry.buttons.clear();
        // The items follow their frame in the Tab order.
        HWND after = entry.window;
        const int group = static_cast<int>(control);
        for (std::size_t i = 0; i < items.size() && i < RadioSlots; ++i) {
            const DWORD style = WS_CHILD | BS_AUTORADIOBUTTON |
                                (i == 0 ? WS_GROUP | WS_TABSTOP : 0) |
                                (entry.visible ? WS_VISIBLE : 0);
            const HWND button =
                CreateWindowExW(0, WC_BUTTONW, Wide(items[i]).c_str(), style, 0, 0, 0, 0, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(
                                    FirstRadioButton + group * RadioSlots + static_cast<int>(i))),
                                GetModuleHandleW(nullptr), nullptr);
            SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
            EnableWindow(button, IsWindowEnabled(entry.window));
            SetWindowPos(button, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = button;
            entry.buttons.push_back(button);
        }
        LayOutRadioButtons(control);
    }
    entry.selection = -1;
    if (entry.kind == ControlKind::RadioGroup)
        MoveTabStop(control);
    --echo_;
}

void Win32FormView::SetSelection(ControlId control, int index) {
    const auto found = controls_.find(control);
    if (found == controls_.end() || found->second.window == nullptr)
        return;
    ControlWindow& entry = found->second;
    ++echo_;
    if (entry.kind == ControlKind::DropDownList) {
        SendMessageW(entry.window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (entry.kind == ControlKind::RadioGroup) {
        for (std::size_t i = 0; i < entry.buttons.size(); ++i)
            SendMessageW(entry.buttons[i], BM_SETCHECK,
                         static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    entry.selection = index;
    if (entry.kind == ControlKind::RadioGroup)
        MoveTabStop(control);
    --echo_;
}

void Win32FormView::SetPorts(const std::vector<PortListEntry>& ports) {
    const HWND list = Control(C::cmbComPort);
    if (list == nullptr)
        return;
    ++echo_;
    ports_ = ports;
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    const HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, font_);
    int widest = 0;
    for (const PortListEntry& port : ports) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(port.name).c_str()));
        const std::wstring device = Wide(port.device);
        SIZE size{};
        GetTextExtentPoint32W(dc, device.c_str(), static_cast<int>(device.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageW(list, CB_SETDROPPEDWIDTH,
                 static_cast<WPARAM>(
                     std::min(Scale(PortNameWidth) + widest + Scale(24), Scale(ClientWidth / 2))),
                 0);
    controls_.at(C::cmbComPort).selection = -1;
    --echo_;
}

bool Win32FormView::PortListDropped() const {
    const HWND list = Control(C::cmbComPort);
    return list != nullptr && SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void Win32FormView::SetStatus(StatusPart part, const StatusText& text) {
    const auto index = static_cast<std::size_t>(part);
    if (index >= status_.size() || status_[index] == text)
        return;
    status_[index] = text;
    if (statusBar_ == nullptr)
        return;
    SetStatusParts();
    InvalidateRect(statusBar_, nullptr, TRUE);
}

void Win32FormView::SetRecentFiles(const std::vector<RecentFileItem>& items) {
    // The recent files follow the designed items after a separator.
    while (recentCount_ > 0) {
        DeleteMenu(fileMenu_, static_cast<UINT>(GetMenuItemCount(fileMenu_) - 1), MF_BYPOSITION);
        --recentCount_;
    }
    if (items.empty())
        return;
    AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
    ++recentCount_;
    for (std::size_t i = 0; i < items.size() && i < MaxRecentFiles; ++i) {
        AppendMenuW(fileMenu_, MF_STRING, static_cast<UINT_PTR>(FirstRecentFile) + i,
                    Wide(items[i].caption).c_str());
        ++recentCount_;
    }
}

void Win32FormView::PaintBeforeBlocking() {
    if (window_ == nullptr)
        return;
    for (const auto& [id, control] : controls_)
        if (control.kind == ControlKind::DropDownList)
            SendMessageW(control.window, CB_SHOWDROPDOWN, FALSE, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32FormView::SetBusy(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(busy ? 32514 : 32512)));
}

void Win32FormView::DiscardInput() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

void Win32FormView::StartTimer(FormTimer timer, int intervalMilliseconds) {
    if (window_ == nullptr)
        return;
    SetTimer(window_, static_cast<UINT_PTR>(timer) + 1, static_cast<UINT>(intervalMilliseconds),
             nullptr);
}

void Win32FormView::StopTimer(FormTimer timer) {
    KillTimer(window_, static_cast<UINT_PTR>(timer) + 1);
}

void Win32FormView::Post(std::function<void()> work) {
    HWND window = nullptr;
    {
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(work));
        window = window_;
    }
    if (window != nullptr)
        PostMessageW(window, PostedWork, 0, 0);
}

void Win32FormView::RunPosted() {
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(postedMutex_);
            if (posted_.empty())
                return;
            work = std::move(posted_.front());
            posted_.pop_front();
        }
        work();
    }
}

void Win32FormView::EditLog::AppendLine(const std::string& line) {
    if (edit == nullptr)
        return;
    std::wstring text;
    if (GetWindowTextLengthW(edit) > 0)
        text = L"\r\n";
    for (const wchar_t c : WideFromSystemText(line)) {
        if (c == L'\n')
            text += L'\r';
        text += c;
    }
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

} // namespace kronax::win32
