// The Win32 view against the design and the form's contract, through the controls themselves:
// run under Wine with the window hidden.

#include "winapp/Win32FormView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace kronax::win32 {
namespace {

using C = ControlId;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Every call the view makes to the form, as one line each.
class RecordedEvents : public IFormEvents {
public:
    void FieldEdited(ControlId field, const std::string& text) override {
        Add("edit " + DesignOf(field).name + " " + text);
    }
    void SelectionClicked(ControlId control, int index) override {
        Add("select " + DesignOf(control).name + " " + std::to_string(index));
    }
    void PortPicked(int index) override { Add("port " + std::to_string(index)); }
    void PortListDroppingDown() override { Add("drop down"); }
    void ButtonClicked(ControlId button) override { Add("click " + DesignOf(button).name); }
    void CommandChosen(FormCommand command) override {
        for (const MenuItemDesign& item : FormMenuItems())
            if (item.command == command)
                Add("command " + item.name);
    }
    void RecentFileChosen(int index) override { Add("recent " + std::to_string(index)); }
    void DoubleClicked(ControlId control) override {
        Add("double click " + DesignOf(control).name);
    }
    void TimerTicked(FormTimer timer) override {
        const char* const names[] = {"Timer2", "PortWatch", "Unwritten"};
        Add(std::string("tick ") + names[static_cast<int>(timer)]);
    }
    void DevicesChanged() override { Add("devices"); }
    void FirstPainted() override { Add("painted"); }
    bool CloseRequested() override {
        Add("close");
        return false;
    }

    std::vector<std::string> calls;

private:
    void Add(std::string call) { calls.push_back(std::move(call)); }
};

std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT PlaceInClient(HWND parent, HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The design's place of a control, summed over its parents, at the view's scale.
RECT DesignedPlace(const Win32FormView& view, const ControlDesign& design) {
    DesignRect place = design.place;
    for (C parent = design.parent; parent != C::Client; parent = DesignOf(parent).parent) {
        place.left += DesignOf(parent).place.left;
        place.top += DesignOf(parent).place.top;
    }
    return {view.Scale(place.left), view.Scale(place.top), view.Scale(place.left + place.width),
            view.Scale(place.top + place.height)};
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

class Win32FormViewTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        view = std::make_unique<Win32FormView>(GetParam());
        view->SetEvents(&events);
        for (const ControlDesign& design : FormControls())
            if (design.kind == ControlKind::RadioGroup)
                view->SetItems(design.id, {"first", "second", "third"});
        view->SetItems(C::cmbAux1, {"one", "two", "three"});
        view->SetPorts({{"COM1", "", ""}, {"COM3", "", ""}});
    }

    RecordedEvents events;
    std::unique_ptr<Win32FormView> view;
};

TEST_P(Win32FormViewTest, EveryDesignedControlStandsAtItsScaledPlaceWithItsCaption) {
    for (const ControlDesign& design : FormControls()) {
        if (design.id == C::Client)
            continue;
        SCOPED_TRACE(design.name);
        const HWND control = view->Control(design.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), view->Window());
        const RECT place = PlaceInClient(view->Window(), control);
        const RECT designed = DesignedPlace(*view, design);
        if (design.kind == ControlKind::TrafficLog) {
            // The log fills its group inside the frame.
            RECT inside{};
            EXPECT_TRUE(IntersectRect(&inside, &place, &designed));
            EXPECT_TRUE(EqualRect(&inside, &place));
            continue;
        }
        EXPECT_EQ(place.left, designed.left);
        EXPECT_EQ(place.top, designed.top);
        EXPECT_EQ(place.right - place.left, designed.right - designed.left);
        if (design.kind != ControlKind::DropDownList) {
            EXPECT_EQ(place.bottom - place.top, designed.bottom - designed.top);
        }
        if (design.kind != ControlKind::EntryField && design.kind != ControlKind::DropDownList) {
            EXPECT_EQ(Text(control), Wide(design.caption));
        }
        const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
        EXPECT_EQ((style & WS_VISIBLE) != 0,
                  design.visibleAtStart &&
                      (design.parent == C::Client || DesignOf(design.parent).visibleAtStart));
    }
    // The client area is the design's, with the status bar below it.
    RECT client{}, bar{};
    GetClientRect(view->Window(), &client);
    GetWindowRect(view->StatusBar(), &bar);
    EXPECT_EQ(client.right, view->Scale(ClientWidth));
    EXPECT_EQ(client.bottom - (bar.bottom - bar.top), view->Scale(ClientHeight));
}

