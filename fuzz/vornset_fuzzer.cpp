// Runs one whole invocation of the tool per input, on an in-memory image whose file
// steps may fail, and checks what must hold whatever the input: a known exit
// status, only the tool's own texts, no change to the image after a refusal, and
// after an edit no change outside the fields the options name, and a warning on
// standard error for each option that did nothing.
//
// An input is text, so that the seeds can be read and written by hand:
//
//   LENGTH FAILING-STEP VERSION      the image's length, which file step fails (0 = none,
//                                    1-7 a step, 8 = not a regular file, 9 = read-only,
//                                    10 = replaced once while locking, 11 = replaced each
//                                    time, 12 = a socket)
//   argument                         one line per argument, the image path last;
//   ...                              no lines at all is a run without arguments
//   <empty line>
//   bytes                            laid over the image from the configuration block on,
//                                    and the text of every settings file that load= names
//                                    but "missing"
//
// Every image of the right version and length also goes through two checks of its own:
// its JSON is valid with the fixed keys, and its settings loaded into another image
// give that image every field that has an option value and change nothing else.

#include "tests/memory_file.h"
#include "tests/memory_settings_files.h"
#include "tests/string_output.h"
#include "vornset.h"

#include "image/config_block.h"
#include "output/help.h"
#include "output/output.h"
#include "output/profiles.h"
#include "formats/settings_json.h"
#include "formats/settings_text.h"
#include "output/report.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vornset::testing::MemoryFile;
using vornset::testing::StringOutput;

constexpr std::size_t blockOffset = 0x288;

struct Invocation {
    std::vector<std::string> arguments;
    std::vector<std::uint8_t> image;
    MemoryFile::Step failing = MemoryFile::Step::none;
    bool regular = true;
    bool allowsWriting = true;
    bool socket = false;
    int replacements = 0;
    std::string settingsText;
};

[[noreturn]] void broken(const char* invariant, const std::string& output)
{
    std::fprintf(stderr, "invariant broken: %s\noutput:\n%s\n", invariant, output.c_str());
    std::abort();
}

std::string_view nextLine(std::string_view& text)
{
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

Invocation decode(std::string_view text)
{
    std::string control(nextLine(text));
    unsigned long length = 0, step = 0, version = 7;
    std::sscanf(control.c_str(), "%lu %lu %lu", &length, &step, &version);

    Invocation invocation;
    step %= 13;
    invocation.failing = step < 8 ? static_cast<MemoryFile::Step>(step) : MemoryFile::Step::none;
    invocation.regular = step != 8;
    invocation.allowsWriting = step != 9;
    invocation.replacements = step == 10 ? 1 : step == 11 ? 1000 : 0;
    invocation.socket = step == 12;
    // Command-line arguments end at their first NUL byte.
    for (std::string_view line = nextLine(text); !line.empty(); line = nextLine(text))
        invocation.arguments.emplace_back(line.substr(0, line.find('\0')));

    invocation.image.resize(length % 70001);
    for (std::size_t i = 0; i < invocation.image.size(); ++i)
        invocation.image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    if (invocation.image.size() > blockOffset - 1)
        invocation.image[blockOffset - 1] = static_cast<std::uint8_t>(version);
    if (invocation.image.size() > blockOffset)
        std::copy_n(text.begin(), std::min(text.size(), invocation.image.size() - blockOffset),
                    invocation.image.begin() + blockOffset);
    invocation.settingsText = text;
    return invocation;
}

// Every settings file that load= names, but "missing", holding the input's text.
vornset::testing::MemorySettingsFiles settingsFilesOf(const Invocation& invocation);

// A path or an option as the tool echoes it.
std::string printable(const std::string& path)
{
    StringOutput out;
    out << vornset::Printable{path};
    return out.text;
}

// The arguments before the path.
std::vector<std::string> optionsOf(const Invocation& invocation)
{
    auto& arguments = invocation.arguments;
    return arguments.empty() ? std::vector<std::string>{} : std::vector<std::string>(arguments.begin(), arguments.end() - 1);
}

bool anyArgumentStartsWith(const Invocation& invocation, std::string_view key)
{
    auto options = optionsOf(invocation);
    return std::any_of(options.begin(), options.end(), [&](const std::string& a) { return a.starts_with(key); });
}

// Whether an option carries a key, by a list of the keys of its own, not the tool's.
bool matchesKey(const std::string& option)
{
    static const std::vector<std::string> keys{"vm=",      "cnt=",  "cntval=", "usbmdev=", "dbt=",    "stm=",
                                               "dprf=",    "stf=",  "zan=",    "fnt=",     "usb1=",   "int19h=",
                                               "hotkey=",  "prf=",  "show=",   "load=",    "write=",  "prfname=",
                                               "btdrv=",   "btprt=", "btlog="};
    return std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return option.starts_with(k); });
}

