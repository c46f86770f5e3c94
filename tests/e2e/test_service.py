"""Vorlane as a Windows service: /install and /uninstall, the service's
probes, command line, settings reload and stop, the Event Log calls, and
the desktop program as a view of the service. Each case runs its prefix's
wineserver, and so the service, inside its own network namespace
(service_steps.prepare)."""

import os

from bar_steps import IDC_SERVICE, choose, settings_dialog, tab_to
from harness import BarColours, case, parse_ini, poll
from monitor_common import wait_frame, wait_status, windows_path
from service_steps import (EVENT_SOURCE_KEY, SERVICE_KEY, data_folder, install, installed_exe,
                           prepare, registry_values, service_log, service_state, service_statuses,
                           setup, wait_logged, wait_service_status, wait_state, wine,
                           wine_eventlog_lines)
from window_messages import (ENDSESSION_LOGOFF, PBT_APMRESUMEAUTOMATIC, PBT_APMSUSPEND,
                             WM_ENDSESSION, WM_POWERBROADCAST, WM_QUERYENDSESSION)

SETTINGS = {"ping": "127.0.0.1", "trytimes": 2, "tryinterval": 1, "djs": 2, "bwav": 1,
            "cmduser": ""}


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


@case(timeout=150)
def test_install_registers_the_installed_copy_which_runs_and_probes(c):
    prepare(c)
    install(c, SETTINGS)
    before = read_bytes(c.ini_path)
    assert service_state(c) == "RUNNING"
    service = registry_values(c, SERVICE_KEY)
    assert service["ImagePath"].endswith(r'\Vorlane\Vorlane.exe" /service'), service
    assert service["Start"] == 2 and service["ObjectName"] == "LocalSystem", service
    assert service["DisplayName"] == "Vorlane 网络监测", service
    exe = installed_exe(c)
    assert read_bytes(exe) == read_bytes(os.path.join(c.folder, c.exe_name))
    assert os.path.isfile(os.path.join(os.path.dirname(exe), "alert.wav"))
    source = registry_values(c, EVENT_SOURCE_KEY)
    assert source["EventMessageFile"].endswith(r"\Vorlane\Vorlane.exe"), source
    assert source["TypesSupported"] == 7, source
    # The descriptor set on each folder and the settings, as read back: Wine
    # keeps none on files and reports its user and the Unix mode instead.
    described = [l.detail.split("\t")[1] for l in c.trace.find("setup", "^descriptor\t")]
    assert any(p.endswith("\\ProgramData\\Vorlane") for p in described), described
    assert any(p.endswith("\\Vorlane\\Vorlane.ini") for p in described), described

    # The service probes on the installed copy of the settings, without
    # sound, and logs beside them; the file it came from is unchanged.
    wait_service_status(c, "没掉线")
    log = service_log(c)
    assert [l[0] for l in log[:2]] == ["start", "settings"], log
    assert log[0][1]["args"] == "/service", log
    assert log[0][1]["settings"].endswith("\\\\ProgramData\\\\Vorlane\\\\Vorlane.ini"), log
    assert log[1][1]["bwav"] == "0", log
    assert read_bytes(os.path.join(data_folder(c), "Vorlane.ini")) == before
    assert read_bytes(c.ini_path) == before
    # Sleep and wake hold its watch as on the desktop; a user's log-off
    # leaves it running.
    service_windows = r"\Vorlane\Vorlane.exe"
    assert c.send_message(WM_POWERBROADCAST, PBT_APMSUSPEND, image=service_windows)
    wait_logged(c, "suspend")
    c.send_message(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, image=service_windows)
    wait_logged(c, "resume")
    c.send_message(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, image=service_windows)
    c.send_message(WM_ENDSESSION, 1, ENDSESSION_LOGOFF, image=service_windows)
    mark = c.trace.mark()
    wait_service_status(c, "没掉线", since=mark)
    assert service_state(c) == "RUNNING"
    # Installing again changes nothing but restarts the service.
    assert setup(c, "/install", "/quiet") == 0
    wait_state(c, "RUNNING")
    assert read_bytes(c.ini_path) == before


