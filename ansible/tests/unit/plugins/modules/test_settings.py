# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
#
# What a playbook run against the real tool cannot show: the settings file that the
# module hands the tool, and a write that does not leave what the dry run said.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import unittest
from unittest import mock

from ansible.module_utils import basic
from ansible.module_utils.common.text.converters import to_bytes

from ansible_collections.vornset.bootmanager.plugins.modules import settings as module

HEADER = b'# vornset settings, configuration version 7\n'


class Exit(Exception):
    pass


class Fail(Exception):
    pass


def exit_json(self, **result):
    raise Exit(result)


def fail_json(self, **result):
    raise Fail(result)


class FakeTool(object):
    """A vornset whose settings are the lines it was last given; written_twist spoils what a write leaves."""

    def __init__(self, body=b'cntval=10\n', written_twist=b''):
        self.body = body
        self.written_twist = written_twist
        self.calls = []

    def run_command(self, args, data=None, binary_data=False, **kwargs):
        self.calls.append(dict(args=args, data=data, binary_data=binary_data, **kwargs))
        options = args[1:-1]
        body = data if 'load=-' in options else self.body
        if options == ['load=-']:
            self.body = data + self.written_twist
            return 0, b'data changed\n', b''
        shown = (b'{"settings": {"lines": %s}}\n' % json.dumps(body.decode()).encode()
                 if 'show=json' in options else HEADER + body)
        if 'write=no' in options:
            shown = b'ffffnothing written (write=no)\n\n' + shown
        return 0, shown, b''


def run_module(tool, **params):
    params.setdefault('path', '/images/vornbm.bin')
    params.setdefault('executable', '/usr/bin/vornset')
    params.update(_ansible_diff=True)
    with mock.patch.object(basic, '_ANSIBLE_ARGS', to_bytes(json.dumps({'ANSIBLE_MODULE_ARGS': params}))), \
            mock.patch.multiple(basic.AnsibleModule, exit_json=exit_json, fail_json=fail_json,
                                run_command=lambda self, *a, **k: tool.run_command(*a, **k)):
        try:
            module.main()
        except (Exit, Fail) as outcome:
            return type(outcome), outcome.args[0]
    raise AssertionError('the module neither exited nor failed')


class SettingsTextTest(unittest.TestCase):
    def refused(self, settings=None, profiles=None):
        with self.assertRaises(module.FormatError) as caught:
            module.settings_text(settings or {}, profiles or {})
        return str(caught.exception)

    def test_the_text_holds_globals_then_profiles_in_numeric_order(self):
        text = module.settings_text({'cntval': 5, 'dbt': 'profile'},
                                    {'10': {'btprt': 3}, 2: {'prfname': ' Linux Mint ', 'btdrv': '85h'}})
        self.assertEqual(text, 'cntval=5\ndbt=profile\nprf=2\nprfname= Linux Mint \nbtdrv=85h\nprf=10\nbtprt=3\n')

    def test_nothing_that_would_add_a_line_passes(self):
        for value in ('a\nvm=text', 'a\rb', 'a\0b', 'end\n'):
            with self.subTest(value=value):
                self.assertIn('line break or a NUL', self.refused({'vm': value}))
                self.assertIn('profiles.3.prfname', self.refused(profiles={3: {'prfname': value}}))
        for key in ('vm=text', 'cnt val', 'cntval\n', '', '#vm', 'prf'):
            with self.subTest(key=key):
                self.assertIn('settings.%s' % key, self.refused({key: '1'}))
        for value in (None, 1.5, ['on'], {'on': 1}):
            with self.subTest(value=value):
                self.assertIn('a string or an integer', self.refused({'cntval': value}))

    def test_yaml_booleans_are_refused_with_the_word_to_quote(self):
        self.assertIn('cnt: "on"', self.refused({'cnt': True}))
        self.assertIn('usb1: "off"', self.refused({'usb1': False}))
        self.assertIn('hotkey: "on"', self.refused(profiles={1: {'hotkey': True}}))

    def test_profile_numbers_are_integers_given_once(self):
        for number in ('two', '2.0', '-2', '', True, None):
            with self.subTest(number=number):
                self.assertIn('not a profile number', self.refused(profiles={number: {}}))
        self.assertIn('profile 2 is given twice', self.refused(profiles={2: {}, '02': {}}))
        self.assertIn('must be a dict', self.refused(profiles={2: 'Linux'}))


class ModuleTest(unittest.TestCase):
    def test_the_tool_is_given_exactly_the_settings_file(self):
        tool = FakeTool()
        outcome, result = run_module(tool, path='/images/a b$', settings={'cntval': 5})
        self.assertIs(outcome, Exit)
        self.assertTrue(result['changed'])
        for call in tool.calls:
            self.assertEqual(call['args'][-1], '/images/a b$')
            self.assertFalse(call['expand_user_and_vars'])
            if call['data'] is not None:
                self.assertEqual((call['data'], call['binary_data']), (b'cntval=5\n', True))
        self.assertEqual(result['diff']['after'], (HEADER + b'cntval=5\n').decode())
        self.assertEqual(result['settings'], {'settings': {'lines': 'cntval=5\n'}})

    def test_no_settings_read_the_image_and_give_the_tool_no_input(self):
        tool = FakeTool()
        outcome, result = run_module(tool)
        self.assertEqual((outcome, result['changed']), (Exit, False))
        self.assertEqual([call['data'] for call in tool.calls], [None, None])

    def test_a_write_that_leaves_other_settings_fails_as_changed(self):
        outcome, result = run_module(FakeTool(written_twist=b'dprf=3\n'), settings={'cntval': 5})
        self.assertIs(outcome, Fail)
        self.assertTrue(result['changed'])
        self.assertIn('differently from what the dry run said', result['msg'])
        self.assertIn('dprf=3', result['diff']['after'])

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

    def test_a_refusal_fails_with_both_streams_and_writes_nothing(self):
        tool = FakeTool()
        succeeding = tool.run_command

        def run_command(args, **kwargs):
            if 'write=no' in args:
                tool.calls.append(dict(args=args))
                return 1, b'Parameter error: cntval, only values 1-99 are valid\n', b'vornset: 150 is too large\n'
            return succeeding(args, **kwargs)
        tool.run_command = run_command
        outcome, result = run_module(tool, settings={'cntval': 150})
        self.assertEqual((outcome, result['changed']), (Fail, False))
        self.assertEqual(result['msg'], 'Parameter error: cntval, only values 1-99 are valid\nvornset: 150 is too large')
        self.assertEqual(len(tool.calls), 2)


if __name__ == '__main__':
    unittest.main()
