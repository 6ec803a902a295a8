#pragma once

#include <QString>

#include <exception>

namespace platform {

/// An error that leaves a handler and reaches the top-level report; carries the learner's text.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    { }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace platform