@case(timeout=150)
def test_install_with_a_missing_or_failing_settings_file_registers_nothing(c):
    prepare(c)
    assert setup(c, "/install", "/quiet") == 3
    c.write_ini(dict(SETTINGS, ping=""))
    assert setup(c, "/install", "/quiet") == 4
    c.write_ini(dict(SETTINGS, trytimes="three"))
    assert setup(c, "/install", "/quiet") == 4
    assert service_state(c) is None
    assert registry_values(c, SERVICE_KEY) is None
    assert registry_values(c, EVENT_SOURCE_KEY) is None
    assert not os.path.exists(os.path.join(data_folder(c), "Vorlane.ini"))
    outcomes = [l.detail.split("\t")[1] for l in c.trace.find("setup", "^install\t")]
    assert outcomes == ["3", "4", "4"], outcomes
    assert "trytimes" in c.trace.find("setup", "^install\t")[-1].detail
    # Nothing to stop or remove: still done.
    assert setup(c, "/uninstall", "/quiet") == 0
    assert setup(c, "/install", "/uninstall", "/quiet") == 2


@case(timeout=180)
def test_a_silent_target_runs_the_command_from_the_service_and_the_event_log_has_it(c):
    ns = prepare(c)
    marker = os.path.join(c.folder, "marker.txt")
    install(c, dict(SETTINGS, cmduser=f"echo done> {windows_path(marker)}"))
    wait_service_status(c, "没掉线")
    ns.answers(False)
    poll("the command's marker file", lambda: os.path.isfile(marker), 60, 0.2)
    ran = wait_logged(c, "ran")
    assert ran[1]["code"] == "0", ran
    events = [l[0] for l in service_log(c)]
    drop = events.index("drop")
    assert events[drop:drop + 4] == ["drop", "countdown", "run", "ran"], events
    # One report per line, each with its ID and level; Wine traces each
    # call with its text on its eventlog channel (warn for a warning).
    reported = [l.detail for l in c.trace.find("eventlog")]
    assert "6\twarning\treported" in reported and "9\twarning\treported" in reported, reported
    assert "1\tinformation\treported" in reported, reported
    wine_calls = wine_eventlog_lines(c)
    assert ("warn", 'L"limit=2"') in wine_calls, wine_calls
    assert any(level == "warn" and "command=cmd.exe /c" in text for level, text in wine_calls)
    assert "没掉线，OK！" in [s[1] for s in service_statuses(c)]
    assert ("red", "连续掉线：2") in service_statuses(c)


@case(timeout=180)
def test_a_changed_settings_file_is_used_at_once_and_a_failing_one_ignored(c):
    prepare(c)
    install(c, SETTINGS)
    settings = os.path.join(data_folder(c), "Vorlane.ini")
    with open(settings, "w", encoding="utf-8") as f:
        f.write("[Vorlane]\nping=127.0.0.3\ntrytimes=2\ntryinterval=1\ndjs=2\n")
    changed = wait_logged(c, "settings", ping="127.0.0.3")
    assert changed[1]["trytimes"] == "2", changed
    c.trace.wait_for("target", "^0\t127.0.0.3$", timeout=20)
    with open(settings, "w", encoding="utf-8") as f:
        f.write("[Vorlane]\nping=\n")
    warning = wait_logged(c, "warning")
    assert "IP或网址不能为空！" in warning[1]["text"], warning
    # Still watching, on the last good settings.
    mark = c.trace.mark()
    wait_service_status(c, "没掉线", since=mark)
    assert service_state(c) == "RUNNING"
    assert [l[1]["ping"] for l in service_log(c) if l[0] == "settings"] == ["127.0.0.1",
                                                                             "127.0.0.3"]


