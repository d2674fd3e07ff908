#include "options/show_option.h"

#include <algorithm>

namespace vornset {
namespace {

struct FormWord {
    std::string_view word;
    Form form;
};

constexpr FormWord FORMS[] = {
    {"profiles", Form::profiles},
    {"options", Form::options},
    {"json", Form::json},
    {"changes", Form::changes},
};

const FormWord* formAskedFor(std::string_view argument)
{
    std::string_view value;
    if (!param(SHOW_KEY, value, argument))
        return nullptr;
    auto form = std::find_if(std::begin(FORMS), std::end(FORMS), [value](const FormWord& f) { return f.word == value; });
    return form == std::end(FORMS) ? nullptr : form;
}

} // namespace

ShownForms shownForms(Arguments options)
{
    ShownForms shown;
    for (const char* option : options) {
        const FormWord* asked = formAskedFor(option);
        if (asked != nullptr && !shown.asks(asked->form))
            shown.forms[shown.count++] = asked->form;
    }
    return shown;
}

std::optional<Refusal> checkShowOption(Arguments options)
{
    bool valid = std::all_of(options.begin(), options.end(), [](const char* option) {
        return !carries(option, SHOW_KEY) || formAskedFor(option) != nullptr;
    });
    return valid ? std::nullopt
                 : std::optional<Refusal>(Refusal{SHOW_KEY, "show, only profiles, options, json and changes are valid"});
}

bool onlyShows(Arguments options)
{
    return !options.empty()
        && std::all_of(options.begin(), options.end(), [](const char* option) { return formAskedFor(option) != nullptr; });
}

} // namespace vornset
