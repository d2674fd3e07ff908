#include "output/settings_export.h"

#include "output/messages.h"
#include "output/profiles.h"
#include "settings/hidden_start.h"
#include "settings/settings.h"

#include <algorithm>
#include <span>

namespace vornset {
namespace {

// "prf=N " before a profile's field, nothing before a global one.
void printProfilePrefix(const Field& field, Output& out)
{
    if (field.profile > 0)
        out << "prf=" << field.profile << " ";
}

// The option's value as a line of a settings file gives it; a name as it is.
void printOptionText(const Field& field, Output& out)
{
    switch (field.kind) {
    case ValueKind::word:
        out << field.word;
        break;
    case ValueKind::number:
        out << field.number;
        break;
    case ValueKind::drive:
        printDrive(out, static_cast<std::uint8_t>(field.number));
        break;
    case ValueKind::name:
        out << field.name();
        break;
    case ValueKind::none:
        out << "stored " << static_cast<int>(field.stored);
        break;
    }
}

// The option's value as a JSON value: a word, a drive and a name as strings, a
// number as a number, null where no option gives it. A name that is not UTF-8 is
// null here and its bytes go in prfname_bytes.
void printJsonValue(const Field& field, Output& out)
{
    if (field.kind == ValueKind::none || (field.kind == ValueKind::name && !isUtf8(field.name())))
        out << "null";
    else if (field.kind == ValueKind::number)
        out << field.number;
    else if (field.kind == ValueKind::name)
        out << "\"" << Escaped{field.name()} << "\"";
    else {
        out << "\"";
        printOptionText(field, out);
        out << "\"";
    }
}

void printNameBytes(const Field& field, Output& out)
{
    std::string_view name = field.name();
    if (isUtf8(name)) {
        out << "null";
        return;
    }
    out << "\"";
    for (char c : name)
        out << HexByte{static_cast<unsigned char>(c)};
    out << "\"";
}

// Whether JSON gives the field's value: every name, and any value an option gives.
bool carriedAsJson(const Field& field)
{
    return field.kind != ValueKind::none;
}

void printJsonProfile(const ConfigBlock& block, std::size_t profile, Output& out, Output& err)
{
    out << "    {";
    for (std::size_t i = 0; i < fieldsPerProfile; ++i) {
        Field field = fieldAt(block, GLOBAL_SETTINGS.size() + profile * fieldsPerProfile + i);
        out << (i > 0 ? ", \"" : "\"") << field.key << "\": ";
        printJsonValue(field, out);
        if (field.kind == ValueKind::name) {
            out << ", \"" << field.key << "_bytes\": ";
            printNameBytes(field, out);
        }
        if (!carriedAsJson(field))
            warnNotCarried({}, 0, field, err);
    }
    ConfigBlock::Name name = block.name(profile);
    out << ", \"stored\": {\"partition\": " << static_cast<int>(block.partitionByte(profile))
        << ", \"drive\": " << static_cast<int>(block.drive(profile)) << ", \"name\": [";
    for (std::size_t i = 0; i < name.size(); ++i)
        out << (i > 0 ? ", " : "") << static_cast<int>(name[i]);
    out << "]}}";
}

void printJsonSettings(const ConfigBlock& block, bool stored, Output& out, Output& err)
{
    out << (stored ? "  \"stored\": {\n" : "  \"settings\": {\n");
    for (std::size_t i = 0; i < GLOBAL_SETTINGS.size(); ++i) {
        Field field = fieldAt(block, i);
        out << "    \"" << field.key << "\": ";
        if (stored)
            out << static_cast<int>(field.stored);
        else
            printJsonValue(field, out);
        if (!stored && !carriedAsJson(field))
            warnNotCarried({}, 0, field, err);
        out << (i + 1 < GLOBAL_SETTINGS.size() ? ",\n" : "\n");
    }
    out << "  },\n";
}

// A name between quotes, escaped so that no two even look alike, and after it any
// bytes that its field holds past the name's end, up to the last that is not zero:
// "AB" (then 43 44). Any other value as its option gives it, or its stored bits.
void printChangeValue(const Field& field, Output& out)
{
    if (field.kind != ValueKind::name) {
        printOptionText(field, out);
        return;
    }
    std::string_view name = field.name();
    out << "\"" << Escaped{name, true} << "\"";
    auto rest = std::span(field.nameBytes).subspan(std::min(name.size() + 1, field.nameBytes.size()));
    auto last = std::find_if(rest.rbegin(), rest.rend(), [](std::uint8_t byte) { return byte != 0; });
    if (last == rest.rend())
        return;
    out << " (then";
    for (auto byte = rest.begin(); byte != last.base(); ++byte)
        out << " " << HexByte{*byte};
    out << ")";
}

} // namespace

bool carriedAsOption(const Field& field)
{
    // A control character would break the line, or print otherwise than it reads.
    return field.kind == ValueKind::name ? !holdsControl(field.name()) : field.kind != ValueKind::none;
}

void printNotCarried(const Field& field, Output& out)
{
    if (field.kind == ValueKind::name)
        out << field.key << ": stored name holds a control character";
    else
        out << field.key << ": stored value " << static_cast<int>(field.stored) << " has no option value";
}

void printChanges(const ConfigBlock& before, const ConfigBlock& after, Output& out)
{
    CountingOutput counted(out);
    for (std::size_t i = 0; i < fieldCount; ++i) {
        Field old = fieldAt(before, i), now = fieldAt(after, i);
        if (sameValue(old, now))
            continue;
        printProfilePrefix(old, counted);
        counted << old.key << ": ";
        printChangeValue(old, counted);
        counted << " -> ";
        printChangeValue(now, counted);
        counted << "\n";
    }
    if (counted.written() == 0)
        out << "no changes\n";
}

void printSettingsAsOptions(const ConfigBlock& block, Output& out, Output& err)
{
    out << "# vornset settings, configuration version " << static_cast<int>(supportedVersion) << "\n";
    if (startsHidden(block) && !hiddenStartBootable(block))
        out << "# this image starts hidden without countdown or default boot: "
               "loading these settings into another image is refused\n";
    for (std::size_t i = 0; i < fieldCount; ++i) {
        Field field = fieldAt(block, i);
        if (carriedAsOption(field)) {
            out << field.key << "=";
            printOptionText(field, out);
        } else {
            out << "# ";
            printNotCarried(field, out);
            warnNotCarried({}, 0, field, err);
        }
        out << "\n";
    }
    out << "# end of vornset settings\n";
}

void printSettingsAsJson(const ConfigBlock& block, Output& out, Output& err)
{
    out << "{\n  \"format_version\": 2,\n  \"version\": " << static_cast<int>(supportedVersion) << ",\n";
    printJsonSettings(block, false, out, err);
    printJsonSettings(block, true, out, err);
    out << "  \"profiles\": [\n";
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile) {
        printJsonProfile(block, profile, out, err);
        out << (profile + 1 < ConfigBlock::profileCount ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
}

} // namespace vornset
