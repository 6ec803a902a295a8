#pragma once

#include <QByteArray>
#include <QByteArrayList>

namespace platform {

/// Full path of the running executable, as the system names it.
QByteArray executablePath();

/// Makes executablePath() answer path (empty restores the real one); for tests.
void setExecutablePathOverride(const QByteArray &path);

/// The directories the program is installed to, fixed at build time: the install prefix's bin
/// directory and the Debian package's.
QByteArrayList installedBinDirectories();

/// Makes installedBinDirectories() answer directories (empty restores the built-in ones); for
/// tests.
void setInstalledBinDirectoriesOverride(const QByteArrayList &directories);

/// Whether the running executable is in one of the installed bin directories (the same directory,
/// whatever links or doubled separators either path goes through).
bool runsFromInstalledBinDirectory();

} // namespace platform
