#include "console/report.h"

#include "console/words.h"

#include <cstdint>
#include <span>

namespace vornset {
namespace {

// The boot manager treats its settings as signed bytes, and so does the report.
int valueOf(const ConfigBlock& block, Setting setting)
{
    return static_cast<std::int8_t>(block.get(setting));
}

void wordLine(Output& out, std::string_view label, std::span<const std::string_view> words, int code)
{
    out << label;
    if (code >= 0 && static_cast<std::size_t>(code) < words.size())
        out << words[static_cast<std::size_t>(code)];
    else
        out << "unknown (" << code << ")";
    out << "\n";
}

} // namespace

void printInfos(const ConfigBlock& block, Output& out)
{
    wordLine(out, "Video mode     : ", VIDEOMODE, valueOf(block, Setting::vm));
    wordLine(out, "Start mode     : ", STARTMODE, valueOf(block, Setting::stm));
    wordLine(out, "Countdown      : ", ONOFF, valueOf(block, Setting::cnt));
    out << "Countdown value: " << valueOf(block, Setting::cntval) << " seconds\n";
    wordLine(out, "Default boot   : ", DEFAULTBOOT, valueOf(block, Setting::dbt));
    out << "Profile        : " << valueOf(block, Setting::dprf) + 1 << "\n";
    wordLine(out, "Starfield      : ", ONOFF, valueOf(block, Setting::stf));
    wordLine(out, "Zoom animation : ", ONOFF, valueOf(block, Setting::zan));
    wordLine(out, "Font           : ", FONT, valueOf(block, Setting::fnt));
    wordLine(out, "Force USB 1.1  : ", MODE, valueOf(block, Setting::usb1));
    out << "Use USB MassDev: " << valueOf(block, Setting::usbmdev) + 1 << "\n";
    wordLine(out, "Use INT19h     : ", ONOFF, valueOf(block, Setting::int19h));
    wordLine(out, "Startup hotkey : ", YESNO, valueOf(block, Setting::hotkey));
}

} // namespace vornset
