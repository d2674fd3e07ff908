# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
#
# What a playbook run against the real tool cannot show: the document that the module
# hands the tool, the arguments as Ansible carries them, a refusal at a line of that
# document, and a write that does not leave what the dry run said.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import copy
import json
import re
import unittest
from unittest import mock

import yaml

from ansible.module_utils import basic
from ansible.module_utils.common.text.converters import to_bytes

from ansible_collections.vornset.bootmanager.plugins.modules import settings as module
from ansible_collections.vornset.bootmanager.plugins.modules import settings_info


class Exit(Exception):
    pass


class Fail(Exception):
    pass


def exit_json(self, **result):
    raise Exit(result)


def fail_json(self, **result):
    raise Fail(result)


def profile(prf, name, btdrv='80h', btprt=1, btlog=1):
    """A profile as show=json gives it, its stored bytes made of its values; a name given as bytes is its field's
    sixteen bytes, as the image holds them."""
    field = name if isinstance(name, bytes) else name.encode('utf-8')
    text = field.split(b'\0')[0]
    try:
        shown, as_bytes = text.decode('utf-8'), None
    except UnicodeError:
        shown, as_bytes = None, text.hex()
    return {'prf': prf, 'prfname': shown, 'prfname_bytes': as_bytes, 'btdrv': btdrv, 'btprt': btprt, 'btlog': btlog,
            'stored': {'partition': [btprt, btlog], 'drive': btdrv, 'name': list(field.ljust(16, b'\0'))}}


class FakeTool(object):
    """A vornset that shows its settings as show=json does and loads a document as load=- does, without checking
    it; refuse(document, text) may return a refusal instead, twist(document) spoils what a write leaves."""

    def __init__(self, names=('Windows 11', 'Debian 12', 'Fedora', 'FreeBSD'), refuse=None, twist=None):
        self.document = {
            'format_version': 2, 'version': 7,
            'settings': {'vm': '800x600', 'cnt': 'on', 'cntval': 10, 'dprf': 1, 'usb1': 'off', 'hotkey': 'yes'},
            'stored': {'vm': 2, 'cnt': 1, 'cntval': 10, 'dprf': 0, 'usb1': 0, 'hotkey': 1},
            'profiles': [profile(prf, name) for prf, name in enumerate(names, 1)],
        }
        self.refuse = refuse
        self.twist = twist
        self.calls = []

    def loaded(self, given):
        document = copy.deepcopy(self.document)
        for key, value in given['settings'].items():
            document['settings'][key] = value
            document['stored'][key] = value
        for values in given['profiles']:
            old = document['profiles'][values['prf'] - 1]
            name = bytes(old['stored']['name'])
            if 'prfname' in values or 'prfname_bytes' in values:
                name = values['prfname'].encode() if 'prfname' in values else bytes.fromhex(values['prfname_bytes'])
            options = dict((key, values.get(key, old[key])) for key in ('btdrv', 'btprt', 'btlog'))
            document['profiles'][values['prf'] - 1] = profile(values['prf'], name, **options)
        return document

    def run_command(self, args, data=None, binary_data=False, **kwargs):
        self.calls.append(dict(args=args, data=data, binary_data=binary_data, **kwargs))
        options = args[1:-1]
        shown = self.document
        if 'load=-' in options:
            text = data.decode()
            refused = self.refuse and self.refuse(json.loads(text), text)
            if refused:
                return refused
            shown = self.loaded(json.loads(text))
            if 'write=no' not in options:
                self.document = shown
                if self.twist:
                    self.twist(self.document)
                return 0, b'data changed\n', b''
        out = json.dumps(shown, indent=2).encode() + b'\n' if 'show=json' in options else b''
        if 'write=no' in options:
            out = b'ffffnothing written (write=no)\n\n' + out
        return 0, out, b''

    def loads(self):
        return [call for call in self.calls if call['data'] is not None]


