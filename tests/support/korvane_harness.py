"""Shared by the Python tests: they run natively and start the Windows side
(Korvane.exe, test helpers) under Wine through the build's wine-run.sh."""

import ast
import contextlib
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SOURCE_DIR = os.environ.get("KORVANE_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BINARY_DIR = os.environ.get("KORVANE_BINARY_DIR", os.path.join(SOURCE_DIR, "build"))
WINE = os.environ.get("KORVANE_WINE") or os.path.join(BINARY_DIR, "wine-run.sh")


# ---------------------------------------------------------------- Win32 constants

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_HOTKEY = 0x0312
WM_MOUSEMOVE = 0x0200
WM_LBUTTONUP = 0x0202
WM_LBUTTONDBLCLK = 0x0203
WM_RBUTTONUP = 0x0205
WM_APP = 0x8000
MOD_ALT, MOD_CONTROL, MOD_SHIFT = 1, 2, 4
VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN, VK_SNAPSHOT = 0x0D, 0x1B, 0x26, 0x28, 0x2C
CF_UNICODETEXT = 13


# ---------------------------------------------------------------- the program's own numbers

class ProgramIds:
    """The numbers of src/services/ids.h, read from the header itself so that a test
    posts what the program listens for: IDS.kCmdQuit, IDS.kMsgTray..."""

    _CONSTANT = re.compile(r"^inline constexpr [\w:]+ (k\w+) = ([^;]+);", re.M)
    _KNOWN = {"WM_APP": WM_APP, "IDOK": 1, "IDCANCEL": 2, "EN_CHANGE": 0x0300}

    def __init__(self, header):
        with open(header, encoding="utf-8") as f:
            text = f.read()
        values = dict(self._KNOWN)
        for name, expr in self._CONSTANT.findall(text):
            cast = re.fullmatch(r"static_cast<std::int64_t>\((.*)\)", expr)
            expr = re.sub(r"\b(0x[0-9A-Fa-f]+|\d+)(?:ull|ll|u)\b", r"\1", cast.group(1) if cast else expr)
            value = self._evaluate(ast.parse(expr, mode="eval").body, values)
            values[name] = value - (1 << 64) if cast and value >= 1 << 63 else value
        for name, value in values.items():
            if name.startswith("k"):
                setattr(self, name, value)

    @classmethod
    def _evaluate(cls, node, values):
        if isinstance(node, ast.Constant) and isinstance(node.value, int):
            return node.value
        if isinstance(node, ast.Name):
            return values[node.id]
        if isinstance(node, ast.BinOp) and isinstance(node.op, (ast.Add, ast.Sub, ast.LShift, ast.BitOr)):
            left, right = cls._evaluate(node.left, values), cls._evaluate(node.right, values)
            return {ast.Add: left + right, ast.Sub: left - right, ast.LShift: left << right,
                    ast.BitOr: left | right}[type(node.op)]
        raise ValueError("not a number ids.h may hold: " + ast.dump(node))


IDS = ProgramIds(os.path.join(SOURCE_DIR, "src", "services", "ids.h"))


def wait_until(condition, timeout=15):
    """Polls condition() until it gives a true value or the time is up; returns its last value."""
    deadline = time.time() + timeout
    value = condition()
    while not value and time.time() < deadline:
        time.sleep(0.2)
        value = condition()
    return value


def wait_for(probe, wanted, timeout=15):
    """Polls probe() until wanted (a text) is in what it prints; returns the last print."""
    printed = [""]

    def shows_it():
        printed[0] = probe()
        return wanted in printed[0]

    wait_until(shows_it, timeout)
    return printed[0]


# ---------------------------------------------------------------- pictures

SCREENSHOTS_DIR = os.path.join(BINARY_DIR, "screenshots")


def hex_of(colorref):
    """'#RRGGBB' of a COLORREF (0x00BBGGRR)."""
    r, g, b = colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF
    return "#%02X%02X%02X" % (r, g, b)


def picture_colours(path):
    """{'#RRGGBB': pixel count} of a picture, read with ImageMagick."""
    out = subprocess.run(["convert", path, "-format", "%c", "histogram:info:-"],
                         capture_output=True, text=True, check=True).stdout
    found = {}
    for line in out.splitlines():
        m = re.match(r"\s*(\d+):.*?(#[0-9A-Fa-f]{6})", line)
        if m:
            found[m.group(2).upper()] = int(m.group(1))
    return found


class Picture:
    """The pixels of a picture file, read once with ImageMagick; colours are
    '#RRGGBB' texts, boxes (left, top, right, bottom) with right and bottom
    outside."""

    def __init__(self, path):
        out = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, check=True)
        self.width, self.height = (int(v) for v in out.stdout.split())
        self.rgb = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return "#%02X%02X%02X" % tuple(self.rgb[i:i + 3])

    def colours(self, box):
        """{'#RRGGBB': pixel count} of a box."""
        found = {}
        for y in range(box[1], box[3]):
            for x in range(box[0], box[2]):
                colour = self.at(x, y)
                found[colour] = found.get(colour, 0) + 1
        return found

    def most_common(self, box):
        found = self.colours(box)
        return max(found, key=found.get)


