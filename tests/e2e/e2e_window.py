"""Drives the real brimble program through AT-SPI, by the roles and names a screen reader
uses, and checks the files it leaves behind.

Usage: e2e_window.py BRIMBLE BRIMBLE_CLI MAKE_DEMO
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

BRIMBLE, CLI, MAKE_DEMO = sys.argv[1:4]
DEADLINE = 20.0


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=DEADLINE):
    """Polls probe until it gives a true value, or fails after the deadline."""
    end = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(0.05)


def children(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child


def find_all(node, role=None, name=None):
    found = []
    stack = [node]
    while stack:
        current = stack.pop()
        try:
            matches = (role is None or current.getRoleName() == role) and (name is None or current.name == name)
        except Exception:
            continue
        if matches:
            found.append(current)
        stack.extend(reversed(list(children(current))))
    return found


def find(node, role, name):
    found = find_all(node, role, name)
    if not found:
        raise Failure(f"no {role} named {name!r}")
    return found[0]


def press(node):
    node.queryAction().doAction(0)


def is_checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def set_text(node, text):
    node.queryComponent().grabFocus()
    node.queryEditableText().setTextContents(text)


def key(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


class Brimble:
    """One run of the program in a folder."""

    def __init__(self, folder):
        self.process = subprocess.Popen([BRIMBLE], cwd=folder)
        self.app = wait_for("the brimble application", self._find_app)
        self.window = wait_for("the main window", lambda: next(iter(find_all(self.app, "dialog", "Brimble 1.1")), None))

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            try:
                if app.name == "brimble" and app.get_process_id() == self.process.pid:
                    return app
            except Exception:
                continue
        return None

    def control(self, role, name):
        return find(self.window, role, name)

    def list_titles(self):
        return [item.name for item in find_all(self.control("list", "ROM list"), "list item")]

    def wait_exit(self):
        try:
            return self.process.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def make_folder(root, name):
    folder = os.path.join(root, name)
    subprocess.run([MAKE_DEMO, folder], check=True, stdout=subprocess.DEVNULL)
    return folder


def read_ini(folder):
    values = {}
    with open(os.path.join(folder, "brimble.ini"), "rb") as ini:
        for line in ini.read().decode("utf-8").splitlines():
            if "=" in line:
                key_name, value = line.split("=", 1)
                values[key_name.strip().lower()] = value.strip()
    return values


def scenario_escape_stores_nothing(root):
    folder = make_folder(root, "escape")
    before = read_ini(folder)
    run = Brimble(folder)
    try:
        assert run.list_titles() == ["Cave Runner", "Moon Harvest", "Pixel Knight", "Turbo Snail",
                                     "Lantern Keeper", "Sky Garden"], run.list_titles()
        autonumber = run.control("check box", "autonumber")
        press(autonumber)
        wait_for("autonumber unchecked", lambda: not is_checked(autonumber))
        run.control("list", "ROM list").queryComponent().grabFocus()
        key(0xFF1B)  # Escape
        status = run.wait_exit()
    finally:
        run.kill()
    assert status == 0, status
    after = read_ini(folder)
    assert after["autonumber"] == before["autonumber"] == "1", after


SCENARIOS = [scenario_escape_stores_nothing]


def main():
    failed = 0
    root = tempfile.mkdtemp(prefix="brimble-e2e-")
    try:
        for scenario in SCENARIOS:
            start = time.monotonic()
            try:
                scenario(root)
                print(f"PASS {scenario.__name__} ({time.monotonic() - start:.1f}s)")
            except (Failure, AssertionError) as error:
                failed += 1
                print(f"FAIL {scenario.__name__}: {error!r}")
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print(f"{len(SCENARIOS) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