def run_module(tool, main=module.main, **params):
    params.setdefault('path', '/images/vornbm.bin')
    params.setdefault('executable', '/usr/bin/vornset')
    params.setdefault('_ansible_diff', True)
    # As Ansible carries them: a dict with 2 and "2" as keys becomes JSON that gives "2" twice.
    with mock.patch.object(basic, '_ANSIBLE_ARGS', to_bytes(json.dumps({'ANSIBLE_MODULE_ARGS': params}))), \
            mock.patch.multiple(basic.AnsibleModule, exit_json=exit_json, fail_json=fail_json,
                                run_command=lambda self, *a, **k: tool.run_command(*a, **k)):
        try:
            main()
        except (Exit, Fail) as outcome:
            return type(outcome), outcome.args[0]
    raise AssertionError('the module neither exited nor failed')


def refusing(path, said):
    """A tool that refuses the line of the document that gives path (as 'settings.cntval' or 'profiles.0.prf'), as
    the tool says it: 'Parameter error: load, line N: ' and said."""
    def refuse(document, text):
        where, key = path.rsplit('.', 1)
        lines = text.splitlines()
        if where == 'settings':
            at = next(i for i, line in enumerate(lines) if line.startswith('"%s":' % key))
        else:
            item = int(where.split('.')[1])
            opened = [i for i, line in enumerate(lines) if line == '{'][item]
            at = next(i for i, line in enumerate(lines) if i > opened and line.startswith('"%s":' % key))
        return 1, b'', b'vornset: Parameter error: load, line %d: %s\n' % (at + 1, said.encode())
    return refuse


DRIVES = '80h, 81h, 82h, 83h, 84h, 85h, 86h, 87h, 88h or 89h'
HIDDEN_NEEDS = 'hidden needs cnt: "on" and dbt: one of profile, floppy, cdrom or usb'


