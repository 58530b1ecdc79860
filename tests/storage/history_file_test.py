"""The history database file as an outsider sees it: Python's sqlite3 reads the
closed file that HistoryDb (run under Wine through storage_db_tool) wrote,
and prepares files for it to open."""

import os
import sqlite3
import unittest

import korvane_harness as kh
from storage_tool import entry_ids, hexs, results, run_tool, unhex

# (name, declared type, not null, default, primary key) as PRAGMA table_info reports them.
EXPECTED_COLUMNS = {
    "categories": [
        ("id", "INTEGER", 0, None, 1),
        ("name", "TEXT", 1, None, 0),
        ("pinned", "INTEGER", 1, "0", 0),
        ("cat_order", "INTEGER", 1, "0", 0),
    ],
    "history": [
        ("id", "INTEGER", 0, None, 1),
        ("text", "TEXT", 1, None, 0),
        ("created_at", "TEXT", 1, None, 0),
        ("pinned", "INTEGER", 1, "0", 0),
        ("category_id", "INTEGER", 0, None, 0),
        ("sort_order", "INTEGER", 1, "0", 0),
        ("deleted_at", "TEXT", 0, None, 0),
        ("use_count", "INTEGER", 1, "0", 0),
        ("rtf", "TEXT", 0, "''", 0),
        ("html", "TEXT", 0, "''", 0),
        ("image", "BLOB", 0, "NULL", 0),
        ("source_app", "TEXT", 0, "''", 0),
        ("source_title", "TEXT", 0, "''", 0),
        ("source_url", "TEXT", 0, "''", 0),
        ("orig_text", "TEXT", 0, "''", 0),
        ("is_image", "INTEGER", 1, "0", 0),
        ("is_browser_page", "INTEGER", 1, "0", 0),
        ("custom_title", "TEXT", 0, "''", 0),
        ("image_path", "TEXT", 0, "''", 0),
        ("cat_pin_override", "INTEGER", 1, "0", 0),
        ("link_title", "TEXT", 0, "''", 0),
        ("keep", "INTEGER", 1, "0", 0),
    ],
    "slot_entries": [
        ("entry_id", "INTEGER", 0, None, 1),
        ("slot_order", "INTEGER", 1, "0", 0),
    ],
    "snippets": [
        ("id", "INTEGER", 0, None, 1),
        ("title", "TEXT", 1, None, 0),
        ("text", "TEXT", 1, None, 0),
        ("grp", "TEXT", 0, "''", 0),
        ("created_at", "TEXT", 1, None, 0),
        ("use_count", "INTEGER", 1, "0", 0),
        ("deleted_at", "TEXT", 0, None, 0),
    ],
    "snippet_groups": [
        ("name", "TEXT", 0, None, 1),
    ],
}

LETTER = "Здравствуйте, {user}!\n\nНаправляем вам письмо от {date}.\n\nС уважением, ..."
HEADING = "Документ подготовлен {date} пользователем {user}."


