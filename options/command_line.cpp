#include "options/command_line.h"

#include "options/global_options.h"
#include "options/profile_edits.h"
#include "options/settings_file.h"
#include "options/show_option.h"
#include "options/write_option.h"

#include <algorithm>

namespace vornset {
namespace {

bool isProfileField(std::string_view argument)
{
    return startsWithAny(argument, PROFILE_FIELD_KEYS);
}

bool isKnownOption(std::string_view argument)
{
    const std::string_view otherKeys[] = {PROFILE_KEY, SHOW_KEY, LOAD_KEY, WRITE_KEY};
    return isGlobalOption(argument) || isProfileField(argument) || startsWithAny(argument, otherKeys);
}

} // namespace

bool asksForHelp(std::string_view argument)
{
#ifdef _WIN32
    if (argument == "/?")
        return true;
#endif
    return argument == "--help" || argument == "-h";
}

bool asksForVersion(std::string_view argument)
{
    return argument == "--version";
}

bool refuseFlags(Arguments options, Output& out)
{
    auto flag = std::find_if(options.begin(), options.end(),
                             [](std::string_view option) { return option.starts_with('-'); });
    if (flag == options.end())
        return true;
    out << "Parameter error: " << Printable{*flag}
        << ", options are written key=value; run vornset without parameter to see help\n";
    return false;
}

void warnOfIgnoredOptions(Arguments options, Output& err)
{
    bool profileChosen = std::any_of(options.begin(), options.end(),
                                     [](std::string_view option) { return option.starts_with(PROFILE_KEY); });
    for (std::string_view option : options) {
        if (!isKnownOption(option))
            err << "vornset: warning: ignored " << Printable{option} << ": no such option\n";
        else if (isProfileField(option) && !profileChosen)
            err << "vornset: warning: ignored " << Printable{option} << ": no prf= given\n";
    }
}

} // namespace vornset
