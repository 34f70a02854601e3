#!/usr/bin/python3
"""Plays the browser build in Debian's headless Chromium, served on 127.0.0.1:
browsers that lack what the game needs, then a desktop's page in one fresh
profile (the desktop's narration, the menu readable, a whole game won and its
score kept, two tabs, offline, a full storage), then a phone's pages with
touch. Each check prints a line "ok: ..."; screenshots go to <build>/screenshots.

Usage: test_web.py BUILD_DIR
"""

import difflib
import functools
import http.server
import io
import re
import shutil
import sys
import tempfile
import threading
import time
from collections import deque
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


def view_rect(width, height):
    """Where the game draws its 800 x 608 view in an output of width x height
    pixels: as large as fits, centred."""
    scale = min(width / VIEW[0], height / VIEW[1])
    w, h = min(int(VIEW[0] * scale), width), min(int(VIEW[1] * scale), height)
    return (width - w) // 2, (height - h) // 2, w, h


def touch_layout(width, height, view):
    """The pad and the buttons (Return, Pause, New menu) as the game lays them
    out (core/TouchControls.cpp), as rectangles in output pixels."""
    source = (ROOT / "core/TouchControls.cpp").read_text()
    share = lambda key: float(re.search(rf"{key} = ([\d.]+)f;", source).group(1))
    unit = min(width, height)
    pad = int(unit * share("kPadShare"))
    button = int(pad * share("kButtonShare"))
    gap, margin = button // 8, int(unit * share("kMarginShare"))
    column = 3 * button + 2 * gap
    vx, vy, vw, vh = view
    left, right, below = vx, width - vx - vw, height - vy - vh
    if left >= pad + 2 * margin and right >= button + 2 * margin:
        pad_at = ((left - pad) // 2, height - margin - pad)
        buttons_at = (vx + vw + (right - button) // 2, height - margin)
    elif below >= max(pad, column) + 2 * margin:
        pad_at = (margin, height - margin - pad)
        buttons_at = (width - margin - button, height - margin)
    else:
        raise AssertionError("the test lays out controls in the bars only")
    buttons = [(buttons_at[0], buttons_at[1] - button - i * (button + gap), button, button)
               for i in range(3)]
    return dict(pad=(*pad_at, pad, pad), Return=buttons[0], Pause=buttons[1], Menu=buttons[2])


def mean_difference(a, b):
    return sum(ImageStat.Stat(ImageChops.difference(a, b)).mean) / 3


def constants():
    """The level, the buttons and the player's pace, read from the game's headers."""
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
    return dict(buttons=buttons, start=start, gold=gold, grid=grid,
                cell=number("world/Level.h", "kCellSize"),
                speed=number("gameplay/Player.h", "kPlayerSpeed"),
                effect=number("gameplay/Rules.h", "kEffectUpdates"))


def route_through_gold(grid, start, gold):
    """Cells from the start through every piece, the nearest first, shortest paths."""
    here, left, route = start, set(gold), []
    while left:
        came = {here: None}
        queue = deque([here])
        while queue:
            c = queue.popleft()
            for n in ((c[0] - 1, c[1]), (c[0] + 1, c[1]), (c[0], c[1] - 1), (c[0], c[1] + 1)):
                if 0 <= n[1] < len(grid) and 0 <= n[0] < len(grid[0]) \
                        and grid[n[1]][n[0]] == 0 and n not in came:
                    came[n] = c
                    queue.append(n)
        target = min(left, key=lambda g: (len(path_to(came, g)), g))
        path = path_to(came, target)
        route += path
        left -= set(path)
        here = target
    return route


def path_to(came, cell):
    path = []
    while came[cell] is not None:
        path.append(cell)
        cell = came[cell]
    return path[::-1]


def unfold(lines):
    """A golden transcript as the game printed it: the runner stores a run of
    one count line as "N x COUNT" (tests/golden/README.md)."""
    out = []
    for line in lines:
        folded = FOLDED.match(line)
        out += [folded[2]] * int(folded[1]) if folded else [line]
    return out


def chunks(lines):
    """The narration between the steps' count lines, one list per run."""
    runs, run = [], []
    for line in lines:
        if COUNT.match(line):
            if run:
                runs.append(run)
            run = []
        else:
            run.append(line)
    return runs + ([run] if run else [])


# Before any script of the page: the narration kept line by line, the steps
# each animation frame ran, a fixed clock for the game's random seed until the
# first frame (the effects of the gold are then the same every run), and a
# driver the test may install that runs before each frame.
HOOKS = """
window.__log = [];
const print = console.log;
console.log = function (...args) { window.__log.push(args.join(' ')); print.apply(console, args); };
window.__frames = [];
const realNow = Date.now;
Date.now = () => 1700000000000;
const animate = window.requestAnimationFrame.bind(window);
window.requestAnimationFrame = function (callback) {
  return animate(function (time) {
    Date.now = realNow;
    if (window.__drive) window.__drive();
    const before = window.__log.length;
    callback(time);
    let steps = 0;
    for (let i = before; i < window.__log.length; ++i) steps += /^\\d+$/.test(window.__log[i]);
    window.__frames.push([performance.now(), steps]);
  });
};
"""

# Walks the route step-exactly: before each frame it replays the steps the
# last frame ran (one per count line) on a model of the player's movement
# (speed, cell by cell, held arrow, stuck and the shared effect timer), checks
# it against the position each piece of gold prints, and holds the arrow
# toward the next cell. A move, once started, runs to its cell, so the arrow
# held is the one for the move after the current one. Given the page points
# of the on-screen pad's arrows, one finger holds and slides between them
# instead of the keys, until the first piece of gold is touched.
WALKER = """
const [route, speed, cell, effectSteps, start, pad] = arguments;
const canvas = document.getElementById('canvas');
const codes = {'-1,0': 'ArrowLeft', '1,0': 'ArrowRight', '0,-1': 'ArrowUp', '0,1': 'ArrowDown'};
const gold = /^(-?\\d+) (-?\\d+)(Hide|Stuck|Time Increase|Time Decreased) Event Triggered\\.$/;
const p = {x: start[0] * cell, y: start[1] * cell, moving: false, dx: 0, dy: 0, target: 0,
           hidden: false, stuck: false, dec: false, inc: false, timer: 0};
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
    const at = code || held;
    const finger = new Touch({identifier: 7, target: canvas, clientX: pad[at][0], clientY: pad[at][1]});
    const type = !held ? 'touchstart' : code ? 'touchmove' : 'touchend';
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
  const from = p.moving ? [p.dx ? p.target / cell : p.x / cell, p.dy ? p.target / cell : p.y / cell]
                        : [p.x / cell, p.y / cell];
  while (next < route.length && route[next][0] === from[0] && route[next][1] === from[1]) ++next;
  press(next < route.length ? `${route[next][0] - from[0]},${route[next][1] - from[1]}` : null);
};
"""


class Browser:
    """A fresh headless Chromium. `screen` is a page of width x height CSS
    pixels at a pixel ratio, as a phone when `touch`."""

    def __init__(self, url, hook="", screen=(1280, 800, 1), touch=False):
        self.profile = tempfile.mkdtemp(prefix="dungeon-web-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     "--window-size=1000,900", f"--user-data-dir={self.profile}"):
            options.add_argument(flag)
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": HOOKS + hook})
        self.url = url
        self.touch = touch
        if touch:
            self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                        {"enabled": True, "maxTouchPoints": 5})
        self.resize(*screen)

    def resize(self, width, height, ratio=1):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": self.touch})

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def log(self):
        return self.js("return window.__log")

    def wait(self, what, condition, seconds=20):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if condition():
                return
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what}")

    def wait_steps(self, count):
        """Until `count` more steps have run."""
        start = sum(1 for line in self.log() if COUNT.match(line))
        self.wait(f"{count} steps", lambda: sum(1 for l in self.log() if COUNT.match(l)) >= start + count)

    def load(self):
        self.driver.get(self.url)
        self.wait("the first frame", lambda: any(COUNT.match(l) for l in self.log()), 60)
        self.canvas = self.driver.find_element(By.ID, "canvas")

    def output(self):
        """The canvas: its pixels' size and its place on the page in CSS pixels."""
        return self.js("""const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
                          return [c.width, c.height, r.left, r.top, r.width, r.height];""")

    def page_point(self, x, y):
        """A point of the canvas's pixels on the page, in CSS pixels."""
        width, height, left, top, css_w, css_h = self.output()
        return left + x * css_w / width, top + y * css_h / height

    def view(self):
        return view_rect(*self.output()[:2])

    def view_point(self, x, y):
        """A point of the 800 x 608 view on the page."""
        vx, vy, vw, vh = self.view()
        return self.page_point(vx + x * vw / VIEW[0], vy + y * vh / VIEW[1])

    def screenshot(self, name=None):
        """The view as the canvas shows it, at the canvas's pixels."""
        shot = Image.open(io.BytesIO(self.canvas.screenshot_as_png)).convert("RGB")
        if name:
            shot.save(SHOTS / f"{name}.png")
        width = self.output()[0]
        vx, vy, vw, vh = (round(v * shot.width / width) for v in self.view())
        return shot.crop((vx, vy, vx + vw, vy + vh))

    def picture(self, name=None):
        return self.screenshot(name).resize(VIEW, Image.NEAREST)

    def narrated(self, act, text):
        """Does `act`; given `text`, waits for the narration run holding it and returns it."""
        before = len(self.log())
        act()
        return new_chunk(self, before, text) if text else None

    def click(self, button, until=None):
        x, y, w, h = CONST["buttons"][button]
        px, py = self.view_point(x + w / 2, y + h / 2)
        action = ActionBuilder(self.driver)
        action.pointer_action.move_to_location(round(px), round(py)).click()
        return self.narrated(action.perform, until)

    def finger(self, kind, x=0, y=0):
        """One finger down, moved or lifted at a page point, as the browser reports touches."""
        points = [] if kind == "touchEnd" else [{"x": x, "y": y, "id": 1}]
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

    def tap(self, x, y):
        self.finger("touchStart", x, y)
        self.wait_steps(2)
        self.finger("touchEnd")

    def control(self, name, at=(0.5, 0.5)):
        """A point of an on-screen control on the page: `at` is the fraction across it."""
        width, height = self.output()[:2]
        x, y, w, h = touch_layout(width, height, self.view())[name]
        return self.page_point(x + at[0] * w, y + at[1] * h)

    def keys(self, key, hold=0.1, until=None):
        return self.narrated(ActionChains(self.driver).key_down(key).pause(hold).key_up(key).perform,
                             until)


# The stored folder, as IndexedDB holds it: file name -> bytes.
STORED = """
const done = arguments[arguments.length - 1], files = {};
const open = indexedDB.open('/Assets/bin');
open.onsuccess = () => {
  const store = open.result.transaction('FILE_DATA').objectStore('FILE_DATA'), keys = store.getAllKeys();
  const all = store.getAll();
  all.onsuccess = () => { keys.result.forEach((k, i) => files[k.split('/').pop()] =
    Array.from(all.result[i].contents || [], b => b & 255)); open.result.close(); done(files); };
};
open.onerror = () => done(null);
"""


def new_chunk(browser, before, text):
    """Waits for a narration run holding `text` after `before` lines; returns it."""
    def found():
        return [c for c in chunks(browser.log()[before:]) if text in c]
    browser.wait(f'"{text}"', lambda: found() and COUNT.match(browser.log()[-1]))
    return found()[0]


def same(actual, expected, message):
    """Narration compared line for line; a difference is shown as a diff."""
    if actual != expected:
        sys.stdout.writelines(difflib.unified_diff(
            [l + "\n" for l in expected], [l + "\n" for l in actual], "desktop", "browser"))
    check(actual == expected, message)


PASSED = []


def check(condition, message):
    if not condition:
        raise AssertionError(message)
    PASSED.append(message)
    print(f"ok: {message}")


def main():
    global CONST, SHOTS
    build = Path(sys.argv[1]).resolve()
    SHOTS = build / "screenshots"
    SHOTS.mkdir(exist_ok=True)
    CONST = constants()
    golden = [l for l in unfold((ROOT / "tests/golden/pause.log").read_text().splitlines())
              if not l.startswith("#> ")]
    runs = chunks(golden)
    startup = runs[0]
    play = next(c for c in runs if "PlayState constructor called..." in c)
    pause = next(c for c in runs if "PauseState constructor called..." in c)

    class Quiet(http.server.SimpleHTTPRequestHandler):
        extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                          ".wasm": "application/wasm"}

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(Quiet, directory=str(build)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_port}/index.html"
    try:
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
                browser.load() if plays else browser.driver.get(url)
                browser.wait(message, lambda: words in page_text(browser, element))
                check(plays or page_text(browser, element) == words, message)
        with Browser(url) as browser:
            reference = run(browser, startup, play, pause)
        with Browser(url) as browser:
            pace(browser)
        for width, height, walk in ((390, 844, True), (844, 390, False)):
            with Browser(url, screen=(width, height, 3), touch=True) as browser:
                phone(browser, reference, walk)
    finally:
        server.shutdown()


