#include "toolkit/error_report.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {
namespace {

MessageSink &errorSink()
{
    static MessageSink sink;
    return sink;
}

MessageSink &plainSink()
{
    static MessageSink sink;
    return sink;
}

void showBox(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    // A lesson's name is shown as it is, never taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

QString errorReportText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void reportError(const QString &message)
{
    reportError(message, QString());
}

void reportError(const QString &message, const QString &detail)
{
    QString text = errorReportText(message);
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    if (errorSink())
        errorSink()(text);
    else
        showBox(QMessageBox::Critical, applicationTitle(), text);
}

void showPlainMessage(const QString &text)
{
    if (plainSink())
        plainSink()(text);
    else
        showBox(QMessageBox::NoIcon, QStringLiteral("Erreur"), text);
}

void setErrorSink(MessageSink sink)
{
    errorSink() = std::move(sink);
}

void setPlainMessageSink(MessageSink sink)
{
    plainSink() = std::move(sink);
}

} // namespace platform
