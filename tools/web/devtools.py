"""Headless Chromium driven through its DevTools protocol, with the standard library only: the
browser is started with a debugging port, and a websocket of our own carries the commands."""

import base64
import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time
import urllib.request


class DevToolsError(RuntimeError):
    pass


class WebSocket:
    """A client websocket: text frames out (masked), text frames in (possibly fragmented)."""

    def __init__(self, url, timeout=30):
        assert url.startswith("ws://"), url
        hostport, _, path = url[5:].partition("/")
        host, _, port = hostport.partition(":")
        self.sock = socket.create_connection((host, int(port)), timeout=timeout)
        key = base64.b64encode(os.urandom(16)).decode()
        request = (f"GET /{path} HTTP/1.1\r\nHost: {hostport}\r\nUpgrade: websocket\r\n"
                   f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                   "Sec-WebSocket-Version: 13\r\n\r\n")
        self.sock.sendall(request.encode())
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.sock.recv(1)
            if not chunk:
                raise DevToolsError("the browser closed the websocket while opening it")
            head += chunk
        if b" 101 " not in head.split(b"\r\n", 1)[0]:
            raise DevToolsError("the browser refused the websocket: " + head.decode(errors="replace"))

    def send(self, text):
        payload = text.encode()
        header = bytes([0x81])
        n = len(payload)
        if n < 126:
            header += bytes([0x80 | n])
        elif n < 1 << 16:
            header += bytes([0x80 | 126]) + struct.pack(">H", n)
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", n)
        mask = os.urandom(4)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.sock.sendall(header + mask + masked)

    def _exactly(self, n):
        data = bytearray()
        while len(data) < n:
            chunk = self.sock.recv(n - len(data))
            if not chunk:
                raise DevToolsError("the browser closed the websocket")
            data += chunk
        return bytes(data)

    def receive(self):
        message = bytearray()
        while True:
            b0, b1 = self._exactly(2)
            n = b1 & 0x7F
            if n == 126:
                n = struct.unpack(">H", self._exactly(2))[0]
            elif n == 127:
                n = struct.unpack(">Q", self._exactly(8))[0]
            mask = self._exactly(4) if b1 & 0x80 else None
            payload = self._exactly(n)
            if mask:
                payload = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
            opcode = b0 & 0x0F
            if opcode == 0x8:
                raise DevToolsError("the browser closed the websocket")
            if opcode == 0x9:  # ping: answer, keep reading
                continue
            if opcode in (0x0, 0x1, 0x2):
                message += payload
                if b0 & 0x80:
                    return message.decode()

    def close(self):
        try:
            self.sock.close()
        except OSError:
            pass


