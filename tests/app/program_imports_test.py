"""Korvane.exe needs no DLL beside it: started from Explorer or at sign-in,
it finds only the system's. Every DLL it imports must be one that Windows
brings, which Wine keeps in the system folder of the build's prefix; a C or
C++ runtime of the compiler (libstdc++-6.dll, libwinpthread-1.dll) is not.
Nor may a library that loads when first used (cmake/delayload) be among them."""

import os
import re
import subprocess
import unittest

import korvane_harness as kh


class ProgramImports(unittest.TestCase):
    def test_every_imported_dll_is_the_systems_and_none_is_delay_loaded(self):
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", kh.program()], capture_output=True, text=True,
                              check=True).stdout
        # The ordinary import table alone: what Windows loads with the program.
        table = re.search(r"^The Import Tables.*?(?=^The |\Z)", dump, re.M | re.S).group(0)
        imported = re.findall(r"^\s*DLL Name: (\S+)", table, re.M)
        self.assertIn("KERNEL32.dll", imported)
        system = {name.lower() for name in os.listdir(os.path.join(kh.wine_prefix(), "drive_c", "windows", "system32"))}
        self.assertEqual([dll for dll in imported if dll.lower() not in system], [])
        delayed = {name.replace(".def", ".dll") for name in os.listdir(os.path.join(kh.SOURCE_DIR, "cmake", "delayload"))}
        self.assertEqual([dll for dll in imported if dll.lower() in delayed], [])


if __name__ == "__main__":
    unittest.main()