class MessagesTest(unittest.TestCase):
    def test_a_refusal_names_the_playbooks_key_and_what_it_takes_in_msg_and_tool_message(self):
        # The task, where the tool refuses it and in its words, and what the module says then.
        cases = [
            ({'settings': {'cntvl': 5}}, 'settings.cntvl', 'settings.cntvl, no such key; did you mean cntval?',
             'settings.cntvl: no such setting; did you mean cntval?', 'settings.cntvl, no such key; did you mean cntval?'),
            ({'settings': {'cnt': 'on', 'cntval': 150}}, 'settings.cntval', 'settings.cntval, only values 1-99 are valid',
             'settings.cntval: 150 is not a whole number from 1 to 99', 'settings.cntval, only values 1-99 are valid'),
            # The tool names a few settings as the boot manager's users know them.
            ({'settings': {'hotkey': 'maybe'}}, 'settings.hotkey', 'settings.hk, only yes and no is valid',
             'settings.hotkey: "maybe" is not one of "no" or "yes"', 'settings.hotkey, only yes and no is valid'),
            ({'settings': {'usb1': 3}}, 'settings.usb1', 'settings.usb1, only off, 1, 2 is valid',
             'settings.usb1: 3 is not one of "off", 1 or 2', 'settings.usb1, only off, 1, 2 is valid'),
            ({'settings': {'vm': '1920x1080'}}, 'settings.vm', 'settings.vm, run vornset without parameter to see help',
             'settings.vm: "1920x1080" is not one of text, 640x480, 800x600, 1024x768 or 1280x1024',
             'settings.vm, run vornset without parameter to see help'),
            ({'profiles': {'2': {'btprt': 1}, '04': {'btdrv': '8ah'}}}, 'profiles.1.btdrv',
             'profiles[1].btdrv, only values 80h-89h are valid', 'profiles.04.btdrv: "8ah" is not one of ' + DRIVES,
             'profiles.04.btdrv, only values 80h-89h are valid'),
            ({'profiles': {'2': {'btprt': 1}, 4: {'prfnme': 'Fedora'}}}, 'profiles.1.prfnme',
             'profiles[1].prfnme, no such key; did you mean prfname?',
             'profiles.4.prfnme: no such setting; did you mean prfname?',
             'profiles.4.prfnme, no such key; did you mean prfname?'),
            # Starting hidden needs the countdown and a default boot: the message says what to set.
            ({'settings': {'stm': 'hidden', 'dbt': 'profile'}, 'image': {'cnt': 'off'}}, 'settings.stm',
             'settings.stm, hidden mode requires countdown and default boot',
             'settings.stm: %s; set cnt: "on" as well' % HIDDEN_NEEDS,
             'settings.stm, hidden mode requires countdown and default boot'),
            ({'settings': {'stm': 'hidden'}, 'image': {'cnt': 'off', 'dbt': 'off'}}, 'settings.stm',
             'settings.stm, hidden mode requires countdown and default boot',
             'settings.stm: %s; set cnt: "on" and dbt: one of profile, floppy, cdrom or usb as well' % HIDDEN_NEEDS, None),
            ({'settings': {'cnt': 'off'}, 'image': {'stm': 'hidden'}}, 'settings.cnt',
             'settings.cnt, hidden mode requires countdown and default boot',
             'settings.cnt: stm: %s; set cnt: "on", or stm: menu' % HIDDEN_NEEDS, None),
        ]
        for params, path, said, message, tool_message in cases:
            with self.subTest(path=path, message=message):
                tool = FakeTool(refuse=refusing(path, said))
                tool.document['settings'].update(params.pop('image', {}))
                outcome, result = run_module(tool, **params)
                self.assertEqual((outcome, result['msg'], result['changed']), (Fail, message, False))
                if tool_message:
                    self.assertEqual(result['tool_message'], 'vornset: Parameter error: ' + tool_message)

    def test_a_misspelt_key_in_the_other_place_is_suggested_with_where_it_belongs(self):
        cases = [
            ({'profiles': {2: {'cntvl': 5}}}, 'profiles.0.cntvl', 'profiles[0].cntvl, no such key',
             'profiles.2.cntvl: no such setting; did you mean cntval? It is a global setting: give it under settings'),
            ({'settings': {'prfnme': 'Linux'}}, 'settings.prfnme', 'settings.prfnme, no such key',
             "settings.prfnme: no such setting; did you mean prfname? It is a profile's setting: give it under "
             "profiles, by the profile's number"),
            # A null is left out for a setting, but the tool is given one of a key it does not know.
            ({'settings': {'xyz': None}}, 'settings.xyz', 'settings.xyz, no such key', 'settings.xyz: no such setting'),
        ]
        for params, path, said, message in cases:
            with self.subTest(path=path):
                outcome, result = run_module(FakeTool(refuse=refusing(path, said)), **params)
                self.assertEqual((outcome, result['msg']), (Fail, message))

    def test_a_refusal_at_no_value_of_the_playbook_is_the_tools_message(self):
        tool = FakeTool(refuse=lambda document, text: (1, b'', b'vornset: Parameter error: load, line 1: not valid JSON\n'))
        outcome, result = run_module(tool, settings={'cntval': 5})
        self.assertEqual((outcome, result['msg']), (Fail, 'vornset: Parameter error: load, line 1: not valid JSON'))
        self.assertNotIn('tool_message', result)

    def test_the_tool_is_given_one_value_a_line_as_the_document_takes_it(self):
        tool = FakeTool()
        outcome, result = run_module(tool, path='/images/a b$', settings={'cntval': '05', 'usb1': 1, 'vm': 'text'},
                                     profiles={'4': {'prfname': 'Linux Mint', 'btprt': '2'}, 3: {}, 2: {'btdrv': '85h'}})
        self.assertEqual((outcome, result['changed']), (Exit, True))
        for call in tool.calls:
            self.assertEqual(call['args'][-1], '/images/a b$')
            self.assertFalse(call['expand_user_and_vars'])
        given = [call['data'] for call in tool.loads()]
        self.assertEqual(len(set(given)), 1)
        self.assertEqual(json.loads(given[0].decode()), {
            'format_version': 2,
            'settings': {'cntval': 5, 'usb1': '1', 'vm': 'text'},
            'profiles': [{'prf': 2, 'btdrv': '85h'}, {'prf': 4, 'prfname': 'Linux Mint', 'btprt': 2}]})
        values = [line for line in given[0].decode().splitlines() if re.match(r'"\w+": [^{[]', line)]
        self.assertEqual(len(values), 8)
        self.assertEqual(result['profiles']['4']['prfname'], 'Linux Mint')


