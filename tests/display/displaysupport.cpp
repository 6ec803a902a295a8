#include "displaysupport.h"
#include "toolkit/message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <algorithm>

namespace {

constexpr char seenMark[] = "hanlexoBoxSeen";

} // namespace

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
        // Marked on the object itself: a later box may be made at the same address.
        if (!box || !box->isVisible() || box->property(seenMark).toBool())
            continue;
        box->setProperty(seenMark, true);
        seen.append({box->icon(), box->windowTitle(), box->text()});
        if (m_onShown)
            m_onShown(box);
        QPointer<QMessageBox> guard(box);
        QTimer::singleShot(m_answerAfterMs, this, [guard] {
            if (guard && guard->isVisible())
                QTest::mouseClick(guard->button(QMessageBox::Ok), Qt::LeftButton);
        });
    }
}

bool noBoxShown()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::none_of(windows.begin(), windows.end(), [](QWidget *widget) {
        return qobject_cast<QMessageBox *>(widget) && widget->isVisible();
    });
}

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(displayWaitMs) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

QPoint screenPoint(const QWidget *widget, QPoint local)
{
    return widget->mapToGlobal(local);
}

void showRealBoxes()
{
    toolkit::setErrorSink({});
    toolkit::setPlainMessageSink({});
}
