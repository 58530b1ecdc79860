"""The folders of src/ stand on one another one way, floor over floor:

    services                      Windows, knowing no program
    storage, config               each on services alone
    capture                       on storage, config and services
    ui                            on capture and below
    screenshot                    on ui and below
    app                           on everything: the running program

The program's numbers live in services/ids.h, on the ground floor, so every
floor reaches them without an exception to the rule.
Every #include "..." under src/ is read, so the floors hold without anyone
remembering them."""

import os
import re
import unittest

from korvane_harness import SOURCE_DIR

SRC = os.path.join(SOURCE_DIR, "src")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

# Folder of the including file -> the folders it must not include.
FORBIDDEN = {
    "services": ("storage", "config", "capture", "ui", "screenshot", "app"),
    "storage": ("config", "capture", "ui", "screenshot", "app"),
    "config": ("storage", "capture", "ui", "screenshot", "app"),
    "capture": ("ui", "screenshot", "app"),
    "ui": ("screenshot", "app"),
    "screenshot": ("app",),
}


def includes():
    """(file relative to src/, included path) for every quoted include."""
    for folder, _, names in os.walk(SRC):
        for name in names:
            if name.endswith((".h", ".cpp")):
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8") as f:
                    for target in INCLUDE.findall(f.read()):
                        yield os.path.relpath(path, SRC).replace(os.sep, "/"), target


def forbidden_edges(edges):
    return [f"{source} includes {target}" for source, target in edges
            if target.split("/")[0] in FORBIDDEN.get(source.split("/")[0], ())]


class IncludeRules(unittest.TestCase):
    def test_no_floor_reaches_up(self):
        edges = list(includes())
        # The scan sees every floor it guards.
        self.assertTrue(set(FORBIDDEN) <= {source.split("/")[0] for source, _ in edges})
        self.assertEqual(forbidden_edges(edges), [])

    def test_the_rule_catches_each_kind_of_edge(self):
        upward = [
            ("services/a.cpp", "storage/history_db.h"), ("services/a.h", "config/settings.h"),
            ("services/a.cpp", "capture/app_names.h"), ("services/a.cpp", "app/app.h"),
            ("storage/b.cpp", "config/settings.h"), ("config/c.cpp", "storage/json.h"),
            ("capture/d.cpp", "ui/app_parts.h"), ("ui/e/f.cpp", "app/app.h"),
            ("ui/e/f.h", "screenshot/screenshot.h"), ("screenshot/g.cpp", "app/main_window_proc.h"),
        ]
        self.assertEqual(len(forbidden_edges(upward)), len(upward))
        self.assertEqual(forbidden_edges([
            ("services/a.cpp", "services/ids.h"), ("storage/b.cpp", "services/encoding.h"),
            ("config/c.cpp", "services/file_io.h"), ("capture/d.cpp", "storage/history_db.h"),
            ("capture/d.cpp", "config/settings.h"), ("ui/e/f.cpp", "capture/entry_clipboard.h"),
            ("screenshot/g.cpp", "ui/app_parts.h"), ("app/h.cpp", "screenshot/screenshot.h"),
            ("app/h.cpp", "ui/main_window/main_window.h"),
        ]), [])


if __name__ == "__main__":
    unittest.main()
