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

from ansible.module_utils import basic
from ansible.module_utils.common.text.converters import to_bytes

from ansible_collections.vornset.bootmanager.plugins.modules import settings as module


class Exit(Exception):
    pass


class Fail(Exception):
    pass


def exit_json(self, **result):
    raise Exit(result)


def fail_json(self, **result):
    raise Fail(result)


def profile(prf, name):
    return {'prf': prf, 'prfname': name, 'prfname_bytes': None, 'btdrv': '80h', 'btprt': 1, 'btlog': 1,
            'stored': {'partition': 33, 'drive': 128, 'name': name_bytes(name)}}


def name_bytes(name):
    stored = list(name.encode('utf-8'))
    return stored + [0] * (16 - len(stored))


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
            changed = document['profiles'][values['prf'] - 1]
            changed.update(values)
            changed['stored'].update((key, value) for key, value in values.items() if key not in ('prf', 'prfname'))
            changed['stored']['name'] = name_bytes(changed['prfname'])
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


def run_module(tool, **params):
    params.setdefault('path', '/images/vornbm.bin')
    params.setdefault('executable', '/usr/bin/vornset')
    params.setdefault('_ansible_diff', True)
    # As Ansible carries them: a dict with 2 and "2" as keys becomes JSON that gives "2" twice.
    with mock.patch.object(basic, '_ANSIBLE_ARGS', to_bytes(json.dumps({'ANSIBLE_MODULE_ARGS': params}))), \
            mock.patch.multiple(basic.AnsibleModule, exit_json=exit_json, fail_json=fail_json,
                                run_command=lambda self, *a, **k: tool.run_command(*a, **k)):
        try:
            module.main()
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


