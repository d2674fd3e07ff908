#include "output/help.h"

#include "settings/settings.h"

#include <algorithm>

namespace vornset {

const std::string_view projectAddress = "https://vornset.example.org";

namespace {

// Spaces that take text of the given length to the width of its column.
void padding(std::size_t width, std::size_t length, Output& out)
{
    constexpr std::string_view spaces = "                                    ";
    if (length < width)
        out << std::string_view(spaces.data(), std::min(width - length, spaces.size()));
}

void padTo(std::size_t width, std::string_view text, Output& out)
{
    out << text;
    padding(width, text.size(), out);
}

// One row of the options table: the key, what it sets and the values it takes.
template <typename Setting>
void printOptionRow(const Setting& setting, Output& out)
{
    out << " ";
    padTo(8, setting.key, out);
    padTo(16, setting.sets, out);
    out << setting.values << "\n";
}

} // namespace

// The banner keeps the text that users of the boot manager know; the version that
// --version prints is the build's own. The options table is made from the settings'
// tables, in their order, which is the help screen's.

void printHelp(Output& out)
{
    out << "vornset 0.8 20100428 by the vornset developers, " << projectAddress << "\n\n"
           "Configure Vornik Boot Manager binary.\n\n"
           "Usage: vornset [OPTIONS] file\n\n"
           "Options:\n"
           "========\n"
           " PARAM   SET             VALUES\n";
    for (const GlobalSetting& setting : GLOBAL_SETTINGS)
        printOptionRow(setting, out);
    for (const ProfileSetting& setting : PROFILE_SETTINGS)
        printOptionRow(setting, out);
    out << "\n"
           "Examples:\n"
           "=========\n"
           " Print current values: vornset vornbm.bin\n"
           " Hidden boot with usb: vornset stm=hidden cnt=on cntval=1 dbt=usb vornbm.bin\n"
           "\n";
}

void printMoreHelp(Output& out)
{
    out << "More:\n"
           "=====\n";
    for (const RunSetting& setting : RUN_SETTINGS) {
        out << " " << setting.key << "=" << setting.usage;
        padding(36, setting.key.size() + 1 + setting.usage.size(), out);
        out << setting.does << "\n";
    }
    out << " --version                           print the version\n"
#ifdef _WIN32
           " vornset.txt (beside the exe)        the whole manual\n";
#else
           " man vornset                         the whole manual\n";
#endif
}

void printVersion(Output& out)
{
    out << "vornset " << VORNSET_VERSION << "\n"
           "Copyright (c) 2026 the vornset developers, MIT License\n";
}

} // namespace vornset
