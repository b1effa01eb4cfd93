#!/usr/bin/env python3
"""Kivaro through the accessibility bus, as a screen reader (Orca) reads and works it: every control
found by role, name and action, a search typed into the box and pressed by the search button's
action until the title link names the song found, then the exit button pressed."""

import sys
import time

import pyatspi
from gi.repository import GLib

# Role, name (None: any) and the actions each control a user acts on offers.
CONTROLS = [("push button", "Search", ["Press"]), ("push button", "Recent searches", ["Press", "ShowMenu"]),
            ("push button", "Menu", ["Press", "ShowMenu"]), ("push button", "Minimise", ["Press"]),
            ("push button", "Exit", ["Press"]), ("link", None, ["Press"]), ("text", "Artist or song", ["SetFocus"])]


def fail(message):
    sys.exit(f"atspi-kivaro: {message}")


def wait_for(what, probe, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            if found := probe():
                return found
        except GLib.GError:  # an object that went away while being read
            pass
        time.sleep(0.2)
    fail(f"{what}: not within {seconds} s")


def actions(accessible):
    try:
        action = accessible.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def walk(accessible, depth=0):
    yield accessible, depth
    for child in accessible:
        yield from walk(child, depth + 1) if child is not None else ()


def find(window, role, name=None):
    return next((a for a, _ in walk(window) if a.getRoleName() == role and name in (None, a.name)), None)


def press(accessible, ends_the_program=False):
    try:
        accessible.queryAction().doAction(actions(accessible).index("Press"))
    except GLib.GError:
        if not ends_the_program:  # a program that ends at once may not answer first
            raise


def main_window():
    for app in pyatspi.Registry.getDesktop(0):
        for child in app if app is not None and app.name == "kivaro" else ():
            if child.getRoleName() == "frame" and child.getState().contains(pyatspi.STATE_SHOWING):
                return child
    return None


window = wait_for("Kivaro's window on the accessibility bus", main_window, 30)  # after the splash
for accessible, depth in walk(window):
    print(f"{'  ' * depth}[{accessible.getRoleName()}] {accessible.name!r} {actions(accessible)}")
for role, name, wanted in CONTROLS:
    control = find(window, role, name)
    if control is None or not set(wanted) <= set(actions(control)):
        fail(f"no {role} {name!r} offering {wanted}")

link = find(window, "link")
wait_for("the first search's title", lambda: link.name == "Red Band - Blue Song", 20)
find(window, "text", "Artist or song").queryEditableText().setTextContents("Nova Ellis")
press(find(window, "push button", "Search"))
wait_for("the title of the search pressed", lambda: link.name == "Nova Ellis - Midnight Tram", 20)
print(f"Search pressed: the link reads {link.name!r}")
press(find(window, "push button", "Exit"), ends_the_program=True)