// The warnings expected, one line each, made here from a list of the keys of its own,
// not the tool's; a line for an option that matches no key may go on to name the key
// the tool takes to be meant, or be the line for a key's name without "=".
std::vector<std::string> expectedWarnings(const Invocation& invocation)
{
    static const std::vector<std::string> keys{"vm=",     "cnt=",   "cntval=", "usbmdev=", "dbt=",     "stm=",
                                               "dprf=",   "stf=",   "zan=",    "fnt=",     "usb1=",    "int19h=",
                                               "hotkey=", "prf=",   "show=",   "load=",   "write="};
    static const std::vector<std::string> profileKeys{"prfname=", "btdrv=", "btprt=", "btlog="};
    auto startsWithAny = [](const std::string& a, const std::vector<std::string>& list) {
        return std::any_of(list.begin(), list.end(), [&](const std::string& k) { return a.starts_with(k); });
    };
    bool profileChosen = anyArgumentStartsWith(invocation, "prf=");
    std::vector<std::string> warnings;
    for (const std::string& option : optionsOf(invocation)) {
        if (option.empty())
            warnings.push_back("vornset: warning: ignored an empty argument");
        else if (!startsWithAny(option, keys) && !startsWithAny(option, profileKeys))
            warnings.push_back("vornset: warning: ignored " + printable(option) + ": no such option");
        else if (startsWithAny(option, profileKeys) && !profileChosen)
            warnings.push_back("vornset: warning: ignored " + printable(option) + ": no prf= given");
    }
    return warnings;
}

std::vector<std::string> linesOf(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty())
        lines.emplace_back(nextLine(text));
    return lines;
}

bool isWarningFor(const std::string& line, const std::string& expected)
{
    const std::string suffix = ": no such option";
    if (line == expected)
        return true;
    if (!expected.ends_with(suffix))
        return false;
    std::string start = expected.substr(0, expected.size() - suffix.size());
    return (line.starts_with(expected + "; did you mean ") && line.ends_with("=?"))
        || (line.starts_with(start + ": options are written ") && line.ends_with("=VALUE"));
}

// Whether the warning lines of standard error are the expected ones, in order, with
// at most the line for a name cut to the field after them, and the lines for fields
// that an export or a loaded export could not carry.
bool warnedAsExpected(const std::vector<std::string>& lines, const std::vector<std::string>& expected)
{
    std::vector<std::string> warnings;
    for (const std::string& line : lines)
        if (line.starts_with("vornset: warning: ") && !line.starts_with("vornset: warning: prfname cut to 16 bytes: \"")
            && !line.ends_with("; loading the settings leaves this field as the target image has it")
            && !line.starts_with("vornset: warning: prf= given "))
            warnings.push_back(line);
    if (warnings.size() != expected.size())
        return false;
    for (std::size_t i = 0; i < warnings.size(); ++i)
        if (!isWarningFor(warnings[i], expected[i]))
            return false;
    return true;
}

// Whether a changed byte at a file offset is one the options name and holds a value
// its field can hold.
bool changeAllowed(const Invocation& invocation, std::size_t offset, std::uint8_t value)
{
    struct Field {
        const char* key;
        std::size_t first, last;
        unsigned lowest, highest;
    };
    static const Field fields[] = {
        {"vm=", 0x288, 0x288, 0, 4},        {"dbt=", 0x28A, 0x28A, 0, 4},     {"dprf=", 0x28B, 0x28B, 0, 15},
        {"cnt=", 0x28C, 0x28C, 0, 1},       {"cntval=", 0x28D, 0x28D, 1, 99}, {"stm=", 0x293, 0x293, 0, 1},
        {"stf=", 0x295, 0x295, 0, 1},       {"fnt=", 0x299, 0x299, 0, 1},     {"zan=", 0x29A, 0x29A, 0, 1},
        {"usb1=", 0x29F, 0x29F, 0, 2},      {"int19h=", 0x2A0, 0x2A0, 0, 1},  {"usbmdev=", 0x2A1, 0x2A1, 0, 98},
        {"hotkey=", 0x2A2, 0x2A2, 0, 1},    {"btdrv=", 0x468, 0x477, 0x80, 0x89},
        {"prfname=", 0x688, 0x787, 0, 255},
    };
    // A settings file may set any field.
    bool loads = anyArgumentStartsWith(invocation, "load=");
    auto names = [&](std::string_view key) { return loads || anyArgumentStartsWith(invocation, key); };
    for (const Field& field : fields)
        if (offset >= field.first && offset <= field.last && names(field.key))
            return value >= field.lowest && value <= field.highest;
    if (offset >= 0x458 && offset <= 0x467) {
        bool partition = names("btprt=") && (value & 0x1F) >= 1 && (value & 0x1F) <= 4;
        bool logPart = names("btlog=") && (value >> 5) >= 1 && (value >> 5) <= 4;
        return partition || logPart;
    }
    return false;
}

