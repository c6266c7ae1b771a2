#include "app/FormEnvironment.h"

#include "config_file/RememberedPort.h"
#include "link/SteadyTickSource.h"

#include <QCoreApplication>

namespace kronax {

FormEnvironment FormEnvironment::Default() {
    return {SettingsFileName(QCoreApplication::applicationFilePath().toLocal8Bit().toStdString()),
            std::make_shared<TSteadyTickSource>()};
}

} // namespace kronax
