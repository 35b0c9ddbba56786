#!/usr/bin/env python3
"""The real program publishing to a real broker: readings, set points, silence, a killed program and
events kept across a broker restart. The link is opened and set points are given over SCPI, the
program's own remote control, since nothing outside the process can press the window's buttons. The
silence, which takes the stale time, runs beside the rest on a broker, simulator and station of its own."""
import concurrent.futures
import datetime
import getpass
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading

import paho.mqtt.client as mqtt

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from endtoend import accepting, expect, free_port, sim_command, start_program, until  # noqa: E402

PROGRAM, SIM = sys.argv[1], sys.argv[2]
MOSQUITTO = shutil.which("mosquitto", path="/usr/sbin:/usr/bin:" + os.environ.get("PATH", ""))
STATION = "e2e"
BASE = f"ostrel/{STATION}"


class Broker:
    """mosquitto on loopback with a configuration and a persistence folder of its own."""

    def __init__(self, root, name="broker"):
        self.port = free_port()
        folder = os.path.join(root, name)
        os.makedirs(folder)
        self.config = os.path.join(folder, "mosquitto.conf")
        with open(self.config, "w") as f:
            # Run as root, mosquitto would otherwise drop to its own user, who cannot write here.
            f.write(f"user {getpass.getuser()}\nlistener {self.port} 127.0.0.1\nallow_anonymous true\n"
                    f"persistence true\n"
                    f"persistence_location {folder}/\nlog_dest file {folder}/log.txt\n")
        self.process = None

    def start(self):
        self.process = subprocess.Popen([MOSQUITTO, "-c", self.config])
        until(lambda: accepting(self.port), why="the broker to listen")

    def stop(self):
        # SIGTERM: mosquitto writes its persistence file on the way out.
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(timeout=20)
        self.process = None


class Watcher:
    """A subscriber with a persistent session, as a plant's collector would be: QoS 1, fixed client id."""

    def __init__(self, port):
        self.lock = threading.Lock()
        self.events = {}  # seq -> event, duplicates dropped
        self.order = []  # seqs as they first arrived
        self.telemetry = []
        self.status = None
        self.client = mqtt.Client(client_id="telemetry-e2e-watcher", clean_session=False)
        self.client.reconnect_delay_set(min_delay=1, max_delay=1)
        self.client.on_message = self.message
        self.client.on_connect = lambda c, u, f, rc: c.subscribe(BASE + "/#", qos=1)
        self.client.connect("127.0.0.1", port, keepalive=5)
        self.client.loop_start()

    def message(self, client, userdata, msg):
        leaf = msg.topic[len(BASE) + 1:]
        if os.environ.get("TELEMETRY_E2E_VERBOSE"):
            print(msg.topic, msg.payload.decode(errors="replace"), flush=True)
        if leaf.startswith("cmd/"):
            return
        body = json.loads(msg.payload)
        with self.lock:
            if leaf == "status":
                self.status = body
            elif leaf == "telemetry":
                self.telemetry.append(body)
            elif leaf == "event" and body["seq"] not in self.events:
                self.events[body["seq"]] = body
                self.order.append(body["seq"])

    def event(self, type_, **fields):
        """The first event of `type_` whose fields include `fields`."""
        with self.lock:
            for seq in self.order:
                e = self.events[seq]
                if e["type"] == type_ and all(e.get(k) == v for k, v in fields.items()):
                    return e
        return None

    def reading(self, test):
        with self.lock:
            return next((t for t in self.telemetry if test(t)), None)

    def clear_telemetry(self):
        with self.lock:
            self.telemetry.clear()

    def close(self):
        self.client.loop_stop()
        self.client.disconnect()


