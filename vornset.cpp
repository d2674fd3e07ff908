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

// Where the run's message goes: standard output, or, where the run prints a form that
// another program reads, standard error alone, so that the reader gets nothing rather
// than a message.
class Messages {
public:
    Messages(const Plan& plan, Io& io)
        : errorLines_(io.err), to_(plan.shows(Form::options) || plan.shows(Form::json) ? errorLines_ : io.out)
    {
    }

    Output& out() { return to_; }

private:
    ErrorLines errorLines_;
    Output& to_;
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

// What failed with the image file: the fixed message, then, on standard error, why,
// and for a failed write, what the image holds since.
void printImageFailure(ImageError error, const Saving& saving, Access access, std::string_view path, Output& messages,
                       Io& io)
{
    if (error == ImageError::locked) {
        printImageError(access == Access::edit ? ImageError::cannotOpenForWriting : ImageError::cannotRead, path, messages);
        printLockedByOther(path, io.err);
        return;
    }
    printImageError(error, path, messages);
    if (error == ImageError::overSizeLimit)
        printOverSizeLimit(path, saving.sizeLimit, io.err);
    else if (error == ImageError::cannotWrite)
        printWriteFailure(path, io.image.failure(), saving.written, io.err);
    else
        printImageReason(error, path, io.image.failure(), io.err);
}

// Each form the plan asks for, each after an empty line where text came before it.
void printForms(const Plan& plan, const ConfigBlock& before, const ConfigBlock& after, bool afterOtherText, Io& io)
{
    for (Form form : plan.forms()) {
        if (afterOtherText)
            io.out << "\n";
        afterOtherText = true;
        switch (form) {
        case Form::changes:
            printChanges(before, after, io.out);
            break;
        case Form::profiles:
            printProfiles(after, io.out);
            break;
        case Form::options:
            printSettingsAsOptions(after, io.out, io.err);
            break;
        case Form::json:
            printSettingsAsJson(after, io.out, io.err);
            break;
        }
    }
}

int refuse(const Refusal& refusal, Output& messages, Io& io)
{
    printRefusal(refusal, messages);
    if (io.refused != nullptr)
        *io.refused = refusal;
    return 1;
}

// Reads the image under a shared lock, and prints its settings: the report, or the
// forms the plan asks for.
int report(const Plan& plan, std::string_view path, Io& io)
{
    BootImage image;
    WaitingNotice notice(path, io.err);
    ImageError error = loadImage(io.image, Access::read, image, notice, io.clock);
    Messages messages(plan, io);
    if (error != ImageError::none) {
        printImageFailure(error, {}, Access::read, path, messages.out(), io);
        return 1;
    }
    if (!hasSupportedVersion(image)) {
        printVersionError(messages.out());
        return 1;
    }
    ConfigBlock block = configBlock(image);
    if (plan.arguments.empty())
        printInfos(block, io.out);
    else
        printForms(plan, block, block, false, io);
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
        std::string_view meant = keyText(option.meant);
        switch (option.why) {
        case Ignored::no:
            break;
        case Ignored::noSuchOption:
            warnNoSuchOption(plan.text(i), meant, err);
            break;
        case Ignored::noValue:
            warnNoValue(meant, err);
            break;
        case Ignored::empty:
            warnEmptyArgument(err);
            break;
        case Ignored::noProfileChosen:
            warnNoProfileChosen(plan.text(i), err);
            break;
        }
    }
}

// The fields that the loaded files say they leave as the image has them.
void warnOfNotCarried(const Plan& plan, Output& err)
{
    const FileSettings& files = plan.files;
    for (std::size_t i = 0; i < files.notCarriedCount; ++i) {
        const NotCarried& left = files.notCarried[i];
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

int printEdit(const Plan& plan, const Edit& edit, BootImage& image, std::string_view path, Io& io)
{
    Messages messages(plan, io);
    Access access = plan.dryRun ? Access::read : Access::edit;
    if (edit.error != ImageError::none) {
        printImageFailure(edit.error, edit.saving, access, path, messages.out(), io);
        return 1;
    }
    if (edit.wrongVersion) {
        printVersionError(messages.out());
        return 1;
    }
    if (plan.unreadable) {
        printUnreadableSettings(plan.unreadable->name, plan.unreadable->fault, plan.unreadable->reason, messages.out(), io.err);
        return 1;
    }
    if (edit.refusal)
        return refuse(*edit.refusal, messages.out(), io);
    // The warnings first: a failed data run's "ffff" and message share a line of the
    // standard error.
    warnOfIgnoredOptions(plan, io.err);
    warnOfNotCarried(plan, io.err);
    warnOfProfilesChosen(plan, io.err);
    if (edit.name.cut)
        warnNameCut({reinterpret_cast<const char*>(edit.name.stored.data()), edit.name.stored.size()}, io.err);
    bool failed = edit.saving.error != ImageError::none;
    if (edit.name.given)
        printNameMark(failed ? messages.out() : io.out);
    if (failed) {
        printImageFailure(edit.saving.error, edit.saving, access, path, messages.out(), io);
        return 1;
    }
    if (plan.dryRun)
        printNothingWritten(io.out);
    else
        printClosingMessages(io.out);
    Block before = edit.before;
    printForms(plan, ConfigBlock(before), configBlock(image), true, io);
    return 0;
}

int edit(const Plan& plan, std::string_view path, Io& io)
{
    BootImage image;
    Edit edit = editImage(plan, image, io, path);
    return printEdit(plan, edit, image, path, io);
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
    if (std::optional<Refusal> refusal = readCommandLine(arguments.subspan(1, arguments.size() - 2), io.inexact, io.settings, plan)) {
        Messages messages(plan, io);
        return refuse(*refusal, messages.out(), io);
    }
    // What the settings files are read into; the plan's values stand in it.
    std::array<char, 65536> settingsText;
    if (plan.edit)
        readSettingsFiles(plan, io.settings, settingsText);
    return plan.edit ? edit(plan, arguments.back(), io) : report(plan, arguments.back(), io);
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
