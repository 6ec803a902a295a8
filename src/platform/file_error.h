#pragma once

#include <QString>

namespace platform {

/// The learner's text for a failed open or read, from the system's error number.
QString fileErrorText(int errorNumber);

/// The text for a lesson file whose length is odd.
QString readPastEndText();

} // namespace platform
