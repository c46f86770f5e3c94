"""The settings dialog at start-up: filled from the store, its refusals,
what a confirmation stores and what Cancel leaves alone."""

from bar_steps import (DIALOG_KEYS, IDC_ARMFIRST, IDC_COMMAND, IDC_COMMAND_UP, IDC_COUNTDOWN,
                       IDC_KEEPLOG, IDC_SHUTDOWN, IDC_SOUND, IDC_TARGET, IDC_TIMEOUT,
                       IDC_TRYINTERVAL, IDC_TRYTIMES, IDCANCEL, TAB_ORDER, exit_by_menu,
                       settings_dialog, tab_to, warning_box)
from harness import case


@case(timeout=60)
def test_dialog_comes_first_filled_from_store(c):
    stored = {"ping": "Example.Test", "trytimes": 4, "tryinterval": 7, "djs": 9,
              "cmduser": "cmd /c echo 你好", "bwav": 0, "bshutdown": 1, "custom": "kept"}
    c.write_ini(stored)
    c.start()
    dialog = settings_dialog(c)
    # Nothing else of the program is on screen before the dialog.
    assert [w.title for w in c.windows()] == ["设定"], c.windows()
    assert [l.detail for l in c.trace.find("window", "^(settings-dialog|bar-shown)$")] == \
        ["settings-dialog"]
    assert not c.trace.find("status")
    assert dialog.control(IDC_TARGET).text == "Example.Test"
    assert dialog.control(IDC_TRYTIMES).text == "4"
    assert dialog.control(IDC_TRYINTERVAL).text == "7"
    assert dialog.control(IDC_COUNTDOWN).text == "9"
    assert dialog.control(IDC_COMMAND).text == "cmd /c echo 你好"
    assert dialog.control(IDC_SOUND).checked is False
    assert dialog.control(IDC_SHUTDOWN).checked is True
    assert dialog.focus_id == IDC_TARGET


@case(timeout=60)
def test_cancel_at_startup_ends_program_and_stores_none_of_its_keys(c):
    app = c.start()
    settings_dialog(c)
    c.display.type_text("127.0.0.1")
    tab_to(c, IDC_TRYTIMES)
    c.display.type_text("8")
    # Cancel by its button (Tab from the count box to Cancel, then Space).
    c.display.key(*["Tab"] * (TAB_ORDER.index(IDCANCEL) - TAB_ORDER.index(IDC_TRYTIMES)), "space")
    app.wait_exit(15)
    stored = c.read_ini()
    assert not set(DIALOG_KEYS) & set(stored), stored
    # The bar's position is saved all the same: where it would have stood,
    # though it was never laid out before the dialog.
    placed = c.trace.find("window", r"^placed\t")
    assert len(placed) == 1, placed
    x, y = placed[0].detail.split("\t")[1].split(",")
    assert (stored.get("posleft"), stored.get("postop")) == (x, y), stored
    assert not c.trace.find("status")


@case(timeout=90)
def test_refusals_show_their_warning_move_the_focus_and_store_nothing(c):
    app = c.start()
    settings_dialog(c)

    def refused(keys_before, text, focus):
        c.display.key("Return")
        box = warning_box(c)
        assert text in box.texts(), box.texts()
        # One warning per press.
        assert len([w for w in c.windows("Vorlane") if w.cls == "#32770" and w.controls]) == 1
        c.display.key("Return")
        c.display.wait_window("设定").focus()
        after = c.wait_windows("设定", where=lambda w: w.focus_id is not None)
        assert after.focus_id == focus, after.focus_id
        assert c.read_ini() == keys_before

    before = c.read_ini()
    # An empty target together with an interval of 0: only the target's warning.
    tab_to(c, IDC_TRYINTERVAL)
    c.display.type_text("0")
    refused(before, "IP或网址不能为空！", IDC_TARGET)
    # A host name without a full stop is refused the same way.
    c.display.type_text("gateway")
    refused(before, "IP或网址不能为空！", IDC_TARGET)
    # Now the interval of 0.
    c.display.key("ctrl+a")
    c.display.type_text("127.0.0.1")
    refused(before, "检测间隔时间不能小于1秒！", IDC_TRYINTERVAL)
    # An empty interval box is refused too.
    c.display.key("BackSpace")
    refused(before, "检测间隔时间不能小于1秒！", IDC_TRYINTERVAL)
    # Cancel after refusals still stores none of the dialog's keys.
    c.display.key("Escape")
    app.wait_exit(15)
    assert not set(DIALOG_KEYS) & set(c.read_ini())


@case(timeout=120)
def test_confirmed_values_are_stored_and_found_again_at_next_start(c):
    app = c.start()
    settings_dialog(c)
    # Target as typed (capitals kept); loopback, so the probes stay local.
    c.display.type_text("http://127.0.0.2/Vorlane")
    tab_to(c, IDC_TRYTIMES)
    c.display.type_text("0")            # count 0 is stored as 1
    tab_to(c, IDC_TRYINTERVAL, start=IDC_TRYTIMES)
    c.display.type_text("2")
    tab_to(c, IDC_ARMFIRST, start=IDC_TRYINTERVAL)
    c.display.key("space")              # count only after an answer; time-out kept
    tab_to(c, IDC_COMMAND, start=IDC_ARMFIRST)
    c.display.type_text("cmd /c echo ok")
    c.display.key("Tab", "space")       # sound: ticked by default, now clear
    c.display.key("Tab", "BackSpace")   # empty countdown is stored as 0
    c.display.key("Tab", "space")       # shutdown: tick it
    c.display.key("Tab", "Tab", "Tab")  # to the recovery command
    c.display.type_text("cmd /c echo up")
    c.display.key("Tab", "space")       # log: on by default, now off
    c.display.key("shift+Tab")          # back to the recovery command
    c.display.key("Return")             # Enter in an edit box confirms
    bar = confirm_startup_done(c)
    stored = c.read_ini()
    assert {k: stored.get(k) for k in DIALOG_KEYS} == {
        "ping": "http://127.0.0.2/Vorlane", "trytimes": "1", "tryinterval": "2", "djs": "0",
        "cmduser": "cmd /c echo ok", "bwav": "0", "bshutdown": "1", "timeout": "1000",
        "armfirst": "1", "cancelonup": "0", "rearm": "0", "cmdup": "cmd /c echo up",
        "log": "0"}, stored
    exit_by_menu(c, app, bar)

    c.start()
    dialog = settings_dialog(c)
    assert dialog.control(IDC_TARGET).text == "http://127.0.0.2/Vorlane"
    assert dialog.control(IDC_TRYTIMES).text == "1"
    assert dialog.control(IDC_TRYINTERVAL).text == "2"
    assert dialog.control(IDC_COUNTDOWN).text == "0"
    assert dialog.control(IDC_COMMAND).text == "cmd /c echo ok"
    assert dialog.control(IDC_SOUND).checked is False
    assert dialog.control(IDC_SHUTDOWN).checked is True
    assert dialog.control(IDC_TIMEOUT).text == "1000"
    assert dialog.control(IDC_ARMFIRST).checked is True
    assert dialog.control(IDC_COMMAND_UP).text == "cmd /c echo up"
    assert dialog.control(IDC_KEEPLOG).checked is False


def confirm_startup_done(c):
    c.trace.wait_for("status", "准备中", timeout=20)
    return c.display.wait_window("Vorlane")

