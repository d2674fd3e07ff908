#pragma once

#include "image/config_block.h"
#include "image/settings_files.h"
#include "settings/refusal.h"
#include "settings/settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vornset {

// Every key an option may have, as one number: the global settings by their rows,
// then the profile options, then the run's own keys.
using Key = std::uint8_t;
inline constexpr Key firstProfileKey = globalCount;
inline constexpr Key firstRunKey = firstProfileKey + profileFieldCount;
inline constexpr Key keyCount = firstRunKey + runKeyCount;

constexpr Key keyOf(ProfileField field)
{
    return static_cast<Key>(firstProfileKey + static_cast<Key>(field));
}

constexpr Key keyOf(RunKey field)
{
    return static_cast<Key>(firstRunKey + static_cast<Key>(field));
}

// The key's text, as options and settings files write it before "=".
std::string_view keyText(Key key);

// The key whose "key=" starts the text, the key the text is, and the key most likely
// meant by a word that is no key; keyCount where there is none.
Key keyCarriedBy(std::string_view text);
Key keyNamed(std::string_view text);
Key likelyOption(std::string_view typed);

// Why an option does nothing.
enum class Ignored : std::uint8_t {
    no,
    // It matches no key; its option names the key most likely meant, if any.
    noSuchOption,
    // It is a key's name without "=".
    noValue,
    // An argument with nothing in it.
    empty,
    // It changes a profile that no "prf=" of the command line chooses.
    noProfileChosen,
};

// One argument of the command line as it was read: the key it gives, or why it does
// nothing and the key most likely meant.
// Every member is given where an option is read, so that a store of them costs
// nothing until it is used.
struct Option {
    static constexpr Key none = keyCount;

    Key key;
    Key meant;
    Ignored why;
    // The platform could not hold the argument exactly in the text it was given in.
    bool inexact;
};

// The most options a run takes, more than any platform's command line holds but
// Linux's.
inline constexpr std::size_t mostOptions = 4096;

// The most settings the files of one run give: as many as the longest file holds,
// at six bytes to the shortest line ("prf=1" and its line end).
inline constexpr std::size_t mostFileSettings = 65536 / 6 + 1;

// A field that a file being loaded says it leaves as the image has it: an export
// wrote a comment, or null, where no value of its option gives what is stored.
struct NotCarried {
    Origin at;
    Key key;
    int profile; // 1 to 16, or 0 for a global setting
    // The stored value, or, for a name, none: it holds a control character.
    std::optional<unsigned> stored;
};

// What the settings files of a run give, field by field: the last value each file
// gives for it, which is all that loading them leaves.
struct FileSettings {
    struct Global {
        std::uint8_t code;
        Origin at;
    };
    struct Profile {
        std::optional<ConfigBlock::Name> name;
        std::optional<int> drive; // the middle digit of 80h..89h
        std::optional<int> partition;
        std::optional<int> logPart;

        std::optional<int>& number(ProfileField field)
        {
            return field == ProfileField::drive ? drive : field == ProfileField::partition ? partition : logPart;
        }
    };
    // Each held only once a file gives it, so that a plan is made without building
    // every origin it might hold.
    std::array<std::optional<Global>, globalCount> globals{};
    std::array<Profile, ConfigBlock::profileCount> profiles{};
    // How many settings the files gave, against mostFileSettings.
    std::size_t count = 0;
    std::array<std::optional<NotCarried>, 128> notCarried;
    std::size_t notCarriedCount = 0;

    // Counts one more setting: false past the most a run takes.
    bool counted() { return ++count <= mostFileSettings; }
    // Keeps a field that a file leaves alone; past the first 128 no more are kept.
    void leaves(const NotCarried& field)
    {
        if (notCarriedCount < notCarried.size())
            notCarried[notCarriedCount++] = field;
    }
};

extern const std::string_view TOO_MANY_SETTINGS;

// A file that gives no value to set, as an empty one that a failed export left,
// restores nothing, and is refused.
Refusal noSettings(int file);
static_assert(mostFileSettings == 10923);

// Every input of a run, read before the image is opened: what to show, whether to
// write, and every value with where it came from.
struct Plan {
    // The options, the arguments between the program's name and the image's path,
    // each as it was read.
    std::span<const char* const> arguments;
    std::array<Option, mostOptions> options;
    // The forms that show= asks for, each once, in the order first asked.
    std::array<Form, 4> shown{};
    std::size_t shownCount = 0;
    // The run changes the image, or would but for write=no, rather than only reading it;
    // it prints a form that another program reads.
    bool edit = false;
    bool dryRun = false;
    bool printsData = false;
    FileSettings files;
    // A settings file that could not be used, why, and the system's words where the
    // system refused it; or the first of their lines that is refused.
    struct Unreadable {
        std::string_view name;
        SettingsFiles::Fault fault;
        std::string_view reason;
    };
    std::optional<Unreadable> unreadable;
    std::optional<Refusal> refusal;

    // The options of one key, as positions among the options, in their order.
    std::span<const std::uint16_t> valuesOf(Key key) const
    {
        return std::span(byKey_).subspan(keyStart_[key], keyStart_[key + 1] - keyStart_[key]);
    }
    std::span<const Form> forms() const { return std::span(shown).first(shownCount); }
    bool shows(Form form) const;
    // The argument at a position among the options, and its value after "=".
    std::string_view text(std::size_t position) const { return arguments[position]; }
    std::string_view value(std::size_t position) const;
    // The settings files that load= names, and the name of the file'th, from 1.
    std::size_t loads() const { return valuesOf(keyOf(RunKey::load)).size(); }
    std::string_view loadName(int file) const;

    // Sorts the options by key, once they are all read.
    void sortByKey();

private:
    std::array<std::uint16_t, mostOptions> byKey_;
    std::array<std::uint16_t, keyCount + 3> keyStart_{};
};

} // namespace vornset
