"""The settings file under faults: the program killed in the middle of its
saves, a program folder it cannot write, a full disk, and files it cannot
read or that are odd in some way."""

import os
import random
import shutil
import signal
import subprocess
import time

from bar_steps import IDC_TARGET, IDC_TRYTIMES, choose, exit_by_menu, settings_dialog, wait_bar, \
    warning_box
from harness import App, HarnessError, case, clone_prefix, parse_ini, poll, wine_env

KILLS = 200
# What every generation of the save loop (VORLANE_TEST_SAVE_LOOP) writes; the
# long value makes each file some 8 KB, more than one block.
PAD = "x" * 8000


def generation_of(values):
    """The one generation number all the looped keys agree on."""
    generation = int(values["trytimes"])
    assert values["djs"] == str(generation), values
    assert values["cmduser"] == f"{generation} {PAD} {generation}", "cmduser is torn"
    assert values["ping"] == f"127.0.0.{generation % 250 + 1}", values["ping"]
    return generation


def copy_program(c, folder):
    """The case's exe and its sound, copied into `folder`; their names."""
    names = [n for n in (c.exe_name, "alert.wav") if os.path.isfile(os.path.join(c.folder, n))]
    for name in names:
        if not os.path.exists(os.path.join(folder, name)):
            shutil.copy2(os.path.join(c.folder, name), folder)
    return names


def start_from(c, folder, env=None, args=()):
    """Launches the case's exe copied into `folder` (the case folder keeps
    the trace and the logs) with the arguments `args`; the run is ended by
    the case's clean-up. It runs in the case's own prefix: Wine in the shared
    one would rewrite its registry while other cases copy it, and outlive the
    case."""
    c.use_private_prefix()
    copy_program(c, folder)
    full_env = wine_env(c.prefix, DISPLAY=c.display.name, VORLANE_TRACE=c.trace.path,
                        **(env or {}))
    full_env.pop("XAUTHORITY", None)
    with open(c.wine_log, "ab") as log:
        process = subprocess.Popen(["wine", os.path.join(folder, c.exe_name), *args], cwd=folder,
                                   env=full_env, stdout=log, stderr=log, start_new_session=True)
    app = App(c, process, c.exe_name, time.monotonic())
    c.apps.append(app)
    return app


def mount_tmpfs(path, size, read_only=False):
    os.makedirs(path, exist_ok=True)
    subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size},mode=0755", "tmpfs", path],
                   check=True, timeout=10)
    if read_only:
        subprocess.run(["mount", "-o", "remount,ro", path], check=True, timeout=10)


def unmount(path):
    subprocess.run(["umount", "-l", path], timeout=10, stderr=subprocess.DEVNULL)


def fill_up(folder):
    """Writes a file until the disk holding `folder` is full."""
    fd = os.open(os.path.join(folder, "filler"), os.O_WRONLY | os.O_CREAT)
    try:
        while True:
            os.write(fd, b"\0" * 4096)
    except OSError:
        pass
    finally:
        os.close(fd)


def confirm(c, since=0):
    c.display.key("Return")
    c.trace.wait_for("status", "准备中", timeout=20, since=since)
    return wait_bar(c)


@case(timeout=300)
def test_kill_at_random_moments_of_saves_leaves_the_old_or_the_new_file(c):
    seed = int(os.environ.get("VORLANE_FAULT_SEED", time.time()))
    print(f"seed {seed}")
    rng = random.Random(seed)
    c.write_ini("; written by hand, must survive\n[Vorlane]\n"
                f"ping=127.0.0.1\ntrytimes=0\ndjs=0\ncmduser=0 {PAD} 0\nmine=kept\n")
    last = 0
    mid_save = 0
    for kill in range(KILLS):
        mark = c.trace.mark()
        app = c.start(env={"VORLANE_TEST_SAVE_LOOP": "1000000"})
        poll("the first save", lambda: c.trace.find("saved", since=mark), 20, 0.005)
        # Anywhere within the next few dozen saves.
        time.sleep(rng.uniform(0, 0.15))
        pid = poll("the program's process", app.exe_pid, 5, 0.01)
        os.kill(pid, signal.SIGKILL)
        app.wait_exit(10)
        c.apps.remove(app)

        with open(c.ini_path, encoding="utf-8") as f:
            text = f.read()
        values = parse_ini(text)
        try:
            generation = generation_of(values)
        except (AssertionError, KeyError, ValueError) as error:
            raise HarnessError(f"kill {kill + 1}: the file is neither old nor new: {error}")
        assert generation >= last, f"kill {kill + 1}: generation {generation} after {last}"
        assert text.startswith("; written by hand, must survive\n"), text[:80]
        assert values["mine"] == "kept"
        last = generation
        if os.path.exists(c.ini_path + ".tmp"):
            mid_save += 1
    assert not os.path.exists(c.ini_path + ".bad")
    # Saves really happened between the kills, and some kills hit a save
    # between its write and its rename.
    assert last > KILLS, last
    print(f"{KILLS} kills, {last} generations saved, {mid_save} kills left a temporary file")