def pace(browser, seconds=6):
    """Walking at 1280 x 800: steps a second, and the steps in which the
    player moved (the walker's model) against those whose frame drew into the
    canvas (WebGL draws with no framebuffer bound)."""
    browser.load()
    before = len(browser.log())
    browser.click("Play")
    new_chunk(browser, before, "PlayState constructor initialized successfully...")
    route = route_through_gold(CONST["grid"], CONST["start"], CONST["gold"])
    browser.js(WALKER, route, CONST["speed"], CONST["cell"], CONST["effect"], CONST["start"])
    browser.js("""window.__drawn = 0;
        for (const gl of [WebGLRenderingContext, WebGL2RenderingContext].map(c => c.prototype))
          for (const name of ['drawArrays', 'drawElements']) {
            const draw = gl[name];
            gl[name] = function (...args) {
              window.__drawn += !this.getParameter(this.FRAMEBUFFER_BINDING); return draw.apply(this, args); };
          }
        const frames = window.__frames, push = frames.push.bind(frames);
        window.__paced = frames.length;
        frames.push = f => { const p = window.__walk.p; f.push(window.__drawn, p.x, p.y);
                             window.__drawn = 0; return push(f); };""")
    time.sleep(seconds)
    frames = browser.js("return window.__frames.slice(window.__paced + 1)")
    rate = sum(f[1] for f in frames) / ((frames[-1][0] - frames[0][0]) / 1000)
    # A frame's steps moved the player when the model, which follows them on
    # the next frame, is elsewhere then.
    moved = [(f[1], f[2]) for f, after in zip(frames, frames[1:]) if f[3:] != after[3:]]
    drawn = sum(1 for _, d in moved if d)
    print(f"walking at 1280 x 800: {rate:.1f} steps a second, a new picture for {drawn} of "
          f"{sum(s for s, _ in moved)} steps in which the player moved")
    check(rate > 30 and drawn > len(moved) / 2, "the browser build walks at a steady pace")


