#include "FormEnvironment.h"

#include "RememberedPort.h"
#include "SteadyTickSource.h"

#include <QCoreApplication>

namespace kronax {

FormEnvironment FormEnvironment::Default() {
    return {SettingsFileName(QCoreApplication::applicationFilePath().toLocal8Bit().toStdString()),
            std::make_shared<TSteadyTickSource>()};
}

} // namespace kronax
