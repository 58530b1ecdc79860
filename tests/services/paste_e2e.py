"""The road of a paste, end to end: the real Korvane.exe pastes a quick slot
and the plain-paste hotkey's text into another program's edit control, which
reports what arrived."""

import sqlite3
import subprocess
import time
import unittest

from capture_e2e import POLL_WAIT, copy, history_rows
from korvane_harness import CF_UNICODETEXT, IDS, WM_HOTKEY, PasteTarget, RunningProgram, helper, profile_path, wine


def put_in_slots(ids):
    con = sqlite3.connect(profile_path(".korvane.db"))
    try:
        con.executemany("INSERT INTO slot_entries (entry_id, slot_order) VALUES (?, ?)",
                        [(entry_id, n + 1) for n, entry_id in enumerate(ids)])
        con.commit()
    finally:
        con.close()


def clipboard_formats():
    """The clipboard's formats: numbers of the standard ones, names of the
    registered ones."""
    out = wine(helper("clip_formats")).stdout.decode()
    formats = set()
    for line in out.splitlines():
        number, _, name = line.strip().partition(" ")
        formats.add(name.strip() or int(number))
    return formats


class PasteTest(unittest.TestCase):
    def test_quick_slots_paste_into_the_program_in_front(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            copy(text="text of slot one", html="<i>text of slot one</i>")
            copy(dib=8192 + 40, seed=11)
            self.assertEqual(app.quit(), 0)
        rows = history_rows()
        self.assertEqual([r["is_image"] for r in rows], [0, 1])
        put_in_slots([rows[0]["id"], rows[1]["id"]])
        copy(text="on the clipboard at the second start", stay=200)

        with RunningProgram({"start_in_tray": "true"}, reset=False) as app:
            target = PasteTarget(ms=5000)
            time.sleep(POLL_WAIT)  # the program takes the window in front as its paste target
            app.post(WM_HOTKEY, IDS.kHotkeySlotBase)
            self.assertEqual(target.text(), "text of slot one")
            # Slot 2 holds a picture: pasting it puts the program's own image on
            # the clipboard, which must not come back as a new entry.
            app.post(WM_HOTKEY, IDS.kHotkeySlotBase + 1)
            time.sleep(POLL_WAIT + 2.5)
            # Slot 5 is empty: nothing happens.
            app.post(WM_HOTKEY, IDS.kHotkeySlotBase + 4)
            time.sleep(1)
            self.assertEqual(app.quit(), 0)
        after = history_rows()
        self.assertEqual([r["id"] for r in after], [r["id"] for r in rows])
        self.assertEqual([r["use_count"] for r in after], [1, 1])

    def test_plain_paste_leaves_only_the_text(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            target = PasteTarget(ms=6000)
            time.sleep(POLL_WAIT)
            copy(text="formatted words", rtf="{\\rtf1 {\\b formatted} words}", html="<b>formatted</b> words",
                 stay=300)
            app.post(WM_HOTKEY, IDS.kHotkeyPlainPaste)
            self.assertEqual(target.text(), "formatted words")
            formats = clipboard_formats()
            self.assertIn(CF_UNICODETEXT, formats)
            self.assertFalse({"Rich Text Format", "HTML Format"} & formats, formats)
            self.assertEqual(app.quit(), 0)
        # The copy was recorded once; the program's own rewrite was not.
        self.assertEqual([r["text"] for r in history_rows()], ["formatted words"])


if __name__ == "__main__":
    unittest.main()
