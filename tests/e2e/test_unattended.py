"""Running unattended: "/auto" on the stored settings, an argument that is
not understood, one copy per settings file, settings beside an exe on a
read-only medium, and the run-at-logon value in the registry."""

import os
import subprocess
import time

from bar_steps import (IDC_RUNATLOGON, IDC_SETTINGS_LOCATION, IDC_TRYTIMES, QUIET, choose,
                       exit_by_menu, settings_dialog, tab_to, wait_bar, warning_box)
from harness import BarColours, case, format_ini, parse_ini, poll, wine_env
from monitor_common import DEFAULTS, wait_frame, wait_status, windows_path
from test_faults_settings_file import copy_program, mount_tmpfs, start_from, unmount

RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
APPDATA_TAIL = "\\appdata\\roaming\\vorlane\\vorlane.ini"


def run_value(c):
    """The Run value Vorlane's text, or None when there is none."""
    result = subprocess.run(["wine", "reg", "query", RUN_KEY, "/v", "Vorlane"],
                            env=wine_env(c.prefix), capture_output=True, timeout=60)
    for line in result.stdout.decode("utf-8", errors="replace").splitlines():
        name, _, rest = line.strip().partition("REG_SZ")
        if name.strip() == "Vorlane" and rest:
            return rest.strip()
    return None


def log_fields(c):
    with open(os.path.join(c.folder, "Vorlane.log"), encoding="utf-8") as f:
        return [line.split("\t") for line in f.read().splitlines()]


def open_settings(c, bar):
    choose(c, bar, "Down", "Return")
    return settings_dialog(c)


def confirm_from_menu(c):
    mark = c.trace.mark()
    c.display.key("Return")
    c.trace.wait_for("status", "准备中", timeout=20, since=mark)


def bars(c):
    return [w for w in c.windows("Vorlane") if w.cls == "#32770" and not w.controls]


@case(timeout=90)
def test_auto_on_good_settings_shows_the_bar_without_the_dialog_and_turns_green(c):
    c.network()
    c.write_ini(DEFAULTS)
    c.start(args=["--Auto"])
    c.trace.wait_for("window", "^auto-start$", timeout=30)
    wait_status(c, "准备中")
    wait_status(c, "没掉线")
    wait_frame(c, BarColours.GREEN)
    assert not c.trace.find("window", "^settings-dialog$")
    assert [w.title for w in c.windows()] == ["Vorlane"], c.windows()
    # The event log tells of an unattended start as of any other.
    lines = log_fields(c)
    assert [l[1] for l in lines[:2]] == ["start", "settings"] and "args=/auto" in lines[0], lines


@case(timeout=90)
def test_auto_on_an_empty_target_brings_the_dialog_with_its_warning(c):
    c.write_ini(dict(QUIET, ping=""))
    app = c.start(args=["/auto"])
    settings_dialog(c)
    assert c.trace.find("window", "^auto-start-refused$")
    assert not c.trace.find("status")
    c.display.key("Return")
    assert "IP或网址不能为空！" in warning_box(c).texts()
    c.display.key("Return")
    settings_dialog(c)
    c.display.key("Escape")
    app.wait_exit(15)


@case(timeout=90)
def test_unknown_argument_is_named_in_a_message_and_then_the_dialog_comes(c):
    c.write_ini(QUIET)
    app = c.start(args=["/bogus-4711"])
    c.display.wait_window("Vorlane", timeout=30)
    box = warning_box(c)
    text = "\n".join(box.texts())
    assert "/bogus-4711" in text and "/auto" in text, text
    # Owned by nothing: it is the program's only window, before the dialog.
    assert [w.title for w in c.windows()] == ["Vorlane"], c.windows()
    c.display.wait_window("Vorlane").focus()
    c.display.key("Return")
    settings_dialog(c)
    c.display.key("Return")
    bar = wait_bar(c)
    exit_by_menu(c, app, bar)
    assert "bogus" not in c.trace.text()
    with open(c.ini_path, encoding="utf-8") as f:
        assert "bogus" not in f.read()
    # The box is kept for the log and written once its file is known; the
    # argument itself never reaches the file.
    lines = log_fields(c)
    assert [l[1] for l in lines[:3]] == ["warning", "start", "settings"], lines
    assert not any("bogus" in field for line in lines for field in line), lines


