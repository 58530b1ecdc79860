"""The road of a paste, end to end: the real Korvane.exe pastes a quick slot
and the plain-paste hotkey's text into another program's edit control, which
reports what arrived. While another program holds the clipboard open, a
paste sends no keys (they would paste what was there before) and says so."""

import os
import sqlite3
import struct
import subprocess
import time
import unittest

from capture_e2e import POLL_WAIT, SOURCE, copy, hexs, history_rows, texts
from korvane_harness import (CF_UNICODETEXT, IDS, SOURCE_DIR, WM_COMMAND, WM_HOTKEY, PasteTarget, ProgramIds,
                             RunningProgram, clipboard_text, helper, language_text, profile_path, reset_profile,
                             temp_dir, wait_for, wait_until, win_path, wine, wine_start)

WM_VKEYTOITEM, VK_RETURN = 0x2E, 0x0D
# Keys held past a paste's wait for them, by as long again: a paste that starts late on a slow machine has
# given up all the same when they go up.
PAST_THE_WAIT = 2 * ProgramIds(os.path.join(SOURCE_DIR, "src", "services", "keystrokes.h")).kPasteKeysWaitMs / 1000


def stored(op):
    """An entry added to a new profile's database by storage_db_tool's op; its id."""
    reset_profile()
    added = wine(helper("storage_db_tool"), win_path(profile_path(".korvane.db")), op)
    return int(next(l for l in added.stdout.decode().splitlines() if l.startswith("R\t")).split("\t")[1])


def put_in_slots(ids):
    con = sqlite3.connect(profile_path(".korvane.db"))
    try:
        con.executemany("INSERT INTO slot_entries (entry_id, slot_order) VALUES (?, ?)",
                        [(entry_id, n + 1) for n, entry_id in enumerate(ids)])
        con.commit()
    finally:
        con.close()


