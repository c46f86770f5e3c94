"""The alarm's command line when it misbehaves: one that never ends, one full
of characters that cmd.exe gives a meaning to, and one that does not exist.
The drop comes from a target name that nothing resolves, inside the case's
own network namespace: it counts as unanswered and sends nothing."""

import os
import time

from harness import case, poll
from monitor_common import DEFAULTS, bar_window, confirm_settings, open_menu, start_monitoring, \
    texts, wait_status, windows_path

DROP = {"ping": "nohost.invalid", "trytimes": 1, "tryinterval": 1, "djs": 0, "bwav": 0}


def restart_monitoring(c, **settings):
    """Another run in the namespace start_monitoring made; returns the app
    and the trace mark of the run."""
    values = dict(DEFAULTS)
    values.update(settings)
    c.write_ini(values, section="Vorlane")
    mark = c.trace.mark()
    app = c.start(wait_dialog=True)
    confirm_settings(c, since=mark)
    return app, mark


def after_command(c, since):
    shown = texts(c, since)
    return shown[shown.index("执行命令行..."):] if "执行命令行..." in shown else []


@case(timeout=120)
def test_command_that_never_ends_leaves_the_bar_responsive_and_exit_fast(c):
    # Echoes on loopback, one a second, far longer than the case runs.
    app, _ = start_monitoring(c, cmduser="ping -n 100000 127.0.0.1", **DROP)
    wait_status(c, "^执行命令行...$", timeout=20)
    bar = bar_window(c)
    before = bar.geometry()
    start = (before.x + 10, before.y + 10)
    c.display.drag(start, (start[0] - 300, start[1] + 200))
    moved = poll("the bar to follow the drag", lambda: bar.geometry() != before and
                 bar.geometry(), 5)
    assert (moved.x, moved.y) == (before.x - 300, before.y + 200), moved
    open_menu(c)
    c.display.key("Up", "Return")
    app.wait_exit(10)
    command = c.trace.find("window", "^exit-command$")[-1]
    end = c.trace.find("window", "^exit-end$")[-1]
    print(f"exit while the command runs: {end.ms - command.ms} ms in the program")
    # Until Exit the command was still running, and its text stayed up.
    lines = c.trace.lines()
    until = next(i for i, l in enumerate(lines) if l.kind == "window" and
                 l.detail == "exit-command")
    before_exit = [l.detail.partition("\t")[2] for l in lines[:until] if l.kind == "status"]
    assert before_exit[-1] == "执行命令行...", before_exit


@case(timeout=150)
def test_command_with_special_characters_runs_as_cmd_c_and_a_missing_one_ends_as_usual(c):
    first = os.path.join(c.folder, "标记 1.txt")
    second = os.path.join(c.folder, "标记 2 ü.txt")
    command = (f'echo "q&a" 100%> "{windows_path(first)}" & '
               f'echo two> "{windows_path(second)}"')
    app, _ = start_monitoring(c, cmduser=command, **DROP)
    wait_status(c, "^停止！$", timeout=30)
    assert c.trace.find("run")[-1].detail == f'cmd.exe /c "{command}"'
    assert after_command(c, 0) == ["执行命令行...", "停止！"], texts(c)
    # The quotes, the & between two commands and the % mean what they mean
    # to cmd.exe; the non-ASCII names reach the file system.
    with open(first, "rb") as f:
        written = f.read()
    assert written.rstrip() == b'"q&a" 100%', written
    with open(second, "rb") as f:
        written = f.read()
    assert written.rstrip() == b"two", written
    app.stop()

    app, mark = restart_monitoring(c, cmduser="no_such_program_at_all.exe /x", **DROP)
    wait_status(c, "^停止！$", timeout=30, since=mark)
    assert c.trace.find("run", since=mark)[-1].detail == \
        'cmd.exe /c "no_such_program_at_all.exe /x"'
    assert after_command(c, mark) == ["执行命令行...", "停止！"], texts(c, mark)
    time.sleep(0.5)
    assert app.exe_pid() is not None
