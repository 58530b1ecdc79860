"""The history file as the running program meets it, end to end: damaged
before the start, locked by another program for a moment, or one SQLite can
only read. The tray balloons are read from the notification area, the rows
with sqlite3 after the program has quit."""

import datetime
import os
import sqlite3
import time
import unittest

from korvane_harness import (RunningProgram, helper, language_text, profile_path, reset_profile, wait_for, wine,
                             wine_user_profile)

POLL_WAIT = 1.6  # three ticks of the program's 500 ms timer


def copy(text, stay=800):
    out = wine(helper("clip_source"), "text=" + text.encode("utf-8").hex(), f"stay={stay}").stdout.decode()
    assert "ready" in out, out


def history_texts():
    with sqlite3.connect(profile_path(".korvane.db")) as con:
        return [text for (text,) in con.execute("SELECT text FROM history ORDER BY id")]


def moved_aside_files():
    folder = wine_user_profile()
    return sorted(name for name in os.listdir(folder) if name.startswith(".korvane.db.corrupt-"))


def truncated_database():
    """The bytes of a real SQLite file cut off in the middle, as a full disk
    or a crash of a copying tool leaves it."""
    path = profile_path(".korvane.db")
    with sqlite3.connect(path) as con:
        con.execute("CREATE TABLE history (id INTEGER PRIMARY KEY, text TEXT)")
        con.executemany("INSERT INTO history (text) VALUES (?)", [("row %d " % i + "x" * 500,) for i in range(400)])
    con.close()
    with open(path, "rb") as f:
        data = f.read()
    os.remove(path)
    return data[:len(data) * 2 // 5]


class HistoryFileTest(unittest.TestCase):
    def tearDown(self):
        reset_profile()

    def test_a_damaged_file_is_moved_aside_and_a_new_history_started(self):
        for case, damaged in (("random bytes", os.urandom(64 * 1024)), ("truncated", truncated_database())):
            with self.subTest(case):
                reset_profile()
                with open(profile_path(".korvane.db"), "wb") as f:
                    f.write(damaged)
                started = datetime.datetime.now().replace(microsecond=0)
                with RunningProgram({"start_in_tray": "true"}, reset=False) as app:
                    moved = moved_aside_files()
                    self.assertEqual(len(moved), 1, moved)
                    told = wait_for(lambda: app.probe("balloons"), moved[0])
                    self.assertIn(language_text("tray.history_moved_aside"), told)
                    self.assertIn(language_text("tray.history_kept_as"), told)
                    self.assertIn(moved[0], told)
                    copy("copied after the damaged file: " + case)
                    time.sleep(POLL_WAIT)
                    self.assertEqual(app.quit(), 0)
                self.assertRegex(moved[0], r"^\.korvane\.db\.corrupt-\d{4}-\d\d-\d\d \d\d-\d\d-\d\d$")
                # Named by the clock at start.
                when = datetime.datetime.strptime(moved[0][len(".korvane.db.corrupt-"):], "%Y-%m-%d %H-%M-%S")
                self.assertTrue(started <= when <= datetime.datetime.now(), (started, moved[0]))
                with open(profile_path(moved[0]), "rb") as f:
                    self.assertEqual(f.read(), damaged, "the damaged file was changed")
                self.assertEqual(history_texts(), ["copied after the damaged file: " + case])

    def test_a_copy_made_while_another_program_locks_the_file_is_kept(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            copy("before the lock")
            time.sleep(POLL_WAIT)
            # As sqlite3 or a backup tool would: a write lock held for longer
            # than the program waits for it.
            con = sqlite3.connect(profile_path(".korvane.db"), isolation_level=None, timeout=10)
            try:
                con.execute("BEGIN EXCLUSIVE")
                copy("made while the file was locked", stay=200)
                time.sleep(1.5)
                con.execute("COMMIT")
            finally:
                con.close()
            time.sleep(POLL_WAIT)
            # A lock is nothing to alarm the user with.
            self.assertNotIn(language_text("tray.history_not_saved"), app.probe("balloons"))
            self.assertEqual(app.quit(), 0)
        self.assertEqual(history_texts(), ["before the lock", "made while the file was locked"])

    def test_a_file_that_cannot_be_written_is_told(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            copy("written before")
            time.sleep(POLL_WAIT)
            self.assertEqual(app.quit(), 0)
        # A file of a newer SQLite format: it can be read, never written. (Wine
        # run as root ignores a read-only attribute, so SQLite must refuse.)
        path = profile_path(".korvane.db")
        with open(path, "r+b") as f:
            f.seek(18)
            f.write(bytes([3, 1]))
        with RunningProgram({"start_in_tray": "true"}, reset=False) as app:
            told = language_text("tray.history_not_saved")
            self.assertIn(told, wait_for(lambda: app.probe("balloons"), told))
            copy("copied while it cannot be written")
            time.sleep(POLL_WAIT)
            self.assertEqual(app.quit(), 0)
        self.assertEqual(history_texts(), ["written before"])
        self.assertEqual(moved_aside_files(), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
