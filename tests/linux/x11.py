#!/usr/bin/python3
# The X11 side of the tests, through Xlib itself:
#   x11.py bells FILE             append "bell" to FILE per bell rung (XKB), after "ready"
#   x11.py grab KEYSYM MODS...    hold a key grab (MODS: control alt shift) on the root window
#                                 until killed; prints "grabbed" or "refused"
#   x11.py keycode KEYSYM         print the keycode of KEYSYM in the current keymap
import ctypes, signal, sys

x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.restype = ctypes.c_ulong
display = ctypes.c_void_p(x.XOpenDisplay(None))
failed = []
x.XSetErrorHandler(on_error := ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
    lambda d, e: failed.append(1) or 0))
if sys.argv[1] == "bells":
    codes = [ctypes.c_int(1) for _ in range(5)]  # opcode, event, error, major, minor
    x.XkbQueryExtension(display, *map(ctypes.byref, codes))
    x.XkbSelectEvents(display, 0x100, 1 << 8, 1 << 8)  # core keyboard, bell notify
    x.XSync(display, 0)
    (out := open(sys.argv[2], "a", buffering=1)).write("ready\n")
    event = ctypes.create_string_buffer(192)
    while x.XNextEvent(display, event) == 0:
        if ctypes.c_int.from_buffer(event).value == codes[1].value:
            out.write("bell\n")
elif sys.argv[1] == "grab":
    mask = sum({"shift": 1, "control": 4, "alt": 8}[m] for m in sys.argv[3:])
    code = x.XKeysymToKeycode(display, x.XStringToKeysym(sys.argv[2].encode()))
    x.XGrabKey(display, code, mask, ctypes.c_ulong(x.XDefaultRootWindow(display)), 1, 1, 1)
    x.XSync(display, 0)
    print("refused" if failed else "grabbed", flush=True)
    signal.pause()
elif sys.argv[1] == "keycode":
    print(x.XKeysymToKeycode(display, x.XStringToKeysym(sys.argv[2].encode())))
