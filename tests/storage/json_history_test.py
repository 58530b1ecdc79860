"""The history file checked end to end: a helper program exports and imports
under Wine; Python's json, base64 and sqlite3 are the oracles, used only after
the helper has closed the database."""

import base64
import datetime
import json
import os
import re
import sqlite3
import unittest

import korvane_harness as kh

TOOL = kh.helper("json_history_tool")
PNG_1X1 = bytes.fromhex(
    "89504e470d0a1a0a0000000d49484452000000010000000108000000003a7e9b55"
    "0000000a4944415408d76368000000820081dd436af40000000049454e44ae426082")

TRICKY_TEXTS = [
    "Привет, мир",
    "emoji \U0001F600 and \U0001F9D1\u200D\U0001F4BB",
    'quotes "inside" and \\ backslashes \\\\',
    "tab\there\nline\r\ncr",
    "controls \x01\x08\x0c\x1f\x7f end",
    "</script> & <b>",
]


def tool(db, *args):
    return kh.wine(TOOL, kh.win_path(db), *args).stdout.decode().split()


def rows_of(db, sql, *params):
    con = sqlite3.connect(db)
    try:
        return con.execute(sql, params).fetchall()
    finally:
        con.close()


def execute(db, statements):
    con = sqlite3.connect(db)
    try:
        for sql, params in statements:
            con.execute(sql, params)
        con.commit()
    finally:
        con.close()


def snapshot(db):
    con = sqlite3.connect(db)
    try:
        return list(con.iterdump())
    finally:
        con.close()


def expected_file(db):
    """The export as Python derives it from the rows: live text entries, then
    live image entries, each effectively pinned first, then by sort_order."""
    cats = {cid: (name, pinned) for cid, name, pinned in rows_of(db, "SELECT id, name, pinned FROM categories")}
    rows = rows_of(db, "SELECT text, created_at, pinned, category_id, sort_order, is_image, image, cat_pin_override "
                       "FROM history WHERE deleted_at IS NULL")

    def effective_pin(r):
        cat = cats.get(r[3])
        return r[2] == 1 or (cat is not None and cat[1] == 1 and r[7] == 0)

    out = []
    for image_group in (0, 1):
        group = [r for r in rows if r[5] == image_group]
        group.sort(key=lambda r: (not effective_pin(r), -r[4]))
        for r in group:
            name, pinned = cats.get(r[3], ("", 0))
            obj = {"text": r[0], "created_at": r[1], "pinned": r[2] == 1,
                   "category": name, "category_pinned": pinned == 1}
            if image_group:
                obj["is_image"] = True
                obj["image"] = base64.b64encode(r[6] or b"").decode()
            out.append(obj)
    return out


def python_layout(data):
    # Two spaces per level, "," at line ends, ": " after keys, UTF-8 unescaped.
    return json.dumps(data, ensure_ascii=False, indent=2).encode("utf-8")


def stored_entries(db):
    """Every live entry as (text, created_at, pinned, category, category pinned, is_image, image)."""
    return sorted(rows_of(db, """
        SELECT h.text, h.created_at, h.pinned, COALESCE(c.name, ''), COALESCE(c.pinned, 0), h.is_image,
               COALESCE(h.image, x'')
        FROM history h LEFT JOIN categories c ON c.id = h.category_id WHERE h.deleted_at IS NULL"""))


def fill_with_tricky_rows(db):
    """Rows written directly, so that every value is known exactly."""
    statements = [
        ("INSERT INTO categories (id, name, pinned, cat_order) VALUES (50, 'Важное', 1, 10)", ()),
        ("INSERT INTO categories (id, name, pinned, cat_order) VALUES (51, 'Plain \"cat\"', 0, 11)", ()),
    ]
    order = 100
    for i, text in enumerate(TRICKY_TEXTS):
        order += 1
        statements.append((
            "INSERT INTO history (text, created_at, pinned, category_id, sort_order) VALUES (?, ?, ?, ?, ?)",
            (text, f"2024-0{1 + i % 9}-1{i}T0{i}:3{i}:5{i}", i % 2, (None, 50, 51)[i % 3], order)))
    statements += [
        # Unpinned by the user inside a pinned category.
        ("INSERT INTO history (text, created_at, category_id, sort_order, cat_pin_override) "
         "VALUES ('override', '2023-12-31T23:59:59', 50, 300, 1)", ()),
        # Its category no longer exists.
        ("INSERT INTO history (text, created_at, category_id, sort_order) "
         "VALUES ('orphan', '2023-01-01T00:00:00', 999, 301)", ()),
        ("INSERT INTO history (text, created_at, sort_order, deleted_at) "
         "VALUES ('in the trash', '2023-01-01T00:00:00', 302, '2024-01-01T00:00:00')", ()),
        ("INSERT INTO history (text, created_at, pinned, category_id, sort_order, is_image, image) "
         "VALUES ('', '2024-05-05T05:05:05', 1, 51, 303, 1, ?)", (bytes(range(256)) * 3,)),
        ("INSERT INTO history (text, created_at, category_id, sort_order, is_image, image) "
         "VALUES ('shot', '2024-06-06T06:06:06', 50, 304, 1, ?)", (PNG_1X1,)),
    ]
    execute(db, statements)


