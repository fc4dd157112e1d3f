#!/usr/bin/env python3
"""Walks the pages of `trivu-host run --trace --html` tick by tick in ONE page.

check_pages.sh opens every tick in a fresh page, which draws it from nothing;
a user steps instead (the arrow keys, a link's #frame=K&tick=N), and the page
then moves the elements it already has. This drives headless Chromium over the
DevTools protocol (--remote-debugging-pipe: fds 3 and 4, NUL-terminated JSON),
presses the step keys and follows fragments, and after every step checks the
DOM against the trace: each instance where its dump puts it and no other, its
trail through its last positions and cut where it jumped, the orbit centres,
the wall marks of the last ticks with their age, and exactly the tick's lines
in the panel. The page is only read, never changed.

    check_page_steps.py HOST BROWSER CASES_DIR WORK_DIR
"""
import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

TRAIL = 12          # ticks of trail the page draws behind an instance
FADE = 4            # ticks a mark stays
JUMP = 16           # a step longer than this is a jump in these scenarios
TIMEOUT = 120.0     # seconds a condition may take on a loaded machine

# scenario | where the walk starts | its steps: "right", "left" (the keys) or
# a fragment to follow (a hashchange), with a repeat count after "*".
WALKS = [
    # The horizontal ball wraps at tick 14 and meets the right wall: the trail
    # is cut there and the mark ages over the next ticks.
    ("wrap", "#tick=10", ["right*8", "left*3"]),
    # Bounces, walls on both sides, then a jump back across the frame.
    ("flip", "#frame=0&tick=2", ["right*16", "#frame=0&tick=40", "right*3"]),
    # The centre follows the sun, moves to the moon at tick 40 (the stars
    # jump), freezes when the moon is destroyed at 70.
    ("orbit", "#frame=0&tick=37", ["right*5", "#frame=0&tick=68", "right*3"]),
    # A rejected group and an instance destroyed at tick 20, opened there,
    # stepped back before it and on past it; at tick 21 a new one ends the
    # layers, as many elements as before with another last one.
    ("reject", "#frame=0&tick=20", ["left*2", "right*4"]),
    # Across frames: clamped at the last tick, another frame's instances only.
    ("frames", "#frame=0&tick=17", ["right*3", "#frame=1&tick=22", "right*3", "#frame=0&tick=0", "right"]),
]

# The orbit centres, each from one tick to another: NAME+DX+DY is where
# NAME's dump puts it, moved; X,Y a place. A scenario not named has none.
# The moon circles a place of its own (radius 0) until it is destroyed; the
# stars' centre stays where the moon was.
CENTRES = {"orbit": [(0, 39, "Sun#0+5+3"), (0, 70, "300,150"), (40, 70, "Moon#1+5+3"), (71, 89, "305,153")]}

failures = []


def fail(what):
    failures.append(what)
    print("FAIL: " + what, file=sys.stderr)


# ---- The trace ---------------------------------------------------------------------

class Trace:
    def __init__(self, text):
        self.lines = {}   # (frame, tick) -> [line]
        self.dumps = {}   # (frame, tick) -> {name: (x, y, destroyed)}
        self.last = {}    # frame -> last tick
        for line in text.splitlines():
            m = re.match(r"^(\d+):(-|\d+) ", line)
            if not m:
                continue
            frame = int(m.group(1))
            self.last.setdefault(frame, 0)
            if m.group(2) == "-":
                continue
            at = (frame, int(m.group(2)))
            self.last[frame] = max(self.last[frame], at[1])
            self.lines.setdefault(at, []).append(line)
            d = re.match(r"^\S+ dump (\S+) x=(-?\d+) y=(-?\d+) .*?( destroyed)?$", line)
            if d:
                self.dumps.setdefault(at, {})[d.group(1)] = (int(d.group(2)), int(d.group(3)), bool(d.group(4)))

    def walls(self, frame, tick, side):
        out = []
        for line in self.lines.get((frame, tick), []):
            m = re.match(r'^\S+ log "' + side + r' wall at (-?\d+),(-?\d+)', line)
            if m:
                out.append((int(m.group(1)), int(m.group(2))))
        return out

    def logs_walls(self, side):
        return any(re.match(r'^\S+ log "' + side + ' wall at', l) for ls in self.lines.values() for l in ls)


def number(v):
    """A number as the page's script writes it into a path."""
    return str(int(v)) if v == int(v) else repr(v)


def expected_trail(trace, frame, tick, name, w, h):
    points, previous = [], None
    for t in range(max(tick - TRAIL, 0), tick + 1):
        spot = trace.dumps.get((frame, t), {}).get(name)
        if spot is None:  # not there yet
            points, previous = [], None
            continue
        x, y = spot[0], spot[1]
        jumped = previous is not None and (x - previous[0]) ** 2 + (y - previous[1]) ** 2 > JUMP * JUMP
        points.append(("M" if not points or jumped else "L") + number(x + w / 2) + " " + number(y + h / 2))
        previous = (x, y)
    return " ".join(points) + " " if len(points) > 1 else None


