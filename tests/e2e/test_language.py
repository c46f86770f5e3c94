"""Both languages: under an English user interface the dialog, the bar and
the menu speak English; under a Chinese one, or with lang=zh, Chinese; every
text of the settings dialog fits its control in both."""

import os
import subprocess

from bar_steps import IDC_LANGUAGE, IDC_TRYTIMES, IDOK
from harness import case, poll, wine_env
from monitor_common import texts, wait_status

ENGLISH_UI = {"LANG": "en_US.UTF-8", "LC_MESSAGES": "en_US.UTF-8"}
CHINESE_UI = {"LANG": "zh_CN.UTF-8", "LC_MESSAGES": "zh_CN.UTF-8"}
SILENT_TARGET = {"ping": "127.0.0.1", "trytimes": 2, "tryinterval": 1, "djs": 30, "bwav": 0}


def run_to_countdown(c, env, title, settings):
    """Starts on a loopback target under `env`, confirms the dialog titled
    `title`, silences the target and returns the bar's texts once the
    countdown shows."""
    ns = c.network()
    c.write_ini(dict(SILENT_TARGET, **settings))
    c.start(env=env)
    c.display.wait_window(title, timeout=30).focus()
    dialog = c.wait_windows(title)
    c.display.key("Return")
    wait_status(c, "[0-9]$|OK", timeout=20)
    ns.answers(False)
    wait_status(c, "^(Acting in|倒数关机)", timeout=30)
    return dialog, texts(c)


@case(timeout=120)
def test_english_ui_shows_the_english_dialog_and_bar_texts(c):
    dialog, shown = run_to_countdown(c, ENGLISH_UI, "Settings", {})
    assert c.trace.find("window", "^language\ten$"), c.trace.text()
    assert dialog.control(IDOK).text == "OK"
    assert dialog.control(IDC_LANGUAGE).text == "Automatic (system)"
    assert "Misses in a row:" in dialog.texts(), dialog.texts()
    assert shown[0] == "Preparing...", shown
    assert "Online, OK!" in shown, shown
    assert "Missed in a row: 1" in shown and "Missed in a row: 2" in shown, shown
    assert any(t.startswith("Acting in: ") and t[len("Acting in: "):].isdigit()
               for t in shown), shown
    assert not [t for t in shown if any(ord(ch) > 0x2E80 for ch in t)], shown


@case(timeout=120)
def test_chinese_ui_shows_todays_texts(c):
    dialog, shown = run_to_countdown(c, CHINESE_UI, "设定", {})
    assert dialog.control(IDOK).text == "确定"
    assert shown[0] == "准备中...", shown
    assert "没掉线，OK！" in shown and "连续掉线：1" in shown and "连续掉线：2" in shown, shown
    assert any(t.startswith("倒数关机：") for t in shown), shown


@case(timeout=120)
def test_lang_zh_under_an_english_ui_is_chinese_and_lang_en_takes_effect_at_ok(c):
    dialog, shown = run_to_countdown(c, ENGLISH_UI, "设定", {"lang": "zh"})
    assert dialog.control(IDC_LANGUAGE).text == "中文"
    assert "连续掉线：1" in shown and any(t.startswith("倒数关机：") for t in shown), shown


@case(timeout=90)
def test_choosing_english_in_the_dialog_speaks_english_from_ok_on(c):
    c.write_ini({"ping": "127.0.0.1", "tryinterval": 60, "bwav": 0})
    c.start()
    c.display.wait_window("设定", timeout=30).focus()
    dialog = c.wait_windows("设定")
    c.display.key("Tab")
    dialog = c.wait_windows("设定", where=lambda w: w.focus_id == IDC_TRYTIMES)
    # Shift+Tab from the first tab stop goes round to the last ones: the
    # buttons, the service box, then the list of languages.
    c.display.key("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab")
    c.wait_windows("设定", where=lambda w: w.focus_id == IDC_LANGUAGE)
    c.display.key("End", "Return")
    wait_status(c, "^Preparing\\.\\.\\.$", timeout=20)
    assert c.read_ini()["lang"] == "en"
    assert c.trace.find("window", "^language\ten$")


@case(timeout=60)
def test_every_dialog_text_fits_its_control_in_both_languages(c):
    """Measured inside Wine with the dialog's own font (tools/dialogfit.c)."""
    tool = os.path.join(os.path.dirname(c.wininfo_exe), "dialogfit.exe")
    exe = os.path.join(c.folder, c.exe_name)
    env = wine_env(c.use_private_prefix(), DISPLAY=c.display.name)
    for language in ("0x804", "0x409"):
        out = subprocess.run(["wine", tool, "Z:" + exe.replace("/", "\\"), "138", language],
                             env=env, capture_output=True, timeout=60)
        lines = out.stdout.decode("utf-8").splitlines()
        fits = [line.split("\t") for line in lines if line.startswith("fit\t")]
        assert len(fits) > 20, (language, lines, out.stderr[-500:])
        clipped = [(f[4], int(f[2]), int(f[3])) for f in fits if int(f[2]) > int(f[3])]
        assert not clipped, (language, clipped)
