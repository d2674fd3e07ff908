#pragma once

#include "image/clock.h"

namespace vornset {

// The system's monotonic clock, and a sleep that really passes the time.
class NativeClock final : public Clock {
public:
    std::int64_t now() override;
    void sleep(int milliseconds) override;
};

} // namespace vornset
