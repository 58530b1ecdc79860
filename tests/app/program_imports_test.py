"""Korvane.exe needs no DLL beside it: started from Explorer or at sign-in,
it finds only the system's. Every DLL it imports must be one that Windows
brings, which Wine keeps in the system folder of the build's prefix; a C or
C++ runtime of the compiler (libstdc++-6.dll, libwinpthread-1.dll) is not."""

import os
import re
import subprocess
import unittest

import korvane_harness as kh


class ProgramImports(unittest.TestCase):
    def test_every_imported_dll_is_the_systems(self):
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", kh.program()], capture_output=True, text=True,
                              check=True).stdout
        imported = re.findall(r"^\s*DLL Name: (\S+)", dump, re.M)
        self.assertIn("KERNEL32.dll", imported)
        system = {name.lower() for name in os.listdir(os.path.join(kh.wine_prefix(), "drive_c", "windows", "system32"))}
        self.assertEqual([dll for dll in imported if dll.lower() not in system], [])


if __name__ == "__main__":
    unittest.main()
