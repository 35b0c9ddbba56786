#!/usr/bin/env python3
"""Drives the real program, as a station without a window, through its SCPI server with PyVISA and raw
sockets, against the blackbody simulator. Four programs, each with a home of its own and those that open a
link each with a simulator of its own, run side by side: most of their time goes on waiting."""
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

import pyvisa

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from endtoend import accepting, expect, free_port, sim_command, start_program, until  # noqa: E402

PROGRAM, SIM = sys.argv[1], sys.argv[2]
# PyVISA has one resource manager per library, shared by every program's client; closing it would close
# them all, so it is closed once, at the end.
RM = pyvisa.ResourceManager("@py")


class Program:
    """The headless program with a throwaway home whose config.xml enables the server."""

    def __init__(self, root, home, writes, keys=None):
        self.port = free_port()
        settings = {"RemoteEnabled": "1", "RemotePort": str(self.port), "RemoteListen": "local",
                    "RemoteWrites": "1" if writes else "0"}
        settings.update(keys or {})
        self.process = start_program(PROGRAM, os.path.join(root, home), settings)
        until(lambda: accepting(self.port), why="the SCPI port")
        self.inst = self.client()

    def client(self):
        return RM.open_resource(f"TCPIP::127.0.0.1::{self.port}::SOCKET", read_termination="\n",
                                write_termination="\n", timeout=15000)

    def q(self, text):
        return self.inst.query(text).strip()

    def w(self, text):
        self.inst.write(text)

    def error(self):
        return self.q("SYST:ERR?")

    def stop(self):
        self.inst.close()
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(timeout=10)


def refused_writes(root):
    # Silent clients are closed after two seconds here, so that the tenth client's wait stays short.
    program = Program(root, "home", writes=False, keys={"RemoteIdleTimeout": "2"})
    try:
        expect(program.q("*IDN?").split(",")[:3], ["Ostrel", "NONE", "0"], "*IDN?")
        # Every command that changes something is protected; queries and *CLS never are.
        protected = ['SYST:LINK:OPEN "x",9600,VBM100', "SYST:LINK:CLOS", "SYST:LINK:CONF", "SOUR:SPO 50",
                     "SOUR:STAB:LIM 0.5", "SOUR:STAB:WIND 5", "REC:STAR", "REC:STOP", 'REC:SAVE "x.txt"',
                     "REC:DISC", 'PROG:LOAD "x.bbrun"', "PROG:STAT RUN", "PROG:READ 30", 'PROG:REP:FOLD "/tmp"',
                     'SYST:LAB:NAME "x"', 'SYST:LAB:ADDR "x"', 'SYST:LAB:PREF "x"']
        for command in protected + ["*CLS", "SOUR:STAB:LIM?", "REC:STAT?", "PROG:STAT?", "PROG:REP:FOLD?"]:
            if command.endswith("?"):
                program.q(command)
            else:
                program.w(command)
            wanted = '-203,"Command protected"' if command in protected else '0,"No error"'
            expect(program.error(), wanted, command)
        expect(program.q("MEAS:TEMP?"), "9.91E37", "a reading with the link closed")
        expect(program.error(), '-230,"Data corrupt or stale"', "its error")
        expect(program.error(), '0,"No error"', "an empty queue")
        sessions(program.port)
        expect(program.q("*IDN?").split(",")[0], "Ostrel", "the first client after the others' bytes")
        common_commands(program)
        half_closed(program.port)
        silent_clients(program.port)
    finally:
        program.stop()


