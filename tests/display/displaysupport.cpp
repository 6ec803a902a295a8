#include "displaysupport.h"

#include "toolkit/error_report.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QWidget>

BoxWatcher::BoxWatcher(int answerAfterMs) : m_answerAfterMs(answerAfterMs)
{
    connect(&m_poll, &QTimer::timeout, this, &BoxWatcher::look);
    m_poll.start(10);
}

QStringList BoxWatcher::texts() const
{
    QStringList list;
    for (const SeenBox &box : seen)
        list.append(box.text);
    return list;
}

void BoxWatcher::look()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (!box || !box->isVisible() || m_known.contains(box))
            continue;
        m_known.append(box);
        seen.append({box->icon(), box->windowTitle(), box->text()});
        if (m_onShown)
            m_onShown(box);
        QPointer<QMessageBox> guard(box);
        QTimer::singleShot(m_answerAfterMs, this, [guard] {
            if (guard && guard->isVisible())
                QTest::mouseClick(guard->button(QMessageBox::Ok), Qt::LeftButton);
        });
    }
    // A box object may be reused at the same address once the first is gone.
    m_known.removeIf(
        [](QMessageBox *box) { return !QApplication::topLevelWidgets().contains(box); });
}

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

QPoint screenPoint(const QWidget *widget, QPoint local)
{
    return widget->mapToGlobal(local);
}

void showRealBoxes()
{
    platform::setErrorSink({});
    platform::setPlainMessageSink({});
}
