# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
#
# What the info module asks the tool, and what it makes of the answers a playbook
# run against the real tool does not give: output that is not the document.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import unittest
from unittest import mock

from ansible.module_utils import basic
from ansible.module_utils.common.text.converters import to_bytes

from ansible_collections.vornset.bootmanager.plugins.modules import settings_info as module

DOCUMENT = {'format_version': 2, 'version': 7, 'settings': {'stm': 'hidden', 'cntval': 10},
            'stored': {'stm': 1, 'cntval': 10},
            'profiles': [{'prf': 1, 'prfname': 'Windows 11', 'stored': {'drive': 128}}, {'prf': 2, 'prfname': None}]}


class Exit(Exception):
    pass


class Fail(Exception):
    pass


def exit_json(self, **result):
    raise Exit(result)


def fail_json(self, **result):
    raise Fail(result)


def run_module(answer, **params):
    """The module's outcome, its result and the tool's calls, where every call gets answer: (rc, out, err)."""
    params.setdefault('path', '/images/a b$')
    params.setdefault('executable', '/usr/bin/vornset')
    calls = []
    warnings = []

    def run_command(self, args, **kwargs):
        calls.append(dict(args=args, **kwargs))
        return answer

    with mock.patch.object(basic, '_ANSIBLE_ARGS', to_bytes(json.dumps({'ANSIBLE_MODULE_ARGS': params}))), \
            mock.patch.multiple(basic.AnsibleModule, exit_json=exit_json, fail_json=fail_json, run_command=run_command,
                                warn=lambda self, warning: warnings.append(warning)):
        try:
            module.main()
        except (Exit, Fail) as outcome:
            return type(outcome), outcome.args[0], calls, warnings
    raise AssertionError('the module neither exited nor failed')


class SettingsInfoTest(unittest.TestCase):
    def test_one_read_returns_the_document_unchanged_in_check_mode_too(self):
        for check_mode in (False, True):
            with self.subTest(check_mode=check_mode):
                outcome, result, calls, warnings = run_module((0, to_bytes(json.dumps(DOCUMENT)), b''),
                                                              _ansible_check_mode=check_mode)
                self.assertIs(outcome, Exit)
                # The profiles by number, as the settings module takes them, and their bytes apart.
                self.assertEqual(result, dict(changed=False, settings=DOCUMENT['settings'],
                                              profiles={'1': {'prfname': 'Windows 11'}, '2': {'prfname': None}},
                                              stored={'settings': DOCUMENT['stored'],
                                                      'profiles': {'1': {'drive': 128}, '2': None}},
                                              version=7, format_version=2))
                self.assertEqual([(call['args'], call['expand_user_and_vars'], call.get('data')) for call in calls],
                                 [(['/usr/bin/vornset', 'show=json', '/images/a b$'], False, None)])
                self.assertEqual(warnings, [])

    def test_a_line_on_standard_error_is_a_warning(self):
        outcome, result, calls, warnings = run_module((0, to_bytes(json.dumps(DOCUMENT)), b'vornset: a note\n'))
        self.assertEqual((outcome, warnings), (Exit, ['vornset: a note']))

    def test_what_is_not_the_document_fails_with_the_tool_s_words(self):
        cases = [
            ((1, b'Error: unable to open /images/a b$\n', b''), 'Error: unable to open /images/a b$'),
            ((1, b'', b'vornset: locked\n'), 'vornset: locked'),
            ((3, b'', b''), '/usr/bin/vornset exited with status 3'),
            ((0, b'not json', b''), '/usr/bin/vornset show=json printed no settings: not json'),
            ((0, b'[1, 2]', b''), 'printed no settings'),
            ((0, to_bytes(json.dumps({'settings': {}})), b''), 'printed no settings'),
            ((0, b'{"settings": "\xff"}', b''), 'printed no settings'),
        ]
        for answer, message in cases:
            with self.subTest(answer=answer):
                outcome, result, calls, warnings = run_module(answer)
                self.assertIs(outcome, Fail)
                self.assertIn(message, result['msg'])
                self.assertNotIn('settings', result)


if __name__ == '__main__':
    unittest.main()
