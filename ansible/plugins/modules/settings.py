#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: settings
short_description: Set the settings of a boot manager image with vornset
version_added: 0.9.0
description:
  - Sets global settings and boot profiles in a boot manager image file on the managed machine, through the
    C(vornset) tool installed there.
  - The module asks the tool for the change as a dry run first and compares the settings before and after it, so
    an image that already holds the settings given is reported unchanged and never opened for writing.
  - The tool checks every key and value, and a task that it refuses fails with the tool's message and leaves the
    image as it was. The module itself refuses only what the settings file that it hands the tool cannot carry.
  - Windows machines, which are managed through PowerShell modules, are out of scope.
author: []
options:
  path:
    description:
      - The boot manager image to change.
    type: path
    required: true
  settings:
    description:
      - Global settings, from key to value, as the tool's C(KEY=VALUE) options take them, for example
        C(cntval), C(dbt) or C(dprf), each listed below with its values.
      - An integer is given to the tool as its decimal text.
      - >-
        YAML reads an unquoted C(on), C(off), C(yes) or C(no) as a boolean, and a boolean is refused; quote such
        words, for example C(cnt: "on") or C(usb1: "off").
      - A key is a plain word; neither a key nor a value may hold a line break or a NUL character.
    type: dict
  profiles:
    description:
      - Boot profiles to change, from profile number to a dict of that profile's keys and values, for example
        C(prfname), C(btdrv), C(btprt) and C(btlog).
      - Keys and values follow the rules of I(settings). Keys left out keep their values.
    type: dict
  backup:
    description:
      - Before changing the image, copy it to a file beside it whose name holds the time, and return that name as
        C(backup_file). No copy is made when nothing changes.
    type: bool
    default: false
  executable:
    description:
      - The C(vornset) binary to run.
      - When not given, C(vornset) is looked for on the PATH.
    type: path
extends_documentation_fragment:
  - ansible.builtin.action_common_attributes
  - vornset.bootmanager.settings_keys
attributes:
  check_mode:
    support: full
    details: In check mode the image is only read, and the tool's dry run tells what would change.
  diff_mode:
    support: full
    details: The diff is of the settings as C(vornset show=options) prints them.
  platform:
    platforms: posix
notes:
  - The C(vornset) tool must be installed on the managed machine.
  - Where the image reads differently after the write from what the dry run said, the task fails with
    I(changed=true). I(backup=true) keeps a copy of the image as it was before.
'''

EXAMPLES = r'''
- name: Start the second profile after the countdown
  vornset.bootmanager.settings:
    path: /boot/vornbm.bin
    settings:
      dbt: profile
      dprf: 2
      cntval: 5

- name: Name a profile and point it at the second disk, keeping a copy of the image
  vornset.bootmanager.settings:
    path: /boot/vornbm.bin
    profiles:
      2:
        prfname: Linux Mint
        btdrv: 85h
        btprt: 1
    backup: true

- name: Words that YAML reads as booleans are quoted
  vornset.bootmanager.settings:
    path: /boot/vornbm.bin
    executable: /usr/local/bin/vornset
    settings:
      cnt: "on"
      hotkey: "no"
      usb1: "off"
'''

RETURN = r'''
settings:
  description:
    - The image's settings as C(vornset show=json) prints them, after the task. In check mode, the settings as
      the change would leave them.
  returned: success
  type: dict
  sample:
    version: 7
    settings: {vm: 800x600, stm: menu, cnt: "on", cntval: 5, dbt: profile, dprf: 2}
    profiles:
      - {prf: 2, prfname: Linux Mint, btdrv: 85h, btprt: 2, btlog: 2}
diff:
  description:
    - The settings as C(vornset show=options) prints them, before and after the change, with the image's path
      as both headers, so that C(--diff) shows a unified diff.
  returned: in diff mode
  type: dict
  contains:
    before:
      description: The settings before the task.
      type: str
      returned: always
    after:
      description: The settings after the task; in check mode, as the change would leave them.
      type: str
      returned: always
    before_header:
      description: The image's path.
      type: str
      returned: always
    after_header:
      description: The image's path.
      type: str
      returned: always
backup_file:
  description: The copy of the image made before the change.
  returned: changed and I(backup=true), not in check mode
  type: str
  sample: /boot/vornbm.bin.2417.2026-12-08@14:30:02~
