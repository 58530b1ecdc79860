"""Templates end to end against the real Korvane.exe: the templates hotkey
over another program opens them (their sidebar row hidden, the section kept
closed), a double click pastes one into that program with its variables
filled in at that moment, Copy puts the same text on the clipboard, and each
counts a use of the template."""

import datetime
import os
import sqlite3
import unittest

import korvane_harness as kh
from entry_commands_e2e import probe, shown, visible
from korvane_harness import IDS, WM_COMMAND, WM_HOTKEY, PasteTarget, RunningProgram, helper, profile_path, wine

# Names are read in any case; an unknown name and an unclosed brace stay as written.
TEMPLATE = "On {date} at {Time} ({datetime}, {YEAR}) {user} wrote {x} {t"


def expansions(start, end):
    """The template as filled in at each minute from start to end."""
    user = os.path.basename(kh.wine_user_profile())
    found, moment = set(), start.replace(second=0, microsecond=0)
    while moment <= end:
        date, time = moment.strftime("%d.%m.%Y"), moment.strftime("%H:%M")
        found.add(f"On {date} at {time} ({date} {time}, {moment.year}) {user} wrote {{x}} {{t")
        moment += datetime.timedelta(minutes=1)
    return found


def add_template():
    kh.reset_profile()
    db = profile_path(".korvane.db")
    wine(helper("storage_db_tool"), kh.win_path(db), "open")
    con = sqlite3.connect(db)
    try:
        with con:
            return con.execute("INSERT INTO snippets (title, text, grp, created_at) VALUES ('Signature', ?, '', "
                               "'2024-01-01T00:00:00')", (TEMPLATE,)).lastrowid
    finally:
        con.close()


def use_count(template):
    con = sqlite3.connect(profile_path(".korvane.db"))
    try:
        return con.execute("SELECT use_count FROM snippets WHERE id = ?", (template,)).fetchone()[0]
    finally:
        con.close()


class TemplatesTest(unittest.TestCase):
    def test_a_template_is_pasted_and_copied_with_its_variables_filled_in(self):
        template = add_template()
        row = str(-template)
        hidden_templates_row = {"start_in_tray": "true", "categories_hidden": "16"}
        with RunningProgram(hidden_templates_row, reset=False) as app:
            target = PasteTarget(ms=120000)
            self.addCleanup(lambda: (target.proc.kill(), target.proc.communicate()))
            target_text = target.now

            start = datetime.datetime.now()
            probe("keys", "ctrl+shift+alt+s")
            self.assertTrue(kh.wait_until(lambda: visible() and -template in shown()), "the templates did not show")
            probe("click", row, "double")
            self.assertTrue(kh.wait_until(target_text), "nothing was pasted")
            self.assertIn(target_text(), expansions(start, datetime.datetime.now()))

            start = datetime.datetime.now()
            app.post(WM_HOTKEY, IDS.kHotkeyTemplates)
            self.assertTrue(kh.wait_until(lambda: visible() and -template in shown()), "the templates did not show")
            probe("select", row)
            app.post(WM_COMMAND, IDS.kCmdCopy)
            self.assertTrue(kh.wait_until(lambda: "wrote" in kh.clipboard_text()), kh.clipboard_text())
            self.assertIn(kh.clipboard_text(), expansions(start, datetime.datetime.now()))
            self.assertEqual(app.quit(), 0)
        self.assertEqual(use_count(template), 2)
        self.assertEqual(kh.read_profile_settings()["snippet_panel_collapsed"], "true", "a hidden section opened")


if __name__ == "__main__":
    unittest.main()