def common_commands(program):
    """IEEE 488.2's common commands and SCPI's status registers, as an instrument engineer's script uses
    them."""
    q, w = program.q, program.w
    w("*CLS;*ESE 60;*SRE 32")
    expect((q("*ESE?"), q("*SRE?"), q("*ESR?")), ("60", "32", "0"), "enable registers set, events cleared")
    w("NO:SUCH")
    expect(q("*ESR?"), "32", "a command error's bit")
    expect(q("*STB?"), "4", "the error queue's bit while the error waits")
    expect(program.error(), '-113,"Undefined header"', "the error itself")
    w("*RST")
    expect((q("*ESE?"), q("*SRE?")), ("60", "32"), "*RST leaves the enable registers")
    w("*OPC")
    expect(q("*ESR?"), "1", "operation complete")
    w("*WAI")
    expect((q("*OPC?"), q("*TST?")), ("1", "1"), "*TST? with the link closed")
    expect(q("STAT:QUES:COND?"), "0", "a link closed on purpose is nothing questionable")
    expect((q("SOUR:SPO? MIN"), q("SOUR:SPO? MAX")), ("0.00", "100.00"), "the model's range")
    w("STAT:PRES")
    expect((q("STAT:OPER:ENAB?"), q("STAT:QUES:ENAB?")), ("0", "0"), "STAT:PRES clears the enables")


def half_closed(port):
    """A client that sends its queries and closes its sending side, as `nc -N` does, hears every answer."""
    for _ in range(10):
        s = socket.create_connection(("127.0.0.1", port), timeout=10)
        s.sendall(b"*IDN?\nSYST:ERR?")
        s.shutdown(socket.SHUT_WR)
        with s.makefile("rb") as f:
            expect(f.read().split(b",")[0], b"Ostrel", "a half-closed query's answer; its cut last line none")
        s.close()


def silent_clients(port):
    """Nine silent sockets: the ninth is refused, and once the idle timeout closes the others, a tenth is
    served."""
    silent = [socket.create_connection(("127.0.0.1", port), timeout=10) for _ in range(9)]
    try:
        started = time.monotonic()
        tenth = None
        while tenth is None:
            assert time.monotonic() - started < 20, "no place for the tenth client"
            s = socket.create_connection(("127.0.0.1", port), timeout=10)
            s.sendall(b"*IDN?\n")
            try:
                answer = s.makefile("rb").readline()
            except ConnectionResetError:
                answer = b""
            if answer:
                tenth = s
            else:
                s.close()
                time.sleep(0.2)
        expect(answer.split(b",")[0], b"Ostrel", "the tenth client served beside the silent ones")
        tenth.close()
        expect(all(s.recv(1) == b"" for s in silent[:8]), True, "the idle ones closed by the server")
    finally:
        for s in silent:
            s.close()


def nul_bytes(port):
    """A NUL is white space: it never cuts a line, and a number split by one is no number."""
    s = socket.create_connection(("127.0.0.1", port), timeout=10)
    f = s.makefile("rb")
    try:
        s.sendall(b"\x00*IDN?\n")
        expect(f.readline().split(b",")[0], b"Ostrel", "a query after a NUL")
        s.sendall(b"SOUR:SPO 4\x005;SOUR:SPO?;SYST:ERR?\n")
        answer = (f.readline(), f.readline().split(b",")[0])
        expect(answer, (b"30.00\n", b"-102"), "a number cut by a NUL runs nothing")
        s.sendall(b"SOUR:SPO 36\x00;SOUR:SPO?;SOUR:SPO 37\x00\x00;SOUR:SPO?\n")
        expect((f.readline(), f.readline()), (b"36.00\n", b"37.00\n"), "a NUL before a semicolon cuts nothing")
        s.sendall(b"SOUR:SPO 30\n*OPC?\n")
        expect(f.readline(), b"1\n", "back to 30")
    finally:
        s.close()


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


def write_run(path, steps, readings_per_step=1, header=""):
    step = '{{"setPoint":{},"band":0.5,"window":0.1,"dwell":0.5,"askReading":{}}}'
    with open(path, "w") as f:
        f.write('{"version":2,"instrument":"IR-1","operator":"script","distanceMm":300,"emissivity":0.95,'
                f'{header}"readingsPerStep":{readings_per_step},"steps":['
                + ",".join(step.format(s, "true" if ask else "false") for s, ask in steps) + "]}")


