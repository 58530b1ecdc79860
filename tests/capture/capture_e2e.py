"""The road of a copy, end to end: the real Korvane.exe runs in the test
prefix, other programs copy (a helper of ours that owns the clipboard with a
window of its own, and xclip, a real Linux program), and the history database
is read after the program has quit."""

import http.server
import os
import shutil
import socket
import sqlite3
import subprocess
import threading
import time
import unittest

from korvane_harness import WINE, RunningProgram, helper, profile_path, temp_dir, wait_until, win_path, wine

SOURCE = helper("clip_source")
MIB2 = 2 * 1024 * 1024
POLL_WAIT = 1.6  # three ticks of the program's 500 ms timer


def hexs(text):
    return text.encode("utf-8").hex()


def copy(text=None, rtf=None, html=None, url=None, dib=None, seed=0, exclude=False, visible=False, stay=1500,
         hotkey=None, post=()):
    """Puts the content on the clipboard from clip_source.exe, which stays
    alive (so its process can be named) while the program polls; hotkey (an
    id, or a list of them, pressed one right after another) is pressed the
    moment the content is there, and then each (window class, message,
    wparam) of post is posted."""
    args = []
    if text is not None:
        args.append("text=" + hexs(text))
    if rtf is not None:
        args.append("rtf=" + hexs(rtf))
    if html is not None:
        args.append("html=" + hexs(html))
        if url is not None:
            args.append("url=" + hexs(url))
    if dib is not None:
        args += [f"dib={dib}", f"seed={seed}"]
    if exclude:
        args.append("exclude")
    if visible:
        args.append("visible")
    if hotkey is not None:
        args.append("hotkey=" + ",".join(str(h) for h in (hotkey if isinstance(hotkey, list) else [hotkey])))
    args += ["post=" + ",".join(str(part) for part in message) for message in post]
    args.append(f"stay={stay}")
    out = wine(SOURCE, *args).stdout.decode()
    assert "ready" in out, out


