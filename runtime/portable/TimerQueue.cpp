#include "TimerQueue.h"

#include "TimerSchedule.h"

#include <algorithm>

namespace forms {

void TimerQueue::Start(Owner owner, std::size_t index, std::chrono::milliseconds interval, Clock::time_point now)
{
    std::erase_if(m_timers, [&](const Running& t) { return t.owner == owner && t.index == index; });
    if (interval <= std::chrono::milliseconds::zero())
        return;
    m_timers.push_back(Running { owner, index, interval, now + interval, ++m_lastSerial });
}

void TimerQueue::StopAll(Owner owner)
{
    std::erase_if(m_timers, [&](const Running& t) { return t.owner == owner; });
}

std::optional<TimerQueue::Clock::time_point> TimerQueue::NextDue() const
{
    if (m_timers.empty())
        return std::nullopt;
    return std::min_element(m_timers.begin(), m_timers.end(),
        [](const Running& a, const Running& b) { return a.due < b.due; })->due;
}

void TimerQueue::CollectDue(Clock::time_point now)
{
    m_due.clear();
    for (Running& timer : m_timers) {
        if (timer.due > now)
            continue;
        m_due.push_back(timer.serial);
        timer.due = NextTickDue(timer.due, timer.interval, now);
    }
}

// The timer started as serial, unless a tick before it in this round
// stopped or restarted it.
bool TimerQueue::TickIfStillRunning(std::uint64_t serial, Owner& owner, std::size_t& index) const
{
    auto timer = std::find_if(m_timers.begin(), m_timers.end(), [&](const Running& t) { return t.serial == serial; });
    if (timer == m_timers.end())
        return false;
    owner = timer->owner;
    index = timer->index;
    return true;
}

} // namespace forms
