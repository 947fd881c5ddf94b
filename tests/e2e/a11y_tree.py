#!/usr/bin/python3
"""What a screen reader sees of the program, through the AT-SPI registry.

    a11y_tree.py TITLE [SECONDS]

Waits (at most SECONDS) for the application whose frame is named TITLE and
prints one line per showing object below the frame: its role, a tab, its
name and, where it is labelled by another object, a tab and that label's
name. Exits 1 when no such frame appears.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def frame_named(title):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None:
            continue
        for j in range(app.get_child_count()):
            child = app.get_child_at_index(j)
            if child is not None and child.get_name() == title:
                return child
    return None


def walk(obj, out):
    for i in range(obj.get_child_count()):
        child = obj.get_child_at_index(i)
        if child is None:
            continue
        if child.get_state_set().contains(Atspi.StateType.SHOWING):
            label = ""
            for relation in child.get_relation_set() or []:
                if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
                    target = relation.get_target(0)
                    label = "\t" + (target.get_name() if target else "")
            out.append((child.get_role_name(), (child.get_name() or "") + label))
            walk(child, out)


def main():
    title = sys.argv[1]
    deadline = time.monotonic() + float(sys.argv[2] if len(sys.argv) > 2 else 10)
    frame = frame_named(title)
    while frame is None and time.monotonic() < deadline:
        time.sleep(0.2)
        frame = frame_named(title)
    if frame is None:
        print("no frame named %r" % title, file=sys.stderr)
        return 1
    print("%s\t%s" % (frame.get_role_name(), frame.get_name()))
    rows = []
    walk(frame, rows)
    for role, name in rows:
        print("%s\t%s" % (role, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
