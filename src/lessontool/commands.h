#pragma once

#include <QStringList>

namespace lessontool {

/// Runs hanlexo-lesson with its arguments (the program name first); returns the exit status:
/// 0 done, 1 done with lines passed over or lessons that do not load completely, 2 nothing done.
int runLessonTool(const QStringList &arguments);

} // namespace lessontool
