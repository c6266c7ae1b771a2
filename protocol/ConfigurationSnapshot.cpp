#include "protocol/ConfigurationSnapshot.h"

namespace kronax {

ConfigurationSnapshot TakeSnapshot(const IConfigurationView& view) {
    ConfigurationSnapshot snapshot;
    snapshot.configuration = view.Configuration();
    for (int i = 0; i < SelectionCount; ++i)
        snapshot.Selected(static_cast<Selection>(i)) = view.Selected(static_cast<Selection>(i));
    return snapshot;
}

ConfigurationSnapshot StartSnapshot() {
    ConfigurationSnapshot snapshot;
    for (int i = 0; i < SelectionCount; ++i)
        snapshot.Selected(static_cast<Selection>(i)) = StartPosition(static_cast<Selection>(i));
    return snapshot;
}

} // namespace kronax
