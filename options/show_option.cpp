#include "options/show_option.h"

#include "console/profiles.h"
#include "options/refusal.h"
#include "options/settings_export.h"

#include <algorithm>

namespace vornset {
namespace {

struct Form {
    std::string_view value;
    void (*print)(const ConfigBlock& block, Output& out);
};

constexpr Form FORMS[] = {
    {"profiles", printProfiles},
    {"options", printSettingsAsOptions},
    {"json", printSettingsAsJson},
};

const Form* formAskedFor(const char* argument)
{
    std::string_view value;
    if (!param(SHOW_KEY, value, argument))
        return nullptr;
    auto form = std::find_if(std::begin(FORMS), std::end(FORMS), [value](const Form& f) { return f.value == value; });
    return form == std::end(FORMS) ? nullptr : form;
}

} // namespace

bool checkShowOption(Arguments options, Output& out)
{
    return forEachValue(SHOW_KEY, options, [&](std::string_view value) {
        return std::any_of(std::begin(FORMS), std::end(FORMS), [value](const Form& f) { return f.value == value; })
            || refuse("show, only profiles, options and json are valid", out);
    });
}

bool onlyShows(Arguments options)
{
    return !options.empty() && std::all_of(std::begin(options), std::end(options), formAskedFor);
}

void printShownForms(const ConfigBlock& block, Arguments options, bool afterOtherText, Output& out)
{
    for (std::size_t i = 0; i < options.size(); ++i) {
        const Form* form = formAskedFor(options[i]);
        auto earlier = options.first(i);
        auto askedBefore = [form](const char* option) { return formAskedFor(option) == form; };
        if (form == nullptr || std::any_of(earlier.begin(), earlier.end(), askedBefore))
            continue;
        if (afterOtherText)
            out << "\n";
        form->print(block, out);
        afterOtherText = true;
    }
}

} // namespace vornset
