#include "platform/module_path.h"

#include <QCoreApplication>
#include <QFile>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QByteArray &pathOverride()
{
    static QByteArray path;
    return path;
}

QByteArrayList &directoriesOverride()
{
    static QByteArrayList directories;
    return directories;
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

QByteArrayList installedBinDirectories()
{
    if (!directoriesOverride().isEmpty())
        return directoriesOverride();
    return {QByteArrayLiteral(HANLEXO_INSTALL_BINDIR), QByteArrayLiteral(HANLEXO_PACKAGE_BINDIR)};
}

void setInstalledBinDirectoriesOverride(const QByteArrayList &directories)
{
    directoriesOverride() = directories;
}

bool runsFromInstalledBinDirectory()
{
    const QByteArray executable = executablePath();
    struct stat here
    {
    };
    if (stat(executable.left(executable.lastIndexOf('/') + 1).constData(), &here) != 0)
        return false;
    for (const QByteArray &directory : installedBinDirectories()) {
        struct stat installed
        {
        };
        if (stat(directory.constData(), &installed) == 0 && installed.st_dev == here.st_dev
            && installed.st_ino == here.st_ino)
            return true;
    }
    return false;
}

} // namespace platform
