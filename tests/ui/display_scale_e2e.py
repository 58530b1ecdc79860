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


class DisplayScaleTest(unittest.TestCase):
    def test_the_input_box_keeps_its_buttons_whole_at_200_percent(self):
        os.makedirs(kh.SCREENSHOTS_DIR, exist_ok=True)
        picture = os.path.join(kh.SCREENSHOTS_DIR, "dialog_input_200_percent.png")
        with kh.display_scale(192), RunningProgram() as app:
            app.post(WM_COMMAND, IDS.kCmdAddCategory)
            title = language_text("input.new_category")
            # A search ends with an X error when any window of the display goes
            # while it walks them (other tests make and close windows meanwhile):
            # it is asked again until the box is found.
            found = kh.wait_until(lambda: subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", title],
                capture_output=True, text=True, timeout=20).stdout.split(), timeout=20)
            self.assertTrue(found, "no input box")
            subprocess.run(["import", "-frame", "-window", found[0], picture], check=True)
            out = wine(helper("entry_list_probe"), "box", "KorvaneInputBox", str(IDCANCEL), "8000").stdout.decode()
            self.assertIn("answered", out)
            self.assertEqual(app.quit(), 0)
        seen = dict(line.split(" ", 1) for line in out.splitlines() if " " in line)
        self.assertEqual(seen["dpi"], "192")
        # Every control keeps the box's own margin (the prompt's 10 pixels at the top).
        self.assertGreaterEqual(int(seen["margin"]), 10, out)


if __name__ == "__main__":
    unittest.main()
