#include "form/FormDesign.h"

#include <iostream>

// Prints the design's controls that take the keyboard, one per line: the kind and the name a
// screen reader must hear, for the test that reads the running window as a screen reader does.
int main() {
    using kronax::ControlKind;
    for (const kronax::ControlDesign& control : kronax::FormControls()) {
        const char* kind = nullptr;
        switch (control.kind) {
        case ControlKind::EntryField:
            kind = "text";
            break;
        case ControlKind::DropDownList:
            kind = "combo box";
            break;
        case ControlKind::RadioGroup:
            kind = "radio group";
            break;
        case ControlKind::Button:
            kind = "push button";
            break;
        default:
            continue;
        }
        std::cout << kind << '\t' << control.accessibleName << '\n';
    }
}
