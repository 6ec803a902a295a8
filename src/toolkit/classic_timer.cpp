#include "toolkit/classic_timer.h"

namespace toolkit {

ClassicTimer::ClassicTimer(int interval, QObject *parent) : QObject(parent), m_interval(interval)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ClassicTimer::timeout);
}

void ClassicTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    restart();
}

void ClassicTimer::setInterval(int interval)
{
    if (interval == m_interval)
        return;
    m_interval = interval;
    restart();
}

void ClassicTimer::restart()
{
    // An interval of 0 would make QTimer fire on every pass of the event loop: classic timers idle.
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

} // namespace toolkit