class MessagesTest(unittest.TestCase):
    def test_a_refusal_names_the_playbooks_own_key(self):
        cases = [
            ({'settings': {'cntvl': 5}}, 'settings.cntvl', 'settings.cntvl, no such key; did you mean cntval?',
             'settings.cntvl: no such setting; did you mean cntval?'),
            ({'settings': {'cnt': 'on', 'cntval': 150}}, 'settings.cntval',
             'settings.cntval, only values 1-99 are valid', 'settings.cntval: only values 1-99 are valid'),
            # The tool names a few settings as the boot manager's users know them.
            ({'settings': {'hotkey': 'maybe'}}, 'settings.hotkey', 'settings.hk, only yes and no is valid',
             'settings.hotkey: only yes and no is valid'),
            ({'settings': {'usb1': '3'}}, 'settings.usb1', 'settings.usb1, only off, 1, 2 is valid',
             'settings.usb1: only off, 1, 2 is valid'),
            # The tool's help is on the managed machine; the module's documentation is where the playbook is.
            ({'settings': {'dbt': 'disk'}}, 'settings.dbt', 'settings.dbt, run vornset without parameter to see help',
             'settings.dbt: not one of its values, which ansible-doc vornset.bootmanager.settings lists'),
            ({'profiles': {'2': {'btprt': 1}, '04': {'btdrv': '8ah'}}}, 'profiles.1.btdrv',
             'profiles[1].btdrv, only values 80h-89h are valid', 'profiles.04.btdrv: only values 80h-89h are valid'),
            ({'profiles': {40: {'btprt': 1}}}, 'profiles.0.prf', 'profiles[0].prf, only values 1-16 are valid',
             'profiles.40: only values 1-16 are valid'),
            ({'settings': {'cnt': 'off'}}, 'settings.cnt', 'settings.cnt, hidden mode requires countdown and default boot',
             'settings.cnt: hidden mode requires countdown and default boot'),
        ]
        for params, path, said, message in cases:
            with self.subTest(path=path):
                outcome, result = run_module(FakeTool(refuse=refusing(path, said)), **params)
                self.assertEqual((outcome, result['msg'], result['changed']), (Fail, message, False))
                self.assertTrue(result['tool_message'].endswith(said))

    def test_a_misspelt_key_in_the_other_place_is_suggested_with_where_it_belongs(self):
        cases = [
            ({'profiles': {2: {'cntvl': 5}}}, 'profiles.0.cntvl', 'profiles[0].cntvl, no such key',
             'profiles.2.cntvl: no such setting; did you mean cntval? It is a global setting: give it under settings'),
            ({'settings': {'prfnme': 'Linux'}}, 'settings.prfnme', 'settings.prfnme, no such key',
             "settings.prfnme: no such setting; did you mean prfname? It is a profile's setting: give it under "
             "profiles, by the profile's number"),
            ({'settings': {'xyz': 1}}, 'settings.xyz', 'settings.xyz, no such key', 'settings.xyz: no such setting'),
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
        self.assertEqual(result['settings']['profiles'][3]['prfname'], 'Linux Mint')


class ToolOutputTest(unittest.TestCase):
    def test_output_that_is_not_the_settings_fails_with_the_tools_words(self):
        for out in (b'garbage\n', b'', b'{"x": 1}\n', b'[1, 2]\n', b'{"settings": {}}\n', b'{"settings": 1, "profiles": []}\n'):
            with self.subTest(out=out):
                tool = FakeTool()
                tool.run_command = lambda args, **kwargs: (0, out, b'')
                outcome, result = run_module(tool, settings={'cntval': 5})
                self.assertEqual((outcome, result['changed']), (Fail, False))
                self.assertIn('/usr/bin/vornset show=json printed no settings', result['msg'])


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
        for name in (None, 1.5, ['Linux']):
            with self.subTest(name=name):
                self.assertEqual(self.refused(profiles={4: {'prfname': name}}),
                                 'profiles.4.prfname: a name must be a string')

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
        self.assertEqual(self.refused(settings={'prfname': 'Linux'}),
                         "settings.prfname: prfname is a profile's setting; give it under profiles, by the profile's "
                         "number")
        for part in ('stored', 'prfname_bytes'):
            with self.subTest(part=part):
                self.assertEqual(self.refused(profiles={2: {part: '41'}}), 'profiles.2.%s: no such setting' % part)
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

    def test_an_empty_profile_is_still_a_profile_of_the_image(self):
        names = ['Profile %d' % prf for prf in range(1, 17)]
        for number in (1, 16, '16'):
            with self.subTest(number=number):
                self.assertEqual(run_module(FakeTool(names=names), profiles={number: {}})[:1], (Exit,))
        for number in (0, 17, '017'):
            with self.subTest(number=number):
                tool = FakeTool(names=names)
                outcome, result = run_module(tool, profiles={number: {}, 2: {'btprt': 1}})
                self.assertEqual((outcome, result['msg'], tool.loads()),
                                 (Fail, 'profiles.%s: only values 1-16 are valid' % number, []))

    def test_yaml_booleans_are_refused_with_the_word_to_quote(self):
        self.assertIn('cnt: "on"', self.refused(settings={'cnt': True}))
        self.assertIn('usb1: "off"', self.refused(settings={'usb1': False}))
        self.assertIn('hotkey: "on"', self.refused(profiles={1: {'hotkey': True}}))
        for value in (None, 1.5, ['on'], {'on': 1}):
            with self.subTest(value=value):
                self.assertIn('a string or an integer', self.refused(settings={'cntval': value}))


class ChangedTest(unittest.TestCase):
    def test_names_that_differ_only_in_a_control_character_are_changed(self):
        cases = [('Win\t11', 'Linux\tMint', '"Win\\t11"', '"Linux\\tMint"'),
                 ('Win\t11', 'Win\n11', '"Win\\t11"', '"Win\\n11"'),
                 ('Win 11', 'Win\u00a011', 'Win 11', '"Win\\u00a011"'),
                 ('Win 11', 'Win 11 ', 'Win 11', '"Win 11 "'),
                 # The same letter composed and decomposed, which print alike.
                 ('Caf\u00e9', 'Cafe\u0301', 'Caf\u00e9', '"Cafe\\u0301"')]
        for old, new, old_line, new_line in cases:
            for check_mode in (True, False):
                with self.subTest(old=old, new=new, check_mode=check_mode):
                    tool = FakeTool(names=('Windows 11', 'Debian 12', 'Fedora', old))
                    outcome, result = run_module(tool, profiles={4: {'prfname': new}}, _ansible_check_mode=check_mode)
                    self.assertEqual((outcome, result['changed']), (Exit, True))
                    self.assertEqual(len(tool.loads()), 1 if check_mode else 2)
                    self.assertEqual(result['settings']['profiles'][3]['prfname'], new)
                    before, after = result['diff']['before'].splitlines(), result['diff']['after'].splitlines()
                    self.assertEqual([line for line in before if line not in after], ['prfname=' + old_line])
                    self.assertEqual([line for line in after if line not in before], ['prfname=' + new_line])
        self.assertEqual(module.quoted('a"b\\\x7f\u00e9'), '"a\\"b\\\\\\u007f\u00e9"')

    def test_the_same_bytes_are_no_change_and_no_write(self):
        tool = FakeTool(names=('Windows 11', 'Debian 12', 'Fedora', 'Win\t11'))
        outcome, result = run_module(tool, profiles={4: {'prfname': 'Win\t11'}}, settings={'cntval': '10'})
        self.assertEqual((outcome, result['changed']), (Exit, False))
        self.assertEqual([call['args'][1:-1] for call in tool.calls], [['show=json'], ['write=no', 'load=-', 'show=json']])

    def test_no_settings_read_the_image_and_give_the_tool_no_input(self):
        tool = FakeTool()
        outcome, result = run_module(tool, profiles={3: {}})
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
