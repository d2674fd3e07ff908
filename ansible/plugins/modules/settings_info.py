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
  - Reads the global settings and the boot profiles of a boot manager image file on the managed machine, through
    the C(vornset) tool installed there, and returns them as C(vornset show=json) prints them.
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
    that: (result.profiles | selectattr('prf', '==', 2) | first).prfname == "Linux Mint"
'''

RETURN = r'''
settings:
  description:
    - The global settings, from key to value, as C(vornset show=json) prints them; the notes list every key and
      its values.
  returned: success
  type: dict
  sample: {vm: 800x600, stm: menu, cnt: "on", cntval: 10, dbt: profile, dprf: 1, stf: "on", zan: "on", fnt: bt,
           usb1: "off", usbmdev: 1, int19h: "off", hotkey: "yes"}
profiles:
  description:
    - The boot profiles, in order of their numbers, as C(vornset show=json) prints them.
    - A name that is not UTF-8 is null in C(prfname), and its bytes are in C(prfname_bytes); C(stored) holds the
      profile's bytes as the image stores them.
  returned: success
  type: list
  elements: dict
  sample:
    - {prf: 1, prfname: Windows 11, prfname_bytes: null, btdrv: 80h, btprt: 1, btlog: 1,
       stored: {partition: 33, drive: 128, name: [87, 105, 110, 100, 111, 119, 115, 32, 49, 49, 0, 0, 0, 0, 0, 0]}}
version:
  description: The configuration version of the image.
  returned: success
  type: int
  sample: 7
format_version:
  description: The version of C(vornset show=json)'s document, which grows when its form changes.
  returned: success
  type: int
  sample: 2
'''

from ansible.module_utils.basic import AnsibleModule

from ansible_collections.vornset.bootmanager.plugins.module_utils.vornset_tool import Tool

RETURNED = ('settings', 'profiles', 'version', 'format_version')


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
    document = tool.json([])
    if not all(key in document for key in RETURNED):
        tool.fail('%s show=json printed no settings: %s' % (tool.executable, document))
    module.exit_json(changed=False, **dict((key, document[key]) for key in RETURNED))


if __name__ == '__main__':
    main()
