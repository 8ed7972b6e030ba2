"""Usage: e2e_window.py BRIMBLE BRIMBLE_CLI MAKE_DEMO. Drives the real brimble program through AT-SPI by
the roles and names a screen reader uses, and checks the files it leaves: that the real widgets, dialogs and
files are wired to the presenter, whose own tests hold what the window does."""
import pathlib
import subprocess
import sys
import tempfile
import time

import pyatspi

BRIMBLE, CLI, MAKE_DEMO = sys.argv[1:4]
DEADLINE = 20.0


def wait_for(what, probe):
    """Polls probe until it gives a true value, or fails after the deadline."""
    end = time.monotonic() + DEADLINE
    while not (value := probe()):
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)
    return value


def find_all(node, role, name=None):
    found, stack = [], [node]
    while stack:
        current = stack.pop()
        try:  # a node that has gone, or a child given as None, is passed over
            if current.getRoleName() == role and (name is None or current.name == name):
                found.append(current)
            stack.extend(current.getChildAtIndex(i) for i in reversed(range(current.childCount)))
        except Exception:
            continue
    return found


def find(node, role, name):
    for found in find_all(node, role, name):
        return found
    raise AssertionError(f"no {role} named {name!r}")


def press(node):
    node.queryAction().doAction(0)


def select_item(list_node, title):
    """Selects a list item as a screen reader does, through its accessible action."""
    item = find(list_node, "list item", title)
    if not item.getState().contains(pyatspi.STATE_SELECTED):
        press(item)
    wait_for(f"{title!r} selected", lambda: item.getState().contains(pyatspi.STATE_SELECTED))


def set_text(node, text):
    node.queryComponent().grabFocus()
    wait_for(f"the focus in {node.name!r}", lambda: node.getState().contains(pyatspi.STATE_FOCUSED))
    node.queryEditableText().setTextContents(text)


def toggle(node, checked):
    press(node)
    wait_for(f"{node.name!r} checked: {checked}", lambda: node.getState().contains(pyatspi.STATE_CHECKED) == checked)


class Brimble:
    def __init__(self, root, name):
        self.folder = pathlib.Path(root, name)
        subprocess.run([MAKE_DEMO, self.folder], check=True, stdout=subprocess.DEVNULL)

    def __enter__(self):
        self.process = subprocess.Popen([BRIMBLE], cwd=self.folder)
        self.app = wait_for("the brimble application", self._find_app)
        self.window = wait_for("the main window", lambda: find_all(self.app, "dialog", "Brimble 1.1"))[0]
        return self

    def __exit__(self, *failure):
        self.process.kill()

    def _find_app(self):
        if self.process.poll() is not None:
            raise AssertionError(f"the program ended at start with status {self.process.returncode}")
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app.name == "brimble" and app.get_process_id() == self.process.pid:
                    return app
            except Exception:
                continue

    def control(self, role, name):
        return find(self.window, role, name)

    def answer(self, text):  # presses OK on the message box that shows text, once it is there
        boxes = lambda: [box for box in find_all(self.app, "alert") + find_all(self.app, "dialog")
                         if find_all(box, "label", text)]
        press(find(wait_for(f"the message {text!r}", boxes)[0], "push button", "OK"))

    def list_titles(self):
        return [item.name for item in find_all(self.control("list", "ROM list"), "list item")]

    def read(self, name):
        return (self.folder / name).read_bytes()

    def setting(self, key_name):
        lines = self.read("brimble.ini").decode("utf-8").splitlines()
        return next(line.split("=", 1)[1].strip() for line in lines if line.split("=")[0].strip().lower() == key_name)


def scenario_edit_and_build(root):
    with Brimble(root, "build") as run:
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
        toggle(run.control("check box", "autonumber"), False)
        press(run.control("push button", "Build"))
        run.answer("Done!")
        assert run.process.wait(timeout=DEADLINE) == 0, run.process.returncode
    assert [run.setting(name) for name in ("autonumber", "flag190k", "savelist", "usesplash")] == list("0111")
    saved = run.read("saved.txt").decode().split("\r\n")
    assert [pathlib.Path(line).name for line in saved if line] == [
        "Cave_Runner_(U).nes", "Moon Harvest (E) [!].nes", "Pixel_Knight_(J).nes", "Turbo Snail (U).nes",
        "Lantern_Keeper_(U).nes", "Sky Garden.nes"], saved
    assert b"\xacCave Runner DX\xac\xac\xac|36|12\r\n" in run.read("goodQuorrel.lst"), "the edits were not stored"
    # The companion, given the same list and switches, writes the same image.
    subprocess.run([CLI, "build", "--output", "cli.gba"], cwd=run.folder, check=True, stdout=subprocess.DEVNULL)
    assert run.read("demo.gba") == run.read("cli.gba"), "the images differ"


# Without its emulator image the build asks for it and, cancelled, says so and keeps the
# window; Escape then closes it without storing the switches.
def scenario_missing_emulator_image_then_escape(root):
    run = Brimble(root, "missing")
    (run.folder / "Vantaro.GBA").unlink()
    with run:
        press(run.control("push button", "Build"))
        locate = wait_for("the locate dialog", lambda: find_all(run.app, "dialog", "Locate Vantaro.GBA..."))[0]
        press(find(locate, "push button", "Cancel"))
        run.answer("Can't open Vantaro.GBA.")
        wait_for("the message to close", lambda: not find_all(run.app, "label", "Can't open Vantaro.GBA."))
        assert len(run.list_titles()) == 6, run.list_titles()
        toggle(run.control("check box", "autonumber"), False)
        pyatspi.Registry.generateKeyboardEvent(0xFF1B, None, pyatspi.KEY_SYM)  # Escape
        assert run.process.wait(timeout=DEADLINE) == 0, run.process.returncode
    assert not (run.folder / "demo.gba").exists()
    assert run.setting("autonumber") == "1"


if __name__ == "__main__":
    with tempfile.TemporaryDirectory(prefix="brimble-e2e-", ignore_cleanup_errors=True) as root:
        for scenario in [scenario_edit_and_build, scenario_missing_emulator_image_then_escape]:
            scenario(root)  # a failure ends the run with its traceback
            print(f"PASS {scenario.__name__}")
