#pragma once

#include <QByteArray>
#include <QString>

class QListWidgetItem;

/// The file name a lesson item opens, as the directory enumeration gave it (the caption shown may
/// have lost bytes that are not text).
QByteArray lessonFileName(const QListWidgetItem *item);

/// The line that names a lesson under a failure's message: « name.txt ».
QString lessonNameLine(const QByteArray &name);
