#!/usr/bin/python3
"""Plays the browser build in Debian's headless Chromium.

Serves the build folder on 127.0.0.1 and checks, in one fresh browser profile:
the narration of start-up and of the menu is the desktop's; a click on Play
builds the world as on the desktop; holding Right moves the player; P pauses;
a game walked through all the gold is won, its score is in IndexedDB after a
reload and the Scores screen shows it. Saves screenshots of the menu, of play
and of the scores in <build>/screenshots, and prints the time to the first
menu frame and the frames per second in play.

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

from PIL import Image, ImageChops
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ROOT = Path(__file__).resolve().parents[2]
VIEW = (800, 608)
COUNT = re.compile(r"^\d+$")  # the line each step ends with: the screens queued
FOLDED = re.compile(r"^(\d+) x (\d+)$")  # a run of count lines in a golden transcript
# The one line the desktop's transcripts have and a browser does not: the
# golden runner has no GPU, a browser has WebGL.
SOFTWARE_RENDERER = "Accelerated renderer unavailable, using the software renderer."


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
                speed=number("gameplay/Rules.h", "kPlayerSpeed"),
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
# held is the one for the move after the current one.
WALKER = """
const [route, speed, cell, effectSteps, start] = arguments;
const canvas = document.getElementById('canvas');
const codes = {'-1,0': 'ArrowLeft', '1,0': 'ArrowRight', '0,-1': 'ArrowUp', '0,1': 'ArrowDown'};
const gold = /^(-?\\d+) (-?\\d+)(Hide|Stuck|Time Increase|Time Decreased) Event Triggered\\.$/;
const p = {x: start[0] * cell, y: start[1] * cell, moving: false, dx: 0, dy: 0, target: 0,
           hidden: false, stuck: false, dec: false, inc: false, timer: 0};
