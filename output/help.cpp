#include "output/help.h"

namespace vornset {

// The banner keeps the text that users of the boot manager know; the version that
// --version prints is the build's own.

void printHelp(Output& out)
{
    out << "vornset 0.8 20100428 by the vornset developers, " << projectAddress << "\n\n"
        << "Configure Vornik Boot Manager binary.\n\n"
        << "Usage: vornset [OPTIONS] file\n\n"
        << "Options:\n"
        << "========\n"
        << " PARAM   SET             VALUES\n"
        << " vm      video mode      text, 640x480, 800x600, 1024x768, 1280x1024\n"
        << " stm     start mode      menu or hidden, hidden requires cnt=on and dbt not off\n"
        << " cnt     countdown       on or off\n"
        << " cntval  countdown       value in seconds between 1 and 99\n"
        << " dbt     default boot    off, profile, floppy, cdrom, usb\n"
        << " dprf    default profile value between 1 and 16\n"
        << " stf     starfield       on or off\n"
        << " zan     zoom animation  on or off\n"
        << " fnt     font            bt or bios\n"
        << " usb1    force usb 1.1   off or 1 or 2. 1 = Mode 1, 2 = Mode 2\n"
        << " usbmdev use usb massdev 1-99\n"
        << " int19h  int19h/os boot  do not boot the os and use int19h, on or off\n"
        << " hotkey  startup hotkey  yes or no\n"
        << " prf     profile         set 'prf' value between 1 and 16\n"
        << " prfname set profilename 16 chars, 'prf' must be set\n"
        << " btdrv   boot drive      80h-89h, 'prf' must be set\n"
        << " btprt   boot partition  1-4, 'prf' must be set\n"
        << " btlog   boot log part.  1-4, 'prf' must be set\n"
        << "\n"
        << "Examples:\n"
        << "=========\n"
        << " Print current values: vornset vornbm.bin\n"
        << " Hidden boot with usb: vornset stm=hidden cnt=on cntval=1 dbt=usb vornbm.bin\n"
        << "\n";
}

void printMoreHelp(Output& out)
{
    out << "More:\n"
        << "=====\n"
        << " show=profiles|options|json|changes  print the profiles, the settings, or what an edit changes\n"
        << " load=FILE|-                         apply a settings file, or standard input\n"
        << " write=no                            check and show an edit, and write nothing\n"
        << " --version                           print the version\n"
        << " man vornset                         the whole manual\n";
}

void printVersion(Output& out)
{
    out << "vornset " << VORNSET_VERSION << "\n"
        << "Copyright (c) 2026 the vornset developers, MIT License\n";
}

} // namespace vornset
