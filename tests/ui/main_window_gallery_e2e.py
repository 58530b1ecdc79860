"""Renders the main window in both themes (history cards, templates with a
group header, an open drop-down menu, the sidebar with its templates section
open and a category's menu) into PNG files under the build folder
(screenshots/), then reads them back with ImageMagick and checks what is
drawn where: each card inside the list and clear of its edge, in the colour
of its state; the tool glyphs in their buttons; every surface in its own
theme's colour; the menus in theirs."""

import os
import unittest

import korvane_harness as kh
from korvane_harness import hex_of
from ui_gallery_e2e import colours, size

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


def places(output):
    """{picture: {what: [box, ...]}} from the helper's "at" lines."""
    found = {}
    for line in output.splitlines():
        parts = line.split()
        if len(parts) == 7 and parts[0] == "at":
            found.setdefault(parts[1], {}).setdefault(parts[2], []).append(tuple(int(v) for v in parts[3:]))
    return found


class MainWindowGallery(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(OUT, exist_ok=True)
        for theme in THEMES:
            for name in ("main_window_%s.png", "main_window_templates_%s.png", "main_window_menu_%s.png",
                         "main_window_sidebar_%s.png"):
                if os.path.exists(os.path.join(OUT, name % theme)):
                    os.remove(os.path.join(OUT, name % theme))
        cls.run_result = kh.wine(kh.helper("main_window_gallery"), kh.win_path(OUT), timeout=180, check=False)
        cls.places = places(cls.run_result.stdout.decode(errors="replace"))

    def setUp(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stdout.decode(errors="replace"))

    def test_cards_sit_inside_the_list_in_the_colour_of_their_state(self):
        for theme, palette in THEMES.items():
            colour = {role: hex_of(value) for role, value in palette.items()}
            for name in ("main_window_%s.png" % theme, "main_window_templates_%s.png" % theme):
                picture, at = kh.Picture(os.path.join(OUT, name)), self.places[name]
                (left, top, right, bottom), = at["list"]
                self.assertTrue(at.get("card") and at.get("selected-card"), name)
                inside = {}
                for kind, fill, text in (("card", "card", "text"), ("selected-card", "selected card",
                                                                   "white on selection")):
                    for box in at[kind]:
                        where = f"{name}: {kind} {box}"
                        x0, y0, x1, y1 = box
                        self.assertTrue(left <= x0 and x1 <= right and top <= y0 and y1 <= bottom, where)
                        middle = (y0 + y1) // 2
                        self.assertEqual(picture.most_common(box), colour[fill], where)
                        # The card stops short of the list's edges, and its corners
                        # are round: the list shows around it, nothing is cut.
                        for x in (x0 + 2, x1 - 3):
                            self.assertEqual(picture.at(x, middle), colour[fill], where)
                        for x in (x0, x1 - 1):
                            self.assertEqual(picture.at(x, middle), colour["list"], where)
                        for corner in ((x0 + 2, y0 + 2), (x1 - 3, y0 + 2), (x1 - 3, y1 - 2)):
                            self.assertEqual(picture.at(*corner), colour["list"], f"{where}: corner {corner}")
                        inside.update(picture.colours(box))
                        self.assertIn(colour[text], picture.colours(box), where)
                if "templates" not in name:
                    self.assertIn(colour["thumbnail frame"], inside, name + ": a picture card's frame")

                # Each surface in its own colour: the list below its last card,
                # the sidebar's first row, the window between the two.
                last = max(box[3] for boxes in (at["card"], at["selected-card"]) for box in boxes)
                self.assertLess(last, bottom - 10, name)
                self.assertEqual(picture.most_common((left, last + 2, right, bottom)), colour["list"], name)
                (s_left, s_top, s_right, _), = at["sidebar"]
                self.assertEqual(picture.most_common((s_left, s_top, s_right, s_top + 20)), colour["sidebar"], name)
                self.assertEqual(picture.most_common((s_right + 2, top, left - 2, bottom)), colour["window"], name)

    def test_each_tool_glyph_stands_in_its_button(self):
        for theme, palette in THEMES.items():
            name = "main_window_%s.png" % theme
            picture, window = kh.Picture(os.path.join(OUT, name)), hex_of(palette["window"])
            for box in self.places[name]["tool"]:
                x0, y0, x1, y1 = box
                glyph = [(x, y) for y in range(y0, y1) for x in range(x0, x1) if picture.at(x, y) != window]
                self.assertTrue(glyph, f"{name}: an empty button at {box}")
                xs, ys = [x for x, _ in glyph], [y for _, y in glyph]
                self.assertLessEqual(abs((min(xs) + max(xs)) / 2 - (x0 + x1 - 1) / 2), 3, f"{name}: {box}")
                self.assertLessEqual(abs((min(ys) + max(ys)) / 2 - (y0 + y1 - 1) / 2), 3, f"{name}: {box}")
                # Nothing of it spills over the button's sides.
                for x in (x0 - 1, x1):
                    self.assertEqual(picture.colours((x, y0, x + 1, y1)), {window: y1 - y0}, f"{name}: {box}")

    def test_menus_show_their_theme_and_reach_below_the_window(self):
        for theme in THEMES:
            for name in ("main_window_menu_%s.png" % theme, "main_window_sidebar_%s.png" % theme):
                found = colours(os.path.join(OUT, name))
                for role, colorref in MENU[theme].items():
                    with self.subTest(picture=name, role=role):
                        self.assertIn(hex_of(colorref), found)
            window = size(os.path.join(OUT, "main_window_%s.png" % theme))
            with_menu = size(os.path.join(OUT, "main_window_menu_%s.png" % theme))
            self.assertEqual(with_menu[0], window[0])
            self.assertGreater(with_menu[1], window[1])


if __name__ == "__main__":
    unittest.main()