class ToolOutputTest(unittest.TestCase):
    def test_output_that_is_not_the_settings_fails_with_the_tools_words(self):
        for out in (b'garbage\n', b'', b'{"x": 1}\n', b'[1, 2]\n', b'{"settings": {}}\n', b'{"settings": 1, "profiles": []}\n',
                    b'{"settings": {}, "profiles": [{"prfname": "x"}]}\n'):
            with self.subTest(out=out):
                tool = FakeTool()
                tool.run_command = lambda args, **kwargs: (0, out, b'')
                outcome, result = run_module(tool, settings={'cntval': 5})
                self.assertEqual((outcome, result['changed']), (Fail, False))
                self.assertIn('/usr/bin/vornset show=json printed no settings', result['msg'])


class KindsFromTheTablesTest(unittest.TestCase):
    def test_the_same_task_gives_the_tool_the_same_document_whatever_the_image_holds(self):
        task = dict(settings={'cntval': '5', 'usb1': 1, 'dprf': '02', 'hotkey': 'no'},
                    profiles={2: {'btprt': '3', 'btdrv': '81h'}})
        documents = []
        # A sound image, and one whose values no option gives, which show=json prints as null.
        for image in ({}, dict((key, None) for key in ('cntval', 'usb1', 'dprf', 'hotkey', 'vm'))):
            tool = FakeTool()
            tool.document['settings'].update(image)
            for profile in tool.document['profiles']:
                profile.update(btdrv=None, btprt=None, btlog=None)
            outcome, result = run_module(tool, **task)
            self.assertEqual(outcome, Exit, result.get('msg'))
            documents.append(json.loads(tool.loads()[0]['data'].decode()))
        self.assertEqual(documents[0], documents[1])
        self.assertEqual(documents[0]['settings'], {'cntval': 5, 'usb1': '1', 'dprf': 2, 'hotkey': 'no'})

    def test_a_value_of_neither_kind_is_refused_with_what_the_key_takes(self):
        cases = [
            ({'cntval': 2.5}, 'settings.cntval: 2.5 is not a whole number from 1 to 99'),
            ({'cntval': '2.5'}, 'settings.cntval: "2.5" is not a whole number from 1 to 99'),
            ({'usbmdev': ' 5'}, 'settings.usbmdev: " 5" is not a whole number from 1 to 99'),
            ({'cntval': ['5']}, "settings.cntval: ['5'] is not a whole number from 1 to 99"),
            ({'vm': 1.5}, 'settings.vm: 1.5 is not one of text, 640x480, 800x600, 1024x768 or 1280x1024'),
            ({'cnt': {'on': 1}}, 'settings.cnt: {\'on\': 1} is not one of "off" or "on"'),
        ]
        for settings, message in cases:
            with self.subTest(settings=settings):
                tool = FakeTool()
                self.assertEqual(run_module(tool, settings=settings)[1]['msg'], message)
                self.assertEqual(tool.calls, [])


