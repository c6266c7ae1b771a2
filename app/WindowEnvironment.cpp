#include "app/WindowEnvironment.h"

#include "config_file/SettingsLocation.h"
#include "exchange/SteadyTickSource.h"

#include <QCoreApplication>

namespace kronax {

FormEnvironment WindowEnvironment() {
    const std::string program = QCoreApplication::applicationFilePath().toLocal8Bit().toStdString();
    return {SettingsFilePath(program, UserSettingsFolder()), std::make_shared<SteadyTickSource>()};
}

} // namespace kronax