def win_path(linux_path):
    """The Windows path (drive Z:) of a Linux path."""
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


def helper(name):
    """Path of a test helper program built from tests/helpers/<name>.cpp."""
    return os.path.join(BINARY_DIR, "tests", "helpers", name + ".exe")


def program():
    return os.path.join(BINARY_DIR, "Korvane.exe")


# Wine's own failures that the harness makes up for are noted here, one line
# per event: "<test> <what happened>". scripts/test.sh empties the file before
# a run and names every line in its last line, so none goes unseen.
RETRIES_LOG = os.path.join(BINARY_DIR, "wine-retries.log")


def note_wine_failure(what):
    test = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    with open(RETRIES_LOG, "a", encoding="utf-8") as f:
        f.write(f"{test} {what}\n")
    print("Wine failed, and the run goes on: " + what, file=sys.stderr)


# Printed by glibc's dynamic loader when the host side of Wine trips over its
# own bookkeeping as the process exits (exit code 127): the Windows program has
# ended by then and its output is complete, but its exit code is lost.
LOADER_EXIT_FAULT = b"Inconsistency detected by ld.so: dl-fini.c"


def wine(exe, *args, timeout=120, check=True, input=None, env=None, verdict=None):
    """Runs a Windows program and waits; returns the CompletedProcess. A
    program that fails says why: every helper prints it. A helper that
    prints its verdict (the line "gone" of a wait) passes only with that
    line among its output, whatever its exit code: Wine may lose the code
    (below), never what was printed."""
    run_env = dict(os.environ)
    if env:
        run_env.update(env)
    # Its output goes to files, not pipes: a program that is the first to
    # need Wine's desktop starts explorer.exe, which takes its output along
    # and lives on while any other program of the session does; a pipe would
    # end only then.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        proc = subprocess.run([WINE, exe, *args], stdout=out, stderr=err, timeout=timeout, input=input, env=run_env)
        out.seek(0)
        err.seek(0)
        proc.stdout, proc.stderr = out.read(), err.read()
    # Wine's loader fault at exit: the run is not made again, as it may have
    # changed the clipboard or the program under test; its output is judged
    # by the caller as that of an ended run, and the event noted.
    if proc.returncode == 127 and LOADER_EXIT_FAULT in proc.stderr:
        note_wine_failure(f"{os.path.basename(exe)} {' '.join(args)}: exit code lost to the loader fault at exit")
        proc.returncode = 0
    missing = verdict is not None and verdict not in proc.stdout.decode(errors="replace").splitlines()
    if missing or (check and proc.returncode != 0):
        raise AssertionError(
            f"{os.path.basename(exe)} {' '.join(args)} exited {proc.returncode}"
            f"{f' without printing {verdict!r}' if missing else ''}\n"
            f"stdout: {proc.stdout.decode(errors='replace')}\nstderr: {proc.stderr.decode(errors='replace')}")
    return proc


def wine_start(exe, *args, env=None, stdin=None, output=subprocess.PIPE):
    """Starts a Windows program without waiting; returns the Popen. Its
    stdout and stderr go to pipes, or both to the file object output."""
    run_env = dict(os.environ)
    if env:
        run_env.update(env)
    return subprocess.Popen([WINE, exe, *args], stdin=stdin, stdout=output,
                            stderr=subprocess.PIPE if output is subprocess.PIPE else subprocess.STDOUT, env=run_env)


def temp_dir():
    """A TemporaryDirectory under /tmp, reachable from Wine as Z:\\tmp\\..."""
    return tempfile.TemporaryDirectory(prefix="korvane-py-", dir="/tmp")


def clipboard_text():
    """The clipboard's text as a Windows program reads it."""
    with temp_dir() as tmp:
        path = os.path.join(tmp, "clipboard.txt")
        wine(helper("clipboard_probe"), "read", win_path(path))
        with open(path, encoding="utf-8") as f:
            return f.read()


def wine_prefix():
    return os.path.join(BINARY_DIR, "wineprefix")


