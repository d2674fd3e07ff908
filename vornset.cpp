// vornset: shows and changes the settings kept in a boot manager's image file.
//
//   vornset                      prints the help screen
//   vornset FILE                 prints the image's settings
//   vornset KEY=VALUE... FILE    changes them and rewrites the image in place
//   vornset load=SETTINGS FILE   applies a settings file to the image
//   vornset show=FORM FILE       prints the settings as a table, options or JSON
//   vornset --help | --version
//
// A run reads every input into one plan first; then it either reports on the image
// or edits it, each in one straight line: open, lock, check, read, (apply, write,
// sync,) close, and only then print.

#include "vornset.h"

#include "formats/settings_json.h"
#include "formats/settings_text.h"
#include "image/config_block.h"
#include "image/image_file.h"
#include "options/apply.h"
#include "options/command_line.h"
#include "options/param.h"
#include "output/help.h"
#include "output/messages.h"
#include "output/profiles.h"
#include "output/report.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vornset {
namespace {

using Access = FileAccess::Access;
using Block = std::array<std::uint8_t, ConfigBlock::size>;

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

std::string_view withoutByteOrderMark(std::string_view text)
{
    // What Windows Notepad may put at the start of a UTF-8 file.
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    return text;
}

bool isJson(std::string_view text)
{
    std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '{';
}

// Reads the settings files that load= names, in their order, each a file by its path
// or standard input for "-", into the plan; the first that cannot be read or holds a
// line that is refused ends the reading.
void readSettingsFiles(Plan& plan, SettingsFiles& files, std::span<char> buffer)
{
    for (int file = 1; static_cast<std::size_t>(file) <= plan.loads(); ++file) {
        std::string_view name = plan.loadName(file);
        SettingsFiles::Reading reading = files.read(name, buffer);
        std::string_view text(buffer.data(), reading.length);
        if (reading.fault == SettingsFiles::Fault::none && text.find('\0') != std::string_view::npos)
            reading.fault = SettingsFiles::Fault::zeroByte;
        if (reading.fault != SettingsFiles::Fault::none) {
            plan.unreadable = {name, reading.fault, files.failure()};
            return;
        }
        text = withoutByteOrderMark(text);
        plan.refusal = isJson(text) ? readSettingsJson(text, file, plan) : readSettingsText(text, file, plan);
        if (plan.refusal) {
            plan.refusal->file = plan.loads() > 1 ? name : std::string_view{};
            return;
        }
    }
}

// One run once its plan is read: where its messages go (standard output, or, where it
// prints a form that another program reads, standard error alone, so that the reader
// gets nothing rather than a message), and what it prints in more than one place.
class Run {
public:
    Run(const Plan& read, std::string_view image, Io& reaches)
        : plan(read), path(image), io(reaches), errorLines_(reaches.err),
          messages(read.printsData ? errorLines_ : reaches.out)
    {
    }

    const Plan& plan;
    std::string_view path;
    Io& io;

private:
    ErrorLines errorLines_;

public:
    Output& messages;

    // What failed with the image file: the fixed message, then, on standard error,
    // why, and for a failed write, what the image holds since.
    int imageFailure(ImageError error, const Saving& saving = {})
    {
        if (error == ImageError::locked) {
            printImageError(plan.edit && !plan.dryRun ? ImageError::cannotOpenForWriting : ImageError::cannotRead, path,
                            messages);
            printLockedByOther(path, io.err);
            return 1;
        }
        printImageError(error, path, messages);
        if (error == ImageError::overSizeLimit)
            printOverSizeLimit(path, saving.sizeLimit, io.err);
        else if (error == ImageError::cannotWrite)
            printWriteFailure(path, io.image.failure(), saving.written, io.err);
        else
            printImageReason(error, path, io.image.failure(), io.err);
        return 1;
    }

    // What keeps the image from being worked on at all: it could not be read, or
    // holds another configuration version.
    bool unusable(ImageError error, bool wrongVersion)
    {
        if (error != ImageError::none)
            return imageFailure(error);
        if (wrongVersion)
            printVersionError(messages);
        return wrongVersion;
    }

    int refuse(const Refusal& refusal)
    {
        printRefusal(refusal, messages);
        if (io.refused != nullptr)
            *io.refused = refusal;
        return 1;
    }