@case(timeout=120)
def test_read_only_program_folder_falls_back_to_appdata_silently(c):
    # A prefix of the case's own: the fallback file lands in its AppData.
    c.private_prefix = os.path.join(c.folder, "prefix")
    clone_prefix(c.shared_prefix, c.private_prefix)
    c.prefix = c.private_prefix
    folder = os.path.join(c.folder, "readonly")
    mount_tmpfs(folder, "4m")
    try:
        names = copy_program(c, folder)
        subprocess.run(["mount", "-o", "remount,ro", folder], check=True, timeout=10)
        app = start_from(c, folder)
        settings_dialog(c, timeout=60)
        store = c.trace.wait_for("store").fields
        assert store[0] == "missing" and store[1].lower().endswith(
            "\\appdata\\roaming\\vorlane\\vorlane.ini"), store
        c.display.type_text("127.0.0.1")
        bar = confirm(c)
        # Nothing was said about it: no message box, only the bar.
        assert not [w for w in c.windows() if w.cls == "#32770" and w.controls], c.windows()
        exit_by_menu(c, app, bar)
        assert sorted(os.listdir(folder)) == sorted(names)
        found = [os.path.join(root, "Vorlane.ini") for root, _, files in os.walk(
            os.path.join(c.private_prefix, "drive_c", "users")) if "Vorlane.ini" in files]
        assert len(found) == 1 and found[0].endswith("/AppData/Roaming/Vorlane/Vorlane.ini"), \
            found
        with open(found[0], encoding="utf-8") as f:
            stored = parse_ini(f.read())
        assert stored["ping"] == "127.0.0.1" and "posleft" in stored, stored
    finally:
        unmount(folder)


@case(timeout=120)
def test_full_disk_warns_keeps_the_old_file_and_runs_on(c):
    folder = os.path.join(c.folder, "full")
    mount_tmpfs(folder, "2m")
    try:
        ini = os.path.join(folder, "Vorlane.ini")
        old = "; old file\n[Vorlane]\nping=127.0.0.1\ntrytimes=3\ntryinterval=60\nbwav=0\n"
        with open(ini, "w") as f:
            f.write(old)
        copy_program(c, folder)
        fill_up(folder)
        app = start_from(c, folder)
        settings_dialog(c, timeout=60)
        c.display.key("Return")
        box = warning_box(c)
        assert any("设定无法保存" in t for t in box.texts()), box.texts()
        assert c.trace.find("saved", "^failed$")
        c.display.key("Return")
        # The confirmation still counts for this run.
        bar = wait_bar(c)
        c.trace.wait_for("status", "准备中", timeout=20)
        assert app.exe_pid() is not None
        with open(ini) as f:
            assert f.read() == old
        assert not os.path.exists(ini + ".tmp")

        # The position cannot be saved at exit either: one more warning (with
        # the bar gone it has no owner, so it is given the focus here), and
        # the program still ends cleanly.
        choose(c, bar, "Up", "Return")
        warning_box(c)
        c.display.wait_window("Vorlane").focus()
        c.display.key("Return")
        app.wait_exit(15)
        assert c.trace.find("window", "^exit-end$")
        with open(ini) as f:
            assert f.read() == old
    finally:
        unmount(folder)


def odd_files():
    rng = random.Random(6)
    noise = bytes(rng.randrange(256) for _ in range(4096))
    big = ("; padding line of a hand-edited file\n" * 280000).encode()
    return [
        # (name, bytes, readable, target the dialog shows, trytimes it shows)
        ("random bytes", noise, False, "", "3"),
        ("10 MB", big + b"[Vorlane]\nping=127.0.0.2\ntrytimes=4\ntryinterval=60\n", True,
         "127.0.0.2", "4"),
        ("no final newline", b"[Vorlane]\ntryinterval=60\nping=127.0.0.3\ntrytimes=7", True,
         "127.0.0.3", "7"),
        ("NUL bytes", b"[Vorlane]\nping=127.0.0.1\x00\x00\ntrytimes=5\n", False, "", "3"),
        ("UTF-16", "\ufeff[Vorlane]\r\nping=127.0.0.1\r\ntrytimes=5\r\n".encode("utf-16-le"),
         False, "", "3"),
        ("duplicated keys", b"[Vorlane]\nping=127.0.0.4\ntryinterval=60\nping=127.0.0.5\n"
         b"trytimes=2\ntrytimes=6\n[Vorlane]\ntrytimes=8\n", True, "127.0.0.5", "8"),
    ]


@case(timeout=240)
def test_odd_files_start_use_what_can_be_read_and_unreadable_ones_are_set_aside(c):
    for name, data, readable, target, trytimes in odd_files():
        for leftover in ("Vorlane.ini", "Vorlane.ini.bad"):
            if os.path.exists(os.path.join(c.folder, leftover)):
                os.remove(os.path.join(c.folder, leftover))
        with open(c.ini_path, "wb") as f:
            f.write(data)
        mark = c.trace.mark()
        app = c.start()
        dialog = settings_dialog(c, timeout=60)
        store = c.trace.wait_for("store", since=mark).fields
        assert store[0] == ("loaded" if readable else "unreadable"), (name, store)
        assert dialog.control(IDC_TARGET).text == target, (name, dialog.control(IDC_TARGET))
        assert dialog.control(IDC_TRYTIMES).text == trytimes, name
        # Nothing is written before the first save.
        with open(c.ini_path, "rb") as f:
            assert f.read() == data, name
        if not target:
            c.display.type_text("127.0.0.1")
        bar = confirm(c, since=mark)
        exit_by_menu(c, app, bar)

        bad = c.ini_path + ".bad"
        if readable:
            assert not os.path.exists(bad), name
        else:
            with open(bad, "rb") as f:
                assert f.read() == data, f"{name}: the unreadable file was not kept as it was"
        with open(c.ini_path, encoding="utf-8") as f:
            text = f.read()
        stored = parse_ini(text)
        assert stored["ping"] == (target or "127.0.0.1"), (name, stored)
        assert stored["trytimes"] == trytimes, (name, stored)
        if name == "duplicated keys":
            assert text.count("ping=") == 1 and text.count("trytimes=") == 1, text
        if name == "10 MB":
            assert text.count("; padding line") == 280000