// A settings file that cannot be read, or one of its lines refused with the message
// that the same option gets on the command line, or with one of a file's own.
// Whether a JSON document's refusal reason is one of the reader's own: a key it does
// not know or got twice, a wrong format version, or a value refused as the option's
// own message would refuse it, after where in the document it stands.
bool isJsonReason(std::string reason, const std::vector<std::string>& messages)
{
    // A profile is named by its place in the list, "profiles[3].", and a key the
    // reader does not know may name the one likely meant.
    std::size_t close = reason.find("].");
    if (reason.starts_with("profiles[") && close != std::string::npos && close > 9
        && reason.find_first_not_of("0123456789", 9) == close)
        reason.erase(8, close - 7);
    std::size_t meant = reason.find(", no such key; did you mean ");
    if (meant != std::string::npos && reason.ends_with("?\n"))
        reason.replace(meant, std::string::npos, ", no such key\n");
    if (reason == "not valid JSON\n" || reason == "format_version, only 1 and 2 are valid\n"
        || reason == "profiles, a list of profiles is needed\n" || reason.ends_with(", no such key\n")
        || reason.ends_with(", given twice\n") || reason.ends_with(", a number is expected\n")
        || reason.ends_with(", a string is expected\n") || reason.ends_with(", a zero byte is not allowed\n")
        || reason == "profiles.prfname_bytes, only pairs of hexadecimal digits are valid\n"
        || reason == "profiles.prfname_bytes, prfname must be null beside it\n"
        || reason == "profiles.prfname, at most 16 bytes\n")
        return true;
    for (std::string_view within : {"settings.", "profiles."})
        if (reason.starts_with(within)
            && std::find(messages.begin(), messages.end(), "Parameter error: " + reason.substr(within.size()))
                != messages.end())
            return true;
    return false;
}

// A settings file that cannot be read, or one refused: at its line, with the message
// that the same option gets on the command line or one of a file's own, or whole.
bool isSettingsRefusal(const std::string& output, const std::vector<std::string>& messages)
{
    if (output.starts_with("Error: unable to read settings from ") && output.ends_with("\n")
        && std::count(output.begin(), output.end(), '\n') == 1)
        return true;
    if (!output.starts_with("Parameter error: load") || std::count(output.begin(), output.end(), '\n') != 1)
        return false;
    if (output.ends_with(", the file holds no settings\n"))
        return true;
    std::size_t at = output.find(", line ");
    std::size_t digits = at == std::string::npos ? at : output.find_first_not_of("0123456789", at + 7);
    if (digits == std::string::npos || digits == at + 7 || output.compare(digits, 2, ": ") != 0)
        return false;
    std::string reason = output.substr(digits + 2);
    static const std::vector<std::string> fileReasons{
        "no such option\n", "load, not allowed in a settings file\n", "show, not allowed in a settings file\n",
        "write, not allowed in a settings file\n", "carriage return inside a line\n",
        "the settings end before their end line\n", "a setting after the end line\n",
        "prfname, 'prf' must be set\n", "btdrv, 'prf' must be set\n", "btprt, 'prf' must be set\n",
        "btlog, 'prf' must be set\n", "prfname, at most 16 bytes\n", "more than 10923 settings\n"};
    // A line that is no option names its key, and may name the key likely meant.
    static const char* const meant = ", no such option; did you mean ";
    std::size_t none = reason.find(", no such option");
    bool namesNoOption = none != std::string::npos
        && (reason.ends_with(", no such option\n")
            || (reason.compare(none, std::strlen(meant), meant) == 0 && reason.ends_with("?\n")));
    return std::find(fileReasons.begin(), fileReasons.end(), reason) != fileReasons.end() || namesNoOption
        || std::find(messages.begin(), messages.end(), "Parameter error: " + reason) != messages.end()
        || isJsonReason(reason, messages);
}

bool isRefusal(const std::string& output, const std::string& argument)
{
    std::string path = printable(argument);
    static const std::string versionError = std::string("Error: wrong boot manager configuration version\n"
                                                        "       use the latest boot manager version and the latest vornset\n"
                                                        "       see ")
        + std::string(vornset::projectAddress) + "\n";
    static const std::vector<std::string> messages{
        "Error: unable to read file\n",
        "Error: file too large for a boot manager image (more than 65536 bytes)\n",
        "Error: file too short for a boot manager image (less than 1928 bytes)\n",
        "Parameter error: vm, run vornset without parameter to see help\n",
        "Parameter error: cnt, only on and off is valid\n",
        "Parameter error: cntval, only values 1-99 are valid\n",
        "Parameter error: usbmdev, only values 1-99 are valid\n",
        "Parameter error: dbt, run vornset without parameter to see help\n",
        "Parameter error: stm, menu or hidden alowed\n",
        "Parameter error: stm, hidden mode requires countdown and default boot\n",
        "Parameter error: cnt, hidden mode requires countdown and default boot\n",
        "Parameter error: dbt, hidden mode requires countdown and default boot\n",
        "Parameter error: dprf, only values 1-16 are valid\n",
        "Parameter error: stf, only on and off is valid\n",
        "Parameter error: zan, only on and off is valid\n",
        "Parameter error: fnt, only bt and bios is valid\n",
        "Parameter error: usb1, only off, 1, 2 is valid\n",
        "Parameter error: int19h, only on and off is valid\n",
        "Parameter error: hk, only yes and no is valid\n",
        "Parameter error: prf, only values 1-16 are valid\n",
        "Parameter error: btdrv, only values 80h-89h are valid\n",
        "Parameter error: btprt, only values 1-4 are valid\n",
        "Parameter error: btlog, only values 1-4 are valid\n",
        "Parameter error: show, only profiles, options, json and changes are valid\n",
        "Parameter error: write, only yes and no are valid\n",
        "Parameter error: load, the file holds no settings\n",
    };
    std::string message = output.starts_with("ffff") ? output.substr(4) : output;
    bool afterProfileEdits = message.size() != output.size();
    if (message == "Error: unable to write to file\n" || message == "Error: unable to open " + path + " for writing\n")
        return true;
    if (afterProfileEdits)
        return false;
    return output == versionError || output == "Error: unable to open " + path + "\n"
        || std::find(messages.begin(), messages.end(), output) != messages.end() || isSettingsRefusal(output, messages);
}