class RefusedBeforeTheToolTest(unittest.TestCase):
    def refused(self, **params):
        tool = FakeTool()
        outcome, result = run_module(tool, **params)
        self.assertEqual((outcome, result['changed']), (Fail, False))
        self.assertEqual(tool.loads(), [])
        return result['msg']

    def test_a_name_is_a_string_of_at_most_16_bytes(self):
        for name in ('Fedora 41 Workst' + 'a', '\u00e9' * 8 + 'a', '\u20ac' * 5 + 'ab'):
            with self.subTest(name=name):
                self.assertEqual(self.refused(profiles={4: {'prfname': name}}),
                                 'profiles.4.prfname: at most 16 bytes, and "%s" has 17' % name)
        for name in ('Fedora 41 Workst', '\u00e9' * 8, '\u20ac' * 5 + 'a', ''):
            with self.subTest(name=name):
                self.assertIs(run_module(FakeTool(), profiles={4: {'prfname': name}})[0], Exit)
        self.assertIn('83 is a number, as YAML reads an unquoted 0123 (octal) or 1:20 (base 60); a name is a string: '
                      'quote the name', self.refused(profiles={4: {'prfname': 83}}))
        for name in (1.5, ['Linux']):
            with self.subTest(name=name):
                self.assertEqual(self.refused(profiles={4: {'prfname': name}}),
                                 'profiles.4.prfname: a name must be a string')
        self.assertIn('profiles.4.prfname_bytes: give the name as prfname or as prfname_bytes',
                      self.refused(profiles={4: {'prfname': 'A', 'prfname_bytes': '41'}}))
        self.assertIn('quote them', self.refused(profiles={4: {'prfname_bytes': 4142}}))

    def test_a_value_or_key_longer_than_any_setting_takes_is_refused_and_not_quoted_whole(self):
        self.assertIs(run_module(FakeTool(), settings={'vm': 'x' * 256})[0], Exit)
        self.assertEqual(self.refused(settings={'vm': 'x' * 257}),
                         'settings.vm: 257 bytes, longer than any setting takes')
        self.assertEqual(self.refused(settings={'vm': '\u20ac' * 86}),
                         'settings.vm: 258 bytes, longer than any setting takes')
        self.assertEqual(self.refused(settings={'x' * 1000: 1}),
                         'settings.%s...: 1000 bytes, longer than any setting\'s name' % ('x' * 32))
        self.assertEqual(self.refused(profiles={4: {'prfname': 'x' * 100000}}),
                         'profiles.4.prfname: at most 16 bytes, and "%s..." has 100000' % ('x' * 32))
        # Each value within the bound, the document past what the tool reads.
        many = dict(('k%03d' % n, 'x' * 256) for n in range(300))
        self.assertIn('more than the tool reads', self.refused(settings=many))

    def test_text_that_is_not_unicode_is_refused(self):
        # As Ansible hands the module a surrogate escape (a byte that is not UTF-8) or a lone surrogate from JSON.
        for params, path in (({'profiles': {4: {'prfname': 'a\udcffb'}}}, 'profiles.4.prfname'),
                             ({'profiles': {4: {'prfname': 'a\ud800b'}}}, 'profiles.4.prfname'),
                             ({'settings': {'vm': 'a\ud800b'}}, 'settings.vm'),
                             ({'settings': {'vm\udcff': 'text'}}, 'settings.vm\\udcff')):
            with self.subTest(params=params):
                self.assertEqual(self.refused(**params), '%s: holds what is not UTF-8 text' % path)

    def test_a_key_in_the_wrong_place_is_refused(self):
        self.assertEqual(self.refused(profiles={2: {'dprf': 5}}),
                         'profiles.2.dprf: dprf is a global setting; give it under settings')
        for key in ('prfname', 'prfname_bytes'):
            with self.subTest(key=key):
                self.assertEqual(self.refused(settings={key: 'Linux'}),
                                 "settings.%s: %s is a profile's setting; give it under profiles, by the profile's "
                                 "number" % (key, key))
        self.assertEqual(self.refused(profiles={2: {'stored': '41'}}), 'profiles.2.stored: no such setting')
        self.assertIn('settings.prf: profiles are given by number', self.refused(settings={'prf': 2}))
        self.assertIn("profiles.2.prf: the profile's number is its key", self.refused(profiles={2: {'prf': 3}}))

    def test_a_profile_given_twice_in_any_form_is_refused(self):
        self.assertEqual(self.refused(profiles={2: {'btprt': 1}, '2': {'btprt': 2}}),
                         'profiles: profile 2 is given twice')
        self.assertEqual(self.refused(profiles={2: {'btprt': 1}, '02': {'btprt': 2}}),
                         'profiles: profile 2 is given twice, as 2 and 02')
        for number in ('two', '2.0', '-2', '', 'true'):
            with self.subTest(number=number):
                self.assertIn('not a profile number', self.refused(profiles={number: {}}))
        for keys in ('Linux', None):
            with self.subTest(keys=keys):
                self.assertIn('must be a dict', self.refused(profiles={2: keys}))

    def test_a_profile_number_is_one_of_the_tables(self):
        for number in (1, 16, '16'):
            with self.subTest(number=number):
                self.assertEqual(run_module(FakeTool(), profiles={number: {}})[:1], (Exit,))
        for number in (0, 17, '017'):
            with self.subTest(number=number):
                self.assertEqual(self.refused(profiles={number: {}, 2: {'btprt': 1}}),
                                 'profiles.%s: %s is not a whole number from 1 to 16' % (number, number))

    def test_yaml_booleans_are_refused_with_the_word_to_quote(self):
        self.assertIn('cnt: "on"', self.refused(settings={'cnt': True}))
        self.assertIn('usb1: "off"', self.refused(settings={'usb1': False}))
        self.assertIn('btdrv: "on"', self.refused(profiles={1: {'btdrv': True}}))


