"""Korvane at 200 % display scale (Wine's LogPixels 192), in a Wine prefix of
its own so that the tests running meanwhile stay at 100 %: the caption and
the prompt's font grow, and the input box still holds its text field, OK
and Cancel whole within its margins. A picture of the box goes to
screenshots/ in the build folder."""

import os
import subprocess
import unittest

import korvane_harness as kh
from korvane_harness import IDS, WM_COMMAND, RunningProgram, helper, language_text, wine

IDCANCEL = 2


def input_box(log_pixels, picture=None):
    """What entry_list_probe sees of the input box at a display scale, "key value" each."""
    with kh.display_scale(log_pixels), RunningProgram() as app:
        app.post(WM_COMMAND, IDS.kCmdAddCategory)
        title = language_text("input.new_category")
        # A search ends with an X error when any window of the display goes
        # while it walks them (other tests make and close windows meanwhile):
        # it is asked again until the box is found.
        found = kh.wait_until(lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", title],
            capture_output=True, text=True, timeout=20).stdout.split(), timeout=20)
        assert found, "no input box"
        if picture:
            subprocess.run(["import", "-frame", "-window", found[0], picture], check=True)
        out = wine(helper("entry_list_probe"), "box", "KorvaneInputBox", str(IDCANCEL), "8000").stdout.decode()
        assert "answered" in out, out
        assert app.quit() == 0
    return dict(line.split(" ", 1) for line in out.splitlines() if " " in line)


class DisplayScaleTest(unittest.TestCase):
    def test_the_input_box_keeps_its_buttons_whole_at_200_percent(self):
        os.makedirs(kh.SCREENSHOTS_DIR, exist_ok=True)
        seen = input_box(192, os.path.join(kh.SCREENSHOTS_DIR, "dialog_input_200_percent.png"))
        self.assertEqual(seen["dpi"], "192")
        # Every control keeps the box's own margin (the prompt's 10 pixels at the top).
        self.assertGreaterEqual(int(seen["margin"]), 10, seen)
        # The caption and the prompt's letters are half as large again at least as at 100 %.
        normal = input_box(96)
        self.assertEqual(normal["dpi"], "96")
        for key in ("caption", "prompt-ink"):
            self.assertGreaterEqual(int(seen[key]), 1.5 * int(normal[key]), f"{key}: {seen} at 200 %, {normal}")


if __name__ == "__main__":
    unittest.main()
