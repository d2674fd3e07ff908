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

#include <algorithm>
#include <array>
#include <cstdint>

namespace vornset {
namespace {

// What a run asks of the image, and every input besides it, read in full before the
// image is opened.
struct Request {
    // The command line's options, read once.
    Entries options;
    std::string_view path;
    bool edit;
    bool dryRun;
    ShownForms shown;
    LoadedSettings settings;
};

// What became of the image while it was open, to be printed once it is closed.
struct Outcome {
    ImageError imageError = ImageError::none;
    // What the edit's write left on disk, and the system's limit where that refused it.
    Written written = Written::nothing;
    std::uint64_t sizeLimit = 0;
    bool wrongVersion = false;
    std::optional<Refusal> refusal;
    // Every option was accepted, and the edit went on to its write.
    bool accepted = false;
    bool nameGiven = false;
    bool nameCut = false;
    ConfigBlock::Name storedName{};
    // The block as it was read, before any option changed it: what an edit's write
    // compares with, and undoes a failed write with, and what show=changes shows.
    std::array<std::uint8_t, ConfigBlock::size> before;
};

// Tells on standard error, at once, that the run waits for another program's lock.
class WaitingNotice final : public LockWaiting {
public:
    WaitingNotice(std::string_view path, Output& err) : path_(path), err_(err) {}

