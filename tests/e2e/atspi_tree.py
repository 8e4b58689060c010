#!/usr/bin/python3
"""Prints, as JSON, what a screen reader finds in the running program: each object of its
windows with its role, name, description, states and text. Usage: atspi_tree.py APP-NAME"""
import json
import sys

import gi

gi.require_version('Atspi', '2.0')
from gi.repository import Atspi  # noqa: E402

STATES = ('focusable', 'focused', 'checked', 'pressed', 'showing', 'active')


def describe(obj):
    states = obj.get_state_set()
    item = {
        'role': obj.get_role_name(),
        'name': obj.get_name(),
        'description': obj.get_description(),
        'states': [s for s in STATES if states.contains(getattr(Atspi.StateType, s.upper()))],
    }
    text = obj.get_text_iface()
    if text is not None:
        item['text'] = Atspi.Text.get_text(text, 0, Atspi.Text.get_character_count(text))
    return item


def walk(obj, out, depth=0):
    if obj is None or depth > 30:
        return
    try:
        out.append(describe(obj))
        for i in range(obj.get_child_count()):
            walk(obj.get_child_at_index(i), out, depth + 1)
    except gi.repository.GLib.Error:
        pass  # an object gone while it was read: a menu closing


def main():
    desktop = Atspi.get_desktop(0)
    out = []
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == sys.argv[1]:
            walk(app, out)
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == '__main__':
    main()
