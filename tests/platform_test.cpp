#include "output/messages.h"
#include "platform/console_window.h"
#include "platform/standard_streams.h"

#include "tests/string_output.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vornset {
namespace {

#ifndef _WIN32
// What a child started with the given standard descriptors closed finds after the
// set-up: each open, and each failing when used in its own direction.
int childWithClosed(std::initializer_list<int> closed)
{
    pid_t child = fork();
    if (child == 0) {
        for (int descriptor : closed)
            close(descriptor);
        prepareStandardStreams();
        char byte = 0;
        bool open = fcntl(0, F_GETFD) >= 0 && fcntl(1, F_GETFD) >= 0 && fcntl(2, F_GETFD) >= 0;
        bool inputFails = true, outputFails = true;
        for (int descriptor : closed) {
            if (descriptor == 0)
                inputFails = read(0, &byte, 1) < 0;
            else
                outputFails = outputFails && write(descriptor, &byte, 1) < 0;
        }
        struct sigaction pipe{};
        sigaction(SIGPIPE, nullptr, &pipe);
        _exit(open && inputFails && outputFails && pipe.sa_handler == SIG_IGN ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each descriptor on its own: the image's own move off 0 to 2 must not be what keeps
// it from a closed stream's number.
TEST(StandardStreams, EachClosedOneIsOpenedWhereUsingItFails)
{
    EXPECT_EQ(childWithClosed({0}), 0);
    EXPECT_EQ(childWithClosed({1}), 0);
    EXPECT_EQ(childWithClosed({2}), 0);
    EXPECT_EQ(childWithClosed({0, 1, 2}), 0);
    EXPECT_EQ(childWithClosed({}), 0);
}
#endif

// Only a window that Explorer opened for the tool alone waits for Enter: never one
// shared with a shell, nor a run whose input or output is redirected, nor one that a
// scheduled task started.
TEST(ConsoleWindow, WaitsOnlyInAWindowOfItsOwnThatExplorerOpened)
{
    const std::pair<ConsoleFacts, bool> cases[] = {
        {{1, true, true, true}, true},    {{2, true, true, true}, false},  {{3, true, true, true}, false},
        {{0, false, false, true}, false}, {{1, false, true, true}, false}, {{1, true, false, true}, false},
        {{1, true, true, false}, false},
    };
    for (auto [facts, waits] : cases)
        EXPECT_EQ(ownsItsConsoleWindow(facts), waits)
            << facts.processes << facts.inputIsConsole << facts.outputIsConsole << facts.startedByExplorer;
    testing::StringOutput out;
    printPromptToClose(out);
    EXPECT_EQ(out.text, "\nPress Enter to close this window.");
}

} // namespace
} // namespace vornset