class HistoryFileExport(unittest.TestCase):
    def test_empty_history_is_an_empty_array(self):
        with kh.temp_dir() as d:
            db, out = os.path.join(d, "h.db"), os.path.join(d, "out.json")
            self.assertEqual(tool(db, "export", kh.win_path(out)), ["0"])
            with open(out, "rb") as f:
                self.assertEqual(f.read(), b"[]")

    def test_file_equals_pythons_rendering_byte_for_byte(self):
        with kh.temp_dir() as d:
            db, out = os.path.join(d, "h.db"), os.path.join(d, "out.json")
            tool(db, "sample")
            fill_with_tricky_rows(db)
            with open(out, "wb") as f:
                f.write(b"an older file that the export replaces")
            count = tool(db, "export", kh.win_path(out))
            with open(out, "rb") as f:
                data = f.read()
            expected = expected_file(db)
            self.assertEqual(count, [str(len(expected))])
            self.assertEqual(len(expected), 5 + len(TRICKY_TEXTS) + 4)
            self.assertFalse(data.startswith(b"\xef\xbb\xbf"))
            self.assertFalse(data.endswith(b"\n"))
            self.assertEqual(json.loads(data.decode("utf-8")), expected)
            self.assertEqual(data, python_layout(expected))
            # Text entries carry five members, image entries seven.
            self.assertEqual(sorted(len(o) for o in expected), [5] * (len(expected) - 4) + [7] * 4)
            self.assertFalse([n for n in os.listdir(d) if n.endswith(".tmp")])

    def test_failed_export_says_so_and_keeps_what_exists(self):
        with kh.temp_dir() as d:
            db = os.path.join(d, "h.db")
            tool(db, "sample")
            folder = os.path.join(d, "a folder.json")
            os.mkdir(folder)
            with open(os.path.join(folder, "inside"), "wb") as f:
                f.write(b"keep me")
            self.assertEqual(tool(db, "export", kh.win_path(folder)), ["failed"])
            self.assertEqual(tool(db, "export", kh.win_path(os.path.join(d, "missing", "x.json"))), ["failed"])
            self.assertEqual(os.listdir(folder), ["inside"])
            self.assertFalse([n for n in os.listdir(d) if n.endswith(".tmp")])


