#pragma once

#include <QString>

/// The application title: task-bar caption and title of every error report.
inline QString applicationTitle()
{
    return QStringLiteral("Hanlexo - vocab");
}
