// Prints into the collection what it knows of the settings, from the tool's own
// tables: the doc fragment that ansible-doc lists every setting from, and the table
// that the modules read what each key takes from. With --check, compares the
// committed files with what it would print and fails where they differ.
//
//   settings_doc [--check] COLLECTION_DIR
//
// It compiles the table with the texts that the tool is built without, the rows'
// titles and hints (VORNSET_ROW_TEXTS), and is no part of the tool.
#include "image/config_block.h"
#include "settings/refusal.h"
#include "settings/settings.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

using namespace vornset;

namespace {

constexpr std::string_view FRAGMENT_FILE = "plugins/doc_fragments/settings_keys.py";
constexpr std::string_view TABLE_FILE = "plugins/module_utils/settings_table.py";
// Beside prfname in show=json and in a document for load=: a name's bytes, where
// they are not UTF-8 text.
constexpr std::string_view NAME_BYTES_KEY = "prfname_bytes";

// Between the quotes of YAML's double-quoted or Python's single-quoted strings.
std::string quoted(std::string_view text, char quote = '"')
{
    std::string out(1, quote);
    for (char c : text) {
        if (c == quote || c == '\\')
            out += '\\';
        out += c;
    }
    return out + quote;
}

// A YAML list item of quoted text, folded at spaces to keep lines short: a line
// break within double quotes reads as a space.
std::string item(std::string_view text, std::size_t indent)
{
    constexpr std::size_t width = 110;
    std::string out = std::string(indent, ' ') + "- ";
    std::string folded = quoted(text);
    std::size_t lineStart = 0;
    std::size_t lastSpace = std::string::npos;
    std::string line;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (folded[i] == ' ')
            lastSpace = i;
        if (i - lineStart >= width && lastSpace != std::string::npos && lastSpace > lineStart) {
            out += std::string(folded.begin() + static_cast<std::ptrdiff_t>(lineStart), folded.begin() + static_cast<std::ptrdiff_t>(lastSpace)) + "\n" + std::string(indent + 2, ' ');
            lineStart = lastSpace + 1;
            lastSpace = std::string::npos;
        }
    }
    return out + std::string(folded.begin() + static_cast<std::ptrdiff_t>(lineStart), folded.end()) + "\n";
}

// "C(a), C(b) or C(c)"
template <typename Words>
std::string alternatives(const Words& words)
{
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        out += i == 0 ? "" : i + 1 == words.size() ? " or " : ", ";
        out += "C(" + std::string(words[i]) + ")";
    }
    return out;
}

template <typename Words>
std::string list(const Words& words, std::string_view open, std::string_view close, char quote)
{
    std::string out(open);
    for (std::size_t i = 0; i < words.size(); ++i)
        out += (i > 0 ? ", " : "") + quoted(words[i], quote);
    return out + std::string(close);
}

std::array<std::string, driveCount> drives()
{
    std::array<std::string, driveCount> out;
    for (int i = 0; i < driveCount; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "%xh", firstBiosDrive + i);
        out[static_cast<std::size_t>(i)] = text;
    }
    return out;
}

const std::string nameLength = std::to_string(ConfigBlock::nameLength);

std::string range(const NumberRange& numbers)
{
    return std::to_string(numbers.lowest) + " to " + std::to_string(numbers.highest);
}

std::string wholeNumber(const NumberRange& numbers)
{
    return "a whole number from " + range(numbers);
}

// What a setting takes, as a sentence's end.
std::string takes(const GlobalSetting& setting)
{
    return takesNumber(setting) ? wholeNumber(setting.numbers) : alternatives(setting.words);
}

std::string takes(const ProfileSetting& setting)
{
    switch (setting.field) {
    case ProfileField::name:
        return "text of at most " + nameLength + " bytes as UTF-8; a longer name is refused";
    case ProfileField::drive:
        return alternatives(drives());
    default:
        return wholeNumber(setting.numbers);
    }
}

// The row's title and hint, in the page's plain words.
std::string plain(const GlobalSetting& setting)
{
    return std::string(setting.title) + ". " + std::string(setting.hint);
}

