#pragma once

#include <string>
#include <vector>

namespace kronax {

// Every control of the window, one entry each in the design table.
enum class ControlId {
    Client, // the client area itself: the parent of the top-level controls
    gbComm,
    Label7,
    cmbComPort,
    lblConnection,
    gbSensorSettings,
    rgSensorType,
    rgCDMInputSelection,
    rgEncoder,
    rgCAInputSelection,
    rgEdgeTrigger,
    rgEdgeDetection,
    rgEdgeAB,
    rgTriggerLevel,
    rgInputFilter,
    gbCntPerRev,
    edCntPerRev,
    gbTeeth,
    lblTooth1,
    edTooth1,
    lblGap1,
    edGap1,
    lblTooth2,
    edTooth2,
    lblGap2,
    edGap2,
    lblTooth3,
    edTooth3,
    lblGap3,
    edGap3,
    gbAux,
    lblAux1,
    cmbAux1,
    lblAux2,
    cmbAux2,
    lblDI6,
    cmbDI6,
    lblDI7,
    cmbDI7,
    gbMultiplierDevider,
    lblMultiplier,
    edMultiplier,
    lblDevider,
    edDevider,
    lblAlpha,
    edAlpha,
    lblBeta,
    edBeta,
    gbStatus,
    btnStart,
    lblStart,
    btnStatus,
    lblStatus,
    btnWriteToKronax,
    Image1,
    gbDebug,
    memDebug,
    lblReport,
};

enum class ControlKind {
    GroupBox,
    Label,
    EntryField,
    // A drop-down list without free text.
    DropDownList,
    RadioGroup,
    Button,
    Picture,
    TrafficLog,
};

// Left, top, width and height in the design's pixels (96 dpi) within the parent.
struct DesignRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const DesignRect&) const = default;
};

// One control of the window as the design has it. Texts are UTF-8.
struct ControlDesign {
    ControlId id;
    ControlKind kind;
    // The control's name in the design ("edMultiplier"); toolkits name their objects after it.
    std::string name;
    // A group box's title, a label's or button's caption ("&" marks the mnemonic).
    std::string caption;
    DesignRect place;
    ControlId parent;
    // What a screen reader calls the control: its own label or title.
    std::string accessibleName;
    // The control's place in the Tab order from 0, or -1 when Tab passes it by.
    int tabOrder = -1;
    // Radio groups: how many columns the items are spread over.
    int columns = 1;
    bool visibleAtStart = true;
    // A label's control: the one it names, which a screen reader reads by it.
    ControlId labels = ControlId::Client;
};

inline constexpr int ClientWidth = 721;
inline constexpr int ClientHeight = 346;
// The window's designed place on the screen.
inline constexpr int WindowLeft = 60;
inline constexpr int WindowTop = 257;
inline constexpr const char* WindowTitle = "VOXA-KRONAX Configuration V 1.0";

// Every control, parents before their children, in the order a toolkit creates them.
const std::vector<ControlDesign>& FormControls();

// The design of one control.
const ControlDesign& DesignOf(ControlId id);

// The controls that Tab visits, in its order.
std::vector<ControlId> TabOrder();

// The commands of the menus and the keyboard: each is one operation of the window.
enum class FormCommand {
    LoadConfigurationfromFile1,
    StoreConfigurationtoFile1,
    LoadConfigurationfromKronax1,
    ApplyConfigurationtoKronax1,
    SetCurrentConfigurationasPowerOnDefault1,
    KRONAXBoardInformation1,
    BoardHistory1,
    ShowTrafficLog1,
    LastReport1,
    KeyboardShortcuts1,
    About1,
};

// One item of the main menu. menu: 0 for "&File", 1 for "&?".
struct MenuItemDesign {
    FormCommand command;
    std::string name;
    std::string caption;
    int menu;
    // The letter of the Ctrl shortcut, or 0 for none.
    char shortcut;
    // Index into the window's image list, or -1 for no icon.
    int icon;
};

struct MenuDesign {
    std::string name;
    std::string caption;
};

// "&File" and "&?".
const std::vector<MenuDesign>& FormMenus();
// Every menu item, in menu order.
const std::vector<MenuItemDesign>& FormMenuItems();

// The image list's indices the design names.
namespace image {
inline constexpr int OpenFile = 0;
inline constexpr int SaveFile = 1;
inline constexpr int ReadFromBoard = 2;
inline constexpr int WriteToBoard = 3;
inline constexpr int PowerOnDefault = 4;
inline constexpr int BoardInformation = 6;
inline constexpr int About = 8;
inline constexpr int Count = 9;
} // namespace image

} // namespace kronax
