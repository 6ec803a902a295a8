#pragma once

// What both start-up probes report once their window is shown, and how they stop: the same code
// in each, so that the bare window and the program are timed and counted alike.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace probe {

inline long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

/// Prints the monotonic clock in nanoseconds and the resident memory in kB, then quits.
inline void reportShownAndQuit()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("%lld %ld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                residentKilobytes());
    std::fflush(stdout);
    QApplication::quit();
}

/// Whether the probe was asked to stop at the window's first paint (for an instruction count)
/// rather than report the moment it is shown.
inline bool untilPainted(int argc, char *argv[])
{
    return argc > 1 && std::strcmp(argv[1], "--until-painted") == 0;
}

/// Reports, as reportShownAndQuit does, once window has been painted the first time, and quits:
/// the report is queued behind the paint of the whole window, which runs in one go. A window is
/// shown before its first text is measured, so only this moment compares the work of two windows
/// whose texts differ.
class QuitAfterFirstPaint : public QObject
{
public:
    explicit QuitAfterFirstPaint(QWidget *window) : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(qApp, &reportShownAndQuit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace probe
