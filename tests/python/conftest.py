"""Shared rig of the qncam tests: simulated cameras on pseudo-terminals, their wire logs,
and qnctl for comparison. CTest passes the programs' paths and puts the module on
PYTHONPATH."""

import os
import subprocess
import time
from pathlib import Path

import pytest

SIMULATOR = os.environ.get("QN_SIM", "qn-camera-sim")
QNCTL = os.environ.get("QNCTL", "qnctl")


class Simulator:
    """One qn-camera-sim with --verbose: every line on the wire goes to its log."""

    def __init__(self, folder: Path, name: str, baud: int = 9600, extra: tuple = ()):
        self.path = str(folder / name)
        self.log_path = folder / (name + ".wire")
        self._log = open(self.log_path, "wb")
        self._process = subprocess.Popen(
            [SIMULATOR, "--link", self.path, "--baud", str(baud), "--verbose", *extra],
            stdout=self._log, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 10
        while not os.path.exists(self.path):
            if time.monotonic() > deadline or self._process.poll() is not None:
                raise RuntimeError("the simulator did not start")
            time.sleep(0.02)

    def _settled(self) -> str:
        # The simulator prints its wire log every 100 ms: two ticks hold everything sent so far.
        time.sleep(0.22)
        return self.log_path.read_text()

    def wire(self) -> list[str]:
        """The lines the camera received so far ("GA?", "GA=150", ...)."""
        return [line.split(": ", 1)[1] for line in self._settled().splitlines()
                if line.startswith("Rx @")]

    def rates(self) -> set[int]:
        return {int(line.split("@", 1)[1].split(":", 1)[0])
                for line in self._settled().splitlines() if line.startswith("Rx @")}

    def stop(self):
        self._process.terminate()
        self._process.wait(timeout=10)
        self._log.close()


@pytest.fixture(autouse=True, scope="session")
def private_preferences(tmp_path_factory):
    # The tool's preference file of whoever runs the tests stays out of them.
    os.environ["XDG_CONFIG_HOME"] = str(tmp_path_factory.mktemp("config"))


@pytest.fixture
def simulators(tmp_path):
    """A factory of simulators, all stopped at the end of the test."""
    started = []

    def start(baud: int = 9600, *extra: str) -> Simulator:
        simulator = Simulator(tmp_path, "cam%d" % len(started), baud, extra)
        started.append(simulator)
        return simulator

    yield start
    for simulator in started:
        simulator.stop()


@pytest.fixture
def sim(simulators):
    return simulators(115200)


@pytest.fixture
def camera(sim):
    """An open camera at a fixed rate with fast replies, for tests that are not about timing."""
    with open_camera(sim) as cam:
        yield cam


def open_camera(sim: Simulator):
    import qncam
    return qncam.open(sim.path, rate=115200, fast=True)


def qnctl(sim: Simulator, *arguments: str, rate: str = "115200", check: bool = True) -> subprocess.CompletedProcess:
    """qnctl against the simulator at its fixed rate; the port must not be held by a camera."""
    done = subprocess.run([QNCTL, "--port", sim.path, "--rate", rate, "--fast", *arguments],
                          capture_output=True, text=True, timeout=60)
    if check and done.returncode != 0:
        raise AssertionError("qnctl %s: %d\n%s" % (arguments, done.returncode, done.stderr))
    return done
