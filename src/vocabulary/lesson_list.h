#pragma once

#include <QByteArray>

class QListWidgetItem;

/// The file name a lesson item opens, as the directory enumeration gave it (the caption shown may
/// have lost bytes that are not text).
QByteArray lessonFileName(const QListWidgetItem *item);
