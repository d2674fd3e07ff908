#pragma once

#include <cstdint>

namespace vornset {

// The time as a run sees it while it waits for a lock: the platform's own clock, or
// one the tests turn by hand so that a wait of seconds takes none.
class Clock {
public:
    // Milliseconds from some fixed moment, never going back.
    virtual std::int64_t now() = 0;
    virtual void sleep(int milliseconds) = 0;

protected:
    ~Clock() = default;
};

} // namespace vornset
