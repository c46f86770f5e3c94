"""The notification-area icon under Wine. Without a desktop's tray, Wine's
own shell shows the icons in a small window of its own, "Wine System Tray"
(Shell_NotifyIcon answers TRUE): the icon's colour is read there and it is
clicked there. The calls the program makes and their results are read from
the trace ("tray"); notifications are not shown by Wine and are checked in
it only."""

import os

from bar_steps import exit_program, icon_point
from harness import BarColours, case, near, poll
from monitor_common import start_monitoring, wait_status, windows_path


def tray(c, since=0):
    return [l.detail for l in c.trace.find("tray", since=since)]


def bar_visible(c):
    return bool(c.display.find_windows("^Vorlane$"))


def icon_is(c, colour):
    return near(c.display.pixel(*icon_point(c)), colour, 6)


@case(timeout=150)
def test_icon_without_bar_still_acts_and_clicks_show_and_hide_the_bar(c):
    marker = os.path.join(c.folder, "marker.txt")
    app, ns = start_monitoring(c, trytimes=2, tryinterval=1, djs=1, tray=1, bar=0,
                               cmduser=f"echo done> {windows_path(marker)}")
    wait_status(c, "没掉线")
    assert c.trace.find("tray", "^add\t1$"), tray(c)
    # Told to the icon right after the bar shows it.
    c.trace.wait_for("tray", "^modify\t1\tgreen\t目标：127.0.0.1$", timeout=5)
    assert not bar_visible(c)
    poll("a green icon", lambda: icon_is(c, BarColours.GREEN), 10)

    ns.answers(False)
    wait_status(c, "^停止！$", timeout=40)
    assert os.path.isfile(marker)
    assert c.trace.find("tray", "^modify\t1\tred\t"), tray(c)
    assert c.trace.find("tray", "^info\t1\tVorlane: 连续掉线 2 次，1 秒后执行命令$"), tray(c)
    assert not bar_visible(c)
    poll("a red icon", lambda: icon_is(c, BarColours.RED), 10)

    # A left click shows the bar, another hides it again.
    c.display.click(*icon_point(c))
    poll("the bar", lambda: bar_visible(c), 10)
    c.display.click(*icon_point(c))
    poll("the bar hidden", lambda: not bar_visible(c), 10)

    # A right click opens the bar's menu; its last item ends the program,
    # which takes the icon away.
    exit_program(c, app)
    assert c.trace.find("tray", "^click\tright$"), tray(c)
    assert tray(c)[-1] == "delete\t1", tray(c)


@case(timeout=120)
def test_recovery_after_a_drop_is_notified_and_explorer_restarting_brings_the_icon_back(c):
    app, ns = start_monitoring(c, trytimes=2, tryinterval=1, djs=30, cancelonup=1, tray=1)
    wait_status(c, "没掉线")
    assert bar_visible(c)
    ns.answers(False)
    c.trace.wait_for("tray", "^info\t1\tVorlane: 连续掉线 2 次，30 秒后执行命令$", timeout=30)
    ns.answers(True)
    c.trace.wait_for("tray", "^info\t1\tVorlane: 目标已恢复应答$", timeout=30)

    mark = c.trace.mark()
    taskbar_created = int(c.trace.find("tray", "^registered\t")[0].detail.split("\t")[1])
    c.send_message(taskbar_created)
    c.trace.wait_for("tray", "^add\t1$", since=mark)


@case(timeout=60)
def test_bar_off_without_the_icon_is_refused(c):
    c.write_ini({"ping": "127.0.0.1", "tryinterval": 60, "bwav": 0, "bar": 0, "tray": 0})
    app = c.start(wait_dialog=True)
    c.display.wait_window("设定").focus()
    c.display.key("Return")
    box = c.wait_windows("Vorlane", 10, where=lambda w: w.cls == "#32770")
    assert "不显示状态条时，必须在通知区域显示图标，否则程序在屏幕上无处可见。" in box.texts(), box.texts()
    assert "bar" not in c.read_ini() or c.read_ini()["bar"] == "0"
    assert not c.trace.find("status")
    app.stop()