class ShapeTest(unittest.TestCase):
    def test_what_settings_info_returns_gives_another_image_the_same_and_then_nothing_changes(self):
        golden = FakeTool(names=(b'Linux\0old', b'F\xe9dora\xff', 'Debian 12', 'FreeBSD'))
        golden.document['settings'].update(cntval=3, usb1='2', vm=None)
        golden.document['profiles'][3].update(btdrv='85h', btprt=2, btlog=None)
        outcome, info = run_module(golden, main=settings_info.main)
        self.assertEqual(info['profiles']['2'], {'prfname': None, 'prfname_bytes': '46e9646f7261ff',
                                                 'btdrv': '80h', 'btprt': 1, 'btlog': 1})
        target = FakeTool()
        outcome, result = run_module(target, settings=info['settings'], profiles=info['profiles'])
        self.assertEqual((outcome, result['changed']), (Exit, True), result.get('msg'))
        # A null leaves the target's value as it was.
        profiles = copy.deepcopy(info['profiles'])
        profiles['4']['btlog'] = 1
        self.assertEqual((result['settings'], result['profiles']), (dict(info['settings'], vm='800x600'), profiles))
        outcome, result = run_module(target, settings=info['settings'], profiles=info['profiles'])
        self.assertEqual((outcome, result['changed']), (Exit, False))

    def test_both_modules_document_the_shape_alike(self):
        shared = ('settings', 'profiles', 'stored', 'version', 'format_version')
        returned = [yaml.safe_load(documented.RETURN) for documented in (module, settings_info)]
        self.assertEqual([dict((key, doc[key]) for key in shared) for doc in returned][0],
                         dict((key, returned[1][key]) for key in shared))


