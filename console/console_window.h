#pragma once

#include "console/output.h"

namespace vornset {

// What Windows tells of the console a run is attached to.
struct ConsoleFacts {
    // How many processes the console has, this one included; 0 without a console.
    unsigned processes;
    bool inputIsConsole;
    bool outputIsConsole;
};

// Whether the console's window was opened for this run alone, as when Explorer starts
// the tool by a double-click or a file dropped onto it, and closes with it. Started
// from a shell, a batch file or a task, or with its input or output redirected, it
// shares the console or reads and writes elsewhere.
bool ownsItsConsoleWindow(const ConsoleFacts& facts);

// Asks the user to press Enter before the window closes.
void promptToClose(Output& out);

#ifdef _WIN32
ConsoleFacts consoleFacts();

// Waits for Enter, or for the end of the input.
void waitForEnter();
#endif

} // namespace vornset
