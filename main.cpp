// The program's entry on each platform: the standard streams, the image file and
// the settings files as the platform gives them, around one run.

#include "vornset.h"

#include "platform/native_clock.h"
#include "platform/native_file.h"
#include "platform/native_settings_files.h"
#include "platform/standard_streams.h"

#ifdef _WIN32
#include "output/messages.h"
#include "platform/console_window.h"
#include "platform/windows_arguments.h"
#endif

namespace {

// Standard output itself has failed, so the error stream is the one place left to
// say so. The run has flushed it already.
int finish(int status, const vornset::StandardOutput& out, vornset::StandardOutput& err)
{
    if (out.failed()) {
        err << "vornset: error writing to standard output\n";
        err.flush();
    }
    return status;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t* argv[])
{
    vornset::prepareStandardStreams();
    vornset::StandardOutput out(stdout);
    vornset::StandardOutput err(stderr);
    vornset::NativeFile file(argc > 1 ? argv[argc - 1] : L"");
    vornset::NativeClock clock;
    std::span<const char* const> arguments = vornset::narrowArguments(argc, argv);
    vornset::NativeSettingsFiles settings(arguments, argv);
    int status = finish(
        vornset::run(arguments, {file, settings, out, err, clock, nullptr, vornset::inexactArguments(argc)}), out, err);
    // Started from Explorer, the window would close before its text could be read.
    if (vornset::ownsItsConsoleWindow(vornset::consoleFacts())) {
        vornset::printPromptToClose(out);
        out.flush();
        vornset::waitForEnter();
    }
    return status;
}
#else
int main(int argc, char* argv[])
{
    vornset::prepareStandardStreams();
    vornset::StandardOutput out(stdout);
    vornset::StandardOutput err(stderr);
    vornset::NativeFile file(argc > 1 ? argv[argc - 1] : "");
    vornset::NativeClock clock;
    vornset::NativeSettingsFiles settings;
    std::span<const char* const> arguments{static_cast<const char* const*>(argv), static_cast<std::size_t>(argc)};
    return finish(vornset::run(arguments, {file, settings, out, err, clock}), out, err);
}
#endif
