#!/usr/bin/python3
# The real program read from outside, as a screen reader reads it over AT-SPI: no control
# without a name, and the drawing surface's description following a tool change and an
# instrument moved by a real key press. Run on a session bus of its own, in an X display:
#   xvfb-run -a dbus-run-session -- atspi_names.py path/to/velmora path/to/translate.dbf
# (the display first: the accessibility bus, started by the session bus, types the keys in it)
# Exit 77 (skipped) only when the accessibility bus cannot be reached at all.
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
try:
    import pyatspi
except ImportError:
    print("python3-pyatspi is not installed")
    sys.exit(SKIP)

program, table = sys.argv[1], sys.argv[2]
NAMED_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PASSWORD_TEXT,
    pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM, pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_CANVAS,
}
BUTTON_ROLES = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX}
XK_RIGHT = 0xFF53


def wait_for(what, condition, seconds=20, detail=None):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            value = condition()
        except Exception:  # the tree is still being built
            value = None
        if value:
            return value
        time.sleep(0.1)
    sys.exit("gave up waiting for " + what + (": " + str(detail()) if detail else ""))


def nodes(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child)


def main():
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.childCount
    except Exception as error:
        print("no accessibility bus:", error)
        return SKIP

    # The program in a folder of its own, German, with the shipped translation table.
    folder = tempfile.mkdtemp(prefix="velmora-atspi-")
    shutil.copy(program, folder)
    shutil.copy(table, folder)
    with open(os.path.join(folder, "options.dat"), "wb") as options:
        options.write(struct.pack("<i", 0))
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_DATA_HOME=folder, XDG_CONFIG_HOME=folder)
    velmora = subprocess.Popen([os.path.join(folder, "velmora")], env=env)
    try:
        app = wait_for("the program on the accessibility bus",
                       lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                     if a is not None and a.name == "Velmora" and a.childCount > 0), None))
        surface = wait_for("the drawing surface",
                           lambda: next((n for n in nodes(app) if n.getRole() == pyatspi.ROLE_CANVAS), None))
        wait_for("the surface's description", lambda: surface.description)

        unnamed = ["%s under %s" % (n.getRoleName(), n.parent.name or n.parent.getRoleName())
                   for n in nodes(app) if n.getRole() in NAMED_ROLES and not n.name.strip()]
        if unnamed:
            sys.exit("controls without a name: " + ", ".join(unnamed))
        if surface.name != "Zeichenfläche":
            sys.exit("the surface is named %r" % surface.name)
        if "Werkzeug: Lineal, Verschieben" not in surface.description:
            sys.exit("the surface says %r" % surface.description)

        # A real key on the focused surface moves the ruler, the first tool's instrument, by 1 mm.
        wait_for("the surface's focus", lambda: surface.queryComponent().grabFocus()
                 and surface.getState().contains(pyatspi.STATE_FOCUSED))
        pyatspi.Registry.generateKeyboardEvent(XK_RIGHT, None, pyatspi.KEY_SYM)
        wait_for("the description after the key", lambda: "Lineal bei x 11 mm, y 90 mm" in surface.description,
                 detail=lambda: surface.description)

        # A tool chosen through the interface: the pencil's button toggled by its action.
        pencil = next(n for n in nodes(app) if n.name == "Bleistift" and n.getRole() in BUTTON_ROLES)
        action = pencil.queryAction()
        action.doAction(next(i for i in range(action.nActions) if action.getName(i) in ("Toggle", "Press")))
        wait_for("the description of the pencil",
                 lambda: surface.description.startswith("Werkzeug: Bleistift.")
                 and "Lineal bei x 11 mm" in surface.description, detail=lambda: surface.description)
        print("named controls:", sum(1 for n in nodes(app) if n.getRole() in NAMED_ROLES))
        print("surface:", surface.description)
        return 0
    finally:
        velmora.terminate()
        try:
            velmora.wait(10)
        except subprocess.TimeoutExpired:
            velmora.kill()
        shutil.rmtree(folder, ignore_errors=True)


sys.exit(main())
