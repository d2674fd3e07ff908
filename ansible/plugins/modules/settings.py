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
    What each key takes, a word or a whole number, and which words or numbers, comes from the tool's own tables,
    listed below; a task gets the same answer on every machine, whatever its image holds.
  - >-
    The tool checks every key and value, and a task that it refuses fails with a message that names the key as the
    task gives it, what the key takes, and where one setting needs another, what to set, for example
    C(settings.cntval: 150 is not a whole number from 1 to 99), and leaves the image as it was; the tool's own
    message, with the key named the same way, is in C(tool_message). The module itself refuses, before the tool is
    asked for the change, a value of neither kind, a name that is not a string or is longer than 16 bytes, a
    global key inside a profile or a profile's key under I(settings), and a profile number given twice, as C(2)
    and C("2") or C("02").
  - >-
    It takes what M(vornset.bootmanager.settings_info) returns: C(settings: "{{ golden.settings }}") and
    C(profiles: "{{ golden.profiles }}") give a machine the settings that another holds.
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
        words, for example C(cnt: "on") or C(usb1: "off"). A word that is digits may be given as a number, as
        C(usb1: 1).
      - A null value leaves the setting as it is, as M(vornset.bootmanager.settings_info) returns null for a value
        that no option gives.
      - No value may hold a NUL character.
    type: dict
  profiles:
    description:
      - Boot profiles to change, from profile number to a dict of that profile's keys and values, for example
        C(prfname), C(btdrv), C(btprt) and C(btlog). A number may be an integer or digits in a string, as
        M(vornset.bootmanager.settings_info) returns them.
      - Keys and values follow the rules of I(settings). Keys left out, and keys given as null, keep their values.
      - C(prfname) is a string of at most 16 bytes as UTF-8, and may hold any character but NUL. Quote a name that
        YAML reads as a number, as it reads C(0123) as 83 and C(1:20) as 80. A name that is not UTF-8 text is given
        as its bytes in C(prfname_bytes).
    type: dict
  backup:
    description:
      - Before changing the image, copy it to a file beside it whose name holds the time, and return that name as
        C(backup_file). No copy is made when nothing changes.
      - To restore the image, copy that file back over it, as C(ansible.builtin.copy) with C(remote_src) does.
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
    details: >-
      In check mode the image is only read, and the tool's dry run tells what would change: a task reported
      changed in check mode shows a machine whose settings drifted from those given.
  diff_mode:
    support: full
    details: >-
      The diff is of the settings as C(vornset show=options) prints them, but for names: each is quoted as the
      tool's list of changes quotes it, escaped as in JSON, with a byte that is not UTF-8 as C(\xff) and any bytes
      that the name's field holds after its end, as C(prfname="AB" (then 43 44)).
  platform:
    platforms: posix
notes:
  - The C(vornset) tool must be installed on the managed machine.
  - Where the image reads differently after the write from what the dry run said, the task fails with
    I(changed=true). I(backup=true) keeps a copy of the image as it was before.
seealso:
  - module: vornset.bootmanager.settings_info
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

- name: Read the settings of the machine that holds them right
  vornset.bootmanager.settings_info:
    path: /boot/vornbm.bin
  delegate_to: golden.example.com
  run_once: true
  register: golden

- name: Give every machine the same settings and profiles
  vornset.bootmanager.settings:
    path: /boot/vornbm.bin
    settings: "{{ golden.settings }}"
    profiles: "{{ golden.profiles }}"
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
diff:
  description:
    - The settings as C(vornset show=options) prints them, before and after the change, with the image's path
      as both headers, so that C(--diff) shows a unified diff. Names are quoted, as C(prfname="Win\u000911").
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
    - Where the tool refused the change, its own message, with the key named as the task gives it, as in I(msg).
  returned: failure, where the tool refused a value
  type: str
  sample: "vornset: Parameter error: profiles.2.prfnme, no such key; did you mean prfname?"
backup_file:
  description: The copy of the image made before the change.
  returned: changed and I(backup=true), not in check mode
  type: str
  sample: /boot/vornbm.bin.2417.2026-12-08@14:30:02~
