#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# The real program as a screen reader meets it, over the accessibility bus of a desktop session (run through
# scripts/with-xvfb.sh --wm dbus-run-session): the main window is a frame with its title, every control has
# its Russian name and role, the results are read-only and not editable, no picture is in the tree, a
# calculation typed with XTest keys hands the focus (the event Orca speaks) to the Kelly stake and can be read
# back from the result fields through the AT-SPI Text interface, Shift+F10 opens a field's menu in Russian,
# the command panel opens from the keyboard, the About box starts on OK and closes with Enter, F1 brings up
# the help contents before and after the Help button with nothing in the index's search box, and Ctrl+Q
# ends the program.
# Usage: AccessibilityUnderX.py PROGRAM
import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

TITLE = "Вычисление по методу Келли"
DEADLINE = 60  # seconds for any one condition on a busy machine
failures = []


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    failures.append(message)


# Focus and showing events as Orca hears them: (role, name, what else it reads there: a text field's text, a
# menu's entries) and, for showing, whether the object is now shown or hidden.
focus_events = []
shown_events = []


def on_event(event):
    focus = event.type.endswith("focused")
    if focus and not event.detail1:
        return
    try:
        source = event.source
        role = source.getRoleName()
        if role == "text":
            more = text_of(source)
        elif role == "popup menu":
            more = tuple(item.name for item in source if item is not None and item.name)
        else:
            more = ""
        if focus:
            focus_events.append((role, source.name, more))
        else:
            shown_events.append((role, source.name, more, bool(event.detail1)))
    except Exception:  # the object may be gone by the time the event is read, as a closed menu is
        if not focus:
            shown_events.append(("gone", "", (), bool(event.detail1)))


