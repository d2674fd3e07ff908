# -*- coding: utf-8 -*-
# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
#
# Running the vornset tool on the managed machine, for the collection's modules, and
# the shape both return its settings in.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json

# A profile's members in show=json that the settings module does not take: the number,
# which is the profile's key, and the stored bytes, which are returned apart.
NUMBER_KEY = 'prf'
STORED_KEY = 'stored'


def from_marker(output, marker):
    """The output from the first line that starts with marker, or None."""
    if output.startswith(marker):
        return output
    at = output.find(b'\n' + marker)
    return None if at < 0 else output[at + 1:]


def as_text(output):
    return output.decode('utf-8', 'replace')


def is_settings(document):
    if not isinstance(document, dict):
        return False
    profiles = document.get('profiles')
    return (isinstance(document.get('settings'), dict) and isinstance(profiles, list)
            and all(isinstance(profile, dict) and isinstance(profile.get(NUMBER_KEY), int) for profile in profiles))


def shaped(document):
    """The settings of a show=json document as both modules return them: settings and profiles as the settings
    module takes them, the profiles keyed by number, and the bytes the image stores apart."""
    profiles = {}
    stored = {}
    for profile in document['profiles']:
        number = str(profile[NUMBER_KEY])
        profiles[number] = dict((key, value) for key, value in profile.items() if key not in (NUMBER_KEY, STORED_KEY))
        stored[number] = profile.get(STORED_KEY)
    return dict(settings=document['settings'], profiles=profiles,
                stored=dict(settings=document.get(STORED_KEY), profiles=stored),
                version=document.get('version'), format_version=document.get('format_version'))


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

    def run(self, options, data=None, explain=None):
        """The tool's standard output, as bytes. A failed run fails the task with the tool's message, or with what
        explain makes of it: the message and the tool's own with the playbook's place, as tool_message."""
        args = [self.executable] + options + [self.path]
        extra = {} if data is None else dict(data=data, binary_data=True)
        # The path is already expanded once, as type path is; a second expansion would change a literal $ or ~.
        rc, out, err = self.module.run_command(args, encoding=None, expand_user_and_vars=False, **extra)
        message = '\n'.join(text for text in (as_text(out).strip(), as_text(err).strip()) if text)
        if rc != 0:
            explained = explain(message) if explain else None
            if explained:
                self.fail(explained[0], rc=rc, cmd=args, tool_message=explained[1])
            self.fail(message or '%s exited with status %d' % (self.executable, rc), rc=rc, cmd=args)
        if err.strip() and as_text(err).strip() not in self.warnings:
            self.warnings.append(as_text(err).strip())
            self.module.warn(as_text(err).strip())
        return out

    def json(self, options, data=None, explain=None):
        out = self.run(options + ['show=json'], data, explain)
        try:
            document = json.loads(as_text(from_marker(out, b'{') or b''))
        except ValueError:
            document = None
        if not is_settings(document):
            self.fail('%s show=json printed no settings: %s' % (self.executable, as_text(out).strip()))
        return document
