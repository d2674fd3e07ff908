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
  - The module asks the tool for the change as a dry run first and compares the bytes that the image stores before
    and after it, names among them, so an image that already holds the settings given is reported unchanged and
    never opened for writing.
  - >-
    The tool checks every key and value, and a task that it refuses fails with a message that names the key as the
    task gives it, for example C(settings.cntval: only values 1-99 are valid), and leaves the image as it was; the
    tool's own message is in C(tool_message). The module itself refuses, before the tool is asked for the change,
    a name that is not a string or is longer than 16 bytes, a global key inside a profile or a profile's key under
    I(settings), and a profile number given twice, as C(2) and C("2") or C("02").
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
      - >-
        A number may be given as an integer or as decimal digits in a string. YAML reads an unquoted C(012) as 10
        and C(1:20) as 80, and the module is handed those numbers; quote such a value, as C(cntval: "012").
      - >-
        YAML reads an unquoted C(on), C(off), C(yes) or C(no) as a boolean, and a boolean is refused; quote such
        words, for example C(cnt: "on") or C(usb1: "off").
      - No value may hold a NUL character.
    type: dict
  profiles:
    description:
      - Boot profiles to change, from profile number to a dict of that profile's keys and values, for example
        C(prfname), C(btdrv), C(btprt) and C(btlog).
      - Keys and values follow the rules of I(settings). Keys left out keep their values.
      - C(prfname) is a string of at most 16 bytes as UTF-8, and may hold any character but NUL. Quote a name that
        YAML reads as a number, as it reads C(0123) as 83 and C(1:20) as 80.
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
    details: >-
      The diff is of the settings as C(vornset show=options) prints them, but for a name that it cannot print as it
      is (one with a control character, a combining mark or a space at an end): that one is quoted and escaped as in JSON.
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
      as both headers, so that C(--diff) shows a unified diff. A name that show=options cannot print as it is
      appears quoted and escaped as in JSON, as C(prfname="Win\t11").
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
tool_message:
  description:
    - Where the tool refused the change, its own message, which names a line of the document that the module hands
      it; I(msg) names the key as the task gives it.
  returned: failure, where the tool refused a value
  type: str
  sample: "vornset: Parameter error: load, line 3: settings.cntvl, no such key; did you mean cntval?"
backup_file:
  description: The copy of the image made before the change.
  returned: changed and I(backup=true), not in check mode
  type: str
  sample: /boot/vornbm.bin.2417.2026-12-08@14:30:02~
