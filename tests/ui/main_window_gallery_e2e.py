"""Renders the main window in both themes (history cards, templates with a
group header, an open drop-down menu, the sidebar with its templates section
open and a category's menu) into PNG files under the build folder
(screenshots/), then reads them back with ImageMagick and checks that the
palette each picture should show is there."""

import os
import unittest

import korvane_harness as kh
from ui_gallery_e2e import colours, hex_of, size

OUT = os.path.join(kh.BINARY_DIR, "screenshots")

THEMES = {
    "dark": {"window": 0x202020, "list": 0x2B2B2B, "card": 0x2C2A2A, "selected card": 0xD06B0A,
             "text": 0xF2F2F2, "white on selection": 0xFFFFFF, "sidebar": 0x272727,
             "thumbnail frame": 0x4A4A4A},
    "light": {"window": 0xF3F3F3, "list": 0xFFFFFF, "card": 0xF0F0F0, "selected card": 0xCC6600,
              "text": 0x141414, "white on selection": 0xFFFFFF, "sidebar": 0xFBFBFB,
              "thumbnail frame": 0xD5D5D5},
}
MENU = {"dark": {"menu surface": 0x272727, "menu hover": 0xD06B0A},
        "light": {"menu surface": 0xFBFBFB, "menu hover": 0xF7E7D6}}


def pictures(theme):
    return ["main_window_%s.png" % theme, "main_window_templates_%s.png" % theme,
            "main_window_menu_%s.png" % theme, "main_window_sidebar_%s.png" % theme]


class MainWindowGallery(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(OUT, exist_ok=True)
        for theme in THEMES:
            for name in pictures(theme):
                if os.path.exists(os.path.join(OUT, name)):
                    os.remove(os.path.join(OUT, name))
        cls.run_result = kh.wine(kh.helper("main_window_gallery"), kh.win_path(OUT), timeout=180, check=False)

    def test_pictures_show_the_palette_of_their_theme(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stdout.decode(errors="replace"))
        for theme, wanted in THEMES.items():
            for name in pictures(theme):
                path = os.path.join(OUT, name)
                self.assertTrue(os.path.exists(path), name)
                found = colours(path)
                with_menu = "menu" in name or "sidebar" in name
                roles = dict(wanted, **MENU[theme]) if with_menu else wanted
                for role, colorref in roles.items():
                    if role == "thumbnail frame" and ("templates" in name or "sidebar" in name):
                        continue
                    with self.subTest(picture=name, role=role):
                        self.assertIn(hex_of(colorref), found)

    def test_the_open_menu_reaches_below_the_window(self):
        for theme in THEMES:
            window = size(os.path.join(OUT, "main_window_%s.png" % theme))
            with_menu = size(os.path.join(OUT, "main_window_menu_%s.png" % theme))
            self.assertEqual(with_menu[0], window[0])
            self.assertGreater(with_menu[1], window[1])


if __name__ == "__main__":
    unittest.main()
