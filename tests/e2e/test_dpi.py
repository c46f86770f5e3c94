"""The bar at a higher screen scale: Wine reports the prefix's LogPixels as
the screen's DPI, so one private prefix at 96 and then 192 DPI shows the same
bar at both scales."""

import subprocess

from bar_steps import QUIET, check_bar_picture, confirm_startup, exit_by_menu
from harness import case, end_prefix_processes, wine_env


def ink_box(image, dark=60):
    """(left, top, right, bottom) of the text's dark pixels in a bar picture."""
    xs, ys = [], []
    for y in range(image.height):
        for x in range(image.width):
            if max(image.pixel(image.origin[0] + x, image.origin[1] + y)) < dark:
                xs.append(x)
                ys.append(y)
    return min(xs), min(ys), max(xs), max(ys)


def show_bar(c):
    mark = c.trace.mark()
    app = c.start()
    bar = confirm_startup(c, since=mark)
    picture = check_bar_picture(c, bar)
    geometry = bar.geometry()
    layout = c.trace.find("window", "^layout", since=mark)[-1].fields
    exit_by_menu(c, app, bar)
    return geometry, picture, int(layout[2])


@case(timeout=150)
def test_bar_at_192_dpi_is_twice_its_96_dpi_size_with_its_text_whole(c):
    c.write_ini(QUIET)
    g96, picture96, dpi = show_bar(c)
    assert dpi == 96, dpi

    end_prefix_processes(c.prefix)
    subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                    "/t", "REG_DWORD", "/d", "192", "/f"], env=wine_env(c.prefix),
                   capture_output=True, timeout=60, check=True)
    # The server writes the registry out as it ends; the next start reads it.
    end_prefix_processes(c.prefix)
    c.write_ini(QUIET)  # no stored position: the wider bar goes wholly on screen
    g192, picture192, dpi = show_bar(c)
    assert dpi == 192, dpi

    for a, b in ((g96.width, g192.width), (g96.height, g192.height)):
        assert 1.85 <= b / a <= 2.15, (g96, g192)
    # The text is as much larger, and stays inside the face: not cut off at
    # an edge of the bar, nor at a size the bar was not made for.
    box96, box192 = ink_box(picture96), ink_box(picture192)
    for a, b in ((box96[2] - box96[0], box192[2] - box192[0]),
                 (box96[3] - box96[1], box192[3] - box192[1])):
        assert 1.8 <= (b + 1) / (a + 1) <= 2.2, (box96, box192)
    left, top, right, bottom = box192
    assert left > 2 and top > 2 and right < g192.width - 3 and bottom < g192.height - 3, (
        box192, g192)
