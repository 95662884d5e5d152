"""Look-up tables through qncam: round trip, limits and progress."""

import random

import pytest

import qncam


def _lut_tables(seed):
    generator = random.Random(seed)
    return [[generator.randint(0, 4095) for _ in range(256)] for _ in range(3)]


def test_lut_round_trip_with_rising_progress(camera):
    tables = _lut_tables(7)
    calls = []
    camera.lut.write(tables, progress=lambda done, total: calls.append((done, total)))
    assert calls == [(done, 768) for done in range(1, 769)]
    assert camera.lut.read() == tuple(tables)


def _short(tables):
    tables[1] = tables[1][:-1]
    return tables


def _over(tables):
    tables[2][255] = 4096
    return tables


def _negative(tables):
    tables[0][0] = -1
    return tables


def _not_numbers(tables):
    tables[0][10] = "10"
    return tables


@pytest.mark.parametrize("spoil, message", [
    (_short, "three sequences of 256"),
    (_over, "look-up table 2, entry 255: 4096 is outside 0..4095"),
    (_negative, "look-up table 0, entry 0: -1 is outside"),
    (_not_numbers, "three sequences of 256"),
    (lambda tables: tables[:2], "three sequences of 256"),
])
def test_lut_tables_are_checked_before_anything_is_sent(sim, camera, spoil, message):
    before = sim.wire()
    with pytest.raises(qncam.UsageError, match=message):
        camera.lut.write(spoil(_lut_tables(3)))
    assert sim.wire() == before
