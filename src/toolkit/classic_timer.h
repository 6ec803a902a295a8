#pragma once

#include <QObject>
#include <QTimer>

namespace toolkit {

/// A millisecond timer as the timer component of the classic Windows desktop toolkits behaves, an
/// enabled flag and an interval instead of start and stop: enabling starts a countdown, disabling
/// cancels it, a new interval restarts a running count, and setting a value it already has changes
/// nothing (QTimer restarts on every start() and setInterval()).
class ClassicTimer : public QObject
{
    Q_OBJECT

public:
    explicit ClassicTimer(int interval, QObject *parent = nullptr);

    bool enabled() const { return m_enabled; }
    int interval() const { return m_interval; }
    void setEnabled(bool enabled);
    void setInterval(int interval);
    /// Whether a countdown is under way (enabled with an interval above 0).
    bool isCounting() const { return m_timer.isActive(); }
    /// Milliseconds until the next tick, or -1 when none is due.
    int remainingTime() const { return m_timer.remainingTime(); }

signals:
    /// Every interval milliseconds while enabled.
    void timeout();

private:
    void restart();

    QTimer m_timer;
    bool m_enabled = false;
    int m_interval;
};

} // namespace toolkit
