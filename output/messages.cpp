#include "output/messages.h"

#include "image/config_block.h"
#include "output/help.h"

namespace vornset {

const std::string_view STORED_VALUE = ": stored value ";
const std::string_view HAS_NO_OPTION_VALUE = " has no option value";
const std::string_view NAME_HOLDS_CONTROL = ": stored name holds a control character";

using namespace std::string_view_literals;

static_assert(BootImage::capacity == 65536 && minimumImageLength == 1928, "the size messages name these lengths");

namespace {

// What the system says of a folder or of something else that is no file, in its words.
constexpr std::string_view IS_A_FOLDER = "Is a directory";
constexpr std::string_view NOT_A_FILE = "Not a regular file";
constexpr std::string_view AS_IT_WAS = "; the image is as it was\n";

// Every warning starts so, and is one line.
Output& warning(Output& err)
{
    return err << "vornset: warning: ";
}

void printPathPrefix(std::string_view path, Output& err)
{
    err << "vornset: " << Printable{path} << ": ";
}

// One line on standard error: the path, then why; nothing where there is no why.
void printSystemReason(std::string_view path, std::string_view reason, Output& err)
{
    if (reason.empty())
        return;
    printPathPrefix(path, err);
    err << Printable{reason} << "\n";
}

// "load", or "load=NAME" where the run loads more than one file.
void printLoad(std::string_view file, Output& out)
{
    out << "load";
    if (!file.empty())
        out << "=" << Printable{file};
}

// Where in a file a value was found: "load, line 3: ", and in a JSON document the
// object it stands in: "profiles[2]." before the key.
void printPlace(const Refusal& refusal, Output& out)
{
    const Origin& at = refusal.at;
    if (at.line > 0) {
        printLoad(refusal.file, out);
        out << ", line " << at.line << ": ";
    }
    if (at.object.empty())
        return;
    out << Printable{at.object};
    if (at.item >= 0)
        out << "[" << at.item << "]";
    if (!refusal.key.empty())
        out << ".";
}

} // namespace

void printRefusal(const Refusal& refusal, Output& out)
{
    out << "Parameter error: ";
    printPlace(refusal, out);
    // A file that holds no settings is named as the run names it.
    if (refusal.namesKey && refusal.key == "load"sv && refusal.at.line == 0)
        printLoad(refusal.file, out);
    else if (refusal.namesKey)
        out << Printable{refusal.key};
    if (refusal.namesKey)
        out << ", ";
    out << refusal.reason;
    // On the command line a key is written with its "=".
    std::string_view equals = refusal.at.argument > 0 ? "="sv : ""sv;
    if (refusal.reason == OPTIONS_ARE_WRITTEN)
        out << refusal.meant << "=VALUE";
    else if (!refusal.meant.empty())
        out << "; did you mean " << refusal.meant << equals << "?";
    out << "\n";
}

void printImageError(ImageError error, std::string_view path, Output& out)
{
    switch (error) {
    case ImageError::none:
        break;
    case ImageError::cannotOpen:
        out << "Error: unable to open " << Printable{path} << "\n";
        break;
    case ImageError::cannotRead:
    case ImageError::folder:
    case ImageError::notAFile:
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
    case ImageError::overSizeLimit:
    case ImageError::cannotWrite:
        out << "Error: unable to write to file\n";
        break;
    case ImageError::locked:
        break;
    }
}

void printVersionError(Output& out)
{
    out << "Error: wrong boot manager configuration version\n"
           "       use the latest boot manager version and the latest vornset\n"
           "       see " << projectAddress << "\n";
}

void printUnreadableSettings(std::string_view name, SettingsFiles::Fault fault, std::string_view reason, Output& out,
                             Output& err)
{
    out << "Error: unable to read settings from " << Printable{name} << "\n";
    std::string_view why = reason;
    switch (fault) {
    case SettingsFiles::Fault::none:
    case SettingsFiles::Fault::system:
        break;
    case SettingsFiles::Fault::folder:
        why = IS_A_FOLDER;
        break;
    case SettingsFiles::Fault::notAFile:
        why = NOT_A_FILE;
        break;
    case SettingsFiles::Fault::tooLarge:
        why = "Larger than the 65536 bytes a settings file may hold"sv;
        break;
    case SettingsFiles::Fault::zeroByte:
        why = "Holds a zero byte, which no settings file does"sv;
        break;
    }
    printSystemReason(name, why, err);
}

void printNameMark(Output& out)
{
    out << "ffff";
}

void printClosingMessages(Output& out)
{
    out << "data changed\n\n"
           "hint: if you use the windows boot menu to start the boot manager, then its\n"
           "a good idea to start vornprep again! vornbm.bin may not be fragmented.\n";
}

void printNothingWritten(Output& out)
{
    out << "nothing written (write=no)\n";
}

void warnNoSuchOption(std::string_view option, std::string_view meant, Output& err)
{
    warning(err) << "ignored " << Printable{option} << ": " << NO_SUCH_OPTION;
    if (!meant.empty())
        err << "; did you mean " << meant << "=?";
    err << "\n";
}

void warnNoValue(std::string_view key, Output& err)
{
    warning(err) << "ignored " << key << ": " << OPTIONS_ARE_WRITTEN << key << "=VALUE\n";
}

void warnNameCut(std::string_view stored, Output& err)
{
    warning(err) << "prfname cut to 16 bytes: \"" << Printable{stored} << "\"\n";
}

void warnNotCarried(std::string_view file, int line, const Field& field, Output& err)
{
    warning(err);
    if (line > 0) {
        printLoad(file, err);
        err << ", line " << line << ": ";
    }
    if (field.profile > 0)
        err << "prf=" << field.profile << " ";
    printNotCarried(field, err);
    err << "; loading the settings leaves this field as the target image has it\n";
}

void printImageReason(ImageError error, std::string_view path, std::string_view reason, Output& err)
{
    if (error == ImageError::folder)
        reason = IS_A_FOLDER;
    else if (error == ImageError::notAFile)
        reason = NOT_A_FILE;
    else if (error != ImageError::cannotOpen && error != ImageError::cannotRead
             && error != ImageError::cannotOpenForWriting)
        return;
    printSystemReason(path, reason, err);
}

void printWriteFailure(std::string_view path, std::string_view reason, Written written, Output& err)
{
    printPathPrefix(path, err);
    err << Printable{reason.empty() ? "the write stopped short" : reason};
    switch (written) {
    case Written::nothing:
        err << AS_IT_WAS;
        break;
    case Written::whole:
        err << "; the image holds the whole edit\n";
        break;
    case Written::part:
        err << "; the image could not be restored and may hold part of this edit\n";
        break;
    }
}

void printOverSizeLimit(std::string_view path, std::uint64_t limit, Output& err)
{
    printPathPrefix(path, err);
    err << "the file-size limit of " << static_cast<int>(limit) << " bytes lies below the image's end" << AS_IT_WAS;
}

void printWaitingForLock(std::string_view path, Output& err)
{
    err << "vornset: waiting for another program to release " << Printable{path} << "\n";
}

void printLockedByOther(std::string_view path, Output& err)
{
    err << "vornset: " << Printable{path} << " is locked by another program\n";
}

void warnNoProfileChosen(std::string_view option, Output& err)
{
    warning(err) << "ignored " << Printable{option} << ": no prf= given\n";
}

void warnEmptyArgument(Output& err)
{
    warning(err) << "ignored an empty argument\n";
}

void warnProfileChosenTimes(int times, int profile, Output& err)
{
    warning(err) << "prf= given " << times << " times: the profile options apply to profile " << profile << "\n";
}

void printNotCarried(const Field& field, Output& out)
{
    if (field.kind == ValueKind::name)
        out << field.key << NAME_HOLDS_CONTROL;
    else
        out << field.key << STORED_VALUE << static_cast<int>(field.stored) << HAS_NO_OPTION_VALUE;
}

void printPromptToClose(Output& out)
{
    out << "\nPress Enter to close this window.";
}

} // namespace vornset
