#include "app/UnopenableFile.h"

#include <QFileInfo>

namespace kronax {

std::string UnopenableReason(const std::string& fileName) {
    const QFileInfo file(QString::fromLocal8Bit(fileName));
    if (!file.exists())
        return "it does not exist";
    if (file.isDir())
        return "it is a folder";
    if (!file.isFile())
        return "it is not a regular file";
    if (!file.isReadable())
        return "it cannot be read";
    return {};
}

} // namespace kronax
