// vornset: shows and changes the settings kept in a boot manager's image file.
//
//   vornset                      prints the help screen
//   vornset FILE                 prints the image's settings
//   vornset KEY=VALUE... FILE    changes them and rewrites the image in place
//   vornset load=SETTINGS FILE   applies a settings file to the image
//   vornset show=FORM FILE       prints the settings as a table, options or JSON
//   vornset --help | --version

#include "vornset.h"

#include "console/help.h"
#include "console/report.h"
#include "image/config_block.h"
#include "image/image_file.h"
#include "image/native_file.h"
#include "image/native_settings_files.h"
#include "options/command_line.h"
#include "options/global_options.h"
#include "options/profile_edits.h"
#include "options/settings_file.h"
#include "options/show_option.h"
#include "options/write_option.h"

#include <cstdio>

#ifdef _WIN32
#include "console/console_window.h"
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
// file as it was. Settings files are applied first, so the command line wins.
bool editBlock(ConfigBlock& block, Arguments options, Io& io)
{
    ProfileEdits edits;
    if (!loadSettingsFiles(block, options, io.settings, io.out) || !applyGlobalOptions(block, options, io.out)
        || !collectProfileEdits(options, edits, io.out) || !checkShowOption(options, io.out)
        || !checkWriteOption(options, io.out))
        return false;
    // Printed without a newline: the closing message continues this line.
    if (edits.profile && edits.name)
        io.out << "ffff";
    applyProfileEdits(block, edits);
    return true;
}

int editImage(BootImage& image, Arguments options, std::string_view path, Io& io)
{
    ConfigBlock block = configBlock(image);
    if (!editBlock(block, options, io))
        return 1;
    warnOfIgnoredOptions(options, io.err);
    if (isDryRun(options)) {
        io.out << "nothing written (write=no)\n";
        printShownForms(block, options, true, io.out);
        return 0;
    }
    if (ImageError error = saveImage(io.image, image); error != ImageError::none) {
        printImageError(error, path, io.out);
        return 1;
    }
    printClosingMessages(io.out);
    printShownForms(block, options, true, io.out);
    return 0;
}

int runOnImage(std::string_view path, Arguments options, Io& io)
{
    bool edit = !options.empty() && !onlyShows(options);
    BootImage image;
    // A dry run reads the image as a report does, under a shared lock.
    bool write = edit && !isDryRun(options);
    ImageError error = loadImage(io.image, write ? FileAccess::Access::edit : FileAccess::Access::read, image);
    if (error != ImageError::none) {
        printImageError(error, path, io.out);
        return 1;
    }
    if (!hasSupportedVersion(image)) {
        printVersionError(io.out);
        return 1;
    }
    if (edit)
        return editImage(image, options, path, io);
    if (options.empty())
        printInfos(configBlock(image), io.out);
    else
        printShownForms(configBlock(image), options, false, io.out);
    return 0;
}

int runOnce(std::span<const char* const> arguments, Io& io)
{
    if (arguments.size() <= 1 || (arguments.size() == 2 && asksForHelp(arguments[1]))) {
        printHelp(io.out);
        return 0;
    }
    if (arguments.size() == 2 && asksForVersion(arguments[1])) {
        printVersion(io.out);
        return 0;
    }
    Arguments options = arguments.subspan(1, arguments.size() - 2);
    if (!refuseFlags(options, io.out))
        return 1;
    return runOnImage(arguments.back(), options, io);
}

} // namespace

int run(std::span<const char* const> arguments, Io io)
{
    int status = runOnce(arguments, io);
    // The image is closed before anything is written to the standard streams.
    io.image.close();
    bool written = io.out.flush();
    io.err.flush();
    return written ? status : 1;
}

} // namespace vornset

#ifndef VORNSET_NO_MAIN
namespace {

// Standard output itself has failed, so the error stream is the one place left to
// say so. The run has flushed it already.
int finish(int status, const vornset::StandardOutput& out, vornset::StandardOutput& err)
{
    if (out.failed()) {
        err << "vornset: error writing to standard output\n";
        err.flush();
    }
    return status;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t* argv[])
{
    vornset::prepareStandardStreams();
    vornset::StandardOutput out(stdout);
    vornset::StandardOutput err(stderr);
    vornset::NativeFile file(argc > 1 ? argv[argc - 1] : L"");
    std::span<const char* const> arguments = vornset::narrowArguments(argc, argv);
    vornset::NativeSettingsFiles settings(arguments, argv);
    int status = finish(vornset::run(arguments, {file, settings, out, err}), out, err);
    // Started from Explorer, the window would close before its text could be read.
    if (vornset::ownsItsConsoleWindow(vornset::consoleFacts())) {
        vornset::promptToClose(out);
        vornset::waitForEnter();
    }
    return status;
}
#else
int main(int argc, char* argv[])
{
    vornset::prepareStandardStreams();
    vornset::StandardOutput out(stdout);
    vornset::StandardOutput err(stderr);
    vornset::NativeFile file(argc > 1 ? argv[argc - 1] : "");
    vornset::NativeSettingsFiles settings;
    std::span<const char* const> arguments{static_cast<const char* const*>(argv), static_cast<std::size_t>(argc)};
    return finish(vornset::run(arguments, {file, settings, out, err}), out, err);
}
#endif
#endif