@contextlib.contextmanager
def separate_prefix(log_pixels=None):
    """A Wine prefix of the block's own, beside the build's (which the tests
    running meanwhile share): the build prefix's registry, with the display
    scale set when log_pixels is given (96 = 100 %, 192 = 200 %), its Windows
    folder (linked, not copied) and a user profile without Korvane's files.
    Yields the prefix and a wine-run.sh for it; no Wine runs there yet. Its
    wineserver stops and the prefix goes when the block ends, or when the
    test is stopped (TERM); a test killed outright leaves it in the folder of
    the session (desktop-session.sh), which goes with the session."""
    base = wine_prefix()
    prefix = tempfile.mkdtemp(prefix="korvane-prefix-", dir=os.environ.get("KORVANE_SESSION_TMP"))
    env = dict(os.environ, WINEPREFIX=prefix)
    try:
        for name in ("system.reg", "userdef.reg", ".update-timestamp"):
            shutil.copy2(os.path.join(base, name), prefix)
        with open(os.path.join(base, "user.reg"), encoding="utf-8", errors="surrogateescape") as f:
            user = f.read()
        if log_pixels is not None:
            value = '"LogPixels"=dword:%08x\n' % log_pixels
            desktop = re.search(r"^\[Control Panel\\\\Desktop\][^\n]*\n(#time=[^\n]*\n)?((?!\[).*\n)*", user, re.M)
            if desktop:
                values = re.sub(r'^"LogPixels"=.*\n', "", desktop.group(0), flags=re.M)
                user = user[:desktop.start()] + values.rstrip("\n") + "\n" + value + "\n" + user[desktop.end():]
            else:
                user += "\n[Control Panel\\\\Desktop]\n" + value
        with open(os.path.join(prefix, "user.reg"), "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write(user)
        os.makedirs(os.path.join(prefix, "dosdevices"))
        os.symlink("../drive_c", os.path.join(prefix, "dosdevices", "c:"))
        os.symlink("/", os.path.join(prefix, "dosdevices", "z:"))
        os.makedirs(os.path.join(prefix, "drive_c"))
        for name in os.listdir(os.path.join(base, "drive_c")):
            source = os.path.join(base, "drive_c", name)
            if name == "users":
                shutil.copytree(source, os.path.join(prefix, "drive_c", name), symlinks=True,
                                ignore=shutil.ignore_patterns(".korvane*"))
            else:
                os.symlink(source, os.path.join(prefix, "drive_c", name))
        runner = os.path.join(prefix, "wine-run.sh")
        with open(WINE) as f:
            script = re.sub(r"^export WINEPREFIX=.*$", lambda _: "export WINEPREFIX=" + shlex.quote(prefix),
                            f.read(), flags=re.M)
        with open(runner, "w") as f:
            f.write(script)
        os.chmod(runner, 0o755)
        yield prefix, runner
    finally:
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=env, capture_output=True)
        shutil.rmtree(prefix, ignore_errors=True)