class ChangedTest(unittest.TestCase):
    def test_names_that_differ_in_any_byte_are_changed_and_shown_as_the_tools_list_of_changes_shows_them(self):
        cases = [('Win\t11', 'Linux\tMint', '"Win\\u000911"', '"Linux\\u0009Mint"'),
                 ('Win\t11', 'Win\n11', '"Win\\u000911"', '"Win\\u000a11"'),
                 ('Win 11', 'Win\u00a011', '"Win 11"', '"Win\\u00a011"'),
                 ('Win 11', 'Win 11 ', '"Win 11"', '"Win 11 "'),
                 # The same letter composed and decomposed, which print alike.
                 ('Caf\u00e9', 'Cafe\u0301', '"Caf\\u00e9"', '"Cafe\\u0301"'),
                 # Bytes after the name's end, which a name given clears.
                 (b'AB\0CD', 'AB', '"AB" (then 43 44)', '"AB"'),
                 (b'\xffA\x7f"\\', '\U0001f600', '"\\xffA\\u007f\\"\\\\"', '"\\ud83d\\ude00"')]
        for old, new, old_line, new_line in cases:
            for check_mode in (True, False):
                with self.subTest(old=old, new=new, check_mode=check_mode):
                    tool = FakeTool(names=('Windows 11', 'Debian 12', 'Fedora', old))
                    outcome, result = run_module(tool, profiles={4: {'prfname': new}}, _ansible_check_mode=check_mode)
                    self.assertEqual((outcome, result['changed']), (Exit, True))
                    self.assertEqual(len(tool.loads()), 1 if check_mode else 2)
                    self.assertEqual(result['profiles']['4']['prfname'], new)
                    before, after = result['diff']['before'].splitlines(), result['diff']['after'].splitlines()
                    self.assertEqual([line for line in before if line not in after], ['prfname=' + old_line])
                    self.assertEqual([line for line in after if line not in before], ['prfname=' + new_line])

    def test_the_same_bytes_are_no_change_and_no_write(self):
        tool = FakeTool(names=('Windows 11', 'Debian 12', 'Fedora', 'Win\t11'))
        outcome, result = run_module(tool, profiles={4: {'prfname': 'Win\t11'}}, settings={'cntval': '10'})
        self.assertEqual((outcome, result['changed']), (Exit, False))
        self.assertEqual([call['args'][1:-1] for call in tool.calls], [['show=json'], ['write=no', 'load=-', 'show=json']])

    def test_no_settings_or_only_nulls_read_the_image_and_give_the_tool_no_input(self):
        for params in ({'profiles': {3: {}}}, {'settings': {'cntval': None}, 'profiles': {3: {'prfname': None}}}):
            with self.subTest(params=params):
                tool = FakeTool()
                outcome, result = run_module(tool, **params)
                self.assertEqual((outcome, result['changed']), (Exit, False))
                self.assertEqual([call['data'] for call in tool.calls], [None])

    def test_a_write_that_leaves_other_bytes_fails_as_changed(self):
        def twist(document):
            document['profiles'][1]['stored']['name'][15] = 1
        outcome, result = run_module(FakeTool(twist=twist), settings={'cntval': 5})
        self.assertEqual((outcome, result['changed']), (Fail, True))
        self.assertIn('differently from what the dry run said', result['msg'])
        self.assertIn('cntval=5', result['diff']['after'])

    def test_a_failed_write_is_no_change_and_keeps_its_backup(self):
        tool = FakeTool()
        succeeding = tool.run_command

        def run_command(args, **kwargs):
            if args[1:-1] == ['load=-']:
                return 1, b'Error: unable to open /images/vornbm.bin\n', b''
            return succeeding(args, **kwargs)
        tool.run_command = run_command
        with mock.patch.object(basic.AnsibleModule, 'backup_local', return_value='/images/vornbm.bin.1~'):
            outcome, result = run_module(tool, settings={'cntval': 5}, backup=True)
        self.assertEqual((outcome, result['changed']), (Fail, False))
        self.assertEqual(result['msg'], 'Error: unable to open /images/vornbm.bin')
        self.assertEqual(result['backup_file'], '/images/vornbm.bin.1~')


if __name__ == '__main__':
    unittest.main()
