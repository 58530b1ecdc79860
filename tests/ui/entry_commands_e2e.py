"""The commands on the entry list, end to end against the real Korvane.exe,
driven as a user drives them: clicks on the cards, their context menus, the
menu-bar commands and the question boxes. A double click on a card pastes into
the program that was in front and the paste is not recorded again; pin, keep,
trash, restore, delete for good, moves, categories, quick slots and edits
change the rows at once and in the database. Pictures of the context menus
in both themes go to screenshots/ in the build folder."""

import os
import sqlite3
import struct
import subprocess
import time
import unittest
import zlib

import korvane_harness as kh
from korvane_harness import (IDS, WM_COMMAND, WM_HOTKEY, PasteTarget, RunningProgram, helper, language_text,
                             profile_path, wine)

LIST, MENU = helper("entry_list_probe"), helper("menu_probe")
VK_RETURN, VK_UP, VK_DOWN = 0x0D, 0x26, 0x28
IDOK, IDCANCEL, IDYES = 1, 2, 6
POLL_WAIT = 1.6  # three ticks of the program's 500 ms timer
PIN, STAR = "\U0001F4CC", "\u2605"
RICH_TEXT, RTF, HTML = "Quarterly figures", "{\\rtf1 {\\b Quarterly} figures}", "<b>Quarterly</b> figures"
LONG_TEXT = " ".join(f"word{n:04d}" for n in range(600))  # 5399 characters


def hexs(text):
    return text.encode("utf-8").hex()


def tiny_png(width=24, height=16):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    pixels = b"".join(b"\x00" + b"\xc8\x28\x28" * width for _ in range(height))  # red rows
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


def unhex(value):
    return "" if value == "-" else bytes.fromhex(value).decode("utf-8")


def listed():
    """What entry_list_probe rows prints; no rows while the window has not made its children yet (a
    start in the tray makes them when the window is first shown)."""
    return probe("rows", check=False)


def rows():
    """[(item data, selected, text)] of the entry list as shown now."""
    return [(int(p[2]), p[3] == "1", unhex(p[4])) for p in (line.split(" ") for line in listed().splitlines())
            if p[0] == "row"]


def shown():
    return [data for data, _, _ in rows()]


def visible():
    return "visible 1" in listed()


def answer(box_class, button, text=None):
    """Presses a button of the box that opens; returns its title, texts and field length."""
    out = probe("box", box_class, str(button), "8000", *([f"text={hexs(text)}"] if text is not None else []))
    assert "answered" in out, out
    seen = {"texts": []}
    for key, _, value in (line.partition(" ") for line in out.splitlines()):
        if key == "text":
            seen["texts"].append(unhex(value))
        elif key in ("title", "field"):
            seen[key] = unhex(value) if key == "title" else int(value)
    return seen


def open_menu(data):
    """Right-clicks a row; returns the menu's x, y, width and height."""
    probe("click", str(data), "right")
    return [int(v) for v in wine(MENU, "wait-menu", "8000").stdout.decode().split()[1:5]]


def choose(index):
    """The index-th row that can be chosen in the newest menu (with no row
    hovered, Down first reaches the second one)."""
    keys = [VK_DOWN, VK_UP] if index == 0 else [VK_DOWN] * index
    wine(MENU, "key", *[str(k) for k in keys + [VK_RETURN]])


def screenshot(box, name):
    x, y, w, h = box
    os.makedirs(kh.SCREENSHOTS_DIR, exist_ok=True)
    path = os.path.join(kh.SCREENSHOTS_DIR, name)
    subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path], check=True)
    return kh.picture_colours(path)