'''

import difflib
import json
import re
import unicodedata

from ansible.module_utils import basic
from ansible.module_utils.basic import AnsibleModule
from ansible.module_utils.common.text.converters import to_bytes, to_text
from ansible.module_utils.six import integer_types, string_types

from ansible_collections.vornset.bootmanager.plugins.module_utils.vornset_tool import Tool

NUMBER = re.compile(r'[0-9]+\Z')
LOAD_REFUSAL = re.compile(r'Parameter error: load, line ([0-9]+): (.*)')
# The tool's reason for a value of a few settings that are not among their choices.
TOOL_HELP = 'run vornset without parameter to see help'
NAME_KEY = 'prfname'
# A profile's name field in the image; the tool refuses a longer name in a document.
NAME_BYTES = 16
# Far more than any key or value takes, and what the tool reads of a document: past these, a refusal would name no
# key, or the whole text would be quoted back.
LONGEST = 256
DOCUMENT_BYTES = 65536
SHOWN = 32
# The members of a profile in show=json that set nothing themselves: the number, which the task gives as the
# profile's key, the name's bytes beside prfname, and the stored bytes.
PROFILE_PARTS = ('prf', 'prfname_bytes', 'stored')


class Refused(Exception):
    pass


def is_unicode(text):
    """Whether text holds no surrogate: Ansible gives a byte that is not UTF-8 as one, which the tool cannot take."""
    try:
        text.encode('utf-8')
        return True
    except UnicodeError:
        return False


def shortened(text):
    return text if len(text) <= SHOWN else text[:SHOWN] + '...'


def checked_value(path, key, value):
    """The value as the task gave it, or Refused with the playbook's path."""
    if isinstance(value, string_types) and not is_unicode(value):
        raise Refused('%s: holds what is not UTF-8 text' % path)
    if isinstance(value, bool):
        raise Refused('%s: %s is a boolean, as YAML reads an unquoted on, off, yes or no; quote the word, '
                      'for example %s: "%s"' % (path, value, key, 'on' if value else 'off'))
    if key == NAME_KEY:
        if isinstance(value, integer_types):
            raise Refused('%s: %d is a number, as YAML reads an unquoted 0123 (octal) or 1:20 (base 60); a name is '
                          'a string: quote the name, as in %s: "0123"' % (path, value, key))
        if not isinstance(value, string_types):
            raise Refused('%s: a name must be a string' % path)
        length = len(to_bytes(value, errors='surrogate_or_strict'))
        if length > NAME_BYTES:
            raise Refused('%s: at most %d bytes, and "%s" has %d' % (path, NAME_BYTES, shortened(value), length))
    elif not isinstance(value, string_types + integer_types):
        raise Refused('%s: a value must be a string or an integer' % path)
    elif isinstance(value, string_types) and len(to_bytes(value, errors='surrogate_or_strict')) > LONGEST:
        raise Refused('%s: %d bytes, longer than any setting takes'
                      % (path, len(to_bytes(value, errors='surrogate_or_strict'))))
    return value


def checked_key(where, key):
    """The key's path in the task, unless the key is too long to be any setting's name."""
    if not is_unicode(key):
        raise Refused('%s.%s: holds what is not UTF-8 text' % (where, json.dumps(key)[1:-1]))
    length = len(to_bytes(key, errors='surrogate_or_strict'))
    if length > LONGEST:
        raise Refused("%s.%s: %d bytes, longer than any setting's name" % (where, shortened(key), length))
    return '%s.%s' % (where, key)


def given_profile_keys(args):
    """The keys of profiles as the task's arguments carried them to the module: a number given twice, as 2 and "2",
    is one key once the arguments are read into a dict."""
    try:
        pairs = json.loads(to_text(args, errors='surrogate_or_strict'), object_pairs_hook=list)
        profiles = dict(dict(pairs)['ANSIBLE_MODULE_ARGS']).get('profiles')
        if isinstance(profiles, string_types):
            profiles = json.loads(profiles, object_pairs_hook=list)
        return [key for key, dummy in profiles or []]
    except (AttributeError, KeyError, TypeError, ValueError):
        return []


def profile_number(number):
    if isinstance(number, integer_types) and not isinstance(number, bool):
        number = str(number)
    if not isinstance(number, string_types) or not NUMBER.match(number):
        raise Refused('profiles: %r is not a profile number' % (number,))
    return int(number)


def checked_arguments(settings, profiles, given_keys=()):
    """The settings, and the profiles as (number, key as given, settings) in numeric order, checked for what the
    task itself can tell without the tool."""
    for key in settings:
        if key == 'prf':
            raise Refused('settings.prf: profiles are given by number under profiles, not with prf')
        checked_value(checked_key('settings', key), key, settings[key])
    # The keys as carried, where they are the dict's own keys with some given twice.
    numbers = list(given_keys) if set(given_keys) == set(profiles) else list(profiles)
    numbered = {}
    for number in numbers:
        prf = profile_number(number)
        if prf in numbered:
            spelt = '' if numbered[prf] == number else ', as %s and %s' % (numbered[prf], number)
            raise Refused('profiles: profile %d is given twice%s' % (prf, spelt))
        numbered[prf] = number
    checked = []
    for prf in sorted(numbered):
        given = numbered[prf]
        keys = profiles[given]
        if not isinstance(keys, dict):
            raise Refused('profiles.%s: must be a dict of the profile\'s keys and values' % given)
        for key in keys:
            if key == 'prf':
                raise Refused('profiles.%s.prf: the profile\'s number is its key under profiles' % given)
            checked_value(checked_key('profiles.%s' % given, key), key, keys[key])
        checked.append((prf, given, keys))
    return checked


class Keys(object):
    """The keys of the global settings and of a profile, and which take numbers, as the tool's show=json gives
    them."""

    def __init__(self, document):
        self.globals = set(document['settings'])
        profiles = document['profiles']
        self.profile = set(profiles[0]) - set(PROFILE_PARTS) if profiles else set()
        self.profile_numbers = [profile['prf'] for profile in profiles]
        values = list(document['settings'].items()) + [item for profile in profiles for item in profile.items()]
        self.numbers = set(key for key, value in values if isinstance(value, int) and not isinstance(value, bool))
        self.words = set(key for key, value in values if isinstance(value, string_types))

    def check_places(self, settings, profiles):
        for key in settings:
            if key in self.profile:
                raise Refused('settings.%s: %s is a profile\'s setting; give it under profiles, by the profile\'s '
                              'number' % (key, key))
        for prf, given, keys in profiles:
            # The tool checks the number of a profile that it is given; an empty one is left out of the document.
            if not keys and self.profile_numbers and prf not in self.profile_numbers:
                raise Refused('profiles.%s: only values %d-%d are valid'
                              % (given, min(self.profile_numbers), max(self.profile_numbers)))
            for key in keys:
                if key in self.globals:
                    raise Refused('profiles.%s.%s: %s is a global setting; give it under settings' % (given, key, key))
                if key in PROFILE_PARTS:
                    raise Refused('profiles.%s.%s: no such setting' % (given, key))

    def elsewhere(self, path, key):
        """A suggestion of a key like key among those of the other place, or ''."""
        in_settings = path.startswith('settings.')
        close = difflib.get_close_matches(key, self.profile if in_settings else self.globals, 1, 0.8)
        if not close:
            return ''
        if in_settings:
            return ("; did you mean %s? It is a profile's setting: give it under profiles, by the profile's number"
                    % close[0])
        return '; did you mean %s? It is a global setting: give it under settings' % close[0]

    def as_json(self, key, value):
        """The value as the document takes it: a number for a key that takes one, else a string."""
        if key in self.numbers and isinstance(value, string_types) and NUMBER.match(value):
            return int(value)
        if key in self.words and isinstance(value, integer_types):
            return str(value)
        return value


class Document(object):
    """The document that load=- is given, one value a line, and the playbook's path of each line, so that a refusal
    at a line names what the playbook wrote."""

    def __init__(self, settings, profiles, keys):
        self.keys = keys
        self.paths = {}
        self.lines = ['{"format_version": 2,']
        self.group('"settings": {', [('settings.%s' % key, key, keys.as_json(key, value))
                                     for key, value in settings.items()], '},')
        self.lines.append('"profiles": [')
        profiles = [profile for profile in profiles if profile[2]]
        for at, (prf, given, values) in enumerate(profiles):
            members = [('profiles.%s' % given, 'prf', prf)]
            members.extend(('profiles.%s.%s' % (given, key), key, keys.as_json(key, value))
                           for key, value in values.items())
            self.group('{', members, '}' if at == len(profiles) - 1 else '},')
        self.lines.append(']}')
        self.holds_settings = bool(settings or profiles)

    def group(self, opening, members, closing):
        self.lines.append(opening)
        for at, (path, key, value) in enumerate(members):
            self.paths[len(self.lines) + 1] = (path, key)
            self.lines.append('%s: %s%s' % (json.dumps(key), json.dumps(value), ',' if at < len(members) - 1 else ''))
        self.lines.append(closing)

    def text(self):
        return '\n'.join(self.lines) + '\n'

    def explain(self, message):
        """The tool's refusal of a line in the playbook's words, or None."""
        refused = LOAD_REFUSAL.search(message)
        if not refused or int(refused.group(1)) not in self.paths:
            return None
        path, key = self.paths[int(refused.group(1))]
        said = refused.group(2)
        # The tool names the key by its place in the document, or, for a few, by the name users know it by.
        at = said.find(key + ', ')
        reason = said[at + len(key) + 2:] if at >= 0 else said.split(', ', 1)[-1]
        if reason == 'no such key':
            # The tool suggests among the keys of the place it was given; the playbook may have the wrong place.
            reason = 'no such setting' + self.keys.elsewhere(path, key)
        elif reason.startswith('no such key'):
            reason = 'no such setting' + reason[len('no such key'):]
        if reason == TOOL_HELP:
            reason = 'not one of its values, which ansible-doc vornset.bootmanager.settings lists'
        return '%s: %s' % (path, reason)


def stored(document):
    """What decides whether anything changes: the bytes the image stores, names among them."""
    return (document.get('version'), document.get('stored'),
            [(profile.get('prf'), profile.get('stored')) for profile in document.get('profiles', [])])


def visible(c):
    """Whether c prints as a character of its own; a combining mark prints on the one before it, and a name that
    holds one would read as its composed form does."""
    return c.isprintable() and not unicodedata.combining(c)


def quoted(name):
    """A name between quotes, escaped as JSON escapes it, and anything that does not print visibly too."""
    return '"%s"' % ''.join(c if visible(c) and c not in '"\\' else json.dumps(c)[1:-1] for c in name)


def name_line(profile):
    name = profile.get(NAME_KEY)
    if name is None:
        return '%s_bytes=%s' % (NAME_KEY, profile.get('prfname_bytes'))
    plain = all(visible(c) for c in name) and name == name.strip() and not name.startswith('"')
    return '%s=%s' % (NAME_KEY, name if plain else quoted(name))


def value_line(key, value, stored_value=None):
    if value is None:
        return '# %s: stored value%s has no option value' % (key, '' if stored_value is None else ' %s' % stored_value)
    return '%s=%s' % (key, value)


def settings_text(document):
    """The settings as show=options prints them, but for a name that it cannot print as it is: that one is quoted
    and escaped, so that names that differ read differently."""
    lines = ['# vornset settings, configuration version %s' % document.get('version')]
    stored_values = document.get('stored', {})
    lines.extend(value_line(key, value, stored_values.get(key)) for key, value in document['settings'].items())
    for profile in document['profiles']:
        lines.append('prf=%s' % profile['prf'])
        for key, value in profile.items():
            if key == NAME_KEY:
                lines.append(name_line(profile))
            elif key not in PROFILE_PARTS:
                lines.append(value_line(key, value))
    lines.append('# end of vornset settings')
    return '\n'.join(lines) + '\n'


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
    settings = module.params['settings'] or {}
    try:
        profiles = checked_arguments(settings, module.params['profiles'] or {},
                                     given_profile_keys(getattr(basic, '_ANSIBLE_ARGS', None)))
    except Refused as e:
        module.fail_json(msg=str(e), **result)
    tool = Tool(module, module.params['executable'] or module.get_bin_path('vornset', required=True), path, result)

    before = tool.json([])
    keys = Keys(before)
    try:
        keys.check_places(settings, profiles)
    except Refused as e:
        tool.fail(str(e))
    document = Document(settings, profiles, keys)
    data = to_bytes(document.text())
    if len(data) > DOCUMENT_BYTES:
        tool.fail('settings, profiles: %d bytes as the tool is given them, more than the tool reads (%d)'
                  % (len(data), DOCUMENT_BYTES))
    # With no data, run_command would leave the tool reading the module's own standard input.
    after = tool.json(['write=no', 'load=-'], data, document.explain) if document.holds_settings else before
    if module._diff:
        result['diff'] = dict(before=settings_text(before), after=settings_text(after),
                              before_header=path, after_header=path)
    result['changed'] = stored(before) != stored(after)

    if not result['changed'] or module.check_mode:
        result['settings'] = after
    else:
        if module.params['backup']:
            result['backup_file'] = module.backup_local(path)
        # The tool writes nothing when it fails.
        result['changed'] = False
        tool.run(['load=-'], data, document.explain)
        result['changed'] = True
        written = tool.json([])
        if stored(written) != stored(after):
            if module._diff:
                result['diff']['after'] = settings_text(written)
            tool.fail('after the write %s reads differently from what the dry run said it would' % path)
        result['settings'] = written
    module.exit_json(**result)


if __name__ == '__main__':
    main()
