"""The commands on the entry list, end to end against the real Korvane.exe,
driven as a user drives them: clicks on the cards, their context menus, the
menu-bar commands, the question boxes. A double click pastes into the
program that was in front (a window with an edit control) and the paste is
not recorded again; pin, keep, trash, restore, delete for good, moves, quick
slots, edits and the templates' own menu change the rows as they should, in
the list at once and in the database after the program has quit. Pictures
of the context menus in both themes go to screenshots/ in the build folder."""

import os
import sqlite3
import struct
import subprocess
import time
import unittest
import zlib

import korvane_harness as kh
from korvane_harness import (IDS, WM_COMMAND, PasteTarget, RunningProgram, helper, language_text, profile_path,
                             wait_until, wine)

LIST = helper("entry_list_probe")
MENU = helper("menu_probe")
VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN = 0x0D, 0x1B, 0x26, 0x28
IDOK, IDCANCEL, IDYES = 1, 2, 6
POLL_WAIT = 1.6  # three ticks of the program's 500 ms timer
PIN, STAR = "\U0001F4CC", "\u2605"

RICH_TEXT = "Quarterly figures, rich"
RTF = "{\\rtf1\\ansi {\\b Quarterly} figures, rich}"
HTML = "<b>Quarterly</b> figures, rich"
LONG_TEXT = " ".join(f"word{n:04d}" for n in range(600))  # 5399 characters, more than any short box takes
TEMPLATE_TEXT = "Kind regards,\r\nthe team"


def hexs(text):
    return text.encode("utf-8").hex()


def tiny_png(width=24, height=16, rgb=(200, 40, 40)):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    pixels = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(pixels)) + chunk(b"IEND", b""))


def seed(*ops):
    """A fresh profile whose database holds what the ops add; the new ids in order."""
    kh.reset_profile()
    out = wine(helper("storage_db_tool"), kh.win_path(profile_path(".korvane.db")), *ops).stdout.decode()
    return [int(line.split("\t")[1]) for line in out.splitlines() if line.startswith("R\t")]


def database(sql, args=()):
    con = sqlite3.connect(profile_path(".korvane.db"))
    try:
        rows = con.execute(sql, args).fetchall()
        con.commit()
        return rows
    finally:
        con.close()


def probe(*args, check=True):
    return wine(LIST, *args, check=check).stdout.decode()


def rows():
    """[(item data, selected, text)] of the entry list as shown now."""
    found = []
    for line in probe("rows").splitlines():
        parts = line.split(" ")
        if parts[0] == "row":
            text = "" if parts[4] == "-" else bytes.fromhex(parts[4]).decode("utf-8")
            found.append((int(parts[2]), parts[3] == "1", text))
    return found


def shown_ids():
    return [data for data, _, _ in rows()]


def window_visible():
    return "visible 1" in probe("rows")


def command(app, cmd_id):
    app.post(WM_COMMAND, cmd_id, 0)


def answer_box(box_class, button, text=None):
    """Presses a button of the box that opens; returns the box's title and texts."""
    args = ["box", box_class, str(button), "8000"] + ([f"text={hexs(text)}"] if text is not None else [])
    out = probe(*args)
    assert "answered" in out, out
    seen = {"texts": []}
    for line in out.splitlines():
        key, _, value = line.partition(" ")
        if key == "title":
            seen["title"] = bytes.fromhex(value).decode("utf-8") if value != "-" else ""
        elif key == "text":
            seen["texts"].append(bytes.fromhex(value).decode("utf-8"))
        elif key == "field":
            seen["field"] = int(value)
    return seen


def open_menu(data=None):
    """Right-clicks a row (or the list below its rows); returns the menu's x, y, width, height."""
    if data is None:
        probe("click-blank", "right")
    else:
        probe("click", str(data), "right")
    out = wine(MENU, "wait-menu", "8000").stdout.decode()
    return [int(v) for v in out.split()[1:5]]


def choose(index):
    """Chooses the index-th row that can be chosen in the newest menu. With no
    row hovered, Down first reaches the second row."""
    keys = [VK_DOWN, VK_UP] if index == 0 else [VK_DOWN] * index
    wine(MENU, "key", *[str(k) for k in keys + [VK_RETURN]])


def screenshot(box, name):
    x, y, w, h = box
    os.makedirs(kh.SCREENSHOTS_DIR, exist_ok=True)
    path = os.path.join(kh.SCREENSHOTS_DIR, name)
    subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path], check=True)
    return kh.picture_colours(path)


def target_text():
    """What the paste target's edit control holds now."""
    value = probe("target-text").split(" ", 1)[1].strip()
    return "" if value == "-" else bytes.fromhex(value).decode("utf-8")


