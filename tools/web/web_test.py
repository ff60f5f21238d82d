#!/usr/bin/env python3
"""The game in headless Chromium against the native headless runner: the same key scripts must
leave the same texts, the same state and (within a few levels per channel) the same picture; a
save must outlive the browser; the keys a browser keeps for itself must reach the game.

    web_test.py --site build-web/site --native build-web/native/duskwend --data build-web/native/Data
"""

import argparse
import functools
import http.server
import json
import os
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from devtools import Browser  # noqa: E402

# A party of two from the roster, at the guild hall.
PARTY = "ataxtatxx"
# The seed and the key script of each kind of screen, typed with no message pause.
SESSIONS = {
    "guild hall": (1, "cbbbaddd++ad+++aWrenn{enter}x"),
    "city": (1, PARTY + "e{up}{up}"),
    "fight": (1, PARTY + "e{up}{up}{up}{up}xaaab"),
    "sheet": (1, PARTY + "1"),
    "shop": (2, PARTY + "e{up}{up}{up}{up}{left}{up}xab"),
}
# Saved in one browser, loaded after it was closed and started again on the same profile.
SAVE_KEYS = PARTY + "s"
LOAD_KEYS = "lx"
# The save folder as the download button gives it, in base64.
DOWNLOAD = """Module.duskwendPage.saveArchive().arrayBuffer().then(buffer => {
    let text = ''; for (const b of new Uint8Array(buffer)) text += String.fromCharCode(b);
    return btoa(text); })"""
# Keys a browser would take for itself, typed through the browser's own input; the setup
# script first, then each key as a person types it, and the key script that types the same.
KEYS_SETUP = PARTY + "e"
BROWSER_KEYS = ["F1", "Space", "Tab", "Space", "F2", "ArrowUp", "ArrowDown", "F2", "ArrowLeft",
                "ArrowRight", "F5", "F6", "x"]
BROWSER_KEYS_SCRIPT = "{f1} {tab} {f2}{up}{down}{f2}{left}{right}{f5}{f6}x"

# Chromium's compositing may move a channel by a level or two; text drawn differently moves
# it by far more.
PIXEL_TOLERANCE = 4


