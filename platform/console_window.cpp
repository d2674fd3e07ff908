#include "platform/console_window.h"

#ifdef _WIN32
#include <cwchar>
#include <windows.h>
#include <tlhelp32.h>
#endif

namespace vornset {

bool ownsItsConsoleWindow(const ConsoleFacts& facts)
{
    return facts.processes == 1 && facts.inputIsConsole && facts.outputIsConsole && facts.startedByExplorer;
}

#ifdef _WIN32
namespace {

bool isConsole(DWORD standardHandle)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

// The process with the given number in a snapshot of all of them, if it is there.
bool findProcess(HANDLE snapshot, DWORD number, PROCESSENTRY32W& entry)
{
    entry.dwSize = sizeof entry;
    for (bool more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ProcessID == number)
            return true;
    return false;
}

bool parentIsExplorer()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry{};
    bool explorer = findProcess(snapshot, GetCurrentProcessId(), entry)
        && findProcess(snapshot, entry.th32ParentProcessID, entry) && _wcsicmp(entry.szExeFile, L"explorer.exe") == 0;
    CloseHandle(snapshot);
    return explorer;
}

} // namespace

ConsoleFacts consoleFacts()
{
    // Room for two is enough to tell one process from more.
    DWORD processes[2];
    return {static_cast<unsigned>(GetConsoleProcessList(processes, 2)), isConsole(STD_INPUT_HANDLE),
            isConsole(STD_OUTPUT_HANDLE), parentIsExplorer()};
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
