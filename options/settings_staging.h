#pragma once

#include "options/settings_file.h"
#include "settings/settings.h"

#include <optional>
#include <string_view>

namespace vornset {

// A settings file as it is checked, text or JSON: where the value at hand stands, the
// profile whose section it is in and the values given for that profile so far.
struct Staging {
    StagedSettings& staged;
    Place place;
    // In a JSON document: the object the value is in, "settings." or "profiles.", and
    // the profile's position in the list.
    std::string_view within{};
    int item = 0;
    ProfileEdits section;
    bool holdsSettings = false;
};

// Takes a global setting's value, a word exactly or a number as decimal digits alone.
std::optional<Refusal> stageGlobal(const GlobalSetting& setting, std::string_view value, Staging& staging);

// Takes a profile option's value: "prf" ends the section before and starts the
// profile's own; the other four need a section. A name longer than the field is
// refused: a file restores exactly or not at all.
std::optional<Refusal> stageProfileValue(const ProfileSetting& setting, std::string_view value, Staging& staging);

// Ends the section of the profile at hand, keeping what it gave.
void closeSection(Staging& staging);

// Checks a JSON document as show=json prints it, edited or not.
std::optional<Refusal> stageJson(std::string_view text, Staging& staging);

} // namespace vornset
