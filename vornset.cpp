// vornset: shows and changes the settings kept in a boot manager's image file.
//
//   vornset                      prints the help screen
//   vornset FILE                 prints the image's settings
//   vornset KEY=VALUE... FILE    changes them and rewrites the image in place
//   vornset load=SETTINGS FILE   applies a settings file to the image
//   vornset show=FORM FILE       prints the settings as a table, options or JSON
//   vornset --help | --version

#include "vornset.h"

#include "image/config_block.h"
#include "image/image_file.h"
#include "options/command_line.h"
#include "options/global_options.h"
#include "options/hidden_start_rule.h"
#include "options/profile_edits.h"
#include "options/settings_file.h"
#include "options/show_option.h"
#include "options/write_option.h"
#include "output/help.h"
#include "output/messages.h"
#include "output/profiles.h"
#include "output/report.h"
#include "output/settings_export.h"

namespace vornset {
namespace {

// What a run asks of the image, and every input besides it, read in full before the
// image is opened.
struct Request {
    Arguments options;
    std::string_view path;
    bool edit;
    bool dryRun;
    LoadedSettings settings;
};

// What became of the image while it was open, to be printed once it is closed.
struct Outcome {
    ImageError imageError = ImageError::none;
    bool wrongVersion = false;
    std::optional<Refusal> refusal;
    // Every option was accepted, and the edit went on to its write.
    bool accepted = false;
    bool nameGiven = false;
};

// Settings files first, so that the command line's own options win. Every option
// is validated before anything is written, so a refusal leaves the file as it was.
std::optional<Refusal> editBlock(ConfigBlock& block, const Request& request, Outcome& outcome)
{
    HiddenStartBytes before = hiddenStartBytes(block);
    applyStagedSettings(request.settings.staged, block);
    ProfileEdits edits;
    std::optional<Refusal> refusal = applyGlobalOptions(block, request.options);
    if (!refusal)
        refusal = judgeHiddenStart(before, block, request.settings.staged, request.options);
    if (!refusal)
        refusal = collectProfileEdits(request.options, edits);
    if (!refusal)
        refusal = checkShowOption(request.options);
    if (!refusal)
        refusal = checkWriteOption(request.options);
    if (refusal)
        return refusal;
    outcome.nameGiven = edits.profile && edits.fields.name;
    applyProfileEdits(block, edits);
    return std::nullopt;
}

// Opens, locks, reads and checks the image, and for an edit applies the options and
// writes it back; the caller closes it.
Outcome workOnImage(const Request& request, BootImage& image, FileAccess& file)
{
    Outcome outcome;
    bool writes = request.edit && !request.dryRun;
    // A dry run reads the image as a report does, under a shared lock.
    outcome.imageError = loadImage(file, writes ? FileAccess::Access::edit : FileAccess::Access::read, image);
    if (outcome.imageError != ImageError::none)
        return outcome;
    outcome.wrongVersion = !hasSupportedVersion(image);
    if (outcome.wrongVersion || !request.edit || request.settings.unreadable)
        return outcome;
    if (request.settings.refusal) {
        outcome.refusal = request.settings.refusal;
        return outcome;
    }
    ConfigBlock block = configBlock(image);
    outcome.refusal = editBlock(block, request, outcome);
    outcome.accepted = !outcome.refusal;
    if (outcome.accepted && writes)
        outcome.imageError = saveImage(file, image);
    return outcome;
}

void printForm(Form form, const ConfigBlock& block, Output& out)
{
    switch (form) {
    case Form::profiles:
        printProfiles(block, out);
        break;
    case Form::options:
        printSettingsAsOptions(block, out);
        break;
    case Form::json:
        printSettingsAsJson(block, out);
        break;
    }
}

// Each form the options ask for, each after an empty line where text came before it.
void printForms(const ConfigBlock& block, Arguments options, bool afterOtherText, Output& out)
{
    ShownForms shown = shownForms(options);
    for (Form form : shown.asked()) {
        if (afterOtherText)
            out << "\n";
        printForm(form, block, out);
        afterOtherText = true;
    }
}

void warnOfIgnoredOptions(Arguments options, Output& err)
{
    for (std::string_view option : options) {
        switch (whyIgnored(option, options)) {
        case Ignored::no:
            break;
        case Ignored::noSuchOption:
            warnNoSuchOption(option, err);
            break;
        case Ignored::noProfileChosen:
            warnNoProfileChosen(option, err);
            break;
        }
    }
}

// The first failure before the edit's write ends the run with its one message.
bool printFailure(const Request& request, const Outcome& outcome, Io& io)
{
    if (outcome.imageError != ImageError::none && !outcome.accepted)
        printImageError(outcome.imageError, request.path, io.out);
    else if (outcome.wrongVersion)
        printVersionError(io.out);
    else if (request.edit && request.settings.unreadable)
        printUnreadableSettings(*request.settings.unreadable, io.out);
    else if (outcome.refusal)
        printRefusal(*outcome.refusal, io.out);
    else
        return false;
    return true;
}

int printEdit(const Request& request, const Outcome& outcome, BootImage& image, Io& io)
{
    if (outcome.nameGiven)
        printNameMark(io.out);
    warnOfIgnoredOptions(request.options, io.err);
    if (outcome.imageError != ImageError::none) {
        printImageError(outcome.imageError, request.path, io.out);
        return 1;
    }
    if (request.dryRun)
        printNothingWritten(io.out);
    else
        printClosingMessages(io.out);
    printForms(configBlock(image), request.options, true, io.out);
    return 0;
}

int printOutcome(const Request& request, const Outcome& outcome, BootImage& image, Io& io)
{
    if (printFailure(request, outcome, io)) {
        if (io.refused != nullptr)
            *io.refused = outcome.refusal;
        return 1;
    }
    if (request.edit)
        return printEdit(request, outcome, image, io);
    if (request.options.empty())
        printInfos(configBlock(image), io.out);
    else
        printForms(configBlock(image), request.options, false, io.out);
    return 0;
}

int runOnImage(Arguments options, std::string_view path, Io& io)
{
    Request request{options, path, !options.empty() && !onlyShows(options), isDryRun(options), {}};
    if (request.edit)
        request.settings = readSettingsFiles(options, io.settings);
    BootImage image;
    Outcome outcome = workOnImage(request, image, io.image);
    io.image.close();
    return printOutcome(request, outcome, image, io);
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
    if (std::optional<Refusal> flag = refuseFlags(options)) {
        printRefusal(*flag, io.out);
        if (io.refused != nullptr)
            *io.refused = flag;
        return 1;
    }
    return runOnImage(options, arguments.back(), io);
}

} // namespace

int run(std::span<const char* const> arguments, Io io)
{
    int status = runOnce(arguments, io);
    // Closed already on every path that opened it; a guard for any other.
    io.image.close();
    io.err.flush();
    return io.out.flush() ? status : 1;
}

} // namespace vornset
