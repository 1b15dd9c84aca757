#!/usr/bin/python3
# Reads and drives the program's menus and dialogs the way a screen reader does, over AT-SPI.
#   atspi.py menu [--press NAME] CMD...  run CMD (a click) and wait for the menu it opens; print
#                                        its items' names, or press the item NAME
#   atspi.py press CAPTION NAME          press the button NAME of a window
#   atspi.py window CAPTION              wait for a window with this caption to be shown
#   atspi.py gone CAPTION                wait until no window with this caption is shown
#   atspi.py set CAPTION CONTROL=VALUE...  set controls: a check or radio box by its name (0 or
#                                        1), the Nth edit as text#N (0 first) to a text
#   atspi.py get CAPTION CONTROL         print a control's value so
# Waits end after HVX_WAIT seconds (default 10) with exit status 1.
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

DEADLINE = time.monotonic() + float(os.environ.get("HVX_WAIT", "10"))
SHOWING = pyatspi.STATE_SHOWING


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and a.name == "hvx":
            return a
    return None


def wait(find):
    while True:
        try:
            found = find()
        except Exception:  # objects vanish while we look (a menu closing)
            found = None
        if found is not None:
            return found
        if time.monotonic() > DEADLINE:
            sys.exit(1)
        time.sleep(0.05)


def shown(node):
    return node.getState().contains(SHOWING)


def menu(argv):
    # A popup menu is no child of the application: it is seen as it shows.
    found = []
    def showing(event):
        try:
            if event.source.getRole() == pyatspi.ROLE_POPUP_MENU and event.detail1 == 1:
                found.append(event.source)
        except Exception:  # gone already
            pass
    pyatspi.Registry.registerEventListener(showing, "object:state-changed:showing")
    subprocess.run(argv, check=True)
    context = GLib.MainContext.default()
    return wait(lambda: context.iteration(False) and None or (found[-1] if found else None))


def window(caption):
    roles = (pyatspi.ROLE_DIALOG, pyatspi.ROLE_WINDOW, pyatspi.ROLE_FRAME)
    return next((n for n in walk(app()) if n.getRole() in roles and n.name == caption
                 and shown(n)), None)


def control(caption, spec):
    nodes = list(walk(wait(lambda: window(caption))))
    if spec.startswith("text#"):
        return [n for n in nodes if n.getRole() == pyatspi.ROLE_TEXT][int(spec[5:])]
    return next(n for n in nodes if n.name == spec and n.getRole() != pyatspi.ROLE_LABEL)


def checkable(node):
    return node.getRole() in (pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON)


def items(m):
    return [n for n in walk(m) if n.getRole() == pyatspi.ROLE_MENU_ITEM]


def press(node):
    action = node.queryAction()
    action.doAction(0)


command, args = sys.argv[1], sys.argv[2:]
if command == "menu":
    name = args[1] if args[0] == "--press" else None
    entries = items(menu(args[2:] if name else args))
    if name:
        press(next(i for i in entries if i.name == name))
    else:
        print("\n".join(i.name for i in entries))
elif command == "press":
    press(wait(lambda: next((n for n in walk(window(args[0])) if n.name == args[1] and
                             n.getRole() == pyatspi.ROLE_PUSH_BUTTON), None)))
elif command == "window":
    wait(lambda: window(args[0]))
elif command == "gone":
    wait(lambda: None if window(args[0]) else True)
elif command == "get":
    node = control(args[0], args[1])
    if checkable(node):
        print(int(node.getState().contains(pyatspi.STATE_CHECKED)))
    else:
        print(node.queryText().getText(0, -1))
elif command == "set":
    for spec, value in (a.split("=", 1) for a in args[1:]):
        node = control(args[0], spec)
        if not checkable(node):
            node.queryEditableText().setTextContents(value)
        elif node.getState().contains(pyatspi.STATE_CHECKED) != (value == "1"):
            press(node)
else:
    sys.exit("usage: atspi.py menu | press NAME | window CAPTION | gone CAPTION | "
             "get CAPTION CONTROL | set CAPTION CONTROL=VALUE...")
