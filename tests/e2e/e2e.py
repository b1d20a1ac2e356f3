#!/usr/bin/python3
"""End-to-end tests of the real program: the binary under Xvfb and openbox, against drawd.

Run as: dbus-run-session -- /usr/bin/python3 e2e.py SCENARIO --binary B --drawd D --port P
--assets DIR. Each scenario starts its own virtual screen, accessibility bus, drawd and
program, with HOME in a fresh temporary folder, and stops them all at the end. The program
runs without the right to set the clock; drawd runs under the same (possibly shifted) time,
so the clock already agrees with the Date it serves.

The window is read through the accessibility interface (buttons, tables, message boxes)
and, for the tiles, from a screenshot compared with the tile pictures.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.request

import pyatspi
from PIL import Image

ENDPOINT = ("/ajaxHTTP/gamedraw/GetOpenNumber.aspx?sPass=7D3E0C9A61F2B84E5A0D7C3F916E2B48"
            "&idMode=8&iType=2&iCount=1")
PLAN_BUTTON = "个位大小正则计划"
PLAN_KEY = "个位正则大小"
LIBFAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


class Failure(Exception):
    pass


def wait_for(what, predicate, timeout, interval=0.2):
    deadline = time.monotonic() + timeout
    last = None
    while time.monotonic() < deadline:
        try:
            last = predicate()
            if last:
                return last
        except Exception as error:  # the accessibility tree changes under us
            last = error
        time.sleep(interval)
    raise Failure(f"timed out after {timeout}s waiting for {what} (last: {last!r})")


class Session:
    """A virtual screen, an accessibility bus, drawd and the program."""

    def __init__(self, args, fake_time=None, drawd_delay_ms=0, start_drawd=True):
        self.args = args
        self.processes = []
        self.home = tempfile.mkdtemp(prefix="tallyrune-e2e-")
        self.log_path = os.path.join(self.home, "drawd.log")
        self.env = dict(os.environ)
        self.env.update({"HOME": self.home, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                         "LANG": "C.UTF-8", "NO_AT_BRIDGE": "0"})
        for key in ("XDG_CONFIG_HOME", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY"):
            self.env.pop(key, None)
        if fake_time:
            # The same shifted clock for drawd and the program; monotonic time stays real.
            self.env.update({"LD_PRELOAD": LIBFAKETIME, "FAKETIME": "@" + fake_time,
                             "FAKETIME_DONT_FAKE_MONOTONIC": "1", "TZ": "UTC",
                             "FAKETIME_NO_CACHE": "1"})
            # Sanitizer builds want their runtime first in the library list; libfaketime
            # only wraps the clock calls, so the order does not matter to them here.
            asan = self.env.get("ASAN_OPTIONS", "")
            self.env["ASAN_OPTIONS"] = (asan + ":" if asan else "") + "verify_asan_link_order=0"
        try:
            self.start_screen()
            if start_drawd:
                self.start([args.drawd, "--port", str(args.port), "--log", self.log_path,
                            "--delay-ms", str(drawd_delay_ms)], env=self.env)
                wait_for("drawd", lambda: self.drawd_up(), 10)
            self.program = self.start(["setpriv", "--bounding-set=-sys_time", args.binary],
                                      env=self.env)
        except BaseException:
            self.stop()
            raise

    def start(self, command, env=None, **kwargs):
        # Each process writes to a log of its own, shown when the scenario fails.
        name = os.path.basename(command[-1] if command[0] == "setpriv" else command[0])
        log = open(os.path.join(self.home, f"{len(self.processes)}-{name}.log"), "wb")
        process = subprocess.Popen(command, env=env or self.env, stdout=log,
                                   stderr=subprocess.STDOUT, **kwargs)
        log.close()
        self.processes.append(process)
        return process

    def print_logs(self):
        for entry in sorted(os.listdir(self.home)):
            if entry.endswith(".log") and entry != "drawd.log":
                with open(os.path.join(self.home, entry), errors="replace") as log:
                    tail = log.read()[-3000:]
                if tail.strip():
                    print(f"--- {entry} ---\n{tail}")

    def start_screen(self):
        read_end, write_end = os.pipe()
        clean = {k: v for k, v in self.env.items() if k not in ("LD_PRELOAD", "FAKETIME")}
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                    "-nolisten", "tcp"], env=clean, pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            display = pipe.readline().strip()
        if not display:
            raise Failure("Xvfb did not start")
        self.env["DISPLAY"] = ":" + display
        clean["DISPLAY"] = self.env["DISPLAY"]
        self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=clean)
        self.start(["openbox"], env=clean)
        time.sleep(1.0)

    def drawd_up(self):
        # A HEAD, so that the request log holds only the program's fetches of the results.
        request = urllib.request.Request(f"http://127.0.0.1:{self.args.port}/", method="HEAD")
        try:
            with urllib.request.urlopen(request, timeout=5):
                return True
        except OSError:
            return False

    def fetch_page(self):
        with urllib.request.urlopen(f"http://127.0.0.1:{self.args.port}{ENDPOINT}",
                                    timeout=30) as answer:
            return answer.read().decode("gbk", "replace")

    def requests_logged(self):
        if not os.path.exists(self.log_path):
            return []
        with open(self.log_path, encoding="utf-8", errors="replace") as log:
            return [line for line in log if "GetOpenNumber" in line and "GET" in line]

    def stop(self):
        failed = sys.exc_info()[0] is not None
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
        if failed:
            self.print_logs()
        shutil.rmtree(self.home, ignore_errors=True)

    # --- the window, through the accessibility interface ---

    def application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "tallyrune":
                return app
        return None

    def find_all(self, predicate):
        app = self.application()
        if app is None:
            return []
        return list(pyatspi.findAllDescendants(app, predicate))

    def button(self, caption):
        found = self.find_all(lambda a: a.getRoleName() == "push button" and a.name == caption)
        return found[0] if found else None

    def plan_buttons(self):
        return self.find_all(lambda a: a.getRoleName() == "push button"
                             and a.name.endswith("正则计划"))

    def enabled(self, accessible):
        return accessible.getState().contains(pyatspi.STATE_ENABLED)

    def table_with_columns(self, count):
        """The list with that many columns (each list of the window has its own count)."""
        for table in self.find_all(lambda a: a.getRoleName() == "table"):
            if table.queryTable().nColumns == count:
                return table
        return None

    def table_cells(self, table, row):
        t = table.queryTable()
        return [t.getAccessibleAt(row, c).name for c in range(t.nColumns)]

    def dialogs(self):
        return self.find_all(lambda a: a.getRoleName() in ("dialog", "alert"))

    def dialog_texts(self):
        texts = []
        for dialog in self.dialogs():
            labels = pyatspi.findAllDescendants(dialog, lambda a: a.getRoleName() == "label")
            texts.append((dialog.name, " ".join(label.name for label in labels)))
        return texts

    def assert_no_error_box(self):
        for caption, _ in self.dialog_texts():
            if caption == "错误":
                raise Failure("an error box appeared (the clock was to be set)")

    # --- the window, through X ---

    def window_id(self):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tallyrune$"], env=self.env,
                             capture_output=True, text=True).stdout.split()
        return out[0] if out else None

    def outer_size(self, window):
        geometry = subprocess.run(["xdotool", "getwindowgeometry", window], env=self.env,
                                  capture_output=True, text=True).stdout
        width, height = map(int, re.search(r"Geometry: (\d+)x(\d+)", geometry).groups())
        extents = subprocess.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"], env=self.env,
                                 capture_output=True, text=True).stdout
        numbers = [int(n) for n in re.findall(r"\d+", extents.split("=")[-1])] \
            if "=" in extents else [0, 0, 0, 0]
        left, right, top, bottom = (numbers + [0, 0, 0, 0])[:4]
        return width + left + right, height + top + bottom

    def screenshot(self, window):
        path = os.path.join(self.home, "shot.png")
        subprocess.run(["import", "-window", window, path], env=self.env, check=True,
                       capture_output=True)
        return Image.open(path).convert("RGB")


def newest_draws(page):
    """(period id, number) pairs of the page, newest first, as the program extracts them."""
    cleaned = page.replace("</td><td class='redball'>", "")
    ids = [m.strip() for m in re.findall(r"center'><td>(.*?)</td><td>", cleaned)]
    numbers = [m[1:6] for m in re.findall(r">\d{5}<", cleaned)]
    return list(zip(ids, numbers))


def tiles_shown(session, window):
    """Reads the five digits on the plate by comparing each tile place with the pictures."""
    shot = session.screenshot(window)
    plate = Image.open(os.path.join(session.args.assets, "plate.png")).convert("RGBA")
    background = shot.getpixel((shot.width - 2, 2))
    base = Image.new("RGBA", plate.size, background + (255,))
    base.alpha_composite(plate)
    digits = []
    for k in range(5):
        left, top = 2 + 60 * k, 6
        region = shot.crop((left, top, left + 59, top + 83))
        best = None
        for d in range(10):
            tile = Image.open(os.path.join(session.args.assets, f"digit{d}.png")).convert("RGBA")
            expected = base.crop((left, top, left + 59, top + 83))
            expected.alpha_composite(tile)
            expected = expected.convert("RGB")
            diff = sum(abs(a - b) for p, q in zip(region.getdata(), expected.getdata())
                       for a, b in zip(p, q)) / (59 * 83 * 3)
            if best is None or diff < best[0]:
                best = (diff, d)
        if best[0] > 12:
            return None
        digits.append(best[1])
    return "".join(map(str, digits))


def stored_plan(session, key):
    path = os.path.join(session.home, ".config", "syst.tb")
    if not os.path.exists(path):
        return None
    with open(path, "rb") as settings:
        text = settings.read().decode("gbk", "replace")
    match = re.search(r"^" + key + r"=(.*?)\r?$", text, re.M)
    return match.group(1) if match else None


def draw_list_matches(session, expected):
    """True once the draw list holds drawd's draws, the newest first."""
    table = session.table_with_columns(10)
    if table is None or table.queryTable().nRows != len(expected):
        return False
    first = session.table_cells(table, 0)
    return first[0] == expected[0][0] and first[1].startswith(expected[0][1])