bool isReport(std::string_view output)
{
    static const char* const labels[] = {"Video mode     : ", "Start mode     : ", "Countdown      : ",
                                         "Countdown value: ", "Default boot   : ", "Profile        : ",
                                         "Starfield      : ", "Zoom animation : ", "Font           : ",
                                         "Force USB 1.1  : ", "Use USB MassDev: ", "Use INT19h     : ",
                                         "Startup hotkey : "};
    for (const char* label : labels) {
        if (!output.starts_with(label))
            return false;
        nextLine(output);
    }
    return output.empty();
}

// The exports, their warnings left out.
void printOptions(const vornset::ConfigBlock& block, vornset::Output& out)
{
    StringOutput warnings;
    vornset::printSettingsAsOptions(block, out, warnings);
}

void printJson(const vornset::ConfigBlock& block, vornset::Output& out)
{
    StringOutput warnings;
    vornset::printSettingsAsJson(block, out, warnings);
}

std::string textOf(const vornset::ConfigBlock& block, void (*print)(const vornset::ConfigBlock&, vornset::Output&))
{
    StringOutput out;
    print(block, out);
    return out.text;
}

bool isProfileTable(std::string_view output)
{
    if (nextLine(output) != "Nr  Name              Drive  Partition  Log part.")
        return false;
    for (int row = 1; row <= 16; ++row) {
        std::string_view line = nextLine(output);
        if (line.size() < 38 || line.ends_with(' ') || std::atoi(std::string(line.substr(0, 2)).c_str()) != row)
            return false;
    }
    return output.empty();
}

bool isShowOption(const std::string& option)
{
    return option == "show=profiles" || option == "show=options" || option == "show=json" || option == "show=changes";
}

// Whether the run prints a form that another program reads.
bool printsData(const Invocation& invocation)
{
    auto options = optionsOf(invocation);
    return std::any_of(options.begin(), options.end(),
                       [](const std::string& o) { return o == "show=options" || o == "show=json"; });
}

// Whether the last valid write= of the options is write=no.
bool isDryRun(const Invocation& invocation)
{
    bool dryRun = false;
    for (const std::string& option : optionsOf(invocation))
        if (option == "write=yes" || option == "write=no")
            dryRun = option == "write=no";
    return dryRun;
}

bool onlyShows(const Invocation& invocation)
{
    std::vector<std::string> options = optionsOf(invocation);
    return !options.empty() && std::all_of(options.begin(), options.end(), isShowOption);
}

// The forms that the show= options ask for, of the given image, each once in the order
// first asked and each after an empty line where text came before.
std::string shownForms(const Invocation& invocation, std::vector<std::uint8_t> image, bool afterOtherText)
{
    vornset::BootImage loaded;
    std::copy(image.begin(), image.end(), loaded.content.begin());
    loaded.length = image.size();
    vornset::ConfigBlock block = vornset::configBlock(loaded);
    vornset::BootImage original;
    std::copy(invocation.image.begin(), invocation.image.end(), original.content.begin());
    original.length = invocation.image.size();
    vornset::ConfigBlock before = vornset::configBlock(original);
    std::vector<std::string> shown;
    StringOutput out;
    for (const std::string& option : optionsOf(invocation)) {
        if (!isShowOption(option) || std::find(shown.begin(), shown.end(), option) != shown.end())
            continue;
        shown.push_back(option);
        if (afterOtherText)
            out << "\n";
        afterOtherText = true;
        if (option == "show=profiles") {
            if (!isProfileTable(textOf(block, vornset::printProfiles)))
                broken("show=profiles prints the table", textOf(block, vornset::printProfiles));
            vornset::printProfiles(block, out);
        } else if (option == "show=changes") {
            vornset::printChanges(before, block, out);
        } else {
            (option == "show=json" ? printJson : printOptions)(block, out);
        }
    }
    return out.text;
}

bool isEditOutput(const Invocation& invocation, std::string_view output, std::string_view closing,
                  const MemoryFile& file)
{
    if (output.starts_with("ffff"))
        output.remove_prefix(4);
    if (!output.starts_with(closing))
        return false;
    output.remove_prefix(closing.size());
    return output == shownForms(invocation, file.content, true);
}

// The keys of the fields whose lines differ between two images' settings as options,
// as show=changes names them: "vm", or "prf=2 btdrv". The comment that a hidden start
// breaks the rule comes and goes with no field of its own.
std::vector<std::string> differingOptionLines(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    auto fieldLines = [](const std::vector<std::uint8_t>& image) {
        vornset::BootImage loaded;
        std::copy(image.begin(), image.end(), loaded.content.begin());
        loaded.length = image.size();
        std::vector<std::string> lines = linesOf(textOf(vornset::configBlock(loaded), printOptions));
        std::erase_if(lines, [](const std::string& line) {
            return line.starts_with("# vornset settings") || line.starts_with("# this image starts hidden")
                || line.starts_with("# end of");
        });
        return lines;
    };
    std::vector<std::string> before = fieldLines(a), after = fieldLines(b);
    static const char* const profileKeys[] = {"prf", "prfname", "btdrv", "btprt", "btlog"};
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i] == after[i])
            continue;
        std::string line = before[i].starts_with("# ") ? before[i].substr(2) : before[i];
        keys.push_back(i < 13 ? line.substr(0, line.find_first_of("=:"))
                              : "prf=" + std::to_string((i - 13) / 5 + 1) + " " + profileKeys[(i - 13) % 5]);
    }
    return keys;
}

