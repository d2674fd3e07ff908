#include "console/profiles.h"

#include <algorithm>

namespace vornset {
namespace {

// Fills a column of the given width that holds used characters, and the two spaces
// that part it from the next.
void padding(Output& out, std::size_t used, std::size_t width)
{
    for (; used < width + 2; ++used)
        out << " ";
}

// A name fills its sixteen bytes or ends at its first zero byte.
std::string_view nameText(const ConfigBlock::Name& name)
{
    auto end = std::find(name.begin(), name.end(), 0);
    return {reinterpret_cast<const char*>(name.data()), static_cast<std::size_t>(end - name.begin())};
}

// Drives print as they are typed for btdrv=, two lower-case hex digits and "h".
void printDrive(Output& out, unsigned drive)
{
    constexpr std::string_view hexDigits = "0123456789abcdef";
    const char text[] = {hexDigits[drive >> 4], hexDigits[drive & 0xF], 'h'};
    out << std::string_view(text, sizeof text);
}

void printRow(const ConfigBlock& block, std::size_t profile, Output& out)
{
    int number = static_cast<int>(profile) + 1;
    ConfigBlock::Name name = block.name(profile);
    std::string_view text = nameText(name);
    unsigned partition = block.bootPartition(profile);

    out << (number < 10 ? " " : "") << number << "  " << Printable{text};
    padding(out, printedSize(Printable{text}), 16);
    printDrive(out, block.drive(profile));
    padding(out, 3, 5);
    out << static_cast<int>(partition);
    padding(out, partition < 10 ? 1 : 2, 9);
    out << static_cast<int>(block.logPart(profile)) << "\n";
}

} // namespace

void printProfiles(const ConfigBlock& block, Output& out)
{
    out << "Nr  Name              Drive  Partition  Log part.\n";
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile)
        printRow(block, profile, out);
}

} // namespace vornset