    void waiting() override
    {
        printWaitingForLock(path_, err_);
        err_.flush();
    }

private:
    std::string_view path_;
    Output& err_;
};

// Whether the last name the options give is longer than the field holds.
bool cutsName(Entries options)
{
    bool cut = false;
    runPass(options, Entry::profile, rowOfProfile(ProfileField::name), [&cut](const Entry& name) {
        cut = name.value.size() > ConfigBlock::nameLength;
        return std::optional<Refusal>();
    });
    return cut;
}

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
    outcome.nameCut = outcome.nameGiven && cutsName(request.options);
    if (outcome.nameGiven)
        outcome.storedName = *edits.fields.name;
    applyProfileEdits(block, edits);
    return std::nullopt;
}

// Opens, locks, reads and checks the image, and for an edit applies the options and
// writes it back; the caller closes it.
Outcome workOnImage(const Request& request, BootImage& image, Io& io)
{
    Outcome outcome;
    bool writes = request.edit && !request.dryRun;
    WaitingNotice notice(request.path, io.err);
    // A dry run reads the image as a report does, under a shared lock.
    FileAccess::Access access = writes ? FileAccess::Access::edit : FileAccess::Access::read;
    outcome.imageError = loadImage(io.image, access, image, notice, io.clock);
    if (outcome.imageError != ImageError::none)
        return outcome;
    outcome.wrongVersion = !hasSupportedVersion(image);
    if (outcome.wrongVersion)
        return outcome;
    ConfigBlock block = configBlock(image);
    if (request.edit || request.shown.asks(Form::changes))
        std::copy_n(image.content.begin() + ConfigBlock::offsetInImage, ConfigBlock::size, outcome.before.begin());
    if (!request.edit || request.settings.unreadable)
        return outcome;
    if (request.settings.refusal) {
        outcome.refusal = request.settings.refusal;
        return outcome;
    }
    outcome.refusal = editBlock(block, request, outcome);
    outcome.accepted = !outcome.refusal;
    if (outcome.accepted && writes) {
        Saving saving = saveImage(io.image, image, outcome.before);
        outcome.imageError = saving.error;
        outcome.written = saving.written;
        outcome.sizeLimit = saving.sizeLimit;
    }
    return outcome;
}

void printForm(Form form, const ConfigBlock& block, Outcome& outcome, Output& out, Output& err)
{
    switch (form) {
    case Form::changes:
        printChanges(ConfigBlock(outcome.before), block, out);
        break;
    case Form::profiles:
        printProfiles(block, out);
        break;
    case Form::options:
        printSettingsAsOptions(block, out, err);
        break;
    case Form::json:
        printSettingsAsJson(block, out, err);
        break;
    }
}

// Each form the options ask for, each after an empty line where text came before it.
void printForms(const ConfigBlock& block, Outcome& outcome, const ShownForms& shown, bool afterOtherText, Io& io)
{
    for (Form form : shown.asked()) {
        if (afterOtherText)
            io.out << "\n";
        printForm(form, block, outcome, io.out, io.err);
        afterOtherText = true;
    }
}

// Whether the run prints a form that another program reads: its messages then go to
// standard error alone, so that the reader gets nothing rather than a message.
bool printsData(const ShownForms& shown)
{
    return shown.asks(Form::options) || shown.asks(Form::json);
}

void warnOfIgnoredOptions(Entries options, Output& err)
{
    for (const Entry& option : options) {
        switch (option.why) {
        case Ignored::no:
            break;
        case Ignored::noSuchOption:
            warnNoSuchOption(option.text, option.meant, err);
            break;
        case Ignored::noValue:
            warnNoValue(option.meant, err);
            break;
        case Ignored::empty:
            warnEmptyArgument(err);
            break;
        case Ignored::noProfileChosen:
            warnNoProfileChosen(option.text, err);
            break;
        }
    }
}

// The fields that the loaded files say they leave as the image has them.
void warnOfNotCarried(const Request& request, Output& err)
{
    const StagedSettings& staged = request.settings.staged;
    bool several = settingsFileCount(request.options) > 1;
    for (std::size_t i = 0; i < staged.notCarriedCount; ++i) {
        const NotCarried& left = staged.notCarried[i];
        std::string_view file = several ? settingsFileName(request.options, left.place.file) : std::string_view{};
        warnNotCarried(file, left.place.line, left.field, err);
    }
}

// Several "prf=" that choose different profiles, with options for a profile: they
// all go to the last.
void warnOfProfilesChosen(Entries options, Output& err)
{
    int times = 0;
    bool differ = false, edits = false;
    std::optional<int> last;
    for (const Entry& option : options) {
        if (option.kind != Entry::profile)
            continue;
        if (option.row != rowOfProfile(ProfileField::profile)) {
            edits = true;
            continue;
        }
        std::optional<int> number = parseNumber(option.value);
        differ = differ || (last && number != last);
        last = number;
        ++times;
    }
    if (differ && edits && last)
        warnProfileChosenTimes(times, *last, err);
}

// What failed with the image file: the fixed message, then, on standard error, why,
// and for a failed write, what the image holds since.
void printImageFailure(const Request& request, const Outcome& outcome, Output& messages, Io& io)
{
    ImageError error = outcome.imageError;
    if (error == ImageError::locked) {
        printImageError(request.edit && !request.dryRun ? ImageError::cannotOpenForWriting : ImageError::cannotRead,
                        request.path, messages);
        printLockedByOther(request.path, io.err);
        return;
    }
    printImageError(error, request.path, messages);
    if (error == ImageError::overSizeLimit)
        printOverSizeLimit(request.path, outcome.sizeLimit, io.err);
    else if (error == ImageError::cannotWrite)
        printWriteFailure(request.path, io.image.failure(), outcome.written, io.err);
    else
        printImageReason(error, request.path, io.image.failure(), io.err);
}

// The first failure before the edit's write ends the run with its one message.
bool printFailure(const Request& request, const Outcome& outcome, Output& messages, Io& io)
{
    if (outcome.imageError != ImageError::none && !outcome.accepted)
        printImageFailure(request, outcome, messages, io);
    else if (outcome.wrongVersion)
        printVersionError(messages);
    else if (request.edit && request.settings.unreadable)
        printUnreadableSettings(request.settings.unreadable->name, request.settings.unreadable->fault,
                                request.settings.unreadable->reason, messages, io.err);
    else if (outcome.refusal)
        printRefusal(*outcome.refusal, messages);
    else
        return false;
    return true;
}

int printEdit(const Request& request, Outcome& outcome, BootImage& image, Output& messages, Io& io)
{
    bool failed = outcome.imageError != ImageError::none;
    // The warnings first: a failed data run's "ffff" and message share a line of the
    // standard error.
    warnOfIgnoredOptions(request.options, io.err);
    warnOfNotCarried(request, io.err);
    warnOfProfilesChosen(request.options, io.err);
    if (outcome.nameCut)
        warnNameCut({reinterpret_cast<const char*>(outcome.storedName.data()), outcome.storedName.size()}, io.err);
    if (outcome.nameGiven)
        printNameMark(failed ? messages : io.out);
    if (failed) {
        printImageFailure(request, outcome, messages, io);
        return 1;
    }
    ConfigBlock block = configBlock(image);
    if (request.dryRun)
        printNothingWritten(io.out);
    else
        printClosingMessages(io.out);
    printForms(block, outcome, request.shown, true, io);
    return 0;
}

int printOutcome(const Request& request, Outcome& outcome, BootImage& image, Io& io)
{
    ErrorLines errorLines(io.err);
    Output& messages = printsData(request.shown) ? static_cast<Output&>(errorLines) : io.out;
    if (printFailure(request, outcome, messages, io)) {
        if (io.refused != nullptr)
            *io.refused = outcome.refusal;
        return 1;
    }
    if (request.edit)
        return printEdit(request, outcome, image, messages, io);
    if (request.options.empty())
        printInfos(configBlock(image), io.out);
    else
        printForms(configBlock(image), outcome, request.shown, false, io);
    return 0;
}

int runOnImage(Entries options, std::string_view path, Io& io)
{
    Request request{options, path, !options.empty() && !onlyShows(options), isDryRun(options), shownForms(options), {}};
    if (request.edit && settingsFileCount(options) > 0)
        request.settings = readSettingsFiles(options, io.settings);
    BootImage image;
    Outcome outcome = workOnImage(request, image, io);
    io.image.close();
    return printOutcome(request, outcome, image, io);
}

int runOnce(std::span<const char* const> arguments, Io& io)
{
    if (arguments.size() <= 1) {
        printHelp(io.out);
        return 0;
    }
    if (arguments.size() == 2 && asksForHelp(arguments[1])) {
        printHelp(io.out);
        printMoreHelp(io.out);
        return 0;
    }
    if (arguments.size() == 2 && asksForVersion(arguments[1])) {
        printVersion(io.out);
        return 0;
    }
    CommandLine commandLine = readCommandLine(arguments.subspan(1, arguments.size() - 2), io.inexact);
    if (std::optional<Refusal> refusal = refuseCommandLine(commandLine, io.settings)) {
        ErrorLines errorLines(io.err);
        printRefusal(*refusal, printsData(shownForms(commandLine.entries)) ? static_cast<Output&>(errorLines) : io.out);
        if (io.refused != nullptr)
            *io.refused = refusal;
        return 1;
    }
    return runOnImage(commandLine.entries, arguments.back(), io);
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
