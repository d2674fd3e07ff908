#pragma once

#include <array>
#include <string_view>

namespace vornset {

// The words a setting's stored code stands for: the code is the word's position. The
// report prints these; options take them too, but for video mode 0 and font 0.
inline constexpr std::array<std::string_view, 5> VIDEOMODE{"text mode", "640x480", "800x600", "1024x768", "1280x1024"};
inline constexpr std::array<std::string_view, 2> STARTMODE{"menu", "hidden"};
inline constexpr std::array<std::string_view, 2> ONOFF{"off", "on"};
inline constexpr std::array<std::string_view, 3> MODE{"off", "1", "2"};
inline constexpr std::array<std::string_view, 5> DEFAULTBOOT{"off", "profile", "floppy", "cdrom", "usb"};
inline constexpr std::array<std::string_view, 2> FONT{"bootmanager", "bios"};
inline constexpr std::array<std::string_view, 2> YESNO{"no", "yes"};

// The option values where they differ from the report's words.
inline constexpr std::array<std::string_view, 5> VIDEOMODE_VALUES{"text", "640x480", "800x600", "1024x768", "1280x1024"};
inline constexpr std::array<std::string_view, 2> FONT_VALUES{"bt", "bios"};

// What show= and write= take: the forms in their order, and yes before no.
inline constexpr std::array<std::string_view, 4> SHOW_FORMS{"profiles", "options", "json", "changes"};
inline constexpr std::array<std::string_view, 2> YESNO_VALUES{"yes", "no"};

#if defined(__EMSCRIPTEN__) || defined(VORNSET_ROW_TEXTS)
// What the page offers for the option values, in their order, where the words
// alone do not say it.
inline constexpr std::array<std::string_view, 2> STARTMODE_CHOICES{"show the menu", "start hidden"};
inline constexpr std::array<std::string_view, 5> DEFAULTBOOT_CHOICES{"none", "the default profile", "the floppy disk",
                                                                     "the CD-ROM drive", "a USB device"};
inline constexpr std::array<std::string_view, 2> FONT_CHOICES{"the boot manager's font", "the BIOS font"};
inline constexpr std::array<std::string_view, 3> MODE_CHOICES{"off", "mode 1", "mode 2"};
#endif

} // namespace vornset
