"""Both language files hold a text for every key the program looks up, and
the two translations of a formatted text take the same values in the same
order. Keys are found where the code names them literally: tr(L"..."),
tr_format(L"...", ...) and tr_key(L"..."), and as any other literal of a
key's shape in one of those keys' sections, such as a key handed to a
helper that looks it up (L"prompt.new_name")."""

import glob
import os
import re
import unittest

from korvane_harness import SOURCE_DIR

KEY_CALL = re.compile(r'\b(tr|tr_format|tr_key)\s*\(\s*L"((?:[^"\\]|\\.)*)"')
KEY_SHAPE = re.compile(r'L"([a-z][a-z0-9_]*)\.([a-z0-9_.]+)"')
CONVERSION = re.compile(r"%(?:%|[-0+ #]*\d*(?:\.\d*)?(?:hh|ll|I64|I32|[hlLjztw])?([a-zA-Z]))")


def strip_comments(code):
    """C++ source without its comments; string and character literals kept."""
    out, i, n = [], 0, len(code)
    while i < n:
        c = code[i]
        if code.startswith("//", i):
            i = code.find("\n", i)
            i = n if i < 0 else i
        elif code.startswith("/*", i):
            end = code.find("*/", i + 2)
            i = n if end < 0 else end + 2
            out.append(" ")
        elif c in "\"'":
            j = i + 1
            while j < n and code[j] != c:
                j += 2 if code[j] == "\\" else 1
            out.append(code[i:j + 1])
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def keys_in(code, sections=None):
    """[(key, is_format, offset)] named in comment-free code: the keys passed
    to the lookups, and the other literals of a key's shape in the sections
    given (by default those of the keys passed here)."""
    found = [(m.group(2), m.group(1) == "tr_format", m.start(2) - 2) for m in KEY_CALL.finditer(code)]
    if sections is None:
        sections = {key.split(".")[0] for key, _, _ in found}
    passed = {offset for _, _, offset in found}
    found += [(m.group(1) + "." + m.group(2), False, m.start()) for m in KEY_SHAPE.finditer(code)
              if m.group(1) in sections and m.start() not in passed]
    return found


def used_keys():
    """{key: {"format": bool, "places": [file:line, ...]}} for every key in src/."""
    files = glob.glob(os.path.join(SOURCE_DIR, "src", "**", "*.cpp"), recursive=True)
    files += glob.glob(os.path.join(SOURCE_DIR, "src", "**", "*.h"), recursive=True)
    codes = {}
    for path in sorted(files):
        with open(path, encoding="utf-8") as f:
            codes[path] = strip_comments(f.read())
    sections = {key.split(".")[0] for code in codes.values() for key, _, _ in keys_in(code, set())}
    keys = {}
    for path, code in codes.items():
        for key, is_format, offset in keys_in(code, sections):
            entry = keys.setdefault(key, {"format": False, "places": []})
            entry["format"] |= is_format
            line = code.count("\n", 0, offset) + 1
            entry["places"].append(f"{os.path.relpath(path, SOURCE_DIR)}:{line}")
    return keys


def load_language_file(path):
    """The same line rules as the program's loader."""
    with open(path, "rb") as f:
        raw = f.read()
    if raw.startswith(b"\xef\xbb\xbf"):
        raw = raw[3:]
    table = {}
    for line in raw.decode("utf-8").split("\n"):
        line = line.lstrip(" \t").rstrip("\t\n\r ")
        if not line or line[0] in "#;" or "=" not in line:
            continue
        key, value = line.split("=", 1)
        key = key.strip(" \t")
        if key:
            table[key] = value.strip(" \t\r\n")
    return table


def conversions(text):
    return [c for c in CONVERSION.findall(text) if c]


class LanguageKeys(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.keys = used_keys()
        cls.files = {code: load_language_file(os.path.join(SOURCE_DIR, "lang", code + ".ini"))
                     for code in ("ru", "en")}

    def test_every_used_key_has_a_text_in_both_files(self):
        missing = [f"{code}.ini lacks {key} (used at {', '.join(info['places'])})"
                   for code, table in self.files.items()
                   for key, info in sorted(self.keys.items()) if key not in table]
        self.assertEqual(missing, [], "\n" + "\n".join(missing))

    def test_translations_take_the_same_values(self):
        ru, en = self.files["ru"], self.files["en"]
        wrong = [f"{key}: ru {conversions(ru[key])} vs en {conversions(en[key])}"
                 for key in sorted(set(ru) & set(en)) if conversions(ru[key]) != conversions(en[key])]
        self.assertEqual(wrong, [], "\n" + "\n".join(wrong))
        # tr_format texts take only strings and integers.
        bad = [f"{code}.ini {key}: {text}" for code, table in self.files.items()
               for key, text in table.items() if self.keys.get(key, {}).get("format")
               and any(c not in "sSdiuxXoc" for c in conversions(text))]
        self.assertEqual(bad, [], "\n" + "\n".join(bad))

    def test_the_scanner_finds_keys_and_skips_comments(self):
        code = strip_comments('// tr(L"in.comment")\n/* tr(L"block.comment") */\n'
                              'auto a = tr(L"real.key"); auto b = tr_format( L"fmt.key", 1);\n'
                              'const wchar_t* k = tr_key(L"chosen.key"); auto u = L"http://x"; tr(L"after.url");\n'
                              'ask(box, L"real.bare_key"); load(L"dwmapi.dll"); host == L"youtu.be";')
        found = [key for key, _, _ in keys_in(code)]
        self.assertEqual(found, ["real.key", "fmt.key", "chosen.key", "after.url", "real.bare_key"])


if __name__ == "__main__":
    unittest.main()
