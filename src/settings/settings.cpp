#include "settings/settings.h"

#include "platform/app_error.h"
#include "platform/file_replacement.h"
#include "platform/ini_file.h"
#include "platform/int_conversion.h"
#include "platform/module_path.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// The learner's configuration directory: $XDG_CONFIG_HOME when absolute, else ~/.config, the
/// home directory taken from the user database where $HOME is not set.
QByteArray configHome()
{
    QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    while (xdg.size() > 1 && xdg.endsWith('/'))
        xdg.chop(1);
    if (xdg.startsWith('/'))
        return xdg;
    QByteArray home = qgetenv("HOME");
    if (home.isEmpty()) {
        if (const passwd *user = getpwuid(geteuid()))
            home = user->pw_dir;
    }
    return home.isEmpty() ? QByteArray() : home + "/.config";
}

/// Where the settings go when the executable's directory cannot take them.
QByteArray userDirectory()
{
    const QByteArray config = configHome();
    return config.isEmpty() ? QByteArray() : config + "/hanlexo-vocab";
}

} // namespace

QByteArray Settings::builtPath()
{
    const QByteArray executable = platform::executablePath();
    const QByteArray directory = executable.left(executable.lastIndexOf('/') + 1);
    QByteArray beside = directory + '/' + fileName();
    // An installed program is shared by every user, root included: none writes beside it. A
    // portable copy keeps its file, unless its directory takes none.
    const bool installed = platform::runsFromInstalledBinDirectory();
    if (!installed
        && (access(beside.constData(), F_OK) == 0
            || (!directory.isEmpty() && access(directory.constData(), W_OK) == 0)))
        return beside;
    const QByteArray user = userDirectory();
    return user.isEmpty() ? beside : user + '/' + fileName();
}

int Settings::readInteger(QByteArrayView section, QByteArrayView key, int fallback) const
{
    const auto read = platform::ini::readValue(m_path, section, key);
    return platform::strToIntDef(read.ok() ? read.value().value_or(QByteArray()) : QByteArray(),
                                 fallback);
}

void Settings::writeInteger(QByteArrayView section, QByteArrayView key, int value) const
{
    // The per-user directory is made at the first write, never at start-up; nothing else is.
    const QByteArray directory = m_path.left(m_path.lastIndexOf('/'));
    // A failure is left to the write that follows, which reports it.
    if (!directory.isEmpty() && directory == userDirectory())
        (void)platform::makeDirectories(directory);
    if (!platform::ini::writeValue(m_path, section, key, QByteArray::number(value)).ok())
        throw platform::AppError(
            QString::fromUtf8("Impossible d'écrire dans %1").arg(QString::fromLocal8Bit(m_path)));
}