// show=changes names exactly the fields whose lines in show=options differ, but for a
// name whose control characters keep it off both.
void expectChangesAsOptionsDiffer(const Invocation& invocation, const MemoryFile& file)
{
    vornset::BootImage before, after;
    std::copy(invocation.image.begin(), invocation.image.end(), before.content.begin());
    std::copy(file.content.begin(), file.content.end(), after.content.begin());
    before.length = after.length = invocation.image.size();
    StringOutput changes;
    vornset::printChanges(vornset::configBlock(before), vornset::configBlock(after), changes);
    std::vector<std::string> expected = differingOptionLines(invocation.image, file.content), named;
    for (const std::string& line : linesOf(changes.text)) {
        std::string key = line.substr(0, line.find(": "));
        bool hidden = key.ends_with("prfname") && std::find(expected.begin(), expected.end(), key) == expected.end();
        if (line != "no changes" && !hidden)
            named.push_back(key);
    }
    if (named != expected || changes.text.empty())
        broken("show=changes names the fields whose show=options lines differ", changes.text);
}

void expectOnlyNamedFieldsChanged(const Invocation& invocation, const MemoryFile& file, const std::string& output)
{
    if (file.content.size() != invocation.image.size())
        broken("the image keeps its length", output);
    for (std::size_t i = 0; i < file.content.size(); ++i)
        if (file.content[i] != invocation.image[i] && !changeAllowed(invocation, i, file.content[i]))
            broken("only the named fields change, to values they can hold", output);
}

vornset::testing::MemorySettingsFiles settingsFilesOf(const Invocation& invocation)
{
    vornset::testing::MemorySettingsFiles settings;
    for (const std::string& option : optionsOf(invocation))
        if (option.starts_with("load=") && option != "load=missing")
            settings.files[option.substr(5)] = invocation.settingsText;
    return settings;
}

// What the same run prints as an edit that writes, with its closing messages in
// place of the dry run's line.
std::string editOutputOf(const Invocation& invocation, const std::string& closing)
{
    MemoryFile copy(invocation.image);
    std::vector<std::string> arguments = invocation.arguments;
    for (std::string& argument : arguments)
        if (argument == "write=no")
            argument = "write=yes";
    std::vector<const char*> argv{"vornset"};
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    vornset::testing::MemorySettingsFiles settings = settingsFilesOf(invocation);
    StringOutput out;
    StringOutput err;
    vornset::run(argv, {copy, settings, out, err, copy.clock});
    std::string text = out.text;
    std::size_t at = text.find(closing);
    return at == std::string::npos ? text : text.replace(at, closing.size(), "nothing written (write=no)\n");
}

std::string textOf(void (*print)(vornset::Output&))
{
    StringOutput out;
    print(out);
    return out.text;
}

// Whether the run got as far as to accept its options: the warnings come then, before
// the image is written.
bool optionsAccepted(const Invocation& invocation, int status, const std::string& output)
{
    if (status == 0)
        return true;
    std::string message = output.starts_with("ffff") ? output.substr(4) : output;
    bool lockGranted = invocation.failing != MemoryFile::Step::lock && invocation.replacements < 20;
    return message == "Error: unable to write to file\n"
        || (message == "Error: unable to open " + printable(invocation.arguments.back()) + " for writing\n" && lockGranted);
}

// A run given one of the requests that need no image, or an option that is a flag.
bool isRequestOrFlag(const Invocation& invocation, int status, const std::string& output, const MemoryFile& file)
{
    const std::vector<std::string>& arguments = invocation.arguments;
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "--version")) {
        bool version = arguments[0] == "--version";
        std::string expected = version ? textOf(vornset::printVersion)
                                       : textOf(vornset::printHelp) + textOf(vornset::printMoreHelp);
        if (status != 0 || output != expected || file.opens != 0)
            broken("--help, -h and --version alone print their text and open nothing", output);
        return true;
    }
    std::vector<std::string> options = optionsOf(invocation);
    auto flag = std::find_if(options.begin(), options.end(), [](const std::string& o) { return o.starts_with("-"); });
    if (flag == options.end())
        return false;
    if (status != 1 || file.opens != 0
        || output != "Parameter error: " + printable(*flag)
                + ", options are written key=value; run vornset without parameter to see help\n")
        broken("a flag is refused before the image is opened", output);
    return true;
}