@contextlib.contextmanager
def display_scale(log_pixels):
    """Runs the Windows programs of the block at another display scale
    (LogPixels 96 = 100 %, 192 = 200 %), in a separate_prefix: Wine reads the
    scale from the registry when a process starts."""
    global WINE
    with separate_prefix(log_pixels) as (prefix, runner):
        # Wine's server and services start with the first program of a new
        # prefix and live on: started here, they hold no test's output pipes.
        # Left behind, the server ends by itself once idle that long.
        subprocess.run(["wineserver", "-p600"], env=dict(os.environ, WINEPREFIX=prefix),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([runner, "cmd", "/c", "exit"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120)
        saved_wine, WINE = WINE, runner
        try:
            yield prefix
        finally:
            WINE = saved_wine


# A test stopped with TERM (the end of an interrupted scripts/test.sh) ends
# through its finally blocks and context managers, as on Ctrl+C.
signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(128 + signum))


def wine_user_profile(prefix=None):
    """The Linux folder of the Windows user profile (C:\\users\\<name>) in a prefix (the test prefix)."""
    users = os.path.join(prefix or wine_prefix(), "drive_c", "users")
    for name in sorted(os.listdir(users)):
        if name not in ("Public",) and os.path.isdir(os.path.join(users, name, "AppData")):
            return os.path.join(users, name)
    raise RuntimeError("no user profile in " + users)


# ---------------------------------------------------------------- the program's profile

PROFILE_FILES = (".korvane.db", ".korvane.db-wal", ".korvane.db-shm", ".korvane.db-journal", ".korvane.db.ini")


def profile_path(name, prefix=None):
    """A file in the Windows user profile folder of a prefix (the test prefix)."""
    return os.path.join(wine_user_profile(prefix), name)


def reset_profile():
    """An empty profile: no history database (nor one moved aside as damaged)
    and no settings file."""
    folder = wine_user_profile()
    moved_aside = [name for name in os.listdir(folder) if name.startswith(".korvane.db.corrupt-")]
    for name in list(PROFILE_FILES) + moved_aside:
        try:
            os.remove(os.path.join(folder, name))
        except FileNotFoundError:
            pass


def write_profile_settings(values):
    """Writes a settings file holding only the given options (others keep
    their defaults)."""
    lines = ["[Settings]"] + [f"{k}={v}" for k, v in values.items()]
    with open(profile_path(".korvane.db.ini"), "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def read_profile_settings(prefix=None):
    """The settings file of a prefix (the test prefix) as a dict of texts, or None when there is none."""
    import configparser
    try:
        with open(profile_path(".korvane.db.ini", prefix), "rb") as f:
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


class PasteTarget:
    """paste_target.exe in front, for ms milliseconds; text() waits for it to
    end and returns what its edit control holds, and then pastes holds how
    many Ctrl+V it received."""

    def __init__(self, ms):
        self.proc = wine_start(helper("paste_target"), f"ms={ms}")
        self.pastes = None
        line = self.proc.stdout.readline().decode()
        assert "ready" in line, line

    def now(self):
        """What its edit control holds at this moment, read from outside while it runs."""
        value = wine(helper("entry_list_probe"), "target-text").stdout.decode().split(" ", 1)[1].strip()
        return "" if value == "-" else bytes.fromhex(value).decode("utf-8")

    def text(self, timeout=60):
        out, _ = self.proc.communicate(timeout=timeout)
        lines = out.decode().splitlines()
        self.pastes = next((int(line[7:]) for line in lines if line.startswith("pastes ")), None)
        for line in lines:
            if line.startswith("text "):
                return bytes.fromhex(line[5:].strip()).decode("utf-8")
        raise AssertionError("paste_target printed no text: " + out.decode())


class RunningProgram:
    """Korvane.exe started from an empty profile (plus the given settings),
    seen through the app_probe helper. Quit it with quit(); a program still
    running when the block ends is stopped. What the program and Wine print
    (a crash's backtrace among it) is shown when the block fails or the
    program ends with an error."""

    def __init__(self, settings=None, reset=True):
        self.settings = settings
        self.reset = reset
        self.proc = None
        self.output = None

    def __enter__(self):
        if self.reset:
            reset_profile()
        if self.settings:
            write_profile_settings(self.settings)
        self.output = tempfile.TemporaryFile(prefix="korvane-output-")
        out = self.start()
        if not out.startswith("window "):
            self.stop()
            raise AssertionError(f"Korvane.exe showed no main window (ended with {self.proc.returncode}): " + out +
                                 self.printed())
        return self

    def start(self):
        """Starts the program; returns app_probe's line on its main window,
        which it gives up on when the program ends."""
        self.proc = wine_start(program(), output=self.output)
        deadline = time.time() + 20
        while True:
            out = self.probe("wait-window", "1000", check=False)
            if out.startswith("window ") or self.proc.poll() is not None or time.time() > deadline:
                return out

    def __exit__(self, exc_type, *exc):
        self.stop()
        code = self.proc.returncode
        if exc_type is not None or code not in (0, None):
            print(f"Korvane.exe ended with {code}" + self.printed(), file=sys.stderr)
        self.output.close()
        return False

    def printed(self):
        """What the program has printed so far, as a paragraph of its own."""
        self.output.seek(0)
        text = self.output.read().decode(errors="replace").strip()
        return "\nKorvane.exe printed:\n" + text if text else "\nKorvane.exe printed nothing"

    def probe(self, *args, check=True):
        return wine(helper("app_probe"), *args, check=check).stdout.decode(errors="replace")

    def state(self):
        """{"visible": "1", "rect": "x y w h", "topmost": ..., "count": ...}"""
        out = self.probe("window")
        return dict(line.split(" ", 1) for line in out.splitlines() if " " in line)

    def post(self, msg, wparam=0, lparam=0):
        return self.probe("post", str(msg), str(wparam), str(lparam))

    def rows(self, control):
        """[(item data, selected, text)] of a list box of the main window (IDS.kIdSidebar...)."""
        found = []
        for line in self.probe("rows", str(control)).splitlines():
            parts = line.split(" ")
            if parts[0] == "row":
                text = "" if parts[4] == "-" else bytes.fromhex(parts[4]).decode("utf-8")
                found.append((int(parts[2]), parts[3] == "1", text))
        return found

    def quit(self, timeout=30):
        """The quit command of the File menu; returns the exit code."""
        self.post(WM_COMMAND, IDS.kCmdClose, 0)
        return self.wait(timeout)

    def wait(self, timeout=30):
        return self.proc.wait(timeout=timeout)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.post(WM_COMMAND, IDS.kCmdClose, 0)
                self.proc.wait(timeout=10)
            except Exception:
                self.proc.kill()
                self.proc.wait()
