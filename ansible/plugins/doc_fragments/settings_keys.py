# -*- coding: utf-8 -*-
# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
#
# Printed from vornset's tables of settings by ansible/tests/settings_doc.cpp; the test
# ansible.settings_doc fails where this file differs. Print it again with
#   build/dev/tests/ansible_settings_doc ansible

from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    # The settings module's settings and profiles: every key, and the values it takes.
    DOCUMENTATION = r'''
options:
  settings:
    suboptions:
      vm:
        description:
          - "Video mode. The screen resolution of the boot menu, or text mode."
          - "Takes C(text), C(640x480), C(800x600), C(1024x768) or C(1280x1024)."
          - "vornset's help: video mode, text, 640x480, 800x600, 1024x768, 1280x1024"
        type: str
        choices: ["text", "640x480", "800x600", "1024x768", "1280x1024"]
      stm:
        description:
          - "Start mode. Starting hidden runs the default boot without showing the menu; it needs the countdown on and a
            default boot."
          - "Takes C(menu) or C(hidden)."
          - "vornset's help: start mode, menu or hidden, hidden requires cnt=on and dbt not off"
        type: str
        choices: ["menu", "hidden"]
      cnt:
        description:
          - "Countdown. On: when the countdown ends, the default boot starts by itself. Off: the menu waits for a choice."
          - "Takes C(off) or C(on)."
          - "vornset's help: countdown, on or off"
        type: str
        choices: ["off", "on"]
      cntval:
        description:
          - "Seconds before the default starts. A whole number of seconds, from 1 to 99."
          - "Takes a whole number from 1 to 99."
          - "vornset's help: countdown, value in seconds between 1 and 99"
        type: int
      dbt:
        description:
          - "Default boot. What starts when the countdown ends."
          - "Takes C(off), C(profile), C(floppy), C(cdrom) or C(usb)."
          - "vornset's help: default boot, off, profile, floppy, cdrom, usb"
        type: str
        choices: ["off", "profile", "floppy", "cdrom", "usb"]
      dprf:
        description:
          - "Default profile. The profile that starts when the default boot is a profile."
          - "Takes a whole number from 1 to 16."
          - "vornset's help: default profile, value between 1 and 16"
        type: int
      stf:
        description:
          - "Starfield. Stars moving behind the menu."
          - "Takes C(off) or C(on)."
          - "vornset's help: starfield, on or off"
        type: str
        choices: ["off", "on"]
      zan:
        description:
          - "Zoom animation. The menu zooms in as it opens."
          - "Takes C(off) or C(on)."
          - "vornset's help: zoom animation, on or off"
        type: str
        choices: ["off", "on"]
      fnt:
        description:
          - "Font. The boot manager's own font, or the BIOS font."
          - "Takes C(bt) or C(bios)."
          - "vornset's help: font, bt or bios"
        type: str
        choices: ["bt", "bios"]
      usb1:
        description:
          - "Force USB 1.1. Keep it off, unless a USB keyboard, stick or disk does not work in the menu: then try mode 1,
            then mode 2."
          - "Takes C(off), C(1) or C(2)."
          - "vornset's help: force usb 1.1, off or 1 or 2. 1 = Mode 1, 2 = Mode 2"
        type: str
        choices: ["off", "1", "2"]
      usbmdev:
        description:
          - "USB stick or disk to start from. Where several USB sticks or disks are plugged in, which one the default boot
            from USB starts, counted from 1; keep 1 where there is one."
          - "Takes a whole number from 1 to 99."
          - "vornset's help: use usb massdev, 1-99"
        type: int
      int19h:
        description:
          - "Leave the start to the BIOS. On: the boot manager does not start a system itself but hands the start back to
            the PC's BIOS. Keep it off unless a system starts only that way."
          - "Takes C(off) or C(on)."
          - "vornset's help: int19h/os boot, do not boot the os and use int19h, on or off"
        type: str
        choices: ["off", "on"]
      hotkey:
        description:
          - "Startup hotkey. Yes: the boot manager's hotkey works while the PC starts. No: the key does nothing then. If
            unsure, keep it as it is."
          - "Takes C(no) or C(yes)."
          - "vornset's help: startup hotkey, yes or no"
        type: str
        choices: ["no", "yes"]
  profiles:
    suboptions:
      prfname:
        description:
          - "Name."
          - "Takes text of at most 16 bytes as UTF-8; a longer name is refused."
        type: str
      btdrv:
        description:
          - "Boot drive. The hard disk the profile starts, as the PC counts its disks: hard disk 1 is the first (80h),
            hard disk 2 the second (81h), up to hard disk 10 (89h)."
          - "Takes C(80h), C(81h), C(82h), C(83h), C(84h), C(85h), C(86h), C(87h), C(88h) or C(89h)."
        type: str
        choices: ["80h", "81h", "82h", "83h", "84h", "85h", "86h", "87h", "88h", "89h"]
      btprt:
        description:
          - "Boot partition. Which of the hard disk's four primary partitions the profile starts, from 1 to 4."
          - "Takes a whole number from 1 to 4."
        type: int
      btlog:
        description:
          - "Logical partition. Where the boot partition is an extended partition, which of the logical partitions inside
            it the profile starts, from 1 to 4; otherwise keep it as it is."
          - "Takes a whole number from 1 to 4."
        type: int
      prfname_bytes:
        description:
          - "The name's bytes, for a name that is not UTF-8 text, as C(settings_info) returns them; give either this or
            C(prfname), and the other null or not at all."
          - "Takes two hexadecimal digits a byte, at most 16 bytes, none of them zero."
        type: str
notes:
  - "I(profiles) maps a profile number, 1 to 16, to a dict of that profile's keys: the suboptions listed under
    I(profiles)."
'''

    # The settings_info module: the keys and values of the settings it returns.
    RETURNED = r'''
options: {}
notes:
  - "The global settings returned in C(settings), key to value: a word as a string, a number as an integer, null
    where no value gives the code stored:"
  - "C(vm): Video mode. The screen resolution of the boot menu, or text mode. Takes C(text), C(640x480),
    C(800x600), C(1024x768) or C(1280x1024)."
  - "C(stm): Start mode. Starting hidden runs the default boot without showing the menu; it needs the countdown on
    and a default boot. Takes C(menu) or C(hidden)."
  - "C(cnt): Countdown. On: when the countdown ends, the default boot starts by itself. Off: the menu waits for a
    choice. Takes C(off) or C(on)."
  - "C(cntval): Seconds before the default starts. A whole number of seconds, from 1 to 99. Takes a whole number
    from 1 to 99."
  - "C(dbt): Default boot. What starts when the countdown ends. Takes C(off), C(profile), C(floppy), C(cdrom) or
    C(usb)."
  - "C(dprf): Default profile. The profile that starts when the default boot is a profile. Takes a whole number
    from 1 to 16."
  - "C(stf): Starfield. Stars moving behind the menu. Takes C(off) or C(on)."
  - "C(zan): Zoom animation. The menu zooms in as it opens. Takes C(off) or C(on)."
  - "C(fnt): Font. The boot manager's own font, or the BIOS font. Takes C(bt) or C(bios)."
  - "C(usb1): Force USB 1.1. Keep it off, unless a USB keyboard, stick or disk does not work in the menu: then try
    mode 1, then mode 2. Takes C(off), C(1) or C(2)."
  - "C(usbmdev): USB stick or disk to start from. Where several USB sticks or disks are plugged in, which one the
    default boot from USB starts, counted from 1; keep 1 where there is one. Takes a whole number from 1 to 99."
  - "C(int19h): Leave the start to the BIOS. On: the boot manager does not start a system itself but hands the
    start back to the PC's BIOS. Keep it off unless a system starts only that way. Takes C(off) or C(on)."
  - "C(hotkey): Startup hotkey. Yes: the boot manager's hotkey works while the PC starts. No: the key does nothing
    then. If unsure, keep it as it is. Takes C(no) or C(yes)."
  - "The profiles returned in C(profiles), from number, 1 to 16, to these keys:"
  - "C(prfname): Name. Takes text of at most 16 bytes as UTF-8; a longer name is refused."
  - "C(btdrv): Boot drive. The hard disk the profile starts, as the PC counts its disks: hard disk 1 is the first
    (80h), hard disk 2 the second (81h), up to hard disk 10 (89h). Takes C(80h), C(81h), C(82h), C(83h), C(84h),
    C(85h), C(86h), C(87h), C(88h) or C(89h)."
  - "C(btprt): Boot partition. Which of the hard disk's four primary partitions the profile starts, from 1 to 4.
    Takes a whole number from 1 to 4."
  - "C(btlog): Logical partition. Where the boot partition is an extended partition, which of the logical
    partitions inside it the profile starts, from 1 to 4; otherwise keep it as it is. Takes a whole number from 1
    to 4."
'''