// A settings file's name, given before the path as an option of its own, or a word
// without "=" that can only be a path, is taken for an image meant; a word most likely
// meant as load=, show= or write= for a run key. Either way the run is refused before
// anything is opened.
bool isOtherImage(const Invocation& invocation, int status, const std::string& output, const MemoryFile& file)
{
    std::vector<std::string> options = optionsOf(invocation);
    auto other = std::find_if(options.begin(), options.end(), [&](const std::string& o) {
        bool path = o.find('=') == std::string::npos && o.find_first_of("./\\") != std::string::npos;
        return !o.empty() && o != "-" && o != "missing" && !matchesKey(o)
            && (path || std::find(options.begin(), options.end(), "load=" + o) != options.end());
    });
    auto nearMiss = [&](const std::string& o) {
        for (const char* key : {"load", "show", "write"})
            for (std::string why : {std::string("no such option; did you mean ") + key + "=?",
                                    std::string("options are written ") + key + "=VALUE"})
                if (output == "Parameter error: " + printable(o) + ", " + why + "\n")
                    return true;
        return false;
    };
    bool missed = std::any_of(options.begin(), options.end(), [&](const std::string& o) { return !matchesKey(o) && nearMiss(o); });
    if (!missed && (other == options.end() || output != "Parameter error: " + printable(*other)
                                                           + ", only the last parameter names the image\n"))
        return false;
    if (status != 1 || file.opens != 0)
        broken("another image before the path is refused before the image is opened", output);
    return true;
}

// The journal of an edit: a write and a sync for each of the block's three sectors
// that the edit changes, and none where it changes nothing.
bool writesChangedSectorsSynced(const MemoryFile& file, const std::vector<std::uint8_t>& before)
{
    const std::vector<MemoryFile::Call>& journal = file.journal;
    if (journal.size() % 2 != 0 || journal.size() > 6 || (file.content == before) != journal.empty())
        return false;
    for (std::size_t i = 0; i < journal.size(); i += 2)
        if (journal[i].sync || !journal[i + 1].sync || journal[i].bytes.size() > 512)
            return false;
    return true;
}

// The run's one message: what standard output holds, or, where the run prints data,
// the lines of standard error that are neither warnings nor reasons, each without
// "vornset: ".
std::string messageOf(const Invocation& invocation, const std::string& output, const std::vector<std::string>& errors)
{
    if (!printsData(invocation))
        return output;
    if (!output.empty())
        broken("a failed run that prints data leaves standard output empty", output);
    std::string path = printable(invocation.arguments.back());
    std::string message;
    for (const std::string& line : errors) {
        if (!line.starts_with("vornset: "))
            broken("every line on standard error starts with vornset: ", line);
        std::string text = line.substr(9);
        bool reason = text.starts_with(path + ": ") || text == path + " is locked by another program"
            || text.starts_with("waiting for another program") || text.starts_with("warning: ");
        // Why a settings file could not be read, named as load= names it.
        for (const std::string& argument : optionsOf(invocation))
            reason = reason || (argument.starts_with("load=") && text.starts_with(printable(argument.substr(5)) + ": "));
        if (!reason)
            message += text + "\n";
    }
    return message;
}

void check(const Invocation& invocation, int status, const std::string& output, const std::string& warnings,
           const MemoryFile& file)
{
    const std::string closing = "data changed\n\n"
                                "hint: if you use the windows boot menu to start the boot manager, then its\n"
                                "a good idea to start vornprep again! vornbm.bin may not be fragmented.\n";
    std::size_t count = invocation.arguments.size();
    if (file.isOpen)
        broken("the image is closed when the run ends", output);
    std::vector<std::string> errors = linesOf(warnings);
    std::string message = status == 1 ? messageOf(invocation, output, errors) : output;
    bool accepted = optionsAccepted(invocation, status, message);
    if (!warnedAsExpected(errors, accepted ? expectedWarnings(invocation) : std::vector<std::string>{}))
        broken("options that did nothing in an edit are warned of, and nothing else", warnings);
    if (isRequestOrFlag(invocation, status, message, file) || isOtherImage(invocation, status, message, file))
        return;
    if (status == 1) {
        if (!isRefusal(message, invocation.arguments.back()))
            broken("a refusal prints one of the tool's messages", message + warnings);
        // A write that fails part-way is undone where the disk lets it, and may
        // otherwise have rewritten some of the fields in place.
        if (warnings.find("; the image is as it was\n") != std::string::npos && file.content != invocation.image)
            broken("a failed write said to be undone leaves the image as it was", output + warnings);
        if (invocation.failing >= MemoryFile::Step::write)
            expectOnlyNamedFieldsChanged(invocation, file, output);
        else if (file.content != invocation.image)
            broken("a refusal leaves the image as it was", output);
    } else if (status != 0) {
        broken("the exit status is 0 or 1", output);
    } else if (count == 0) {
        StringOutput help;
        vornset::printHelp(help);
        if (output != help.text)
            broken("no arguments print the help screen", output);
    } else if (count == 1) {
        if (!isReport(output) || file.opensForWriting != 0 || file.content != invocation.image)
            broken("the path alone prints the report and writes nothing", output);
    } else if (onlyShows(invocation)) {
        if (output != shownForms(invocation, invocation.image, false) || file.opensForWriting != 0
            || file.content != invocation.image)
            broken("show= alone prints the forms asked for and writes nothing", output);
    } else if (isDryRun(invocation)) {
        if (file.opensForWriting != 0 || file.content != invocation.image)
            broken("a dry run writes nothing", output);
        if (output != editOutputOf(invocation, closing))
            broken("a dry run prints what the edit prints, but that it wrote nothing", output);
    } else {
        if (!isEditOutput(invocation, output, closing, file))
            broken("an edit prints the closing messages", output);
        if (!writesChangedSectorsSynced(file, invocation.image))
            broken("an edit writes each sector it changes once and syncs it before the next", output);
        expectOnlyNamedFieldsChanged(invocation, file, output);
        expectChangesAsOptionsDiffer(invocation, file);
    }
}

