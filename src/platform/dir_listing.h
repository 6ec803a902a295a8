#pragma once

#include <QByteArray>
#include <QList>

namespace platform {

/// Names of the entries of dir matching "*.txt", letter case ignored, every kind of entry admitted
/// (hidden files and directories too), as raw bytes, sorted by name regardless of case.
QList<QByteArray> listTxtEntries(const QByteArray &dir = QByteArrayLiteral("."));

} // namespace platform