class NewFile(unittest.TestCase):
    def test_schema_pragmas_and_seeded_templates(self):
        with kh.temp_dir() as d:
            db = os.path.join(d, ".korvane.db")
            run_tool(db, "open")
            con = sqlite3.connect(db)
            tables = sorted(r[0] for r in con.execute(
                "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'"))
            self.assertEqual(tables, sorted(EXPECTED_COLUMNS))
            for table, columns in EXPECTED_COLUMNS.items():
                info = [(r[1], r[2], r[3], r[4], r[5]) for r in con.execute(f"PRAGMA table_info({table})")]
                self.assertEqual(info, columns, table)
            fks = [(r[2], r[3], r[4]) for r in con.execute("PRAGMA foreign_key_list(history)")]
            self.assertEqual(fks, [("categories", "category_id", "id")])
            self.assertEqual(con.execute("PRAGMA journal_mode").fetchone()[0], "wal")

            groups = [r[0] for r in con.execute("SELECT name FROM snippet_groups ORDER BY rowid")]
            self.assertEqual(groups, ["Письма", "Документы"])
            rows = con.execute("SELECT title, text, grp, use_count, deleted_at, created_at FROM snippets "
                               "ORDER BY id").fetchall()
            self.assertEqual([r[:5] for r in rows],
                             [("Письмо", LETTER, "Письма", 0, None),
                              ("Заголовок документа", HEADING, "Документы", 0, None)])
            self.assertEqual(len(LETTER), 73)
            self.assertEqual(len(HEADING), 49)
            self.assertEqual(con.execute("SELECT count(*) FROM snippets WHERE text LIKE '%' || char(13) || '%'")
                             .fetchone()[0], 0)
            for r in rows:
                self.assertRegex(r[5], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$")
            con.close()

            # Opening again changes nothing and does not seed again.
            before = list(sqlite3.connect(db).iterdump())
            run_tool(db, "open")
            self.assertEqual(list(sqlite3.connect(db).iterdump()), before)

    def test_templates_seed_again_only_when_every_group_and_live_template_is_gone(self):
        with kh.temp_dir() as d:
            db = os.path.join(d, "h.db")
            run_tool(db, "open")
            con = sqlite3.connect(db)
            con.execute("DELETE FROM snippet_groups WHERE name='Письма'")
            con.commit()
            con.close()
            run_tool(db, "open")
            con = sqlite3.connect(db)
            self.assertEqual(con.execute("SELECT count(*) FROM snippets").fetchone()[0], 2)
            con.execute("DELETE FROM snippet_groups")
            con.execute("UPDATE snippets SET deleted_at='2020-01-01T00:00:00'")
            con.commit()
            con.close()
            run_tool(db, "open")
            con = sqlite3.connect(db)
            self.assertEqual(con.execute("SELECT count(*) FROM snippets").fetchone()[0], 4)
            self.assertEqual(con.execute("SELECT count(*) FROM snippets WHERE deleted_at IS NULL").fetchone()[0], 2)

    def test_unopenable_file_gives_empty_results_and_no_crash(self):
        with kh.temp_dir() as d:
            db = os.path.join(d, "missing", "folder", "h.db")
            lines = run_tool(db, "add:" + hexs("some text"), "list:" + hexs("all") + ":0:0",
                             "list:" + hexs("trash") + ":0:0", "slots", "categories", "snippets", "groups",
                             "purge_trash:1", "purge_expired:1", "clear:0", "empty_trash", "delete:1,2",
                             "slot:1,2:9")
            self.assertEqual(entry_ids(lines), [])
            self.assertEqual([f[0] for f in lines if f[0] != "R"], [])
            self.assertEqual(results(lines), [0, 0, 0, 0, 0, 0, 0])
            self.assertFalse(os.path.exists(os.path.join(d, "missing")))


class OldFile(unittest.TestCase):
    def test_old_shape_is_migrated_and_back_filled(self):
        with kh.temp_dir() as d:
            db = os.path.join(d, "old.db")
            con = sqlite3.connect(db)
            con.executescript("""
                CREATE TABLE categories (id INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL UNIQUE,
                    pinned INTEGER NOT NULL DEFAULT 0,cat_order INTEGER NOT NULL DEFAULT 0);
                CREATE TABLE history (id INTEGER PRIMARY KEY AUTOINCREMENT,text TEXT NOT NULL,
                    created_at TEXT NOT NULL,pinned INTEGER NOT NULL DEFAULT 0,
                    category_id INTEGER REFERENCES categories(id),sort_order INTEGER NOT NULL DEFAULT 0,
                    deleted_at TEXT,use_count INTEGER NOT NULL DEFAULT 0,
                    rtf TEXT DEFAULT '', html TEXT DEFAULT '', image BLOB DEFAULT NULL,
                    source_url TEXT DEFAULT '', is_image INTEGER NOT NULL DEFAULT 0);
                CREATE TABLE snippets (id INTEGER PRIMARY KEY AUTOINCREMENT,title TEXT NOT NULL,
                    text TEXT NOT NULL,created_at TEXT NOT NULL,use_count INTEGER NOT NULL DEFAULT 0);
            """)
            url = "https://пример.рф/путь?q=1"
            html = ("Version:0.9\r\nStartHTML:0000000105\r\nsourceURL:" + url + "\r\n<b>x</b>").encode("utf-8")
            rows = [
                # text, image, is_image, html, source_url
                ("an image", b"\x89PNG\r\n\x1a\n\x00\x00", 0, None, ""),
                ("no image", b"", 0, None, ""),
                ("null image", None, 0, None, ""),
                ("from a page", None, 0, html, ""),
                ("kept address", None, 0, html, "http://kept/"),
                ("address is null", None, 0, html, None),
            ]
            for i, (text, image, is_image, html_bytes, src) in enumerate(rows, 1):
                con.execute("INSERT INTO history (text, created_at, sort_order, image, is_image, html, source_url) "
                            "VALUES (?, '2024-01-01T00:00:00', ?, ?, ?, ?, ?)",
                            (text, i, image, is_image, html_bytes, src))
            con.execute("INSERT INTO snippets (title, text, created_at) VALUES ('old', 'body', '2024-01-01T00:00:00')")
            con.commit()
            con.close()

            run_tool(db, "open")
            con = sqlite3.connect(db)
            for table, columns in EXPECTED_COLUMNS.items():
                names = sorted(r[1] for r in con.execute(f"PRAGMA table_info({table})"))
                self.assertEqual(names, sorted(c[0] for c in columns), table)
            got = dict(con.execute("SELECT text, is_image FROM history"))
            self.assertEqual(got, {"an image": 1, "no image": 0, "null image": 0, "from a page": 0,
                                   "kept address": 0, "address is null": 0})
            urls = dict(con.execute("SELECT text, source_url FROM history"))
            self.assertEqual(urls["from a page"], url)
            self.assertEqual(urls["address is null"], url)
            self.assertEqual(urls["kept address"], "http://kept/")
            self.assertEqual(urls["an image"], "")
            # A table that had templates is not seeded; the old template survives.
            self.assertEqual(con.execute("SELECT title, grp, deleted_at FROM snippets").fetchall(),
                             [("old", "", None)])


class Lists(unittest.TestCase):
    """Every view and ordering against the same rows sorted by Python."""

    def setUp(self):
        self.tmp = kh.temp_dir()
        self.db = os.path.join(self.tmp.name, "lists.db")
        run_tool(self.db, "open")
        con = sqlite3.connect(self.db)
        con.execute("DELETE FROM snippets")
        con.executescript("""
            INSERT INTO categories (id, name, pinned, cat_order) VALUES (1, 'work', 1, 2), (2, 'home', 0, 1),
                (12, 'twelve', 0, 3);
        """)
        # id, text, pinned, category, override, sort_order, use_count, trashed at, is_image
        self.rows = [
            (1, "plain old", 0, None, 0, 3, 5, None, 0),
            (2, "pinned itself", 1, None, 0, 1, 0, None, 0),
            (3, "in pinned cat", 0, 1, 0, 2, 9, None, 0),
            (4, "overridden", 0, 1, 1, 12, 2, None, 0),
            (5, "home text", 0, 2, 0, 7, 2, None, 0),
            (6, "trashed first", 0, None, 0, 8, 1, "2024-05-01T10:00:00", 0),
            (7, "trashed later", 1, 2, 0, 9, 1, "2024-05-02T10:00:00", 1),
            (8, "image", 0, None, 0, 10, 4, None, 1),
            (9, "pinned image", 1, 2, 0, 4, 3, None, 1),
            (10, "home image", 0, 2, 0, 11, 7, None, 1),
            (11, "twelve text", 0, 12, 0, 5, 0, None, 0),
            (12, "newest", 0, None, 0, 13, 1, None, 0),
            (13, "pinned in pinned cat", 1, 1, 1, 6, 6, None, 0),
        ]
        for r in self.rows:
            con.execute("INSERT INTO history (id, text, created_at, pinned, category_id, cat_pin_override, "
                        "sort_order, use_count, deleted_at, is_image) VALUES (?, ?, '2024-01-01T00:00:00', "
                        "?, ?, ?, ?, ?, ?, ?)", (r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8]))
        con.execute("INSERT INTO slot_entries VALUES (5, 1), (99, 2), (6, 3), (1, 4), (8, 5)")
        con.commit()
        con.close()

    def tearDown(self):
        self.tmp.cleanup()

    def ep(self, r):
        pinned_cats = {1}
        return 1 if r[2] == 1 or (r[3] in pinned_cats and r[4] == 0) else 0

    def expected(self, view, by_frequency, pinned_first):
        live = [r for r in self.rows if r[7] is None]
        if view == "trash":
            rows = sorted((r for r in self.rows if r[7] is not None), key=lambda r: r[7], reverse=True)
            return [r[0] for r in rows]
        chosen = {
            "all": [r for r in live if r[8] == 0],
            "images": [r for r in live if r[8] == 1],
            "none": [r for r in live if r[8] == 0 and r[3] is None],
            "pinned": [r for r in live if self.ep(r) == 1],
            "cat:2": [r for r in live if r[3] == 2],
            "cat:12x": [r for r in live if r[3] == 12],
            "cat: +12": [r for r in live if r[3] == 12],
            "cat:x": [],
            "cat:": [],
            "cat:99999999999999999999": [],
            "everything": list(self.rows),
        }[view]

        def key(r):
            k = []
            if pinned_first:
                k.append(self.ep(r))
            if by_frequency:
                k.append(r[6])
            k.append(r[5])
            return tuple(k)
        return [r[0] for r in sorted(chosen, key=key, reverse=True)]

    def test_every_view_and_ordering(self):
        views = ["all", "images", "none", "pinned", "trash", "cat:2", "cat:12x", "cat: +12", "cat:x", "cat:",
                 "cat:99999999999999999999", "everything"]
        flags = [(0, 0), (1, 0), (0, 1), (1, 1)]
        ops = []
        for view in views:
            for f, p in flags:
                ops += [f"mark:{len(ops)}", f"list:{hexs(view)}:{f}:{p}"]
        lines = run_tool(self.db, *ops)
        lists = []
        for fields in lines:
            if fields[0] == "M":
                lists.append([])
            elif fields[0] == "E":
                lists[-1].append(int(fields[1]))
        cases = [(v, f, p) for v in views for f, p in flags]
        self.assertEqual(len(lists), len(cases))
        for (view, f, p), got in zip(cases, lists):
            self.assertEqual(got, self.expected(view, f, p), (view, f, p))

    def test_slots_skip_trashed_and_missing_entries(self):
        lines = run_tool(self.db, "slots", "list:" + hexs("slots") + ":1:1")
        ids = entry_ids(lines)
        self.assertEqual(ids, [5, 1, 8] * 2)

    def test_entry_fields(self):
        con = sqlite3.connect(self.db)
        con.execute("UPDATE history SET rtf=?, html=?, image=?, custom_title=?, link_title='t', keep=1, "
                    "source_app='app.exe', source_title='win', source_url='http://u', is_browser_page=1 "
                    "WHERE id=12",
                    (b"{\\rtf\x00zero}", b"<p>\x00</p>", b"\x00\x00\x01\x00", "name"))
        con.execute("UPDATE history SET rtf=?, html=NULL, custom_title=NULL WHERE id=1", (b"",))
        con.commit()
        con.close()
        lines = [f for f in run_tool(self.db, "list:" + hexs("everything") + ":0:0") if f[0] == "E"]
        by_id = {int(f[1]): f for f in lines}
        e = by_id[12]
        # The image bytes make it an image entry at the next open.
        self.assertEqual((e[2], e[3], e[4], e[5], e[6], e[7], e[8]), ("0", "0", "1", "-", "1", "1", "1"))
        self.assertEqual(unhex(e[9]).decode(), "newest")
        self.assertEqual(unhex(e[10]).decode(), "2024-01-01T00:00:00")
        self.assertEqual(unhex(e[11]), b"{\\rtf\x00zero}")
        self.assertEqual(unhex(e[12]), b"<p>\x00</p>")
        self.assertEqual(unhex(e[13]), b"\x00\x00\x01\x00")
        self.assertEqual([unhex(x).decode() for x in e[14:19]], ["app.exe", "win", "http://u", "name", "t"])
        e = by_id[1]
        self.assertEqual([e[11], e[12], e[13], e[17]], ["-", "-", "-", "-"])
        self.assertEqual(by_id[4][5], "1")
        self.assertEqual((by_id[4][2], by_id[3][2]), ("0", "1"))


class Literals(unittest.TestCase):
    def test_quotes_and_sql_in_text_are_stored_literally(self):
        hostile = ["'); DROP TABLE history;--", "it's", "''", "\"double\" \\back\\", "a;b -- c /* d */",
                   "tab\there", "Ёжик 🦔 ёлка", "\u0001\u0002 ctrl \u001f"]
        with kh.temp_dir() as d:
            db = os.path.join(d, "h.db")
            lines = run_tool(db, *["add:" + hexs(t) for t in hostile], "list:" + hexs("all") + ":0:0")
            self.assertEqual(len(results(lines)), len(hostile))
            self.assertTrue(all(r > 0 for r in results(lines)))
            listed = [unhex(f[9]).decode("utf-8") for f in lines if f[0] == "E"]
            self.assertEqual(listed, list(reversed(hostile)))
            con = sqlite3.connect(db)
            self.assertEqual(sorted(r[0] for r in con.execute("SELECT text FROM history")), sorted(hostile))


if __name__ == "__main__":
    unittest.main()