// A JSON (RFC 8259) reader that only tells whether a text is one valid value.
class JsonChecker {
public:
    explicit JsonChecker(std::string_view text) : text_(text) {}

    bool valid()
    {
        return value() && (skipSpace(), at_ == text_.size());
    }

private:
    void skipSpace()
    {
        while (at_ < text_.size() && std::string_view(" \t\n\r").find(text_[at_]) != std::string_view::npos)
            ++at_;
    }

    bool take(char c)
    {
        skipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    bool literal(std::string_view word)
    {
        if (text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }

    bool string()
    {
        if (!take('"'))
            return false;
        while (at_ < text_.size() && text_[at_] != '"') {
            auto c = static_cast<unsigned char>(text_[at_++]);
            if (c < 0x20)
                return false;
            if (c == '\\') {
                if (at_ >= text_.size())
                    return false;
                char escaped = text_[at_++];
                if (escaped == 'u') {
                    if (text_.size() - at_ < 4 || text_.substr(at_, 4).find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
                        return false;
                    at_ += 4;
                } else if (std::string_view("\"\\/bfnrt").find(escaped) == std::string_view::npos) {
                    return false;
                }
            }
        }
        return take('"');
    }

    bool number()
    {
        std::size_t start = at_;
        literal("-");
        std::size_t digits = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
            ++at_;
        return at_ > digits && !(text_[digits] == '0' && at_ - digits > 1) && at_ > start;
    }

    template <typename Element>
    bool sequence(char close, Element element)
    {
        if (take(close))
            return true;
        do {
            if (!element())
                return false;
        } while (take(','));
        return take(close);
    }

    bool value()
    {
        skipSpace();
        if (take('{'))
            return sequence('}', [this] { return string() && take(':') && value(); });
        if (take('['))
            return sequence(']', [this] { return value(); });
        if (at_ < text_.size() && text_[at_] == '"')
            return string();
        return literal("null") || literal("true") || literal("false") || number();
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// Runs the tool in memory on an image, with standard input holding the given text.
std::pair<int, std::string> runOn(std::vector<std::uint8_t>& image, std::vector<const char*> arguments,
                                  const std::string& input = "")
{
    MemoryFile file(image);
    vornset::testing::MemorySettingsFiles settings;
    settings.files["-"] = input;
    StringOutput out;
    StringOutput err;
    arguments.insert(arguments.begin(), "vornset");
    int status = vornset::run(arguments, {file, settings, out, err, file.clock});
    image = file.content;
    return {status, out.text};
}

void expectValidJson(std::vector<std::uint8_t> image)
{
    std::string json = runOn(image, {"show=json", "a.bin"}).second;
    std::size_t version = json.find("\n  \"version\": 7,\n"), settings = json.find("\n  \"settings\": {\n"),
                stored = json.find("\n  \"stored\": {\n"), profiles = json.find("\n  \"profiles\": [\n");
    if (!JsonChecker(json).valid() || !json.starts_with("{\n  \"format_version\": 2,") || version == std::string::npos
        || settings == std::string::npos
        || stored == std::string::npos || profiles == std::string::npos || !(settings < stored && stored < profiles))
        broken("show=json prints one valid document with the fixed keys in order", json);
}

// Where a field may hold a value that an option gives it, and which values those are.
struct OptionField {
    std::size_t offset;
    unsigned lowest, highest;
};

constexpr OptionField OPTION_FIELDS[] = {
    {0x288, 0, 4}, {0x28A, 0, 4}, {0x28B, 0, 15}, {0x28C, 0, 1}, {0x28D, 1, 99}, {0x293, 0, 1}, {0x295, 0, 1},
    {0x299, 0, 1}, {0x29A, 0, 1}, {0x29F, 0, 2},  {0x2A0, 0, 1}, {0x2A1, 0, 98}, {0x2A2, 0, 1},
};

bool givesOption(const OptionField& field, std::uint8_t value)
{
    return value >= field.lowest && value <= field.highest;
}

// Whether an image, as a load leaves it, starts hidden without a countdown or a
// default boot where the image before did not have exactly those three bytes.
bool breaksHiddenStart(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after)
{
    bool same = before[0x293] == after[0x293] && before[0x28C] == after[0x28C] && before[0x28A] == after[0x28A];
    return after[0x293] == 1 && (after[0x28C] == 0 || after[0x28A] == 0) && !same;
}

bool nameHasControl(const std::vector<std::uint8_t>& image, std::size_t at)
{
    std::size_t length = 0;
    while (length < 16 && image[at + length] != 0)
        ++length;
    return vornset::holdsControl({reinterpret_cast<const char*>(image.data() + at), length});
}

// The settings of image A, printed as options and loaded into another image B, give B
// every field of A that has an option value and leave the rest of B as it was.
// Another image of the same length for the settings of one to be loaded into.
std::vector<std::uint8_t> sampleFor(const std::vector<std::uint8_t>& a)
{
    std::vector<std::uint8_t> b(a.size());
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(~a[i] ^ (i * 13));
    b[0x287] = 7;
    return b;
}

void expectSettingsCopied(const std::vector<std::uint8_t>& a)
{
    std::vector<std::uint8_t> b = sampleFor(a);
    std::vector<std::uint8_t> source = a, loaded = b;
    std::string settings = runOn(source, {"show=options", "a.bin"}).second;
    auto [status, output] = runOn(loaded, {"load=-", "b.bin"}, settings);
    std::vector<std::uint8_t> expected = b;
    for (const OptionField& field : OPTION_FIELDS)
        if (givesOption(field, a[field.offset]))
            expected[field.offset] = a[field.offset];
    for (std::size_t p = 0; p < 16; ++p) {
        std::size_t partition = 0x458 + p, drive = 0x468 + p, name = 0x688 + 16 * p;
        if (a[drive] >= 0x80 && a[drive] <= 0x89)
            expected[drive] = a[drive];
        if ((a[partition] & 0x1F) >= 1 && (a[partition] & 0x1F) <= 4)
            expected[partition] = static_cast<std::uint8_t>((expected[partition] & 0xE0) | (a[partition] & 0x1F));
        if ((a[partition] >> 5) >= 1 && (a[partition] >> 5) <= 4)
            expected[partition] = static_cast<std::uint8_t>((expected[partition] & 0x1F) | (a[partition] & 0xE0));
        if (!nameHasControl(a, name))
            for (std::size_t i = 0, ended = 0; i < 16; ++i)
                expected[name + i] = (ended |= a[name + i] == 0) != 0 ? 0 : a[name + i];
    }
    if (breaksHiddenStart(b, expected)) {
        if (status != 1 || loaded != b || output.find("hidden mode requires countdown and default boot") == std::string::npos)
            broken("settings that break the hidden-start rule are refused", output + settings);
        return;
    }
    if (status != 0)
        broken("what show=options prints, load= reads back", output + settings);
    if (loaded != expected)
        broken("loading the settings of one image gives another every field with an option value, and nothing else",
               output + settings);
}

// The settings of image A as JSON, loaded into another image B, leave B as A's
// settings as options do, but for names with a control character, which JSON carries.
void expectJsonLoadsAsOptions(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    std::vector<std::uint8_t> source = a, fromOptions = b, fromJson = b;
    std::string options = runOn(source, {"show=options", "a.bin"}).second;
    std::string json = runOn(source, {"show=json", "a.bin"}).second;
    auto [optionsStatus, optionsOutput] = runOn(fromOptions, {"load=-", "b.bin"}, options);
    auto [jsonStatus, jsonOutput] = runOn(fromJson, {"load=-", "b.bin"}, json);
    for (std::size_t p = 0; p < 16; ++p)
        if (nameHasControl(a, 0x688 + 16 * p) && jsonStatus == 0)
            std::copy_n(fromJson.begin() + static_cast<std::ptrdiff_t>(0x688 + 16 * p), 16,
                        fromOptions.begin() + static_cast<std::ptrdiff_t>(0x688 + 16 * p));
    if (optionsStatus != jsonStatus || fromOptions != fromJson)
        broken("show=json loads as show=options does", jsonOutput + optionsOutput + json);
}

// show=options cut anywhere is refused, unless the cut falls after its end line.
void expectCutSettingsRefused(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, std::size_t cut)
{
    std::vector<std::uint8_t> source = a, loaded = b;
    std::string options = runOn(source, {"show=options", "a.bin"}).second;
    cut %= options.size() + 1;
    auto [status, output] = runOn(loaded, {"load=-", "b.bin"}, options.substr(0, cut));
    if (cut < options.size() && (status != 1 || loaded != b))
        broken("settings cut short are refused whole", output + options.substr(0, cut));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Invocation invocation = decode({reinterpret_cast<const char*>(data), size});
    MemoryFile file(invocation.image);
    file.failing = invocation.failing;
    file.kind = invocation.regular ? MemoryFile::Kind::regular : MemoryFile::Kind::other;
    file.allowsWriting = invocation.allowsWriting;
    file.socket = invocation.socket;
    file.replacements = invocation.replacements;
    // A failing write stops within a sector; on an odd length it fails once, and the
    // write that undoes it succeeds.
    file.bytesBeforeWriteFails = invocation.image.size() % 512;
    if (invocation.image.size() % 2 == 1)
        file.failingWrites = 1;

    std::vector<const char*> argv{"vornset"};
    for (const std::string& argument : invocation.arguments)
        argv.push_back(argument.c_str());
    vornset::testing::MemorySettingsFiles settings = settingsFilesOf(invocation);
    StringOutput out;
    StringOutput err;
    int status = vornset::run(argv, {file, settings, out, err, file.clock});
    check(invocation, status, out.text, err.text, file);

    const std::vector<std::uint8_t>& image = invocation.image;
    if (image.size() >= 0x788 && image.size() <= 65536 && image[0x287] == 7) {
        expectValidJson(image);
        expectSettingsCopied(image);
        std::vector<std::uint8_t> other = sampleFor(image);
        expectJsonLoadsAsOptions(image, other);
        expectCutSettingsRefused(image, other, size);
    }
    return 0;
}