// Moved to a monitor of another DPI, the window lays itself out anew at that monitor's scale.
TEST(Win32FormViewDpiTest, AMoveToAnotherMonitorsDpiScalesEveryPlace) {
    Win32FormView view(96);
    view.SetItems(C::rgSensorType, {"Off", "Pulse + Trigger"});
    RECT suggested{};
    GetWindowRect(view.Window(), &suggested);
    SendMessageW(view.Window(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(view.Scale(ClientWidth), 1082);
    for (const ControlId id : {C::edMultiplier, C::btnWriteToKronax, C::gbAux}) {
        const RECT place = PlaceInClient(view.Window(), view.Control(id));
        const RECT designed = DesignedPlace(view, DesignOf(id));
        EXPECT_TRUE(EqualRect(&place, &designed)) << DesignOf(id).name;
    }
    RECT button = PlaceInClient(view.Window(), view.RadioButton(C::rgSensorType, 1));
    const RECT group = DesignedPlace(view, DesignOf(C::rgSensorType));
    EXPECT_TRUE(PtInRect(&group, {button.left, button.top}));
    RECT client{};
    GetClientRect(view.Window(), &client);
    EXPECT_EQ(client.right, 1082);
}

TEST_P(Win32FormViewTest, ControlsAreWindowsOwnOfTheirKind) {
    const struct {
        C id;
        const wchar_t* windowClass;
        LONG_PTR style;
    } kinds[] = {{C::gbComm, L"Button", BS_GROUPBOX},
                 {C::edMultiplier, L"Edit", WS_TABSTOP},
                 {C::cmbComPort, L"ComboBox", CBS_DROPDOWNLIST | WS_TABSTOP},
                 {C::btnWriteToKronax, L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP},
                 {C::btnStart, L"Button", WS_TABSTOP},
                 {C::memDebug, L"Edit", ES_MULTILINE | WS_VSCROLL},
                 {C::lblConnection, L"Static", SS_NOPREFIX}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(DesignOf(kind.id).name);
        EXPECT_EQ(ClassOf(view->Control(kind.id)), kind.windowClass);
        EXPECT_EQ(GetWindowLongPtrW(view->Control(kind.id), GWL_STYLE) & kind.style, kind.style);
    }
    const HWND first = view->RadioButton(C::rgSensorType, 0);
    EXPECT_EQ(Text(first), L"first");
    EXPECT_EQ(GetWindowLongPtrW(first, GWL_STYLE) & 0xF, BS_AUTORADIOBUTTON);
}

// Tab visits the tab stops in the design's order, each radio group at its chosen item.
TEST_P(Win32FormViewTest, TabFollowsTheDesignsOrder) {
    view->SetVisible(C::gbDebug, true);
    std::vector<HWND> expected;
    for (const ControlId id : TabOrder())
        expected.push_back(DesignOf(id).kind == ControlKind::RadioGroup ? view->RadioButton(id, 0)
                                                                        : view->Control(id));
    std::vector<HWND> visited;
    HWND at = GetNextDlgTabItem(view->Window(), nullptr, FALSE);
    for (std::size_t i = 0; i < expected.size() && at != nullptr; ++i) {
        visited.push_back(at);
        at = GetNextDlgTabItem(view->Window(), at, FALSE);
    }
    EXPECT_EQ(visited, expected);
}

TEST_P(Win32FormViewTest, ChangesTheFormMakesAreShownAndNeverComeBackAsEdits) {
    view->SetText(C::edMultiplier, "7");
    view->SetText(C::lblConnection, "COM3: the port could not be opened");
    view->SetSelection(C::rgSensorType, 2);
    view->SetSelection(C::cmbAux1, 1);
    view->SetSelection(C::cmbComPort, 1);
    view->SetItems(C::rgEncoder, {"x1", "x2"});
    view->SetText(C::rgEncoder, "Encoder Mode");
    EXPECT_THAT(events.calls, IsEmpty());
    EXPECT_EQ(Text(view->Control(C::edMultiplier)), L"7");
    EXPECT_EQ(Text(view->Control(C::lblConnection)), L"COM3: the port could not be opened");
    EXPECT_EQ(SendMessageW(view->RadioButton(C::rgSensorType, 2), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(view->RadioButton(C::rgSensorType, 0), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(view->Control(C::cmbAux1), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(view->Control(C::cmbComPort), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(view->Control(C::rgEncoder)), L"Encoder Mode");
    // Only the chosen item is a tab stop, so that Tab enters the group there.
    EXPECT_NE(GetWindowLongPtrW(view->RadioButton(C::rgSensorType, 2), GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_EQ(GetWindowLongPtrW(view->RadioButton(C::rgSensorType, 0), GWL_STYLE) & WS_TABSTOP, 0);
}

TEST_P(Win32FormViewTest, TheOperatorsEditsClicksAndCommandsReachTheForm) {
    const HWND multiplier = view->Control(C::edMultiplier);
    view->SetText(C::edMultiplier, "1");
    SendMessageW(multiplier, EM_SETSEL, 1, 1);
    SendMessageW(multiplier, WM_CHAR, L'5', 0);
    SendMessageW(view->RadioButton(C::rgEdgeAB, 1), BM_CLICK, 0, 0);
    // The item already chosen, clicked again, changes nothing.
    SendMessageW(view->RadioButton(C::rgEdgeAB, 1), BM_CLICK, 0, 0);
    SendMessageW(view->Control(C::btnStart), BM_CLICK, 0, 0);
    SendMessageW(view->Control(C::cmbAux1), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(view->Control(C::cmbComPort), WM_KEYDOWN, VK_DOWN, 0);
    const HMENU file = GetSubMenu(view->Menu(), 0);
    SendMessageW(view->Window(), WM_COMMAND, GetMenuItemID(file, 3), 0);
    view->SetRecentFiles({{"&1 board.kxcfg", "C:\\board.kxcfg"}});
    SendMessageW(view->Window(), WM_COMMAND,
                 GetMenuItemID(file, static_cast<int>(GetMenuItemCount(file)) - 1), 0);
    SendMessageW(view->Control(C::Image1), WM_LBUTTONDBLCLK, 0, 0);
    SendMessageW(view->Window(), WM_CLOSE, 0, 0);
    EXPECT_THAT(events.calls,
                ElementsAre("edit edMultiplier 15", "select rgEdgeAB 1", "click btnStart",
                            "select cmbAux1 0", "port 0", "command ApplyConfigurationtoKronax1",
                            "recent 0", "double click Image1", "close"));
    // The form said no: the window stays.
    EXPECT_TRUE(IsWindow(view->Window()));
}

TEST_P(Win32FormViewTest, TheSystemsEventsReachTheForm) {
    const HWND window = view->Window();
    SendMessageW(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    SendMessageW(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
    SendMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    for (FormTimer timer : {FormTimer::Timer2, FormTimer::PortWatch, FormTimer::Unwritten}) {
        view->StartTimer(timer, 60000);
        SendMessageW(window, WM_TIMER, static_cast<WPARAM>(timer) + 1, 0);
        view->StopTimer(timer);
    }
    // A double click on the traffic log's frame, not on the log inside it, brings the logo back.
    view->SetVisible(C::gbDebug, true);
    const RECT frame = PlaceInClient(window, view->Control(C::gbDebug));
    SendMessageW(window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(frame.left + 2, frame.top + 2));
    EXPECT_THAT(events.calls,
                ElementsAre("devices", "devices", "devices", "tick Timer2", "tick PortWatch",
                            "tick Unwritten", "double click gbDebug"));
}

// Every menu item leads to its command, and each Ctrl shortcut, as the event loop translates it,
// to the same.
TEST_P(Win32FormViewTest, EveryMenuItemAndShortcutReachesItsCommand) {
    std::vector<std::string> expected;
    for (const MenuItemDesign& item : FormMenuItems()) {
        SendMessageW(view->Window(), WM_COMMAND,
                     static_cast<WPARAM>(Win32FormView::CommandIdentifier(item.command)), 0);
        expected.push_back("command " + item.name);
    }
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    for (const MenuItemDesign& item : FormMenuItems()) {
        if (item.shortcut == 0)
            continue;
        MSG press{view->Control(C::edMultiplier),
                  WM_KEYDOWN,
                  static_cast<WPARAM>(item.shortcut),
                  0,
                  0,
                  {}};
        EXPECT_TRUE(view->PreTranslate(press)) << item.name;
        expected.push_back("command " + item.name);
    }
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(events.calls, expected);
}

TEST_P(Win32FormViewTest, TheMenusAndShortcutsAreTheDesigns) {
    std::vector<ACCEL> keys(64);
    keys.resize(static_cast<std::size_t>(
        CopyAcceleratorTableW(view->Accelerators(), keys.data(), static_cast<int>(keys.size()))));
    for (const MenuItemDesign& item : FormMenuItems()) {
        SCOPED_TRACE(item.name);
        const HMENU menu = GetSubMenu(view->Menu(), item.menu);
        const auto identifier = static_cast<UINT>(Win32FormView::CommandIdentifier(item.command));
        wchar_t caption[128] = {};
        GetMenuStringW(menu, identifier, caption, 128, MF_BYCOMMAND);
        std::wstring expected = Wide(item.caption);
        // Without a record store the history says so, greyed.
        const bool noRecords = item.command == FormCommand::BoardHistory1 && !StationKeepsRecords;
        if (noRecords)
            expected += L" (no records kept at this station)";
        if (item.shortcut != 0)
            expected += std::wstring(L"\tCtrl+") + static_cast<wchar_t>(item.shortcut);
        EXPECT_EQ(caption, expected);
        EXPECT_EQ((GetMenuState(menu, identifier, MF_BYCOMMAND) & MF_GRAYED) != 0, noRecords);
        const bool bound = std::any_of(keys.begin(), keys.end(), [&](const ACCEL& key) {
            return key.cmd == identifier && key.key == item.shortcut && (key.fVirt & FCONTROL);
        });
        EXPECT_EQ(bound, item.shortcut != 0);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_BITMAP;
        GetMenuItemInfoW(menu, identifier, FALSE, &info);
        EXPECT_EQ(info.hbmpItem != nullptr, item.icon >= 0);
    }
}

TEST_P(Win32FormViewTest, AnInvalidFieldIsPaintedRedAndAValidOneWhite) {
    const HWND multiplier = view->Control(C::edMultiplier);
    const HDC dc = GetDC(multiplier);
    view->SetValid(C::edMultiplier, false, "Multiplier takes 0 to 255.");
    SendMessageW(view->Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(multiplier));
    EXPECT_EQ(GetBkColor(dc), RGB(0xff, 0x60, 0x60));
    view->SetValid(C::edMultiplier, true, "");
    SendMessageW(view->Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(multiplier));
    EXPECT_EQ(GetBkColor(dc), RGB(0xff, 0xff, 0xff));
    ReleaseDC(multiplier, dc);
}

// What a dialog's own procedure does, a plain main window under IsDialogMessage does itself.
TEST_P(Win32FormViewTest, EnterInAFieldPressesTheDefaultButton) {
    EXPECT_EQ(SendMessageW(view->Window(), DM_GETDEFID, 0, 0),
              MAKELRESULT(Win32FormView::ControlIdentifier(C::btnWriteToKronax), DC_HASDEFID));
    MSG enter{view->Control(C::edDevider), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(view->PreTranslate(enter));
    EXPECT_THAT(events.calls, ElementsAre("click btnWriteToKronax"));
}

TEST_P(Win32FormViewTest, AMnemonicOrTabMovesTheFocusThroughNextDialogControl) {
    const HWND divider = view->Control(C::edDevider);
    view->SetText(C::edDevider, "12");
    SendMessageW(view->Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(divider), TRUE);
    EXPECT_EQ(GetFocus(), divider);
    // The whole text is selected, to be typed over.
    DWORD start = 1, end = 0;
    SendMessageW(divider, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
    SendMessageW(view->Window(), WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(GetFocus(), view->Control(C::edAlpha));
    SendMessageW(view->Window(), WM_NEXTDLGCTL, 1, FALSE);
    EXPECT_EQ(GetFocus(), divider);
    EXPECT_THAT(events.calls, IsEmpty());
}

TEST_P(Win32FormViewTest, TheFocusComesBackWhenTheWindowIsActivatedAgain) {
    const HWND beta = view->Control(C::edBeta);
    SetFocus(beta);
    SendMessageW(view->Window(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(view->Control(C::btnStart));
    SendMessageW(view->Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), beta);
}

TEST_P(Win32FormViewTest, TheTrafficLogGrowsByLinesInTheSystemsText) {
    view->TrafficLog().AppendLine("??SMVER=1.0 \xb5"
                                  "C");
    view->TrafficLog().AppendLine("##SMSTA=1");
    EXPECT_EQ(Text(view->Control(C::memDebug)), L"??SMVER=1.0 \u00b5C\r\n##SMSTA=1");
}

TEST_P(Win32FormViewTest, WorkPostedFromAnotherThreadRunsOnTheWindowsThread) {
    const DWORD windowThread = GetCurrentThreadId();
    DWORD ranOn = 0;
    std::thread([&] { view->Post([&] { ranOn = GetCurrentThreadId(); }); }).join();
    MSG message;
    while (ranOn == 0 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_EQ(ranOn, windowThread);
}

// At 96 dpi the design's pixels; at 144 (150 %) every place and the font half as large again.
INSTANTIATE_TEST_SUITE_P(Dpi, Win32FormViewTest, ::testing::Values(96, 144));

} // namespace
} // namespace kronax::win32