    // Each form the plan asks for, each after an empty line where text came before it.
    void printForms(const ConfigBlock& before, const ConfigBlock& after, bool afterOtherText)
    {
        for (Form form : plan.forms()) {
            if (afterOtherText)
                io.out << "\n";
            afterOtherText = true;
            if (form == Form::changes)
                printChanges(before, after, io.out);
            else if (form == Form::profiles)
                printProfiles(after, io.out);
            else if (form == Form::options)
                printSettingsAsOptions(after, io.out, io.err);
            else
                printSettingsAsJson(after, io.out, io.err);
        }
    }
};

// Reads the image under a shared lock, and prints its settings: the report, or the
// forms the plan asks for.
int report(Run& run)
{
    BootImage image;
    WaitingNotice notice(run.path, run.io.err);
    ImageError error = loadImage(run.io.image, Access::read, image, notice, run.io.clock);
    if (run.unusable(error, error == ImageError::none && !hasSupportedVersion(image)))
        return 1;
    ConfigBlock block = configBlock(image);
    if (run.plan.arguments.empty())
        printInfos(block, run.io.out);
    else
        run.printForms(block, block, false);
    return 0;
}

// What became of an edit while the image was open, to be printed once it is closed.
struct Edit {
    ImageError error = ImageError::none;
    bool wrongVersion = false;
    std::optional<Refusal> refusal;
    GivenName name;
    Saving saving;
    // The block as it was read, before any option changed it.
    Block before{};
};

// Opens, locks, reads and checks the image, applies the plan, and writes the block
// back where it changed; a dry run reads the image as a report does. Closes it.
Edit editImage(const Plan& plan, BootImage& image, Io& io, std::string_view path)
{
    Edit edit;
    WaitingNotice notice(path, io.err);
    edit.error = loadImage(io.image, plan.dryRun ? Access::read : Access::edit, image, notice, io.clock);
    edit.wrongVersion = edit.error == ImageError::none && !hasSupportedVersion(image);
    if (edit.error == ImageError::none && !edit.wrongVersion && !plan.unreadable) {
        ConfigBlock block = configBlock(image);
        std::copy_n(image.content.begin() + ConfigBlock::offsetInImage, ConfigBlock::size, edit.before.begin());
        edit.refusal = plan.refusal ? plan.refusal : applyPlan(plan, block, edit.name);
        if (!edit.refusal && !plan.dryRun)
            edit.saving = saveImage(io.image, image, edit.before);
    }
    io.image.close();
    return edit;
}

// Options that did nothing, each on one line of standard error, in their order.
void warnOfIgnoredOptions(const Plan& plan, Output& err)
{
    for (std::size_t i = 0; i < plan.arguments.size(); ++i) {
        const Option& option = plan.options[i];
        if (option.why == Ignored::noSuchOption)
            warnNoSuchOption(plan.text(i), keyText(option.meant), err);
        else if (option.why == Ignored::noValue)
            warnNoValue(keyText(option.meant), err);
        else if (option.why == Ignored::empty)
            warnEmptyArgument(err);
        else if (option.why == Ignored::noProfileChosen)
            warnNoProfileChosen(plan.text(i), err);
    }
}

// The fields that the loaded files say they leave as the image has them.
void warnOfNotCarried(const Plan& plan, Output& err)
{
    const FileSettings& files = plan.files;
    for (std::size_t i = 0; i < files.notCarriedCount; ++i) {
        const NotCarried& left = *files.notCarried[i];
        Field field{.key = keyText(left.key), .profile = left.profile, .stored = left.stored.value_or(0),
                    .kind = left.stored ? ValueKind::none : ValueKind::name};
        warnNotCarried(plan.loads() > 1 ? plan.loadName(left.at.file) : std::string_view{}, left.at.line, field, err);
    }
}

// Several "prf=" that choose different profiles, with options for a profile: they
// all go to the last.
void warnOfProfilesChosen(const Plan& plan, Output& err)
{
    std::span<const std::uint16_t> chosen = plan.valuesOf(keyOf(ProfileField::profile));
    if (chosen.size() < 2)
        return;
    bool edits = false;
    for (Key key = keyOf(ProfileField::name); key < firstRunKey; ++key)
        edits = edits || !plan.valuesOf(key).empty();
    std::optional<int> last;
    bool differ = false;
    for (std::uint16_t position : chosen) {
        std::optional<int> number = parseNumber(plan.value(position));
        differ = differ || (last && number != last);
        last = number;
    }
    if (differ && edits && last)
        warnProfileChosenTimes(static_cast<int>(chosen.size()), *last, err);
}

int edit(Run& run)
{
    BootImage image;
    const Plan& plan = run.plan;
    Io& io = run.io;
    Edit edit = editImage(plan, image, io, run.path);
    if (run.unusable(edit.error, edit.wrongVersion))
        return 1;
    if (plan.unreadable) {
        printUnreadableSettings(plan.unreadable->name, plan.unreadable->fault, plan.unreadable->reason, run.messages, io.err);
        return 1;
    }
    if (edit.refusal)
        return run.refuse(*edit.refusal);
    // The warnings first: a failed data run's "ffff" and message share a line of the
    // standard error.
    warnOfIgnoredOptions(plan, io.err);
    warnOfNotCarried(plan, io.err);
    warnOfProfilesChosen(plan, io.err);
    if (edit.name.cut)
        warnNameCut({reinterpret_cast<const char*>(edit.name.stored.data()), edit.name.stored.size()}, io.err);
    bool failed = edit.saving.error != ImageError::none;
    if (edit.name.given)
        printNameMark(failed ? run.messages : io.out);
    if (failed)
        return run.imageFailure(edit.saving.error, edit.saving);
    if (plan.dryRun)
        printNothingWritten(io.out);
    else
        printClosingMessages(io.out);
    run.printForms(ConfigBlock(edit.before), configBlock(image), true);
    return 0;
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
    Plan plan;
    std::optional<Refusal> refusal = readCommandLine(arguments.subspan(1, arguments.size() - 2), io.inexact, io.settings, plan);
    Run run(plan, arguments.back(), io);
    if (refusal)
        return run.refuse(*refusal);
    // What the settings files are read into; the plan's values stand in it.
    std::array<char, 65536> settingsText;
    if (plan.edit)
        readSettingsFiles(plan, io.settings, settingsText);
    return plan.edit ? edit(run) : report(run);
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