std::string plain(const ProfileSetting& setting)
{
    // The name's hint speaks of the page and the command line, which cut a longer
    // name; the modules refuse it, as takes() says.
    if (setting.field == ProfileField::name)
        return std::string(setting.title) + ".";
    return std::string(setting.title) + ". " + std::string(setting.hint);
}

void printOption(std::ostream& out, std::string_view key, const std::string& plainWords, const std::string& taken,
                 std::string_view type, const std::string& choices, const std::string& help = {})
{
    out << "      " << key << ":\n"
        << "        description:\n"
        << item(plainWords, 10) << item("Takes " + taken + ".", 10);
    if (!help.empty())
        out << item("vornset's help: " + help, 10);
    out << "        type: " << type << "\n";
    if (!choices.empty())
        out << "        choices: " << choices << "\n";
}

// A note of what settings_info returns for the key.
template <typename Setting>
std::string returned(const Setting& setting)
{
    return item("C(" + std::string(setting.key) + "): " + plain(setting) + " Takes " + takes(setting) + ".", 2);
}

const char* const HEADER = "# -*- coding: utf-8 -*-\n"
                           "# Copyright (c) 2026 the vornset developers\n"
                           "# MIT License (see LICENSE or https://opensource.org/licenses/MIT)\n"
                           "#\n"
                           "# Printed from vornset's tables of settings by ansible/tests/settings_doc.cpp; the test\n"
                           "# ansible.settings_doc fails where this file differs. Print it again with\n"
                           "#   build/dev/tests/ansible_settings_doc ansible\n"
                           "\n"
                           "from __future__ import absolute_import, division, print_function\n"
                           "__metaclass__ = type\n";

std::string fragment()
{
    const NumberRange& profiles = profileSetting(ProfileField::profile).numbers;
    std::ostringstream out;
    out << HEADER
        << "\n"
           "\n"
           "class ModuleDocFragment(object):\n"
           "    # The settings module's settings and profiles: every key, and the values it takes.\n"
           "    DOCUMENTATION = r'''\n"
           "options:\n"
           "  settings:\n"
           "    suboptions:\n";
    for (const GlobalSetting& setting : GLOBAL_SETTINGS) {
        bool number = takesNumber(setting);
        printOption(out, setting.key, plain(setting), takes(setting), number ? "int" : "str",
                    number ? std::string() : list(setting.words, "[", "]", '"'),
                    std::string(setting.sets) + ", " + std::string(setting.values));
    }
    out << "  profiles:\n"
           "    suboptions:\n";
    for (const ProfileSetting& setting : PROFILE_SETTINGS) {
        if (setting.field == ProfileField::profile)
            continue;
        bool drive = setting.field == ProfileField::drive;
        bool text = drive || setting.field == ProfileField::name;
        printOption(out, setting.key, plain(setting), takes(setting), text ? "str" : "int",
                    drive ? list(drives(), "[", "]", '"') : std::string());
    }
    printOption(out, NAME_BYTES_KEY,
                "The name's bytes, for a name that is not UTF-8 text, as C(settings_info) returns them; give either "
                "this or C(prfname), and the other null or not at all.",
                "two hexadecimal digits a byte, at most " + nameLength + " bytes, none of them zero", "str", {});
    out << "notes:\n"
        << item("I(profiles) maps a profile number, " + range(profiles) +
                    ", to a dict of that profile's keys: the suboptions listed under I(profiles).",
                2)
        << "'''\n"
           "\n"
           "    # The settings_info module: the keys and values of the settings it returns.\n"
           "    RETURNED = r'''\n"
           "options: {}\n"
           "notes:\n"
        << item("The global settings returned in C(settings), key to value: a word as a string, a number "
                "as an integer, null where no value gives the code stored:",
                2);
    for (const GlobalSetting& setting : GLOBAL_SETTINGS)
        out << returned(setting);
    out << item("The profiles returned in C(profiles), from number, " + range(profiles) + ", to these keys:", 2);
    for (const ProfileSetting& setting : PROFILE_SETTINGS) {
        if (setting.field != ProfileField::profile)
            out << returned(setting);
    }
    out << "'''\n";
    return out.str();
}

