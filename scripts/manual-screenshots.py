#!/usr/bin/python3
"""Makes the manual's pictures again: drives the program under Xvfb and openbox against the bundled
simulator, in each language, and writes docs/manual/images/<language>/*.png.

Usage: scripts/manual-screenshots.py [BUILD]   (BUILD defaults to build; it needs bin/ostrel-blackbody and
bin/bbsim). Needs Xvfb, openbox, xdotool, xwininfo and ImageMagick (import, convert).

The program is set up through its config.xml and driven over its own SCPI port (open the link, record,
set a point); the dialogs are opened from the 设置 menu with the mouse and the keyboard, as an operator
would. Every picture is reduced to a palette so that it stays small. The program bundles the pictures
docs/manual/manual.qrc names: a new picture goes there too."""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests"))
from endtoend import accepting, free_port, until  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
PROGRAM = os.path.join(BUILD, "bin", "ostrel-blackbody")
SIM = os.path.join(BUILD, "bin", "bbsim")
IMAGES = os.path.join(ROOT, "docs", "manual", "images")
# The manual's folder name for each stored "Language" value.
LANGUAGES = {"zh_CN": "Simplified Chinese", "zh_TW": "Tr Chinese", "en": "English"}
SCREEN = (1280, 1024)
# Where the window's 设置 button is: the window opens at the screen's top left at its default size,
# and the menu buttons have the same place in every language.
SETTINGS_BUTTON = (136, 75)
# The chart's 全局 button, which shows the whole curve.
OVERVIEW_BUTTON = (825, 475)
# The entries of the 设置 menu, in its order; 表格设置 last, as it is refused while a curve records.
SETTINGS_ENTRIES = {"run": 2, "remote": 3, "telemetry": 4, "chartsettings": 1}
# The port name the manual tells the operator to type.
LINK = "/tmp/ostrel-blackbody-sim"


def free_display():
    for n in range(60, 100):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return f":{n}"
    raise RuntimeError("no free X display number")


def x(env, *args, check=True):
    return subprocess.run(args, env=env, check=check, capture_output=True, text=True).stdout.strip()


def active_window(env):
    return x(env, "xdotool", "getactivewindow", check=False)


def geometry(env, window):
    info = x(env, "xwininfo", "-id", window)
    value = {}
    for line in info.splitlines():
        key, _, rest = line.strip().partition(":")
        value[key] = rest.strip()
    return (int(value["Absolute upper-left X"]), int(value["Absolute upper-left Y"]), int(value["Width"]),
            int(value["Height"]))


def shoot(env, window, path, width=None):
    """The window's picture, at most `width` wide, in a palette of 64 colours."""
    raw = path + ".raw.png"
    x(env, "import", "-window", window, raw)
    args = ["convert", raw]
    if width:
        args += ["-resize", f"{width}x>"]
    args += ["-strip", "-dither", "None", "-colors", "64", "PNG8:" + path]
    x(env, *args)
    os.remove(raw)
    print(f"{os.path.relpath(path, ROOT)}: {os.path.getsize(path) // 1024} KB")


class Scpi:
    def __init__(self, port):
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=15)
        self.lines = self.socket.makefile("rb")

    def write(self, text):
        self.socket.sendall(text.encode() + b"\n")

    def query(self, text):
        self.write(text)
        return self.lines.readline().decode().strip()

    def close(self):
        self.socket.close()


def settings_entry(env, main, entry):
    """Opens the 设置 menu's entry numbered `entry` and returns the dialog's window."""
    x(env, "xdotool", "mousemove", str(SETTINGS_BUTTON[0]), str(SETTINGS_BUTTON[1]), "click", "1")
    time.sleep(0.6)
    x(env, "xdotool", "key", *(["Down"] * entry), "Return")
    return until(lambda: (w := active_window(env)) and w != main and w, timeout=10, why="the dialog")


def close_dialog(env, main):
    x(env, "xdotool", "key", "Escape")
    until(lambda: active_window(env) == main, timeout=10, why="the main window back")


