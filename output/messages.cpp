#include "output/messages.h"

#include "image/config_block.h"
#include "output/help.h"
#include "output/settings_export.h"

namespace vornset {

static_assert(BootImage::capacity == 65536 && minimumImageLength == 1928, "the size messages name these lengths");

namespace {

// "load", or "load=NAME" where the run loads more than one file.
void printLoad(std::string_view file, Output& out)
{
    out << "load";
    if (!file.empty())
        out << "=" << Printable{file};
}

} // namespace

void printRefusal(const Refusal& refusal, Output& out)
{
    out << "Parameter error: ";
    if (refusal.line > 0) {
        printLoad(refusal.file, out);
        out << ", line " << refusal.line << ": ";
    }
    if (!refusal.within.empty()) {
        out << refusal.within;
        if (refusal.item >= 0)
            out << "[" << refusal.item << "]";
        out << ".";
    }
    if (refusal.namesKey && refusal.key == "load" && refusal.line == 0)
        printLoad(refusal.file, out);
    else if (refusal.namesKey)
        out << Printable{refusal.key};
    if (refusal.namesKey)
        out << ", ";
    out << refusal.reason;
    if (!refusal.meant.empty())
        out << "; did you mean " << refusal.meant << "?";
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

void printUnreadableSettings(std::string_view name, Output& out)
{
    out << "Error: unable to read settings from " << Printable{name} << "\n";
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
    err << "vornset: warning: ignored " << Printable{option} << ": no such option";
    if (!meant.empty())
        err << "; did you mean " << meant << "=?";
    err << "\n";
}

void warnNoValue(std::string_view key, Output& err)
{
    err << "vornset: warning: ignored " << key << ": options are written " << key << "=VALUE\n";
}

void warnNameCut(std::string_view stored, Output& err)
{
    err << "vornset: warning: prfname cut to 16 bytes: \"" << Printable{stored} << "\"\n";
}

void warnNotCarried(std::string_view file, int line, const Field& field, Output& err)
{
    err << "vornset: warning: ";
    if (line > 0) {
        printLoad(file, err);
        err << ", line " << line << ": ";
    }
    if (field.profile > 0)
        err << "prf=" << field.profile << " ";
    printNotCarried(field, err);
    err << "; loading the settings leaves this field as the target image has it\n";
}

void printSystemReason(std::string_view path, std::string_view reason, Output& err)
{
    err << "vornset: " << Printable{path} << ": " << Printable{reason} << "\n";
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
    err << "vornset: warning: ignored " << Printable{option} << ": no prf= given\n";
}

void warnEmptyArgument(Output& err)
{
    err << "vornset: warning: ignored an empty argument\n";
}

void warnProfileChosenTimes(int times, int profile, Output& err)
{
    err << "vornset: warning: prf= given " << times << " times: the profile options apply to profile " << profile << "\n";
}

void printPromptToClose(Output& out)
{
    out << "\nPress Enter to close this window.";
}

} // namespace vornset
