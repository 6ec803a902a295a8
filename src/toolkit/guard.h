#pragma once

#include "platform/app_error.h"
#include "toolkit/message_boxes.h"

#include <QObject>
#include <QString>

#include <exception>
#include <type_traits>

namespace toolkit {

/// Runs a handler; an error that escapes it is reported and the event loop goes on. Every handler
/// is called through here so that no exception unwinds through the toolkit's frames.
template<typename Handler> void guarded(Handler &&handler) noexcept
{
    try {
        handler();
    } catch (const platform::AppError &error) {
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

} // namespace toolkit
