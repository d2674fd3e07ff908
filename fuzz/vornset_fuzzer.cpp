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
//   bytes                            laid over the image from the configuration block on

#include "tests/memory_file.h"
#include "tests/string_output.h"
#include "vornset.h"

#include "console/help.h"
#include "console/output.h"

#include <algorithm>
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
    return invocation;
}

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

// Made here from a list of the keys of its own, not the tool's.
std::string expectedWarnings(const Invocation& invocation)
{
    static const std::vector<std::string> keys{"vm=",     "cnt=",   "cntval=", "usbmdev=", "dbt=",     "stm=",
                                               "dprf=",   "stf=",   "zan=",    "fnt=",     "usb1=",    "int19h=",
                                               "hotkey=", "prf=",   "show="};
    static const std::vector<std::string> profileKeys{"prfname=", "btdrv=", "btprt=", "btlog="};
    auto startsWithAny = [](const std::string& a, const std::vector<std::string>& list) {
        return std::any_of(list.begin(), list.end(), [&](const std::string& k) { return a.starts_with(k); });
    };
    bool profileChosen = anyArgumentStartsWith(invocation, "prf=");
    std::string warnings;
    for (const std::string& option : optionsOf(invocation)) {
        if (!startsWithAny(option, keys) && !startsWithAny(option, profileKeys))
            warnings += "vornset: warning: ignored " + printable(option) + ": no such option\n";
        else if (startsWithAny(option, profileKeys) && !profileChosen)
            warnings += "vornset: warning: ignored " + printable(option) + ": no prf= given\n";
    }
    return warnings;
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
    for (const Field& field : fields)
        if (offset >= field.first && offset <= field.last && anyArgumentStartsWith(invocation, field.key))
            return value >= field.lowest && value <= field.highest;
    if (offset >= 0x458 && offset <= 0x467) {
        bool partition = anyArgumentStartsWith(invocation, "btprt=") && (value & 0x1F) >= 1 && (value & 0x1F) <= 4;
        bool logPart = anyArgumentStartsWith(invocation, "btlog=") && (value >> 5) >= 1 && (value >> 5) <= 4;
        return partition || logPart;
    }
    return false;
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
        "Parameter error: show, only profiles is valid\n",
    };
    std::string message = output.starts_with("ffff") ? output.substr(4) : output;
    bool afterProfileEdits = message.size() != output.size();
    if (message == "Error: unable to write to file\n" || message == "Error: unable to open " + path + " for writing\n")
        return true;
    if (afterProfileEdits)
        return false;
    return output == versionError || output == "Error: unable to open " + path + "\n"
        || std::find(messages.begin(), messages.end(), output) != messages.end();
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

bool onlyShowsProfiles(const Invocation& invocation)
{
    auto& arguments = invocation.arguments;
    return arguments.size() > 1
        && std::all_of(arguments.begin(), arguments.end() - 1, [](const std::string& a) { return a == "show=profiles"; });
}

bool isEditOutput(const Invocation& invocation, std::string_view output, std::string_view closing)
{
    if (output.starts_with("ffff"))
        output.remove_prefix(4);
    if (!output.starts_with(closing))
        return false;
    output.remove_prefix(closing.size());
    bool shows = anyArgumentStartsWith(invocation, "show=profiles");
    return shows ? output.starts_with("\n") && isProfileTable(output.substr(1)) : output.empty();
}

void expectOnlyNamedFieldsChanged(const Invocation& invocation, const MemoryFile& file, const std::string& output)
{
    if (file.content.size() != invocation.image.size())
        broken("the image keeps its length", output);
    for (std::size_t i = 0; i < file.content.size(); ++i)
        if (file.content[i] != invocation.image[i] && !changeAllowed(invocation, i, file.content[i]))
            broken("only the named fields change, to values they can hold", output);
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
        if (status != 0 || output != textOf(version ? vornset::printVersion : vornset::printHelp) || file.opens != 0)
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

void check(const Invocation& invocation, int status, const std::string& output, const std::string& warnings,
           const MemoryFile& file)
{
    const std::string closing = "data changed\n\n"
                                "hint: if you use the windows boot menu to start the boot manager, then its\n"
                                "a good idea to start vornprep again! vornbm.bin may not be fragmented.\n";
    std::size_t count = invocation.arguments.size();
    if (file.isOpen)
        broken("the image is closed when the run ends", output);
    if (warnings != (optionsAccepted(invocation, status, output) ? expectedWarnings(invocation) : ""))
        broken("options that did nothing in an edit are warned of, and nothing else", warnings);
    if (isRequestOrFlag(invocation, status, output, file))
        return;
    if (status == 1) {
        if (!isRefusal(output, invocation.arguments.back()))
            broken("a refusal prints one of the tool's messages", output);
        // A write that fails part-way may have rewritten some of the file in place.
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
    } else if (onlyShowsProfiles(invocation)) {
        if (!isProfileTable(output) || file.opensForWriting != 0 || file.content != invocation.image)
            broken("show=profiles alone prints the table and writes nothing", output);
    } else {
        if (!isEditOutput(invocation, output, closing))
            broken("an edit prints the closing messages", output);
        if (file.writes != 1 || file.syncs != 1)
            broken("an edit writes once and syncs before it says so", output);
        expectOnlyNamedFieldsChanged(invocation, file, output);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Invocation invocation = decode({reinterpret_cast<const char*>(data), size});
    MemoryFile file(invocation.image);
    file.failing = invocation.failing;
    file.regular = invocation.regular;
    file.allowsWriting = invocation.allowsWriting;
    file.socket = invocation.socket;
    file.replacements = invocation.replacements;
    file.bytesBeforeWriteFails = invocation.image.size() / 2;

    std::vector<const char*> argv{"vornset"};
    for (const std::string& argument : invocation.arguments)
        argv.push_back(argument.c_str());
    StringOutput out;
    StringOutput err;
    int status = vornset::run(argv, {file, out, err});
    check(invocation, status, out.text, err.text, file);
    return 0;
}
