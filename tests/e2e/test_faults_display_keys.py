"""The bar's display keys edited by hand into values it cannot use: font
sizes out of range or not numbers, font names empty, unknown or overlong,
positions far off screen and at the int limits. Each time the bar must be
on screen, of its usual size and drawn with its text."""

from bar_steps import QUIET, check_bar_picture, confirm_startup, exit_by_menu
from harness import SCREEN_HEIGHT, SCREEN_WIDTH, case

INT_MAX = 2**31 - 1
INT_MIN = -(2**31)

# Each run pairs a font fault with a position fault.
RUNS = [
    {"fontsize": "0", "posleft": INT_MAX, "postop": INT_MAX},
    {"fontsize": "-5", "posleft": INT_MIN, "postop": INT_MIN},
    {"fontsize": "100000", "posleft": 100000, "postop": -100000},
    {"fontsize": "big", "posleft": -100000, "postop": 100000},
    {"fontname": "", "posleft": INT_MAX, "postop": INT_MIN},
    {"fontname": "No Such Family Anywhere", "posleft": INT_MIN, "postop": 0},
    {"fontname": "F" * 300, "posleft": 0, "postop": INT_MAX},
]


@case(timeout=200)
def test_unusable_display_keys_still_give_a_visible_sane_bar_with_text(c):
    # The bar at the default font, for its size.
    c.write_ini(QUIET)
    app = c.start()
    bar = confirm_startup(c)
    usual = bar.geometry()
    check_bar_picture(c, bar)
    exit_by_menu(c, app, bar)
    assert 50 < usual.width < SCREEN_WIDTH // 2 and 10 < usual.height < 100, usual

    for values in RUNS:
        c.write_ini(dict(QUIET, **values))
        mark = c.trace.mark()
        app = c.start()
        bar = confirm_startup(c, since=mark)
        g = bar.geometry()
        shown = {k: (v if len(str(v)) < 20 else f"{str(v)[:8]}...") for k, v in values.items()}
        assert (g.width, g.height) == (usual.width, usual.height), (shown, g)
        assert 0 <= g.x and g.x + g.width <= SCREEN_WIDTH, (shown, g)
        assert 0 <= g.y and g.y + g.height <= SCREEN_HEIGHT, (shown, g)
        check_bar_picture(c, bar)
        exit_by_menu(c, app, bar)
