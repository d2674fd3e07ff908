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
bool inexact[std::size(pointers)];

UINT consoleCodePage()
{
    UINT codePage = GetConsoleOutputCP();
    return codePage != 0 ? codePage : GetACP();
}

// Appends one argument to the text, or an empty one where the text is full, and
// tells whether the code page held it exactly.
const char* narrow(const wchar_t* argument, UINT codePage, std::size_t& used, bool& exact)
{
    char* start = text + used;
    int room = static_cast<int>(sizeof text - used);
    // UTF-8 has no default character, and fails only on a lone surrogate; every
    // other code page gets "?" for what it cannot hold exactly, never a look-alike.
    bool utf8 = codePage == CP_UTF8;
    BOOL usedDefault = FALSE;
    int size = 0;
    if (utf8) {
        size = WideCharToMultiByte(codePage, WC_ERR_INVALID_CHARS, argument, -1, start, room, nullptr, nullptr);
        usedDefault = size <= 0 && GetLastError() == ERROR_NO_UNICODE_TRANSLATION;
        if (usedDefault)
            size = WideCharToMultiByte(codePage, 0, argument, -1, start, room, nullptr, nullptr);
    } else {
        size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, argument, -1, start, room, "?", &usedDefault);
    }
    exact = usedDefault == FALSE;
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
    for (std::size_t i = 0; i < total; ++i) {
        bool exact = true;
        pointers[i] = narrow(arguments[i], i + 1 == total && i > 0 ? consoleCodePage() : CP_ACP, used, exact);
        inexact[i] = !exact;
    }
    return {pointers, total};
}

std::span<const bool> inexactArguments(int count)
{
    return std::span(inexact).first(std::min(static_cast<std::size_t>(count), std::size(inexact)));
}

} // namespace vornset
