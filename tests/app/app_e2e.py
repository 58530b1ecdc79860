"""The running program end to end, driven from outside as a user's other
programs would: one instance per user, its main window and settings file,
the global hotkeys it holds and frees, the tray balloon, and the autostart
value in the registry. Every scenario starts from an empty profile."""

import contextlib
import datetime
import json
import os
import shutil
import sqlite3
import subprocess
import time
import unittest

from korvane_harness import (IDS, MOD_ALT, MOD_CONTROL, MOD_SHIFT, VK_DOWN, VK_RETURN, VK_SNAPSHOT, WM_CLOSE,
                             WM_COMMAND, WM_HOTKEY, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONUP,
                             PasteTarget, RunningProgram, helper, language_text, program, profile_path,
                             read_profile_settings, reset_profile, temp_dir, wait_for, win_path, wine, wine_start)

PROBE = helper("app_probe")
MENU = helper("menu_probe")

CTRL_SHIFT = MOD_CONTROL | MOD_SHIFT
CTRL_SHIFT_ALT = MOD_CONTROL | MOD_SHIFT | MOD_ALT
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
WM_TIMER = 0x0113
IDYES, IDNO = 6, 7

# Every combination the program holds with its default settings.
DEFAULT_HOTKEYS = [(CTRL_SHIFT, ord("V")), (CTRL_SHIFT_ALT, ord("V")), (CTRL_SHIFT_ALT, ord("U")),
                   (CTRL_SHIFT_ALT, ord("S")), (0, VK_SNAPSHOT), (MOD_ALT, VK_SNAPSHOT),
                   (MOD_SHIFT, VK_SNAPSHOT)] + [(CTRL_SHIFT, ord("1") + i) for i in range(9)]


def hotkey_states(pairs):
    args = [str(x) for pair in pairs for x in pair]
    return wine(PROBE, "hotkey", *args).stdout.decode().split()


def saved_window_x():
    """window_x of the settings file, read while the program may be writing it."""
    try:
        return (read_profile_settings() or {}).get("window_x", "")
    except Exception:
        return ""


def rect_of(state):
    return [int(v) for v in state["rect"].split()]


def ago(**delta):
    return (datetime.datetime.now() - datetime.timedelta(**delta)).strftime("%Y-%m-%dT%H:%M:%S")


# Rows of each kind that the purges and the clearing of the history tell apart: (text, columns,
# left by the purges with ttl_days 30 and trash_hours 24, left by the clearing). Category 1 is pinned.
OLD = {"created_at": ago(days=40)}
KINDS = (
    ("young", {"created_at": ago()}, True, False),
    ("old", OLD, False, False),
    ("old pinned", dict(OLD, pinned=1), True, True),
    ("old in a pinned category", dict(OLD, category_id=1), True, True),
    ("old, out of its pinned category", dict(OLD, category_id=1, cat_pin_override=1), False, False),
    ("old kept", dict(OLD, keep=1), True, True),
    ("trashed lately", dict(OLD, deleted_at=ago(hours=2)), True, True),
    ("trashed long ago, pinned and kept", dict(OLD, deleted_at=ago(hours=30), pinned=1, keep=1), False, True),
)
# Templates, live and trashed, older than both limits: neither road touches them.
TEMPLATES = ("template", "trashed template")


def fill_history(label, fresh=True):
    """Adds a row of each kind and the templates, their texts ending in label, to a new history or
    the one there."""
    if fresh:
        reset_profile()
        wine(helper("storage_db_tool"), win_path(profile_path(".korvane.db")), "open")
    with contextlib.closing(sqlite3.connect(profile_path(".korvane.db"))) as db, db:
        if fresh:  # the samples of a new history go (their groups stay, so they are not made again)
            db.execute("DELETE FROM snippets")
        db.execute("INSERT OR IGNORE INTO categories (id, name, pinned) VALUES (1, 'pinned', 1)")
        for text, columns, _, _ in KINDS:
            names = ["text"] + list(columns)
            db.execute(f"INSERT INTO history ({', '.join(names)}) VALUES ({', '.join('?' * len(names))})",
                       [text + label] + list(columns.values()))
        db.executemany("INSERT INTO snippets (title, text, created_at, deleted_at) VALUES (?, '', ?, ?)",
                       [("template" + label, ago(days=400), None),
                        ("trashed template" + label, ago(days=400), ago(days=400))])


