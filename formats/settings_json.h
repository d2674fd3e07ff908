#pragma once

#include "image/config_block.h"
#include "options/plan.h"
#include "output/output.h"
#include "settings/refusal.h"

#include <optional>
#include <string_view>

namespace vornset {

// Prints the block's settings as one JSON document with a fixed order of keys: the
// form's version, the configuration version, the settings and each profile as
// options give them (null where none can, with a warning on err), and every field's
// stored bytes.
void printSettingsAsJson(const ConfigBlock& block, Output& out, Output& err);

// Reads a JSON document as printSettingsAsJson prints it, edited or not, into the
// plan: the "settings" by their option values, the "profiles" by their numbers. The
// whole document is checked as JSON (RFC 8259, in UTF-8, no key given twice in an
// object, nothing nested deeper than 16 levels below the root) before anything in it
// is used; then a key it does not know, or a value of the wrong kind or outside its
// option's values, is refused, the first in the document's order.
std::optional<Refusal> readSettingsJson(std::string_view text, int file, Plan& plan);

} // namespace vornset
