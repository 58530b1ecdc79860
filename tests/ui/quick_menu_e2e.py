"""The quick menu, end to end against the real Korvane.exe: its hotkey opens
it over another program with at most ten rows, the newest entries with the
pinned one first; Esc and turning to another window hide it; Enter pastes
the chosen entry into the program that was in front (pressed again while
open, the menu does not take that program's place), which is not recorded
again. It opens inside the work area even at a screen corner. Pictures of
the open menu in both themes go to screenshots/ in the build folder."""

import os
import sqlite3
import subprocess
import time
import unittest

import korvane_harness as kh
from korvane_harness import PasteTarget, RunningProgram, helper, profile_path, wine

PROBE = helper("quick_menu_probe")
OUT = os.path.join(kh.BINARY_DIR, "screenshots")
VK_RETURN, VK_ESCAPE, VK_DOWN = 0x0D, 0x1B, 0x28
QUICK_MENU_KEYS = ("0x11", "0x10", "0x12", "0x56")  # Ctrl+Shift+Alt+V

TWO_LINES = "first line\r\nsecond line"
LONG = " ".join(["a long line of copied text"] * 12)
# Oldest first; the oldest is pinned and so heads the menu. The newest is
# stored on one line, as copies are, and then edited into two.
HISTORY = ["pinned note"] + [f"entry {n:02d}" for n in range(1, 10)] + [LONG, "first line"]


def fill_history():
    kh.reset_profile()
    db = profile_path(".korvane.db")
    ops = ["add:" + text.encode("utf-8").hex() for text in HISTORY]
    wine(helper("storage_db_tool"), kh.win_path(db), *ops)
    con = sqlite3.connect(db)
    try:
        con.execute("UPDATE history SET pinned = 1 WHERE text = 'pinned note'")
        con.execute("UPDATE history SET text = ? WHERE text = 'first line'", (TWO_LINES,))
        con.commit()
    finally:
        con.close()


def history_rows():
    con = sqlite3.connect(profile_path(".korvane.db"))
    try:
        return con.execute("SELECT text, use_count FROM history WHERE deleted_at IS NULL ORDER BY id").fetchall()
    finally:
        con.close()


def probe(*args, check=True, verdict=None):
    return wine(PROBE, *args, check=check, verdict=verdict).stdout.decode()


def open_menu():
    """Presses the hotkey; returns what the probe saw of the open menu."""
    probe("chord", *QUICK_MENU_KEYS)
    seen = {"rows_text": []}
    for line in probe("wait-shown", "10000").splitlines():
        key, _, value = line.partition(" ")
        if key == "row":
            seen["rows_text"].append("" if value.strip() == "-" else bytes.fromhex(value.strip()).decode("utf-8"))
        elif key in ("menu", "work"):
            seen[key] = [int(v) for v in value.split()]
        else:
            seen[key] = int(value)
    return seen


def screenshot(menu, name):
    x, y, w, h = menu["menu"]
    os.makedirs(OUT, exist_ok=True)
    path = os.path.join(OUT, name)
    subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path], check=True)
    out = subprocess.run(["convert", path, "-format", "%c", "histogram:info:-"],
                         capture_output=True, text=True, check=True).stdout
    return out.upper()


class QuickMenuTest(unittest.TestCase):
    def test_hotkey_lists_hides_and_pastes_into_the_program_in_front(self):
        fill_history()
        with RunningProgram({"start_in_tray": "true", "dark_mode": "true"}, reset=False) as app:
            target = PasteTarget(ms=20000)
            probe("cursor", "500", "400")
            menu = open_menu()
            rows = menu["rows_text"]
            self.assertEqual(menu["rows"], 10)
            self.assertEqual(menu["selected"], 0)
            self.assertEqual(menu["active"], 1)
            self.assertEqual(rows[0], "1. pinned note")
            self.assertEqual(rows[1], "2. first line  second line")
            self.assertTrue(rows[2].startswith("3. a long line") and rows[2].endswith("\u2026"), rows[2])
            self.assertEqual(rows[3:], [f"{n}. entry {13 - n:02d}" for n in range(4, 11)])
            self.assertEqual(menu["menu"][:2], [500, 400])
            colours = screenshot(menu, "quick_menu_dark.png")
            for colour in ("#2B2B2B", "#F2F2F2", "#0A6BD0"):  # the list, its text, the chosen row
                self.assertIn(colour, colours)

            probe("keys", str(VK_ESCAPE))
            probe("wait-hidden", "5000", verdict="gone")
            open_menu()
            probe("activate", "KorvaneTestPasteTarget")
            probe("wait-hidden", "5000", verdict="gone")

            # Down to the second row, Enter: it lands in the program in front,
            # also when the hotkey was pressed again over the open menu.
            open_menu()
            open_menu()
            probe("keys", str(VK_DOWN), str(VK_RETURN))
            probe("wait-hidden", "5000", verdict="gone")
            self.assertEqual(target.text(), TWO_LINES)
            time.sleep(1.6)  # three polls: the paste must not come back as a copy
            self.assertEqual(app.quit(), 0)
        after = dict(history_rows())
        self.assertEqual(sorted(after), sorted(HISTORY[:-1] + [TWO_LINES]))
        self.assertEqual(after[TWO_LINES], 1)
        self.assertEqual(sum(after.values()), 1)

    def test_menu_stays_inside_the_work_area_at_a_corner(self):
        fill_history()
        with RunningProgram({"start_in_tray": "true", "dark_mode": "false"}, reset=False) as app:
            probe("cursor", "1275", "1020")
            menu = open_menu()
            x, y, w, h = menu["menu"]
            left, top, right, bottom = menu["work"]
            self.assertTrue(left <= x and x + w <= right and top <= y and y + h <= bottom, menu)
            self.assertEqual((w, menu["rows"]), (400, 10))
            colours = screenshot(menu, "quick_menu_light.png")
            for colour in ("#FFFFFF", "#141414", "#0066CC"):
                self.assertIn(colour, colours)
            probe("keys", str(VK_ESCAPE))
            probe("wait-hidden", "5000", verdict="gone")
            self.assertEqual(app.quit(), 0)


if __name__ == "__main__":
    unittest.main()
