#include "platform/windows_arguments.h"

#include <algorithm>
#include <iterator>
#include <windows.h>

namespace vornset {
namespace {

// A Windows command line holds at most 32767 characters, each of which takes at
// most three bytes in any code page, and at most half as many arguments.
char text[3 * 32768];
const char* pointers[32768 / 2 + 1];

UINT consoleCodePage()
{
    UINT codePage = GetConsoleOutputCP();
    return codePage != 0 ? codePage : GetACP();
}

// Appends one argument to the text, or an empty one where the text is full.
const char* narrow(const wchar_t* argument, UINT codePage, std::size_t& used)
{
    char* start = text + used;
    int room = static_cast<int>(sizeof text - used);
    // UTF-8 has no default character; every other code page gets "?" for what it
    // cannot hold exactly, rather than a look-alike: a name is stored as typed or not.
    bool utf8 = codePage == CP_UTF8;
    const char* replacement = utf8 ? nullptr : "?";
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int size = WideCharToMultiByte(codePage, flags, argument, -1, start, room, replacement, nullptr);
    if (size <= 0)
        return "";
    used += static_cast<std::size_t>(size);
    return start;
}

} // namespace

std::span<const char* const> narrowArguments(int count, wchar_t* arguments[])
{
    std::size_t total = std::min(static_cast<std::size_t>(count), std::size(pointers));
    std::size_t used = 0;
    for (std::size_t i = 0; i < total; ++i)
        pointers[i] = narrow(arguments[i], i + 1 == total && i > 0 ? consoleCodePage() : CP_ACP, used);
    return {pointers, total};
}

} // namespace vornset
