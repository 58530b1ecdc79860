"""The layers of src/ point one way: storage includes nothing from app, ui or
screenshot; services nothing from ui or screenshot; and neither reaches into
the App object (app/app.h). Every #include "..." under src/ is read, so the
rule holds without anyone remembering it."""

import os
import re
import unittest

from korvane_harness import SOURCE_DIR

SRC = os.path.join(SOURCE_DIR, "src")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

# Folder of the including file -> what it must not include (a folder ends in "/").
FORBIDDEN = {
    "storage": ("app/", "ui/", "screenshot/"),
    "services": ("ui/", "screenshot/", "app/app.h"),
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
    found = []
    for source, target in edges:
        for banned in FORBIDDEN.get(source.split("/")[0], ()):
            if target == banned or (banned.endswith("/") and target.startswith(banned)):
                found.append(f"{source} includes {target}")
    return found


class IncludeRules(unittest.TestCase):
    def test_no_layer_reaches_up(self):
        edges = list(includes())
        # The scan sees the layers it guards.
        self.assertTrue({"storage", "services"} <= {source.split("/")[0] for source, _ in edges})
        self.assertEqual(forbidden_edges(edges), [])

    def test_the_rule_catches_each_kind_of_edge(self):
        self.assertEqual(len(forbidden_edges([
            ("storage/a.cpp", "app/settings.h"), ("storage/a.h", "ui/kit/theme.h"),
            ("services/b.cpp", "screenshot/screenshot.h"), ("services/b.cpp", "app/app.h"),
        ])), 4)
        self.assertEqual(forbidden_edges([
            ("services/b.cpp", "app/settings.h"), ("services/b.cpp", "app/ids.h"),
            ("storage/a.cpp", "services/encoding.h"), ("ui/c.cpp", "app/app.h"),
        ]), [])


if __name__ == "__main__":
    unittest.main()