'''

import difflib
import json
import re

from ansible.module_utils import basic
from ansible.module_utils.basic import AnsibleModule
from ansible.module_utils.common.text.converters import to_bytes, to_text
from ansible.module_utils.six import integer_types, string_types

from ansible_collections.vornset.bootmanager.plugins.module_utils.settings_table import (
    GLOBAL_SETTINGS, HIDDEN_START, NAME_BYTES_KEY, PROFILE_SETTINGS)
from ansible_collections.vornset.bootmanager.plugins.module_utils.vornset_tool import (
    NUMBER_KEY, STORED_KEY, Tool, shaped)

NUMBER = re.compile(r'[0-9]+\Z')
LOAD_REFUSAL = re.compile(r'Parameter error: load, line ([0-9]+): (.*)')
NAME_KEY = 'prfname'
NAME_BYTES = PROFILE_SETTINGS[NAME_KEY]['bytes']
PROFILE_NUMBERS = PROFILE_SETTINGS[NUMBER_KEY]['numbers']
# The keys a profile takes under its number: the tool's, but the number, and the name's bytes.
PROFILE_KEYS = set(PROFILE_SETTINGS) - set([NUMBER_KEY]) | set([NAME_BYTES_KEY])
# Far more than any key or value takes, and what the tool reads of a document: past these, a refusal would name no
# key, or the whole text would be quoted back.
LONGEST = 256
DOCUMENT_BYTES = 65536
SHOWN = 32
# Words that YAML 1.1 reads as booleans unquoted.
YAML_BOOLEANS = ('on', 'off', 'yes', 'no')


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


def shown(value):
    """A value as a refusal quotes it: a string between quotes, shortened."""
    return json.dumps(shortened(value)) if isinstance(value, string_types) else str(value)


def word(text):
    """A word as a playbook writes it, quoted where YAML would read a boolean."""
    return '"%s"' % text if text in YAML_BOOLEANS else text


def alternatives(words):
    words = [word(text) for text in words]
    return words[0] if len(words) == 1 else '%s or %s' % (', '.join(words[:-1]), words[-1])


def takes(row):
    """What a key of the tables takes, to end a sentence."""
    if 'words' in row:
        return alternatives(row['words']) if len(row['words']) == 1 else 'one of %s' % alternatives(row['words'])
    return 'a whole number from %d to %d' % row['numbers']


def row_of(path, key):
    """The key's row in the tables, where the place takes it, or None."""
    return (PROFILE_SETTINGS if path.startswith('profiles') else GLOBAL_SETTINGS).get(key)


def as_json(path, key, value):
    """The value as the tool's document takes it, for the key's row in the tables: a number for a key that takes
    one, else a string; null for none. Refused where it can be neither, with the playbook's path."""
    if isinstance(value, string_types) and not is_unicode(value):
        raise Refused('%s: holds what is not UTF-8 text' % path)
    if isinstance(value, bool):
        raise Refused('%s: %s is a boolean, as YAML reads an unquoted on, off, yes or no; quote the word, '
                      'for example %s: "%s"' % (path, value, key, 'on' if value else 'off'))
    if value is None:
        return None
    if key == NAME_KEY:
        return checked_name(path, key, value)
    if isinstance(value, string_types) and len(to_bytes(value, errors='surrogate_or_strict')) > LONGEST:
        raise Refused('%s: %d bytes, longer than any setting takes'
                      % (path, len(to_bytes(value, errors='surrogate_or_strict'))))
    if key == NAME_BYTES_KEY:
        if not isinstance(value, string_types):
            raise Refused('%s: the bytes are a string of two hexadecimal digits a byte: quote them, as in %s: "%s"'
                          % (path, key, value))
        return value
    row = row_of(path, key)
    if row is None:
        # The tool refuses the key, and may know the one meant.
        return value
    if 'words' in row and isinstance(value, string_types + integer_types):
        return str(value)
    if 'numbers' in row and isinstance(value, integer_types):
        return value
    if 'numbers' in row and isinstance(value, string_types) and NUMBER.match(value):
        return int(value)
    raise Refused('%s: %s is not %s' % (path, shown(value), takes(row)))


def checked_name(path, key, value):
    if isinstance(value, integer_types):
        raise Refused('%s: %d is a number, as YAML reads an unquoted 0123 (octal) or 1:20 (base 60); a name is '
                      'a string: quote the name, as in %s: "0123"' % (path, value, key))
    if not isinstance(value, string_types):
        raise Refused('%s: a name must be a string' % path)
    length = len(to_bytes(value, errors='surrogate_or_strict'))
    if length > NAME_BYTES:
        raise Refused('%s: at most %d bytes, and "%s" has %d' % (path, NAME_BYTES, shortened(value), length))
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
    if not PROFILE_NUMBERS[0] <= int(number) <= PROFILE_NUMBERS[1]:
        raise Refused('profiles.%s: %s is not %s' % (number, number, takes(PROFILE_SETTINGS[NUMBER_KEY])))
    return int(number)


def elsewhere(path, key):
    """A suggestion of a key like key among those of the other place, or ''."""
    in_settings = path.startswith('settings.')
    close = difflib.get_close_matches(key, PROFILE_KEYS if in_settings else GLOBAL_SETTINGS, 1, 0.8)
    if not close:
        return ''
    if in_settings:
        return ("; did you mean %s? It is a profile's setting: give it under profiles, by the profile's number"
                % close[0])
    return '; did you mean %s? It is a global setting: give it under settings' % close[0]


def checked_settings(settings):
    """The global settings as (path, key, value as the document takes it, value as given)."""
    checked = []
    for key in settings:
        path = checked_key('settings', key)
        if key == NUMBER_KEY:
            raise Refused('settings.prf: profiles are given by number under profiles, not with prf')
        if key in PROFILE_KEYS:
            raise Refused("%s: %s is a profile's setting; give it under profiles, by the profile's number" % (path, key))
        checked.append((path, key, as_json(path, key, settings[key]), settings[key]))
    return checked


def checked_profile(given, keys):
    """A profile's settings as (path, key, value as the document takes it, value as given)."""
    if not isinstance(keys, dict):
        raise Refused('profiles.%s: must be a dict of the profile\'s keys and values' % given)
    checked = []
    for key in keys:
        path = checked_key('profiles.%s' % given, key)
        if key == NUMBER_KEY:
            raise Refused('%s: the profile\'s number is its key under profiles' % path)
        if key in GLOBAL_SETTINGS:
            raise Refused('%s: %s is a global setting; give it under settings' % (path, key))
        if key == STORED_KEY:
            raise Refused('%s: no such setting' % path)
        checked.append((path, key, as_json(path, key, keys[key]), keys[key]))
    values = dict((member[1], member[2]) for member in checked)
    if values.get(NAME_KEY) is not None and values.get(NAME_BYTES_KEY) is not None:
        raise Refused('profiles.%s.%s: give the name as %s or as %s, and the other null or not at all'
                      % (given, NAME_BYTES_KEY, NAME_KEY, NAME_BYTES_KEY))
    return checked


def checked_arguments(settings, profiles, given_keys=()):
    """The settings, and the profiles as (number, key as given, settings) in numeric order, checked for what the
    task itself can tell without the tool, each setting as (path, key, value as the document takes it, value as
    given)."""
    checked_globals = checked_settings(settings)
    # The keys as carried, where they are the dict's own keys with some given twice.
    numbers = list(given_keys) if set(given_keys) == set(profiles) else list(profiles)
    numbered = {}
    for number in numbers:
        prf = profile_number(number)
        if prf in numbered:
            spelt = '' if numbered[prf] == number else ', as %s and %s' % (numbered[prf], number)
            raise Refused('profiles: profile %d is given twice%s' % (prf, spelt))
        numbered[prf] = number
    checked_profiles = [(prf, numbered[prf], checked_profile(numbered[prf], profiles[numbered[prf]]))
                        for prf in sorted(numbered)]
    return checked_globals, checked_profiles


def hidden_start_refusal(path, key, after):
    """What the playbook must set where the tool refuses to start hidden at key, with after the settings that the
    task would leave; or None."""
    rule, hidden = HIDDEN_START['key'], HIDDEN_START['word']
    # Each setting the rule needs, with the words that meet it: any but the first.
    needs = dict((need, '%s: %s' % (need, takes(dict(words=GLOBAL_SETTINGS[need]['words'][1:]))))
                 for need in HIDDEN_START['needs'])
    needed = ' and '.join(needs[need] for need in HIDDEN_START['needs'])
    if key == rule:
        unmet = [needs[need] for need in HIDDEN_START['needs'] if after.get(need) == GLOBAL_SETTINGS[need]['words'][0]]
        return '%s: %s needs %s; set %s as well' % (path, hidden, needed, ' and '.join(unmet)) if unmet else None
    if key in needs:
        shown_first = word(GLOBAL_SETTINGS[rule]['words'][0])
        return '%s: %s: %s needs %s; set %s, or %s: %s' % (path, rule, hidden, needed, needs[key], rule, shown_first)
    return None


def is_sent(path, key, value, given=None):
    """Whether the tool is given the member: a null leaves a setting as it is and is left out, but for a key the tool
    does not know, which it refuses."""
    return value is not None or (row_of(path, key) is None and key != NAME_BYTES_KEY)


class Document(object):
    """The document that load=- is given, one value a line, and the playbook's path of each line, so that a refusal
    at a line names what the playbook wrote."""

    def __init__(self, settings, profiles):
        self.paths = {}
        self.lines = ['{"format_version": 2,']
        self.group('"settings": {', [member for member in settings if is_sent(*member)], '},')
        self.lines.append('"profiles": [')
        given = []
        for prf, number, values in profiles:
            values = [member for member in values if is_sent(*member)]
            if values:
                given.append([('profiles.%s' % number, NUMBER_KEY, prf, number)] + values)
        for at, members in enumerate(given):
            self.group('{', members, '}' if at == len(given) - 1 else '},')
        self.lines.append(']}')
        self.holds_settings = len(self.paths) > 0
        self.after = {}

    def group(self, opening, members, closing):
        self.lines.append(opening)
        for at, (path, key, value, given) in enumerate(members):
            self.paths[len(self.lines) + 1] = (path, key, given)
            self.lines.append('%s: %s%s' % (json.dumps(key), json.dumps(value), ',' if at < len(members) - 1 else ''))
        self.lines.append(closing)

    def text(self):
        return '\n'.join(self.lines) + '\n'

    def reason(self, path, key, value, said):
        """The playbook's message for the tool's reason, said after the key's place."""
        row = row_of(path, key)
        if row and said == row['refusal'].split(', ', 1)[-1] and ('words' in row or 'numbers' in row):
            return '%s: %s is not %s' % (path, shown(value), takes(row))
        if said == HIDDEN_START['refusal']:
            refusal = hidden_start_refusal(path, key, self.after)
            if refusal:
                return refusal
        if said == 'no such key':
            # The tool suggests among the keys of the place it was given; the playbook may have the wrong place.
            return '%s: no such setting%s' % (path, elsewhere(path, key))
        if said.startswith('no such key'):
            return '%s: no such setting%s' % (path, said[len('no such key'):])
        return '%s: %s' % (path, said)

    def explain(self, message):
        """The tool's refusal of a line in the playbook's words, and the tool's own message with the place as the
        playbook gives it; or None."""
        refused = LOAD_REFUSAL.search(message)
        if not refused or int(refused.group(1)) not in self.paths:
            return None
        path, key, value = self.paths[int(refused.group(1))]
        said = refused.group(2)
        # The tool names the key by its place in the document, or, for a few, by the name users know it by.
        row = row_of(path, key)
        if row and said.endswith(row['refusal']):
            said = row['refusal'].split(', ', 1)[-1]
        else:
            at = said.find(key + ', ')
            said = said[at + len(key) + 2:] if at >= 0 else said.split(', ', 1)[-1]
        tool_message = message[:refused.start()] + 'Parameter error: %s, %s' % (path, said) + message[refused.end():]
        return self.reason(path, key, value, said), tool_message


def stored(document):
    """What decides whether anything changes: the bytes the image stores, names among them."""
    return (document.get('version'), document.get(STORED_KEY),
            [(profile.get(NUMBER_KEY), profile.get(STORED_KEY)) for profile in document.get('profiles', [])])


def escaped(data):
    """Bytes of a name as the tool's list of changes quotes them: printable ASCII as it is, " and \\ escaped, any
    other character as \\u and four lower-case hexadecimal digits (a surrogate pair above U+FFFF), and a byte that
    starts no UTF-8 character as \\x and two."""
    out = []
    for c in data.decode('utf-8', 'surrogateescape'):
        code = ord(c)
        if 0xdc80 <= code <= 0xdcff:
            out.append('\\x%02x' % (code - 0xdc00))
        elif c in '"\\':
            out.append('\\' + c)
        elif 0x20 <= code < 0x7f:
            out.append(c)
        elif code > 0xffff:
            code -= 0x10000
            out.append('\\u%04x\\u%04x' % (0xd800 + (code >> 10), 0xdc00 + (code & 0x3ff)))
        else:
            out.append('\\u%04x' % code)
    return ''.join(out)


def name_value(profile):
    """A profile's name between quotes as the tool's list of changes gives it, with any bytes its field holds after
    the name's end: "AB" (then 43 44)."""
    field = (profile.get(STORED_KEY) or {}).get('name')
    if isinstance(field, list):
        field = bytearray(field)
    elif profile.get(NAME_BYTES_KEY):
        field = bytearray.fromhex(profile[NAME_BYTES_KEY])
    else:
        field = bytearray(to_bytes(profile.get(NAME_KEY) or '', errors='surrogate_or_strict'))
    end = field.find(b'\0')
    name, rest = (field, b'') if end < 0 else (field[:end], field[end + 1:].rstrip(b'\0'))
    then = ' (then %s)' % ' '.join('%02x' % byte for byte in rest) if rest else ''
    return '"%s"%s' % (escaped(bytes(name)), then)


def value_line(key, value, stored_value=None):
    if value is None:
        return '# %s: stored value%s has no option value' % (key, '' if stored_value is None else ' %s' % stored_value)
    return '%s=%s' % (key, value)


def settings_text(document):
    """The settings as show=options prints them, but for names: each is quoted as the tool's list of changes quotes
    it, with any bytes after its end, so that names that differ read differently."""
    lines = ['# vornset settings, configuration version %s' % document.get('version')]
    stored_values = document.get(STORED_KEY) or {}
    lines.extend(value_line(key, value, stored_values.get(key)) for key, value in document['settings'].items())
    for profile in document['profiles']:
        lines.append('%s=%s' % (NUMBER_KEY, profile[NUMBER_KEY]))
        for key, value in profile.items():
            if key == NAME_KEY:
                lines.append('%s=%s' % (NAME_KEY, name_value(profile)))
            elif key not in (NUMBER_KEY, NAME_BYTES_KEY, STORED_KEY):
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
        checked_globals, profiles = checked_arguments(settings, module.params['profiles'] or {},
                                                      given_profile_keys(getattr(basic, '_ANSIBLE_ARGS', None)))
    except Refused as e:
        module.fail_json(msg=str(e), **result)
    document = Document(checked_globals, profiles)
    data = to_bytes(document.text())
    if len(data) > DOCUMENT_BYTES:
        module.fail_json(msg='settings, profiles: %d bytes as the tool is given them, more than the tool reads (%d)'
                         % (len(data), DOCUMENT_BYTES), **result)
    tool = Tool(module, module.params['executable'] or module.get_bin_path('vornset', required=True), path, result)

    before = tool.json([])
    document.after = dict(before['settings'])
    document.after.update((member[1], member[2]) for member in checked_globals if member[2] is not None)
    # With no data, run_command would leave the tool reading the module's own standard input.
    after = tool.json(['write=no', 'load=-'], data, document.explain) if document.holds_settings else before
    if module._diff:
        result['diff'] = dict(before=settings_text(before), after=settings_text(after),
                              before_header=path, after_header=path)
    result['changed'] = stored(before) != stored(after)

    if result['changed'] and not module.check_mode:
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
        after = written
    result.update(shaped(after))
    module.exit_json(**result)


if __name__ == '__main__':
    main()
