#include "app/SensorPanel.h"

#include "app/ParameterEntry.h"
#include "app/SystemText.h"
#include "protocol/FieldCaptions.h"
#include "protocol/SensorRules.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>

namespace kronax {
namespace {

QStringList ItemTexts(Selection selection) {
    QStringList texts;
    for (std::string_view item : OptionItems(selection))
        texts << FromSystemText(item);
    return texts;
}

} // namespace

SensorPanel::SensorPanel(QGroupBox* sensorBox, QGroupBox* auxBox, ParameterEntry& entry,
                         QObject* parent)
    : QObject(parent), entry_(entry) {
    CreateGroups(sensorBox);
    CreateLists(auxBox);
}

void SensorPanel::CreateGroups(QGroupBox* sensorBox) {
    const struct {
        Selection selection;
        const char* name;
        int left, top, width, height, columns;
        void (SensorPanel::*click)();
    } designs[GroupCount] = {
        {Selection::SensorType, "rgSensorType", 8, 16, 145, 105, 1,
         &SensorPanel::rgSensorTypeClick},
        {Selection::CdmInput, "rgCDMInputSelection", 160, 16, 89, 81, 1,
         &SensorPanel::rgCDMInputSelectionClick},
        {Selection::EncoderMode, "rgEncoder", 160, 16, 89, 81, 1, &SensorPanel::rgEncoderClick},
        {Selection::CaInput, "rgCAInputSelection", 160, 16, 89, 81, 1,
         &SensorPanel::rgCAInputSelectionClick},
        {Selection::EdgeTrigger, "rgEdgeTrigger", 256, 16, 89, 81, 1,
         &SensorPanel::rgEdgeTriggerClick},
        {Selection::EdgeDetection, "rgEdgeDetection", 256, 16, 89, 81, 1,
         &SensorPanel::rgEdgeDetectionClick},
        {Selection::EdgeAB, "rgEdgeAB", 352, 16, 81, 81, 1, &SensorPanel::rgEdgeABClick},
        {Selection::TriggerLevel, "rgTriggerLevel", 352, 16, 81, 81, 1,
         &SensorPanel::rgTriggerLevelClick},
        {Selection::InputFilter, "rgInputFilter", 440, 16, 129, 81, 2,
         &SensorPanel::rgInputFilterClick},
    };
    for (const auto& design : designs) {
        auto* group = new RadioGroup(FromSystemText(SelectionCaption(design.selection)),
                                     design.columns, sensorBox);
        group->setObjectName(design.name);
        group->setGeometry(design.left, design.top, design.width, design.height);
        groups_[static_cast<std::size_t>(design.selection)] = group;
        connect(group, &RadioGroup::Clicked, this, design.click);
    }
}

void SensorPanel::CreateLists(QGroupBox* auxBox) {
    const char* const names[ListCount] = {"cmbAux1", "cmbAux2", "cmbDI6", "cmbDI7"};
    for (int index = 0; index < ListCount; ++index) {
        const int top = 16 + index * 24;
        auto* label = new QLabel(
            FromSystemText(SelectionCaption(static_cast<Selection>(GroupCount + index))), auxBox);
        label->move(8, top + 4);
        label->adjustSize();
        auto* list = new QComboBox(auxBox);
        list->setObjectName(names[index]);
        list->setGeometry(56, top, 97, 21);
        list->setMaxVisibleItems(20);
        lists_[static_cast<std::size_t>(index)] = list;
    }
}

RadioGroup* SensorPanel::Group(Selection selection) const {
    return groups_[static_cast<std::size_t>(selection)];
}

QComboBox* SensorPanel::List(Selection selection) const {
    return lists_[static_cast<std::size_t>(selection) - GroupCount];
}

void SensorPanel::FillLists() {
    for (int index = 0; index < SelectionCount; ++index) {
        const auto selection = static_cast<Selection>(index);
        if (IsGroup(selection)) {
            Group(selection)->SetItems(ItemTexts(selection));
            Group(selection)->SetItemIndex(StartPosition(selection));
        } else {
            List(selection)->clear();
            List(selection)->addItems(ItemTexts(selection));
            List(selection)->setCurrentIndex(StartPosition(selection));
        }
    }
}

void SensorPanel::UpdateSensorControls() {
    const int type = Selected(Selection::SensorType);
    if (type < 0)
        return;
    const SensorControls shown = SensorControlsFor(type, Selected(Selection::CaInput));
    Group(Selection::CdmInput)->setVisible(shown.cdmInput);
    Group(Selection::EncoderMode)->setVisible(shown.encoderMode);
    Group(Selection::CaInput)->setVisible(shown.caInput);
    Group(Selection::EdgeTrigger)->setVisible(shown.edgeTrigger);
    Group(Selection::EdgeDetection)->setVisible(shown.edgeDetection);
    Group(Selection::EdgeAB)->setVisible(shown.edgeAB);
    Group(Selection::TriggerLevel)->setVisible(shown.triggerLevel);
    Group(Selection::InputFilter)->setVisible(shown.inputFilter);
    entry_.CntPerRevBox()->setVisible(shown.countsPerRev);
    entry_.TeethBox()->setVisible(shown.teeth);

    QComboBox* aux1 = List(Selection::Aux1Source);
    if (IsInCarSensor(type)) {
        Group(Selection::TriggerLevel)->setEnabled(shown.triggerLevelEnabled);
        entry_.SetTeethEditable(shown.teethEditable);
    }
    if (!shown.aux1Enabled)
        aux1->setCurrentIndex(aux1->count() - 1);
    aux1->setEnabled(shown.aux1Enabled);
}

int SensorPanel::Selected(Selection selection) const {
    if (IsGroup(selection))
        return Group(selection)->ItemIndex();
    return List(selection)->currentIndex();
}

void SensorPanel::Select(Selection selection, int position) {
    if (IsGroup(selection)) {
        RadioGroup* group = Group(selection);
        if (group->Count() > 0)
            group->SetItemIndex(std::clamp(position, 0, group->Count() - 1));
    } else {
        QComboBox* list = List(selection);
        if (list->count() > 0)
            list->setCurrentIndex(std::clamp(position, 0, list->count() - 1));
    }
}

void SensorPanel::rgSensorTypeClick() {
    UpdateSensorControls();
}

void SensorPanel::rgCDMInputSelectionClick() {
    UpdateSensorControls();
}

void SensorPanel::rgCAInputSelectionClick() {
    UpdateSensorControls();
}

void SensorPanel::rgEdgeTriggerClick() {
    UpdateSensorControls();
}

void SensorPanel::rgEdgeDetectionClick() {
    UpdateSensorControls();
}

void SensorPanel::rgTriggerLevelClick() {
    UpdateSensorControls();
}

void SensorPanel::rgInputFilterClick() {
    UpdateSensorControls();
}

void SensorPanel::rgEncoderClick() {
    UpdateSensorControls();
    entry_.EncoderModeLimitUpdate(Selected(Selection::EncoderMode));
}

void SensorPanel::rgEdgeABClick() {
    UpdateSensorControls();
    entry_.EdgeABLimitUpdate(Selected(Selection::EdgeAB), Selected(Selection::EncoderMode));
}

} // namespace kronax
