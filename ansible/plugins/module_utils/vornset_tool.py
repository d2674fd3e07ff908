# -*- coding: utf-8 -*-
# Copyright (c) 2026 the vornset developers
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
#
# Running the vornset tool on the managed machine, for the collection's modules.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json


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

    def run(self, options, data=None, explain=None):
        """The tool's standard output, as bytes. A failed run fails the task with the tool's message, or with what
        explain makes of it, the tool's own then given as tool_message."""
        args = [self.executable] + options + [self.path]
        extra = {} if data is None else dict(data=data, binary_data=True)
        # The path is already expanded once, as type path is; a second expansion would change a literal $ or ~.
        rc, out, err = self.module.run_command(args, encoding=None, expand_user_and_vars=False, **extra)
        message = '\n'.join(text for text in (as_text(out).strip(), as_text(err).strip()) if text)
        if rc != 0:
            explained = explain(message) if explain else None
            if explained:
                self.fail(explained, rc=rc, cmd=args, tool_message=message)
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
        if not (isinstance(document, dict) and isinstance(document.get('settings'), dict)
                and isinstance(document.get('profiles'), list)):
            self.fail('%s show=json printed no settings: %s' % (self.executable, as_text(out).strip()))
        return document
