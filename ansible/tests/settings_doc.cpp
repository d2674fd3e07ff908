// Prints the collection's doc fragment of every setting, from the tool's own tables,
// so that ansible-doc lists what the tool takes. With a file's path, compares the file
// with what it would print and fails where they differ.
//
//   settings_doc [FRAGMENT]
#include "image/config_block.h"
#include "settings/settings.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

using namespace vornset;

namespace {

// Every text of the tables is plain: none holds a quote or a backslash.
std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string capitalised(std::string_view text)
{
    std::string out(text);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z')
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    return out;
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
std::string choices(const Words& words)
{
    std::string out = "[";
    for (std::size_t i = 0; i < words.size(); ++i)
        out += (i > 0 ? ", " : "") + quoted(words[i]);
    return out + "]";
}

std::string range(const NumberRange& numbers, std::string_view unit = {})
{
    return std::to_string(numbers.lowest) + " to " + std::to_string(numbers.highest) + std::string(unit);
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

std::string nameLength()
{
    return std::to_string(ConfigBlock::nameLength);
}

// A setting's name as the report or the help screen gives it, and what it takes.
std::string name(const GlobalSetting& setting)
{
    return std::string(setting.label);
}

std::string values(const GlobalSetting& setting)
{
    if (takesNumber(setting))
        return range(setting.numbers, setting.unit) + ".";
    return alternatives(setting.words) + ".";
}

std::string name(const ProfileSetting& setting)
{
    return setting.field == ProfileField::name ? "Name" : capitalised(setting.sets);
}

std::string values(const ProfileSetting& setting)
{
    switch (setting.field) {
    case ProfileField::name:
        return "any text of at most " + nameLength() + " bytes.";
    case ProfileField::drive:
        return alternatives(drives()) + ".";
    default:
        return range(setting.numbers) + ".";
    }
}

// As an option's description, and as a note of the settings returned.
template <typename Setting>
std::string takes(const Setting& setting)
{
    return name(setting) + ": " + values(setting);
}

template <typename Setting>
std::string returned(const Setting& setting)
{
    return "C(" + std::string(setting.key) + ") (" + name(setting) + "): " + values(setting);
}

std::string fragment()
{
    const NumberRange& profiles = profileSetting(ProfileField::profile).numbers;
    std::ostringstream out;
    out << "# -*- coding: utf-8 -*-\n"
           "# Copyright (c) 2026 the vornset developers\n"
           "# MIT License (see LICENSE or https://opensource.org/licenses/MIT)\n"
           "#\n"
           "# Printed from vornset's tables of settings by ansible/tests/settings_doc.cpp; the test\n"
           "# ansible.settings_doc fails where this file differs. Print it again with\n"
           "#   build/dev/tests/ansible_settings_doc >ansible/plugins/doc_fragments/settings_keys.py\n"
           "\n"
           "from __future__ import absolute_import, division, print_function\n"
           "__metaclass__ = type\n"
           "\n"
           "\n"
           "class ModuleDocFragment(object):\n"
           "    # The settings module's settings and profiles: every key, and the values it takes.\n"
           "    DOCUMENTATION = r'''\n"
           "options:\n"
           "  settings:\n"
           "    suboptions:\n";
    for (const GlobalSetting& setting : GLOBAL_SETTINGS) {
        out << "      " << setting.key << ":\n"
            << "        description:\n"
            << "          - " << quoted(takes(setting)) << "\n"
            << "          - " << quoted("vornset's help: " + std::string(setting.sets) + ", " + std::string(setting.values))
            << "\n";
        if (takesNumber(setting))
            out << "        type: int\n";
        else
            out << "        type: str\n        choices: " << choices(setting.words) << "\n";
    }
    out << "  profiles:\n"
           "    suboptions:\n";
    for (const ProfileSetting& setting : PROFILE_SETTINGS) {
        if (setting.field == ProfileField::profile)
            continue;
        out << "      " << setting.key << ":\n"
            << "        description:\n"
            << "          - " << quoted(takes(setting)) << "\n";
        switch (setting.field) {
        case ProfileField::name:
            out << "        type: str\n";
            break;
        case ProfileField::drive:
            out << "        type: str\n        choices: " << choices(drives()) << "\n";
            break;
        default:
            out << "        type: int\n";
        }
    }
    out << "notes:\n"
           "  - "
        << quoted("I(profiles) maps a profile number, " + range(profiles) +
                  ", to a dict of that profile's keys: the suboptions listed under I(profiles).")
        << "\n'''\n"
           "\n"
           "    # The settings_info module: the keys and values of the settings it returns.\n"
           "    RETURNED = r'''\n"
           "options: {}\n"
           "notes:\n"
           "  - "
        << quoted("The global settings returned in C(settings), key to value: a word as a string, a number "
                  "as an integer, null where no value gives the code stored:")
        << "\n";
    for (const GlobalSetting& setting : GLOBAL_SETTINGS)
        out << "  - " << quoted(returned(setting)) << "\n";
    out << "  - "
        << quoted("The profiles returned in C(profiles), a list of " + std::to_string(profiles.highest) +
                  ", each with its number C(prf), " + range(profiles) + ", and these keys:")
        << "\n";
    for (const ProfileSetting& setting : PROFILE_SETTINGS) {
        if (setting.field != ProfileField::profile)
            out << "  - " << quoted(returned(setting)) << "\n";
    }
    out << "'''\n";
    return out.str();
}

} // namespace

int main(int argc, char** argv)
{
    std::string printed = fragment();
    if (argc < 2) {
        std::cout << printed;
        return 0;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::string committed{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (committed == printed)
        return 0;
    std::istringstream printedLines(printed), committedLines(committed);
    std::string want, have;
    int line = 0;
    while (++line, std::getline(printedLines, want) && std::getline(committedLines, have) && want == have) {
    }
    std::cerr << argv[1] << ":" << line << ": differs from the tool's tables, which give\n" << want
              << "\nPrint it again with\n  " << argv[0] << " >" << argv[1] << "\n";
    return 1;
}
