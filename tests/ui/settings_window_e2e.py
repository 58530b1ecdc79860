"""The settings window of the running program, driven from outside as a user
would: it opens from the menu and the tool button, shows one page at a time
with the values of the settings file, writes every change to that file at
once, rebuilds itself in a new language, moves global hotkeys, writes the
autostart value, and applies retention numbers only once they are complete.
Screenshots of every page in both themes go to the build's screenshots/."""

import datetime
import os
import sqlite3
import subprocess
import time
import unittest

import korvane_harness as kh
from korvane_harness import RunningProgram, helper, language_text, profile_path, read_profile_settings, wine

DRIVER = helper("settings_driver")
PROBE = helper("app_probe")
SHOTS = os.path.join(kh.BINARY_DIR, "screenshots")
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"

WM_COMMAND = 0x0111
MENU_OPEN_SETTINGS = 1404
TOOL_SETTINGS = 208
NAV, CLOSE = 1100, 1017
MOD_ALT, MOD_CONTROL, MOD_SHIFT = 1, 2, 4

# The controls each page shows, besides the navigation list and Close.
PAGES = {
    0: {1048, 1001, 1019, 1020, 1046, 1047, 1013, 1014},
    1: {1007, 1026, 1027, 1008, 1045, 1022, 1028, 1011, 1012, 1050, 1051},
    2: {1003, 1004, 1021, 1005, 1006, 1002, 1023, 1049, 1037, 1038, 1039, 1040, 1041, 1042},
    3: {1009, 1010, 1018},
    4: {1024},
    5: {1015, 1016},
    6: {1029, 1030, 1031, 1043, 1033, 1034, 1035, 1032, 1044},
}
PAGE_OF = {cid: page for page, ids in PAGES.items() for cid in ids}

SWITCHES = {
    1001: "watch_clipboard", 1002: "dark_mode", 1003: "always_on_top", 1004: "close_on_paste",
    1005: "tray_on_minimize", 1006: "start_in_tray", 1007: "show_time", 1008: "sort_by_frequency",
    1019: "sound_on_copy", 1020: "sound_on_paste", 1021: "hide_on_copy", 1022: "repeat_on_copy",
    1026: "show_hints", 1027: "show_category", 1045: "pinned_first", 1029: "screenshot_editor_enabled",
    1030: "screenshot_copy_to_clipboard", 1031: "screenshot_autosave", 1043: "clipboard_images_autosave",
}


def drive(*args, check=True):
    return wine(DRIVER, *[str(a) for a in args], check=check).stdout.decode("utf-8", errors="replace")


