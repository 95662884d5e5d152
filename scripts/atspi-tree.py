#!/usr/bin/python3
"""Print the accessibility tree of a running program as an AT-SPI client sees it.

Usage: atspi-tree.py [application-name-substring] [--unnamed | --lists [--change]]

One line per object: indentation, role, name in quotes, and [disabled] / [hidden] /
[read-only] where they apply. With --unnamed only shown, enabled controls without a name are
listed (the exit status is then 1 when there are any).

With --lists every page tab is pressed in turn and every list (combo box) of the page and of
the other shown windows is heard as a screen reader hears it: its labels (labelled-by
relation) and its entry (its name, which must be one of its rows and the selected one). With
--change each enabled list (but the link kind and port lists) also gets the focus and the
Down key, must announce its new entry (a name change event) and is put back with Up; the
application's own reaction to the change happens too, so use it against the simulator, and a
message box it brings up is a failure. One line per list; the exit status is 1 when any list
is not heard in full.

Needs python3-pyatspi and a session bus with the AT-SPI registry; start the program with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1. --change also needs an X server with XTEST (Xvfb has it).
"""
import sys
import time

import pyatspi
from gi.repository import GLib

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


# ---- --lists: labels and entries of the lists -------------------------------------------

XK_UP, XK_DOWN = 0xff52, 0xff54
# Lists --change leaves alone, by their first label: choosing another link kind or port
# reopens the link, which is not a change of entry to hear but of the camera connection.
KEEP = {"Category", "Port Name"}


def pump(seconds):
    """Lets events come in for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.01)


def shown(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def find_shown(node, role, found):
    """Objects of a role below node, looking only inside shown objects and not inside lists and
    combo boxes: a hidden list on the shown page is found too (it is heard once shown)."""
    try:
        here = node.getRole()
    except Exception:
        return found
    if here == role:
        found.append(node)
    if here in LEAF_CONTAINERS or (here != pyatspi.ROLE_APPLICATION and not shown(node)):
        return found
    for i in range(node.childCount):
        find_shown(node.getChildAtIndex(i), role, found)
    return found


def labels_of(node):
    labels = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                labels.append(relation.getTarget(i).name or "")
    return labels


def rows_of(combo):
    """(entries, selected entries) of the popup list below a combo box."""
    entries, selected = [], []
    for i in range(combo.childCount):
        child = combo.getChildAtIndex(i)
        if child is None or child.getRole() != pyatspi.ROLE_LIST:
            continue
        for j in range(child.childCount):
            row = child.getChildAtIndex(j)
            entries.append(row.name or "")
            if row.getState().contains(pyatspi.STATE_SELECTED):
                selected.append(row.name or "")
    return entries, selected


class NameChanges:
    """Name change events of one object, as a screen reader receives them."""

    def __init__(self):
        self.names = []
        self.watched = None
        # Qt sends the name change of a list only to a client that also listens for value
        # changes, as screen readers do.
        pyatspi.Registry.registerEventListener(self.heard, "object:property-change:accessible-name",
                                               "object:value-changed")
        pump(0.5)  # the application hears of the new listener on the bus

    def heard(self, event):
        if (event.type.startswith("object:property-change:accessible-name") and self.watched is not None
                and event.source.path == self.watched.path):
            self.names.append(event.any_data)

    def watch(self, node):
        self.watched = node
        self.names = []

    def wait_for(self, wanted, seconds=3.0):
        end = time.monotonic() + seconds
        while time.monotonic() < end and wanted not in self.names:
            pump(0.05)
        return wanted in self.names


def press_key(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


def close_boxes(app):
    """Presses the first button of every message box that comes up until none does; returns
    what the boxes said."""
    boxes = []
    quiet_since = time.monotonic()
    while time.monotonic() - quiet_since < 1.0 and len(boxes) < 20:
        pump(0.2)
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is None or window.getRole() != pyatspi.ROLE_ALERT or not shown(window):
                continue
            texts = [label.name for label in find_shown(window, pyatspi.ROLE_LABEL, []) if label.name]
            boxes.append(": ".join([window.name or "?"] + texts))
            buttons = find_shown(window, pyatspi.ROLE_PUSH_BUTTON, [])
            if buttons:
                buttons[0].queryAction().doAction(0)
            quiet_since = time.monotonic()
    return boxes


def hear_change(combo, entries, changes, app):
    """Down moves to the next entry and announces it; Up goes back. '' when all is well."""
    name = combo.name or ""
    if name not in entries or entries.index(name) + 1 >= len(entries):
        return ""  # the last entry, or nothing chosen: Down would not change it
    wanted = entries[entries.index(name) + 1]
    problems = []
    for keysym, entry in ((XK_DOWN, wanted), (XK_UP, name)):
        if keysym == XK_UP and combo.name == name:
            break  # a one-shot entry that went back by itself
        states = combo.getState()
        if not (states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_ENABLED)):
            return "; ".join(problems)  # an earlier change hid or disabled it: nothing to hear
        combo.queryComponent().grabFocus()
        pump(0.2)
        if not combo.getState().contains(pyatspi.STATE_FOCUSED):
            problems.append("could not take the focus")
            break
        changes.watch(combo)
        press_key(keysym)
        if not changes.wait_for(entry):
            problems.append("%s did not announce %r (heard %r)" % ("Down" if keysym == XK_DOWN else "Up",
                                                                   entry, changes.names))
        elif combo.name != entry:
            problems.append("announced %r but named %r" % (entry, combo.name))
        # Meanwhile the application sends the entry to the camera; a box is a failure.
        boxes = close_boxes(app)
        if boxes:
            problems.append("the change brought up %r" % boxes)
            pump(3.0)  # let the application finish what the boxes interrupted
    changes.watch(None)
    return "; ".join(problems)


def check_lists(app, change):
    changes = NameChanges() if change else None
    tabs = find_shown(app, pyatspi.ROLE_PAGE_TAB, [])
    seen, failures = set(), 0
    for tab in tabs or [None]:
        if tab is not None:
            tab.queryAction().doAction(0)
            pump(0.3)
        for combo in find_shown(app, pyatspi.ROLE_COMBO_BOX, []):
            key = combo.path
            if key in seen:
                continue
            seen.add(key)
            labels = [label for label in labels_of(combo) if label]
            entries, selected = rows_of(combo)
            name = combo.name or ""
            editable = combo.getState().contains(pyatspi.STATE_EDITABLE)
            problems = []
            if not labels:
                problems.append("no label")
            if not name:
                problems.append("no entry")
            elif not editable and name not in entries:
                problems.append("its name is not one of its entries")
            elif not editable and selected != [name]:
                problems.append("selected rows %r" % selected)
            enabled = combo.getState().contains(pyatspi.STATE_ENABLED)
            if change and enabled and not problems and not editable and labels[0] not in KEEP:
                problem = hear_change(combo, entries, changes, app)
                if problem:
                    problems.append(problem)
            where = tab.name if tab is not None else ""
            print("%s: %s = %r%s%s" % (where, " / ".join(labels) or "?", name,
                                        "" if enabled else " [disabled]",
                                        "" if not problems else "  <-- " + "; ".join(problems)))
            failures += 1 if problems else 0
    print("%d lists, %d not heard in full" % (len(seen), failures))
    return 1 if failures or not seen else 0


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
        if "--lists" in sys.argv:
            return check_lists(app, "--change" in sys.argv)
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
