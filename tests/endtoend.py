"""What the end-to-end scripts share: bounded waits, loopback ports, the program started as a station
without a window and with a throwaway home, and the simulator's console."""
import os
import socket
import subprocess
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def accepting(port):
    try:
        socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
        return True
    except OSError:
        return False


def until(what, timeout=30.0, step=0.05, why=None):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = what()
        if value:
            return value
        time.sleep(step)
    raise AssertionError(f"timed out waiting for {why or what.__doc__ or what}")


def expect(actual, wanted, what):
    if actual != wanted:
        raise AssertionError(f"{what}: {actual!r}, wanted {wanted!r}")


def start_program(program, home, keys):
    """The program as a headless station with `home` as its home, whose config.xml holds `keys`: no
    display and no platform chosen for it, as a service manager would start it."""
    config = os.path.join(home, ".config", "ostrel-blackbody")
    os.makedirs(config)
    with open(os.path.join(config, "config.xml"), "w") as f:
        f.write("<Settings><Chart>" + "".join(f"<{k}>{v}</{k}>" for k, v in keys.items())
                + "</Chart></Settings>\n")
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"))
    return subprocess.Popen([program, "--headless"], env=env)


def sim_command(sim, command, shows):
    """Gives the simulator a console command and waits for the line that shows it took effect; that line."""
    sim.stdin.write(command + "\n")
    sim.stdin.flush()
    while not shows(line := sim.stdout.readline()):
        assert line, f"the simulator ended before {command!r} took effect"
    return line
