#!/usr/bin/python3
"""Print the accessibility tree of a running program as an AT-SPI client sees it.

Usage: atspi-tree.py [application-name-substring] [--unnamed]

One line per object: indentation, role, name in quotes, and [disabled] / [hidden] /
[read-only] where they apply. With --unnamed only shown, enabled controls without a name are
listed (the exit status is then 1 when there are any). Needs python3-pyatspi and a session
bus with the AT-SPI registry; start the program with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1.
"""
import sys

import pyatspi

# Roles an operator works or reads a value from: each needs a name of its own.
NEEDS_NAME = {
    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_LIST, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_PROGRESS_BAR, pyatspi.ROLE_PAGE_TAB,
    pyatspi.ROLE_PAGE_TAB_LIST, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_PANEL,
}
# Rows of a log and entries of a drop-down: many, and named by their text anyway.
LEAF_CONTAINERS = {pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TABLE}


def flags(states):
    out = []
    if not states.contains(pyatspi.STATE_ENABLED):
        out.append("disabled")
    if not states.contains(pyatspi.STATE_SHOWING):
        out.append("hidden")
    if states.contains(pyatspi.STATE_READ_ONLY):
        out.append("read-only")
    return out


def walk(node, depth, unnamed_only, unnamed, path):
    try:
        role = node.getRole()
        name = node.name or ""
        states = node.getState()
    except Exception:  # an object that went away while we walked
        return
    marks = flags(states)
    here = path + [name or "?"]
    shown = "hidden" not in marks
    if unnamed_only:
        if shown and "disabled" not in marks and role in NEEDS_NAME and not name:
            # Panels are only reported when they are group boxes (they have a label).
            if role != pyatspi.ROLE_PANEL:
                unnamed.append("/".join(here) + " (" + node.getRoleName() + ")")
    else:
        print("  " * depth + node.getRoleName() + ' "' + name + '"' +
              ("" if not marks else " [" + ", ".join(marks) + "]"))
    if role in LEAF_CONTAINERS or not shown:
        return
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1, unnamed_only, unnamed, here)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    unnamed_only = "--unnamed" in sys.argv
    wanted = args[0] if args else ""
    desktop = pyatspi.Registry.getDesktop(0)
    unnamed = []
    found = False
    for app in desktop:
        if app is None or wanted not in (app.name or ""):
            continue
        found = True
        walk(app, 0, unnamed_only, unnamed, [])
    if not found:
        print("no application matching %r on the bus" % wanted, file=sys.stderr)
        return 2
    if unnamed_only:
        print("\n".join(unnamed) if unnamed else "every shown, enabled control has a name")
        return 1 if unnamed else 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