def page_text(browser, element):
    return browser.driver.find_element(By.ID, element).text


def readable(shot, reference, page):
    """The view's screenshot against the 1 x picture scaled smoothly to its size."""
    difference = mean_difference(shot, reference.resize(shot.size, Image.LANCZOS))
    check(difference < READABLE, f"the menu in a {page} page, drawn {shot.width} x {shot.height}, "
          f"reads as the 1 x picture (mean difference {difference:.1f} of 255)")


def one_x_menu(browser):
    """The menu at 1 x: the page made just large enough for an 800 x 608 canvas."""
    browser.resize(800, 900)
    browser.wait("the page at 800 wide", lambda: browser.output()[0] == 800)
    keys_line = browser.js("return innerHeight") - browser.output()[5]
    browser.resize(800, VIEW[1] + round(keys_line))
    browser.wait("an 800 x 608 canvas", lambda: browser.output()[:2] == list(VIEW))
    browser.wait_steps(3)
    reference = browser.screenshot("menu-1x")
    browser.resize(1280, 800)
    browser.wait("the page at 1280 wide", lambda: browser.output()[0] == 1280)
    browser.wait_steps(3)
    return reference


def player_box():
    """The cells around the player at the start, in the view: the camera keeps
    the player in the middle of the view, so the picture changes there as the
    dungeon moves under the feet."""
    cell, (column, row) = CONST["cell"], CONST["start"]
    x = column * cell - min(max(column * cell + cell // 2 - VIEW[0] // 2, 0), 1600 - VIEW[0])
    y = row * cell - min(max(row * cell + cell // 2 - VIEW[1] // 2, 0), 608 - VIEW[1])
    return x - cell, y - cell, x + 2 * cell, y + 2 * cell


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
    browser.driver.save_screenshot(str(SHOTS / f"page-{size}.png"))

    def tap_until(point, text):
        return browser.narrated(lambda: browser.tap(*point), text)

    x, y, w, h = CONST["buttons"]["Play"]
    tap_until(browser.view_point(x + w / 2, y + h / 2),
              "PlayState constructor initialized successfully...")
    check(browser.js("return Module.SDL2.audioContext.state") == "running",
          f"{page}: the sound plays once the player has tapped")
    # A double tap, a swipe and a pinch on the picture, and a finger on the
    # pad that slides off the page: afterwards nothing is held.
    mid = browser.view_point(400, 300)
    for _ in range(2):
        browser.tap(*mid)
    for kind, points in (("touchStart", [mid]), ("touchMove", [(mid[0] - 120, mid[1])]),
                         ("touchEnd", []), ("touchStart", [mid, (mid[0] + 40, mid[1])]),
                         ("touchMove", [(mid[0] - 60, mid[1]), (mid[0] + 100, mid[1])]),
                         ("touchEnd", []), ("touchStart", [browser.control("pad", (0.125, 0.5))]),
                         ("touchMove", [(css_width + 40, css_height + 40)]), ("touchEnd", [])):
        browser.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
            {"x": x, "y": y, "id": i + 1} for i, (x, y) in enumerate(points)]})
        browser.wait_steps(2)
    browser.wait_steps(40)
    start = browser.picture()
    browser.wait_steps(15)
    box = player_box()
    check(ImageChops.difference(start.crop(box), browser.picture().crop(box)).getbbox() is None,
          f"{page}: after a double tap, a swipe, a pinch and a finger sliding off the page, "
          "nothing walks")
    browser.finger("touchStart", *browser.control("pad", (0.875, 0.5)))
    browser.wait_steps(15)
    walked = browser.picture(f"play-{size}")
    browser.finger("touchEnd")
    check(ImageChops.difference(start.crop(box), walked.crop(box)).getbbox() is not None,
          f"{page}: a tap on Play plays, and holding the pad's right arrow walks the player")
    tap_until(browser.control("Pause"), "PauseState constructor called...")
    check(True, f"{page}: the Pause button pauses")
    if not walk:
        return
    # A new game from the pause screen's button, walked by one finger on the
    # pad to the first piece of gold, in step with a model of held arrows.
    tap_until(browser.control("Menu"), "MenuState constructor initialized successfully...")
    tap_until(browser.view_point(x + w / 2, y + h / 2),
              "PlayState constructor initialized successfully...")
    route = route_through_gold(CONST["grid"], CONST["start"], CONST["gold"])
    route = route[:next(i for i, c in enumerate(route) if c in CONST["gold"]) + 1]
    pad = {f"{dx},{dy}": browser.control("pad", (0.5 + 0.375 * dx, 0.5 + 0.375 * dy))
           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))}
    browser.js(WALKER, route, CONST["speed"], CONST["cell"], CONST["effect"], CONST["start"], pad)
    browser.wait("the first piece of gold", lambda: browser.js("return window.__walk.done"), 60)
    check(not browser.js("return window.__walk.errors"),
          f"{page}: a finger on the pad walks {len(route)} cells to the first gold "
          "in step with held arrows, as the narration of the gold shows")


