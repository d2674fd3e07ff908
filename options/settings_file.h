#pragma once

#include "image/config_block.h"
#include "image/settings_files.h"
#include "options/entry.h"
#include "options/param.h"
#include "options/profile_edits.h"
#include "options/show_option.h"
#include "options/write_option.h"
#include "settings/fields.h"
#include "settings/refusal.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vornset {

// Where a setting was given in the settings files: the file's position among the
// run's "load=" options, from 1, and its line. A file of 0 gave nothing.
struct Place {
    int file = 0;
    int line = 0;
};

// A field that an export could not carry and wrote as a comment, found where a file
// being loaded says so, as the export saw it: its key as the tables spell it, its
// profile, and the stored value the comment gives, or the name kind for a name.
struct NotCarried {
    Place place;
    Field field;
};

// The most settings the files of one run give: as many as the longest file holds,
// at six bytes to the shortest line ("prf=1" and its line end). Past it the run is
// refused.
inline constexpr std::size_t mostFileSettings = 65536 / 6 + 1;

// What the run's settings files give, checked before the image is opened, one entry
// a setting in the files' order, to be applied to it once it is read: a later line
// overrides an earlier one. The entries stay valid until the next run's files are read.
struct StagedSettings {
    std::size_t count = 0;
    // Whether any file was read at all.
    bool loaded = false;
    // The fields the files say they leave as the image has them; past the first 128
    // no more are kept.
    std::array<NotCarried, 128> notCarried{};
    std::size_t notCarriedCount = 0;

    Entries entries() const;
};

// Every settings file of a run, read whole, or the first that could not be read or
// holds a line that is refused; after that one no file is read.
struct LoadedSettings {
    StagedSettings staged;
    // The file that could not be used, why, and the system's words where it refused it.
    struct Unreadable {
        std::string_view name;
        SettingsFiles::Fault fault;
        std::string_view reason;
    };
    std::optional<Unreadable> unreadable;
    std::optional<Refusal> refusal;
};

// Reads the settings files that the options name, in their order: a file by its
// path, or standard input for "-".
LoadedSettings readSettingsFiles(Entries options, SettingsFiles& files);

// Checks the text of one settings file, the file'th of the run, line by line, and
// gathers its settings. Every line is checked as the command line is, but strictly:
// a line that is no option is refused too.
std::optional<Refusal> stageSettings(std::string_view text, int file, StagedSettings& staged);

// How many settings files the options name, and the name of the file'th, from 1.
std::size_t settingsFileCount(Entries options);
std::string_view settingsFileName(Entries options, int file);

// Writes what the files give into the block.
void applyStagedSettings(const StagedSettings& staged, ConfigBlock& block);

} // namespace vornset
