"""Every setting of the dialog set in the real dialog, confirmed with OK,
and found again in the settings file, in the log's "settings" event and in
the dialog at the next start. The keys, their controls and a value other
than the default for each come from the table of settings itself, printed
by the native tool settings_table (built from the same portable source), so
a new key is tried here without a line written for it."""

import json
import os
import subprocess

from bar_steps import exit_program, settings_dialog
from harness import case, poll
from monitor_common import confirm_settings
from test_event_log import log_lines, log_path

# The key whose sample (off) stops the log: set in a second confirmation,
# once the first one's "settings" event has been read.
LOG_KEY = "log"


def dialog_rows():
    """The table's rows that have a control in the dialog, in table order."""
    out = subprocess.run([os.environ["VORLANE_SETTINGS_TABLE"]], capture_output=True,
                         check=True, timeout=30).stdout
    return [row for row in json.loads(out) if row["control"] is not None]


def set_in_dialog(c, rows):
    """Sets the control of each row to the row's sample as a person would,
    walking the dialog's tab stops once from the focus: typing over an edit
    box's text (reaching it selects the text), Space on a tick box that is
    not yet as wanted, Home and Down to a drop-down list's entry."""
    wanted = {row["control"]: row for row in rows}
    left = set(wanted)
    passed = []
    dialog = c.wait_windows("设定", where=lambda w: w.focus_id is not None)
    while left:
        focus = dialog.focus_id
        assert focus not in passed, f"the tab stops went round without reaching {sorted(left)}"
        passed.append(focus)
        row = wanted.get(focus)
        if row is not None:
            if row["kind"] == "flag":
                if dialog.control(focus).checked != (row["sample"] == "1"):
                    c.display.key("space")
            elif row["kind"] == "choice":
                c.display.key("Home", *["Down"] * row["sample_index"])
            else:
                c.display.type_text(row["sample"])
            left.discard(focus)
        if left:
            c.display.key("Tab")
            dialog = c.wait_windows("设定", where=lambda w: w.focus_id not in (None, focus))


def settings_events(c):
    return [fields for event, fields in log_lines(c) if event == "settings"]


@case(timeout=240)
def test_every_key_set_in_the_dialog_is_stored_logged_and_shown_again(c):
    rows = dialog_rows()
    first = [row for row in rows if row["key"] != LOG_KEY]
    assert len(first) == len(rows) - 1, [row["key"] for row in rows]
    c.network()

    mark = c.trace.mark()
    app = c.start()
    settings_dialog(c)
    set_in_dialog(c, first)
    confirm_settings(c, since=mark)
    stored = c.read_ini()
    expected = {row["key"]: row["sample"] for row in first}
    assert {key: stored.get(key) for key in expected} == expected, stored
    assert stored.get(LOG_KEY) == "1", stored
    events = poll("the log's settings event", lambda: os.path.exists(log_path(c)) and
                  settings_events(c), 10, 0.2)
    logged = [(row["key"], row["sample"] if row["key"] != LOG_KEY else "1")
              for row in rows if row["logged"]]
    assert list(events[-1].items()) == logged, events[-1]
    exit_program(c, app)

    # The next start shows each value; then the log's own key is set too.
    mark = c.trace.mark()
    app = c.start()
    dialog = settings_dialog(c)
    for row in first:
        control = dialog.control(row["control"])
        if row["kind"] == "flag":
            assert control.checked is (row["sample"] == "1"), (row["key"], control)
        elif row["kind"] == "choice":
            assert control.text == row["sample_shown"], (row["key"], control)
        else:
            assert control.text == row["sample"], (row["key"], control)
    set_in_dialog(c, [row for row in rows if row["key"] == LOG_KEY])
    confirm_settings(c, since=mark)
    stored = c.read_ini()
    expected = {row["key"]: row["sample"] for row in rows}
    assert {key: stored.get(key) for key in expected} == expected, stored
    exit_program(c, app)
