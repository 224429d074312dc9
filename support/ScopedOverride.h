#pragma once

namespace support {

// A replaceable process seam (the clock, the screen's host, the port list, the operating-system
// version): each seam has a default, and a ScopedOverride puts another object in its place for
// its own lifetime, then restores the one before. The replacement holds for the calling thread
// only, so instruments served on several threads at once each keep their own clock and host.
//   support::RealClock clock;
//   support::ScopedOverride<support::Clock> use(clock);
//   support::ScopedOverride<support::Clock>::Current();   // &clock on this thread, else null
template <class T>
class ScopedOverride {
public:
    explicit ScopedOverride(T& replacement) : m_previous(Slot()) { Slot() = &replacement; }
    ~ScopedOverride() { Slot() = m_previous; }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

    // The replacement in force on this thread; null when the default holds.
    static T* Current() { return Slot(); }

private:
    static T*& Slot() {
        thread_local T* slot = nullptr;
        return slot;
    }

    T* m_previous;
};

}  // namespace support