def language(env, root, name, stored, out):
    home = os.path.join(root, name)
    config = os.path.join(home, ".config", "ostrel-blackbody")
    os.makedirs(config)
    link = LINK
    if os.path.lexists(link):
        sys.exit(f"{link} is in use: stop the simulator that serves it")
    # The port the manual names, unless something else has it.
    port = 5025 if not accepting(5025) else free_port()
    keys = {"Language": stored, "LastPort": link, "LastBaud": "9600", "LastModel": "VBM100",
            "RemoteEnabled": "1", "RemotePort": str(port), "RemoteListen": "local", "RemoteWrites": "1",
            "ReportFolder": os.path.join(home, "reports")}
    with open(os.path.join(config, "config.xml"), "w") as f:
        f.write("<Settings><Chart>" + "".join(f"<{k}>{v}</{k}>" for k, v in keys.items())
                + "</Chart></Settings>\n")
    sim = subprocess.Popen([SIM, "--link", link, "--model", "VBM100", "--initial", "25", "--tau", "4",
                            "--noise", "0.02", "--seed", "7"], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL)
    program = None
    scpi = None
    try:
        until(lambda: os.path.exists(link), why="the simulator's port")
        penv = dict(env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                    XDG_DATA_HOME=os.path.join(home, ".local", "share"), LC_ALL="C.UTF-8")
        program = subprocess.Popen([PROGRAM], env=penv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        until(lambda: accepting(port), why="the program's SCPI port")
        main = until(lambda: x(env, "xdotool", "search", "--onlyvisible", "--name", "Ostrel", check=False)
                     .split("\n")[0], why="the main window")
        scpi = Scpi(port)
        scpi.write(f'SYST:LINK:OPEN "{link}",9600,VBM100')
        until(lambda: scpi.query("SYST:LINK?") == "OPEN", why="the link open")
        scpi.write("REC:STAR")
        scpi.write("SOUR:SPO 40")
        scpi.query("*OPC?")
        # Long enough for the source to settle and be called stable (the default window is 5 s).
        until(lambda: scpi.query("SOUR:STAB:TEST?") == "1", timeout=60, why="a stable source")
        time.sleep(3)
        x(env, "xdotool", "windowactivate", "--sync", main, check=False)
        x(env, "xdotool", "mousemove", str(OVERVIEW_BUTTON[0]), str(OVERVIEW_BUTTON[1]), "click", "1")
        x(env, "xdotool", "mousemove", "600", "900")
        time.sleep(0.5)
        shoot(env, main, os.path.join(out, "main.png"))
        for picture, entry in SETTINGS_ENTRIES.items():
            dialog = settings_entry(env, main, entry)
            time.sleep(0.8)
            if picture == "run":
                # The instrument, the operator and three steps, entered as the operator enters them.
                left, top, _, height = geometry(env, dialog)
                for field, text in ((250, "IR-100 S/N 2291"), (700, "Li Ming")):
                    x(env, "xdotool", "mousemove", str(left + field), str(top + 62), "click", "1")
                    x(env, "xdotool", "type", "--delay", "20", text)
                for _ in range(3):
                    x(env, "xdotool", "mousemove", str(left + 30), str(top + height - 100), "click", "1")
                    time.sleep(0.3)
                for row, set_point in enumerate(("30", "50", "80")):
                    x(env, "xdotool", "mousemove", str(left + 55), str(top + 152 + 31 * row), "click", "1")
                    x(env, "xdotool", "key", "ctrl+a")
                    x(env, "xdotool", "type", "--delay", "20", set_point)
                    x(env, "xdotool", "key", "Tab")
                x(env, "xdotool", "mousemove", "1200", "1000")
                time.sleep(0.5)
                shoot(env, dialog, os.path.join(out, "run.png"), width=720)
            else:
                shoot(env, dialog, os.path.join(out, picture + ".png"))
            close_dialog(env, main)
            if picture == "telemetry":
                scpi.write("REC:STOP")
                scpi.write("REC:DISC")
                scpi.query("*OPC?")
    finally:
        if scpi:
            scpi.close()
        if program:
            program.terminate()
            program.wait(timeout=15)
        sim.stdin.write(b"quit\n")
        sim.stdin.close()
        sim.wait(timeout=10)


def main():
    for tool in ("Xvfb", "openbox", "xdotool", "xwininfo", "import", "convert"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is needed")
    display = free_display()
    env = dict(os.environ, DISPLAY=display)
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wm = None
    try:
        until(lambda: os.path.exists(f"/tmp/.X11-unix/X{display[1:]}"), why="Xvfb")
        wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)
        with tempfile.TemporaryDirectory() as root:
            for name, stored in LANGUAGES.items():
                out = os.path.join(IMAGES, name)
                os.makedirs(out, exist_ok=True)
                language(env, root, name, stored, out)
    finally:
        if wm:
            wm.terminate()
            wm.wait()
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
