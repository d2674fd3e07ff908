#include "output/profiles.h"

namespace vornset {
namespace {

// Fills a column of the given width that holds used characters, and the two spaces
// that part it from the next.
void padding(Output& out, std::size_t used, std::size_t width)
{
    for (; used < width + 2; ++used)
        out << " ";
}

void printRow(const ConfigBlock& block, std::size_t profile, Output& out)
{
    int number = static_cast<int>(profile) + 1;
    ConfigBlock::Name name = block.name(profile);
    std::string_view text = textOf(name);
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

void printDrive(Output& out, std::uint8_t drive)
{
    out << HexByte{drive} << "h";
}

void printProfiles(const ConfigBlock& block, Output& out)
{
    out << "Nr  Name              Drive  Partition  Log part.\n";
    for (std::size_t profile = 0; profile < ConfigBlock::profileCount; ++profile)
        printRow(block, profile, out);
}

} // namespace vornset