def read_png(data):
    """Width, height and rows of RGB triples of an 8-bit RGB or RGBA PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat, width = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), f"PNG of depth {depth}, colour type {colour}"
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            up_left = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                row[i] = (row[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else up_left)) & 0xFF
        rows.append(bytes(b for i, b in enumerate(row) if i % channels < 3))
        previous = row
    return width, height, rows


def picture_difference(a, b, skip=(0, 0, 0, 0)):
    """The largest difference of one channel between two pictures, outside the rectangle
    `skip` (x, y, width, height); None when their sizes differ."""
    (wa, ha, ra), (wb, hb, rb) = read_png(a), read_png(b)
    if (wa, ha) != (wb, hb):
        return None
    sx, sy, sw, sh = skip
    return max(abs(row_a[i] - row_b[i])
               for y, (row_a, row_b) in enumerate(zip(ra, rb))
               for i in range(len(row_a))
               if not (sx <= i // 3 < sx + sw and sy <= y < sy + sh))


def canvas_difference(browser, native_shot):
    """The canvas against the native screenshot, at one canvas pixel per frame pixel. While the
    game waits for any key the page blinks a mark that screenshots never carry: the page names
    where, and that rectangle is left out."""
    skip = browser.evaluate("window.duskwendMarkArea || [0, 0, 0, 0]")
    return picture_difference(native_shot, browser.screenshot("#canvas"), tuple(skip))


class Site:
    """The built page served on 127.0.0.1 while the tests run."""

    def __init__(self, folder):
        handler = functools.partial(Quiet, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()
        self.base = f"http://127.0.0.1:{self.server.server_port}/"

    def url(self, keys, seed=1):
        query = {"seed": str(seed), "delay": "0", "scale": "1", "keys": keys}
        return self.base + "index.html?" + urllib.parse.urlencode(query)

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


class Native:
    def __init__(self, exe, data):
        self.exe, self.data = exe, data

    def run(self, keys, save_dir, screenshot=False, seed=1):
        """The text dump, the state dump and the screenshot (PNG bytes) after the keys."""
        with tempfile.TemporaryDirectory() as out:
            args = [self.exe, "--headless", "--data-dir", self.data, "--save-dir", save_dir,
                    "--seed", str(seed), "--message-delay", "0", "--keys", keys,
                    "--dump-text", f"{out}/text", "--dump-state", f"{out}/state"]
            if screenshot:
                args += ["--screenshot", f"{out}/shot.png"]
            subprocess.run(args, check=True)
            read = lambda name: open(f"{out}/{name}", "rb").read()  # noqa: E731
            return read("text").decode(), read("state").decode(), read("shot.png") if screenshot else None


def open_game(browser, url):
    browser.navigate(url)
    browser.wait_for("window.duskwendReady === true", what="the page to type its key script")
    stopped = browser.evaluate("window.duskwendStopped || ''")
    if stopped:
        raise AssertionError(f"the page stopped: {stopped}")


def dumps(browser):
    return browser.evaluate("duskwendDump('text')"), browser.evaluate("duskwendDump('state')")


class Checks:
    def __init__(self):
        self.passed, self.failed = 0, 0

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
            print(f"ok    {what}")
        else:
            self.failed += 1
            print(f"FAIL  {what}" + (f"\n{detail}" if detail else ""))


def first_difference(a, b):
    la, lb = a.splitlines(), b.splitlines()
    for i, (x, y) in enumerate(zip(la, lb)):
        if x != y:
            return f"  line {i + 1}\n  native:  {x}\n  browser: {y}"
    return f"  native has {len(la)} lines, the browser {len(lb)}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--site", required=True)
    parser.add_argument("--native", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--page-screenshot", help="write a picture of the whole page here")
    parser.add_argument("--figures", help="write the measured figures here as JSON")
    args = parser.parse_args()

    site = Site(os.path.abspath(args.site))
    native = Native(os.path.abspath(args.native), os.path.abspath(args.data))
    checks = Checks()
    figures = {"sessions": {}}
    try:
        for name, (seed, keys) in SESSIONS.items():
            with tempfile.TemporaryDirectory() as saves:
                text, state, shot = native.run(keys, saves, screenshot=True, seed=seed)
            with Browser() as browser:
                open_game(browser, site.url(keys, seed))
                web_text, web_state = dumps(browser)
                checks.check(web_text == text, f"{name}: the text dump equals the native one",
                             first_difference(text, web_text))
                checks.check(web_state == state, f"{name}: the state dump equals the native one",
                             first_difference(state, web_state))
                diff = canvas_difference(browser, shot)
                checks.check(diff is not None and diff <= PIXEL_TOLERANCE,
                             f"{name}: the canvas matches the native screenshot (largest difference {diff})")
                figures["sessions"][name] = {
                    "first_frame_ms": browser.evaluate("window.duskwendFirstFrameMs"),
                    "script_done_ms": browser.evaluate("window.duskwendScriptDoneMs"),
                    "keys": browser.evaluate("window.duskwendKeysHandled"),
                    "largest_pixel_difference": diff}

        # A save outlives the browser: saved, the browser closed, started again on its profile.
        with tempfile.TemporaryDirectory() as saves, tempfile.TemporaryDirectory() as profile:
            native.run(SAVE_KEYS, saves)
            text, state, _ = native.run(LOAD_KEYS, saves)
            with Browser(profile) as browser:
                open_game(browser, site.url(SAVE_KEYS))
                archive = browser.evaluate(DOWNLOAD)
            with Browser(profile) as browser:
                open_game(browser, site.url(LOAD_KEYS))
                web_text, web_state = dumps(browser)
            checks.check(web_text == text and web_state == state,
                         "a save made before the browser closed loads after it starts again",
                         first_difference(text + state, web_text + web_state))
            # The downloaded file, loaded in another browser, is the same saved game.
            with Browser() as browser:
                open_game(browser, site.url(LOAD_KEYS))
                browser.evaluate("window.duskwendReady = false; Module.duskwendPage.loadArchive("
                                 f"Uint8Array.from(atob('{archive}'), c => c.charCodeAt(0)), "
                                 "() => location.reload()); true")
                browser.wait_for("window.duskwendReady === true", what="the page to start on the loaded save")
                web_text, web_state = dumps(browser)
            checks.check(web_text == text and web_state == state,
                         "the downloaded save folder, loaded from its file, is the same saved game",
                         first_difference(text + state, web_text + web_state))

        # The keys a browser keeps for itself reach the game, typed through the browser.
        with tempfile.TemporaryDirectory() as saves:
            text, state, _ = native.run(KEYS_SETUP + BROWSER_KEYS_SCRIPT, saves)
        with Browser() as browser:
            open_game(browser, site.url(KEYS_SETUP))
            browser.evaluate("window.seenKeys = []; document.addEventListener('keydown', "
                             "e => seenKeys.push([e.code, e.defaultPrevented]), true); true")
            start = browser.evaluate("window.duskwendKeysHandled")
            began = time.monotonic()
            for i, key in enumerate(BROWSER_KEYS):
                browser.press(key)
                browser.wait_for(f"window.duskwendKeysHandled >= {start + i + 1}", timeout=20,
                                 what=f"the game to take {key}")
            figures["typed_key_round_trip_ms"] = (time.monotonic() - began) * 1000 / len(BROWSER_KEYS)
            seen = browser.evaluate("seenKeys")
            kept = [code for code, prevented in seen if not prevented]
            checks.check(len(seen) == len(BROWSER_KEYS) and not kept,
                         "every key the game takes is kept from the browser", f"  not kept: {kept}")
            web_text, web_state = dumps(browser)
            checks.check(web_text == text and web_state == state,
                         "F1, F2, F5, F6, Tab and the arrows typed in the browser reach the game",
                         first_difference(text + state, web_text + web_state))
            if args.page_screenshot:
                browser.evaluate("duskwendKeysHandled")
                open(args.page_screenshot, "wb").write(browser.page_screenshot())
    finally:
        site.close()

    if args.figures:
        with open(args.figures, "w") as f:
            json.dump(figures, f, indent=2)
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
