#include "platform/native_clock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace vornset {

#ifdef _WIN32
std::int64_t NativeClock::now()
{
    return static_cast<std::int64_t>(GetTickCount64());
}

void NativeClock::sleep(int milliseconds)
{
    Sleep(static_cast<DWORD>(milliseconds));
}
#else
std::int64_t NativeClock::now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void NativeClock::sleep(int milliseconds)
{
    timespec interval{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000 * 1000};
    nanosleep(&interval, nullptr);
}
#endif

} // namespace vornset