@case(timeout=120)
def test_second_start_on_one_folder_ends_and_another_folder_runs_beside(c):
    c.write_ini(QUIET)
    first = c.start(args=["/auto"])
    c.trace.wait_for("status", "准备中", timeout=30)
    wait_bar(c)
    with open(c.ini_path, "rb") as f:
        before = f.read()

    mark = c.trace.mark()
    second = c.start(args=["/auto"])
    started = time.monotonic()
    second.process.wait(15)
    print(f"second copy: launch to end {time.monotonic() - started:.2f} s (outside, with Wine)")
    c.apps.remove(second)
    assert c.trace.find("window", "^second-copy$", since=mark)
    c.trace.wait_for("window", "^come-to-front$", since=mark, timeout=10)
    assert not c.trace.find("window", "^(settings-dialog|auto-start)$", since=mark)
    assert first.exe_pid() is not None
    assert len(bars(c)) == 1, c.windows()
    with open(c.ini_path, "rb") as f:
        assert f.read() == before

    other = os.path.join(c.folder, "other")
    os.makedirs(other)
    with open(os.path.join(other, "Vorlane.ini"), "w") as f:
        f.write(format_ini(QUIET, "Vorlane"))
    mark = c.trace.mark()
    start_from(c, other, args=["/auto"])
    c.trace.wait_for("window", "^auto-start$", since=mark, timeout=30)
    poll("two bars", lambda: len(bars(c)) == 2, 15, 0.3)


@case(timeout=180)
def test_read_only_medium_auto_starts_on_its_ini_and_saves_to_appdata(c):
    c.use_private_prefix()
    folder = os.path.join(c.folder, "stick")
    mount_tmpfs(folder, "4m")
    try:
        names = copy_program(c, folder) + ["Vorlane.ini"]
        seed = "; ready-made\n[Vorlane]\n" + format_ini(dict(QUIET, trytimes=4, mine="kept"))
        with open(os.path.join(folder, "Vorlane.ini"), "w") as f:
            f.write(seed)
        subprocess.run(["mount", "-o", "remount,ro", folder], check=True, timeout=10)

        app = start_from(c, folder, args=["/auto"])
        c.trace.wait_for("window", "^auto-start$", timeout=60)
        store = [l.fields for l in c.trace.find("store")]
        assert store[0][0] == "loaded" and store[0][1].lower().endswith(APPDATA_TAIL), store
        assert store[1] == ["seed", windows_path(folder) + "\\Vorlane.ini"], store
        bar = wait_bar(c)

        dialog = open_settings(c, bar)
        location = dialog.control(IDC_SETTINGS_LOCATION)
        assert location.visible and location.text == "设定保存在：" + store[0][1], location
        assert dialog.control(IDC_TRYTIMES).text == "4"
        tab_to(c, IDC_TRYTIMES)
        c.display.type_text("7")
        confirm_from_menu(c)
        exit_by_menu(c, app, bar)
        assert sorted(os.listdir(folder)) == sorted(names)

        found = [os.path.join(root, "Vorlane.ini") for root, _, files in os.walk(
            os.path.join(c.private_prefix, "drive_c", "users")) if "Vorlane.ini" in files]
        assert len(found) == 1, found
        with open(found[0], encoding="utf-8") as f:
            text = f.read()
        assert text.startswith("; ready-made\n"), text
        stored = parse_ini(text)
        assert stored["trytimes"] == "7" and stored["mine"] == "kept", stored

        mark = c.trace.mark()
        start_from(c, folder, args=["/auto"])
        c.trace.wait_for("window", "^auto-start$", since=mark, timeout=30)
        store = [l.fields for l in c.trace.find("store", since=mark)]
        assert len(store) == 1 and store[0][0] == "loaded", store
        assert store[0][1].lower().endswith(APPDATA_TAIL), store
    finally:
        unmount(folder)


@case(timeout=150)
def test_logon_box_writes_and_removes_the_run_value_and_leaves_another_alone(c):
    c.write_ini(QUIET)
    app = c.start()
    dialog = settings_dialog(c)
    assert dialog.control(IDC_RUNATLOGON).checked is False
    assert not dialog.control(IDC_SETTINGS_LOCATION).visible
    tab_to(c, IDC_RUNATLOGON)
    c.display.key("space")
    c.display.key("Return")
    c.trace.wait_for("status", "准备中", timeout=20)
    bar = wait_bar(c)
    exe = windows_path(os.path.join(c.folder, c.exe_name))
    value = run_value(c)
    assert value is not None and value.lower() == f'"{exe}" /auto'.lower(), value

    # Ticked on opening because the value names this exe; unticked, it goes.
    dialog = open_settings(c, bar)
    assert dialog.control(IDC_RUNATLOGON).checked is True
    tab_to(c, IDC_RUNATLOGON)
    c.display.key("space")
    confirm_from_menu(c)
    assert run_value(c) is None

    other = r'"C:\Other Place\Vorlane.exe" /auto'
    subprocess.run(["wine", "reg", "add", RUN_KEY, "/v", "Vorlane", "/t", "REG_SZ", "/d", other,
                    "/f"], env=wine_env(c.prefix), check=True, capture_output=True, timeout=60)
    dialog = open_settings(c, bar)
    assert dialog.control(IDC_RUNATLOGON).checked is False
    confirm_from_menu(c)
    assert run_value(c) == other
    exit_by_menu(c, app, bar)