def wait_until(condition, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    return condition()


def controls():
    """{id: {"class", "visible", "check", "row", "text"}} of the shown settings window, and its page and title."""
    found, window = {}, {}
    for line in drive("state").splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "control":
            cid, cls, visible, check, row, *text = rest.split(" ", 5)
            entry = {"class": cls, "visible": visible == "1", "check": int(check), "row": int(row),
                     "text": text[0] if text else ""}
            if cid != "0":
                found[int(cid)] = entry
            else:
                found.setdefault(0, []).append(entry)
        elif kind:
            window[kind] = rest
    return found, window


def setting(key):
    try:
        return (read_profile_settings() or {}).get(key)
    except Exception:  # read while the program rewrites it
        return None


def hotkey_states(*pairs):
    args = [str(x) for pair in pairs for x in pair]
    return wine(PROBE, "hotkey", *args).stdout.decode().split()


def open_settings(app, command=MENU_OPEN_SETTINGS):
    app.post(WM_COMMAND, command, 0)
    out = drive("wait", 20000, check=False)
    if "settings" not in out:
        raise AssertionError("the settings window did not open: " + out)
    return out.split()[1]


def show_page(page):
    drive("page", page)
    wait_until(lambda: controls()[1].get("page") == str(page), 5)


class SettingsWindowTest(unittest.TestCase):
    def tearDown(self):
        wine("reg", "delete", RUN_KEY, "/v", "Korvane", "/f", check=False)

    def test_it_opens_from_the_menu_and_the_tool_button_on_the_page_last_shown(self):
        with RunningProgram({"always_on_top": "false"}) as app:
            first = open_settings(app)
            found, window = controls()
            self.assertEqual(window["title"], language_text("menu.settings"))
            self.assertEqual(window["client"].split()[0], "760")
            self.assertEqual(window["page"], "0")
            # Asked again while open: the same window comes to the front.
            self.assertEqual(open_settings(app, TOOL_SETTINGS), first)
            show_page(6)
            drive("close")
            self.assertIn("gone", drive("gone", 10000))
            # A new window, built on the page it was closed on.
            open_settings(app, TOOL_SETTINGS)
            found, window = controls()
            self.assertEqual(window["page"], "6")
            self.assertTrue(found[1044]["visible"])
            drive("click", CLOSE)
            self.assertIn("gone", drive("gone", 10000))
            self.assertEqual(app.quit(), 0)

    def test_each_page_shows_only_its_controls_with_the_stored_values(self):
        stored = {
            "always_on_top": "false", "close_on_paste": "false", "hide_on_copy": "true", "tray_on_minimize": "true",
            "show_time": "false", "show_hints": "false", "show_category": "false", "sort_by_frequency": "true",
            "pinned_first": "false", "repeat_on_copy": "true", "watch_clipboard": "false", "sound_on_copy": "true",
            "sound_on_paste": "true", "sound_copy_id": "3", "sound_paste_id": "4", "ttl_days": "30",
            "trash_hours": "48", "categories_hidden": "37", "font_size": "16", "scroll_lines": "3",
            "hotkey": "ctrl+alt+h", "plain_hotkey": "", "snippets_hotkey": "ctrl+alt+t",
            "screenshot_hotkey": "ctrl+alt+1", "screenshot_editor_enabled": "false",
            "screenshot_copy_to_clipboard": "false", "screenshot_autosave": "true",
            "clipboard_images_autosave": "true", "screenshot_folder": "C:\\shots",
            "app_filter_mode": "blacklist", "app_filter_list": "a.exe; b.exe",
        }
        with RunningProgram(stored) as app:
            open_settings(app)
            for page in range(7):
                show_page(page)
                found, _ = controls()
                shown = {cid for cid, c in found.items() if cid and c["visible"]}
                self.assertEqual(shown, PAGES[page] | {NAV, CLOSE}, f"page {page}")

            found, _ = controls()
            values = {"dark_mode": "false", "start_in_tray": "false", **stored}
            for cid, key in SWITCHES.items():
                self.assertEqual(found[cid]["check"], 1 if values[key] == "true" else 0, key)
            self.assertEqual([found[cid]["check"] for cid in range(1037, 1043)], [1, 0, 1, 0, 0, 1])
            self.assertEqual(found[1009]["check"], 0)
            texts = {1023: "16", 1011: "30", 1012: "48", 1014: "a.exe; b.exe", 1032: "C:\\shots",
                     1010: "ctrl+alt+h", 1018: "", 1024: "ctrl+alt+t", 1033: "ctrl+alt+1",
                     1034: "alt+prtscr", 1035: "shift+prtscr"}
            for cid, text in texts.items():
                self.assertEqual(found[cid]["text"], text, cid)
            rows = {1028: 2, 1046: 2, 1047: 3, 1013: 2, 1048: 1}
            for cid, row in rows.items():
                self.assertEqual(found[cid]["row"], row, cid)
            self.assertEqual(found[1048]["text"], "Русский")
            self.assertEqual(app.quit(), 0)

    def test_every_change_is_in_the_settings_file_at_once(self):
        with RunningProgram() as app, kh.temp_dir() as tmp:
            open_settings(app)
            flipped = {}
            for cid, key in SWITCHES.items():
                show_page(PAGE_OF[cid])
                want = "false" if controls()[0][cid]["check"] == 1 else "true"
                drive("click", cid)
                self.assertEqual(wait_until(lambda: setting(key) == want and want), want, key)
                flipped[key] = want
            show_page(2)
            for bit, cid in enumerate(range(1037, 1043)):
                drive("click", cid)
                mask = str((1 << (bit + 1)) - 1)
                self.assertEqual(wait_until(lambda: setting("categories_hidden") == mask and mask), mask)
            show_page(0)
            for cid, row, key, value in ((1013, 1, "app_filter_mode", "whitelist"),
                                         (1013, 2, "app_filter_mode", "blacklist"),
                                         (1046, 0, "sound_copy_id", "1"), (1047, 2, "sound_paste_id", "3")):
                drive("choose", cid, row)
                self.assertEqual(wait_until(lambda: setting(key) == value and value), value, key)
            # The whole list, however long it is.
            names = ";".join(f"program{i:04d}.exe" for i in range(120))
            with open(os.path.join(tmp, "list.txt"), "w", encoding="utf-8") as f:
                f.write(names)
            drive("settext", 1014, kh.win_path(os.path.join(tmp, "list.txt")))
            self.assertGreater(len(names), 1023)
            self.assertEqual(wait_until(lambda: setting("app_filter_list") == names), True)
            show_page(1)
            drive("choose", 1028, 3)
            self.assertEqual(wait_until(lambda: setting("scroll_lines") == "4"), True)
            self.assertEqual(app.quit(), 0)
        after = read_profile_settings()
        for key, value in flipped.items():
            self.assertEqual(after[key], value, key)
        self.assertEqual((after["categories_hidden"], after["scroll_lines"], after["app_filter_mode"]),
                         ("63", "4", "blacklist"))
        self.assertEqual(after["app_filter_list"], names)

    def test_a_language_switch_rebuilds_the_window_in_that_language(self):
        with RunningProgram({"language": "ru"}) as app:
            first = open_settings(app)
            drive("choose", 1048, 0)  # English: the languages are listed by code

            def shown():
                out = drive("wait", 1000, check=False).split()
                return out[1] if len(out) > 1 else ""

            self.assertTrue(wait_until(lambda: shown() not in ("", first)), "the window was not rebuilt")
            found, window = controls()
            self.assertEqual(window["title"], language_text("menu.settings", "en"))
            self.assertEqual(window["page"], "0")
            self.assertEqual(found[1001]["text"], language_text("clipboard.watch", "en"))
            self.assertEqual(found[1048]["text"], "English")
            self.assertEqual({cid for cid, c in found.items() if cid and c["visible"]}, PAGES[0] | {NAV, CLOSE})
            self.assertEqual(wait_until(lambda: setting("language") == "en"), True)
            self.assertEqual(app.quit(), 0)

    def test_a_new_hotkey_is_registered_at_once_and_an_emptied_one_is_freed(self):
        ctrl_alt_k, ctrl_shift_v = (MOD_CONTROL | MOD_ALT, ord("K")), (MOD_CONTROL | MOD_SHIFT, ord("V"))
        plain = (MOD_CONTROL | MOD_SHIFT | MOD_ALT, ord("U"))
        with RunningProgram({"always_on_top": "false"}) as app:
            open_settings(app)
            show_page(3)
            self.assertEqual(hotkey_states(ctrl_alt_k, ctrl_shift_v, plain), ["free", "taken", "taken"])
            drive("focus", 1010)
            drive("keys", "enter", "ctrl+alt+k")
            self.assertEqual(wait_until(lambda: setting("hotkey") == "ctrl+alt+k"), True)
            self.assertEqual(hotkey_states(ctrl_alt_k, ctrl_shift_v), ["taken", "free"])
            # A second Enter is no hotkey: it would take Enter from every program.
            drive("keys", "enter", "enter")
            found, _ = controls()
            self.assertEqual(found[1010]["text"], "ctrl+alt+k")
            drive("keys", "esc")
            # Emptied with Backspace: off at once, and still off after a restart.
            drive("focus", 1018)
            drive("keys", "enter", "back")
            self.assertEqual(wait_until(lambda: setting("plain_hotkey") == ""), True)
            self.assertEqual(hotkey_states(plain), ["free"])
            # Tab while recording moves on and changes nothing.
            drive("focus", 1010)
            drive("keys", "enter", "tab")
            found, _ = controls()
            self.assertEqual((found[1010]["text"], found[1018]["text"]), ("ctrl+alt+k", ""))
            self.assertEqual(app.quit(), 0)
        self.assertEqual(hotkey_states(ctrl_alt_k, plain), ["free", "free"])
        with RunningProgram(reset=False) as app:  # the settings file as the program left it
            self.assertEqual(hotkey_states(ctrl_alt_k, ctrl_shift_v, plain), ["taken", "free", "free"])
            self.assertEqual(app.quit(), 0)

    def test_the_autostart_switch_writes_and_removes_the_run_value(self):
        def run_value():
            proc = wine("reg", "query", RUN_KEY, "/v", "Korvane", check=False)
            return proc.returncode == 0 and proc.stdout.decode("utf-8", errors="replace")

        wine("reg", "delete", RUN_KEY, "/v", "Korvane", "/f", check=False)
        with RunningProgram({"always_on_top": "false"}) as app:
            open_settings(app)
            show_page(3)
            drive("click", 1009)
            value = wait_until(run_value)
            self.assertIn('"' + kh.win_path(kh.program()) + '"', value or "")
            drive("close")
            drive("gone", 10000)
            # The switch is read from the registry when the window opens.
            open_settings(app)
            show_page(3)
            self.assertEqual(controls()[0][1009]["check"], 1)
            drive("click", 1009)
            self.assertTrue(wait_until(lambda: not run_value()), "the value is still there")
            self.assertEqual(app.quit(), 0)


def stamp(**delta):
    return (datetime.datetime.now() - datetime.timedelta(**delta)).strftime("%Y-%m-%dT%H:%M:%S")


class RetentionFieldsTest(unittest.TestCase):
    """Typing a number into a retention field purges only once the number is
    complete: "30" never passes through "3", "72" never through "7"."""

    def test_numbers_apply_on_enter_or_leaving_the_field_and_stay_in_range(self):
        with RunningProgram({"always_on_top": "false"}) as app:  # creates the database
            self.assertEqual(app.quit(), 0)
        with sqlite3.connect(profile_path(".korvane.db")) as db:
            rows = (("10 days old", stamp(days=10), None), ("40 days old", stamp(days=40), None),
                    ("trashed 30 hours ago", stamp(), stamp(hours=30)),
                    ("trashed 100 hours ago", stamp(), stamp(hours=100)))
            db.executemany("INSERT INTO history (text, created_at, deleted_at) VALUES (?, ?, ?)", rows)
        with RunningProgram({"always_on_top": "false", "ttl_days": "0", "trash_hours": "168"}, reset=False) as app:
            open_settings(app)
            show_page(1)
            drive("focus", 1011)
            drive("keys", "end", "back", "text:30")
            time.sleep(1)
            self.assertEqual(setting("ttl_days"), "0", "applied while typing")
            drive("keys", "tab")
            self.assertEqual(wait_until(lambda: setting("ttl_days") == "30"), True)

            drive("focus", 1012)
            drive("keys", "end", "back", "back", "back", "text:72")
            time.sleep(1)
            self.assertEqual(setting("trash_hours"), "168", "applied while typing")
            drive("keys", "enter")
            self.assertEqual(wait_until(lambda: setting("trash_hours") == "72"), True)

            # Beyond the range: the nearest end, shown in the field.
            drive("keys", "end", "back", "back", "text:9999", "enter")
            self.assertEqual(wait_until(lambda: setting("trash_hours") == "168"), True)
            self.assertEqual(controls()[0][1012]["text"], "168")
            # Not a number: the value in effect comes back.
            drive("focus", 1011)
            drive("keys", "end", "back", "back", "text:x", "tab")
            self.assertEqual(wait_until(lambda: controls()[0][1011]["text"] == "30"), True)
            # Closing the window applies what was typed.
            drive("focus", 1011)
            drive("keys", "end", "back", "back", "text:45")
            drive("close")
            self.assertEqual(wait_until(lambda: setting("ttl_days") == "45"), True)
            self.assertEqual(app.quit(), 0)
        with sqlite3.connect(profile_path(".korvane.db")) as db:
            left = {r[0] for r in db.execute("SELECT text FROM history")}
        self.assertEqual(left, {"10 days old", "trashed 30 hours ago"})


def hex_of(colorref):
    r, g, b = colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF
    return "#%02X%02X%02X" % (r, g, b)


def colours(path):
    out = subprocess.run(["convert", path, "-format", "%c", "histogram:info:-"],
                         capture_output=True, text=True, check=True).stdout
    return {line.split("#")[1][:6].upper() for line in out.splitlines() if "#" in line}


class SettingsScreenshotsTest(unittest.TestCase):
    def test_every_page_in_both_themes(self):
        os.makedirs(SHOTS, exist_ok=True)
        palette = {"light": (0xF3F3F3, 0xFBFBFB, 0x141414), "dark": (0x202020, 0x272727, 0xF2F2F2)}
        with RunningProgram({"always_on_top": "false", "dark_mode": "false"}) as app:
            open_settings(app)
            for theme in ("light", "dark"):
                if theme == "dark":
                    show_page(2)
                    drive("click", 1002)
                    wait_until(lambda: setting("dark_mode") == "true")
                for page in range(7):
                    show_page(page)
                    time.sleep(0.3)
                    path = os.path.join(SHOTS, f"settings_{theme}_{page}.png")
                    self.assertIn("saved", drive("shot", kh.win_path(path)))
                    found = colours(path)
                    for colour in palette[theme]:
                        self.assertIn(hex_of(colour)[1:], found, f"{theme} page {page}")
            self.assertEqual(app.quit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
