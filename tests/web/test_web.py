#!/usr/bin/python3
"""Usage: test_web.py BUILD_DIR. Plays the browser build in Debian's headless
Chromium, served on 127.0.0.1: browsers that lack what the game needs, then a
desktop's page in one fresh profile (the desktop's narration, the menu
readable, a whole game won and its score kept, two tabs, offline, a full
storage), the pace of a walk, then a phone's pages with touch. Each check
prints a line "ok: ..."; screenshots go to <build>/screenshots."""

import difflib
import functools
import http.server
import io
import re
import sys
import threading
import time
from collections import deque
from itertools import groupby
from pathlib import Path

from PIL import Image, ImageChops, ImageStat
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ROOT = Path(__file__).resolve().parents[2]
VIEW = (800, 608)
COUNT = re.compile(r"^\d+$")  # the line each step ends with: the screens queued
FOLDED = re.compile(r"^(\d+) x (\d+)$")  # a run of count lines in a golden transcript
# The one line the desktop's transcripts have and a browser does not: the
# golden runner has no GPU, a browser has WebGL.
SOFTWARE_RENDERER = "Accelerated renderer unavailable, using the software renderer."
# A picture scaled by the game reads as the 1 x picture scaled smoothly to the
# same size when the mean difference per channel is below this (of 255). The
# game's scaling measures 2 to 4 here; the same picture 4 pixels off measures
# over 10, a blank one over 50. (Nearest neighbour at 0.86 x also measures
# about 4: a mean does not see thin strokes dropped; the screenshots do.)
READABLE = 6


