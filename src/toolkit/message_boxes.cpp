#include "toolkit/message_boxes.h"

#include "app/title.h"

#include <QApplication>
#include <QMessageBox>

namespace toolkit {
namespace {

/// Where reports and plain messages go instead of a box, when set.
struct Sinks
{
    MessageSink error;
    MessageSink plain;
};

Sinks &sinks()
{
    static Sinks installed;
    return installed;
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
    if (sinks().error)
        sinks().error(text);
    else
        showBox(QMessageBox::Critical, applicationTitle(), text);
}

void showPlainMessage(const QString &text)
{
    if (sinks().plain)
        sinks().plain(text);
    else
        showBox(QMessageBox::NoIcon, QStringLiteral("Erreur"), text);
}

void setErrorSink(MessageSink sink)
{
    sinks().error = std::move(sink);
}

void setPlainMessageSink(MessageSink sink)
{
    sinks().plain = std::move(sink);
}

} // namespace toolkit
