#include "form/FormDesign.h"

#include "form/DisplayText.h"
#include "protocol/FieldCaptions.h"

#include <algorithm>
#include <stdexcept>

namespace kronax {
namespace {

using K = ControlKind;
using C = ControlId;

// "Multiplier (0..255)" is read out as "Multiplier".
std::string FieldName(NumberField field) {
    const std::string caption = DisplayText(NumberFieldCaption(field));
    return caption.substr(0, caption.find(" ("));
}

std::string SelectionName(Selection selection) {
    return DisplayText(SelectionCaption(selection));
}

void AddEntryFields(std::vector<ControlDesign>& controls) {
    const struct {
        C label, field;
        NumberField number;
        int left, top;
    } teeth[] = {{C::lblTooth1, C::edTooth1, NumberField::Tooth1, 8, 26},
                 {C::lblGap1, C::edGap1, NumberField::Gap1, 64, 26},
                 {C::lblTooth2, C::edTooth2, NumberField::Tooth2, 8, 62},
                 {C::lblGap2, C::edGap2, NumberField::Gap2, 64, 62},
                 {C::lblTooth3, C::edTooth3, NumberField::Tooth3, 8, 98},
                 {C::lblGap3, C::edGap3, NumberField::Gap3, 64, 98}};
    static const char* const names[] = {"edTooth1", "edGap1",   "edTooth2",
                                        "edGap2",   "edTooth3", "edGap3"};
    int order = 12;
    int index = 0;
    for (const auto& tooth : teeth) {
        const std::string caption = DisplayText(NumberFieldCaption(tooth.number));
        // A label ends where the next column begins, so that a caption too wide for the font
        // shows as clipped instead of running under the next field.
        controls.push_back({tooth.label,
                            K::Label,
                            "lbl" + std::string(names[index] + 2),
                            caption,
                            {tooth.left, tooth.top - 13, std::min(54, 113 - tooth.left), 13},
                            C::gbTeeth,
                            caption,
                            -1,
                            1,
                            true,
                            tooth.field});
        controls.push_back({tooth.field,
                            K::EntryField,
                            names[index],
                            "",
                            {tooth.left, tooth.top, 41, 21},
                            C::gbTeeth,
                            caption,
                            order++});
        ++index;
    }
}

void AddSourceLists(std::vector<ControlDesign>& controls) {
    const struct {
        C label, list;
        Selection selection;
        const char* name;
    } lists[] = {{C::lblAux1, C::cmbAux1, Selection::Aux1Source, "cmbAux1"},
                 {C::lblAux2, C::cmbAux2, Selection::Aux2Source, "cmbAux2"},
                 {C::lblDI6, C::cmbDI6, Selection::Di6Source, "cmbDI6"},
                 {C::lblDI7, C::cmbDI7, Selection::Di7Source, "cmbDI7"}};
    int top = 16;
    int order = 18;
    for (const auto& list : lists) {
        const std::string caption = SelectionName(list.selection);
        controls.push_back({list.label,
                            K::Label,
                            "lbl" + std::string(list.name + 3),
                            caption,
                            {8, top + 4, 46, 13},
                            C::gbAux,
                            caption,
                            -1,
                            1,
                            true,
                            list.list});
        controls.push_back({list.list,
                            K::DropDownList,
                            list.name,
                            "",
                            {56, top, 97, 21},
                            C::gbAux,
                            caption,
                            order++});
        top += 24;
    }
}

void AddFactorFields(std::vector<ControlDesign>& controls) {
    constexpr int FieldLeft = 96;
    const struct {
        C label, field;
        NumberField number;
        const char* name;
        int labelLeft, top;
    } factors[] = {
        {C::lblMultiplier, C::edMultiplier, NumberField::Multiplier, "edMultiplier", 8, 16},
        {C::lblDevider, C::edDevider, NumberField::Divider, "edDevider", 8, 40},
        {C::lblAlpha, C::edAlpha, NumberField::Alpha, "edAlpha", 24, 64},
        {C::lblBeta, C::edBeta, NumberField::Beta, "edBeta", 24, 88}};
    int order = 22;
    for (const auto& factor : factors) {
        controls.push_back(
            {factor.label,
             K::Label,
             "lbl" + std::string(factor.name + 2),
             DisplayText(NumberFieldCaption(factor.number)),
             {factor.labelLeft, factor.top + 4, FieldLeft - factor.labelLeft - 2, 13},
             C::gbMultiplierDevider,
             FieldName(factor.number),
             -1,
             1,
             true,
             factor.field});
        controls.push_back({factor.field,
                            K::EntryField,
                            factor.name,
                            "",
                            {FieldLeft, factor.top, 41, 21},
                            C::gbMultiplierDevider,
                            FieldName(factor.number),
                            order++});
    }
}

void AddSensorGroups(std::vector<ControlDesign>& controls) {
    const struct {
        C id;
        Selection selection;
        const char* name;
        DesignRect place;
        int tabOrder, columns;
    } groups[] = {
        {C::rgSensorType, Selection::SensorType, "rgSensorType", {8, 16, 145, 105}, 1, 1},
        {C::rgCDMInputSelection,
         Selection::CdmInput,
         "rgCDMInputSelection",
         {160, 16, 89, 81},
         2,
         1},
        {C::rgEncoder, Selection::EncoderMode, "rgEncoder", {160, 16, 89, 81}, 3, 1},
        {C::rgCAInputSelection, Selection::CaInput, "rgCAInputSelection", {160, 16, 89, 81}, 4, 1},
        {C::rgEdgeTrigger, Selection::EdgeTrigger, "rgEdgeTrigger", {256, 16, 89, 81}, 5, 1},
        {C::rgEdgeDetection, Selection::EdgeDetection, "rgEdgeDetection", {256, 16, 89, 81}, 6, 1},
        {C::rgEdgeAB, Selection::EdgeAB, "rgEdgeAB", {352, 16, 81, 81}, 7, 1},
        {C::rgTriggerLevel, Selection::TriggerLevel, "rgTriggerLevel", {352, 16, 81, 81}, 8, 1},
        {C::rgInputFilter, Selection::InputFilter, "rgInputFilter", {440, 16, 129, 81}, 9, 2},
    };
    for (const auto& group : groups) {
        const std::string caption = SelectionName(group.selection);
        controls.push_back({group.id, K::RadioGroup, group.name, caption, group.place,
                            C::gbSensorSettings, caption, group.tabOrder, group.columns});
    }
    const std::string counts = DisplayText(NumberFieldCaption(NumberField::CountsPerRev));
    controls.push_back({C::gbCntPerRev,
                        K::GroupBox,
                        "gbCntPerRev",
                        counts,
                        {577, 16, 113, 57},
                        C::gbSensorSettings,
                        counts});
    controls.push_back({C::edCntPerRev,
                        K::EntryField,
                        "edCntPerRev",
                        "",
                        {8, 24, 65, 21},
                        C::gbCntPerRev,
                        counts,
                        10});
    controls.push_back({C::gbTeeth,
                        K::GroupBox,
                        "gbTeeth",
                        "Teeth",
                        {577, 16, 113, 129},
                        C::gbSensorSettings,
                        "Teeth"});
}

std::vector<ControlDesign> BuildControls() {
    std::vector<ControlDesign> c;
    c.push_back({C::Client,
                 K::GroupBox,
                 "Client",
                 "",
                 {0, 0, ClientWidth, ClientHeight},
                 C::Client,
                 WindowTitle});
    c.push_back({C::gbComm,
                 K::GroupBox,
                 "gbComm",
                 "Communication",
                 {8, 0, 177, 49},
                 C::Client,
                 "Communication"});
    c.push_back({C::Label7,
                 K::Label,
                 "Label7",
                 "COM Port",
                 {8, 24, 52, 16},
                 C::gbComm,
                 "COM Port",
                 -1,
                 1,
                 true,
                 C::cmbComPort});
    c.push_back({C::cmbComPort,
                 K::DropDownList,
                 "cmbComPort",
                 "",
                 {64, 20, 105, 21},
                 C::gbComm,
                 "COM Port",
                 0});
    c.push_back({C::lblConnection,
                 K::Label,
                 "lblConnection",
                 "",
                 {192, 24, 260, 16},
                 C::Client,
                 "Connection"});
    c.push_back({C::gbSensorSettings,
                 K::GroupBox,
                 "gbSensorSettings",
                 "Sensor Settings",
                 {8, 56, 697, 153},
                 C::Client,
                 "Sensor Settings"});
    AddSensorGroups(c);
    AddEntryFields(c);
    c.push_back({C::gbAux,
                 K::GroupBox,
                 "gbAux",
                 "Auxiliary Output Signals",
                 {8, 216, 161, 121},
                 C::Client,
                 "Auxiliary Output Signals"});
    AddSourceLists(c);
    c.push_back({C::gbMultiplierDevider,
                 K::GroupBox,
                 "gbMultiplierDevider",
                 "Multiplier/Divider",
                 {176, 216, 153, 121},
                 C::Client,
                 "Multiplier/Divider"});
    AddFactorFields(c);
    c.push_back({C::gbStatus,
                 K::GroupBox,
                 "gbStatus",
                 "Start / Status",
                 {336, 216, 113, 121},
                 C::Client,
                 "Start / Status"});
    c.push_back({C::btnStart,
                 K::Button,
                 "btnStart",
                 "Start Algorithms",
                 {8, 15, 97, 21},
                 C::gbStatus,
                 "Start Algorithms",
                 26});
    // The outcome texts are wider than the group: each label wraps onto a second line and is
    // tall enough for both lines, descenders included, between the buttons.
    c.push_back(
        {C::lblStart, K::Label, "lblStart", "", {8, 36, 101, 31}, C::gbStatus, "Start outcome"});
    c.push_back({C::btnStatus,
                 K::Button,
                 "btnStatus",
                 "Read Status",
                 {8, 67, 97, 21},
                 C::gbStatus,
                 "Read Status",
                 27});
    c.push_back(
        {C::lblStatus, K::Label, "lblStatus", "Status:", {8, 88, 101, 31}, C::gbStatus, "Status"});
    c.push_back({C::btnWriteToKronax,
                 K::Button,
                 "btnWriteToKronax",
                 "&Write Config to KRONAX (Ctrl+W)",
                 {480, 216, 201, 25},
                 C::Client,
                 "Write Config to KRONAX",
                 28});
    c.push_back(
        {C::Image1, K::Picture, "Image1", "", {472, 256, 225, 81}, C::Client, "KRONAX logo"});
    c.push_back({C::gbDebug,
                 K::GroupBox,
                 "gbDebug",
                 "Commands and Kronax's Replys:",
                 {456, 248, 257, 89},
                 C::Client,
                 "Commands and Kronax's Replys:",
                 -1,
                 1,
                 false});
    c.push_back({C::memDebug,
                 K::TrafficLog,
                 "memDebug",
                 "",
                 {0, 0, 257, 89},
                 C::gbDebug,
                 "Commands and Kronax's Replys:",
                 29});
    c.push_back({C::lblReport,
                 K::Label,
                 "lblReport",
                 "",
                 {632, 40, 80, 16},
                 C::Client,
                 "Report",
                 -1,
                 1,
                 false});
    return c;
}

} // namespace

const std::vector<ControlDesign>& FormControls() {
    static const std::vector<ControlDesign> controls = BuildControls();
    return controls;
}

const ControlDesign& DesignOf(ControlId id) {
    for (const ControlDesign& control : FormControls())
        if (control.id == id)
            return control;
    throw std::out_of_range("no such control in the design");
}

std::vector<ControlId> TabOrder() {
    std::vector<const ControlDesign*> stops;
    for (const ControlDesign& control : FormControls())
        if (control.tabOrder >= 0)
            stops.push_back(&control);
    std::sort(stops.begin(), stops.end(), [](const ControlDesign* a, const ControlDesign* b) {
        return a->tabOrder < b->tabOrder;
    });
    std::vector<ControlId> order;
    for (const ControlDesign* stop : stops)
        order.push_back(stop->id);
    return order;
}

const std::vector<MenuDesign>& FormMenus() {
    static const std::vector<MenuDesign> menus = {{"File1", "&File"}, {"N1", "&?"}};
    return menus;
}

const std::vector<MenuItemDesign>& FormMenuItems() {
    using F = FormCommand;
    static const std::vector<MenuItemDesign> items = {
        {F::LoadConfigurationfromFile1, "LoadConfigurationfromFile1",
         "&Open Configuration from File...", 0, 'O', image::OpenFile},
        {F::StoreConfigurationtoFile1, "StoreConfigurationtoFile1",
         "&Save Configuration to File...", 0, 'S', image::SaveFile},
        {F::LoadConfigurationfromKronax1, "LoadConfigurationfromKronax1",
         "&Read Configuration from KRONAX", 0, 'R', image::ReadFromBoard},
        {F::ApplyConfigurationtoKronax1, "ApplyConfigurationtoKronax1",
         "&Write Configuration to KRONAX", 0, 'W', image::WriteToBoard},
        {F::SetCurrentConfigurationasPowerOnDefault1, "SetCurrentConfigurationasPowerOnDefault1",
         "Set Current Configuration as Power On &Default", 0, 'D', image::PowerOnDefault},
        {F::KRONAXBoardInformation1, "KRONAXBoardInformation1", "KRONAX Board &Information...", 1,
         'I', image::BoardInformation},
        // Not among the designed items: they have no icon of their own.
        {F::BoardHistory1, "BoardHistory1", "Board &History...", 1, 0, -1},
        {F::ShowTrafficLog1, "ShowTrafficLog1", "&Traffic Log", 1, 'L', -1},
        {F::LastReport1, "LastReport1", "Last Operation's &Report...", 1, 0, -1},
        {F::KeyboardShortcuts1, "KeyboardShortcuts1", "&Keyboard Shortcuts...", 1, 0, -1},
        {F::About1, "About1", "&About...", 1, 0, image::About},
    };
    return items;
}

} // namespace kronax
