#pragma once

#include "form/FormDesign.h"
#include "form/FormView.h"

#include <string>

namespace kronax {

// What a view tells the form: the operator's edits, clicks and commands, and the window's own
// events. The form implements it; every call is made on the user-interface thread, and none
// raises (a failure is shown, never thrown back into the toolkit).
class IFormEvents {
public:
    virtual ~IFormEvents() = default;

    // The operator changed an entry field's text to text (UTF-8).
    virtual void FieldEdited(ControlId field, const std::string& text) = 0;
    // The operator selected item index of a radio group or of an AUX or DI list.
    virtual void SelectionClicked(ControlId control, int index) = 0;
    // The operator picked entry index of the port list.
    virtual void PortPicked(int index) = 0;
    // The port list is about to drop down: the form lists the present ports anew.
    virtual void PortListDroppingDown() = 0;
    // btnStart, btnStatus or btnWriteToKronax was clicked, or Enter pressed the default button.
    virtual void ButtonClicked(ControlId button) = 0;
    // A menu item or its shortcut.
    virtual void CommandChosen(FormCommand command) = 0;
    // Recent file index (from 0) of the File menu.
    virtual void RecentFileChosen(int index) = 0;
    // A double click on Image1 or on gbDebug's frame.
    virtual void DoubleClicked(ControlId control) = 0;
    virtual void TimerTicked(FormTimer timer) = 0;
    // The system says a device arrived or left: the form looks at the present ports.
    virtual void DevicesChanged() = 0;
    // The shown window has painted for the first time.
    virtual void FirstPainted() = 0;
    // The operator asks to close the window; true when it may close.
    virtual bool CloseRequested() = 0;
};

} // namespace kronax
