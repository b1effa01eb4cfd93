#!/usr/bin/env python3
"""Kivaro through the desktop's accessibility bus, as a screen reader (Orca) reads and works it.

Run by atspi-kivaro.sh once Kivaro starts: finds Kivaro's window, prints its tree, checks that every
control a user acts on has its role, name and action, types a search into the search box, presses
the search button by its action and waits for the title link to name the song found, then presses
the exit button. Exits non-zero, saying why, at the first thing missing.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW_SECONDS = 30  # the splash shows for six seconds first
SEARCH_SECONDS = 20
SEARCH = "Nova Ellis"
FOUND = "Nova Ellis - Midnight Tram"
FIRST_TITLE = "Red Band - Blue Song"  # the search Kivaro starts with

# Role, name and the actions each must offer.
CONTROLS = [
    ("push button", "Search", ["Press"]),
    ("push button", "Recent searches", ["Press", "ShowMenu"]),
    ("push button", "Menu", ["Press", "ShowMenu"]),
    ("push button", "Minimise", ["Press"]),
    ("push button", "Exit", ["Press"]),
    ("link", None, ["Press"]),
    ("text", "Artist or song", ["SetFocus"]),
]
ACTED_ON = {"push button", "link", "check box", "text"}


def fail(message):
    print(f"atspi-kivaro: {message}", file=sys.stderr)
    sys.exit(1)


def wait_for(what, probe, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = probe()
        except Exception:  # an object that went away while being read
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail(f"{what}: not within {seconds} s")


def actions(accessible):
    try:
        action = accessible.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def press(accessible, name="Press", ends_the_program=False):
    action = accessible.queryAction()
    for i in range(action.nActions):
        if action.getName(i) != name:
            continue
        try:
            if not action.doAction(i):
                fail(f"{accessible.name!r} refused {name}")
        except GLib.GError:
            # A program that ends at once may be gone before its answer reaches the bus.
            if not ends_the_program:
                raise
        return
    fail(f"{accessible.name!r} has no {name} action")


def walk(accessible, depth=0):
    yield accessible, depth
    for child in accessible:
        if child is not None:
            yield from walk(child, depth + 1)


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def main_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "kivaro":
            continue
        for child in app:
            if child is not None and child.getRoleName() == "frame" and child.name == "Kivaro" and showing(child):
                return child
    return None


def find(window, role, name=None):
    for accessible, _ in walk(window):
        if accessible.getRoleName() == role and (name is None or accessible.name == name):
            return accessible
    return None


def main():
    window = wait_for("Kivaro's window on the accessibility bus", main_window, WINDOW_SECONDS)

    print("Kivaro as AT-SPI shows it:")
    for accessible, depth in walk(window):
        print(f"{'  ' * depth}[{accessible.getRoleName()}] {accessible.name!r} {actions(accessible)}")

    for role, name, wanted in CONTROLS:
        control = find(window, role, name)
        if control is None:
            fail(f"no {role} {name!r}")
        missing = [action for action in wanted if action not in actions(control)]
        if missing:
            fail(f"{role} {control.name!r} lacks {missing}")
    for accessible, _ in walk(window):
        if accessible.getRoleName() in ACTED_ON and showing(accessible) and not accessible.name:
            fail(f"a {accessible.getRoleName()} without a name")

    link = find(window, "link")
    wait_for(f"the title link named {FIRST_TITLE!r}", lambda: link.name == FIRST_TITLE, SEARCH_SECONDS)

    # Type a search, as a screen reader user does, and press the search button by its action.
    box = find(window, "text", "Artist or song")
    box.queryEditableText().setTextContents(SEARCH)
    wait_for("the search typed", lambda: box.queryText().getText(0, -1) == SEARCH, 5)
    press(find(window, "push button", "Search"))
    wait_for(f"the title link named {FOUND!r}", lambda: link.name == FOUND, SEARCH_SECONDS)
    print(f"pressed Search for {SEARCH!r}: the link reads {link.name!r}")

    press(find(window, "push button", "Exit"), ends_the_program=True)
    print("pressed Exit")


if __name__ == "__main__":
    main()