class HistoryFileImport(unittest.TestCase):
    def test_round_trip_keeps_every_entry(self):
        with kh.temp_dir() as d:
            first, second = os.path.join(d, "first.db"), os.path.join(d, "second.db")
            out = os.path.join(d, "out.json")
            tool(first, "sample")
            fill_with_tricky_rows(first)
            written = tool(first, "export", kh.win_path(out))
            self.assertEqual(tool(second, "import", kh.win_path(out)), written)

            # The orphan's category is gone on both sides; everything else matches.
            self.assertEqual(stored_entries(second), stored_entries(first))
            self.assertEqual(rows_of(second, "SELECT DISTINCT sort_order FROM history"), [(0,)])
            # Only categories that entries use come over, with their pins.
            self.assertEqual(
                sorted(rows_of(second, "SELECT name, pinned FROM categories")),
                sorted(rows_of(first, "SELECT DISTINCT c.name, c.pinned FROM categories c JOIN history h "
                                      "ON h.category_id = c.id WHERE h.deleted_at IS NULL")))
            images = rows_of(second, "SELECT image FROM history WHERE is_image=1 AND text='shot'")
            self.assertEqual(images, [(PNG_1X1,)])

    def test_importing_twice_doubles_entries_but_not_categories(self):
        with kh.temp_dir() as d:
            first, second = os.path.join(d, "first.db"), os.path.join(d, "second.db")
            out = os.path.join(d, "out.json")
            tool(first, "sample")
            written = tool(first, "export", kh.win_path(out))[0]
            self.assertEqual(tool(second, "import", kh.win_path(out), kh.win_path(out)), [written, written])
            self.assertEqual(rows_of(second, "SELECT count(*) FROM history"), [(2 * int(written),)])
            self.assertEqual(rows_of(second, "SELECT count(*) FROM categories"), [(2,)])
            self.assertEqual(rows_of(second, "SELECT name, pinned FROM categories ORDER BY cat_order"),
                             [("Работа", 1), ('Misc "quoted"', 0)])

    def test_files_that_cannot_come_in_whole_import_nothing_and_change_no_row(self):
        bad = {
            # Its second element is one the history refuses (see below): the first must not stay.
            "refused_halfway": '[{"text": "first", "category": "New"}, {"text": "refused"}]',
            "cut_array": '[{"text": "first", "created_at": "2024-01-01T00:00:00"}, {"text": "sec',
            "cut_object": '[{"text": "first"',
            "no_colon": '[{"text" "first"}]',
            "object_top": '{"text": "an object, not an array"}',
            "string_top": '"just text"',
            "null_top": "null",
            "empty": "",
            "nested": "[" * 100_000,
            "nested_objects": '[{"a":' * 50_000,
            "huge_number": '[{"text": "x", "n": 123456789012345678901234567890}]',
            "escape_at_end": '[{"text": "abc\\u',
            "bad_escape": '[{"text": "abc\\uZZZZ"}]',
        }
        with kh.temp_dir() as d:
            db = os.path.join(d, "h.db")
            tool(db, "sample")
            execute(db, [("CREATE TRIGGER refuse BEFORE INSERT ON history WHEN NEW.text = 'refused' "
                          "BEGIN SELECT RAISE(ABORT, 'refused'); END", ())])
            before = snapshot(db)
            paths = []
            for name, text in bad.items():
                path = os.path.join(d, name + ".json")
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
                paths.append(kh.win_path(path))
            paths.append(kh.win_path(os.path.join(d, "does-not-exist.json")))
            self.assertEqual(tool(db, "import", *paths), ["failed"] * len(paths))
            self.assertEqual(snapshot(db), before)

    def test_file_starting_with_a_byte_order_mark(self):
        # As Notepad and PowerShell's UTF-8 write it.
        entries = [{"text": "Привет из Блокнота", "created_at": "2023-03-03T03:03:03", "pinned": True},
                   {"text": "second", "created_at": "2023-03-03T03:03:04"}]
        with kh.temp_dir() as d:
            db, path = os.path.join(d, "h.db"), os.path.join(d, "bom.json")
            with open(path, "w", encoding="utf-8-sig") as f:
                json.dump(entries, f, ensure_ascii=False, indent=2)
            self.assertEqual(tool(db, "import", kh.win_path(path)), ["2"])
            self.assertEqual(rows_of(db, "SELECT text, created_at, pinned FROM history ORDER BY id"),
                             [(e["text"], e["created_at"], int(e.get("pinned", False))) for e in entries])

    def test_file_written_by_python_with_escapes(self):
        entries = [{"text": t, "created_at": "2022-02-02T02:02:02"} for t in TRICKY_TEXTS]
        entries += [
            42,
            "not an object",
            {},
            {"text": ""},
            {"text": "no time"},
            {"text": "foreign time", "created_at": "yesterday"},
            {"text": "blank category", "category": "   ", "category_pinned": True},
            {"text": "pinned as a number", "pinned": 1, "created_at": "2022-02-02T02:02:02"},
            {"text": "image that decodes to nothing", "is_image": True, "image": "!!!="},
            {"text": "image flag without bytes", "is_image": True, "created_at": "2022-02-02T02:02:02"},
            {"text": "trimmed", "category": "  Spaced  ", "category_pinned": True},
            {"text": "second in it", "category": "Spaced", "category_pinned": False},
            {"text": "", "is_image": True, "image": base64.b64encode(PNG_1X1).decode(),
             "created_at": "2022-02-02T02:02:02", "pinned": True},
            # A NUL cuts the statement short, so this insert fails: the
            # element is not counted and its image must not land on the row
            # inserted before it.
            {"text": "before the failing one"},
            {"text": "nul \u0000 inside", "is_image": True, "image": base64.b64encode(b"not this").decode()},
        ]
        with kh.temp_dir() as d:
            db, path = os.path.join(d, "h.db"), os.path.join(d, "in.json")
            with open(path, "w", encoding="ascii") as f:
                json.dump(entries, f, ensure_ascii=True)  # every non-ASCII character as \\u escapes
            before = datetime.datetime.now() - datetime.timedelta(minutes=5)
            self.assertEqual(tool(db, "import", kh.win_path(path)), [str(len(TRICKY_TEXTS) + 9)])
            after = datetime.datetime.now() + datetime.timedelta(minutes=5)

            texts = {t for (t,) in rows_of(db, "SELECT text FROM history")}
            self.assertTrue(set(TRICKY_TEXTS) <= texts)
            for text in ("no time", "foreign time", "blank category"):
                (stamp,), = rows_of(db, "SELECT created_at FROM history WHERE text=?", text)
                self.assertRegex(stamp, r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$")
                self.assertTrue(before <= datetime.datetime.fromisoformat(stamp) <= after, stamp)
            self.assertEqual(rows_of(db, "SELECT category_id FROM history WHERE text='blank category'"), [(None,)])
            self.assertEqual(rows_of(db, "SELECT pinned FROM history WHERE text='pinned as a number'"), [(0,)])
            self.assertEqual(rows_of(db, "SELECT is_image, image FROM history WHERE text='image flag without bytes'"),
                             [(0, None)])
            self.assertEqual(rows_of(db, "SELECT name, pinned FROM categories"), [("Spaced", 1)])
            self.assertEqual(rows_of(db, "SELECT pinned, is_image, image FROM history WHERE is_image=1"),
                             [(1, 1, PNG_1X1)])
            self.assertFalse(re.search("decodes to nothing|nul", " ".join(texts)))
            self.assertEqual(rows_of(db, "SELECT is_image, image FROM history WHERE text='before the failing one'"),
                             [(0, None)])


class OutOfMemory(unittest.TestCase):
    """The helper refuses allocations from a given size up, as a machine whose
    memory is exhausted would, so that a large value runs out of it."""

    def test_an_element_too_large_is_left_out_and_leaves_nothing(self):
        huge = "'" * 1_000_000
        entries = [{"text": "before"}, {"text": huge, "category": "Huge", "category_pinned": True},
                   {"text": "after"}]
        with kh.temp_dir() as d:
            db, path = os.path.join(d, "h.db"), os.path.join(d, "in.json")
            tool(db, "sample")
            before = rows_of(db, "SELECT max(id) FROM history")[0][0]
            categories = rows_of(db, "SELECT * FROM categories")
            with open(path, "w", encoding="utf-8") as f:
                json.dump(entries, f)
            # The file and the text fit; the text in UTF-16 on its way in, twice the bytes, does not.
            self.assertEqual(tool(db, "refuse", str(2 * len(huge)), "import", kh.win_path(path)), ["2"])
            self.assertEqual(rows_of(db, "SELECT text FROM history WHERE id > ? ORDER BY id", before),
                             [("before",), ("after",)])
            self.assertEqual(rows_of(db, "SELECT * FROM categories"), categories)

    def test_an_export_out_of_memory_touches_no_file(self):
        picture = bytes(range(256)) * 4096
        with kh.temp_dir() as d:
            db, out = os.path.join(d, "h.db"), os.path.join(d, "out.json")
            tool(db, "sample")
            execute(db, [("INSERT INTO history (text, created_at, is_image, image) VALUES ('big', "
                          "'2024-01-01T00:00:00', 1, ?)", (picture,))])
            with open(out, "wb") as f:
                f.write(b"the last export")
            # The picture's bytes fit, their base64 (a third longer) does not.
            self.assertEqual(tool(db, "refuse", str(len(picture) * 7 // 6), "export", kh.win_path(out)), ["-1"])
            with open(out, "rb") as f:
                self.assertEqual(f.read(), b"the last export")
            self.assertFalse([n for n in os.listdir(d) if n.endswith(".tmp")])


if __name__ == "__main__":
    unittest.main()
