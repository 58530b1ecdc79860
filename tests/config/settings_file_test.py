"""The settings file as another INI reader sees it: Python's configparser reads
what the program writes, and the program reads what an editor leaves."""

import configparser
import os
import unittest

from korvane_harness import helper, temp_dir, wine, win_path

PROBE = helper("settings_probe")

# The order of a new file: the options changed by hand first, the window
# placement and last view (rewritten on every move) last.
NEW_FILE_ORDER = [
    "watch_clipboard", "dark_mode", "always_on_top", "close_on_paste", "hide_on_copy",
    "tray_on_minimize", "start_in_tray", "show_time", "show_hints", "show_category",
    "sort_by_frequency", "pinned_first", "repeat_on_copy", "sound_on_copy", "sound_on_paste",
    "sound_copy_id", "sound_paste_id", "categories_collapsed", "snippet_panel_collapsed",
    "categories_hidden", "ttl_days", "trash_hours", "categories_width", "font_size", "scroll_lines",
    "hotkey", "plain_hotkey", "snippets_hotkey", "screenshot_hotkey", "screenshot_window_hotkey",
    "screenshot_full_hotkey", "screenshot_editor_enabled", "screenshot_copy_to_clipboard",
    "screenshot_autosave", "clipboard_images_autosave", "screenshot_folder", "screenshot_color",
    "screenshot_thickness", "app_filter_mode", "app_filter_list", "language",
    "snippet_collapsed_groups", "window_x", "window_y", "window_w", "window_h",
    "last_view_filter", "last_view_cat_id", "last_view_templates",
]


def read_ini(path):
    with open(path, "rb") as f:
        raw = f.read()
    encoding = "utf-16" if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else "latin-1"
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str  # keys are case-sensitive
    parser.read_string(raw.decode(encoding))
    return raw, parser


class SettingsFile(unittest.TestCase):
    def setUp(self):
        self.tmp = temp_dir()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def save(self, name, values=None):
        args = ["save", win_path(self.path(name))]
        if values:
            args.append(self._values(values))
        wine(PROBE, *args)
        return read_ini(self.path(name))

    def test_new_file_order_and_values(self):
        raw, ini = self.save("new.ini", {
            "screenshot_folder": "C:\\Users\\Анна\\Снимки экрана",
            "app_filter_list": "Блокнот.exe;chrome.exe",
            "window_x": "-1200",
            "dark_mode": "1",
        })
        self.assertEqual(raw[:2], b"\xff\xfe", "a new file is UTF-16LE with a byte-order mark")
        self.assertEqual(ini.sections(), ["Settings"])
        self.assertEqual(list(ini["Settings"].keys()), NEW_FILE_ORDER)
        s = ini["Settings"]
        self.assertEqual(s["screenshot_folder"], "C:\\Users\\Анна\\Снимки экрана")
        self.assertEqual(s["app_filter_list"], "Блокнот.exe;chrome.exe")
        self.assertEqual(s["dark_mode"], "true")
        self.assertEqual(s["watch_clipboard"], "true")
        self.assertEqual(s["start_in_tray"], "false")
        self.assertEqual(s["window_x"], "-1200")
        self.assertEqual(s["font_size"], "14")
        self.assertEqual(s["hotkey"], "ctrl+shift+v")
        self.assertEqual(s["screenshot_full_hotkey"], "shift+prtscr")
        self.assertEqual(s["language"], "ru")
        self.assertEqual(s["snippet_collapsed_groups"], "")

    def test_edited_ansi_file_is_read_clamped_and_rewritten_as_unicode(self):
        with open(self.path("old.ini"), "wb") as f:
            f.write(b"; written by hand\r\n[Settings]\r\nfont_size=40\r\nwatch_clipboard=TRUE\r\n"
                    b"ttl_days=12abc\r\nlanguage=en\r\nbogus=1\r\n[Mine]\r\nkeep=this\r\n")
        wine(PROBE, "resave", win_path(self.path("old.ini")), win_path(self.path("out.ini")))
        _, ini = read_ini(self.path("out.ini"))
        s = ini["Settings"]
        self.assertEqual(s["font_size"], "18")
        self.assertEqual(s["watch_clipboard"], "false")
        self.assertEqual(s["ttl_days"], "12")
        self.assertEqual(s["language"], "en")
        self.assertNotIn("bogus", s)

        # Saving over the old ANSI file makes it Unicode and keeps what is not ours.
        wine(PROBE, "save", win_path(self.path("old.ini")), self._values({"screenshot_folder": "D:\\Фото"}))
        raw, ini = read_ini(self.path("old.ini"))
        self.assertEqual(raw[:2], b"\xff\xfe")
        self.assertEqual(ini["Settings"]["screenshot_folder"], "D:\\Фото")
        self.assertEqual(ini["Mine"]["keep"], "this")
        self.assertFalse(os.path.exists(self.path("old.ini.new")))

    def test_unicode_file_written_elsewhere_round_trips(self):
        with open(self.path("u.ini"), "wb") as f:
            f.write("\ufeff[Settings]\r\nlanguage=en\r\nsnippet_collapsed_groups=Работа;Дом\r\n".encode("utf-16-le"))
        wine(PROBE, "resave", win_path(self.path("u.ini")), win_path(self.path("out.ini")))
        _, ini = read_ini(self.path("out.ini"))
        self.assertEqual(ini["Settings"]["snippet_collapsed_groups"], "Работа;Дом")
        self.assertEqual(ini["Settings"]["language"], "en")

    def _values(self, values):
        with open(self.path("values.txt"), "w", encoding="utf-8") as f:
            f.write("".join(f"{k}={v}\n" for k, v in values.items()))
        return win_path(self.path("values.txt"))


if __name__ == "__main__":
    unittest.main()
