#pragma once

#include "protocol/DeviceConfiguration.h"
#include "protocol/OptionLists.h"

#include <cstdint>

namespace kronax {

// What decoding and encoding need of the place that shows the configuration: the main window,
// or a plain in-memory stand-in in tests and tools. All calls are made on the thread that owns the
// view: the window's UI thread, or the kronax worker thread that decodes into it.
class IConfigurationView {
public:
    virtual ~IConfigurationView() = default;

    virtual const DeviceConfiguration& Configuration() const = 0;

    // The selected position of a list, or -1 when none is selected.
    virtual int Selected(Selection selection) const = 0;

    // Stores the value in its field first, then writes it as decimal text into the field's entry
    // control; when that text changes, the control's entry rule runs as if the operator typed it.
    virtual void StoreNumber(NumberField field, std::int32_t value) = 0;

    // Selects a valid position of a list. A change runs the list's selection handler exactly as
    // an operator's click does; selecting the current position runs nothing.
    virtual void Select(Selection selection, int position) = 0;
};

} // namespace kronax
