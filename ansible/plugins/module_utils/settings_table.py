# -*- coding: utf-8 -*-
# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
#
# Printed from vornset's tables of settings by ansible/tests/settings_doc.cpp; the test
# ansible.settings_doc fails where this file differs. Print it again with
#   build/dev/tests/ansible_settings_doc ansible

from __future__ import absolute_import, division, print_function
__metaclass__ = type

# What each key takes: its words, or, where it has none, its lowest and highest number;
# and what the tool says, after "Parameter error: ", of a value it does not take.
GLOBAL_SETTINGS = {
    'vm': dict(words=('text', '640x480', '800x600', '1024x768', '1280x1024'), refusal='vm, run vornset without parameter to see help'),
    'stm': dict(words=('menu', 'hidden'), refusal='stm, menu or hidden alowed'),
    'cnt': dict(words=('off', 'on'), refusal='cnt, only on and off is valid'),
    'cntval': dict(numbers=(1, 99), refusal='cntval, only values 1-99 are valid'),
    'dbt': dict(words=('off', 'profile', 'floppy', 'cdrom', 'usb'), refusal='dbt, run vornset without parameter to see help'),
    'dprf': dict(numbers=(1, 16), refusal='dprf, only values 1-16 are valid'),
    'stf': dict(words=('off', 'on'), refusal='stf, only on and off is valid'),
    'zan': dict(words=('off', 'on'), refusal='zan, only on and off is valid'),
    'fnt': dict(words=('bt', 'bios'), refusal='fnt, only bt and bios is valid'),
    'usb1': dict(words=('off', '1', '2'), refusal='usb1, only off, 1, 2 is valid'),
    'usbmdev': dict(numbers=(1, 99), refusal='usbmdev, only values 1-99 are valid'),
    'int19h': dict(words=('off', 'on'), refusal='int19h, only on and off is valid'),
    'hotkey': dict(words=('no', 'yes'), refusal='hk, only yes and no is valid'),
}

# prf is the profile's number, which a task gives as the profile's key; prfname takes text
# of up to so many bytes.
PROFILE_SETTINGS = {
    'prf': dict(numbers=(1, 16), refusal='prf, only values 1-16 are valid'),
    'prfname': dict(bytes=16, refusal='prfname, only text is valid'),
    'btdrv': dict(words=('80h', '81h', '82h', '83h', '84h', '85h', '86h', '87h', '88h', '89h'), refusal='btdrv, only values 80h-89h are valid'),
    'btprt': dict(numbers=(1, 4), refusal='btprt, only values 1-4 are valid'),
    'btlog': dict(numbers=(1, 4), refusal='btlog, only values 1-4 are valid'),
}

# The profile's name as bytes, beside prfname, where it is not UTF-8 text.
NAME_BYTES_KEY = 'prfname_bytes'

# The tool refuses to start hidden, the key at the word, where any of the others is left
# at its first word, and says the refusal of the key that broke the rule.
HIDDEN_START = dict(key='stm', word='hidden', needs=('cnt', 'dbt'), refusal='hidden mode requires countdown and default boot')
