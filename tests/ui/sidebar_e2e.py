"""The sidebar of the running program, clicked from outside as a user would:
each row switches the list, and a copy made while a category is shown lands
in that category (checked in the database after the program quits), also for
a category whose id lies where template-group rows once began; the images
and templates views and "without category" file copies under no category."""

import os
import sqlite3
import unittest

import korvane_harness as kh
from korvane_harness import (IDS, RunningProgram, helper, language_text, profile_path, wait_until, win_path, wine,
                             wine_start)

ARCHIVE_ID, WORK_ID = 995, 1


def seed():
    kh.reset_profile()
    db = profile_path(".korvane.db")
    wine(helper("storage_db_tool"), win_path(db), "open")
    con = sqlite3.connect(db)
    try:
        con.execute("INSERT INTO categories (id, name, cat_order) VALUES (?, 'Work', 1), (?, 'Archive', 2)",
                    (WORK_ID, ARCHIVE_ID))
        con.commit()
    finally:
        con.close()
    ops = [f"add:{text.encode().hex()}:-:{category}" for text, category in
           (("old archive note", ARCHIVE_ID), ("old work note", WORK_ID), ("loose note", "-"))]
    wine(helper("storage_db_tool"), win_path(db), *ops)


def label(text):
    return text.split("\t", 1)[-1].strip()


def entry_texts(app):
    return [text.strip() for _, _, text in app.rows(IDS.kIdEntryList)]


def choose(app, name):
    """Clicks the sidebar row with this label; returns its item data."""
    found = [(i, data) for i, (data, _, text) in enumerate(app.rows(IDS.kIdSidebar)) if label(text) == name]
    assert found, f"no sidebar row {name!r}"
    app.probe("click-row", str(IDS.kIdSidebar), str(found[0][0]))
    wait_until(lambda: any(selected and label(text) == name for _, selected, text in app.rows(IDS.kIdSidebar)), 5)
    return found[0][1]


def copy(text, tmp):
    path = os.path.join(tmp, "copied.txt")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    copier = wine_start(helper("clipboard_probe"), "write", win_path(path), "2")
    assert copier.stdout.readline().strip() == b"ready"
    copier.wait(timeout=30)
    copier.stdout.close()
    copier.stderr.close()


def stored_category(text):
    """The category of the live entry with this text: an id, None, or "missing"."""
    con = sqlite3.connect(profile_path(".korvane.db"))
    try:
        row = con.execute("SELECT category_id FROM history WHERE text = ?", (text,)).fetchone()
    finally:
        con.close()
    return "missing" if row is None else row[0]


class SidebarTest(unittest.TestCase):
    def test_rows_switch_the_list_and_copies_land_in_the_category_shown(self):
        seed()
        with kh.temp_dir() as tmp, RunningProgram(reset=False) as app:
            data = choose(app, "Archive")
            self.assertEqual(data, IDS.kSidebarCategoryTag | ARCHIVE_ID)
            self.assertTrue(wait_until(lambda: entry_texts(app) == ["old archive note"], 5), entry_texts(app))
            copy("copied while Archive is shown", tmp)
            self.assertTrue(wait_until(lambda: "copied while Archive is shown" in entry_texts(app)), entry_texts(app))

            choose(app, "Work")
            self.assertTrue(wait_until(lambda: "old work note" in entry_texts(app), 5), entry_texts(app))
            copy("copied while Work is shown", tmp)
            self.assertTrue(wait_until(lambda: "copied while Work is shown" in entry_texts(app)), entry_texts(app))

            choose(app, language_text("side.none"))
            copy("copied without a category", tmp)
            self.assertTrue(wait_until(lambda: "copied without a category" in entry_texts(app)), entry_texts(app))

            for view, key in (("Images", "side.images"), ("Templates", "side.templates")):
                choose(app, language_text(key))
                copy(f"copied in the {view} view", tmp)
                self.assertTrue(wait_until(lambda: stored_category(f"copied in the {view} view") != "missing"))
            self.assertEqual(app.quit(), 0)

        self.assertEqual(stored_category("copied while Archive is shown"), ARCHIVE_ID)
        self.assertEqual(stored_category("copied while Work is shown"), WORK_ID)
        for text in ("copied without a category", "copied in the Images view", "copied in the Templates view"):
            self.assertIsNone(stored_category(text), text)


if __name__ == "__main__":
    unittest.main()
