#!/usr/bin/env python3
"""Drives the real program through its SCPI server with PyVISA, against the blackbody simulator."""
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

import pyvisa

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from endtoend import accepting, expect, free_port, sim_command, start_program, until  # noqa: E402

PROGRAM, SIM = sys.argv[1], sys.argv[2]


class Program:
    """The program offscreen with a throwaway home whose config.xml enables the server."""

    def __init__(self, root, writes):
        self.port = free_port()
        home = os.path.join(root, "home-writes" if writes else "home")
        keys = {"RemoteEnabled": "1", "RemotePort": str(self.port), "RemoteListen": "local",
                "RemoteWrites": "1" if writes else "0", "ReportFolder": os.path.join(root, "reports")}
        self.process = start_program(PROGRAM, home, keys)
        until(lambda: accepting(self.port), why="the SCPI port")
        self.rm = pyvisa.ResourceManager("@py")
        self.inst = self.rm.open_resource(f"TCPIP::127.0.0.1::{self.port}::SOCKET",
                                          read_termination="\n", write_termination="\n", timeout=15000)

    def q(self, text):
        return self.inst.query(text).strip()

    def error(self):
        return self.q("SYST:ERR?")

    def stop(self):
        self.inst.close()
        self.rm.close()
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(timeout=10)


def refused_writes(root):
    program = Program(root, writes=False)
    try:
        expect(program.q("*IDN?").split(",")[:3], ["Ostrel", "NONE", "0"], "*IDN?")
        # Every command that changes something is protected; queries and *CLS never are.
        protected = ['SYST:LINK:OPEN "x",9600,VBM100', "SYST:LINK:CLOS", "SOUR:SPO 50", "SOUR:STAB:LIM 0.5",
                     "SOUR:STAB:WIND 5", "REC:STAR", "REC:STOP", 'PROG:LOAD "x.bbrun"', "PROG:STAT RUN",
                     "PROG:READ 30"]
        for command in protected + ["*CLS", "SOUR:STAB:LIM?", "REC:STAT?", "PROG:STAT?"]:
            if command.endswith("?"):
                program.q(command)
            else:
                program.inst.write(command)
            wanted = '-203,"Command protected"' if command in protected else '0,"No error"'
            expect(program.error(), wanted, command)
        expect(program.q("MEAS:TEMP?"), "9.91E37", "a reading with the link closed")
        expect(program.error(), '-230,"Data corrupt or stale"', "its error")
        expect(program.error(), '0,"No error"', "an empty queue")
        sessions(program.port)
        expect(program.q("*IDN?").split(",")[0], "Ostrel", "the first client after the others' bytes")
    finally:
        program.stop()


def sessions(port):
    """An overlong line, any bytes at all, and a ninth client, beside a client that waits for answers."""
    def client():
        s = socket.create_connection(("127.0.0.1", port), timeout=10)
        return s, s.makefile("rb")
    clients = [client() for _ in range(7)]  # the PyVISA client is the eighth
    s, f = clients[0]
    s.sendall(b"X" * 5000 + b";*IDN?\nSYST:ERR?;SYST:ERR?\r\n")
    expect(f.readline(), b'-223,"Too much data"\n', "an overlong line")
    expect(f.readline(), b'0,"No error"\n', "its rest dropped")
    clients[1][0].sendall(bytes(range(256)) * 64 + b"\n\x00\xff;;\"\n")
    ninth = socket.create_connection(("127.0.0.1", port), timeout=10)
    try:
        closed = ninth.recv(1) == b""
    except ConnectionResetError:
        closed = True
    expect(closed, True, "a ninth client closed at once")
    ninth.close()
    for s, f in clients:
        s.sendall(b"*IDN?\n")
        expect(f.readline().split(b",")[0], b"Ostrel", "every client still answered")
        s.close()