def run_to_end(program, readings=()):
    """Supplies `readings` in turn whenever the run asks, until it is done; how many were asked."""
    asked = 0
    deadline = time.monotonic() + 60
    while (state := program.q("PROG:STAT?")) != "DONE":
        assert state in ("RUNNING", "READING"), state
        assert time.monotonic() < deadline, "the run did not end"
        if state == "READING":
            program.w(f"PROG:READ {readings[asked]}")
            asked += 1
        time.sleep(0.05)
    return asked


def fresh_profile(root):
    """A profile that has never seen the window runs a calibration over SCPI alone: every setting the
    window would ask for is refused by name until a script gives it."""
    link = os.path.join(root, "bb-fresh")
    reports = os.path.join(root, "fresh-reports")
    os.makedirs(reports)
    program = Program(root, "home-fresh", writes=True, keys={"LastPort": link, "LastBaud": "9600",
                                                             "LastModel": "VBM100"})
    q, w = program.q, program.w
    try:
        # The headless station opens the link it was last given.
        until(lambda: q("SYST:LINK?") == "OPEN", why="the link the settings name")
        run = os.path.join(root, "one.bbrun")
        write_run(run, [(35, False)])
        w(f'PROG:LOAD "{run}"')
        w("PROG:STAT RUN")
        expect(program.error(), '-221,"Settings conflict;no report folder"', "a start without a folder")
        w(f'PROG:REP:FOLD "{os.path.join(root, "none")}"')
        expect(program.error(), '-256,"File name not found;no writable folder"', "a folder that is not there")
        w(f'PROG:REP:FOLD "{reports}"')
        expect(q("PROG:REP:FOLD?"), f'"{reports}"', "the folder stored")
        w("PROG:STAT RUN")
        expect(program.error(), '-221,"Settings conflict;lab unknown"', "a start without a lab")
        w('SYST:LAB:NAME "Line 3, ""North"" hall";SYST:LAB:ADDR "Hall 2";SYST:LAB:PREF "L-3"')
        expect(program.error(), '-224,"Illegal parameter value;1 to 12 letters or digits"', "a prefix")
        w('SYST:LAB:PREF "L3"')
        expect((q("SYST:LAB:NAME?"), q("SYST:LAB:PREF?")), ('"Line 3, ""North"" hall"', '"L3"'), "the lab")

        # A recording left unsaved holds a run back until a script saves or drops it.
        w("REC:STAR")
        until(lambda: q("REC:STAT?") == "1")
        # Nothing tells a script how many samples there are: five of the recorder's 100 ms ticks, with the
        # link's reading there to stamp, leave some.
        time.sleep(0.5)
        w("REC:STOP")
        w("PROG:STAT RUN")
        expect(program.error(), '-221,"Settings conflict;unsaved curve"', "a start over an unsaved curve")
        curve = os.path.join(root, "kept.txt")
        w(f'REC:SAVE "{curve}"')
        expect((program.error(), os.path.isfile(curve)), ('0,"No error"', True), "the curve saved")
        w("REC:DISC")
        expect(program.error(), '-221,"Settings conflict;nothing recorded"', "a saved curve needs no drop")
        w("PROG:STAT RUN")
        # The program names no customer, item or source: it runs, as a test report, and says so.
        expect(program.error(), '-221,"Settings conflict;test report, not a certificate: missing '
               'certificate.customer, certificate.make, certificate.model, certificate.serial, source.make, '
               'source.model, source.serial, source.certificate, source.due, source.uncertainty, '
               'budget repeatability"', "the start once everything a run needs is given")
        run_to_end(program)
        report = q("PROG:REP?").strip('"')
        expect(os.path.dirname(report), reports, "the report in the folder given")
        text = subprocess.run(["pdftotext", report[:-4] + ".pdf", "-"], capture_output=True, text=True,
                              check=True).stdout
        expect(("测试报告" in text, "本测试报告不是校准证书" in text, "L3-" in text), (True, True, False),
               "a test report beside it, with no certificate number")
    finally:
        program.stop()


