#pragma once

#include "image/image_file.h"
#include "image/settings_files.h"
#include "output/output.h"
#include "settings/fields.h"
#include "settings/refusal.h"

#include <cstdint>
#include <string_view>

namespace vornset {

// The one line of a refusal: "Parameter error: ", where it was found, and why.
void printRefusal(const Refusal& refusal, Output& out);

// What went wrong with the image file, naming its path where the message does.
void printImageError(ImageError error, std::string_view path, Output& out);

void printVersionError(Output& out);

// A settings file that cannot be used: the fixed message, then, on standard error, why.
void printUnreadableSettings(std::string_view name, SettingsFiles::Fault fault, std::string_view reason, Output& out,
                             Output& err);

// Printed without a newline where an edit gives a profile a name: the closing
// message continues the line.
void printNameMark(Output& out);

// What an edit prints once it is written, or once a dry run has left it unwritten.
void printClosingMessages(Output& out);
void printNothingWritten(Output& out);

// Why an option does nothing, on standard error: it matches no key, with the key it
// may have meant where there is one; it is a key's name alone; it is empty; it is a
// profile's option without "prf=".
void warnNoSuchOption(std::string_view option, std::string_view meant, Output& err);
void warnNoValue(std::string_view key, Output& err);
void warnNoProfileChosen(std::string_view option, Output& err);
void warnEmptyArgument(Output& err);

// The warning for several "prf=" that choose different profiles: the profile options
// apply to the last one.
void warnProfileChosenTimes(int times, int profile, Output& err);

// The warning for a name longer than the field, with the bytes that are stored.
void warnNameCut(std::string_view stored, Output& err);

// What a settings file says in place of a field it cannot carry, and loading it
// understands: "btdrv: stored value 127 has no option value", or for a name
// "prfname: stored name holds a control character".
extern const std::string_view STORED_VALUE;
extern const std::string_view HAS_NO_OPTION_VALUE;
extern const std::string_view NAME_HOLDS_CONTROL;
void printNotCarried(const Field& field, Output& out);

// A field that a settings file or JSON cannot carry: loading the export leaves it
// as the target image has it. Where a file being loaded says so, its line is named,
// and its name where the run loads several.
void warnNotCarried(std::string_view file, int line, const Field& field, Output& err);

// Why a step on the image failed, on standard error: the system's words, or what
// the path names where that is no file.
void printImageReason(ImageError error, std::string_view path, std::string_view reason, Output& err);

// Why the edit's write failed, in the system's words, and what the image holds since.
void printWriteFailure(std::string_view path, std::string_view reason, Written written, Output& err);

// The system's limit on a file's size that refused the write before it started.
void printOverSizeLimit(std::string_view path, std::uint64_t limit, Output& err);

// While a lock that another program holds is waited for, and once the wait is given up.
void printWaitingForLock(std::string_view path, Output& err);
void printLockedByOther(std::string_view path, Output& err);

// Asks the user to press Enter before the console window closes.
void printPromptToClose(Output& out);

} // namespace vornset