def linux_copy(text):
    """Copies in xclip, a Linux program, which owns the clipboard until the
    program has had time to read it."""
    xclip = subprocess.Popen(["xclip", "-selection", "clipboard", "-quiet"], stdin=subprocess.PIPE,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        xclip.stdin.write(text.encode())
        xclip.stdin.close()
        time.sleep(POLL_WAIT + 1)
    finally:
        xclip.terminate()
        xclip.wait()


def history_rows():
    """Live history rows after the program has quit, oldest first."""
    con = sqlite3.connect(profile_path(".korvane.db"))
    con.row_factory = sqlite3.Row
    try:
        return [dict(r) for r in con.execute(
            "SELECT id, text, rtf, html, length(image) AS image_len, source_app, source_title, source_url, "
            "is_image, is_browser_page, link_title, use_count FROM history WHERE deleted_at IS NULL ORDER BY id")]
    finally:
        con.close()


def texts(rows):
    return [r["text"] for r in rows]


class CaptureTest(unittest.TestCase):
    def test_copies_become_entries_with_their_source(self):
        # What is on the clipboard when the program starts is never recorded.
        copy(text="already there before start", stay=200)
        page = "https://пример.рф/статья?x=1"
        with RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            copy(text="hello from the helper", rtf="{\\rtf1 hello}", html="<b>hello</b>", url=page)
            time.sleep(POLL_WAIT)
            copy(text="hello from the helper", rtf="{\\rtf1 hello}", html="<b>hello</b>", url=page)
            copy(text="second copy")
            linux_copy("copied by a linux program")
            self.assertEqual(app.quit(), 0)
        rows = history_rows()
        self.assertEqual(texts(rows), ["hello from the helper", "second copy", "copied by a linux program"])
        first = rows[0]
        self.assertEqual(first["source_app"], "clip_source.exe")
        self.assertEqual(first["source_url"], page)
        self.assertEqual(first["is_browser_page"], 0)
        self.assertEqual(first["is_image"], 0)
        self.assertEqual(bytes(first["rtf"]).rstrip(b"\0"), b"{\\rtf1 hello}")
        self.assertIn(b"SourceURL:" + page.encode(), bytes(first["html"]))
        self.assertEqual(rows[1]["source_app"], "clip_source.exe")
        self.assertEqual(rows[1]["source_url"], "")

    def test_private_content_is_never_stored(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            copy(text="password from a manager", exclude=True)
            copy(text="4111 1111 1111 1111")
            copy(text="4111-1111-1111-1111")
            copy(text="4012 8888 8888 1881\r\n")  # as copied from a table row
            # An oversized picture is dropped; the text that came with it is
            # then judged on its own, and stays private.
            copy(text="secret beside a big picture", dib=MIB2 + 1, seed=1, exclude=True)
            copy(text="5555 5555 5555 4444", dib=MIB2 + 1, seed=2)
            # A picture with the exclusion format is still recorded.
            copy(text="picture with the marker", dib=64 * 1024, seed=3, exclude=True)
            copy(text="after the private ones")
            self.assertEqual(app.quit(), 0)
        rows = history_rows()
        self.assertEqual(texts(rows), ["picture with the marker", "after the private ones"])
        self.assertEqual(rows[0]["is_image"], 1)
        self.assertEqual(rows[0]["image_len"], 64 * 1024)

    def test_picture_size_limit(self):
        with RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            copy(text="exactly two mebibytes", dib=MIB2, seed=4)
            copy(text="one byte too many", dib=MIB2 + 1, seed=5)
            copy(dib=MIB2 + 1, seed=6)  # nothing left to store
            copy(dib=4096 + 40, seed=7)
            copy(text="some text between")
            copy(dib=4096 + 40, seed=7)  # the same picture again
            self.assertEqual(app.quit(), 0)
        rows = history_rows()
        self.assertEqual(texts(rows), ["exactly two mebibytes", "one byte too many", "", "some text between"])
        self.assertEqual([r["is_image"] for r in rows], [1, 0, 1, 0])
        self.assertEqual([r["image_len"] for r in rows], [MIB2, None, 4096 + 40, None])

    def test_a_copy_in_the_first_second_beside_a_huge_text(self):
        # 20 MB of text on the clipboard when the program starts, held by a
        # program of the session; then a Linux program copies. Wine hands that
        # copy on only if no Windows program has the clipboard open at that
        # moment, so the program must not read the huge text again.
        with temp_dir() as tmp:
            huge = os.path.join(tmp, "huge.txt")
            with open(huge, "w", encoding="utf-8") as f:
                f.write("huge " * (4 * 1024 * 1024))
            owner = subprocess.Popen([WINE, helper("clipboard_probe"), "write", win_path(huge), "60"],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            try:
                self.assertEqual(owner.stdout.readline().strip(), b"ready")
                with RunningProgram({"start_in_tray": "true"}) as app:
                    time.sleep(0.6)  # about when the first tick reads
                    linux_copy("copied in the first second")
                    self.assertEqual(app.quit(), 0)
            finally:
                owner.kill()
                owner.wait()
                owner.stdout.close()
        self.assertEqual(texts(history_rows()), ["copied in the first second"])

    def test_application_filter(self):
        with RunningProgram({"start_in_tray": "true", "app_filter_mode": "blacklist",
                             "app_filter_list": " other.exe ; CLIP_SOURCE.EXE "}) as app:
            time.sleep(POLL_WAIT)
            copy(text="from a listed program", visible=True)
            linux_copy("from a program not on the list")
            self.assertEqual(app.quit(), 0)
        self.assertEqual(texts(history_rows()), ["from a program not on the list"])
        with RunningProgram({"start_in_tray": "true", "app_filter_mode": "whitelist",
                             "app_filter_list": "clip_source.exe"}) as app:
            time.sleep(POLL_WAIT)
            copy(text="from the one allowed program", visible=True)
            self.assertEqual(app.quit(), 0)
        self.assertEqual(texts(history_rows()), ["from the one allowed program"])


class BrowserPageTest(unittest.TestCase):
    """A copy in a browser records the page's address from the address bar
    and its name, read through accessibility from the window in front."""

    def browser_copy(self, folder, address, name, text, url):
        chrome = os.path.join(folder, "chrome.exe")
        shutil.copy(helper("fake_browser"), chrome)
        out = wine(chrome, "address=" + hexs(address), "name=" + hexs(name), "text=" + hexs(text),
                   "url=" + hexs(url)).stdout.decode()
        self.assertIn("ready", out)

    def test_page_address_and_title(self):
        with temp_dir() as folder, RunningProgram({"start_in_tray": "true"}) as app:
            time.sleep(POLL_WAIT)
            self.browser_copy(folder, "example.org/docs/page", "Example Docs", "words from a page",
                              "https://from-html.example/")
            # An empty tab: no address from the address bar, so the one the
            # browser put into "HTML Format" is taken.
            self.browser_copy(folder, "about:blank", "", "words from a blank tab", "https://from-html.example/")
            self.assertEqual(app.quit(), 0)
        rows = history_rows()
        self.assertEqual(texts(rows), ["words from a page", "words from a blank tab"])
        self.assertEqual([r["source_app"] for r in rows], ["chrome.exe", "chrome.exe"])
        self.assertEqual([r["is_browser_page"] for r in rows], [1, 1])
        self.assertEqual(rows[0]["source_url"], "https://example.org/docs/page")
        self.assertEqual(rows[0]["source_title"], "Example Docs")
        self.assertEqual(rows[1]["source_url"], "https://from-html.example/")
        self.assertEqual(rows[1]["source_title"], "Fake Page - Google Chrome")


class Pages(http.server.BaseHTTPRequestHandler):
    asked, answered = [], []  # paths, as requests come and as their fetches end

    def log_message(self, *args):
        pass

    def do_GET(self):
        Pages.asked.append(self.path)
        try:
            self.answer()
            # The fetch is over when the program closes its end, having read
            # what it wanted.
            self.connection.settimeout(30)
            self.connection.recv(1)
        except OSError:
            pass
        Pages.answered.append(self.path)

    def answer(self):
        if self.path == "/page":
            body = b'<html><head><meta property="og:title" content="A &quot;served&quot; page"></head></html>'
            status = 200
        elif self.path == "/missing":
            body, status = b"<html><head><title>404 Not Found</title></head></html>", 404
        elif self.path == "/huge":
            body = b"<html><body>" + b"x" * (600 * 1024) + b"<title>Beyond the cap</title>"
            body += b"y" * (2 * 1024 * 1024 - len(body))
            status = 200
        else:
            body, status = b"", 404
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass


class LinkTitleTest(unittest.TestCase):
    def test_copied_addresses_get_their_titles(self):
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Pages)
        server.daemon_threads = True
        threading.Thread(target=server.serve_forever, daemon=True).start()
        base = f"http://127.0.0.1:{server.server_address[1]}"
        closed = socket.socket()
        closed.bind(("127.0.0.1", 0))
        closed_url = f"http://127.0.0.1:{closed.getsockname()[1]}/x"
        closed.close()
        try:
            with RunningProgram({"start_in_tray": "true"}) as app:
                time.sleep(POLL_WAIT)
                # The refused one first: its fetch ends unseen, at once.
                for url in (closed_url, base + "/missing", base + "/huge", base + "/page"):
                    copy(text=url, stay=800)
                # An empty title is also what a fetch still running leaves:
                # every page must have been fetched to the end.
                self.assertTrue(wait_until(lambda: len(Pages.answered) == len(Pages.asked) and
                                           {"/page", "/missing", "/huge"} <= set(Pages.answered), timeout=60),
                                f"asked {Pages.asked}, answered {Pages.answered}")
                self.assertEqual(app.quit(), 0)
        finally:
            server.shutdown()
            server.server_close()
        titles = {r["text"]: r["link_title"] for r in history_rows()}
        self.assertEqual(titles, {base + "/page": 'A "served" page', base + "/missing": "", closed_url: "",
                                  base + "/huge": ""})


if __name__ == "__main__":
    unittest.main()
