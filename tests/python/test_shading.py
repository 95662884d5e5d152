"""Shading tables through qncam (a file of its own: its round trip takes the longest, so CTest
runs it beside the others)."""

import random

import pytest

import qncam


def test_shading_round_trip(camera):
    generator = random.Random(11)
    tables = [[generator.randint(0, 8191) for _ in range(1024)] for _ in range(3)]
    camera.set(SDM=1)
    calls = []
    camera.shading.write(tables)
    assert camera.shading.read(progress=lambda done, total: calls.append((done, total))) == tuple(tables)
    assert calls == [(done, 3072) for done in range(1, 3073)]


@pytest.mark.parametrize("tables, message", [
    ([[0] * 256] * 3, "three sequences of 1024"),
    ([[0] * 1024, [0] * 1023 + [-5], [0] * 1024], "shading table 1, entry 1023: -5 is outside"),
    ([[0] * 1024, [0] * 1024, [2 ** 31] + [0] * 1023], "shading table 2, entry 0: 2147483648 is outside"),
])
def test_shading_tables_are_checked_before_anything_is_sent(sim, camera, tables, message):
    before = sim.wire()
    with pytest.raises(qncam.UsageError, match=message):
        camera.shading.write(tables)
    assert sim.wire() == before
