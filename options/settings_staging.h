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
    ProfileEdits section;
    bool holdsSettings = false;
};

// Takes a global setting's value, a word exactly or a number as decimal digits alone.
std::optional<Refusal> stageGlobal(const GlobalSetting& setting, std::string_view value, Staging& staging);

// Takes a profile option's value: "prf" ends the section before and starts the
// profile's own; the other four need a section.
std::optional<Refusal> stageProfileValue(const ProfileSetting& setting, std::string_view value, Staging& staging);

// Ends the section of the profile at hand, keeping what it gave.
void closeSection(Staging& staging);

// Checks a JSON document as show=json prints it, edited or not.
std::optional<Refusal> stageJson(std::string_view text, Staging& staging);

} // namespace vornset
