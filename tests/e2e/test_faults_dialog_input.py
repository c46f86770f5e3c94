"""The settings dialog fed with odd input: very long, Chinese, emoji and
control-character texts, and numbers that atoi reads in its own way. The
program must not crash and must store exactly what the checks make of them.

The number boxes take only digits from the keyboard, so the other number
texts reach them the way a hand-edited settings file does: through the
store, which fills the boxes with its texts unchanged. Every case runs in a
network namespace of its own (only lo up, names resolved by nothing), since
a confirmed target that is a host name is looked up at once."""

from bar_steps import (DIALOG_KEYS, IDC_COMMAND, IDC_COUNTDOWN, IDC_TARGET, IDC_TRYINTERVAL,
                       IDC_TRYTIMES, LATER_KEY_DEFAULTS, exit_by_menu, settings_dialog, tab_to,
                       wait_bar, warning_box)
from harness import case
from monitor_common import confirm_settings

# The longest name a target may have (253 characters, labels of 63 at most),
# and an internationalised one; neither resolves, so OK asks and the case
# answers Yes.
LONG_TARGET = ".".join(["a" * 63] * 3) + "." + "b" * 51 + ".localhost"
WIDE_TARGET = "中文.例子"
# Control characters, Chinese and emoji in one command line; the settings
# file holds it in its quoted, escaped form.
ODD_COMMAND = "echo 你好😀\x01\x1f\x7f\tend"
ODD_COMMAND_INI = '"echo 你好😀\\x01\\x1F\\x7F\\tend"'


def isolate(c):
    c.network()


def write_settings(c, **values):
    base = {"ping": "127.0.0.1", "trytimes": "3", "tryinterval": "60", "djs": "60",
            "cmduser": "", "bwav": "0", "bshutdown": "0"}
    base.update(values)
    c.write_ini("[Vorlane]\n" + "".join(f"{k}={v}\n" for k, v in base.items()))


def run_dialog(c, type_into=None):
    """Starts the program, lets `type_into` fill boxes, confirms; returns
    the app, the dialog as it was before the confirmation, and the bar."""
    mark = c.trace.mark()
    app = c.start()
    dialog = settings_dialog(c, timeout=60)
    if type_into:
        type_into()
        dialog = c.wait_windows("设定")
    confirm_settings(c, since=mark)
    return app, dialog, wait_bar(c)


def unquote(value):
    """A value as the settings file's quoted form decodes it."""
    if value is None or len(value) < 2 or value[0] != '"' or value[-1] != '"':
        return value
    out, i, inner = [], 0, value[1:-1]
    while i < len(inner):
        if inner[i] == "\\":
            code = inner[i + 1]
            if code == "x":
                out.append(chr(int(inner[i + 2:i + 4], 16)))
                i += 4
                continue
            out.append({"t": "\t", "r": "\r", "n": "\n"}.get(code, code))
            i += 2
        else:
            out.append(inner[i])
            i += 1
    return "".join(out)


def stored(c):
    values = c.read_ini()
    return {k: unquote(values.get(k)) for k in DIALOG_KEYS}


@case(timeout=240)
def test_odd_texts_and_numbers_are_stored_as_the_checks_make_them(c):
    isolate(c)

    # A 10,000-character target, and a count typed beyond the int range.
    write_settings(c, ping=LONG_TARGET, tryinterval='" 7x"', djs="+3")

    def type_count():
        tab_to(c, IDC_TRYTIMES)
        c.display.type_text("99999999999")

    app, dialog, bar = run_dialog(c, type_count)
    assert dialog.control(IDC_TRYTIMES).text == "99999999999"
    assert dialog.control(IDC_TRYINTERVAL).text == " 7x"
    got = stored(c)
    assert got["ping"] == LONG_TARGET, len(got["ping"] or "")
    assert (got["trytimes"], got["tryinterval"], got["djs"]) == ("2147483647", "7", "3"), got
    exit_by_menu(c, app, bar)

    # Chinese and emoji, control characters, numbers below their limits.
    write_settings(c, ping=WIDE_TARGET, cmduser=ODD_COMMAND_INI, trytimes="-5", djs="-5",
                   tryinterval="+0003")
    app, dialog, bar = run_dialog(c)
    assert dialog.control(IDC_TARGET).text == WIDE_TARGET
    assert dialog.control(IDC_COMMAND).text == ODD_COMMAND
    got = stored(c)
    assert got == {"ping": WIDE_TARGET, "trytimes": "1", "tryinterval": "3", "djs": "0",
                   "cmduser": ODD_COMMAND, "bwav": "0", "bshutdown": "0",
                   **LATER_KEY_DEFAULTS}, got
    # The quoted form is what went to disk, not raw control characters.
    with open(c.ini_path, encoding="utf-8") as f:
        text = f.read()
    assert "\x01" not in text and "\x7f" not in text
    exit_by_menu(c, app, bar)

    # "-5" as the interval is refused, and nothing is stored.
    write_settings(c, tryinterval="-5")
    with open(c.ini_path, encoding="utf-8") as f:
        before = f.read()
    app = c.start()
    settings_dialog(c, timeout=60)
    c.display.key("Return")
    box = warning_box(c)
    assert "检测间隔时间不能小于1秒！" in box.texts(), box.texts()
    c.display.key("Return")
    dialog = c.wait_windows("设定", where=lambda w: w.focus_id is not None)
    assert dialog.focus_id == IDC_TRYINTERVAL
    assert dialog.control(IDC_COUNTDOWN).text == "60"
    c.display.key("Escape")
    app.wait_exit(15)
    with open(c.ini_path, encoding="utf-8") as f:
        after = f.read()
    # Only the position, which Cancel saves, has been added.
    assert [l for l in after.splitlines() if not l.startswith(("posleft=", "postop="))] == \
        before.splitlines(), after