def user_keys(*args):
    """Keys as the user presses them on the X display: Wine takes them as its own, not as injected,
    and a key held down repeats."""
    subprocess.run(["xdotool", *args], check=True, timeout=20)


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

    def test_quick_slots_in_a_row_paste_each_once_and_lose_no_copy(self):
        """Slot 1 twice, then slot 2, at once: each press pastes once, in turn. A cut made just before a
        slot's hotkey, before the program's next look, is recorded all the same."""
        with RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            copy(text="first slot words")
            copy(text="second slot words")
            self.assertEqual(app.quit(), 0)
        slots = history_rows()
        put_in_slots([r["id"] for r in slots])
        with RunningProgram({"start_in_tray": "true"}, reset=False) as app:
            target = PasteTarget(ms=6000)
            time.sleep(POLL_WAIT)
            copy(text="words cut just before", stay=100,
                 hotkey=[IDS.kHotkeySlotBase, IDS.kHotkeySlotBase, IDS.kHotkeySlotBase + 1])
            self.assertEqual(target.text(), "first slot wordsfirst slot wordssecond slot words")
            self.assertEqual(target.pastes, 3)
            self.assertEqual(app.quit(), 0)
        self.assertIn("words cut just before", [r["text"] for r in history_rows()])

    def test_keys_the_user_holds_stay_held_and_each_press_pastes_once(self):
        """Ctrl+Shift held past a second while 1 is tapped, then held until it repeats, then 2 is tapped;
        then the plain-paste key held until it repeats: on each release the pastes follow in order,
        once a press, and no digit or letter of the user's reaches the document. Last, 1 with Ctrl+Shift
        held past the paste's wait for them: no Ctrl+V, ever, and slot 1 stays on the clipboard for the
        user's own."""
        with RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            copy(text="one")
            copy(text="two")
            self.assertEqual(app.quit(), 0)
        put_in_slots([r["id"] for r in history_rows()])
        with RunningProgram({"start_in_tray": "true"}, reset=False) as app:
            target = PasteTarget(ms=12000 + int(PAST_THE_WAIT * 1000))
            time.sleep(POLL_WAIT)
            user_keys("keydown", "ctrl", "shift")
            user_keys("key", "1", "sleep", "0.2")
            user_keys("keydown", "1", "sleep", "1", "keyup", "1", "sleep", "0.5")
            user_keys("key", "2", "sleep", "0.3", "keyup", "shift", "ctrl", "sleep", "1")
            user_keys("keydown", "ctrl", "shift", "alt", "u", "sleep", "1", "keyup", "u", "alt", "shift", "ctrl")
            user_keys("sleep", "1", "keydown", "ctrl", "shift", "key", "1", "sleep", str(PAST_THE_WAIT), "keyup", "shift",
                      "ctrl")
            self.assertEqual(clipboard_text(), "one")
            self.assertEqual(target.text(), "oneonetwotwo")
            self.assertEqual(target.pastes, 4)
            self.assertEqual(app.quit(), 0)

    def test_a_slot_tapped_again_while_its_large_picture_is_put_pastes_twice(self):
        """Ctrl+Shift held, 1 tapped and pressed again while the first paste still puts a large picture on the
        clipboard, which keeps the program from its messages a while: the second press is the user's all the
        same."""
        entry = stored("add::00")
        # Holds the program well past the second tap, and no longer than the target lives.
        width, height = 2048, 1024
        picture = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, width * height * 4, 0, 0, 0, 0)
        con = sqlite3.connect(profile_path(".korvane.db"))
        with con:
            con.execute("UPDATE history SET image = ? WHERE id = ?", (picture + bytes(width * height * 4), entry))
        con.close()
        put_in_slots([entry])
        with RunningProgram({"start_in_tray": "true"}, reset=False) as app:
            target = PasteTarget(ms=8000)
            time.sleep(POLL_WAIT)
            user_keys("keydown", "ctrl", "shift", "key", "1", "sleep", "0.05", "keydown", "1", "sleep", "0.5",
                      "keyup", "1", "shift", "ctrl")
            target.text()
            self.assertEqual(target.pastes, 2)
            self.assertEqual(app.quit(), 0)

    def test_a_copy_just_before_the_main_window_or_the_quick_menu_writes_the_clipboard_is_recorded(self):
        entry = str(stored("add:" + hexs("entry words")))
        with RunningProgram({"start_in_tray": "true"}, reset=False) as app:
            target = PasteTarget(ms=60000)
            self.addCleanup(lambda: (target.proc.kill(), target.proc.communicate()))
            # Each road, and where its entry went: the quick menu's first row is the newest copy, chosen
            # with Enter as its list hands it on.
            roads = (("Copy", "KorvaneMain", WM_COMMAND, IDS.kCmdCopy, clipboard_text, "entry words"),
                     ("paste", "KorvaneMain", WM_COMMAND, IDS.kCmdPaste, target.now, "entry words"),
                     ("quick menu", "KorvaneQuickMenu", WM_VKEYTOITEM, VK_RETURN, target.now,
                      "entry wordscut just before the paste"))
            for road, window, message, command, where, acted in roads:
                if window == "KorvaneMain":
                    app.post(IDS.kMsgShowMain)
                    self.assertTrue(wait_until(lambda: app.state()["visible"] == "1"))
                    wine(helper("entry_list_probe"), "select", entry)
                else:
                    app.post(WM_HOTKEY, IDS.kHotkeyQuickMenu)
                    self.assertIn("menu ", wine(helper("quick_menu_probe"), "wait-shown", "10000").stdout.decode())
                copy(text="cut just before the " + road, post=[(window, message, command)])
                self.assertEqual(wait_for(where, acted), acted, road)
            self.assertEqual(app.quit(), 0)
        self.assertEqual({"cut just before the " + road[0] for road in roads} - set(texts(history_rows())), set())

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

    def test_plain_paste_of_a_filtered_copy_stores_nothing(self):
        # Pressed before the program has looked at the copy, whose owner the
        # rewrite takes away.
        with RunningProgram({"start_in_tray": "true", "app_filter_mode": "blacklist",
                             "app_filter_list": "clip_source.exe"}) as app:
            target = PasteTarget(ms=60000)
            self.addCleanup(lambda: (target.proc.kill(), target.proc.communicate()))
            time.sleep(POLL_WAIT)
            copy(text="from a filtered program", hotkey=IDS.kHotkeyPlainPaste, stay=500)
            self.assertEqual(wait_for(target.now, "from a filtered program"), "from a filtered program")
            self.assertEqual(app.quit(), 0)
        self.assertEqual(history_rows(), [])

    def test_a_paste_that_finds_the_clipboard_taken_sends_no_keys_and_says_so(self):
        entry = stored("add:" + hexs("slot words"))
        put_in_slots([entry])
        told = language_text("tray.paste_failed")

        with RunningProgram({"start_in_tray": "true", "hide_on_copy": "true"}, reset=False) as app, temp_dir() as tmp:
            target = PasteTarget(ms=20000)
            time.sleep(POLL_WAIT)
            release = os.path.join(tmp, "release")
            holder = wine_start(SOURCE, "text=" + hexs("private words"), "hold=" + win_path(release))
            self.addCleanup(lambda: holder.poll() is None and (holder.kill(), holder.communicate()))
            self.assertIn("ready", holder.stdout.readline().decode())

            # A quick slot, then the main window's paste, while the clipboard is taken.
            app.post(WM_HOTKEY, IDS.kHotkeySlotBase)
            self.assertIn(told, wait_for(lambda: app.probe("balloons"), told))
            app.post(IDS.kMsgShowMain)
            self.assertTrue(wait_until(lambda: app.state()["visible"] == "1"))
            wine(helper("entry_list_probe"), "select", str(entry))
            app.post(WM_COMMAND, IDS.kCmdPaste)
            time.sleep(1)
            self.assertEqual(app.state()["visible"], "1")  # it stays for another try
            # A copy as well, though it hides the window when it is made.
            app.post(WM_COMMAND, IDS.kCmdCopy)
            copy_told = language_text("tray.copy_failed")
            self.assertIn(copy_told, wait_for(lambda: app.probe("balloons"), copy_told))
            self.assertEqual(app.state()["visible"], "1")

            # Free again, the same paste arrives, and only it pressed Ctrl+V.
            open(release, "w").close()
            self.assertIn("released", holder.communicate(timeout=60)[0].decode())
            app.post(WM_HOTKEY, IDS.kHotkeySlotBase)
            self.assertEqual(target.text(), "slot words")
            self.assertEqual(target.pastes, 1)
            self.assertEqual(app.quit(), 0)
        self.assertEqual([r["use_count"] for r in history_rows() if r["id"] == entry], [1])


if __name__ == "__main__":
    unittest.main()
