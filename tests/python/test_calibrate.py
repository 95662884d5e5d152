"""cam.calibrate against the simulated camera: result texts, failure codes, and a camera gone."""

import signal

import pytest

import qncam


@pytest.mark.parametrize("name, forced, mode, text, wire", [
    ("pixel-black-factory", None, "extended", "Succeeded", ["PBR00=0"] + ["PBS00?"] * 4),
    ("gain-auto", "AGCS=3", None, "Control Limit", ["AGC=2", "AGCS?"]),
])
def test_calibrate_returns_the_text_or_raises_the_failure_code(simulators, name, forced, mode, text, wire):
    sim = simulators(115200, *(["--result", forced] if forced else []))
    with qncam.open(sim.path, rate=115200, fast=True, mode=mode) as cam:
        if forced is None:
            assert cam.calibrate(name) == text
        else:
            with pytest.raises(qncam.Error) as failed:
                cam.calibrate(name)
            assert (type(failed.value), str(failed.value), failed.value.code, failed.value.procedure) == (
                qncam.CalibrationFailed, text, int(forced[-1]), name)
    assert sim.wire()[-len(wire):] == wire


def test_calibrate_refuses_a_factory_one_outside_extended_mode_and_fails_on_a_camera_gone(sim):
    with qncam.open(sim.path, rate=115200, fast=True, mode="standard") as cam:
        sent = len(sim.wire())
        for name in ("pixel-gain-factory", "no-such-procedure"):
            with pytest.raises(qncam.UsageError):
                cam.calibrate(name)
        assert len(sim.wire()) == sent
        sim._process.send_signal(signal.SIGUSR1)  # unplugged
        with pytest.raises(qncam.NoCamera):
            cam.calibrate("white-balance")