def left_in_history():
    with contextlib.closing(sqlite3.connect(profile_path(".korvane.db"))) as db:
        return {r[0] for r in db.execute("SELECT text FROM history UNION ALL SELECT title FROM snippets")}


def expected(label, column):
    """What fill_history(label) leaves after the purges (column 2) or the clearing (column 3)."""
    return {kind[0] + label for kind in KINDS if kind[column]} | {t + label for t in TEMPLATES}


class RunningProgramTest(unittest.TestCase):
    def test_second_start_shows_the_first_instance_and_exits(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            self.assertEqual(app.state()["visible"], "0")
            second = wine(program(), check=False, timeout=60)
            self.assertEqual(second.returncode, 0)
            wait_for(lambda: app.state()["visible"], "1", timeout=10)
            state = app.state()
            self.assertEqual(state["visible"], "1", "the running instance was not shown")
            self.assertEqual(state["count"], "1", "the second start made a window of its own")
            self.assertEqual(app.quit(), 0)

    def test_quit_command_ends_cleanly_and_writes_the_settings(self):
        with RunningProgram() as app:
            self.assertIsNone(read_profile_settings())
            self.assertEqual(app.quit(), 0)
        settings = read_profile_settings()
        self.assertIsNotNone(settings, "no settings file after quitting")
        self.assertEqual(len(settings), 49)
        self.assertEqual(settings["hotkey"], "ctrl+shift+v")
        self.assertTrue(os.path.exists(profile_path(".korvane.db")), "no history database in the profile")

    def test_start_in_tray_keeps_the_window_hidden_while_hotkeys_and_polling_run(self):
        with temp_dir() as tmp, RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(1)
            self.assertEqual(app.state()["visible"], "0")
            self.assertEqual(hotkey_states(DEFAULT_HOTKEYS), ["taken"] * len(DEFAULT_HOTKEYS))
            # The 500 ms poll runs while hidden: a copy elsewhere is recorded.
            # A text of its own: the clipboard may still hold what an earlier
            # run copied, which the program takes as seen when it starts.
            copied = f"copied while the window was hidden ({time.time_ns()})"
            text_file = os.path.join(tmp, "copied.txt")
            with open(text_file, "w", encoding="utf-8") as f:
                f.write(copied)
            copier = wine_start(helper("clipboard_probe"), "write", win_path(text_file), "3")
            self.assertEqual(copier.stdout.readline().strip(), b"ready")
            copier.wait(timeout=30)
            copier.stdout.close()
            copier.stderr.close()
            self.assertEqual(app.state()["visible"], "0")
            self.assertEqual(app.quit(), 0)
        # After quitting every combination is free again.
        self.assertEqual(hotkey_states(DEFAULT_HOTKEYS), ["free"] * len(DEFAULT_HOTKEYS))
        with sqlite3.connect(profile_path(".korvane.db")) as db:
            texts = [row[0] for row in db.execute("SELECT text FROM history")]
        self.assertEqual(texts, [copied])

    def test_the_hotkey_and_the_tray_icon_bring_the_hidden_window_up(self):
        for message, wparam, lparam in ((WM_HOTKEY, IDS.kHotkeyOpenHistory, 0), (IDS.kMsgTray, 1, WM_LBUTTONUP),
                                        (IDS.kMsgTray, 1, WM_LBUTTONDBLCLK)):
            with RunningProgram({"start_in_tray": "true"}) as app:
                # Ids and mouse messages with no route change nothing: the id
                # after the nine quick slots, a mere move over the icon.
                app.post(WM_HOTKEY, IDS.kHotkeySlotBase + 9, 0)
                app.post(IDS.kMsgTray, 1, WM_MOUSEMOVE)
                time.sleep(0.5)
                self.assertEqual(app.state()["visible"], "0")
                app.post(message, wparam, lparam)
                self.assertEqual(wait_for(lambda: app.state()["visible"], "1", timeout=5), "1",
                                 f"message {message:#x} {wparam} {lparam:#x} did not show the window")
                self.assertEqual(app.quit(), 0)

    def test_closing_the_window_quits_or_hides_as_configured(self):
        with RunningProgram({"tray_on_minimize": "true", "window_x": "50", "window_y": "60"}) as app:
            app.post(WM_CLOSE)
            self.assertEqual(wait_for(lambda: app.state()["visible"], "0", timeout=5), "0")
            self.assertIsNone(app.proc.poll(), "closing quit although the tray was asked for")
            self.assertEqual(app.quit(), 0)
        with RunningProgram({"window_x": "50", "window_y": "60"}) as app:
            app.post(WM_CLOSE)
            self.assertEqual(app.wait(), 0)
        settings = read_profile_settings()
        self.assertEqual((settings["window_x"], settings["window_y"]), ("50", "60"))

    def test_window_size_and_position_from_the_settings_file(self):
        with RunningProgram({"window_w": "300", "window_h": "200", "window_x": "100", "window_y": "80",
                             "always_on_top": "false"}) as app:
            # The window exists a moment before it is shown.
            self.assertEqual(wait_for(lambda: app.state()["visible"], "1", timeout=5), "1")
            state = app.state()
            self.assertEqual(rect_of(state), [100, 80, 620, 440])
            self.assertEqual(state["topmost"], "0")
            self.assertEqual(app.quit(), 0)
        # A position on no monitor (one that was unplugged) is not used: the
        # window opens by the pointer, whole on the screen although the
        # pointer is in its corner.
        subprocess.run(["xdotool", "mousemove", "0", "0"], check=True, timeout=20)
        with RunningProgram({"window_x": "5000", "window_y": "3000", "window_w": "700", "window_h": "500"}) as app:
            x, y, w, h = rect_of(app.state())
            self.assertEqual((w, h), (700, 500))
            self.assertTrue(0 <= x <= 1280 - w and 0 <= y <= 1024 - h, (x, y, w, h))
            self.assertEqual(app.state()["topmost"], "1")
            self.assertEqual(app.quit(), 0)
        # The rectangle reaches the settings file at exit.
        settings = read_profile_settings()
        self.assertEqual((settings["window_w"], settings["window_h"]), ("700", "500"))
        # Only the bottom edge on the screen, the title bar above it: placed
        # afresh, with the title bar within reach.
        with RunningProgram({"window_x": "200", "window_y": "-420", "window_w": "620", "window_h": "440"}) as app:
            x, y, w, h = rect_of(app.state())
            self.assertGreaterEqual(y, 0)
            self.assertEqual(app.quit(), 0)

    def test_a_moved_window_is_saved_half_a_second_after_it_stops(self):
        with RunningProgram({"window_x": "40", "window_y": "30", "always_on_top": "false"}) as app:
            time.sleep(1.5)  # the placement at start settles first
            self.assertIn("moved", app.probe("move", "210", "170"))
            self.assertEqual(wait_for(saved_window_x, "210", 5), "210")
            settings = read_profile_settings()
            self.assertEqual((settings["window_x"], settings["window_y"]), ("210", "170"))
            self.assertIsNone(app.proc.poll())
            self.assertEqual(app.quit(), 0)

    def test_a_taken_print_screen_falls_back_and_says_so(self):
        holder = wine_start(PROBE, "hold", "0", str(VK_SNAPSHOT), stdin=subprocess.PIPE)
        holder_stdin = holder.stdin
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            with RunningProgram() as app:
                self.assertEqual(hotkey_states([(CTRL_SHIFT_ALT, ord("P"))]), ["taken"])
                expected = language_text("tray.screenshot_hotkey_busy")
                # The tray shows a balloon a moment after it is asked.
                shown = wait_for(lambda: app.probe("balloons"), expected, timeout=15)
                self.assertIn(expected, shown)
                self.assertEqual(app.quit(), 0)
            self.assertEqual(read_profile_settings()["screenshot_hotkey"], "ctrl+shift+alt+p")
            self.assertEqual(hotkey_states([(CTRL_SHIFT_ALT, ord("P"))]), ["free"])
        finally:
            holder_stdin.close()
            holder.wait(timeout=30)
            holder.stdout.close()
            holder.stderr.close()

    def test_ctrl_v_from_the_settings_file_stays_the_users(self):
        # Kept from an older version or typed by hand, it is never registered.
        with RunningProgram({"plain_hotkey": "ctrl+v", "start_in_tray": "true"}) as app:
            # Free because refused, not because no hotkey was registered at all: the history's own is held.
            self.assertEqual(hotkey_states([(MOD_CONTROL, ord("V")), (MOD_CONTROL | MOD_SHIFT, ord("V"))]),
                             ["free", "taken"])
            self.assertIn("ready", wine(helper("clip_source"), "text=" + "copied words".encode().hex()).stdout.decode())
            target = PasteTarget(ms=8000)
            # The user's keys go where the window manager has put the focus, a moment after the target asked.
            focused = lambda: subprocess.run(["xdotool", "getwindowfocus", "getwindowname"], capture_output=True,
                                             text=True, timeout=20).stdout
            self.assertIn("Paste target", wait_for(focused, "Paste target"))
            subprocess.run(["xdotool", "key", "ctrl+v"], check=True, timeout=20)
            self.assertEqual((target.text(), target.pastes), ("copied words", 1))
            self.assertEqual(app.quit(), 0)

    def test_a_stray_link_title_message_frees_nothing_foreign(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            # Pointers this process never handed to a worker, as another
            # program could post them.
            for lparam in (0, 1, 0x12345678, 0x7FFF00001000):
                self.assertIn("posted", app.post(IDS.kMsgLinkTitle, 1, lparam))
            self.assertIn("window", app.probe("wait-window", "5000", check=False))
            self.assertEqual(app.quit(), 0)

    def test_the_purges_at_start_and_every_hour_spare_the_protected_the_kept_and_the_templates(self):
        fill_history(" at start")
        with RunningProgram({"ttl_days": "30", "trash_hours": "24"}, reset=False) as app:
            # Shown once its creation, which purges, is over; it answers the probe before.
            self.assertEqual(wait_for(lambda: app.state()["visible"], "1"), "1")
            self.assertEqual(left_in_history(), expected(" at start", 2))
            fill_history(" by the hour", fresh=False)
            app.post(WM_TIMER, IDS.kTimerPurge)
            self.assertEqual(app.quit(), 0)
        self.assertEqual(left_in_history(), expected(" at start", 2) | expected(" by the hour", 2))


class CommandTest(unittest.TestCase):
    """Commands of the menus that talk to the user through standard boxes."""

    def setUp(self):
        self.tmp = temp_dir()

    def tearDown(self):
        self.tmp.cleanup()

    def answer_file_dialog(self, app, path):
        wait_for(lambda: app.probe("dialogs"), "dialog ")
        self.assertIn("answered", app.probe("answer-dialog", win_path(path)))

    def message_box(self, app, wanted):
        out = wait_for(lambda: app.probe("dialogs"), wanted)
        app.probe("dismiss-dialog")
        return out

    def test_import_then_export_through_the_file_dialogs(self):
        source = os.path.join(self.tmp.name, "history in.json")
        target = os.path.join(self.tmp.name, "history out.json")
        entries = [
            {"text": "first imported entry", "created_at": "2024-01-02T03:04:05", "pinned": True,
             "category": None, "category_pinned": False},
            {"text": "second imported entry \u0436", "created_at": "2024-01-02T03:04:06", "pinned": False,
             "category": "Work", "category_pinned": False},
        ]
        with open(source, "w", encoding="utf-8") as f:
            json.dump(entries, f)

        with RunningProgram({"always_on_top": "false"}) as app:
            app.post(WM_COMMAND, IDS.kCmdImportJson)
            self.answer_file_dialog(app, source)
            imported = language_text("status.imported").replace("%d", "2")
            self.assertIn(imported, self.message_box(app, imported))

            app.post(WM_COMMAND, IDS.kCmdExportJson)
            self.answer_file_dialog(app, target)
            exported = language_text("status.exported").replace("%d", "2")
            self.assertIn(exported, self.message_box(app, exported))
            self.assertEqual(app.quit(), 0)

        with open(target, encoding="utf-8") as f:
            written = json.load(f)
        self.assertEqual(sorted(e["text"] for e in written), sorted(e["text"] for e in entries))
        self.assertEqual({e["text"]: e["pinned"] for e in written}, {e["text"]: e["pinned"] for e in entries})
        with sqlite3.connect(profile_path(".korvane.db")) as db:
            self.assertEqual(db.execute("SELECT COUNT(*) FROM history").fetchone()[0], 2)

    def test_a_cancelled_export_writes_nothing_and_says_nothing(self):
        with RunningProgram({"always_on_top": "false"}) as app:
            app.post(WM_COMMAND, IDS.kCmdExportJson)
            wait_for(lambda: app.probe("dialogs"), "dialog ")
            app.probe("dismiss-dialog", "IDCANCEL")
            time.sleep(1)
            self.assertNotIn("dialog", app.probe("dialogs"))
            self.assertEqual(app.quit(), 0)
        self.assertEqual(os.listdir(self.tmp.name), [])

    def test_the_shortcut_help_names_the_configured_hotkeys(self):
        with RunningProgram({"hotkey": "ctrl+alt+h", "plain_hotkey": "ctrl+shift+alt+y"}) as app:
            app.post(WM_COMMAND, IDS.kCmdHotkeyHelp)
            out = self.message_box(app, language_text("hotkey.quick_menu"))
            self.assertIn("Ctrl+Alt+H \u2014 " + language_text("hotkey.open_history"), out)
            self.assertIn("ctrl+shift+alt+y \u2014 " + language_text("hotkey.paste_plain"), out)
            self.assertNotIn("Ctrl+Shift+V", out)

            app.post(WM_COMMAND, IDS.kCmdAbout)
            self.assertIn(language_text("about.text"), self.message_box(app, language_text("about.text")))
            self.assertEqual(app.quit(), 0)

    def test_the_shortcut_help_says_when_a_hotkey_is_not_set(self):
        # An open-history text without a key, and a plain-paste combination
        # another program holds: neither works, so neither may be shown.
        holder = wine_start(PROBE, "hold", str(CTRL_SHIFT_ALT), str(ord("Y")), stdin=subprocess.PIPE)
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            with RunningProgram({"hotkey": "ctrl+shift", "plain_hotkey": "ctrl+shift+alt+y"}) as app:
                app.post(WM_COMMAND, IDS.kCmdHotkeyHelp)
                out = self.message_box(app, language_text("hotkey.quick_menu"))
                not_set = language_text("hotkey.not_set")
                self.assertIn(not_set + " \u2014 " + language_text("hotkey.open_history"), out)
                self.assertIn(not_set + " \u2014 " + language_text("hotkey.paste_plain"), out)
                self.assertIn("ctrl+shift+alt+s \u2014 " + language_text("hotkey.snippets"), out)
                self.assertNotIn("Ctrl+Shift+V", out)
                self.assertEqual(app.quit(), 0)
        finally:
            holder.stdin.close()
            holder.wait(timeout=30)
            holder.stdout.close()
            holder.stderr.close()

    def test_clearing_the_history_spares_the_protected_the_kept_the_trash_and_the_templates(self):
        def answer(button):  # clicked as the user clicks it
            out = wine(helper("entry_list_probe"), "box", "#32770", str(button), "8000").stdout.decode()
            self.assertIn("text " + language_text("confirm.clear_history").encode().hex(), out)

        fill_history("")
        with RunningProgram({"start_in_tray": "true", "trash_hours": "0"}, reset=False) as app:
            app.post(WM_COMMAND, IDS.kIdClearButton)
            answer(IDNO)
            app.post(IDS.kMsgTray, 0, WM_RBUTTONUP)
            # The menu comes once the answer has been taken.
            self.assertTrue(wine(MENU, "wait-menu", "10000").stdout.decode().startswith("menu "))
            self.assertEqual(left_in_history(), {kind[0] for kind in KINDS} | set(TEMPLATES))
            wine(MENU, "key", str(VK_DOWN), str(VK_DOWN), str(VK_RETURN))  # its third row
            answer(IDYES)
            self.assertEqual(app.quit(), 0)
        self.assertEqual(left_in_history(), expected("", 3))


def reg_query_value():
    proc = wine("reg", "query", RUN_KEY, "/v", "Korvane", check=False)
    return proc.returncode, proc.stdout.decode("utf-8", errors="replace")


class AutostartTest(unittest.TestCase):
    def setUp(self):
        self.tmp = temp_dir()
        # A path with blanks: the value must quote it.
        self.folder = os.path.join(self.tmp.name, "Program Files", "Korvane app")
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, "app_probe.exe")
        shutil.copy(PROBE, self.exe)

    def tearDown(self):
        wine(PROBE, "autostart", "off")
        self.tmp.cleanup()

    def test_the_run_value_holds_the_quoted_path_and_goes_away(self):
        self.assertIn("enabled 1", wine(self.exe, "autostart", "on").stdout.decode())
        code, out = reg_query_value()
        self.assertEqual(code, 0, out)
        self.assertIn('REG_SZ    "' + win_path(self.exe) + '"', out)

        self.assertIn("enabled 0", wine(self.exe, "autostart", "off").stdout.decode())
        self.assertIn("enabled 0", wine(self.exe, "autostart", "off").stdout.decode())
        code, _ = reg_query_value()
        self.assertNotEqual(code, 0, "the value is still there")

    def test_a_path_longer_than_max_path_is_refused(self):
        folder = self.tmp.name
        while len(folder) < 300:
            folder = os.path.join(folder, "a-rather-long-folder-name")
        os.makedirs(folder)
        exe = os.path.join(folder, "app_probe.exe")
        shutil.copy(PROBE, exe)
        out = wine(exe, "autostart", "on").stdout.decode()
        self.assertIn("set 0", out)
        self.assertIn("enabled 0", out)
        code, _ = reg_query_value()
        self.assertNotEqual(code, 0, "a Run value was written for a path that cannot be known")

    def test_a_value_longer_than_the_query_buffer_still_counts(self):
        long_path = '"C:\\' + "\\".join(["a-very-long-folder-name"] * 20) + '\\Korvane.exe"'
        self.assertGreater(len(long_path) * 2, 520)
        wine("reg", "add", RUN_KEY, "/v", "Korvane", "/t", "REG_SZ", "/d", long_path, "/f")
        self.assertIn("enabled 1", wine(PROBE, "autostart", "query").stdout.decode())


if __name__ == "__main__":
    unittest.main(verbosity=2)