let held = null, next = 0, seen = window.__log.length;
window.__walk = {errors: [], done: false};
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
  const key = (k, type) => canvas.dispatchEvent(new KeyboardEvent(type, {code: codes[k], key: codes[k], bubbles: true}));
  if (held) key(held, 'keyup');
  if (code) key(code, 'keydown');
  held = code;
}
window.__drive = function () {
  let goldLine = null;
  for (; seen < window.__log.length; ++seen) {
    const line = window.__log[seen];
    if (line.startsWith('Info written to file successfully')) window.__walk.done = true;
    if (gold.test(line)) goldLine = line;
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
    def __init__(self, url, flags=(), hook=""):
        self.profile = tempfile.mkdtemp(prefix="dungeon-web-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     "--window-size=1000,900", f"--user-data-dir={self.profile}", *flags):
            options.add_argument(flag)
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": HOOKS + hook})
        self.url = url

    def close(self):
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

    def picture(self, name=None):
        shot = Image.open(io.BytesIO(self.canvas.screenshot_as_png)).convert("RGB")
        if name:
            shot.save(SHOTS / f"{name}.png")
        return shot.resize(VIEW, Image.NEAREST)

    def click(self, button):
        x, y, w, h = CONST["buttons"][button]
        size = self.canvas.size
        scale = size["width"] / VIEW[0]
        ActionChains(self.driver).move_to_element_with_offset(
            self.canvas, int((x + w / 2) * scale - size["width"] / 2),
            int((y + h / 2) * scale - size["height"] / 2)).click().perform()

    def keys(self, key, hold=0.0):
        ActionChains(self.driver).key_down(key).pause(hold).key_up(key).perform()


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
        for flags, hook, check_page in BAD_BROWSERS:
            browser = Browser(url, flags, hook)
            try:
                check_page(browser)
            finally:
                browser.close()
        browser = Browser(url)
        try:
            run(browser, startup, play, pause)
        finally:
            browser.close()
    finally:
        server.shutdown()


def page_text(browser, element):
    return browser.driver.find_element(By.ID, element).text


def without_webassembly(browser):
    browser.driver.get(browser.url)
    browser.wait("a word on the page", lambda: "WebAssembly" in page_text(browser, "message"))
    check(page_text(browser, "message") ==
          "This browser cannot run WebAssembly, which Dungeon Gold needs.",
          "a browser without WebAssembly is told so on the page")


def without_indexeddb(browser):
    browser.load()
    check("scores last until the page is closed" in page_text(browser, "note"),
          "a browser without IndexedDB plays, and the page says scores are not kept")


# Browsers the game cannot use in full: flags, a script run before the page's,
# and what the page must then show.
BAD_BROWSERS = [
    ([], "delete globalThis.WebAssembly;", without_webassembly),
    ([], "Object.defineProperty(window, 'indexedDB', {get: () => undefined});",
     without_indexeddb),
]


def run(browser, startup, play, pause):
    browser.load()
    first_frame = next(t for t, steps in browser.js("return window.__frames") if steps)
    same(chunks(browser.log())[0], [l for l in startup if l != SOFTWARE_RENDERER],
         "start-up and menu narrate as on the desktop")
    browser.picture("menu")

    before = len(browser.log())
    browser.click("Play")
    same(new_chunk(browser, before, "PlayState constructor called..."), play,
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
    # The camera keeps the player in the middle of the view: where the player
    # stands, the picture changes as the dungeon moves under the feet.
    cell, (column, row) = CONST["cell"], CONST["start"]
    x = column * cell - min(max(column * cell + cell // 2 - VIEW[0] // 2, 0), 1600 - VIEW[0])
    y = row * cell - min(max(row * cell + cell // 2 - VIEW[1] // 2, 0), 608 - VIEW[1])
    box = (x - cell, y - cell, x + 2 * cell, y + 2 * cell)
    check(ImageChops.difference(start.crop(box), walked.crop(box)).getbbox() is not None,
          "holding Right moves the player")

    before = len(browser.log())
    browser.keys("p", 0.1)
    same(new_chunk(browser, before, "PauseState constructor called..."), pause,
         "P pauses as on the desktop")
    browser.keys(Keys.SPACE, 0.1)
    new_chunk(browser, before, "MenuState constructor initialized successfully...")

    # The scores screen of a fresh browser, to tell a listed score by.
    before = len(browser.log())
    browser.click("Scores")
    new_chunk(browser, before, "ScoresState constructor initialized successfully...")
    browser.wait_steps(3)
    empty_scores = browser.picture()
    browser.keys(Keys.RETURN, 0.1)
    new_chunk(browser, before,
              "ResourceManager shut down function called... Sprite texture destroyed: Scores")

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

    browser.driver.refresh()
    browser.load()
    stored = browser.driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const open = indexedDB.open('/Assets/bin');
        open.onsuccess = () => {
          const get = open.result.transaction('FILE_DATA').objectStore('FILE_DATA')
                                 .get('/Assets/bin/scores.bin');
          get.onsuccess = () => done(get.result ? Array.from(get.result.contents, b => b & 255) : null);
          get.onerror = () => done(null);
        };
        open.onerror = () => done(null);
    """)
    score = int.from_bytes(bytes(stored), "little", signed=True) if stored else None
    check(score == expected, f"the score, {expected}, is in IndexedDB after a reload (found {score})")
    before = len(browser.log())
    browser.click("Scores")
    scores = new_chunk(browser, before, "ScoresState constructor initialized successfully...")
    check("Info read from file successfully: Assets\\bin\\scores.bin" in scores,
          "the Scores screen reads the stored score")
    browser.wait_steps(3)
    check(ImageChops.difference(empty_scores, browser.picture("scores")).getbbox() is not None,
          "the Scores screen shows it")

    print(f"time to the first menu frame: {first_frame / 1000:.2f} s")
    print(f"in play: {pictures:.1f} pictures and {rate:.1f} steps a second")
    print(f"screenshots: {SHOTS}")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as failure:
        print(f"FAILED: {failure}")
        print(f"web: {len(PASSED)} passed, 1 failed")
        sys.exit(1)
    print(f"web: {len(PASSED)} passed, 0 failed")