def plan_table_prediction(session):
    """The last row of the plan table once it holds a prediction row, else None."""
    table = session.table_with_columns(2)
    rows = table.queryTable().nRows if table is not None else 0
    last = session.table_cells(table, rows - 1) if rows else None
    return last if last and "预测【" in last[1] else None


# --- scenarios ---

def scenario_startup(args):
    """Window, frame size, locked buttons until the first refresh, tables, tiles, a plan."""
    session = Session(args, drawd_delay_ms=4000)
    try:
        window = wait_for("the window", session.window_id, 40)
        wait_for("a 638 x 665 frame", lambda: session.outer_size(window) == (638, 665), 10)
        buttons = wait_for("ten plan buttons", lambda: len(session.plan_buttons()) == 10
                           and session.plan_buttons(), 20)
        if any(session.enabled(b) for b in buttons):
            raise Failure("a plan button is enabled before the first refresh ended")
        expected = newest_draws(session.fetch_page())
        wait_for("the plan buttons enabled", lambda: all(
            session.enabled(b) for b in session.plan_buttons()), 30)
        if not expected:
            raise Failure("drawd's page lists no draws")
        wait_for(f"the draw list with {len(expected)} rows, first {expected[0]}",
                 lambda: draw_list_matches(session, expected), 10)
        wait_for("the tiles showing " + expected[0][1],
                 lambda: tiles_shown(session, window) == expected[0][1], 10)

        button = wait_for("the plan button " + PLAN_BUTTON,
                          lambda: session.button(PLAN_BUTTON), 10)
        button.queryAction().doAction(0)
        pattern = wait_for("a stored plan", lambda: stored_plan(session, PLAN_KEY), 20)
        if len(pattern) != 50 or set(pattern) - set("大小"):
            raise Failure(f"stored plan {pattern!r} is not 50 symbols of 大 and 小")
        # While the window's thread is busy the accessibility tree can come back empty, so
        # every lookup after the click is retried until it settles.
        wait_for("the plan table ending in a prediction",
                 lambda: plan_table_prediction(session), 20)
        session.assert_no_error_box()
    finally:
        session.stop()


