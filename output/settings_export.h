#pragma once

#include "output/output.h"
#include "image/config_block.h"
#include "settings/fields.h"

namespace vornset {

// Prints the block's settings as a settings file that load= reads back: a comment
// line, the thirteen global options in the help screen's order, then each profile's
// section. A stored value that no option gives, and a name that a line cannot carry,
// is written as a comment instead, with a warning on err that loading leaves it.
void printSettingsAsOptions(const ConfigBlock& block, Output& out, Output& err);

// Prints the block's settings as one JSON document with a fixed order of keys: the
// form's version, the configuration version, the settings and each profile as
// options give them (null where none can, with a warning on err), and every field's
// stored bytes.
void printSettingsAsJson(const ConfigBlock& block, Output& out, Output& err);

// Prints a line for each field whose value an edit changed from before to after, in
// the order of the settings as options, or "no changes".
void printChanges(const ConfigBlock& before, const ConfigBlock& after, Output& out);

// What the comment says in place of a field that a settings file cannot carry:
// "btdrv: stored value 127 has no option value".
void printNotCarried(const Field& field, Output& out);

// Whether a line of a settings file can carry the field's value.
bool carriedAsOption(const Field& field);

} // namespace vornset