def expected_centres(trace, name, frame, tick):
    out = []
    for first, last, rule in CENTRES.get(name, []):
        if not first <= tick <= last:
            continue
        m = re.match(r"^([^+]+)\+(-?\d+)\+(-?\d+)$", rule)
        if m:
            spot = trace.dumps.get((frame, tick), {}).get(m.group(1))
            out.append((spot[0] + int(m.group(2)), spot[1] + int(m.group(3))) if spot else ("no dump of " + rule,))
        else:
            x, y = rule.split(",")
            out.append((int(x), int(y)))
    return out


# ---- The browser -------------------------------------------------------------------

class Browser:
    def __init__(self, program, url):
        self.profile = tempfile.mkdtemp()
        to_browser, self.commands = os.pipe()
        self.replies, from_browser = os.pipe()

        def pipes():  # in the child: its ends as fds 3 and 4, whatever numbers they had
            ends = os.dup(to_browser), os.dup(from_browser)
            os.dup2(ends[0], 3)
            os.dup2(ends[1], 4)

        self.process = subprocess.Popen(
            [program, "--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + self.profile, "--remote-debugging-pipe", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=pipes, pass_fds=(3, 4))
        os.close(to_browser)
        os.close(from_browser)
        self.buffer = b""
        self.next_id = 0
        self.session = None
        try:
            targets = self.call("Target.getTargets")["targetInfos"]
            page = next((t for t in targets if t["type"] == "page"), None)
            if page is None:
                raise RuntimeError("the browser opened no page")
            self.session = self.call("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]
            self.call("Page.navigate", url=url)
        except BaseException:
            self.close()
            raise

    def call(self, method, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if self.session and not method.startswith("Target."):
            message["sessionId"] = self.session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + TIMEOUT
        while True:
            while b"\0" in self.buffer:
                raw, self.buffer = self.buffer.split(b"\0", 1)
                reply = json.loads(raw)
                if reply.get("id") == self.next_id:
                    if "error" in reply:
                        raise RuntimeError(method + ": " + json.dumps(reply["error"]))
                    return reply["result"]
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.replies], [], [], left)[0]:
                raise RuntimeError(method + ": no answer from the browser")
            chunk = os.read(self.replies, 1 << 16)
            if not chunk:
                raise RuntimeError(method + ": the browser has gone")
            self.buffer += chunk

    def value(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(expression + ": " + json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def wait(self, expression, what):
        deadline = time.monotonic() + TIMEOUT
        while True:
            try:
                if self.value(expression):
                    return
            except RuntimeError:
                pass  # a document being replaced has no context to ask yet
            if time.monotonic() > deadline:
                raise RuntimeError("waited in vain for " + what)
            time.sleep(0.02)

    def key(self, name, code):
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=name, code=name, windowsVirtualKeyCode=code,
                      nativeVirtualKeyCode=code)

    def close(self):
        try:
            self.call("Browser.close")
        except RuntimeError:
            pass
        try:
            self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.commands)
        os.close(self.replies)
        shutil.rmtree(self.profile, ignore_errors=True)


# What the checks read: attributes and text, nothing changed.
SNAPSHOT = """(function () {
  function attrs(e) { var o = {}; for (var a of e.attributes) o[a.name] = a.value; return o; }
  function all(selector) { return Array.from(document.querySelectorAll(selector)).map(attrs); }
  return {
    html: attrs(document.documentElement),
    rects: all('#instances rect'),
    trails: all('#trails path'),
    centres: all('#centres path'),
    marks: Array.from(document.querySelectorAll('#events > *')).map(function (e) {
      var o = attrs(e); o.title = e.textContent; return o; }),
    lines: Array.from(document.querySelectorAll('#lines > div')).map(function (e) { return e.textContent; })
  };
})()"""


def check(browser, trace, name, frame, tick, what):
    s = browser.value(SNAPSHOT)
    html = s["html"]
    for problem in ("data-script-error", "data-blocked"):
        if problem in html:
            fail(what + ": " + problem + " " + html[problem])
    if (html.get("data-frame"), html.get("data-tick")) != (str(frame), str(tick)):
        fail("%s: shows frame %s tick %s" % (what, html.get("data-frame"), html.get("data-tick")))

    # Every instance where its dump puts it, and no other; its trail.
    dumps = trace.dumps.get((frame, tick), {})
    drawn = {r["data-instance"]: r for r in s["rects"]}
    if len(drawn) != len(s["rects"]) or set(drawn) != set(dumps):
        fail("%s: instances drawn %s, dumped %s" % (what, sorted(r["data-instance"] for r in s["rects"]),
                                                    sorted(dumps)))
    trails = [t["d"] for t in s["trails"]]
    wanted_trails = []
    for instance, (x, y, destroyed) in sorted(dumps.items()):
        r = drawn.get(instance)
        if r is None:
            continue
        if (r["data-x"], r["data-y"], r["x"], r["y"]) != (str(x), str(y), str(x), str(y)):
            fail("%s: %s at %s,%s (drawn at %s,%s), not at %d,%d" % (what, instance, r["data-x"], r["data-y"],
                                                                     r["x"], r["y"], x, y))
        if ("data-destroyed" in r) != destroyed:
            fail("%s: %s is %smarked destroyed" % (what, instance, "" if "data-destroyed" in r else "not "))
        trail = expected_trail(trace, frame, tick, instance, float(r["width"]), float(r["height"]))
        if trail is not None:
            wanted_trails.append(trail)
            if trail not in trails:
                fail("%s: no trail of %s along %s; the trails: %s" % (what, instance, trail, trails))
    if len(trails) != len(wanted_trails):
        fail("%s: %d trails drawn, %d wanted" % (what, len(trails), len(wanted_trails)))

    centres = sorted((int(c["data-x"]), int(c["data-y"])) for c in s["centres"])
    wanted = sorted(expected_centres(trace, name, frame, tick))
    if centres != wanted:
        fail("%s: centres %s, wanted %s" % (what, centres, wanted))

    # The wall marks of the last ticks, by age, where the scenario logs them.
    for kind, side in (("11", "left"), ("12", "right")):
        if not trace.logs_walls(side):
            continue
        marks = sorted((int(m["data-age"]), m["title"]) for m in s["marks"] if m.get("data-event") == kind)
        wanted = sorted((age, "%s wall at %d,%d" % (side, x, y))
                        for age in range(FADE) for x, y in trace.walls(frame, tick - age, side))
        if marks != wanted:
            fail("%s: %s wall marks %s, wanted %s" % (what, side, marks, wanted))

    # The panel: exactly the lines of the tick, in order.
    if s["lines"] != trace.lines.get((frame, tick), []):
        fail("%s: the panel holds %s" % (what, s["lines"]))


def fragment_spot(fragment, trace):
    frame, tick = 0, 0
    for part in fragment.lstrip("#").split("&"):
        key, _, v = part.partition("=")
        if key == "frame":
            frame = int(v)
        if key == "tick":
            tick = int(v)
    frame = min(max(frame, 0), max(trace.last))
    return frame, min(max(tick, 0), trace.last[frame])


def walk(host, browser_program, cases, work, name, start, steps):
    page = os.path.join(work, name + ".html")
    with open(os.path.join(work, name + ".trace"), "wb") as out:
        subprocess.run([host, "run", os.path.join(cases, name + ".json"), "--trace", "--html", page],
                       stdout=out, check=True)
    with open(os.path.join(work, name + ".trace"), encoding="utf-8") as f:
        trace = Trace(f.read())
    url = "file://" + page
    browser = Browser(browser_program, url + start)
    try:
        frame, tick = fragment_spot(start, trace)
        moves = []
        for step in steps:
            move, _, count = step.partition("*")
            moves += [move] * int(count or 1)
        where = name + start
        for i in range(len(moves) + 1):
            if i > 0:
                move = moves[i - 1]
                if move == "right":
                    browser.key("ArrowRight", 39)
                    tick = min(tick + 1, trace.last[frame])
                elif move == "left":
                    browser.key("ArrowLeft", 37)
                    tick = max(tick - 1, 0)
                else:
                    browser.call("Page.navigate", url=url + move)
                    frame, tick = fragment_spot(move, trace)
                where = "%s%s, step %d (%s)" % (name, start, i, moves[i - 1])
            browser.wait("document.documentElement.getAttribute('data-ready') === '1' && "
                         "document.documentElement.getAttribute('data-frame') === '%d' && "
                         "document.documentElement.getAttribute('data-tick') === '%d'" % (frame, tick),
                         "%s to show frame %d tick %d" % (where, frame, tick))
            check(browser, trace, name, frame, tick, "%s (frame %d tick %d)" % (where, frame, tick))
        return len(moves) + 1
    finally:
        browser.close()


def main():
    host, browser_program, cases, work = sys.argv[1:5]
    os.makedirs(work, exist_ok=True)
    shown = 0
    for name, start, steps in WALKS:
        try:
            shown += walk(host, browser_program, cases, work, name, start, steps)
        except (RuntimeError, subprocess.CalledProcessError, OSError) as e:
            fail("%s%s: %s" % (name, start, e))
    if failures:
        print("check_page_steps: %d failures" % len(failures), file=sys.stderr)
        return 1
    print("check_page_steps: %d ticks shown in %d pages, all as the trace says" % (shown, len(WALKS)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
