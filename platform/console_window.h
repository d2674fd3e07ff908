#pragma once

namespace vornset {

// What Windows tells of the console a run is attached to, and of who started it.
struct ConsoleFacts {
    // How many processes the console has, this one included; 0 without a console.
    unsigned processes;
    bool inputIsConsole;
    bool outputIsConsole;
    bool startedByExplorer;
};

// Whether the console's window was opened by Explorer for this run alone, as for a
// double-click or a file dropped onto the exe, and closes with it. Started from a
// shell or a batch file it shares the console; with its input or output redirected
// it reads or writes elsewhere; started by a scheduled task it has a console of its
// own, but nobody to press Enter.
bool ownsItsConsoleWindow(const ConsoleFacts& facts);

#ifdef _WIN32
ConsoleFacts consoleFacts();

// Waits for Enter, or for the end of the input.
void waitForEnter();
#endif

} // namespace vornset
