# -*- coding: utf-8 -*-
# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
#
# Printed from vornset's tables of settings by ansible/tests/settings_doc.cpp; the test
# ansible.settings_doc fails where this file differs. Print it again with
#   build/dev/tests/ansible_settings_doc >ansible/plugins/doc_fragments/settings_keys.py

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
          - "Video mode: C(text), C(640x480), C(800x600), C(1024x768) or C(1280x1024)."
          - "vornset's help: video mode, text, 640x480, 800x600, 1024x768, 1280x1024"
        type: str
        choices: ["text", "640x480", "800x600", "1024x768", "1280x1024"]
      stm:
        description:
          - "Start mode: C(menu) or C(hidden)."
          - "vornset's help: start mode, menu or hidden, hidden requires cnt=on and dbt not off"
        type: str
        choices: ["menu", "hidden"]
      cnt:
        description:
          - "Countdown: C(off) or C(on)."
          - "vornset's help: countdown, on or off"
        type: str
        choices: ["off", "on"]
      cntval:
        description:
          - "Countdown value: 1 to 99 seconds."
          - "vornset's help: countdown, value in seconds between 1 and 99"
        type: int
      dbt:
        description:
          - "Default boot: C(off), C(profile), C(floppy), C(cdrom) or C(usb)."
          - "vornset's help: default boot, off, profile, floppy, cdrom, usb"
        type: str
        choices: ["off", "profile", "floppy", "cdrom", "usb"]
      dprf:
        description:
          - "Profile: 1 to 16."
          - "vornset's help: default profile, value between 1 and 16"
        type: int
      stf:
        description:
          - "Starfield: C(off) or C(on)."
          - "vornset's help: starfield, on or off"
        type: str
        choices: ["off", "on"]
      zan:
        description:
          - "Zoom animation: C(off) or C(on)."
          - "vornset's help: zoom animation, on or off"
        type: str
        choices: ["off", "on"]
      fnt:
        description:
          - "Font: C(bt) or C(bios)."
          - "vornset's help: font, bt or bios"
        type: str
        choices: ["bt", "bios"]
      usb1:
        description:
          - "Force USB 1.1: C(off), C(1) or C(2)."
          - "vornset's help: force usb 1.1, off or 1 or 2. 1 = Mode 1, 2 = Mode 2"
        type: str
        choices: ["off", "1", "2"]
      usbmdev:
        description:
          - "Use USB MassDev: 1 to 99."
          - "vornset's help: use usb massdev, 1-99"
        type: int
      int19h:
        description:
          - "Use INT19h: C(off) or C(on)."
          - "vornset's help: int19h/os boot, do not boot the os and use int19h, on or off"
        type: str
        choices: ["off", "on"]
      hotkey:
        description:
          - "Startup hotkey: C(no) or C(yes)."
          - "vornset's help: startup hotkey, yes or no"
        type: str
        choices: ["no", "yes"]
  profiles:
    suboptions:
      prfname:
        description:
          - "Name: any text of at most 16 bytes."
        type: str
      btdrv:
        description:
          - "Boot drive: C(80h), C(81h), C(82h), C(83h), C(84h), C(85h), C(86h), C(87h), C(88h) or C(89h)."
        type: str
        choices: ["80h", "81h", "82h", "83h", "84h", "85h", "86h", "87h", "88h", "89h"]
      btprt:
        description:
          - "Boot partition: 1 to 4."
        type: int
      btlog:
        description:
          - "Boot log part.: 1 to 4."
        type: int
notes:
  - "I(profiles) maps a profile number, 1 to 16, to a dict of that profile's keys: the suboptions listed under I(profiles)."
'''

    # The settings_info module: the keys and values of the settings it returns.
    RETURNED = r'''
options: {}
notes:
  - "The global settings returned in C(settings), key to value: a word as a string, a number as an integer, null where no value gives the code stored:"
  - "C(vm) (Video mode): C(text), C(640x480), C(800x600), C(1024x768) or C(1280x1024)."
  - "C(stm) (Start mode): C(menu) or C(hidden)."
  - "C(cnt) (Countdown): C(off) or C(on)."
  - "C(cntval) (Countdown value): 1 to 99 seconds."
  - "C(dbt) (Default boot): C(off), C(profile), C(floppy), C(cdrom) or C(usb)."
  - "C(dprf) (Profile): 1 to 16."
  - "C(stf) (Starfield): C(off) or C(on)."
  - "C(zan) (Zoom animation): C(off) or C(on)."
  - "C(fnt) (Font): C(bt) or C(bios)."
  - "C(usb1) (Force USB 1.1): C(off), C(1) or C(2)."
  - "C(usbmdev) (Use USB MassDev): 1 to 99."
  - "C(int19h) (Use INT19h): C(off) or C(on)."
  - "C(hotkey) (Startup hotkey): C(no) or C(yes)."
  - "The profiles returned in C(profiles), a list of 16, each with its number C(prf), 1 to 16, and these keys:"
  - "C(prfname) (Name): any text of at most 16 bytes."
  - "C(btdrv) (Boot drive): C(80h), C(81h), C(82h), C(83h), C(84h), C(85h), C(86h), C(87h), C(88h) or C(89h)."
  - "C(btprt) (Boot partition): 1 to 4."
  - "C(btlog) (Boot log part.): 1 to 4."
'''
