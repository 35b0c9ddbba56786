#!/usr/bin/env python3
"""Runs a two-step calibration through the real program, as a station without a window driven over SCPI,
against the simulator's blackbody and its instrument under test, once for each kind of instrument the
example drivers speak: the readings are taken with no input, one error reply pauses the run, one dropped
reply is retried, and the CSV keeps every raw reply. The four run side by side, each with a program and a
simulator of its own; an instrument whose emissivity differs from the run's is refused first."""
import concurrent.futures
import csv
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from endtoend import accepting, expect, free_port, sim_command, start_program, until  # noqa: E402

PROGRAM, SIM, DRIVERS = sys.argv[1], sys.argv[2], sys.argv[3]

# kind: the example driver, the simulator's error reply that pauses a run, and whether it is reached by TCP.
KINDS = {
    "ascii": ("ascii-ir.bbuut", "error", False),
    "addressed": ("addressed-ir.bbuut", "overrange", False),
    "binary": ("binary-ir.bbuut", "overrange", False),
    "scpi": ("scpi-readout.bbuut", "error", True),
}


class Client:
    """SCPI over a plain socket, a line at a time."""

    def __init__(self, port):
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=15)
        self.lines = self.socket.makefile("r", encoding="utf-8", newline="\n")

    def w(self, text):
        self.socket.sendall((text + "\n").encode())

    def q(self, text):
        self.w(text)
        return self.lines.readline().strip()

    def close(self):
        self.lines.close()
        self.socket.close()


def write_run(path, driver, port, emissivity=0.95, vouched=False):
    step = '{{"setPoint":{},"band":0.5,"window":0.1,"dwell":0.5}}'
    with open(path, "w") as f:
        f.write('{"version":4,"instrument":"IR-1","operator":"script","emissivity":%s,"readingsPerStep":2,'
                '"readings":{"source":"driver","driver":"%s","port":"%s","intervalS":0.2,'
                '"emissivityConfirmed":%s},"steps":[%s]}'
                % (emissivity, driver, port, "true" if vouched else "false",
                   ",".join(step.format(s) for s in (35, 40))))


def run_kind(root, kind):
    driver, sentinel, tcp = KINDS[kind]
    driver = os.path.join(DRIVERS, driver)
    here = os.path.join(root, kind)
    os.makedirs(os.path.join(here, "reports"))
    link = os.path.join(here, "bb")
    uut_port = free_port() if tcp else None
    uut = f"127.0.0.1:{uut_port}" if tcp else os.path.join(here, "uut")
    sim = subprocess.Popen([SIM, "--link", link, "--model", "VBM100", "--initial", "25", "--tau", "0",
                            "--noise", "0", "--uut-kind", kind, "--uut-noise", "0"]
                           + (["--uut-tcp", str(uut_port)] if tcp else ["--uut-link", uut]),
                           stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    scpi = free_port()
    program = start_program(PROGRAM, os.path.join(here, "home"),
                            {"RemoteEnabled": "1", "RemotePort": str(scpi), "RemoteListen": "local",
                             "RemoteWrites": "1", "ReportFolder": os.path.join(here, "reports"),
                             "LabPrefix": "E2E"})
    client = None
    try:
        until(lambda: os.path.exists(link) and (tcp and accepting(uut_port) or os.path.exists(uut)),
              why=f"{kind}: the simulator's links")
        until(lambda: accepting(scpi), why=f"{kind}: the SCPI port")
        client = Client(scpi)
        q, w = client.q, client.w
        w(f'SYST:LINK:OPEN "{link}",9600,VBM100')
        until(lambda: q("*TST?") == "0", why=f"{kind}: a confirmed controller")

        if kind == "addressed":
            # Its driver can only read the emissivity back, and the instrument holds 0.95.
            wrong = os.path.join(here, "wrong.bbrun")
            write_run(wrong, driver, uut, emissivity=0.9)
            w(f'PROG:LOAD "{wrong}";PROG:STAT RUN')
            expect(q("SYST:ERR?"), '-221,"Settings conflict;instrument emissivity mismatch"',
                   "an instrument set to another emissivity")
            expect(q("PROG:STAT?"), "IDLE", "no run after the refusal")

        run = os.path.join(here, "two.bbrun")
        # The readout has no emissivity commands; nobody watches, so the file vouches for its setting.
        write_run(run, driver, uut, vouched=tcp)
        w(f'PROG:LOAD "{run}";PROG:STAT RUN')
        expect(q("SYST:ERR?").startswith('-221,"Settings conflict;test report, not a certificate'), True,
               f"{kind}: the run started as a test report")
        w("PROG:READ 35")
        expect(q("SYST:ERR?"), '-221,"Settings conflict;readings taken from the instrument"',
               f"{kind}: a remote reading for a run that reads the instrument")
        # The link checks at connect that the instrument answers: the error reply is for the run's reading.
        expect(q("PROG:STEP?").startswith("1,2,SETT"), True, f"{kind}: the run under way")
        sim_command(sim, f"uut sentinel {sentinel} 1", lambda line: "instrument under test" in line)
        until(lambda: q("PROG:STAT?") == "PAUSED", why=f"{kind}: the error reply to pause the run")
        expect(q("PROG:STEP?"), "1,2,READING,readings 0/2", f"{kind}: where the error reply stopped it")

        # The next request goes unanswered once: the link asks again and the run goes on.
        sim_command(sim, "uut drop 1", lambda line: "instrument under test" in line)
        w("PROG:STAT RUN")
        deadline = time.monotonic() + 60
        while (state := q("PROG:STAT?")) != "DONE":
            assert state in ("RUNNING", "READING"), f"{kind}: {state} after the resume, " + q("PROG:STEP?")
            assert time.monotonic() < deadline, f"{kind}: the run did not end"
            time.sleep(0.05)
        report = q("PROG:REP?").strip('"')
        with open(report, encoding="utf-8-sig", newline="") as f:
            rows = list(csv.DictReader(f))
        expect([r["outcome"] for r in rows], ["done", "done"], f"{kind}: each step's outcome")
        for row in rows:
            raws = [row["reading_raw_1"], row["reading_raw_2"]]
            expect(all(raws), True, f"{kind}: raw replies {raws}")
            expect((row["reading_source_1"], row["reading_source_2"]), ("driver", "driver"),
                   f"{kind}: the readings' source")
            expect(abs(float(row["reading"]) - float(row["set_point"])) < 0.5, True,
                   f"{kind}: reading {row['reading']} at {row['set_point']}")
        # The report states each raw reply beside its reading, as the original observation.
        text = subprocess.run(["pdftotext", report[:-4] + ".pdf", "-"], capture_output=True, text=True,
                              check=True).stdout.replace("\n", "")
        for row in rows:
            expect(row["reading_raw_1"] in text, True, f"{kind}: {row['reading_raw_1']!r} in the report")
        expect(q("SYST:ERR?"), '0,"No error"', f"{kind}: after the run")
    finally:
        if client:
            client.close()
        program.send_signal(signal.SIGTERM)
        program.wait(timeout=10)
        sim.stdin.write("quit\n")
        sim.stdin.close()
        sim.wait(timeout=10)


def main():
    root = tempfile.mkdtemp(prefix="uut-e2e-")
    try:
        with concurrent.futures.ThreadPoolExecutor(len(KINDS)) as pool:
            only = os.environ.get("UUT_KINDS", " ".join(KINDS)).split()
            for done in [pool.submit(run_kind, root, kind) for kind in only]:
                done.result()  # raises what the run raised
    finally:
        if not os.environ.get("UUT_KEEP"):
            shutil.rmtree(root, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    main()