def drive(root, sim):
    program = Program(root, writes=True)
    try:
        q, w = program.q, program.inst.write
        w(f'SYST:LINK:OPEN "{os.path.join(root, "none")}",9600,VBM100')
        until(lambda: q("SYST:LINK?") == "CLOSED")
        expect(program.error(), '-240,"Hardware error;cannot open port"', "a port that does not open")
        w(f':SYSTem:LINK:OPEN "{os.path.join(root, "bb")}",9600,VBM100')
        until(lambda: q("SYST:LINK?") == "OPEN")
        w("sour:stab:lim 0.5;SOUR:STAB:WIND 1")
        w("SOURce:SPOint 30")
        expect(q("*OPC?"), "1", "*OPC? after a set point")
        expect(float(q("SOUR:SPO?")), 30.0, "the set point read back")
        expect(program.error(), '0,"No error"', "after a confirmed set point")
        until(lambda: q("SOURce:STABility:TEST?") == "1")
        expect(abs(float(q("MEAS:TEMP?")) - 30) < 0.5, True, "the temperature once stable")

        for command in ["SOUR:SPO 30.0000001", "SOUR:SPO 100.01", "SOUR:SPO -0.01"]:
            w(command)
            expect(program.error(), '-222,"Data out of range"', f"{command}: outside the model's range or decimals")
        w("SOUR:SPO 31;SOUR:SPO 30")
        expect(q("*OPC?"), "1", "*OPC? after two set points")
        expect(program.error(), '-200,"Execution error;set point superseded"', "the first of two set points")
        expect(program.error(), '0,"No error"', "the second, confirmed")
        sim_command(sim, "ignoreset on", lambda line: "ignores set frames" in line)
        w("SOUR:SPO 40")
        expect(q("*OPC?"), "1", "*OPC? after a refused set point")
        expect(program.error(), '-200,"Execution error;set point refused"', "the refused set point")
        sim_command(sim, "ignoreset off", lambda line: line.startswith("VBM100") and "ignores" not in line)

        # A refused program says where it is wrong.
        bad = os.path.join(root, "bad.bbrun")
        with open(bad, "w") as f:
            f.write('{"version":2,"steps":[{"setPoint":35},{"setPoint":40,"dwell":0.2}]}')
        w(f'PROG:LOAD "{bad}"')
        expect(program.error(), '-224,"Illegal parameter value;not a calibration program (step 2, dwell)"',
               "a dwell shorter than a poll")

        # A two-step run with nobody at the window, two readings a step.
        run = os.path.join(root, "two.bbrun")
        with open(run, "w") as f:
            f.write('{"version":2,"instrument":"IR-1","operator":"script","distanceMm":300,'
                    '"emissivity":0.95,"readingsPerStep":2,"steps":['
                    '{"setPoint":35,"band":0.5,"window":0.1,"dwell":0.5,"askReading":true},'
                    '{"setPoint":40,"band":0.5,"window":0.1,"dwell":0.5,"askReading":true}]}')
        w(f'PROG:LOAD "{run}"')
        w("PROG:STAT RUN")
        expect(program.error(), '0,"No error"', "loading and starting the run")
        readings = 0
        deadline = time.monotonic() + 60
        while (state := q("PROG:STAT?")) != "DONE":
            assert state in ("RUNNING", "READING"), state
            assert time.monotonic() < deadline, "the run did not end"
            if state == "READING":
                if readings == 0:
                    w("PROG:READ 1e300")
                    expect(program.error(), '-222,"Data out of range"', "a reading the dialog would refuse")
                w(f"PROG:READ {35.1 + 5 * readings}")
                readings += 1
            time.sleep(0.05)
        expect(readings, 4, "readings supplied")
        report = q("PROG:REP?").strip('"')
        expect(os.path.isfile(report), True, f"the report {report}")
        with open(report, encoding="utf-8-sig") as f:
            text = f.read()
        expect(",37.600," in text and ",47.600," in text, True, "the means of each step's readings in the report")
        expect(program.error(), '0,"No error"', "after the run")
    finally:
        program.stop()


def main():
    root = tempfile.mkdtemp(prefix="scpi-e2e-")
    os.makedirs(os.path.join(root, "reports"))
    sim = subprocess.Popen([SIM, "--link", os.path.join(root, "bb"), "--model", "VBM100", "--initial", "25",
                            "--tau", "0", "--noise", "0"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                           text=True)
    try:
        until(lambda: os.path.exists(os.path.join(root, "bb")))
        refused_writes(root)
        drive(root, sim)
    finally:
        sim.stdin.write("quit\n")
        sim.stdin.close()
        sim.wait(timeout=10)
        shutil.rmtree(root, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    main()
