#!/usr/bin/python3
"""Reads the running window as a screen reader does (AT-SPI) and checks that every control of
the design that takes the keyboard is there under the name the design gives it.

    screen-reader-names.py DESIGN_TABLE   (lines of "kind<TAB>name")
"""
import sys
import time

import pyatspi

ROLES = {
    "text": {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY},
    "combo box": {pyatspi.ROLE_COMBO_BOX},
    "radio group": {pyatspi.ROLE_GROUPING, pyatspi.ROLE_PANEL, pyatspi.ROLE_FILLER},
    "push button": {pyatspi.ROLE_PUSH_BUTTON},
}


def window(deadline):
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for frame in app:
                if frame is not None and frame.name.startswith("VOXA-KRONAX Configuration"):
                    return frame
        time.sleep(0.2)
    sys.exit("screen-reader-names: the window never appeared on the accessibility bus")


def labels(node):
    """The names a screen reader reads a node by: its own, and its labels'."""
    names = {node.name}
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names.update(relation.getTarget(i).name for i in range(relation.getNTargets()))
    return names


def named(node, found):
    try:
        found.update((node.getRole(), name) for name in labels(node))
        for child in node:
            if child is not None:
                named(child, found)
    except Exception:  # a node that went away while it was read
        pass


def main():
    expected = [line.rstrip("\n").split("\t") for line in open(sys.argv[1]) if line.strip()]
    found = set()
    named(window(time.monotonic() + 60), found)
    missing = [f"{kind} {name!r}" for kind, name in expected
               if not any((role, name) in found for role in ROLES[kind])]
    for item in missing:
        print(f"screen-reader-names: no {item} on the accessibility bus")
    print(f"screen-reader-names: {len(expected) - len(missing)} of {len(expected)} controls named")
    sys.exit(1 if missing else 0)


main()
