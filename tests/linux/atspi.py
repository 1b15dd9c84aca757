#!/usr/bin/python3
# Reads and drives the program's menus and dialogs the way a screen reader does, over AT-SPI.
#   menu [--press ITEM] CMD...   run CMD (a click), wait for its menu, print its items or press ITEM
#   window|gone CAPTION          wait until a window with this caption shows / is gone
#   press CAPTION BUTTON         press a button of that window
#   set CAPTION CONTROL=VALUE... a check or radio box by name to 0 or 1, edit text#N to a text
#   listen FILE                  stay registered for menus showing; "ready" in FILE
# A wait fails (status 1) after HVX_WAIT seconds, 10 unless told.
import os, subprocess, sys, time
import pyatspi as R
from gi.repository import GLib

DEADLINE = time.monotonic() + float(os.environ.get("HVX_WAIT", "10"))


def walk(node, depth=0):
    if node is not None and depth < 12:
        yield node
        for i in range(node.childCount):
            yield from walk(node.getChildAtIndex(i), depth + 1)


def wait(find):
    while time.monotonic() < DEADLINE or sys.exit(1):
        try:  # objects vanish while we look
            if (found := find()) is not None:
                return found
        except Exception:
            pass
        time.sleep(0.05)


def window(caption):
    app = next(a for a in walk(R.Registry.getDesktop(0))
               if a.getRole() == R.ROLE_APPLICATION and a.name == "hvx")
    return next((n for n in walk(app) if n.name == caption and n.getState().contains(
        R.STATE_SHOWING) and n.getRole() in (R.ROLE_DIALOG, R.ROLE_WINDOW, R.ROLE_FRAME)), None)


def menu(argv):  # a popup menu is no child of the application: it is seen as it shows
    found = []
    R.Registry.registerEventListener(lambda event: event.detail1 == 1 and event.source.getRole(
        ) == R.ROLE_POPUP_MENU and found.append(event.source), "object:state-changed:showing")
    subprocess.run(argv, check=True)
    menu = wait(lambda: GLib.MainContext.default().iteration(False) and None or (
        found[-1] if found else None))
    return [n for n in walk(menu) if n.getRole() == R.ROLE_MENU_ITEM]


def control(caption, name):
    nodes = list(walk(wait(lambda: window(caption))))
    if name.startswith("text#"):
        return [n for n in nodes if n.getRole() == R.ROLE_TEXT][int(name[5:])]
    return next(n for n in nodes if n.name == name and n.getRole() != R.ROLE_LABEL)


command, args = sys.argv[1], sys.argv[2:]
if command == "menu" and args[0] == "--press":
    next(i for i in menu(args[2:]) if i.name == args[1]).queryAction().doAction(0)
elif command == "menu":
    print("\n".join(i.name for i in menu(args)))
elif command in ("window", "gone"):
    wait(lambda: (window(args[0]) is None) == (command == "gone") or None)
elif command == "press":
    wait(lambda: control(args[0], args[1])).queryAction().doAction(0)
elif command == "set":
    for name, value in (a.split("=", 1) for a in args[1:]):
        node = control(args[0], name)
        if node.getRole() not in (R.ROLE_CHECK_BOX, R.ROLE_RADIO_BUTTON):
            node.queryEditableText().setTextContents(value)
        elif node.getState().contains(R.STATE_CHECKED) != (value == "1"):
            node.queryAction().doAction(0)
elif command == "listen":
    R.Registry.registerEventListener(lambda event: None, "object:state-changed:showing")
    open(args[0], "w").write("ready\n")
    R.Registry.start()