def run(browser, startup, play, pause):
    browser.load()
    first_frame = next(t for t, steps in browser.js("return window.__frames") if steps)
    print(f"time to the first menu frame: {first_frame / 1000:.2f} s")
    same(chunks(browser.log())[0], [l for l in startup if l != SOFTWARE_RENDERER],
         "start-up and menu narrate as on the desktop")
    icons = browser.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        fetch('manifest.webmanifest').then(r => r.json()).then(m => Promise.all(m.icons.map(i =>
          new Promise(ok => { const img = new Image(); img.src = i.src; img.onerror = () => ok(i.src);
            img.onload = () => ok(`${img.naturalWidth}x${img.naturalHeight} ${i.purpose}`); }))))
          .then(done, e => done(String(e)));""")
    check(icons == ["192x192 any", "512x512 any", "512x512 maskable"],
          f"the manifest parses and its icons load ({icons})")
    menu = browser.screenshot("menu-1280x800")
    reference = one_x_menu(browser)
    readable(menu, reference, "1280 x 800")

    same(browser.click("Play", "PlayState constructor called..."), play,
         "a click on Play builds the world as on the desktop")
    # Browsers hold a page's audio until the player's first gesture; SDL's
    # audio must go on with it, or the browser game stays silent.
    check(browser.js("const a = Module.SDL2 && Module.SDL2.audioContext; return a && a.state") == "running",
          "the sound plays once the player has clicked")
    browser.wait_steps(3)
    start = browser.picture()
    browser.keys(Keys.RIGHT, 0.5)
    browser.wait_steps(15)
    walked = browser.picture("play")
    box = player_box()
    check(ImageChops.difference(start.crop(box), walked.crop(box)).getbbox() is not None,
          "holding Right moves the player")

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
    first = browser.driver.current_window_handle
    browser.driver.switch_to.new_window("tab")
    browser.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": HOOKS})
    browser.load()
    second = browser.driver.current_window_handle
    browser.driver.switch_to.window(first)
    browser.canvas = browser.driver.find_element(By.ID, "canvas")

    # A whole game, won.
    before = len(browser.log())
    browser.click("Play")
    new_chunk(browser, before, "PlayState constructor initialized successfully...")
    route = route_through_gold(CONST["grid"], CONST["start"], CONST["gold"])
    browser.js(WALKER, route, CONST["speed"], CONST["cell"], CONST["effect"], CONST["start"])
    walk_from = len(browser.js("return window.__frames"))
    browser.wait("the game to be won", lambda: browser.js("return window.__walk.done"), 150)
    frames = browser.js("return window.__frames")[walk_from:]
    check(not browser.js("return window.__walk.errors"), "the walk kept step with the game")
    won = new_chunk(browser, before, "Info written to file successfully: Assets\\bin\\scores.bin")
    lines = browser.log()[before:]
    lines = lines[lines.index("PlayState constructor called..."):]
    # The play screen's steps: the count lines before the winning step's
    # narration are the menu's step that made the play screen and all of the
    # play screen's but the winning one.
    steps = sum(1 for line in lines[:lines.index(won[0])] if COUNT.match(line))
    effects = "\n".join(lines)
    expected = 10 * (90 - steps // 60 + 5 * effects.count("Time Increase Event Triggered.")
                     - 10 * effects.count("Time Decreased Event Triggered."))
    browser.picture("win")

    seconds = (frames[-1][0] - frames[0][0]) / 1000
    pictures = sum(1 for _, s in frames if s) / seconds
    rate = sum(s for _, s in frames) / seconds

    # The second tab, which never saw that score, turns the sound off, then
    # wins a score of 7 (appended to its folder and saved, as the game does).
    browser.driver.switch_to.window(second)
    browser.js("document.getElementById('canvas').focus()")
    browser.keys("m")
    browser.wait("the second tab's choice stored", lambda: "sound off" in bytes(
        browser.driver.execute_async_script(STORED).get("preferences.txt", [])).decode())
    browser.js("""const FS = Module.FS, f = '/Assets/bin/scores.bin';
                  const old = FS.analyzePath(f).exists ? FS.readFile(f) : new Uint8Array(0);
                  const all = new Uint8Array(old.length + 4); all.set(old); all[old.length] = 7;
                  FS.writeFile(f, all); Module.saveFolder();""")
    time.sleep(1)
    browser.driver.close()
    browser.driver.switch_to.window(first)
    browser.driver.refresh()
    browser.load()
    stored = browser.driver.execute_async_script(STORED)
    scores = bytes(stored.get("scores.bin", []))
    scores = [int.from_bytes(scores[i:i + 4], "little", signed=True) for i in range(0, len(scores), 4)]
    check(scores == [expected, 7] and "sound off" in bytes(stored["preferences.txt"]).decode(),
          f"both tabs' scores, {expected} and 7, and the second tab's sound off are in IndexedDB "
          f"after a reload (found {scores})")
    scores = browser.click("Scores", "ScoresState constructor initialized successfully...")
    check("Info read from file successfully: Assets\\bin\\scores.bin" in scores,
          "the Scores screen reads the stored score")
    browser.wait_steps(3)
    check(ImageChops.difference(empty_scores, browser.picture("scores")).getbbox() is not None,
          "the Scores screen shows it")

    # A game ended with Escape; the page offers another, which starts afresh.
    browser.keys(Keys.RETURN)
    browser.click("Play", "PlayState constructor initialized successfully...")
    browser.keys(Keys.ESCAPE)
    again = browser.driver.find_element(By.ID, "again")
    browser.wait("the page's Play again", again.is_displayed)
    before = len(browser.log())
    again.click()
    browser.wait("the menu again", lambda: any(COUNT.match(l) for l in browser.log()[before:]))
    same(chunks(browser.log()[before:])[0], [l for l in startup if l != SOFTWARE_RENDERER],
         "after Escape, the page's Play again starts the game afresh, narrated as the first start")
    browser.wait_steps(3)
    readable(browser.screenshot("menu-again"), reference, "1280 x 800 (after Play again)")

    # Offline, the service worker's copy of the page starts the game.
    browser.driver.execute_async_script("navigator.serviceWorker.ready.then(arguments[0])")
    browser.driver.execute_cdp_cmd("Network.enable", {})
    browser.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    browser.load()
    same(chunks(browser.log())[0] if browser.js("return !!navigator.serviceWorker.controller") else [],
         [l for l in startup if l != SOFTWARE_RENDERER],
         "offline, a reload starts the game from the service worker's files and narrates the menu")
    browser.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})

    # A storage of one byte: the page says at once what was not kept, and
    # the next save is narrated as failed.
    browser.driver.execute_cdp_cmd("Storage.overrideQuotaForOrigin", {
        "origin": browser.url.rsplit("/", 1)[0], "quotaSize": 1})
    browser.keys("m")
    browser.wait("a word on the refused save", lambda: "not kept" in page_text(browser, "note"))
    check(page_text(browser, "note").startswith("not kept: the choice sound on (the browser's "
                                                "storage for this page is full)"),
          "a save refused by a full storage is told on the page: " + page_text(browser, "note"))
    browser.keys("m", until="Preferences could not be saved: Assets\\bin\\preferences.txt")
    check(True, "the next save, with the storage full, is narrated as failed")

    print(f"in play: {pictures:.1f} pictures and {rate:.1f} steps a second")
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
