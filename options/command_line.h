#pragma once

#include "options/param.h"
#include "settings/refusal.h"

#include <optional>
#include <string_view>

namespace vornset {

// Whether the one argument of a run asks for the help screen: "--help", "-h", or on
// Windows "/?".
bool asksForHelp(std::string_view argument);

// Whether the one argument of a run asks for the version: "--version".
bool asksForVersion(std::string_view argument);

// No key starts with "-", so an option that does is a flag the tool does not have:
// the refusal of the first such option.
std::optional<Refusal> refuseFlags(Arguments options);

// Why an option does nothing, where it does nothing, and the key most likely meant.
struct Ignored {
    enum Why { no, noSuchOption, noProfileChosen, noValue } why = no;
    std::string_view meant;
};

// Whether the option matches no key (and which key it may have meant), is a key's
// name without "=", or changes a profile that no "prf=" of the options chooses.
Ignored whyIgnored(std::string_view option, Arguments options);

// The key most likely meant by what was typed as one, or nothing: the only key that
// starts with it, or else the nearest within two letters, whatever their case.
std::string_view likelyKey(std::string_view typed);

// Only the last argument names the image: an option before it that matches no key
// but names an existing file is refused, since it was most likely meant as one.
template <typename IsFile>
std::optional<Refusal> refuseOtherImages(Arguments options, IsFile isFile)
{
    for (std::string_view option : options) {
        Ignored::Why why = whyIgnored(option, options).why;
        if ((why == Ignored::noSuchOption || why == Ignored::noValue) && isFile(option))
            return Refusal{option, "only the last parameter names the image", true};
    }
    return std::nullopt;
}

} // namespace vornset