def another_controller(root, sim):
    """Another controller after a hang-up takes no set frame from anyone until someone vouches for it."""
    link = os.path.join(root, "bb-another")
    program = Program(root, "home-another", writes=True)
    try:
        q, w = program.q, program.w
        w(f'SYST:LINK:OPEN "{link}",9600,VBM100')
        until(lambda: q("SYST:LINK?") == "OPEN")
        # Ours held 30 when the line went.
        expect(q("SOUR:SPO 30;SOUR:SPO?"), "30.00", "the set point ours held")
        sim_command(sim, "hangup", lambda line: "hung up" in line)
        sim_command(sim, "setpoint 20", lambda line: "set point 20.00" in line)
        sim_command(sim, "replug", lambda line: line.startswith("port:"))
        until(lambda: q("SYST:LINK?") == "UNCONFIRMED", why="the controller to be questioned")
        w("SOUR:SPO 40")
        expect(program.error(), '-221,"Settings conflict;controller unconfirmed"', "a set point to it")
        expect(q("MEAS:TEMP?"), "9.91E37", "its reading")
        expect(program.error(), '-230,"Data corrupt or stale"', "its reading's error")
        sim_command(sim, "status", lambda line: line.startswith("VBM100"))
        sim_command(sim, "silence", lambda line: "faults:" in line)
        until(lambda: q("SYST:LINK?") == "SILENT", why="the unconfirmed controller to fall silent")
        w("SOUR:SPO 40")
        expect(program.error(), '-221,"Settings conflict;controller unconfirmed"', "a set point while silent")
        sim_command(sim, "clear", lambda line: "faults: none" in line)
        until(lambda: q("SYST:LINK?") == "UNCONFIRMED", why="the controller to answer, still unconfirmed")
        line = sim_command(sim, "status", lambda line: line.startswith("VBM100"))
        expect("set point 20.00" in line, True, f"no set frame reached it: {line}")
        w("SYST:LINK:CONF")
        until(lambda: q("SYST:LINK?") == "OPEN", why="the controller vouched for")
        expect(q("SOUR:SPO 35;SOUR:SPO?"), "35.00", "a set point once vouched for")
    finally:
        program.stop()