def scenario_schedule(args):
    """A refresh at second 3 of a draw minute and another at second 30."""
    # 10:00:57 lottery time (UTC+8) is 02:00:57 UTC.
    session = Session(args, fake_time="2026-12-11 02:00:57")
    try:
        wait_for("the window", session.window_id, 40)
        wait_for("the start-up refresh", lambda: len(session.requests_logged()) >= 1, 20)
        start = len(session.requests_logged())
        wait_for("a refresh at 10:01:03", lambda: len(session.requests_logged()) >= start + 1, 20)
        wait_for("a refresh at 10:01:30", lambda: len(session.requests_logged()) >= start + 2, 40)
        times = [re.search(r"\d\d:\d\d:\d\d", line) for line in session.requests_logged()]
        stamps = [m.group(0) for m in times if m]
        if "10:01:03" not in stamps or "10:01:30" not in stamps:
            raise Failure(f"refreshes were logged at {stamps}")
        session.assert_no_error_box()
    finally:
        session.stop()


def scenario_server_down(args):
    """Without drawd, the no-data message appears and the window still answers."""
    session = Session(args, start_drawd=False)
    try:
        wait_for("the window", session.window_id, 40)
        message = wait_for("the no-data message", lambda: [
            t for t in session.dialog_texts() if "开奖数据未成功获取" in t[1]], 30)
        if message[0][0] != "信息：":
            raise Failure(f"the message box is captioned {message[0][0]!r}")
        # The window's thread answers the accessibility queries: it is not blocked.
        wait_for("the plan buttons enabled", lambda: all(
            session.enabled(b) for b in session.plan_buttons()), 20)
        session.assert_no_error_box()
    finally:
        session.stop()


def scenario_close_while_fetching(args):
    """Closing the window while drawd delays its answer ends the program at once."""
    session = Session(args, drawd_delay_ms=20000)
    try:
        window = wait_for("the window", session.window_id, 40)
        wait_for("the start-up refresh waiting on drawd", lambda: session.requests_logged() or
                 True, 1)
        time.sleep(2.5)
        subprocess.run(["wmctrl", "-i", "-c", window], env=session.env, check=True)
        started = time.monotonic()
        status = session.program.wait(timeout=10)
        elapsed = time.monotonic() - started
        if elapsed > 2.0:
            raise Failure(f"the program took {elapsed:.1f}s to end")
        if status != 0:
            raise Failure(f"the program ended with status {status}")
    finally:
        session.stop()


SCENARIOS = {
    "startup": scenario_startup,
    "schedule": scenario_schedule,
    "server_down": scenario_server_down,
    "close_while_fetching": scenario_close_while_fetching,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--binary", required=True)
    parser.add_argument("--drawd", required=True)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--assets", required=True)
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        SCENARIOS[args.scenario](args)
    except Failure as failure:
        print(f"FAIL {args.scenario}: {failure}")
        return 1
    print(f"PASS {args.scenario}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