class EntryCommandsTest(unittest.TestCase):
    def until(self, condition, what, timeout=10):
        self.assertTrue(kh.wait_until(condition, timeout), what + ": " + repr(rows()))

    def show(self, app):
        app.post(IDS.kMsgShowMain)  # as the history hotkey: the program in front becomes the paste target
        self.until(visible, "the main window did not show")

    def test_pasting_from_the_list_reaches_the_program_in_front(self):
        rich, neighbour, picture = seed(
            "add_rich:" + ":".join([hexs(RICH_TEXT), hexs(RTF), hexs(HTML), "", hexs("winword.exe"), "", "", "0"]),
            "add:" + hexs("a plain neighbour"), "add::" + tiny_png().hex())
        database("UPDATE history SET pinned = 1 WHERE id IN (?, ?)", (rich, picture))
        with RunningProgram({"start_in_tray": "true", "dark_mode": "true", "window_h": "640",
                             "last_view_filter": str(IDS.kViewPinned)}, reset=False) as app:
            target = PasteTarget(ms=120000)
            self.addCleanup(lambda: (target.proc.kill(), target.proc.communicate()))
            target_text = target.now
            app.post(WM_HOTKEY, IDS.kHotkeyOpenHistory)
            self.until(visible, "the main window did not show")

            # In the pinned view, the picture's tall card over the text's: under the last card a double
            # click pastes nothing, not even the picture that the hotkey selected; on a card it pastes
            # text, rich text and HTML, and the window steps aside.
            probe("click", str(shown()[-1]), "double", "under")
            probe("click", str(rich), "double")
            self.until(lambda: not visible(), "the window stayed")
            self.until(lambda: target_text() == RICH_TEXT, "pasted " + target_text())
            formats = wine(helper("clip_formats")).stdout.decode()
            self.assertIn("Rich Text Format", formats)
            self.assertIn("HTML Format", formats)

            # A picture goes back on the clipboard as the program's own; named, it keeps the name.
            self.show(app)
            probe("view", str(IDS.kSidebarImages))
            self.until(lambda: shown() == [picture], "images view")
            probe("select", str(picture))
            app.post(WM_COMMAND, IDS.kCmdPaste)
            self.until(lambda: not visible(), "the window stayed")
            time.sleep(POLL_WAIT + 1)
            self.show(app)
            app.post(WM_COMMAND, IDS.kCmdEdit)
            self.assertEqual(answer("KorvaneInputBox", IDOK, "  Red square ")["title"], language_text("input.image_name"))

            # The card's menu in the dark theme, its "paste as" rows open; the first pastes in capitals.
            probe("view", str(IDS.kViewAll))
            self.until(lambda: rich in shown(), "all view")
            menu = open_menu(rich)
            choose(3)  # paste, copy, paste and delete, paste as
            sub = [int(v) for v in wine(MENU, "wait-menu", "5000").stdout.decode().split()[1:5]]
            left, top = min(menu[0], sub[0]), min(menu[1], sub[1])
            colours = screenshot([left, top, max(menu[0] + menu[2], sub[0] + sub[2]) - left,
                                  max(menu[1] + menu[3], sub[1] + sub[3]) - top], "entry_menu_dark.png")
            self.assertTrue({"#272727", "#F2F2F2"} <= set(colours))  # the menu's surface and text
            choose(0)
            self.until(lambda: target_text() == RICH_TEXT + RICH_TEXT.upper(), "pasted " + target_text())
            time.sleep(POLL_WAIT)
            self.assertEqual(app.quit(), 0)

        # Nothing came back as a new copy; the pastes counted their uses.
        self.assertEqual(database("SELECT id, use_count, custom_title FROM history ORDER BY id"),
                         [(rich, 2, ""), (neighbour, 0, ""), (picture, 1, "Red square")])

    def test_enter_ctrl_f_and_esc_do_what_the_shortcut_help_says(self):
        """The history hotkey, Down and Enter paste the copy before the newest, Ctrl+F goes to the search
        field, where Enter pastes the first result and Down goes into the list, the hotkey and Enter paste
        the newest copy whatever was chosen or searched before, and Esc puts the window away to the tray,
        also where the close button quits: the program goes on."""
        first, second = seed("add:" + hexs("first line"), "add:" + hexs("second line"))
        focus = lambda: int(listed().rsplit("focus ", 1)[1])
        with RunningProgram({"start_in_tray": "true", "tray_on_minimize": "true"}, reset=False) as app:
            target = PasteTarget(ms=120000)
            self.addCleanup(lambda: (target.proc.kill(), target.proc.communicate()))
            time.sleep(POLL_WAIT)
            probe("keys", "ctrl+shift+v")
            self.until(visible, "the history hotkey")
            probe("keys", "down", "enter")
            self.until(lambda: not visible(), "Enter: the window stayed")
            self.until(lambda: target.now() == "first line", "Down and Enter pasted")
            self.show(app)
            probe("click", str(first), "left")
            probe("keys", "ctrl+f")
            self.until(lambda: focus() == IDS.kIdSearch, "Ctrl+F")
            probe("keys", "text:second", "enter")
            self.until(lambda: target.now() == "first linesecond line", "Enter in the search field pasted")
            self.show(app)
            self.until(lambda: focus() == IDS.kIdSearch, "the search field again")
            probe("keys", "down")
            self.until(lambda: focus() == IDS.kIdEntryList, "Down from the search field")
            probe("keys", "esc")
            self.until(lambda: not visible(), "Esc: the window stayed")
            wine(helper("clip_source"), "text=" + hexs("third line"), "stay=1500")
            self.until(lambda: database("SELECT id FROM history WHERE text = 'third line'"), "the new copy")
            probe("keys", "ctrl+shift+v")
            self.until(lambda: visible() and focus() == IDS.kIdEntryList, "the history hotkey again")
            probe("keys", "enter")
            # Each Enter pasted once: a second paste of any would have come by now, or by the program's end.
            pasted = "first linesecond linethird line"
            self.until(lambda: target.now() == pasted, "the hotkey and Enter pasted")
            self.assertEqual(app.quit(), 0)
            self.assertEqual(target.now(), pasted)
        with RunningProgram({"tray_on_minimize": "false"}, reset=False) as app:
            self.until(lambda: first in shown(), "the list")
            probe("click", str(first), "left")
            probe("keys", "esc")
            self.until(lambda: not visible(), "Esc: the window stayed")
            self.assertIsNone(app.proc.poll(), "Esc quit the program")
            self.show(app)
            self.assertEqual(app.quit(), 0)

    def test_commands_change_the_rows_as_the_user_asks(self):
        ids = seed(*(["add:" + hexs(LONG_TEXT)] + ["add:" + hexs(f"entry {n:02d}") for n in range(1, 13)]))
        long_id, e = ids[0], dict(enumerate(ids))
        database("INSERT INTO categories (id, name, cat_order) VALUES (1, 'Work', 1)")
        settings = {"dark_mode": "false", "window_x": "20", "window_y": "20", "window_w": "640", "window_h": "900"}
        text_of = lambda data: next(t for d, _, t in rows() if d == data)
        select = lambda *numbers: probe("select", *[str(e[n]) for n in numbers])

        with RunningProgram(settings, reset=False) as app:
            command = lambda cmd: app.post(WM_COMMAND, cmd)
            self.until(lambda: len(rows()) == 13, "the list")

            # Pin: a partly pinned selection is pinned whole; pinned whole, it is unpinned.
            select(12)
            command(IDS.kCmdPin)
            self.until(lambda: text_of(e[12]).startswith(PIN), "pin one")
            select(12, 11)
            command(IDS.kCmdPin)
            self.until(lambda: text_of(e[11]).startswith(PIN), "pin both")
            command(IDS.kCmdPin)
            self.until(lambda: not any(t.startswith(PIN) for _, _, t in rows()), "unpin both")

            # Keep, from the card's menu (the light theme's picture).
            colours = screenshot(open_menu(e[10]), "entry_menu_light.png")
            self.assertTrue({"#FBFBFB", "#141414"} <= set(colours))
            choose(6)  # ... paste as, paste as plain text, open, keep forever
            self.until(lambda: text_of(e[10]).startswith(STAR), "keep")

            # Delete asks first; Cancel keeps the rows, OK moves them to the trash.
            select(9)
            command(IDS.kCmdDelete)
            self.assertIn(language_text("confirm.delete_entry"), answer("KorvaneConfirmBox", IDOK)["texts"])
            select(8, 7, 6)
            command(IDS.kCmdDelete)
            self.assertIn("Удалить 3 записи?", answer("KorvaneConfirmBox", IDCANCEL)["texts"])
            command(IDS.kCmdDelete)
            answer("KorvaneConfirmBox", IDOK)
            self.until(lambda: not {e[9], e[8], e[7], e[6]} & set(shown()), "trashed")

            # The trash: restore from the menu, delete for good from the menu without
            # a question and from the menu bar after one, then empty it after a yes.
            probe("view", str(IDS.kViewTrash))
            self.until(lambda: sorted(shown()) == sorted([e[6], e[7], e[8], e[9]]), "trash view")
            select(9)
            command(IDS.kCmdAddSlot)  # does nothing here: the slots below hold only what is added there
            screenshot(open_menu(e[9]), "trash_menu_light.png")
            choose(0)
            self.until(lambda: e[9] not in shown(), "restore")
            open_menu(e[8])
            choose(1)
            self.until(lambda: e[8] not in shown(), "delete for good")
            self.assertIn("no-box", probe("box", "KorvaneConfirmBox", str(IDOK), "500", check=False))
            select(7)
            command(IDS.kCmdDelete)
            self.assertIn(language_text("confirm.delete_entry_forever"), answer("KorvaneConfirmBox", IDOK)["texts"])
            self.until(lambda: shown() == [e[6]], "one left")
            open_menu(e[6])
            choose(2)
            self.assertIn(language_text("confirm.empty_trash"), answer("#32770", IDYES)["texts"])
            self.until(lambda: shown() == [], "emptied")

            # Moves change places in the list at once and keep the block selected;
            # a gappy block or one at the top stays.
            probe("view", str(IDS.kViewAll))
            order = [e[n] for n in (12, 11, 10, 9, 5, 4, 3, 2, 1)] + [long_id]
            self.until(lambda: shown() == order, "all view")
            for picked, cmd, moved in ([(4,), IDS.kCmdMoveUp, [e[4], e[5], e[3]]],
                                       [(4,), IDS.kCmdMoveDown, [e[5], e[4], e[3]]],
                                       [(4,), IDS.kCmdMoveDown, [e[5], e[3], e[4]]],
                                       [(3, 4), IDS.kCmdMoveUp, [e[3], e[4], e[5]]],
                                       [(12, 10), IDS.kCmdMoveDown, [e[3], e[4], e[5]]],
                                       [(12,), IDS.kCmdMoveUp, [e[3], e[4], e[5]]]):
                select(*picked)
                command(cmd)
                order[4:7] = moved
                self.until(lambda: shown() == order, "moved")
                self.assertEqual([d for d, sel, _ in rows() if sel], [d for d in order if d in [e[n] for n in picked]])

            # Two entries into a category at once, from the category menu.
            select(2, 1)
            command(IDS.kCmdToCategory)
            wine(MENU, "wait-menu", "8000")
            choose(0)
            self.until(lambda: len(database("SELECT id FROM history WHERE category_id = 1")) == 2, "category")

            # Quick slots take nine at most; a slot moves and goes.
            probe("select", *[str(d) for d in order])
            command(IDS.kCmdAddSlot)
            time.sleep(0.5)
            probe("view", str(IDS.kViewSlots))
            slots = order[:9]
            self.until(lambda: shown() == slots, "nine slots")
            probe("select", str(slots[1]))
            command(IDS.kCmdMoveDown)
            slots[1:3] = [slots[2], slots[1]]
            self.until(lambda: shown() == slots, "slot moved")
            command(IDS.kCmdRemoveSlot)
            slots.remove(order[1])
            self.until(lambda: shown() == slots, "slot removed")

            # A long text is offered whole and stays as it was when left alone;
            # a changed text is stored trimmed.
            probe("view", str(IDS.kViewAll))
            self.until(lambda: len(rows()) == 10, "all view")
            probe("select", str(long_id))
            command(IDS.kCmdEdit)
            self.assertEqual(answer("KorvaneInputBox", IDOK)["field"], len(LONG_TEXT))
            select(1)
            command(IDS.kCmdEdit)
            answer("KorvaneInputBox", IDOK, "  entry one, edited  ")
            self.until(lambda: text_of(e[1]).strip() == "entry one, edited", "edit")
            self.assertEqual(app.quit(), 0)

        live = dict(database("SELECT id, text FROM history WHERE deleted_at IS NULL"))
        self.assertEqual((live[long_id], live[e[1]]), (LONG_TEXT, "entry one, edited"))
        self.assertEqual(database("SELECT id FROM history WHERE deleted_at IS NOT NULL OR pinned = 1"), [])
        self.assertEqual(database("SELECT id FROM history WHERE keep = 1"), [(e[10],)])
        self.assertEqual([r[0] for r in database("SELECT entry_id FROM slot_entries ORDER BY slot_order")], slots)
        listed = wine(helper("storage_db_tool"), kh.win_path(profile_path(".korvane.db")), "list:" + hexs("all") + ":0:1")
        self.assertEqual([int(l.split("\t")[1]) for l in listed.stdout.decode().splitlines() if l[:2] == "E\t"], order)

    def test_templates_reached_from_the_trash_are_not_the_trash(self):
        """Every road from the trash into the templates leaves the trash's rules behind."""
        entry = seed("add:" + hexs("an entry"))[0]
        database("INSERT INTO snippets (title, text, created_at) VALUES "
                 "('Alpha', 'alpha text', '2024-01-01T00:00:00'), ('Beta', 'beta text', '2024-01-01T00:00:00'), "
                 "('Gamma', 'gamma text', '2024-01-01T00:00:00'), ('Delta', 'delta text', '2024-01-01T00:00:00')")
        tpl = {title: -id for id, title in database("SELECT id, title FROM snippets")}
        with RunningProgram({"window_h": "640"}, reset=False) as app:
            target = PasteTarget(ms=120000)
            self.addCleanup(lambda: (target.proc.kill(), target.proc.communicate()))
            self.show(app)

            def from_trash(road):
                probe("view", str(IDS.kViewTrash))
                self.until(lambda: not {entry, tpl["Gamma"]} & set(shown()), "trash view")
                road()
                self.until(lambda: tpl["Gamma"] in shown(), "templates view")

            # Command 1116: two templates go to the trash behind the ordinary question.
            from_trash(lambda: app.post(WM_COMMAND, IDS.kCmdTemplates))
            probe("select", str(tpl["Alpha"]), str(tpl["Beta"]))
            app.post(WM_COMMAND, IDS.kCmdDelete)
            answer("KorvaneConfirmBox", IDOK)
            self.until(lambda: tpl["Alpha"] not in shown(), "deleted")
            self.assertEqual(database("SELECT title FROM snippets WHERE deleted_at IS NOT NULL ORDER BY title"),
                             [("Alpha",), ("Beta",)])

            # The templates hotkey: one template is asked about as going to the trash.
            from_trash(lambda: app.post(kh.WM_HOTKEY, IDS.kHotkeyTemplates))
            probe("select", str(tpl["Gamma"]))
            app.post(WM_COMMAND, IDS.kCmdDelete)
            self.assertIn(language_text("confirm.del_snippet").replace("%s", "Gamma"),
                          answer("KorvaneConfirmBox", IDCANCEL)["texts"])

            # The sidebar's templates row: "paste all" pastes.
            from_trash(lambda: probe("view", str(IDS.kSidebarTemplates)))
            probe("select", str(tpl["Gamma"]), str(tpl["Delta"]))
            app.post(WM_COMMAND, IDS.kCmdPasteMultiple)
            self.until(lambda: sorted(target.now().split("\r\n")) == ["delta text", "gamma text"], "paste all")
            self.assertEqual(app.quit(), 0)

if __name__ == "__main__":
    unittest.main()
