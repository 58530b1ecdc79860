"""Age limits of the history against timestamps written by Python's datetime,
so the clock arithmetic under test is not also the oracle."""

import datetime
import os
import sqlite3
import unittest

import korvane_harness as kh
from storage_tool import results, run_tool

# Far enough from a boundary that starting the program under Wine cannot cross it.
MARGIN = datetime.timedelta(minutes=3)


def stamp(delta):
    return (datetime.datetime.now() - delta).strftime("%Y-%m-%dT%H:%M:%S")


class Retention(unittest.TestCase):
    def setUp(self):
        self.tmp = kh.temp_dir()
        self.dir = self.tmp.name
        self.db = os.path.join(self.dir, "h.db")
        run_tool(self.db, "open")

    def tearDown(self):
        self.tmp.cleanup()

    def png(self, name):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
        return path

    def insert(self, con, text, created, deleted=None, pinned=0, keep=0, category=None, override=0, image=None):
        cur = con.execute(
            "INSERT INTO history (text, created_at, deleted_at, pinned, keep, category_id, cat_pin_override, "
            "image_path) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            (text, created, deleted, pinned, keep, category, override, kh.win_path(image) if image else ""))
        return cur.lastrowid

    def remaining(self):
        con = sqlite3.connect(self.db)
        try:
            return {r[0] for r in con.execute("SELECT text FROM history")}
        finally:
            con.close()

    def test_trash_purge_by_hours(self):
        con = sqlite3.connect(self.db)
        now = stamp(datetime.timedelta(0))
        self.insert(con, "trashed 23h", now, stamp(datetime.timedelta(hours=23)))
        self.insert(con, "trashed just inside", now, stamp(datetime.timedelta(hours=24) - MARGIN))
        self.insert(con, "trashed just outside", now, stamp(datetime.timedelta(hours=24) + MARGIN),
                    image=self.png("outside.png"))
        self.insert(con, "trashed 25h pinned kept", now, stamp(datetime.timedelta(hours=25)), pinned=1, keep=1)
        self.insert(con, "live and old", stamp(datetime.timedelta(days=400)), image=self.png("live.png"))
        con.execute("INSERT INTO slot_entries VALUES (999, 1)")
        con.commit()
        con.close()

        lines = run_tool(self.db, "purge_trash:0", "purge_trash:-5", "purge_trash:2147483647", "purge_trash:24")
        self.assertEqual(results(lines), [0, 0, 0, 2])
        self.assertEqual(self.remaining(), {"trashed 23h", "trashed just inside", "live and old"})
        self.assertFalse(os.path.exists(os.path.join(self.dir, "outside.png")))
        self.assertTrue(os.path.exists(os.path.join(self.dir, "live.png")))

    def test_expiry_by_days_spares_protected_entries(self):
        con = sqlite3.connect(self.db)
        con.execute("INSERT INTO categories (id, name, pinned) VALUES (1, 'pinned cat', 1), (2, 'plain cat', 0)")
        old = stamp(datetime.timedelta(days=31))
        self.insert(con, "inside", stamp(datetime.timedelta(days=30) - MARGIN))
        self.insert(con, "outside", stamp(datetime.timedelta(days=30) + MARGIN), image=self.png("old.png"))
        self.insert(con, "old pinned", old, pinned=1)
        self.insert(con, "old kept", old, keep=1)
        self.insert(con, "old in pinned category", old, category=1)
        self.insert(con, "old overridden", old, category=1, override=1)
        self.insert(con, "old in plain category", old, category=2)
        self.insert(con, "old trashed", old, deleted=old)
        slotted = self.insert(con, "old in a slot", old)
        kept_slot = self.insert(con, "kept in a slot", old, keep=1)
        con.execute("INSERT INTO slot_entries VALUES (?, 1), (?, 2)", (slotted, kept_slot))
        con.commit()
        con.close()

        lines = run_tool(self.db, "purge_expired:0", "purge_expired:-1", "purge_expired:2147483647",
                         "purge_expired:30", "slots")
        self.assertEqual(results(lines), [0, 0, 0, 4])
        self.assertEqual(self.remaining(), {"inside", "old pinned", "old kept", "old in pinned category",
                                            "old trashed", "kept in a slot"})
        self.assertFalse(os.path.exists(os.path.join(self.dir, "old.png")))
        con = sqlite3.connect(self.db)
        self.assertEqual(con.execute("SELECT entry_id FROM slot_entries").fetchall(), [(kept_slot,)])
        con.close()

    def test_clearing_and_emptying_the_trash(self):
        con = sqlite3.connect(self.db)
        con.execute("INSERT INTO categories (id, name, pinned) VALUES (1, 'pinned cat', 1)")
        now = stamp(datetime.timedelta(0))
        self.insert(con, "plain", now, image=self.png("plain.png"))
        self.insert(con, "pinned", now, pinned=1)
        self.insert(con, "kept", now, keep=1)
        self.insert(con, "category pinned", now, category=1)
        self.insert(con, "overridden", now, category=1, override=1)
        self.insert(con, "in trash", now, deleted=now, image=self.png("trash.png"))
        con.execute("INSERT INTO snippets (title, text, created_at, deleted_at) VALUES ('t', 'x', ?, ?)", (now, now))
        con.execute("INSERT INTO slot_entries VALUES (424242, 1)")
        con.commit()
        con.close()

        self.assertEqual(results(run_tool(self.db, "clear:1")), [2])
        self.assertEqual(self.remaining(), {"pinned", "kept", "category pinned", "in trash"})
        self.assertFalse(os.path.exists(os.path.join(self.dir, "plain.png")))
        self.assertTrue(os.path.exists(os.path.join(self.dir, "trash.png")))
        self.assertEqual(results(run_tool(self.db, "clear:0")), [2])
        self.assertEqual(self.remaining(), {"kept", "in trash"})
        self.assertEqual(results(run_tool(self.db, "empty_trash")), [2])
        self.assertEqual(self.remaining(), {"kept"})
        self.assertFalse(os.path.exists(os.path.join(self.dir, "trash.png")))
        con = sqlite3.connect(self.db)
        self.assertEqual(con.execute("SELECT count(*) FROM slot_entries").fetchone()[0], 0)
        self.assertEqual(con.execute("SELECT count(*) FROM snippets WHERE deleted_at IS NOT NULL").fetchone()[0], 0)
        self.assertEqual(con.execute("SELECT count(*) FROM snippets").fetchone()[0], 2)  # the seeded, live ones
        con.close()


if __name__ == "__main__":
    unittest.main()