def drive(root, sim):
    link = os.path.join(root, "bb")
    program = Program(root, "home-writes", writes=True,
                      keys={"ReportFolder": os.path.join(root, "reports"), "LabPrefix": "E2E"})
    try:
        q, w = program.q, program.w
        w(f'SYST:LINK:OPEN "{os.path.join(root, "none")}",9600,VBM100')
        until(lambda: q("SYST:LINK?") == "CLOSED")
        expect(program.error(), '-240,"Hardware error;cannot open port"', "a port that does not open")
        w(f':SYSTem:LINK:OPEN "{link}",9600,VBM100')
        until(lambda: q("SYST:LINK?") == "OPEN")
        w("sour:stab:lim 0.5;SOUR:STAB:WIND 1")
        # A set point is sequential: the query after it hears it.
        expect(q("SOURce:SPOint 30;SOUR:SPO?"), "30.00", "the set point read back after it")
        expect(q("*OPC?"), "1", "*OPC? after a set point")
        expect(program.error(), '0,"No error"', "after a confirmed set point")
        until(lambda: q("SOURce:STABility:TEST?") == "1")
        expect(abs(float(q("MEAS:TEMP?")) - 30) < 0.5, True, "the temperature once stable")
        nul_bytes(program.port)
        for command in ("SOUR:SPO 95 FAR", "SOUR:SPO 308.15K", "SOUR:SPO 30 CEL"):
            expect(q(f"{command};SOUR:SPO?"), "35.00" if "CEL" not in command else "30.00", command)
        until(lambda: q("SOURce:STABility:TEST?") == "1")
        expect((q("*TST?"), q("STAT:OPER:COND?")), ("0", "256"), "a confirmed link, stable")

        for command in ["SOUR:SPO 30.0000001", "SOUR:SPO 100.01", "SOUR:SPO -0.01"]:
            w(command)
            expect(program.error(), '-222,"Data out of range"', f"{command}: outside the model's range or decimals")

        # A controller that takes no set frame: no answer, so nobody knows.
        sim_command(sim, "ignoreset on", lambda line: "ignores set frames" in line)
        w("SOUR:SPO 40")
        expect(q("*OPC?"), "1", "*OPC? after an unanswered set point")
        expect(program.error(), '-231,"Data questionable;set point not confirmed"', "the unanswered set point")
        # Another client's request supersedes one still waiting.
        other = program.client()
        w("SOUR:SPO 31")
        other.write("SOUR:SPO 32")
        sim_command(sim, "ignoreset off", lambda line: line.startswith("VBM100") and "ignores" not in line)
        expect(other.query("*OPC?").strip(), "1", "the newer set point's *OPC?")
        expect(program.error(), '-200,"Execution error;set point superseded"', "the older set point")
        expect(other.query("SYST:ERR?").strip(), '0,"No error"', "the newer set point, confirmed")
        other.close()

        # A refused program says where it is wrong.
        bad = os.path.join(root, "bad.bbrun")
        with open(bad, "w") as f:
            f.write('{"version":2,"steps":[{"setPoint":35},{"setPoint":40,"dwell":0.2}]}')
        w(f'PROG:LOAD "{bad}"')
        expect(program.error(), '-224,"Illegal parameter value;not a calibration program (step 2, dwell)"',
               "a dwell shorter than a poll")

        # A two-step run with nobody at the window, two readings a step, judged by the simple rule.
        run = os.path.join(root, "two.bbrun")
        write_run(run, [(35, True), (40, True)], readings_per_step=2,
                  header='"tolerance":{"c":0.5},"decisionRule":"simple",')
        w(f'PROG:LOAD "{run}"')
        w("PROG:STAT RUN")
        expect(program.error().startswith('-221,"Settings conflict;test report, not a certificate: missing '),
               True, "loading and starting the run, as a test report")
        # During the run only the run sends set points, and its judge is the one every door reports.
        w("SOUR:SPO 50")
        expect(program.error(), '-221,"Settings conflict;run in progress"', "a set point during a run")
        until(lambda: q("PROG:STAT?") == "READING", why="the first reading to be asked")
        w("PROG:READ 1e300")
        expect(program.error(), '-222,"Data out of range"', "a reading the dialog would refuse")
        expect(run_to_end(program, ["35.1", "35.1", "40.7", "40.7"]), 4, "readings supplied")
        report = q("PROG:REP?").strip('"')
        expect(os.path.isfile(report), True, f"the report {report}")
        with open(report, encoding="utf-8-sig", newline="") as f:
            rows = list(csv.DictReader(f))
        expect([(r["reading_mean"], r["verdict"]) for r in rows], [("35.100", "PASS"), ("40.700", "FAIL")],
               "each step's mean reading and its verdict within ±0.5 ℃")
        expect(program.error(), '0,"No error"', "after the run")
    finally:
        program.stop()


def start_sim(root, link, console):
    """The simulator on `link` in `root`; its console is read only when `console` is true."""
    return subprocess.Popen([SIM, "--link", os.path.join(root, link), "--model", "VBM100", "--initial", "25",
                             "--tau", "0", "--noise", "0"], stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE if console else subprocess.DEVNULL, text=True)


def main():
    root = tempfile.mkdtemp(prefix="scpi-e2e-")
    os.makedirs(os.path.join(root, "reports"))
    links = ("bb", "bb-fresh", "bb-another")
    # Only the fresh profile's simulator is never told anything.
    sims = [start_sim(root, link, console=link != "bb-fresh") for link in links]
    try:
        until(lambda: all(os.path.exists(os.path.join(root, link)) for link in links))
        with concurrent.futures.ThreadPoolExecutor() as pool:
            beside = [pool.submit(refused_writes, root), pool.submit(fresh_profile, root),
                      pool.submit(another_controller, root, sims[2])]
            drive(root, sims[0])
            for section in beside:
                section.result()  # raises what the section raised
    finally:
        for sim in sims:
            sim.stdin.write("quit\n")
            sim.stdin.close()
            sim.wait(timeout=10)
        RM.close()
        shutil.rmtree(root, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    main()
