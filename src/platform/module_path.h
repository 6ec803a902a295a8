#pragma once

#include <QByteArray>

/// Full path of the running executable, as the system names it.
QByteArray executablePath();

/// Makes executablePath() answer path (empty restores the real one); for tests.
void setExecutablePathOverride(const QByteArray &path);