std::string numbers(const NumberRange& range)
{
    return "(" + std::to_string(range.lowest) + ", " + std::to_string(range.highest) + ")";
}

std::string tableRow(std::string_view key, const std::string& takes, std::string_view refusal)
{
    return "    " + quoted(key, '\'') + ": dict(" + takes + ", refusal=" + quoted(refusal, '\'') + "),\n";
}

std::string table()
{
    std::ostringstream out;
    out << HEADER
        << "\n"
           "# What each key takes: its words, or, where it has none, its lowest and highest number;\n"
           "# and what the tool says, after \"Parameter error: \", of a value it does not take.\n"
           "GLOBAL_SETTINGS = {\n";
    for (const GlobalSetting& setting : GLOBAL_SETTINGS)
        out << tableRow(setting.key,
                        takesNumber(setting) ? "numbers=" + numbers(setting.numbers)
                                             : list(setting.words, "words=(", ")", '\''),
                        setting.refusal);
    out << "}\n"
           "\n"
           "# prf is the profile's number, which a task gives as the profile's key; prfname takes text\n"
           "# of up to so many bytes.\n"
           "PROFILE_SETTINGS = {\n";
    for (const ProfileSetting& setting : PROFILE_SETTINGS) {
        std::string taken = setting.field == ProfileField::name    ? "bytes=" + nameLength
                            : setting.field == ProfileField::drive ? list(drives(), "words=(", ")", '\'')
                                                                   : "numbers=" + numbers(setting.numbers);
        out << tableRow(setting.key, taken, setting.refusal);
    }
    const GlobalSetting& startMode = globalSetting(Setting::stm);
    out << "}\n"
           "\n"
           "# The profile's name as bytes, beside prfname, where it is not UTF-8 text.\n"
           "NAME_BYTES_KEY = "
        << quoted(NAME_BYTES_KEY, '\'')
        << "\n"
           "\n"
           "# The tool refuses to start hidden, the key at the word, where any of the others is left\n"
           "# at its first word, and says the refusal of the key that broke the rule.\n"
           "HIDDEN_START = dict(key="
        << quoted(startMode.key, '\'') << ", word=" << quoted(startMode.words[hiddenStart], '\'') << ", needs=(";
    std::string_view separator;
    for (Setting field : HIDDEN_START_FIELDS) {
        if (field != Setting::stm) {
            out << separator << quoted(globalSetting(field).key, '\'');
            separator = ", ";
        }
    }
    out << "), refusal=" << quoted(HIDDEN_START_NEEDS, '\'') << ")\n";
    return out.str();
}

// The file's text, or nothing where it cannot be read.
std::string contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Whether the committed file is what the tables give; where not, says at which line.
bool agrees(const std::string& path, const std::string& printed, const char* self, const std::string& collection)
{
    std::string committed = contents(path);
    if (committed == printed)
        return true;
    std::istringstream printedLines(printed), committedLines(committed);
    std::string want, have;
    int line = 0;
    while (++line, std::getline(printedLines, want) && std::getline(committedLines, have) && want == have) {
    }
    std::cerr << path << ":" << line << ": differs from the tool's tables, which give\n"
              << want << "\nPrint it again with\n  " << self << " " << collection << "\n";
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    bool check = argc == 3 && std::string_view(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::cerr << "usage: " << argv[0] << " [--check] COLLECTION_DIR\n";
        return 2;
    }
    std::string collection = argv[argc - 1];
    const std::pair<std::string_view, std::string> files[] = {{FRAGMENT_FILE, fragment()}, {TABLE_FILE, table()}};
    bool same = true;
    for (const auto& [name, printed] : files) {
        std::string path = collection + "/" + std::string(name);
        if (check) {
            same = agrees(path, printed, argv[0], collection) && same;
            continue;
        }
        std::ofstream file(path, std::ios::binary);
        file << printed;
        if (!file.flush()) {
            std::cerr << argv[0] << ": could not write " << path << "\n";
            return 1;
        }
    }
    return same ? 0 : 1;
}