'''

import json
import re

from ansible.module_utils.basic import AnsibleModule
from ansible.module_utils.common.text.converters import to_bytes
from ansible.module_utils.six import integer_types, string_types

OPTIONS_START = b'# vornset settings,'
PLAIN_WORD = re.compile(r'[A-Za-z0-9_]+\Z')
NUMBER = re.compile(r'[0-9]+\Z')


class FormatError(Exception):
    pass


def settings_line(where, key, value):
    name = '%s.%s' % (where, key)
    if not isinstance(key, string_types) or not PLAIN_WORD.match(key):
        raise FormatError('%s: a key must be a plain word of letters, digits and underscores' % name)
    # prf= opens a profile's section in the settings file; here it would move the lines after it.
    if key == 'prf':
        raise FormatError('%s: profiles are given by number under profiles, not with prf' % name)
    if isinstance(value, bool):
        raise FormatError('%s: %s is a boolean, as YAML reads an unquoted on, off, yes or no; quote the word, '
                          'for example %s: "%s"' % (name, value, key, 'on' if value else 'off'))
    if isinstance(value, integer_types):
        value = str(value)
    elif not isinstance(value, string_types):
        raise FormatError('%s: a value must be a string or an integer' % name)
    if any(c in value for c in '\r\n\0'):
        raise FormatError('%s: a value must not hold a line break or a NUL character' % name)
    return '%s=%s\n' % (key, value)


def profile_number(number):
    if isinstance(number, integer_types) and not isinstance(number, bool):
        number = str(number)
    if not isinstance(number, string_types) or not NUMBER.match(number):
        raise FormatError('profiles: %r is not a profile number' % (number,))
    return int(number)


def settings_text(settings, profiles):
    """The settings file that gives the tool these settings and profiles."""
    lines = [settings_line('settings', key, value) for key, value in settings.items()]
    numbered = {}
    for number, keys in profiles.items():
        prf = profile_number(number)
        if prf in numbered:
            raise FormatError('profiles: profile %d is given twice' % prf)
        if not isinstance(keys, dict):
            raise FormatError('profiles.%s: must be a dict of the profile\'s keys and values' % number)
        numbered[prf] = keys
    for prf in sorted(numbered):
        lines.append('prf=%d\n' % prf)
        lines.extend(settings_line('profiles.%d' % prf, key, value) for key, value in numbered[prf].items())
    return ''.join(lines)


def from_marker(output, marker):
    """The output from the first line that starts with marker, or None."""
    if output.startswith(marker):
        return output
    at = output.find(b'\n' + marker)
    return None if at < 0 else output[at + 1:]


def as_text(output):
    return output.decode('utf-8', 'replace')


class Tool(object):
    def __init__(self, module, executable, path, result):
        self.module = module
        self.executable = executable
        self.path = path
        self.result = result
        self.warnings = []

    def fail(self, msg, **details):
        details.update(self.result)
        self.module.fail_json(msg=msg, **details)

    def run(self, options, data=None):
        """The tool's standard output, as bytes; a failed run fails the task with the tool's message."""
        args = [self.executable] + options + [self.path]
        extra = {} if data is None else dict(data=data, binary_data=True)
        # The path is already expanded once, as type path is; a second expansion would change a literal $ or ~.
        rc, out, err = self.module.run_command(args, encoding=None, expand_user_and_vars=False, **extra)
        message = '\n'.join(text for text in (as_text(out).strip(), as_text(err).strip()) if text)
        if rc != 0:
            self.fail(message or '%s exited with status %d' % (self.executable, rc), rc=rc, cmd=args)
        if err.strip() and as_text(err).strip() not in self.warnings:
            self.warnings.append(as_text(err).strip())
            self.module.warn(as_text(err).strip())
        return out

    def json(self, options, data=None):
        out = self.run(options + ['show=json'], data)
        try:
            return json.loads(as_text(from_marker(out, b'{') or b''))
        except ValueError:
            self.fail('%s show=json printed no JSON: %s' % (self.executable, as_text(out).strip()))


def main():
    module = AnsibleModule(
        argument_spec=dict(
            path=dict(type='path', required=True),
            settings=dict(type='dict'),
            profiles=dict(type='dict'),
            backup=dict(type='bool', default=False),
            executable=dict(type='path'),
        ),
        supports_check_mode=True,
    )
    result = dict(changed=False)
    path = module.params['path']
    try:
        text = settings_text(module.params['settings'] or {}, module.params['profiles'] or {})
    except FormatError as e:
        module.fail_json(msg=str(e), **result)
    tool = Tool(module, module.params['executable'] or module.get_bin_path('vornset', required=True), path, result)
    data = to_bytes(text)

    before = tool.run(['show=options'])
    after = before
    # With no data, run_command would leave the tool reading the module's own standard input.
    if data:
        dry_run = tool.run(['write=no', 'show=options', 'load=-'], data)
        after = from_marker(dry_run, OPTIONS_START)
        if after is None:
            tool.fail('the dry run printed no settings: %s' % as_text(dry_run).strip())
    if module._diff:
        result['diff'] = dict(before=as_text(before), after=as_text(after), before_header=path, after_header=path)
    result['changed'] = before != after

    if not result['changed']:
        result['settings'] = tool.json([])
    elif module.check_mode:
        result['settings'] = tool.json(['write=no', 'load=-'], data)
    else:
        if module.params['backup']:
            result['backup_file'] = module.backup_local(path)
        # The tool writes nothing when it fails.
        result['changed'] = False
        tool.run(['load=-'], data)
        result['changed'] = True
        written = tool.run(['show=options'])
        if written != after:
            if module._diff:
                result['diff']['after'] = as_text(written)
            tool.fail('after the write %s reads differently from what the dry run said it would' % path)
        result['settings'] = tool.json([])
    module.exit_json(**result)


if __name__ == '__main__':
    main()
