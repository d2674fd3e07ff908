#include "console/console_window.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vornset {

bool ownsItsConsoleWindow(const ConsoleFacts& facts)
{
    return facts.processes == 1 && facts.inputIsConsole && facts.outputIsConsole;
}

void promptToClose(Output& out)
{
    out << "\nPress Enter to close this window.";
    out.flush();
}

#ifdef _WIN32
namespace {

bool isConsole(DWORD standardHandle)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

} // namespace

ConsoleFacts consoleFacts()
{
    // Room for two is enough to tell one process from more.
    DWORD processes[2];
    return {static_cast<unsigned>(GetConsoleProcessList(processes, 2)), isConsole(STD_INPUT_HANDLE),
            isConsole(STD_OUTPUT_HANDLE)};
}

void waitForEnter()
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char c = 0;
    DWORD count = 0;
    while (ReadFile(input, &c, 1, &count, nullptr) && count == 1 && c != '\n') {
    }
}
#endif

} // namespace vornset
