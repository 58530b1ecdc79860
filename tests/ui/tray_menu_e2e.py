"""The tray icon's menu in the running program: a right click on the icon
(its callback message, as the shell sends it) opens the popup menu at the
pointer, and each way out of it does what the user chose."""

import subprocess
import unittest

from korvane_harness import (IDS, VK_DOWN, VK_ESCAPE, VK_RETURN, VK_UP, WM_RBUTTONUP, RunningProgram, helper,
                             read_profile_settings, wait_for, wine)

PROBE = helper("menu_probe")

# Five rows, a rule and the quit row, with the 6-pixel margins.
MENU_HEIGHT = 6 + 5 * 28 + 9 + 28 + 6


def probe(*args, **options):
    return wine(PROBE, *args, **options)


def open_tray_menu(app):
    app.post(IDS.kMsgTray, 0, WM_RBUTTONUP)
    out = probe("wait-menu", "10000", check=False)
    words = out.stdout.decode().split()
    if out.returncode != 0 or len(words) != 6:
        raise AssertionError("no tray menu appeared: " + out.stdout.decode())
    return [int(w) for w in words[1:]]


class TrayMenuTest(unittest.TestCase):
    def test_menu_opens_on_right_click_and_escape_leaves_the_program_running(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            subprocess.run(["xdotool", "mousemove", "300", "200"], check=True, timeout=20)
            x, y, w, h, count = open_tray_menu(app)
            self.assertEqual((x, y), (300, 200), "the menu opens where the pointer is")
            self.assertEqual(h, MENU_HEIGHT)
            self.assertGreaterEqual(w, 120)
            self.assertEqual(count, 1)
            probe("key", str(VK_ESCAPE))
            probe("wait-no-menu", "5000", verdict="gone")
            # Dismissing chose nothing: the window stays hidden, the program runs.
            self.assertEqual(app.state()["visible"], "0")
            # A second right click opens it again.
            open_tray_menu(app)
            probe("key", str(VK_ESCAPE))
            self.assertEqual(app.quit(), 0)

    def test_open_history_shows_the_main_window(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            open_tray_menu(app)
            # Down lands on the second row, Up goes back to the first.
            probe("key", str(VK_DOWN), str(VK_UP), str(VK_RETURN))
            probe("wait-no-menu", "5000", verdict="gone")
            self.assertEqual(wait_for(lambda: app.state()["visible"], "1", timeout=10), "1")
            self.assertEqual(app.quit(), 0)

    def test_quit_row_ends_the_program_and_saves_its_settings(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            open_tray_menu(app)
            # Up from no row reaches the last row: quit.
            probe("key", str(VK_UP), str(VK_RETURN))
            self.assertEqual(app.wait(timeout=30), 0)
        self.assertIsNotNone(read_profile_settings())

    def test_a_quit_arriving_while_the_menu_is_open_still_ends_the_program(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            open_tray_menu(app)
            probe("quit-thread", "0")
            self.assertEqual(app.wait(timeout=30), 0)


if __name__ == "__main__":
    unittest.main()
