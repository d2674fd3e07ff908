#pragma once

#include "console/output.h"
#include "options/param.h"

namespace vornset {

inline constexpr std::string_view SHOW_KEY = "show=";

// "show=profiles" asks for the table of boot profiles after the run's other work.
// The pass runs after every settings pass and refuses any other value.
bool checkShowOption(Arguments options, Output& out);

bool showsProfiles(Arguments options);

// A run whose every option is "show=profiles" only reads the image.
bool onlyShowsProfiles(Arguments options);

} // namespace vornset