def clipboard_formats():
    formats = set()
    for line in wine(helper("clip_formats")).stdout.decode().splitlines():
        number, _, name = line.strip().partition(" ")
        formats.add(name.strip() or int(number))
    return formats


def clipboard_text():
    with kh.temp_dir() as folder:
        path = os.path.join(folder, "clip.txt")
        wine(helper("clipboard_probe"), "read", kh.win_path(path))
        with open(path, encoding="utf-8", newline="") as f:
            return f.read()


class EntryCommandsTest(unittest.TestCase):
    def wait_rows(self, condition, what):
        self.assertTrue(wait_until(lambda: condition(rows()), 10), what + ": " + repr(rows()))

    def test_pasting_from_the_list_reaches_the_program_in_front(self):
        rich, neighbour, picture = seed(
            "add_rich:" + ":".join([hexs(RICH_TEXT), hexs(RTF), hexs(HTML), "", hexs("winword.exe"), "", "", "0"]),
            "add:" + hexs("a plain neighbour"),
            "add::" + tiny_png().hex())
        with RunningProgram({"start_in_tray": "true", "dark_mode": "true", "window_h": "640"}, reset=False) as app:
            target = PasteTarget(ms=120000)
            self.addCleanup(lambda: (target.proc.kill(), target.proc.communicate()))
            app.post(IDS.kMsgShowMain)  # the history hotkey's road: the program in front is remembered
            self.assertTrue(wait_until(window_visible), "the main window did not show")

            # A double click pastes text, rich text and HTML, and the window steps aside.
            probe("click", str(rich), "double")
            self.assertTrue(wait_until(lambda: not window_visible(), 5), "the window stayed after the paste")
            self.assertTrue(wait_until(lambda: target_text() == RICH_TEXT, 5), target_text())
            self.assertTrue({"Rich Text Format", "HTML Format", kh.CF_UNICODETEXT} <= clipboard_formats())

            # A picture pasted from the list goes back on the clipboard as the program's own.
            app.post(IDS.kMsgShowMain)
            self.assertTrue(wait_until(window_visible))
            probe("view", str(IDS.kSidebarImages))
            self.assertTrue(wait_until(lambda: shown_ids() == [picture]))
            probe("select", str(picture))
            command(app, IDS.kCmdPaste)
            self.assertTrue(wait_until(lambda: not window_visible(), 5))
            time.sleep(POLL_WAIT + 1)

            # A picture is named in a box that proposes its caption.
            app.post(IDS.kMsgShowMain)
            self.assertTrue(wait_until(window_visible))
            probe("select", str(picture))
            command(app, IDS.kCmdEdit)
            box = answer_box("KorvaneInputBox", IDOK, text="  Red square ")
            self.assertEqual(box["title"], language_text("input.image_name"))
            self.assertTrue(wait_until(lambda: database(
                "SELECT custom_title FROM history WHERE id = ?", (picture,)) == [("Red square",)], 5))

            # The context menu in the dark theme, with its "paste as" rows open;
            # the first of them pastes the text in capitals.
            app.post(IDS.kMsgShowMain)
            self.assertTrue(wait_until(window_visible))
            probe("view", str(IDS.kViewAll))
            self.assertTrue(wait_until(lambda: rich in shown_ids()))
            menu = open_menu(rich)
            choose(3)  # paste, copy, paste and delete, paste as
            sub = [int(v) for v in wine(MENU, "wait-menu", "5000").stdout.decode().split()[1:5]]
            left, top = min(menu[0], sub[0]), min(menu[1], sub[1])
            right = max(menu[0] + menu[2], sub[0] + sub[2])
            bottom = max(menu[1] + menu[3], sub[1] + sub[3])
            colours = screenshot([left, top, right - left, bottom - top], "entry_menu_dark.png")
            for colour in ("#272727", "#F2F2F2"):  # the menu's surface and text
                self.assertIn(colour, colours)
            choose(0)
            self.assertTrue(wait_until(lambda: target_text() == RICH_TEXT + RICH_TEXT.upper(), 5), target_text())
            time.sleep(POLL_WAIT)
            self.assertEqual(app.quit(), 0)

        # Nothing came back as a new copy; the pastes counted their uses.
        after = database("SELECT id, use_count FROM history ORDER BY id")
        self.assertEqual(after, [(rich, 2), (neighbour, 0), (picture, 1)])

    def test_commands_change_the_rows_as_the_user_asks(self):
        ids = seed(*(["add:" + hexs(LONG_TEXT)] + ["add:" + hexs(f"entry {n:02d}") for n in range(1, 13)]))
        long_id, e = ids[0], {n: ids[n] for n in range(1, 13)}
        work = 1
        database("INSERT INTO categories (id, name, cat_order) VALUES (?, 'Work', 1)", (work,))
        database("INSERT INTO snippets (title, text, grp, created_at) VALUES ('Sign-off', ?, '', '2024-01-01T00:00:00')",
                 (TEMPLATE_TEXT,))
        template = database("SELECT id FROM snippets WHERE title = 'Sign-off'")[0][0]
        settings = {"dark_mode": "false", "always_on_top": "true", "window_x": "20", "window_y": "20",
                    "window_w": "640", "window_h": "900"}
        text_of = lambda data: next(t for d, _, t in rows() if d == data)

        with RunningProgram(settings, reset=False) as app:
            self.assertTrue(wait_until(lambda: len(rows()) == 13))

            # Pin: a partly pinned selection is pinned whole; pinned whole, it is unpinned.
            probe("select", str(e[12]))
            command(app, IDS.kCmdPin)
            self.wait_rows(lambda r: r[0][2].startswith(PIN), "pin one")
            probe("select", str(e[12]), str(e[11]))
            command(app, IDS.kCmdPin)
            self.wait_rows(lambda r: all(t.startswith(PIN) for _, _, t in r[:2]), "pin both")
            command(app, IDS.kCmdPin)
            self.wait_rows(lambda r: not any(t.startswith(PIN) for _, _, t in r), "unpin both")

            # Keep, from the card's context menu (the light theme's picture).
            menu = open_menu(e[10])
            colours = screenshot(menu, "entry_menu_light.png")
            for colour in ("#FBFBFB", "#141414"):
                self.assertIn(colour, colours)
            choose(6)  # ... paste as, paste as plain text, open, keep forever
            self.wait_rows(lambda r: text_of(e[10]).startswith(STAR), "keep")

            # Delete asks first; Cancel keeps the rows, OK moves them to the trash.
            probe("select", str(e[9]))
            command(app, IDS.kCmdDelete)
            self.assertIn(language_text("confirm.delete_entry"), answer_box("KorvaneConfirmBox", IDOK)["texts"])
            self.wait_rows(lambda r: e[9] not in [d for d, _, _ in r], "trash one")
            probe("select", str(e[8]), str(e[7]), str(e[6]))
            command(app, IDS.kCmdDelete)
            self.assertIn("Удалить 3 записи?", answer_box("KorvaneConfirmBox", IDCANCEL)["texts"])
            time.sleep(0.5)
            self.assertIn(e[8], shown_ids())
            command(app, IDS.kCmdDelete)
            answer_box("KorvaneConfirmBox", IDOK)
            self.wait_rows(lambda r: not {e[8], e[7], e[6]} & {d for d, _, _ in r}, "trash three")

            # The trash: restore one from its menu, delete one for good from its
            # menu without a question and one from the menu bar after one, then
            # empty it after a yes.
            probe("view", str(IDS.kViewTrash))
            self.wait_rows(lambda r: sorted(d for d, _, _ in r) == sorted([e[6], e[7], e[8], e[9]]), "trash view")
            menu = open_menu(e[9])
            screenshot(menu, "trash_menu_light.png")
            choose(0)
            self.wait_rows(lambda r: e[9] not in [d for d, _, _ in r], "restore")
            open_menu(e[8])
            choose(1)
            self.assertIn("none", probe("no-box", "KorvaneConfirmBox", "800"))
            self.wait_rows(lambda r: e[8] not in [d for d, _, _ in r], "delete for good")
            probe("select", str(e[7]))
            command(app, IDS.kCmdDelete)
            self.assertIn(language_text("confirm.delete_entry_forever"), answer_box("KorvaneConfirmBox", IDOK)["texts"])
            self.wait_rows(lambda r: [d for d, _, _ in r] == [e[6]], "one left in the trash")
            open_menu(e[6])
            choose(2)
            self.assertIn(language_text("confirm.empty_trash"), answer_box("#32770", IDYES)["texts"])
            self.wait_rows(lambda r: r == [], "the trash is empty")

            # Moves change places in the list at once, keeping the block selected.
            probe("view", str(IDS.kViewAll))
            order = [e[n] for n in (12, 11, 10, 9, 5, 4, 3, 2, 1)] + [long_id]
            self.wait_rows(lambda r: [d for d, _, _ in r] == order, "all view")
            probe("select", str(e[4]))
            command(app, IDS.kCmdMoveUp)
            order[4:6] = [e[4], e[5]]
            self.wait_rows(lambda r: [d for d, _, _ in r] == order, "move up")
            self.assertEqual([d for d, sel, _ in rows() if sel], [e[4]])
            command(app, IDS.kCmdMoveDown)
            command(app, IDS.kCmdMoveDown)
            order[4:7] = [e[5], e[3], e[4]]
            self.wait_rows(lambda r: [d for d, _, _ in r] == order, "move down twice")
            probe("select", str(e[3]), str(e[4]))
            command(app, IDS.kCmdMoveUp)
            order[4:7] = [e[3], e[4], e[5]]
            self.wait_rows(lambda r: [d for d, _, _ in r] == order, "move a block")
            self.assertEqual([d for d, sel, _ in rows() if sel], [e[3], e[4]])
            probe("select", str(e[12]), str(e[10]))  # not one block: nothing moves
            command(app, IDS.kCmdMoveDown)
            probe("select", str(e[12]))  # at the top already
            command(app, IDS.kCmdMoveUp)
            time.sleep(1)
            self.assertEqual(shown_ids(), order)

            # A category for two entries at once, from the category picker.
            probe("select", str(e[2]), str(e[1]))
            command(app, IDS.kCmdToCategory)
            wine(MENU, "wait-menu", "8000")
            choose(0)
            self.assertTrue(wait_until(lambda: len(database(
                "SELECT id FROM history WHERE category_id = ?", (work,))) == 2), "category")

            # Quick slots take nine at most; a slot can move and go.
            probe("select", *[str(d) for d in order])
            command(app, IDS.kCmdAddSlot)
            time.sleep(0.5)
            probe("view", str(IDS.kViewSlots))
            self.wait_rows(lambda r: [d for d, _, _ in r] == order[:9], "nine slots")
            probe("select", str(order[1]))
            command(app, IDS.kCmdMoveDown)
            slots = order[:9]
            slots[1:3] = [slots[2], slots[1]]
            self.wait_rows(lambda r: [d for d, _, _ in r] == slots, "slot moved")
            command(app, IDS.kCmdRemoveSlot)
            slots.remove(order[1])
            self.wait_rows(lambda r: [d for d, _, _ in r] == slots, "slot removed")
            command(app, IDS.kCmdSelectAll)
            self.wait_rows(lambda r: all(sel for _, sel, _ in r), "select all")

            # Edits: a long text is offered whole and stays as it was when left
            # unchanged; a changed text is stored trimmed.
            probe("view", str(IDS.kViewAll))
            self.wait_rows(lambda r: len(r) == 10, "all view again")
            probe("select", str(long_id))
            command(app, IDS.kCmdEdit)
            self.assertEqual(answer_box("KorvaneInputBox", IDOK)["field"], len(LONG_TEXT))
            probe("select", str(e[1]))
            command(app, IDS.kCmdEdit)
            answer_box("KorvaneInputBox", IDOK, text="  entry one, edited  ")
            self.wait_rows(lambda r: text_of(e[1]).strip() == "entry one, edited", "edit")

            # The templates view has its own menus: over no row "add group"
            # (which pastes nothing), over a template its commands.
            command(app, IDS.kCmdTemplates)
            self.wait_rows(lambda r: -template in [d for d, _, _ in r], "templates view")
            menu = open_menu()
            screenshot(menu, "templates_menu_light.png")
            choose(0)
            probe("box", "KorvaneInputBox", str(IDCANCEL), "1500", check=False)  # the group name, when asked
            open_menu(-template)
            choose(1)  # paste, copy
            self.assertTrue(wait_until(lambda: clipboard_text() == TEMPLATE_TEXT, 5), clipboard_text())
            self.assertTrue(window_visible())

            command(app, IDS.kCmdShowTime)
            time.sleep(0.3)
            self.assertEqual(app.quit(), 0)

        live = dict(database("SELECT id, text FROM history WHERE deleted_at IS NULL"))
        self.assertEqual(sorted(live), sorted(order))
        self.assertEqual(live[long_id], LONG_TEXT)
        self.assertEqual(live[e[1]], "entry one, edited")
        self.assertEqual(database("SELECT id FROM history WHERE deleted_at IS NOT NULL"), [])
        self.assertEqual(database("SELECT id FROM history WHERE pinned = 1"), [])
        self.assertEqual(database("SELECT id FROM history WHERE keep = 1"), [(e[10],)])
        self.assertEqual([r[0] for r in database("SELECT entry_id FROM slot_entries ORDER BY slot_order")], slots)
        # The stored order is the one the list showed.
        listed = wine(helper("storage_db_tool"), kh.win_path(profile_path(".korvane.db")),
                      "list:" + hexs("all") + ":0:1").stdout.decode()
        self.assertEqual([int(l.split("\t")[1]) for l in listed.splitlines() if l.startswith("E\t")], order)
        self.assertEqual(database("SELECT use_count FROM snippets WHERE id = ?", (template,)), [(1,)])
        self.assertEqual(kh.read_profile_settings()["show_time"], "false")


if __name__ == "__main__":
    unittest.main()
