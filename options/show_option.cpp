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

const FormWord* formAskedFor(const Entry& option)
{
    if (option.kind != Entry::runKey || option.row != showRow)
        return nullptr;
    auto form = std::find_if(std::begin(FORMS), std::end(FORMS), [&option](const FormWord& f) { return f.word == option.value; });
    return form == std::end(FORMS) ? nullptr : form;
}

} // namespace

ShownForms shownForms(Entries options)
{
    ShownForms shown;
    for (const Entry& option : options) {
        const FormWord* asked = formAskedFor(option);
        if (asked != nullptr && !shown.asks(asked->form))
            shown.forms[shown.count++] = asked->form;
    }
    return shown;
}

std::optional<Refusal> checkShowOption(Entries options)
{
    return runPass(options, Entry::runKey, showRow, [](const Entry& option) -> std::optional<Refusal> {
        if (formAskedFor(option) != nullptr)
            return std::nullopt;
        return Refusal{SHOW_KEY, "show, only profiles, options, json and changes are valid"};
    });
}

bool onlyShows(Entries options)
{
    return !options.empty()
        && std::all_of(options.begin(), options.end(), [](const Entry& option) { return formAskedFor(option) != nullptr; });
}

} // namespace vornset
