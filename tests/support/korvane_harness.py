"""Shared by the Python tests: they run natively and start the Windows side
(Korvane.exe, test helpers) under Wine through the build's wine-run.sh."""

import os
import subprocess
import tempfile

SOURCE_DIR = os.environ.get("KORVANE_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BINARY_DIR = os.environ.get("KORVANE_BINARY_DIR", os.path.join(SOURCE_DIR, "build"))
WINE = os.environ.get("KORVANE_WINE") or os.path.join(BINARY_DIR, "wine-run.sh")


def win_path(linux_path):
    """The Windows path (drive Z:) of a Linux path."""
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


def helper(name):
    """Path of a test helper program built from tests/helpers/<name>.cpp."""
    return os.path.join(BINARY_DIR, "tests", "helpers", name + ".exe")


def program():
    return os.path.join(BINARY_DIR, "Korvane.exe")


def wine(exe, *args, timeout=120, check=True, input=None, env=None):
    """Runs a Windows program and waits; returns the CompletedProcess."""
    run_env = dict(os.environ)
    if env:
        run_env.update(env)
    proc = subprocess.run([WINE, exe, *args], capture_output=True, timeout=timeout,
                          input=input, env=run_env)
    if check and proc.returncode != 0:
        raise AssertionError(
            f"{os.path.basename(exe)} {' '.join(args)} exited {proc.returncode}\n"
            f"stdout: {proc.stdout.decode(errors='replace')}\nstderr: {proc.stderr.decode(errors='replace')}")
    return proc


def wine_start(exe, *args, env=None, stdin=None):
    """Starts a Windows program without waiting; returns the Popen."""
    run_env = dict(os.environ)
    if env:
        run_env.update(env)
    return subprocess.Popen([WINE, exe, *args], stdin=stdin, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            env=run_env)


def temp_dir():
    """A TemporaryDirectory under /tmp, reachable from Wine as Z:\\tmp\\..."""
    return tempfile.TemporaryDirectory(prefix="korvane-py-", dir="/tmp")


def wine_prefix():
    return os.path.join(BINARY_DIR, "wineprefix")


def wine_user_profile():
    """The Linux folder of the Windows user profile (C:\\users\\<name>) in the test prefix."""
    users = os.path.join(wine_prefix(), "drive_c", "users")
    for name in sorted(os.listdir(users)):
        if name not in ("Public",) and os.path.isdir(os.path.join(users, name, "AppData")):
            return os.path.join(users, name)
    raise RuntimeError("no user profile in " + users)


# ---------------------------------------------------------------- the program's profile

PROFILE_FILES = (".korvane.db", ".korvane.db-wal", ".korvane.db-shm", ".korvane.db-journal", ".korvane.db.ini")


def profile_path(name):
    """A file in the Windows user profile folder of the test prefix."""
    return os.path.join(wine_user_profile(), name)


def reset_profile():
    """An empty profile: no history database and no settings file."""
    for name in PROFILE_FILES:
        try:
            os.remove(profile_path(name))
        except FileNotFoundError:
            pass


def write_profile_settings(values):
    """Writes a settings file holding only the given options (others keep
    their defaults)."""
    lines = ["[Settings]"] + [f"{k}={v}" for k, v in values.items()]
    with open(profile_path(".korvane.db.ini"), "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def read_profile_settings():
    """The settings file as a dict of texts, or None when there is none."""
    import configparser
    try:
        with open(profile_path(".korvane.db.ini"), "rb") as f:
            raw = f.read()
    except FileNotFoundError:
        return None
    encoding = "utf-16" if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else "latin-1"
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read_string(raw.decode(encoding))
    return dict(parser["Settings"]) if parser.has_section("Settings") else {}


def language_text(key, code="ru"):
    """A text of a language file, as the program shows it."""
    with open(os.path.join(SOURCE_DIR, "lang", code + ".ini"), encoding="utf-8-sig") as f:
        for line in f:
            name, sep, value = line.rstrip("\r\n").partition("=")
            if sep and name.strip() == key:
                return value
    return None


class RunningProgram:
    """Korvane.exe started from an empty profile (plus the given settings),
    seen through the app_probe helper. Quit it with quit(); a program still
    running when the block ends is stopped."""

    WM_COMMAND = 0x0111

    def __init__(self, settings=None, reset=True):
        self.settings = settings
        self.reset = reset
        self.proc = None

    def __enter__(self):
        if self.reset:
            reset_profile()
        if self.settings:
            write_profile_settings(self.settings)
        self.proc = wine_start(program())
        out = self.probe("wait-window", "20000", check=False)
        if "window" not in out:
            self.stop()
            raise AssertionError("Korvane.exe showed no main window: " + out)
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def probe(self, *args, check=True):
        return wine(helper("app_probe"), *args, check=check).stdout.decode(errors="replace")

    def state(self):
        """{"visible": "1", "rect": "x y w h", "topmost": ..., "count": ...}"""
        out = self.probe("window")
        return dict(line.split(" ", 1) for line in out.splitlines() if " " in line)

    def post(self, msg, wparam=0, lparam=0):
        return self.probe("post", str(msg), str(wparam), str(lparam))

    def quit(self, timeout=30):
        """The quit command of the File menu; returns the exit code."""
        self.post(self.WM_COMMAND, 1003, 0)
        return self.wait(timeout)

    def wait(self, timeout=30):
        code = self.proc.wait(timeout=timeout)
        self.proc.stdout.close()
        self.proc.stderr.close()
        return code

    def stop(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.post(self.WM_COMMAND, 1003, 0)
                self.proc.wait(timeout=10)
            except Exception:
                self.proc.kill()
                self.proc.wait()
        if self.proc and self.proc.stdout and not self.proc.stdout.closed:
            self.proc.stdout.close()
            self.proc.stderr.close()