class Browser:
    """One headless Chromium with a profile folder (kept between starts when given), and its
    first page."""

    def __init__(self, profile=None, width=1000, height=800):
        exe = shutil.which("chromium") or shutil.which("chromium-browser") or shutil.which("google-chrome")
        if not exe:
            raise DevToolsError("no Chromium: run scripts/install-deps web")
        self.own_profile = profile is None
        self.profile = profile or tempfile.mkdtemp(prefix="duskwend-chromium-")
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        if os.path.exists(port_file):
            os.remove(port_file)
        args = [exe, "--headless=new", "--remote-debugging-port=0", "--remote-debugging-address=127.0.0.1",
                f"--user-data-dir={self.profile}", f"--window-size={width},{height}",
                "--force-device-scale-factor=1", "--no-first-run", "--no-default-browser-check",
                "--disable-gpu", "--disable-extensions", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--mute-audio",
                "--disable-features=Translate,MediaRouter", "--password-store=basic",
                "about:blank"]
        if os.geteuid() == 0:
            args.insert(1, "--no-sandbox")  # Chromium refuses to run as root with its sandbox
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(args, stdout=self.log, stderr=self.log, start_new_session=True)
        deadline = time.monotonic() + 30
        while not os.path.exists(port_file) or len(open(port_file).read().split()) < 2:
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.log.seek(0)
                self.quit()
                raise DevToolsError("Chromium did not start: " + self.log.read().decode(errors="replace")[-2000:])
            time.sleep(0.05)
        self.port, self.browser_path = open(port_file).read().split()[:2]
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{self.port}/json/list", timeout=10))
        page = next(t for t in targets if t["type"] == "page")
        self.ws = WebSocket(page["webSocketDebuggerUrl"])
        self.next_id = 0
        self.events = []

    def command(self, method, **params):
        self.next_id += 1
        ident = self.next_id
        self.ws.send(json.dumps({"id": ident, "method": method, "params": params}))
        while True:
            reply = json.loads(self.ws.receive())
            if reply.get("id") == ident:
                if "error" in reply:
                    raise DevToolsError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def evaluate(self, expression):
        result = self.command("Runtime.evaluate", expression=expression, returnByValue=True,
                              awaitPromise=True)
        if "exceptionDetails" in result:
            raise DevToolsError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=60, what=None):
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise DevToolsError(f"waited {timeout} s for {what or expression}")
            time.sleep(0.02)

    def navigate(self, url):
        self.command("Page.enable")
        self.command("Page.navigate", url=url)

    # The DevTools key names of the keys the tests type: key, code, Windows key code, text.
    KEYS = {
        "F1": ("F1", "F1", 112, ""), "F2": ("F2", "F2", 113, ""), "F5": ("F5", "F5", 116, ""),
        "F6": ("F6", "F6", 117, ""), "Tab": ("Tab", "Tab", 9, ""),
        "Enter": ("Enter", "Enter", 13, "\r"), "Backspace": ("Backspace", "Backspace", 8, ""),
        "ArrowUp": ("ArrowUp", "ArrowUp", 38, ""), "ArrowDown": ("ArrowDown", "ArrowDown", 40, ""),
        "ArrowLeft": ("ArrowLeft", "ArrowLeft", 37, ""), "ArrowRight": ("ArrowRight", "ArrowRight", 39, ""),
        "Space": (" ", "Space", 32, " "),
    }

    def press(self, name):
        """Types one key as a person would: down, then up. A letter or digit is its own name."""
        if name in self.KEYS:
            key, code, vk, text = self.KEYS[name]
        elif len(name) == 1 and name.isalnum():
            key, text, vk = name, name, ord(name.upper())
            code = ("Digit" if name.isdigit() else "Key") + name.upper()
        else:
            raise ValueError(f"no such key: {name}")
        down = {"type": "keyDown" if text else "rawKeyDown", "key": key, "code": code,
                "windowsVirtualKeyCode": vk, "nativeVirtualKeyCode": vk}
        if text:
            down["text"] = text
        self.command("Input.dispatchKeyEvent", **down)
        self.command("Input.dispatchKeyEvent", type="keyUp", key=key, code=code,
                     windowsVirtualKeyCode=vk, nativeVirtualKeyCode=vk)

    def screenshot(self, selector):
        """The element's pixels as PNG bytes, at one device pixel per CSS pixel."""
        box = self.evaluate(f"(() => {{ const r = document.querySelector({json.dumps(selector)})"
                            ".getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; })()")
        shot = self.command("Page.captureScreenshot", format="png",
                            clip={"x": box[0], "y": box[1], "width": box[2], "height": box[3], "scale": 1})
        return base64.b64decode(shot["data"])

    def page_screenshot(self):
        return base64.b64decode(self.command("Page.captureScreenshot", format="png")["data"])

    def quit(self):
        # Closed as a person closes it, so that the profile (the page's storage) is written.
        if getattr(self, "ws", None):
            self.ws.close()
            self.ws = None
            try:
                browser = WebSocket(f"ws://127.0.0.1:{self.port}{self.browser_path}")
                browser.send(json.dumps({"id": 1, "method": "Browser.close"}))
                browser.close()
            except (OSError, DevToolsError):
                pass
        if self.process.poll() is None:
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        if self.own_profile:
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.quit()