def pump():
    """Delivers the accessibility events that have arrived."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, condition):
    """Polls `condition` until it returns something true; fails with `what` when it never does."""
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        pump()
        try:
            value = condition()
        except Exception:  # the tree changes under the walk while windows come and go
            value = None
        if value:
            return value
        time.sleep(0.1)
    fail(what)
    return None


def has_latin(text):
    return any("a" <= c.lower() <= "z" for c in text)


def find_app(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def nodes(root):
    """Every accessible below `root`, depth first."""
    out = []
    stack = [root]
    while stack:
        node = stack.pop()
        out.append(node)
        stack.extend(child for child in reversed(list(node)) if child is not None)
    return out


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def text_of(node):
    # The viewer's search tab holds labels that Qt exposes by name only, without a text interface.
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return node.name


def named(root, role, name):
    for node in nodes(root):
        if node.getRoleName() == role and node.name == name:
            return node
    return None


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# Keys go through XTest to the window that has the focus, as a keyboard's do.
def keys(window, *names):
    xdotool("windowactivate", "--sync", window)
    xdotool("key", "--clearmodifiers", *names)


def type_text(window, text):
    xdotool("windowactivate", "--sync", window)
    xdotool("type", "--delay", "40", text)


def viewer_frame():
    viewer = find_app("brelmont-help")
    return named(viewer, "frame", "Справка Windows") if viewer is not None else None


def active(frame):
    return frame is not None and frame.getState().contains(pyatspi.STATE_ACTIVE)


def ask_for_help(window, key, when, contents):
    """Presses `key` in the main window and checks what the viewer then shows in front."""
    xdotool("windowactivate", "--sync", window)
    wait_for(when + ": the main window did not come back to the front", lambda: not active(viewer_frame()))
    keys(window, key)
    frame = wait_for(when + ": the help viewer did not come to the front",
                     lambda: viewer_frame() if active(viewer_frame()) else None)
    if frame is None:
        return
    # The topic pane and the index's search box, whichever tab is shown.
    texts = [text_of(n) for n in nodes(frame) if n.getRoleName() in ("label", "text")]
    if contents:
        wait_for(when + ": the viewer does not show the contents", lambda: any(
            all(title in text_of(n) for title in ("Лицензия", "Критерий Келли", "Наши разработки"))
            for n in nodes(frame) if n.getRoleName() == "label" and showing(n)))
    for text in texts:
        if "не найден" in text:
            fail(when + ": the viewer says the help file is not found")
        if "help.hlp" in text or "/" in text and len(text) < 200:
            fail(when + ": a file name is left in the viewer: " + text)


def main():
    program = sys.argv[1]
    runtime = tempfile.mkdtemp()
    os.chmod(runtime, 0o700)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=runtime)
    process = subprocess.Popen([program], env=env)
    try:
        run(process)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
            fail("the program was still running at the end")
    if failures:
        return 1
    print("accessibility under X: all checks passed")
    return 0


def run(process):
    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:focused", "object:state-changed:showing")
    app = wait_for("the program never appeared on the accessibility bus", lambda: find_app("Brelmont"))
    if app is None:
        return
    main = wait_for("no main window frame named by its title", lambda: named(app, "frame", TITLE))
    window = wait_for("no X window", lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(process.pid), "--name", "^" + TITLE + "$"],
        capture_output=True, text=True).stdout.split())
    if main is None or window is None:
        return
    window = window[0]

    expected = [("push button", name) for name in ("Запуск", "Очистить", "Справка", "На сайт", "О программе", "Выход")]
    expected += [("text", "Вероятность события, %"), ("text", "Коэффициент"), ("text", "Ставка в % от банка")]
    for lost, left in (("40", "60"), ("60", "40"), ("80", "20"), ("90", "10")):
        expected.append(("text", f"Вероятность проигрыша {lost}% от банка (банк упадёт до {left}%), %"))
    expected.append(("link", "На сайт"))
    for role, name in expected:
        node = named(main, role, name)
        if node is None:
            fail(f"no {role} named {name!r}")
        elif not showing(node):
            fail(f"{role} {name!r} is not showing")
    for name in ("Вычислить вероятности", "Вычислить всё"):
        if named(main, "menu item", name) is None:
            fail(f"no menu item named {name!r}")
    for node in nodes(main):
        if node.getRoleName() == "image":
            fail(f"a picture is in the tree: {node.name!r}")
        if node.getRoleName() == "frame" and node != main:
            fail(f"a frame inside the window: {node.name!r}")
    for node in nodes(main):
        if node.getRoleName() in ("push button", "text", "link", "menu item") and not node.name:
            fail(f"an unnamed {node.getRoleName()}")

    fields = [named(main, "text", name) for _, name in expected[6:13]]
    if None in fields:
        return
    for number, field in enumerate(fields, 1):
        state = field.getState()
        if state.contains(pyatspi.STATE_EDITABLE) == (number > 3):
            fail(f"{field.name!r} is {'' if number > 3 else 'not '}editable")
        if state.contains(pyatspi.STATE_READ_ONLY) != (number > 3):
            fail(f"{field.name!r} is {'not ' if number > 3 else ''}read-only")
    wait_for("the probability field does not have the focus at start",
             lambda: fields[0].getState().contains(pyatspi.STATE_FOCUSED))
    type_text(window, "55")
    keys(window, "Tab")
    type_text(window, "2")
    pump()
    focus_events.clear()
    keys(window, "Return")
    results = wait_for("Enter computed nothing", lambda: [text_of(f) for f in fields[2:]]
                       if text_of(fields[6]) else None)
    if results is not None and results != ["10", "59,85", "39,82", "19,84", "9,88"]:
        fail(f"the result fields read {results}")
    # Orca speaks the object that takes the focus: the stake field, already holding the stake.
    wait_for(f"no focus event said the Kelly stake after Enter: {focus_events}",
             lambda: ("text", expected[8][1], "10") in focus_events)

    # Shift+F10 opens the focused field's menu, in Russian; Escape closes it.
    shown_events.clear()
    keys(window, "shift+F10")
    menu = wait_for(f"Shift+F10 showed no menu: {shown_events}",
                    lambda: next((e for e in shown_events if e[0] == "popup menu" and e[3]), None))
    if menu is not None:
        entries = [entry.replace("&", "") for entry in menu[2]]
        if not any(entry.startswith("Копировать") for entry in entries):
            fail(f"the field's menu reads {entries}")
        for entry in entries:
            if has_latin(entry.split("\t")[0]):
                fail(f"an English word in the field's menu: {entry!r}")
    shown_events.clear()
    xdotool("key", "Escape")
    # The field's menu is deleted as it closes, so its hiding comes from an object that is gone.
    wait_for(f"Escape did not close the field's menu: {shown_events}",
             lambda: any(e[0] in ("popup menu", "gone") and not e[3] for e in shown_events))

    # The About box by keyboard alone: it opens on OK, and Enter closes it.
    focus_events.clear()
    keys(window, "ctrl+i")
    wait_for(f"the About box did not open on OK: {focus_events}",
             lambda: any(role == "push button" and name.startswith("OK") for role, name, _ in focus_events))
    about = named(app, "dialog", "О программе")
    if about is not None:
        for node in nodes(about):
            if node.getRoleName() == "image":
                fail(f"a picture is in the About box's tree: {node.name!r}")
        xdotool("key", "Return")
        wait_for("Enter did not close the About box", lambda: not showing(about))

    # The command panel from the keyboard: F10 opens it, Escape closes it again.
    keys(window, "F10")
    entry = named(main, "menu item", "Вычислить вероятности")
    wait_for("F10 did not open the command panel", lambda: showing(entry))
    keys(window, "Escape")
    wait_for("Escape did not close the command panel", lambda: not showing(entry))

    # F1 before the Help button, the Help button's own keys (which type Enter into the viewer, opening the
    # selected topic), and F1 again.
    ask_for_help(window, "F1", "F1 before the Help button", contents=True)
    ask_for_help(window, "shift+F1", "Shift+F1", contents=False)
    ask_for_help(window, "F1", "F1 after the Help button", contents=True)

    keys(window, "ctrl+q")
    end = time.monotonic() + DEADLINE
    while process.poll() is None and time.monotonic() < end:
        time.sleep(0.1)
    if process.poll() is None:
        fail("Ctrl+Q did not end the program")
    elif process.returncode != 0:
        fail(f"the program ended with status {process.returncode}")


if __name__ == "__main__":
    sys.exit(main())
