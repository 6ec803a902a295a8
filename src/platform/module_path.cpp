#include "platform/module_path.h"

#include <QCoreApplication>
#include <QFile>

#include <climits>
#include <unistd.h>

namespace {

QByteArray &pathOverride()
{
    static QByteArray path;
    return path;
}

} // namespace

QByteArray executablePath()
{
    if (!pathOverride().isEmpty())
        return pathOverride();
    QByteArray path(PATH_MAX, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), size_t(path.size()));
    if (length > 0 && length < path.size()) {
        path.truncate(length);
        return path;
    }
    // Without /proc the toolkit still knows the path, once an application object exists.
    if (QCoreApplication::instance())
        return QFile::encodeName(QCoreApplication::applicationFilePath());
    return {};
}

void setExecutablePathOverride(const QByteArray &path)
{
    pathOverride() = path;
}