class Program:
    """The program offscreen with a throwaway home whose config.xml names the broker and the SCPI port."""

    def __init__(self, root, broker_port, link, home="home", keys=None):
        self.port = free_port()
        extra = keys or {}
        keys = {"MqttHost": "127.0.0.1", "MqttPort": str(broker_port), "MqttStation": STATION,
                "MqttPrefix": "ostrel", "MqttCommands": "1", "LastPort": link, "LastBaud": "9600",
                "LastModel": "VBM100", "RemoteEnabled": "1", "RemotePort": str(self.port),
                "RemoteListen": "local", "RemoteWrites": "1", "ReportFolder": os.path.join(root, "reports"),
                "LabPrefix": "E2E", **extra}
        self.process = start_program(PROGRAM, os.path.join(root, home), keys)
        until(lambda: accepting(self.port), why="the program's SCPI port")
        self.scpi = socket.create_connection(("127.0.0.1", self.port), timeout=15)
        self.lines = self.scpi.makefile("rb")

    def write(self, text):
        self.scpi.sendall(text.encode() + b"\n")

    def q(self, text):
        self.write(text)
        return self.lines.readline().decode().strip()


def drive(root, broker, sim):
    watcher = Watcher(broker.port)
    commands = BASE + "/cmd/setpoint"
    # Left on the broker from long ago: the program hears it as it subscribes, and must not act on it.
    watcher.client.publish(commands, b"40", qos=1, retain=True).wait_for_publish()
    link = os.path.join(root, "bb")
    program = Program(root, broker.port, link)
    try:
        until(lambda: watcher.status and watcher.status.get("state") == "online", why="status online")
        until(lambda: watcher.event("command_rejected", reason="retained", payload="40"), why="a retained set point")
        # The station takes it off the broker, so that it does not come back at every reconnect.
        until(lambda: stored_command(broker.port) == b"", why="the retained set point cleared")
        program.write(f'SYST:LINK:OPEN "{link}",9600,VBM100')
        until(lambda: program.q("SYST:LINK?") == "OPEN", why="the link to open")

        # The simulator's numbers, as the program reads them.
        reading = until(lambda: watcher.reading(lambda t: t["link"] == "open"), why="a reading")
        expect(reading["temperature"], 25.0, "the simulator's temperature")
        expect(reading["unit"], "C", "the unit")
        until(lambda: watcher.status.get("model") == "VBM100" and watcher.status.get("port") == link,
              why="the status naming the link")

        program.write("SOUR:STAB:LIM 0.5;SOUR:STAB:WIND 1")
        program.write("SOUR:SPO 30")
        until(lambda: watcher.event("setpoint_confirmed", value=30, by="scpi"), why="the SCPI set point")
        until(lambda: watcher.event("stable"), why="stable")
        until(lambda: watcher.reading(lambda t: t["stable"] and t["stable_s"] > 0), why="a stable reading")
        until(lambda: watcher.reading(lambda t: t["temperature"] == 30.0 and t["setpoint"] == 30.0),
              why="the reading at the new set point")
        # A noisy reading is the controller's hundredths, not what a float made of them.
        sim_command(sim, "noise 0.05", lambda line: "noise ±0.05" in line)
        watcher.clear_telemetry()
        noisy = until(lambda: watcher.reading(lambda t: t["temperature"] not in (None, 30.0)), why="a noisy reading")
        expect(round(noisy["temperature"], 2), noisy["temperature"], "a reading in the controller's steps")
        sim_command(sim, "noise 0", lambda line: "noise ±0 " in line)

        watcher.client.publish(commands, b"31.5", qos=1)
        until(lambda: watcher.event("setpoint_confirmed", value=31.5, by="mqtt"), why="the MQTT set point")
        # Published retained while the station listens: the broker forwards it as published (MQTT 5).
        for qos, value in ((0, b"41"), (1, b"42")):
            watcher.client.publish(commands, value, qos=qos, retain=True)
            until(lambda: watcher.event("command_rejected", reason="retained", payload=value.decode()),
                  why=f"a live retained set point at QoS {qos}")
            until(lambda: stored_command(broker.port) == b"", why="the live retained set point cleared")
        expect(program.q("SOUR:SPO?"), "31.50", "no retained set point taken")
        # A NUL inside the number is no number, never the part before it.
        watcher.client.publish(commands, b"4\x005", qos=1)
        until(lambda: watcher.event("command_rejected", reason="not a number", payload="4\u00005"),
              why="a payload with a NUL")
        watcher.client.publish(commands, b"abc", qos=1)
        until(lambda: watcher.event("command_rejected", reason="not a number", payload="abc"),
              why="a payload that is no number")
        watcher.client.publish(commands, b"100.5", qos=1)
        until(lambda: watcher.event("command_rejected", reason="out of range"), why="a set point out of range")

        # A recording and a one-step run, as a plant's collector hears them.
        program.write("REC:STAR")
        until(lambda: watcher.event("recording_started"), why="recording_started")
        program.write("REC:STOP")
        until(lambda: watcher.event("recording_stopped"), why="recording_stopped")
        program.write("REC:DISC")
        run = os.path.join(root, "one.bbrun")
        # Its reading is taken from the simulated instrument, whose raw reply the row carries.
        driver = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "share", "uut",
                              "ascii-ir.bbuut")
        with open(run, "w") as f:
            f.write('{"version":4,"instrument":"IR-1","operator":"script","distanceMm":300,"emissivity":0.95,'
                    '"readingsPerStep":1,"readings":{"source":"driver","driver":"%s","port":"%s"},'
                    '"steps":[{"setPoint":35,"band":0.5,"window":0.1,"dwell":0.5}]}'
                    % (driver, os.path.join(root, "uut")))
        program.write(f'PROG:LOAD "{run}"')
        program.write("PROG:STAT RUN")
        until(lambda: watcher.event("run_started"), why="run_started")
        step = until(lambda: watcher.event("step_done"), why="step_done")
        expect((step["row"]["step"], step["row"]["outcome"], step["row"]["set_point"]), (1, "done", 35),
               "the step's report row")
        expect((step["row"]["reading_raw_1"], step["row"]["reading_source_1"]), ("!T035.00\\r", "driver"),
               "the instrument's raw reply and the reading's source")
        until(lambda: watcher.event("run_finished"), why="run_finished")
        files = until(lambda: watcher.event("report_written"), why="report_written")["files"]
        expect(all(os.path.isfile(f) for f in files) and any(f.endswith(".csv") for f in files), True,
               f"the report files {files}")
        until(lambda: watcher.event("setpoint_confirmed", value=35, by="run"), why="the run's set point")

        # Events raised while the broker is away arrive once it is back, in order.
        broker.stop()
        sim_command(sim, "hangup", lambda line: "hung up" in line)
        until(lambda: program.q("SYST:LINK?") == "RECONNECTING", why="the program to see the hang-up")
        sim_command(sim, "replug", lambda line: line.startswith("port:"))
        until(lambda: program.q("SYST:LINK?") == "OPEN", why="the link back")
        broker.start()
        lost = until(lambda: watcher.event("link_lost"), timeout=60, why="link_lost after the restart")
        back = until(lambda: watcher.event("link_back"), timeout=30, why="link_back after the restart")
        expect(lost["seq"] < back["seq"], True, "link_lost before link_back")
        with watcher.lock:
            seqs = list(watcher.order)
        expect(seqs, list(range(1, len(seqs) + 1)), "every event once, in order, no gap")

        # A killed program says nothing; the broker gives its will.
        program.process.send_signal(signal.SIGKILL)
        program.process.wait(timeout=10)
        until(lambda: watcher.status.get("state") == "offline", why="the will: status offline")
    finally:
        if program.process.poll() is None:
            program.process.kill()
            program.process.wait(timeout=10)
        watcher.close()