def constants():
    """The level, buttons and player's pace from the game's headers, the route
    through the gold, and the cells around the start in the view: the camera keeps
    the player mid-view, so the picture changes there as the dungeon moves."""
    text = lambda name: (ROOT / name).read_text()
    number = lambda name, key: int(re.search(rf"{key}\s*=\s*(\d+);", text(name)).group(1))
    buttons = {m[0]: tuple(map(int, m[1:])) for m in re.findall(
        r'\{"button\w+", "(\w+)", (\d+), (\d+), (\d+), (\d+)\}', text("gameplay/MenuLayout.h"))}
    level = text("world/Level.h")
    start = tuple(map(int, re.search(r"kStartCell\{(\d+), (\d+)\}", level).groups()))
    gold = [tuple(map(int, c)) for c in re.findall(
        r"\{(\d+), (\d+)\}", level[level.index("kGoldCells"):])]
    grid = [list(map(int, line.split()))
            for line in text("Assets/Maps/collisionMap.map").splitlines() if line.strip()]
    cell = number("world/Level.h", "kCellSize")
    x = start[0] * cell - min(max(start[0] * cell + cell // 2 - VIEW[0] // 2, 0), 1600 - VIEW[0])
    y = start[1] * cell - min(max(start[1] * cell + cell // 2 - VIEW[1] // 2, 0), 608 - VIEW[1])
    return dict(buttons=buttons, start=start, gold=gold, cell=cell,
                route=route_through_gold(grid, start, gold),
                box=(x - cell, y - cell, x + 2 * cell, y + 2 * cell),
                speed=number("gameplay/Player.h", "kPlayerSpeed"),
                effect=number("gameplay/Rules.h", "kEffectUpdates"))


def route_through_gold(grid, start, gold):
    """Cells from the start through every piece, the nearest first, shortest paths."""
    here, left, route = start, set(gold), []
    while left:
        paths, queue = {here: []}, deque([here])
        while queue:
            c = queue.popleft()
            for n in ((c[0] - 1, c[1]), (c[0] + 1, c[1]), (c[0], c[1] - 1), (c[0], c[1] + 1)):
                if 0 <= n[1] < len(grid) and 0 <= n[0] < len(grid[0]) \
                        and grid[n[1]][n[0]] == 0 and n not in paths:
                    paths[n] = paths[c] + [n]
                    queue.append(n)
        here = min(left, key=lambda g: (len(paths[g]), g))
        route += paths[here]
        left -= set(paths[here])
    return route


def unfold(lines):
    """A golden transcript as the game printed it: the runner stores a run of
    one count line as "N x COUNT" (tests/golden/README.md)."""
    for line in lines:
        folded = FOLDED.match(line)
        yield from [folded[2]] * int(folded[1]) if folded else [line]


def chunks(lines):
    """The narration between the steps' count lines, one list per run."""
    return [list(run) for count, run in groupby(lines, lambda line: bool(COUNT.match(line))) if not count]


# Before any script of the page: the narration kept line by line; a fixed
# clock for the game's random seed until the first frame (the effects of the
# gold are then the same every run); a driver the test may install that runs
# before each frame; and for each animation frame its time, the steps it ran,
# its draws into the canvas (WebGL draws with no framebuffer bound) and where
# the walker's model of the player then stood.
HOOKS = """
window.__log = [];
const print = console.log;
console.log = function (...args) { window.__log.push(args.join(' ')); print.apply(console, args); };
window.__frames = [];
window.__drawn = 0;
for (const gl of [WebGLRenderingContext, WebGL2RenderingContext].map(c => c.prototype))
  for (const name of ['drawArrays', 'drawElements']) {
    const draw = gl[name];
    gl[name] = function (...args) {
      window.__drawn += !this.getParameter(this.FRAMEBUFFER_BINDING); return draw.apply(this, args); };
  }
const realNow = Date.now;
Date.now = () => 1700000000000;
const animate = window.requestAnimationFrame.bind(window);
window.requestAnimationFrame = function (callback) {
  return animate(function (time) {
    Date.now = realNow;
    if (window.__drive) window.__drive();
    const before = window.__log.length;
    callback(time);
    const steps = window.__log.slice(before).filter(line => /^\\d+$/.test(line)).length;
    const p = window.__walk ? window.__walk.p : {};
    window.__frames.push([performance.now(), steps, window.__drawn, p.x, p.y]);
    window.__drawn = 0;
  });
};
"""

# Walks the route step-exactly: before each frame it replays the last frame's
# steps (one per count line) on a model of the player's movement (speed, cell
# by cell, held arrow, stuck and the shared effect timer), checks it against
# the position each piece of gold prints, and holds the arrow toward the next
# cell. A move, once started, runs to its cell, so the arrow held is the one
# for the move after the current one. Given the page points of the pad's
# arrows, one finger holds and slides between them until the first gold.
WALKER = """
const [route, speed, cell, effectSteps, start, pad] = arguments;
const canvas = document.getElementById('canvas');
const codes = {'-1,0': 'ArrowLeft', '1,0': 'ArrowRight', '0,-1': 'ArrowUp', '0,1': 'ArrowDown'};
const gold = /^(-?\\d+) (-?\\d+)(Hide|Stuck|Time Increase|Time Decreased) Event Triggered\\.$/;
const p = {x: start[0] * cell, y: start[1] * cell, moving: false, dx: 0, dy: 0, target: 0, timer: 0};
let held = null, next = 0, seen = window.__log.length;
window.__walk = {errors: [], done: false, p};
function step(code, line) {
  if (code && !p.moving && !p.stuck) {
    [p.dx, p.dy] = code.split(',').map(Number);
    p.target = p.dx ? p.x + p.dx * cell : p.y + p.dy * cell;
    p.moving = true;
  }
  if (p.moving) {
    if (p.dx) { p.x += p.dx * speed; if (p.dx * (p.x - p.target) >= 0) { p.x = p.target; p.moving = false; } }
    else { p.y += p.dy * speed; if (p.dy * (p.y - p.target) >= 0) { p.y = p.target; p.moving = false; } }
  }
  for (const flag of ['hidden', 'stuck', 'dec', 'inc']) {
    if (p[flag] && ++p.timer === effectSteps) { p.timer = 0; p[flag] = false; }
  }
  const m = line && line.match(gold);
  if (m) {
    if (+m[1] !== p.x || +m[2] !== p.y) window.__walk.errors.push(`model at ${p.x} ${p.y}: ${line}`);
    p[{Hide: 'hidden', Stuck: 'stuck', 'Time Increase': 'inc', 'Time Decreased': 'dec'}[m[3]]] = true;
  }
}
function press(code) {
  if (code === held) return;
  if (pad) {
    const [x, y] = pad[code || held], type = !held ? 'touchstart' : code ? 'touchmove' : 'touchend';
    const finger = new Touch({identifier: 7, target: canvas, clientX: x, clientY: y});
    canvas.dispatchEvent(new TouchEvent(type, {touches: code ? [finger] : [], changedTouches: [finger],
                                               bubbles: true, cancelable: true}));
  } else {
    const key = (k, type) => canvas.dispatchEvent(new KeyboardEvent(type, {code: codes[k], key: codes[k], bubbles: true}));
    if (held) key(held, 'keyup');
    if (code) key(code, 'keydown');
  }
  held = code;
}
window.__drive = function () {
  let goldLine = null;
  for (; seen < window.__log.length; ++seen) {
    const line = window.__log[seen];
    if (line.startsWith('Info written to file successfully')) window.__walk.done = true;
    if (gold.test(line)) { goldLine = line; if (pad) window.__walk.done = true; }
    if (/^\\d+$/.test(line)) { step(held, goldLine); goldLine = null; }
  }
  if (window.__walk.done) { press(null); window.__drive = null; return; }
  const from = [(p.moving && p.dx ? p.target : p.x) / cell, (p.moving && p.dy ? p.target : p.y) / cell];
  while (next < route.length && route[next][0] === from[0] && route[next][1] === from[1]) ++next;
  press(next < route.length ? `${route[next][0] - from[0]},${route[next][1] - from[1]}` : null);
};
"""


class Browser(webdriver.Chrome):
    """A headless Chromium in a fresh profile. `screen` is a page of width x
    height CSS pixels at a pixel ratio, as a phone when `phone`."""

    def __init__(self, url, hook="", screen=(1280, 800, 1), phone=False):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--disable-component-update", "--window-size=1000,900"):
            options.add_argument(flag)
        super().__init__(service=Service("/usr/bin/chromedriver"), options=options)
        self.cdp("Page.addScriptToEvaluateOnNewDocument", source=HOOKS + hook)
        self.url, self.phone = url, phone
        if phone:
            self.cdp("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
        self.resize(*screen)

    def resize(self, width, height, ratio=1):
        self.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
                 deviceScaleFactor=ratio, mobile=self.phone)

    def cdp(self, command, **params):
        return self.execute_cdp_cmd(command, params)

    def js(self, script, *args):
        return self.execute_script(script, *args)

    def log(self):
        return self.js("return window.__log")

    def text(self, element):
        return self.find_element(By.ID, element).text

    def stored(self):
        """The stored folder, as IndexedDB holds it: file name -> bytes."""
        return {name: bytes(data) for name, data in self.execute_async_script("""
            const done = arguments[arguments.length - 1], files = {}, open = indexedDB.open('/Assets/bin');
            open.onerror = () => done(null);
            open.onsuccess = () => open.result.transaction('FILE_DATA').objectStore('FILE_DATA')
              .openCursor().onsuccess = e => {
                const at = e.target.result;
                if (!at) { open.result.close(); done(files); return; }
                files[at.key.split('/').pop()] = Array.from(at.value.contents || [], b => b & 255);
                at.continue();
              };""").items()}

    def wait(self, what, condition, seconds=20):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if condition():
                return
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what}")

    def wait_steps(self, count):
        start = sum(1 for line in self.log() if COUNT.match(line))
        self.wait(f"{count} steps", lambda: sum(1 for l in self.log() if COUNT.match(l)) >= start + count)

    def load(self):
        self.get(self.url)
        return self.first_run(seconds=60)

    def first_run(self, before=0, seconds=20):
        """The narration up to the first step after `before` lines."""
        self.wait("a step", lambda: any(COUNT.match(l) for l in self.log()[before:]), seconds)
        return chunks(self.log()[before:])[0]

    def narrated(self, act, text):
        """Does `act`; given `text`, waits for the narration run holding it and returns it."""
        before = len(self.log())
        act()
        found = lambda: [c for c in chunks(self.log()[before:]) if text in c]
        if text:
            self.wait(f'"{text}"', lambda: found() and COUNT.match(self.log()[-1]))
            return found()[0]

    def walk(self, route, until=None, seconds=None, pad=None):
        """Walks `route` by the keys, or given the page points of the pad's
        arrows by one finger; given `until`, waits for the walk's end and
        tells whether the model kept step with the game."""
        self.js(WALKER, route, CONST["speed"], CONST["cell"], CONST["effect"], CONST["start"], pad)
        if until:
            self.wait(until, lambda: self.js("return window.__walk.done"), seconds)
            return not self.js("return window.__walk.errors")

    def walk_frames(self):
        """The animation frames since the walker started."""
        return [f for f in self.js("return window.__frames") if f[3] is not None]

    def output(self):
        """The canvas: its pixels' size and its place on the page in CSS pixels."""
        return self.js("""const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
                          return [c.width, c.height, r.left, r.top, r.width, r.height];""")

    def page_point(self, x, y):
        """A point of the canvas's pixels on the page, in CSS pixels."""
        width, height, left, top, css_w, css_h = self.output()
        return left + x * css_w / width, top + y * css_h / height

    def view(self):
        """Where the game draws its 800 x 608 view in the canvas: as large as fits, centred."""
        width, height = self.output()[:2]
        scale = min(width / VIEW[0], height / VIEW[1])
        w, h = min(int(VIEW[0] * scale), width), min(int(VIEW[1] * scale), height)
        return (width - w) // 2, (height - h) // 2, w, h

    def view_point(self, x, y):
        vx, vy, vw, vh = self.view()
        return self.page_point(vx + x * vw / VIEW[0], vy + y * vh / VIEW[1])

    def button(self, name):
        x, y, w, h = CONST["buttons"][name]
        return self.view_point(x + w / 2, y + h / 2)

    def control(self, name, at=(0.5, 0.5)):
        """A point of the pad or a button (Return, Pause, Menu) on the page, laid
        out as core/TouchControls.cpp does: `at` is the fraction across it."""
        source = (ROOT / "core/TouchControls.cpp").read_text()
        share = lambda key: float(re.search(rf"{key} = ([\d.]+)f;", source).group(1))
        width, height = self.output()[:2]
        unit = min(width, height)
        pad = int(unit * share("kPadShare"))
        button = int(pad * share("kButtonShare"))
        gap, margin = button // 8, int(unit * share("kMarginShare"))
        vx, vy, vw, vh = self.view()
        left, right, below = vx, width - vx - vw, height - vy - vh
        if left >= pad + 2 * margin and right >= button + 2 * margin:
            pad_at = ((left - pad) // 2, height - margin - pad)
            buttons_at = (vx + vw + (right - button) // 2, height - margin)
        elif below >= max(pad, 3 * button + 2 * gap) + 2 * margin:
            pad_at = (margin, height - margin - pad)
            buttons_at = (width - margin - button, height - margin)
        else:
            raise AssertionError("the test lays out controls in the bars only")
        buttons = [(buttons_at[0], buttons_at[1] - button - i * (button + gap), button, button)
                   for i in range(3)]
        x, y, w, h = dict(pad=(*pad_at, pad, pad), Return=buttons[0], Pause=buttons[1], Menu=buttons[2])[name]
        return self.page_point(x + at[0] * w, y + at[1] * h)

    def screenshot(self, name=None):
        """The view as the canvas shows it, at the canvas's pixels."""
        shot = Image.open(io.BytesIO(self.find_element(By.ID, "canvas").screenshot_as_png)).convert("RGB")
        if name:
            shot.save(SHOTS / f"{name}.png")
        width = self.output()[0]
        vx, vy, vw, vh = (round(v * shot.width / width) for v in self.view())
        return shot.crop((vx, vy, vx + vw, vy + vh))

    def picture(self, name=None, box=None):
        """The view at 800 x 608, or the part of it in `box`."""
        return self.screenshot(name).resize(VIEW, Image.NEAREST).crop(box)

    def click(self, button, until=None):
        action = ActionBuilder(self)
        action.pointer_action.move_to_location(*map(round, self.button(button))).click()
        return self.narrated(action.perform, until)

    def keys(self, key, hold=0.1, until=None):
        return self.narrated(ActionChains(self).key_down(key).pause(hold).key_up(key).perform, until)

    def touch(self, kind, *points):
        """Fingers down, moved or lifted at page points, as the browser reports touches."""
        self.cdp("Input.dispatchTouchEvent", type=kind, touchPoints=[
            {"x": x, "y": y, "id": i + 1} for i, (x, y) in enumerate(points)])

    def tap(self, point, until=None):
        def act():
            self.touch("touchStart", point)
            self.wait_steps(2)
            self.touch("touchEnd")
        return self.narrated(act, until)


def differs(a, b):
    return ImageChops.difference(a, b).getbbox() is not None


def same(actual, expected, message):
    """Narration compared line for line; a difference is shown as a diff."""
    if actual != expected:
        print("\n".join(difflib.unified_diff(expected, actual, "desktop", "browser", lineterm="")))
    check(actual == expected, message)


PASSED = []


def check(condition, message):
    if not condition:
        raise AssertionError(message)
    PASSED.append(message)
    print(f"ok: {message}")


def readable(shot, reference, page):
    """The view's screenshot against the 1 x picture scaled smoothly to its size."""
    difference = sum(ImageStat.Stat(ImageChops.difference(
        shot, reference.resize(shot.size, Image.LANCZOS))).mean) / 3
    check(difference < READABLE, f"the menu in a {page} page, drawn {shot.width} x {shot.height}, "
          f"reads as the 1 x picture (mean difference {difference:.1f} of 255)")


def main():
    global CONST, SHOTS
    build = Path(sys.argv[1]).resolve()
    SHOTS = build / "screenshots"
    SHOTS.mkdir(exist_ok=True)
    CONST = constants()
    runs = chunks(l for l in unfold((ROOT / "tests/golden/pause.log").read_text().splitlines())
                  if not l.startswith("#> "))
    startup = [l for l in runs[0] if l != SOFTWARE_RENDERER]
    play = next(c for c in runs if "PlayState constructor called..." in c)
    pause = next(c for c in runs if "PauseState constructor called..." in c)

    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *args: None})
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(quiet, directory=str(build)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_port}/index.html"
    # Browsers the game cannot use in full: a script run before the page's,
    # whether the game still plays, and what the page must then say.
    for hook, plays, element, words, message in (
            ("delete globalThis.WebAssembly;", False, "message",
             "This browser cannot run WebAssembly, which Dungeon Gold needs.",
             "a browser without WebAssembly is told so on the page"),
            ("Object.defineProperty(window, 'indexedDB', {get: () => undefined});", True, "note",
             "scores last until the page is closed",
             "a browser without IndexedDB plays, and the page says scores are not kept")):
        with Browser(url, hook) as browser:
            browser.load() if plays else browser.get(url)
            browser.wait(message, lambda: words in browser.text(element))
            check(plays or browser.text(element) == words, message)
    # A storage of one byte from the page's first visit (a quota set once the
    # page has stored something may never apply): the page says at once what
    # was not kept, and the next save is narrated as failed.
    with Browser(url) as browser:
        browser.cdp("Storage.overrideQuotaForOrigin", origin=url.rsplit("/", 1)[0], quotaSize=1)
        browser.load()
        browser.keys("m")
        browser.wait("a word on the refused save", lambda: "not kept" in browser.text("note"))
        check(browser.text("note") == "not kept: the choice sound off (the browser's storage for this page "
              "is full).", "a save refused by a full storage is told on the page: " + browser.text("note"))
        failed = "Preferences could not be saved: Assets\\bin\\preferences.txt"
        check(failed in browser.keys("m", until=failed), "the next save, with the storage full, is narrated as failed")
    with Browser(url) as browser:
        reference = run(browser, startup, play, pause)
    with Browser(url) as browser:
        pace(browser)
    for width, height, walk in ((390, 844, True), (844, 390, False)):
        with Browser(url, screen=(width, height, 3), phone=True) as browser:
            phone(browser, reference, walk)


def pace(browser, seconds=6):
    """Walking at 1280 x 800 in a fresh page: steps a second, and the steps in which
    the player moved (the walker's model) against those whose frame drew."""
    browser.load()
    browser.click("Play", "PlayState constructor initialized successfully...")
    browser.walk(CONST["route"])
    time.sleep(seconds)
    frames = browser.walk_frames()[1:]
    rate = sum(f[1] for f in frames) / ((frames[-1][0] - frames[0][0]) / 1000)
    # A frame's steps moved the player when the model, which follows them on
    # the next frame, is elsewhere then.
    moved = [(f[1], f[2]) for f, after in zip(frames, frames[1:]) if f[3:] != after[3:]]
    drawn = sum(1 for _, d in moved if d)
    print(f"walking at 1280 x 800: {rate:.1f} steps a second, a new picture for {drawn} of "
          f"{sum(s for s, _ in moved)} steps in which the player moved")
    check(rate > 30 and drawn > len(moved) / 2, "the browser build walks at a steady pace")


def phone(browser, reference, walk):
    """A phone's page with touch: the menu, a tap on Play, the pad, the buttons."""
    browser.load()
    width, height, _, _, css_width, css_height = browser.output()
    size = f"{round(css_width)}x{browser.js('return innerHeight')}"
    page = f"{size.replace('x', ' x ')} at ratio 3"
    check((width, height) == (int(css_width * 3), int(css_height * 3)),
          f"the canvas of a {page} page has three pixels to a point ({width} x {height})")
    readable(browser.screenshot(f"menu-{size}"), reference, page)
    look = browser.js("""const shown = id => !!document.getElementById(id).offsetParent;
        return [document.querySelector('.key-words').offsetParent === null, shown('fullscreen'),
                getComputedStyle(canvas).touchAction, innerHeight - canvas.getBoundingClientRect().height];""")
    check(look == [True, True, "none", 0], f"{page}: no keyboard words, a fullscreen button, no "
          f"browser gestures on the picture, which takes the whole page ({look})")
    browser.save_screenshot(str(SHOTS / f"page-{size}.png"))

    browser.tap(browser.button("Play"), "PlayState constructor initialized successfully...")
    # The sound starts when the browser has resumed it, a moment after the tap.
    browser.wait(f"{page}: the sound to play once the player has tapped",
                 lambda: browser.js("return Module.SDL2.audioContext.state") == "running", 5)
    # A double tap, a swipe and a pinch on the picture, and a finger on the
    # pad that slides off the page: afterwards nothing is held.
    x, y = browser.view_point(400, 300)
    for kind, *points in (("touchStart", (x, y)), ("touchEnd",), ("touchStart", (x, y)), ("touchEnd",),
                          ("touchStart", (x, y)), ("touchMove", (x - 120, y)), ("touchEnd",),
                          ("touchStart", (x, y), (x + 40, y)), ("touchMove", (x - 60, y), (x + 100, y)),
                          ("touchEnd",), ("touchStart", browser.control("pad", (0.125, 0.5))),
                          ("touchMove", (css_width + 40, css_height + 40)), ("touchEnd",)):
        browser.touch(kind, *points)
        browser.wait_steps(2)
    browser.wait_steps(40)
    start = browser.picture(box=CONST["box"])
    browser.wait_steps(15)
    check(not differs(start, browser.picture(box=CONST["box"])), f"{page}: after a double tap, a swipe, "
          "a pinch and a finger sliding off the page, nothing walks")
    browser.touch("touchStart", browser.control("pad", (0.875, 0.5)))
    browser.wait_steps(15)
    walked = browser.picture(f"play-{size}", CONST["box"])
    browser.touch("touchEnd")
    check(differs(start, walked),
          f"{page}: a tap on Play plays, and holding the pad's right arrow walks the player")
    paused = browser.tap(browser.control("Pause"), "PauseState constructor called...")
    check("PauseState constructor called..." in paused, f"{page}: the Pause button pauses")
    if not walk:
        return
    # A new game from the pause screen's button, walked by one finger on the
    # pad to the first piece of gold, in step with a model of held arrows.
    browser.tap(browser.control("Menu"), "MenuState constructor initialized successfully...")
    browser.tap(browser.button("Play"), "PlayState constructor initialized successfully...")
    route = CONST["route"][:next(i for i, c in enumerate(CONST["route"]) if c in CONST["gold"]) + 1]
    pad = {f"{dx},{dy}": browser.control("pad", (0.5 + 0.375 * dx, 0.5 + 0.375 * dy))
           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))}
    check(browser.walk(route, "the first piece of gold", 60, pad),
          f"{page}: a finger on the pad walks {len(route)} cells to the first gold "
          "in step with held arrows, as the narration of the gold shows")


def run(browser, startup, play, pause):
    same(browser.load(), startup, "start-up and menu narrate as on the desktop")
    first_frame = next(f[0] for f in browser.js("return window.__frames") if f[1])
    print(f"time to the first menu frame: {first_frame / 1000:.2f} s")
    icons = browser.execute_async_script("""
        const done = arguments[arguments.length - 1];
        fetch('manifest.webmanifest').then(r => r.json()).then(m => Promise.all(m.icons.map(i => fetch(i.src)
          .then(r => r.blob()).then(createImageBitmap).then(b => `${b.width}x${b.height} ${i.purpose}`, () => i.src))))
          .then(done, e => done(String(e)));""")
    check(icons == ["192x192 any", "512x512 any", "512x512 maskable"],
          f"the manifest parses and its icons load ({icons})")
    menu = browser.screenshot("menu-1280x800")
    # The menu at 1 x: the page made just large enough for an 800 x 608 canvas.
    browser.resize(800, 900)
    browser.wait("the page at 800 wide", lambda: browser.output()[0] == 800)
    browser.resize(800, VIEW[1] + round(browser.js("return innerHeight") - browser.output()[5]))
    browser.wait("an 800 x 608 canvas", lambda: browser.output()[:2] == list(VIEW))
    browser.wait_steps(3)
    reference = browser.screenshot("menu-1x")
    browser.resize(1280, 800)
    browser.wait("the page at 1280 wide", lambda: browser.output()[0] == 1280)
    browser.wait_steps(3)
    readable(menu, reference, "1280 x 800")

    same(browser.click("Play", "PlayState constructor called..."), play,
         "a click on Play builds the world as on the desktop")
    # Browsers hold a page's audio until the player's first gesture; SDL's
    # audio must go on with it, or the browser game stays silent.
    check(browser.js("const a = Module.SDL2 && Module.SDL2.audioContext; return a && a.state") == "running",
          "the sound plays once the player has clicked")
    browser.wait_steps(3)
    start = browser.picture(box=CONST["box"])
    browser.keys(Keys.RIGHT, 0.5)
    browser.wait_steps(15)
    check(differs(start, browser.picture("play", CONST["box"])), "holding Right moves the player")
    same(browser.keys("p", until="PauseState constructor called..."), pause,
         "P pauses as on the desktop")
    browser.keys(Keys.SPACE, until="MenuState constructor initialized successfully...")

    # The scores screen of a fresh browser, to tell a listed score by.
    browser.click("Scores", "ScoresState constructor initialized successfully...")
    browser.wait_steps(3)
    empty_scores = browser.picture()
    browser.keys(Keys.RETURN, until="ResourceManager shut down function called... "
                 "Sprite texture destroyed: Scores")

    # A second tab of the game, opened before the first wins.
    first = browser.current_window_handle
    browser.switch_to.new_window("tab")
    browser.cdp("Page.addScriptToEvaluateOnNewDocument", source=HOOKS)
    browser.load()
    second = browser.current_window_handle
    browser.switch_to.window(first)

    # A whole game, won.
    before = len(browser.log())
    browser.click("Play", "PlayState constructor initialized successfully...")
    check(browser.walk(CONST["route"], "the game to be won", 150), "the walk kept step with the game")
    frames = browser.walk_frames()
    saved = "Info written to file successfully: Assets\\bin\\scores.bin"
    browser.wait(f'"{saved}"', lambda: saved in browser.log()[before:])
    lines = browser.log()[before:]
    lines = lines[lines.index("PlayState constructor called..."):]
    # The play screen's steps: the count lines before the winning step's
    # narration are the menu's step that made the play screen and all of the
    # play screen's but the winning one.
    steps = sum(1 for line in lines[:lines.index(saved)] if COUNT.match(line))
    effects = "\n".join(lines)
    expected = 10 * (90 - steps // 60 + 5 * effects.count("Time Increase Event Triggered.")
                     - 10 * effects.count("Time Decreased Event Triggered."))
    browser.picture("win")
    seconds = (frames[-1][0] - frames[0][0]) / 1000
    print(f"in play: {sum(1 for f in frames if f[1]) / seconds:.1f} pictures and "
          f"{sum(f[1] for f in frames) / seconds:.1f} steps a second")

    # The second tab, which never saw that score, turns the sound off, then
    # wins a score of 7 (appended to its folder and saved, as the game does).
    browser.switch_to.window(second)
    browser.js("document.getElementById('canvas').focus()")
    browser.keys("m")
    browser.wait("the second tab's choice stored",
                 lambda: b"sound off" in browser.stored().get("preferences.txt", b""))
    browser.js("""const FS = Module.FS, f = '/Assets/bin/scores.bin';
                  const old = FS.analyzePath(f).exists ? FS.readFile(f) : new Uint8Array(0);
                  const all = new Uint8Array(old.length + 4); all.set(old); all[old.length] = 7;
                  FS.writeFile(f, all); Module.saveFolder();""")
    time.sleep(1)
    browser.close()
    browser.switch_to.window(first)
    browser.load()
    stored = browser.stored()
    scores = stored.get("scores.bin", b"")
    scores = [int.from_bytes(scores[i:i + 4], "little", signed=True) for i in range(0, len(scores), 4)]
    check(scores == [expected, 7] and b"sound off" in stored["preferences.txt"],
          f"both tabs' scores, {expected} and 7, and the second tab's sound off are in IndexedDB "
          f"after a reload (found {scores})")
    scores = browser.click("Scores", "ScoresState constructor initialized successfully...")
    check("Info read from file successfully: Assets\\bin\\scores.bin" in scores,
          "the Scores screen reads the stored score")
    browser.wait_steps(3)
    check(differs(empty_scores, browser.picture("scores")), "the Scores screen shows it")

    # A game ended with Escape; the page offers another, which starts afresh.
    browser.keys(Keys.RETURN)
    browser.click("Play", "PlayState constructor initialized successfully...")
    browser.keys(Keys.ESCAPE)
    again = browser.find_element(By.ID, "again")
    browser.wait("the page's Play again", again.is_displayed)
    before = len(browser.log())
    again.click()
    same(browser.first_run(before), startup,
         "after Escape, the page's Play again starts the game afresh, narrated as the first start")
    browser.wait_steps(3)
    readable(browser.screenshot("menu-again"), reference, "1280 x 800 (after Play again)")

    # Offline, the service worker's copy of the page starts the game.
    browser.execute_async_script("navigator.serviceWorker.ready.then(arguments[0])")
    browser.cdp("Network.enable")
    browser.cdp("Network.emulateNetworkConditions", offline=True, latency=0,
                downloadThroughput=-1, uploadThroughput=-1)
    menu = browser.load()
    same(menu if browser.js("return !!navigator.serviceWorker.controller") else [], startup,
         "offline, a reload starts the game from the service worker's files and narrates the menu")

    print(f"screenshots: {SHOTS}")
    return reference


if __name__ == "__main__":
    try:
        main()
    except AssertionError as failure:
        print(f"FAILED: {failure}")
        print(f"web: {len(PASSED)} passed, 1 failed")
        sys.exit(1)
    print(f"web: {len(PASSED)} passed, 0 failed")
