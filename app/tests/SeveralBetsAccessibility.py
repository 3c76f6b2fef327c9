#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# The window "Несколько ставок" through a screen reader's eyes, over the accessibility bus of a desktop session
# (run through scripts/with-xvfb.sh --wm dbus-run-session): started by the desktop's action (--several), its
# controls carry Russian names and roles, its table tells its columns and cells, bets typed with XTest keys
# come back as stakes in the table's cells, and the summary fields read the total and the four chances once
# they arrive.
# Usage: SeveralBetsAccessibility.py PROGRAM
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import AccessibilityUnderX as ax  # noqa: E402  (the shared AT-SPI helpers)
import pyatspi  # noqa: E402

TITLE = "Несколько ставок"
CONTROLS = [
    ("table", "Таблица ставок"),
    ("text", "Банк"),
    ("push button", "Добавить строку"),
    ("push button", "Удалить строку"),
    ("push button", "Вставить строки"),
    ("push button", "Открыть"),
    ("push button", "Сохранить"),
    ("push button", "Заполнить честные вероятности"),
    ("text", "Доля от Келли"),
    ("text", "Сумма ставок не более, % банка"),
    ("check box", "Ограничить риск"),
    ("text", "Сумма ставок, % банка"),
    ("text", "Ожидаемый рост банка за круг, %"),
] + [("text", f"Вероятность когда-нибудь потерять {lost} % банка") for lost in (40, 60, 80, 90)]


def cell_text(cell):
    try:
        text = ax.text_of(cell)
    except Exception:
        text = ""
    return text or cell.name


def run(process):
    app = ax.wait_for("the program never appeared on the accessibility bus", lambda: ax.find_app("Brelmont"))
    if app is None:
        return
    frame = ax.wait_for("no window for several bets",
                        lambda: ax.named(app, "frame", TITLE) or ax.named(app, "filler", TITLE))
    window = ax.wait_for("no X window for several bets", lambda: subprocess.run(
        ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(process.pid), "--name", "^" + TITLE + "$"],
        capture_output=True, text=True).stdout.split())
    if frame is None or window is None:
        return
    window = window[0]

    for role, name in CONTROLS:
        if ax.named(frame, role, name) is None:
            ax.fail(f"no {role} named {name!r}")
    for node in ax.nodes(frame):
        if node.getRoleName() in ("push button", "text", "combo box", "check box", "table") and not node.name:
            ax.fail(f"an unnamed {node.getRoleName()}")
    # A list's name is its current choice; the label before it names it through a relation.
    labels = []
    for node in ax.nodes(frame):
        if node.getRoleName() == "combo box":
            for relation in node.getRelationSet():
                if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                    labels.append(relation.getTarget(0).name)
    if sorted(labels) != sorted(
            ["Вид ставок:", "методом", "% вероятности потерять"]):
        ax.fail(f"the lists are labelled {labels}")

    table_node = ax.named(frame, "table", "Таблица ставок")
    if table_node is None:
        return
    table = table_node.queryTable()
    if table.nColumns != 7:
        ax.fail(f"the table has {table.nColumns} columns")
    headers = [" ".join((table.getColumnHeader(c).name or "").split()) for c in range(table.nColumns)]
    if headers[:3] != ["Название", "Коэффициент", "Вероятность, %"]:
        ax.fail(f"the table's columns read {headers}")

    # Two outcomes typed as a person does: a click on the cell, the number, Enter.
    for row, (odds, probability) in enumerate((("2,2", "50"), ("2,5", "45"))):
        for column, text in ((1, odds), (2, probability)):
            x, y, width, height = table.getAccessibleAt(row, column).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            ax.xdotool("mousemove", str(x + width // 2), str(y + height // 2), "click", "1")
            ax.type_text(window, text)
            ax.keys(window, "Return")
    stakes = ax.wait_for("the typed bets got no stakes in the table", lambda: [
        cell_text(table.getAccessibleAt(r, 4)) for r in range(2)] if all(
        cell_text(table.getAccessibleAt(r, 4)) for r in range(2)) else None)
    if stakes is not None:
        for stake in stakes:
            if "." in stake or not stake[0].isdigit():
                ax.fail(f"a stake cell reads {stake!r}")
        cell = table.getAccessibleAt(0, 4)
        if cell.getRoleName() not in ("table cell", "cell"):
            ax.fail(f"a cell has the role {cell.getRoleName()!r}")

    total = ax.named(frame, "text", "Сумма ставок, % банка")
    chance = ax.named(frame, "text", "Вероятность когда-нибудь потерять 40 % банка")
    if total is not None and chance is not None:
        read = ax.wait_for("the summary never read the total and the chances",
                           lambda: (ax.text_of(total), ax.text_of(chance))
                           if ax.text_of(chance).startswith("от ") else None)
        if read is not None and not read[0].endswith(" %"):
            ax.fail(f"the total reads {read[0]!r}")


def main():
    program = sys.argv[1]
    runtime = tempfile.mkdtemp()
    os.chmod(runtime, 0o700)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_RUNTIME_DIR=runtime)
    process = subprocess.Popen([program, "--several"], env=env)
    try:
        run(process)
    finally:
        process.terminate()
        try:
            status = process.wait(timeout=ax.DEADLINE)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            ax.fail("the program did not end on SIGTERM")
        else:
            if status != 0:
                ax.fail(f"the program ended with status {status} on SIGTERM")
    if ax.failures:
        return 1
    print("several bets under a screen reader: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
