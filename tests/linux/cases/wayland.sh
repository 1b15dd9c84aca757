# shellcheck shell=bash
# The program on Wayland, on a stack of its own: KWin, the shortcut portal, a late tray host.
case_wayland() { check "on Wayland (wayland.sh)" "$ROOT/tests/linux/wayland.sh" "$HVX"; }
