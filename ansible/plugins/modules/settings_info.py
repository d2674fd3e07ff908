#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: settings_info
short_description: Read the settings of a boot manager image with vornset
version_added: 1.0.0
description:
  - >-
    Reads the global settings and the boot profiles of a boot manager image file on the managed machine, through
    the C(vornset) tool installed there, and returns them in the form that M(vornset.bootmanager.settings) takes,
    so that C(settings: "{{ result.settings }}") and C(profiles: "{{ result.profiles }}") give another machine
    the same.
  - The tool holds a shared lock on the image while it reads it, and the module never writes it, so that audits
    of a fleet can run beside the tasks that change it.
  - Windows machines, which are managed through PowerShell modules, are out of scope.
author: []
options:
  path:
    description:
      - The boot manager image to read.
    type: path
    required: true
  executable:
    description:
      - The C(vornset) binary to run.
      - When not given, C(vornset) is looked for on the PATH.
    type: path
extends_documentation_fragment:
  - ansible.builtin.action_common_attributes
  - vornset.bootmanager.settings_keys.returned
attributes:
  check_mode:
    support: full
    details: The module only reads, in check mode as otherwise.
  diff_mode:
    support: none
  platform:
    platforms: posix
notes:
  - The C(vornset) tool must be installed on the managed machine.
seealso:
  - module: vornset.bootmanager.settings
'''

EXAMPLES = r'''
- name: Read the boot manager's settings
  vornset.bootmanager.settings_info:
    path: /boot/vornbm.bin
  register: result

- name: List the machines that hide the menu
  ansible.builtin.debug:
    msg: "{{ inventory_hostname }} starts without showing the menu"
  when: result.settings.stm == "hidden"

- name: Check that no machine counts down longer than 5 seconds
  ansible.builtin.assert:
    that: result.settings.cnt == "off" or result.settings.cntval <= 5
    fail_msg: "{{ inventory_hostname }} counts down {{ result.settings.cntval }} seconds"

- name: Check the name of the second profile
  ansible.builtin.assert:
    that: result.profiles["2"].prfname == "Linux Mint"

- name: Check the settings against a baseline kept beside the playbook
  ansible.builtin.assert:
    that: result.settings == baseline.settings and result.profiles == baseline.profiles
    fail_msg: "{{ inventory_hostname }} differs from the baseline"
  vars:
    baseline: "{{ lookup('ansible.builtin.file', 'baseline.json') | from_json }}"

- name: Give another machine the same settings and profiles
  vornset.bootmanager.settings:
    path: /boot/vornbm.bin
    settings: "{{ result.settings }}"
    profiles: "{{ result.profiles }}"
  delegate_to: spare.example.com
'''

RETURN = r'''
settings:
  description:
    - >-
      The global settings, from key to value, in the form that the I(settings) option of
      M(vornset.bootmanager.settings) takes, a word as a string and a number as an integer, so that
      C(settings: "{{ golden.settings }}") gives another machine the same.
    - Null where the image stores a code that no value gives; given to M(vornset.bootmanager.settings), a null leaves
      that setting as it is.
    - M(vornset.bootmanager.settings_info) returns them as the image holds them, M(vornset.bootmanager.settings) as
      the task leaves them, or in check mode would leave them.
  returned: success
  type: dict
  sample: {vm: 800x600, stm: menu, cnt: "on", cntval: 10, dbt: profile, dprf: 1, stf: "on", zan: "on", fnt: bt,
           usb1: "off", usbmdev: 1, int19h: "off", hotkey: "yes"}
profiles:
  description:
    - >-
      The 16 boot profiles, from profile number to that profile's keys, in the form that the I(profiles) option of
      M(vornset.bootmanager.settings) takes, so that C(profiles: "{{ golden.profiles }}") gives another machine the
      same.
    - The numbers are strings, as JSON makes every key; C(result.profiles["2"].prfname) is the second profile's name.
    - A name that is not UTF-8 text is null in C(prfname), and its bytes are in C(prfname_bytes), two hexadecimal
      digits a byte; elsewhere C(prfname_bytes) is null. A value that no option gives is null, as in I(settings).
  returned: success
  type: dict
  sample:
    "1": {prfname: Windows 11, prfname_bytes: null, btdrv: 80h, btprt: 1, btlog: 1}
    "2": {prfname: Linux Mint, prfname_bytes: null, btdrv: 85h, btprt: 2, btlog: 2}
    "3": {prfname: null, prfname_bytes: "46e9646f7261", btdrv: 80h, btprt: 3, btlog: 3}
stored:
  description:
    - The bytes the image stores, which decide whether a task changes anything; no module takes them.
    - C(settings) maps each global key to its stored code, C(profiles) each profile number to its C(partition) and
      C(drive) bytes and the 16 bytes of its C(name).
  returned: success
  type: dict
  sample:
    settings: {vm: 2, stm: 0, cnt: 1, cntval: 10, dbt: 1, dprf: 0, stf: 1, zan: 1, fnt: 0, usb1: 0, usbmdev: 0,
               int19h: 0, hotkey: 1}
    profiles:
      "1": {partition: 33, drive: 128, name: [87, 105, 110, 100, 111, 119, 115, 32, 49, 49, 0, 0, 0, 0, 0, 0]}
version:
  description: The configuration version of the image.
  returned: success
  type: int
  sample: 7
format_version:
  description: The version of the C(vornset show=json) document that the settings were read from, which grows when
    its form changes.
  returned: success
  type: int
  sample: 2
'''

from ansible.module_utils.basic import AnsibleModule

from ansible_collections.vornset.bootmanager.plugins.module_utils.vornset_tool import Tool, shaped


def main():
    module = AnsibleModule(
        argument_spec=dict(
            path=dict(type='path', required=True),
            executable=dict(type='path'),
        ),
        supports_check_mode=True,
    )
    tool = Tool(module, module.params['executable'] or module.get_bin_path('vornset', required=True),
                module.params['path'], {})
    module.exit_json(changed=False, **shaped(tool.json([])))


if __name__ == '__main__':
    main()
