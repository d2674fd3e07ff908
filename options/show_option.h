#pragma once

#include "options/entry.h"
#include "settings/refusal.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>

namespace vornset {

enum class Form { profiles, options, json, changes };

// The forms the options ask for, each once, in the order first asked.
struct ShownForms {
    std::array<Form, 4> forms{};
    std::size_t count = 0;

    std::span<const Form> asked() const { return std::span(forms).first(count); }
    bool asks(Form form) const { return std::find(forms.begin(), forms.begin() + count, form) != forms.begin() + count; }
};

ShownForms shownForms(Entries options);

// The pass runs after every settings pass and refuses any other value.
std::optional<Refusal> checkShowOption(Entries options);

// A run whose every option is a valid "show=" only reads the image.
bool onlyShows(Entries options);

} // namespace vornset
