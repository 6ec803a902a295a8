#pragma once

#include <QString>

#include <functional>

namespace toolkit {

/// The error report's text: the message, with a full stop appended when its last character sorts
/// above ".".
QString errorReportText(const QString &message);

/// The top-level error report: a box with an error icon, OK and the application title.
void reportError(const QString &message);

/// The same report with a second line that says what failed (the lesson's name): the message
/// keeps its full stop rule, the line is shown as it is.
void reportError(const QString &message, const QString &detail);

/// A plain box for the learner's own mistakes: OK only, no icon, the platform's default title.
void showPlainMessage(const QString &text);

using MessageSink = std::function<void(const QString &text)>;

/// Sends reported errors (already with their full stop) to sink instead of a box; empty restores
/// it.
void setErrorSink(MessageSink sink);

/// Sends plain messages to sink instead of a box; empty restores the box.
void setPlainMessageSink(MessageSink sink);

} // namespace toolkit
