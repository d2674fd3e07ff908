#pragma once

#include "output/output.h"
#include "image/config_block.h"
#include "settings/fields.h"

namespace vornset {

// Prints the thirteen global settings of the block, one labelled line each.
void printInfos(const ConfigBlock& block, Output& out);

// Prints a line for each field whose stored bytes an edit changed from before to
// after, in the order of the settings as options, or "no changes".
void printChanges(const ConfigBlock& before, const ConfigBlock& after, Output& out);

// A field's value as an option writes it: a word, a number, a drive as "81h", a
// name as it is; "stored N" where no option gives it.
void printOptionText(const Field& field, Output& out);

} // namespace vornset
