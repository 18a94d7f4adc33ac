// Figures the benchmarks share: the median of their runs and the longest stall of the GUI thread.
#ifndef BENCHFIGURES_H
#define BENCHFIGURES_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

// The median of `values`; -1 for none.
template <typename Values> double median(Values values)
{
    std::sort(values.begin(), values.end());
    const auto n = values.size();
    if (n == 0)
        return -1;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The longest gap between the ticks of a 5 ms GUI timer, from its construction on: what an
// operator would feel as the screen standing still.
class StallWatch
{
public:
    StallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_sinceTick.start();
        m_timer.start();
    }
    // The gap up to now counts too: a stall that has not ended yet is the longest of all.
    double longestMs()
    {
        tick();
        return double(m_longestNs) / 1e6;
    }

private:
    void tick()
    {
        m_longestNs = std::max(m_longestNs, m_sinceTick.nsecsElapsed()), m_sinceTick.restart();
    }

    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longestNs = 0;
};

#endif