def stored_command(port):
    """What the broker keeps retained on the command topic: b"" for nothing."""
    got = []
    done = threading.Event()
    client = mqtt.Client()

    def message(c, u, msg):
        got.append(msg.payload)
        done.set()
    client.on_message = message
    client.on_connect = lambda c, u, f, rc: c.subscribe(BASE + "/cmd/setpoint", qos=1)
    client.connect("127.0.0.1", port)
    client.loop_start()
    # A retained message comes right after the subscription; a second is plenty of time on loopback.
    done.wait(1.0)
    client.loop_stop()
    client.disconnect()
    return got[0] if got else b""


def timestamped(value, offset_s=0.0):
    when = datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(seconds=offset_s)
    return json.dumps({"value": value, "ts": when.isoformat(timespec="milliseconds").replace("+00:00", "Z")})


def silent_controller(root):
    """A silent controller: no number stands for it."""
    broker = Broker(root, "broker-silent")
    broker.start()
    sim = start_sim(root, "bb-silent")
    watcher = program = None
    try:
        link = os.path.join(root, "bb-silent")
        until(lambda: os.path.exists(link), why="the silent simulator's link")
        watcher = Watcher(broker.port)
        # This station speaks MQTT 3.1.1, where a retained command cannot be told from a live one.
        program = Program(root, broker.port, link, home="home-silent", keys={"MqttProtocol": "3.1.1"})
        program.write(f'SYST:LINK:OPEN "{link}",9600,VBM100')
        until(lambda: watcher.reading(lambda t: t["link"] == "open"), why="a reading before the silence")
        expect(watcher.status.get("mqtt"), "3.1.1", "the status names the protocol")
        commands = BASE + "/cmd/setpoint"
        watcher.client.publish(commands, b"41", qos=1)
        until(lambda: watcher.event("command_rejected", reason="not timestamped"), why="a bare number on 3.1.1")
        watcher.client.publish(commands, timestamped(41, -30).encode(), qos=1)
        until(lambda: watcher.event("command_rejected", reason="stale"), why="a command 30 s old")
        watcher.client.publish(commands, timestamped(41).encode(), qos=1)
        until(lambda: watcher.event("setpoint_confirmed", value=41, by="mqtt"), why="a timestamped command")
        # Silent until the reading says so, then answering again: each unanswered poll sits out the
        # worker's deadline, so a count of them would take long.
        watcher.clear_telemetry()
        sim_command(sim, "silence", lambda line: "faults:" in line)
        silent = until(lambda: watcher.reading(lambda t: t["link"] == "silent"), why="a silent reading")
        expect(silent["temperature"], None, "the temperature while silent")
        sim_command(sim, "clear", lambda line: "faults: none" in line)
        watcher.clear_telemetry()
        until(lambda: watcher.reading(lambda t: t["link"] == "open"), why="readings again")
    finally:
        if program:
            program.process.terminate()
            program.process.wait(timeout=10)
        if watcher:
            watcher.close()
        stop_sim(sim)
        broker.stop()


def start_sim(root, link, uut=None):
    """The simulator on `link` in `root`, its console on pipes; with `uut`, an instrument under test there."""
    return subprocess.Popen([SIM, "--link", os.path.join(root, link), "--model", "VBM100", "--initial", "25",
                             "--tau", "0", "--noise", "0"]
                            + (["--uut-link", os.path.join(root, uut), "--uut-noise", "0"] if uut else []),
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)


def stop_sim(sim):
    sim.stdin.write("quit\n")
    sim.stdin.close()
    sim.wait(timeout=10)


def main():
    if not MOSQUITTO:
        raise SystemExit("mosquitto not found")
    root = tempfile.mkdtemp(prefix="telemetry-e2e-")
    os.makedirs(os.path.join(root, "reports"))
    broker = Broker(root)
    broker.start()
    sim = start_sim(root, "bb", uut="uut")
    try:
        until(lambda: os.path.exists(os.path.join(root, "bb")), why="the simulator's link")
        with concurrent.futures.ThreadPoolExecutor() as pool:
            silence = pool.submit(silent_controller, root)
            drive(root, broker, sim)
            silence.result()  # raises what the silence raised
    finally:
        stop_sim(sim)
        if broker.process:
            broker.stop()
        shutil.rmtree(root, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    main()
