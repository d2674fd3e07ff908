// vornset: shows and changes the settings kept in a boot manager's image file.
//
//   vornset                      prints the help screen
//   vornset FILE                 prints the image's settings
//   vornset KEY=VALUE... FILE    changes them and rewrites the image in place

#include "vornset.h"

#include "console/help.h"
#include "console/report.h"
#include "image/config_block.h"
#include "image/image_file.h"
#include "image/stdio_file.h"
#include "options/global_options.h"
#include "options/profile_edits.h"

namespace vornset {
namespace {

void printVersionError(Output& out)
{
    out << "Error: wrong boot manager configuration version\n"
        << "       use the latest boot manager version and the latest vornset\n"
        << "       see " << projectAddress << "\n";
}

void printClosingMessages(Output& out)
{
    out << "data changed\n\n"
        << "hint: if you use the windows boot menu to start the boot manager, then its\n"
        << "a good idea to start vornprep again! vornbm.bin may not be fragmented.\n";
}

// Every option is validated before anything is written, so a refusal leaves the
// file as it was.
bool editImage(ConfigBlock& block, Arguments options, Output& out)
{
    ProfileEdits edits;
    if (!applyGlobalOptions(block, options, out) || !collectProfileEdits(options, edits, out))
        return false;
    applyProfileEdits(block, edits, out);
    return true;
}

} // namespace

int run(std::span<const char* const> arguments, Output& out, FileAccess& file)
{
    if (arguments.size() <= 1) {
        printHelp(out);
        return 0;
    }

    BootImage image;
    image.path = arguments.back();
    if (!loadImage(file, image, out))
        return 1;
    if (!hasSupportedVersion(image)) {
        printVersionError(out);
        return 1;
    }
    ConfigBlock block = configBlock(image);

    if (arguments.size() == 2) {
        printInfos(block, out);
        return 0;
    }

    if (!editImage(block, arguments.subspan(1, arguments.size() - 2), out) || !saveImage(file, image, out))
        return 1;
    printClosingMessages(out);
    return 0;
}

} // namespace vornset

#ifndef VORNSET_NO_MAIN
int main(int argc, char* argv[])
{
    vornset::StandardOutput out;
    vornset::StdioFile file;
    return vornset::run({static_cast<const char* const*>(argv), static_cast<std::size_t>(argc)}, out, file);
}
#endif
