#pragma once

#include "output/output.h"

namespace vornset {

// Prints, as one JSON object, what every option takes and how it is called: for the
// page, which builds its form from it.
void printOptionDescriptions(Output& out);

} // namespace vornset
