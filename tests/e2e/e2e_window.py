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


def select_item(list_node, title):
    """Selects a list item as a screen reader does, through its accessible action."""
    items = [item for item in find_all(list_node, "list item") if item.name == title]
    if not items:
        raise Failure(f"no list item {title!r}")
    if not items[0].getState().contains(pyatspi.STATE_SELECTED):
        press(items[0])
    wait_for(f"{title!r} selected", lambda: items[0].getState().contains(pyatspi.STATE_SELECTED))


def is_checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def set_text(node, text):
    node.queryComponent().grabFocus()
    wait_for(f"the focus in {node.name!r}", lambda: node.getState().contains(pyatspi.STATE_FOCUSED))
    node.queryEditableText().setTextContents(text)


def toggle(node, checked):
    """Presses a check box or radio button and waits until it shows the wanted state."""
    press(node)
    wait_for(f"{node.name!r} {'checked' if checked else 'unchecked'}", lambda: is_checked(node) == checked)


def key(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


class Brimble:
    """One run of the program in a folder."""

    def __init__(self, folder):
        self.process = subprocess.Popen([BRIMBLE], cwd=folder)
        self.app = wait_for("the brimble application", self._find_app_or_fail)
        self.window = wait_for("the main window", lambda: next(iter(find_all(self.app, "dialog", "Brimble 1.1")), None))

    def _find_app_or_fail(self):
        if self.process.poll() is not None:
            raise Failure(f"the program ended at start with status {self.process.returncode}")
        return self._find_app()

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

    def label_described(self, description):
        labels = [label for label in find_all(self.window, "label") if label.description == description]
        if not labels:
            raise Failure(f"no label described as {description!r}")
        return labels[0]

    def message(self, text):
        """The message box that shows text, once it is there."""
        def probe():
            for box in find_all(self.app, "alert") + find_all(self.app, "dialog"):
                if find_all(box, "label", text):
                    return box
            return None
        return wait_for(f"the message {text!r}", probe)

    def answer(self, box):
        press(find(box, "push button", "OK"))

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
        toggle(run.control("check box", "autonumber"), False)
        key(0xFF1B)  # Escape
        status = run.wait_exit()
    finally:
        run.kill()
    assert status == 0, status
    after = read_ini(folder)
    assert after["autonumber"] == before["autonumber"] == "1", after


def read_text(folder, name):
    with open(os.path.join(folder, name), "rb") as file:
        return file.read()


def scenario_edit_sort_move_and_build(root):
    folder = make_folder(root, "build")
    run = Brimble(folder)
    try:
        press(run.control("push button", "More >>"))
        wait_for("the options panel", lambda: find_all(run.window, "push button", "<< Hide"))
        rom_list = run.control("list", "ROM list")
        select_item(rom_list, "Cave Runner")
        toggle(run.control("check box", "use PAL timing"), True)
        toggle(run.control("radio button", "follow mem"), True)
        set_text(run.control("text", "Title"), "Cave Runner DX")
        # Leaving the title box stores the title; moving to another game commits the options.
        set_text(run.control("text", "Follow value"), "12")
        wait_for("the edited title in the list", lambda: "Cave Runner DX" in run.list_titles())
        select_item(rom_list, "Moon Harvest")
        press(run.control("push button", "sort"))
        ordered = ["Cave Runner DX", "Lantern Keeper", "Moon Harvest", "Pixel Knight", "Sky Garden", "Turbo Snail"]
        wait_for("the sorted list", lambda: run.list_titles() == ordered)
        select_item(rom_list, "Turbo Snail")
        press(run.control("push button", "Move up"))
        expected = ["Cave Runner DX", "Lantern Keeper", "Moon Harvest", "Pixel Knight", "Turbo Snail", "Sky Garden"]
        try:
            wait_for("the moved entry", lambda: run.list_titles() == expected)
        except Failure:
            raise Failure(f"the list reads {run.list_titles()} after moving")
        toggle(run.control("check box", "autonumber"), False)
        press(run.control("push button", "Build"))
        run.answer(run.message("Done!"))
        status = run.wait_exit()
    finally:
        run.kill()
    assert status == 0, status

    ini = read_ini(folder)
    assert (ini["autonumber"], ini["flag190k"], ini["savelist"], ini["usesplash"]) == ("0", "1", "1", "1"), ini
    saved = read_text(folder, "saved.txt").decode().split("\r\n")
    assert [os.path.basename(line) for line in saved if line] == [
        "Cave_Runner_(U).nes", "Lantern_Keeper_(U).nes", "Moon Harvest (E) [!].nes", "Pixel_Knight_(J).nes",
        "Turbo Snail (U).nes", "Sky Garden.nes"], saved
    database = read_text(folder, "goodQuorrel.lst")
    assert b"\xacCave Runner DX\xac\xac\xac|36|12\r\n" in database, database

    # The companion, given the same list and switches, writes the same image.
    subprocess.run([CLI, "build", "--output", "cli.gba"], cwd=folder, check=True, stdout=subprocess.DEVNULL)
    assert read_text(folder, "demo.gba") == read_text(folder, "cli.gba"), "the images differ"


def scenario_missing_emulator_image(root):
    folder = make_folder(root, "missing")
    os.remove(os.path.join(folder, "Vantaro.GBA"))
    run = Brimble(folder)
    try:
        press(run.control("push button", "Build"))
        locate = wait_for("the locate dialog",
                          lambda: next(iter(find_all(run.app, "dialog", "Locate Vantaro.GBA...")), None))
        press(find(locate, "push button", "Cancel"))
        run.answer(run.message("Can't open Vantaro.GBA."))
        wait_for("the message to close", lambda: not find_all(run.app, "label", "Can't open Vantaro.GBA."))
        assert run.process.poll() is None, "the window closed"
        assert len(run.list_titles()) == 6, run.list_titles()
        assert not os.path.exists(os.path.join(folder, "demo.gba"))
        key(0xFF1B)  # Escape
        run.wait_exit()
    finally:
        run.kill()


SCENARIOS = [scenario_escape_stores_nothing, scenario_edit_sort_move_and_build, scenario_missing_emulator_image]


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