@case(timeout=180)
def test_stop_cancels_a_countdown_and_uninstall_removes_all_but_settings_and_log(c):
    ns = prepare(c)
    marker = os.path.join(c.folder, "marker.txt")
    install(c, dict(SETTINGS, djs=60, cmduser=f"echo done> {windows_path(marker)}"))
    before = read_bytes(c.ini_path)
    exe = installed_exe(c)
    wait_service_status(c, "没掉线")
    ns.answers(False)
    wait_logged(c, "countdown", seconds="60")
    wait_service_status(c, "倒数关机")
    assert setup(c, "/uninstall", "/quiet") == 0
    events = service_log(c)
    assert ("cancel", {"by": "service-stop"}) in events, events
    assert events[-1] == ("exit", {"reason": "service-stop"}), events
    assert "run" not in [l[0] for l in events] and not os.path.exists(marker)
    assert service_state(c) is None
    assert registry_values(c, EVENT_SOURCE_KEY) is None
    assert not os.path.exists(exe) and not os.path.exists(os.path.dirname(exe))
    assert os.path.isfile(os.path.join(data_folder(c), "Vorlane.ini"))
    assert os.path.isfile(os.path.join(data_folder(c), "Vorlane.log"))
    assert read_bytes(c.ini_path) == before
    assert setup(c, "/uninstall", "/quiet") == 0


@case(timeout=180)
def test_the_desktop_program_becomes_a_view_that_follows_the_service(c):
    ns = prepare(c)
    # No drop: the bar follows the misses, and the service watches on.
    install(c, dict(SETTINGS, trytimes=100))
    app = c.start()
    c.trace.wait_for("view", "^connected$", timeout=30)
    wait_status(c, "没掉线")
    wait_frame(c, BarColours.GREEN)
    # No dialog and no second watcher: the view starts no monitor and
    # keeps no log; the service's process is the only other one.
    assert not c.trace.find("window", "^settings-dialog$")
    assert not c.trace.find("start", "^monitor-made$")
    assert not os.path.exists(os.path.join(c.folder, "Vorlane.log"))
    ns.answers(False)
    wait_status(c, "连续掉线：2")
    wait_frame(c, BarColours.RED)
    ns.answers(True)
    wait_status(c, "没掉线", since=c.trace.mark())

    # The service stops: the view says so and waits for it.
    mark = c.trace.mark()
    wine(c, "sc", "stop", "Vorlane")
    wait_status(c, "服务未运行", since=mark)
    wait_frame(c, BarColours.RED)
    assert app.running()
    choose(c, c.display.wait_window("Vorlane"), "Up", "Return")
    c.trace.wait_for("view", "^end$", timeout=15)


@case(timeout=200)
def test_the_dialogs_service_box_installs_and_the_program_turns_into_the_view(c):
    prepare(c)
    c.write_ini(SETTINGS)
    c.start(wait_dialog=True)
    dialog = settings_dialog(c)
    assert dialog.control(IDC_SERVICE).checked is False
    tab_to(c, IDC_SERVICE)
    c.display.key("space")
    c.display.key("Return")
    c.trace.wait_for("setup", "^install\t0\t", timeout=60)
    assert service_state(c) == "RUNNING"
    c.trace.wait_for("view", "^connected$", timeout=30)
    wait_status(c, "没掉线", since=c.trace.mark())
    # The service's settings are the ones confirmed (the desktop's file has
    # the bar's place besides, saved as it turned into the view); the box
    # shows what the system holds, in the view's dialog too.
    with open(os.path.join(data_folder(c), "Vorlane.ini"), encoding="utf-8") as f:
        installed = parse_ini(f.read())
    desktop = {k: v for k, v in c.read_ini().items() if k not in ("posleft", "postop")}
    assert installed == desktop, (installed, desktop)
    choose(c, c.display.wait_window("Vorlane"), "Down", "Return")
    assert settings_dialog(c).control(IDC_SERVICE).checked is True
