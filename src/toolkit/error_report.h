#pragma once

#include "platform/app_error.h"

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <type_traits>

namespace platform {

/// The application title: task-bar caption and title of every error report.
inline QString applicationTitle()
{
    return QStringLiteral("Hanlexo - vocab");
}

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

/// Runs a handler; an error that escapes it is reported and the event loop goes on. Every handler
/// is called through here so that no exception unwinds through the toolkit's frames.
template<typename Handler> void guarded(Handler &&handler) noexcept
{
    try {
        handler();
    } catch (const AppError &error) {
        reportError(error.message());
    } catch (const std::exception &error) {
        reportError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportError(QStringLiteral("Erreur inattendue"));
    }
}

/// Connects signal to handler, which runs through guarded(); handler takes the signal's arguments,
/// or none.
template<typename Sender, typename Signal, typename Handler>
QMetaObject::Connection connectGuarded(Sender *sender, Signal signal, const QObject *context,
                                       Handler handler)
{
    return QObject::connect(sender, signal, context, [handler](const auto &...arguments) {
        if constexpr (std::is_invocable_v<const Handler &, decltype(arguments)...>)
            guarded([&] { handler(arguments...); });
        else
            guarded(handler);
    });
}

} // namespace platform
