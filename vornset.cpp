// vornset: shows and changes the settings kept in a boot manager's image file.
//
//   vornset                      prints the help screen
//   vornset FILE                 prints the image's settings
//   vornset KEY=VALUE... FILE    changes them and rewrites the image in place

#include "vornset.h"

#include "console/help.h"
#include "console/profiles.h"
#include "console/report.h"
#include "image/config_block.h"
#include "image/image_file.h"
#include "image/native_file.h"
#include "options/global_options.h"
#include "options/profile_edits.h"
#include "options/show_option.h"

#include <cstdio>

#ifdef _WIN32
#include "console/windows_arguments.h"
#endif

namespace vornset {
namespace {

void printVersionError(Output& out)
{
    out << "Error: wrong boot manager configuration version\n"
        << "       use the latest boot manager version and the latest vornset\n"
        << "       see " << projectAddress << "\n";
}

static_assert(BootImage::capacity == 65536 && minimumImageLength == 1928, "the size messages name these lengths");

void printImageError(ImageError error, std::string_view path, Output& out)
{
    switch (error) {
    case ImageError::none:
        break;
    case ImageError::cannotOpen:
        out << "Error: unable to open " << Printable{path} << "\n";
        break;
    case ImageError::cannotRead:
        out << "Error: unable to read file\n";
        break;
    case ImageError::tooLarge:
        out << "Error: file too large for a boot manager image (more than 65536 bytes)\n";
        break;
    case ImageError::tooShort:
        out << "Error: file too short for a boot manager image (less than 1928 bytes)\n";
        break;
    case ImageError::cannotOpenForWriting:
        out << "Error: unable to open " << Printable{path} << " for writing\n";
        break;
    case ImageError::cannotWrite:
        out << "Error: unable to write to file\n";
        break;
    }
}

void printClosingMessages(Output& out)
{
    out << "data changed\n\n"
        << "hint: if you use the windows boot menu to start the boot manager, then its\n"
        << "a good idea to start vornprep again! vornbm.bin may not be fragmented.\n";
}

// Every option is validated before anything is written, so a refusal leaves the
// file as it was.
bool editBlock(ConfigBlock& block, Arguments options, Output& out)
{
    ProfileEdits edits;
    if (!applyGlobalOptions(block, options, out) || !collectProfileEdits(options, edits, out)
        || !checkShowOption(options, out))
        return false;
    applyProfileEdits(block, edits, out);
    return true;
}

int editImage(FileAccess& file, BootImage& image, Arguments options, std::string_view path, Output& out)
{
    ConfigBlock block = configBlock(image);
    if (!editBlock(block, options, out))
        return 1;
    if (ImageError error = saveImage(file, image); error != ImageError::none) {
        printImageError(error, path, out);
        return 1;
    }
    printClosingMessages(out);
    if (showsProfiles(options)) {
        out << "\n";
        printProfiles(block, out);
    }
    return 0;
}

int runOnce(std::span<const char* const> arguments, Output& out, FileAccess& file)
{
    if (arguments.size() <= 1) {
        printHelp(out);
        return 0;
    }
    std::string_view path = arguments.back();
    Arguments options = arguments.subspan(1, arguments.size() - 2);
    bool edit = !options.empty() && !onlyShowsProfiles(options);

    BootImage image;
    ImageError error = loadImage(file, edit ? FileAccess::Access::edit : FileAccess::Access::read, image);
    if (error != ImageError::none) {
        printImageError(error, path, out);
        return 1;
    }
    if (!hasSupportedVersion(image)) {
        printVersionError(out);
        return 1;
    }
    if (edit)
        return editImage(file, image, options, path, out);
    if (options.empty())
        printInfos(configBlock(image), out);
    else
        printProfiles(configBlock(image), out);
    return 0;
}

} // namespace

int run(std::span<const char* const> arguments, Output& out, FileAccess& file)
{
    int status = runOnce(arguments, out, file);
    return out.flush() ? status : 1;
}

} // namespace vornset

#ifndef VORNSET_NO_MAIN
namespace {

// Standard output itself has failed, so the error stream is the one place left to
// say so. The run has flushed it already.
int finish(int status, const vornset::StandardOutput& out)
{
    if (out.failed())
        std::fputs("vornset: error writing to standard output\n", stderr);
    return status;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t* argv[])
{
    vornset::StandardOutput out;
    vornset::NativeFile file(argc > 1 ? argv[argc - 1] : L"");
    return finish(vornset::run(vornset::narrowArguments(argc, argv), out, file), out);
}
#else
int main(int argc, char* argv[])
{
    vornset::StandardOutput out;
    vornset::NativeFile file(argc > 1 ? argv[argc - 1] : "");
    return finish(vornset::run({static_cast<const char* const*>(argv), static_cast<std::size_t>(argc)}, out, file), out);
}
#endif
#endif
