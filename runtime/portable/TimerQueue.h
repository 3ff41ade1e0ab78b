#pragma once
// The forms' running timers, for a back-end whose platform has no timers of
// its own to hand a window: which are due, and which of them still run when
// their turn in a round of ticks comes. Portable: the back-end owns the
// clock and the windows, and names a window by a number of its own.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace forms {

class TimerQueue {
public:
    using Clock = std::chrono::steady_clock;
    using Owner = std::uintptr_t;

    // (Re)starts timer index of owner at now: its first tick is due one
    // interval later. An interval of 0 stops it, as a disabled timer.
    void Start(Owner owner, std::size_t index, std::chrono::milliseconds interval, Clock::time_point now);
    // Stops every timer of owner.
    void StopAll(Owner owner);
    bool Empty() const { return m_timers.empty(); }
    // When the next timer is due; nullopt when none runs.
    std::optional<Clock::time_point> NextDue() const;

    // Every timer due by now ticks once, however late, its next tick one
    // interval after this one was due (NextTickDue): a late timer never
    // ticks twice in a row to catch up. tick(owner, index) may stop or start
    // timers; one that an earlier tick of the round stopped or restarted is
    // not ticked in that round, since a restart makes it another timer, due
    // a whole interval after the restart.
    template <typename Tick>
    void TickDue(Clock::time_point now, Tick&& tick)
    {
        CollectDue(now);
        // By position: a tick that pumps a round of its own refills m_due.
        for (std::size_t next = 0; next < m_due.size(); ++next) {
            Owner owner {};
            std::size_t index = 0;
            if (TickIfStillRunning(m_due[next], owner, index))
                tick(owner, index);
        }
    }

private:
    struct Running {
        Owner owner;
        std::size_t index;
        std::chrono::milliseconds interval;
        Clock::time_point due;
        std::uint64_t serial; // new at every (re)start
    };

    void CollectDue(Clock::time_point now);
    bool TickIfStillRunning(std::uint64_t serial, Owner& owner, std::size_t& index) const;

    std::vector<Running> m_timers;
    // The serials due in the current round; kept from round to round, so
    // that a tick allocates nothing.
    std::vector<std::uint64_t> m_due;
    std::uint64_t m_lastSerial = 0;
};

} // namespace forms
