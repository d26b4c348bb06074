# SPDX-License-Identifier: GPL-3.0-or-later
# Shared pieces of the clone benchmarks: finding the programs, starting the
# simulated unit on its pseudo-terminal, and running vireo-cli with its times.
import os
import resource
import statistics
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def find_bin_dir(given):
    """The folder with vireo-cli and vireo-unit-sim: --bin, else the usual build folders."""
    candidates = [given] if given else [os.path.join(ROOT, d, "bin") for d in ("build", "build-cli")]
    for folder in candidates:
        if folder and os.path.isfile(os.path.join(folder, "vireo-cli")) and \
                os.path.isfile(os.path.join(folder, "vireo-unit-sim")):
            return folder
    raise SystemExit("vireo-cli and vireo-unit-sim not found; build first or give --bin DIR")


class Sim:
    """vireo-unit-sim on a fresh pseudo-terminal; use in a with-statement."""

    def __init__(self, bin_dir, args):
        self.process = subprocess.Popen([os.path.join(bin_dir, "vireo-unit-sim")] + args,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.device = self.process.stdout.readline().decode().strip()
        if not self.device:
            self.close()
            raise RuntimeError("vireo-unit-sim did not name its device: "
                               + self.process.stderr.read().decode(errors="replace"))

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process.stdout.close()
        self.process.stderr.close()

    def alive(self):
        return self.process.poll() is None

    def crashed(self):
        """True when the simulator died of a signal other than our SIGTERM."""
        code = self.process.poll()
        return code is not None and code < 0 and code != -15

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class CliRun:
    status = None
    wall = 0.0       # seconds from start to exit
    cpu = 0.0        # user + system seconds of vireo-cli
    err = ""


def run_cli(bin_dir, args, limit=60):
    """Runs vireo-cli; wall time, its own CPU time (from wait4) and exit status."""
    run = CliRun()
    start = time.monotonic()
    process = subprocess.Popen([os.path.join(bin_dir, "vireo-cli")] + args,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    deadline = start + limit
    while True:
        pid, status, usage = os.wait4(process.pid, os.WNOHANG)
        if pid:
            break
        if time.monotonic() > deadline:
            process.kill()
            pid, status, usage = os.wait4(process.pid, 0)
            run.err = "vireo-cli hung; killed"
            break
        time.sleep(0.002)
    run.wall = time.monotonic() - start
    run.cpu = usage.ru_utime + usage.ru_stime
    process.returncode = os.waitstatus_to_exitcode(status)
    run.status = process.returncode
    run.err += process.stderr.read().decode(errors="replace")
    process.stderr.close()
    return run


def trace_bytes(path):
    """Bytes sent (TX) and received (RX) according to a clone trace."""
    sent = received = 0
    with open(path, encoding="utf-8", errors="replace") as trace:
        for line in trace:
            parts = line.split("(")[0].split()
            if len(parts) >= 3 and parts[2] in ("TX", "RX"):
                count = len(parts) - 3
                if parts[2] == "TX":
                    sent += count
                else:
                    received += count
    return sent, received


def trace_times(path):
    """From a trace: the run's own time in seconds (its closing "end, result" line) and
    the program's mean delay in ms from the last received byte of a reply to the next frame sent."""
    sent, received, end = [], [], None
    with open(path, encoding="utf-8", errors="replace") as trace:
        for line in trace:
            parts = line.split()
            if len(parts) > 2 and parts[2] == "TX":
                sent.append(float(parts[0]))
            elif len(parts) > 2 and parts[2] == "RX":
                received.append(float(parts[0]))
            elif " -- end, result" in line:
                end = float(parts[0]) / 1000
    if end is None:
        raise SystemExit(f"no end line in {path}")
    delays = [t - max(r for r in received if r <= t) for t in sent[1:] if any(r <= t for r in received)]
    return end, statistics.mean(delays) if delays else 0.0
