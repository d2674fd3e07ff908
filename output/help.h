#pragma once

#include "output/output.h"

#include <string_view>

namespace vornset {

// Where users find the tool; the help banner and the version error both point there.
inline constexpr std::string_view projectAddress = "https://vornset.example.org";

void printHelp(Output& out);

// The tool's version, from the build, and its licence.
void printVersion(Output& out);

} // namespace vornset
