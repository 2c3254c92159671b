#!/usr/bin/env python3
"""The explored gallery as people meet it, driven from outside the renderer.

page RENDERER SCREENSHOT: renders a small gallery, opens index.html from the
disk in headless Chromium (DevTools protocol over a pipe, so no network) and
checks that every picture loads, no console error appears, sorting by
fractal dimension follows gallery.json, a click shows the viewer and a
phone-sized window needs no sideways scrolling; saves a screenshot.

interrupt RENDERER: Ctrl-C in the middle of a long gallery leaves complete
entries, a page that lists exactly them and no temporary file.
"""
import base64
import fcntl
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def explore(renderer, folder, entries, extra=()):
    return [renderer, "--explore", str(entries), "--seed", "11", "--size", "200", "--quiet", "-o", folder, *extra]


class Browser:
    """Chromium with its DevTools protocol on descriptors 3 (commands) and 4 (replies)."""

    def __init__(self, profile):
        chromium = shutil.which("chromium") or fail("chromium is not installed")
        to_browser, self.commands = os.pipe()
        self.replies, from_browser = os.pipe()
        high = [fcntl.fcntl(fd, fcntl.F_DUPFD, 100) for fd in (to_browser, from_browser)]

        def wire():
            os.dup2(high[0], 3)
            os.dup2(high[1], 4)

        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--remote-debugging-pipe",
             "--no-first-run", "--user-data-dir=" + profile, "about:blank"],
            preexec_fn=wire, pass_fds=(3, 4), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for fd in (to_browser, from_browser, *high):
            os.close(fd)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        self.session = None
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]

    def message(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.replies, 1 << 16)
            if not chunk:
                fail("chromium closed its DevTools pipe")
            self.buffer += chunk
        text, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(text)

    def call(self, method, params=None):
        self.next_id += 1
        request = {"id": self.next_id, "method": method, "params": params or {}}
        if self.session:
            request["sessionId"] = self.session
        os.write(self.commands, json.dumps(request).encode() + b"\0")
        while True:
            reply = self.message()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    fail(method + ": " + reply["error"]["message"])
                return reply["result"]
            self.events.append(reply)

    def wait_for(self, method):
        while not any(e.get("method") == method for e in self.events):
            self.events.append(self.message())

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            fail("script error: " + json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def window(self, width, height, phone):
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": phone})

    def errors(self):
        found = []
        for event in self.events:
            method, params = event.get("method"), event.get("params", {})
            if method == "Runtime.exceptionThrown":
                found.append(params["exceptionDetails"].get("text", "exception"))
            elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
                found.append(json.dumps(params.get("args")))
            elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
                found.append(params["entry"].get("text", ""))
        return found

    def close(self):
        try:
            self.session = None
            self.call("Browser.close")
        finally:
            self.process.wait(timeout=20)


def check_page(renderer, screenshot):
    with tempfile.TemporaryDirectory() as scratch:
        folder = os.path.join(scratch, "gallery")
        if subprocess.run(explore(renderer, folder, 12, ["--iterations", "300k"])).returncode != 0:
            fail("the renderer did not make the gallery")
        with open(os.path.join(folder, "gallery.json")) as data:
            records = json.load(data)["entries"]
        browser = Browser(os.path.join(scratch, "profile"))
        try:
            for domain in ("Page", "Runtime", "Log"):
                browser.call(domain + ".enable")
            browser.window(1280, 860, False)
            browser.call("Page.navigate", {"url": "file://" + os.path.join(folder, "index.html")})
            browser.wait_for("Page.loadEventFired")

            pictures = browser.evaluate(
                "[...document.querySelectorAll('#grid img')].map(i => [i.getAttribute('src'), "
                "i.complete && i.naturalWidth > 0])")
            if [src for src, _ in pictures] != [r["png"] for r in records]:
                fail("the grid does not show the entries in index order: " + str(pictures))
            broken = [src for src, loaded in pictures if not loaded]
            if broken:
                fail("pictures that did not load: " + ", ".join(broken))
            shot = browser.call("Page.captureScreenshot", {"format": "png"})
            with open(screenshot, "wb") as out:
                out.write(base64.b64decode(shot["data"]))

            shown = browser.evaluate(
                "document.querySelector('[data-key=dimension]').click();"
                "[...document.querySelectorAll('#grid .entry')].map(e => e.dataset.name)")
            by_name = {r["png"][:-4]: r["fractal_dimension"] for r in records}
            dimensions = [by_name[name] for name in shown]
            if sorted(shown) != sorted(by_name) or dimensions != sorted(by_name.values(), reverse=True):
                fail("sorting by fractal dimension gave " + str(list(zip(shown, dimensions))))

            viewer = browser.evaluate(
                "document.querySelector('#grid .entry a').click();"
                "new Promise(r => setTimeout(r, 50)).then(() => {"
                "const v = document.querySelector('.viewer:target');"
                "return v && getComputedStyle(v).display + ' ' + v.querySelector('.dv3, a[download]').getAttribute('href')})")
            if viewer != "flex " + shown[0] + ".dv3":
                fail("a click on the first picture should show its viewer, got " + str(viewer))

            browser.window(390, 844, True)
            overflow = browser.evaluate("document.documentElement.scrollWidth - innerWidth")
            if overflow > 0:
                fail("a phone-sized window scrolls sideways by %d pixels" % overflow)
            errors = browser.errors()
            if errors:
                fail("console errors: " + "; ".join(errors))
        finally:
            browser.close()
    print("page: %d pictures load, sorting and the viewer work, no console error" % len(records))


def check_interrupt(renderer):
    with tempfile.TemporaryDirectory() as scratch:
        folder = os.path.join(scratch, "gallery")
        run = subprocess.Popen(explore(renderer, folder, 400, ["--iterations", "400k"]), stderr=subprocess.PIPE)
        deadline = time.monotonic() + 60
        while not os.path.exists(os.path.join(folder, "003.dv3")):
            if time.monotonic() > deadline or run.poll() is not None:
                fail("the gallery did not start")
            time.sleep(0.02)
        run.send_signal(signal.SIGINT)
        _, err = run.communicate(timeout=60)
        if run.returncode != 130:
            fail("an interrupted gallery should end with status 130, not %d" % run.returncode)
        with open(os.path.join(folder, "gallery.json")) as data:
            listed = [r["png"][:-4] for r in json.load(data)["entries"]]
        names = sorted(os.listdir(folder))
        expected = sorted([n + ".png" for n in listed] + [n + ".dv3" for n in listed] +
                          ["gallery.json", "index.html"])
        if names != expected or len(listed) >= 400 or len(listed) < 3:
            fail("after Ctrl-C the folder holds %s but the page lists %s" % (names, listed))
        for name in listed:
            with open(os.path.join(folder, name + ".png"), "rb") as picture:
                if not picture.read().endswith(b"IEND\xaeB`\x82"):
                    fail(name + ".png is not complete")
            if os.path.getsize(os.path.join(folder, name + ".dv3")) != 130:
                fail(name + ".dv3 is not complete")
        if b"interrupted" not in err:
            fail("the renderer should say that it was interrupted: " + err.decode())
    print("interrupt: %d complete entries listed, nothing partial" % len(listed))


if __name__ == "__main__":
    signal.alarm(240)
    if len(sys.argv) == 4 and sys.argv[1] == "page":
        check_page(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] == "interrupt":
        check_interrupt(sys.argv[2])
    else:
        fail("usage: explore_page_test.py page RENDERER SCREENSHOT | interrupt RENDERER")
