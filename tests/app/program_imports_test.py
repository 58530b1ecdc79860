"""Korvane.exe needs no DLL beside it: started from Explorer or at sign-in,
it finds only the system's. Every DLL it imports must be one that Windows
brings, which Wine keeps in the system folder of the build's prefix; a C or
C++ runtime of the compiler (libstdc++-6.dll, libwinpthread-1.dll) is not.
A library that loads when first used must not be in the ordinary import
table as well: one function of it missing from its list in cmake/delayload
loads it at every start."""

import os
import re
import subprocess
import unittest

import korvane_harness as kh


def imported_at_start():
    """The DLLs of the ordinary import table, which Windows loads with the program."""
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", kh.program()], capture_output=True, text=True,
                          check=True).stdout
    table = re.search(r"^The Import Tables.*?(?=^The |\Z)", dump, re.M | re.S)
    return re.findall(r"^\s*DLL Name: (\S+)", table.group(0) if table else "", re.M)


class ProgramImports(unittest.TestCase):
    def test_every_imported_dll_is_the_systems_and_none_is_delay_loaded(self):
        imported = imported_at_start()
        self.assertIn("KERNEL32.dll", imported)
        system = {name.lower() for name in os.listdir(os.path.join(kh.wine_prefix(), "drive_c", "windows", "system32"))}
        self.assertEqual([dll for dll in imported if dll.lower() not in system], [])
        delayed = {name[:-len(".def")] + ".dll" for name in os.listdir(os.path.join(kh.SOURCE_DIR, "cmake", "delayload"))}
        self.assertEqual([dll for dll in imported if dll.lower() in delayed], [])


if __name__ == "__main__":
    unittest.main()
