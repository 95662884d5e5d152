"""Setting files checked and compared through qncam without a camera, as qnctl does."""

import json
import subprocess

import pytest

import qncam
from conftest import QNCTL


def test_check_file_and_diff_files_agree_with_qnctl(tmp_path):
    path = tmp_path / "golden.cam"
    path.write_text("MD00=QN-5200RL-BDXP\nGA=100\nWTC=5000\nGA=1O0\nGAOR=8192\n")
    problems = qncam.check_file(str(path))
    done = subprocess.run([QNCTL, "--json", "check", str(path)], capture_output=True, text=True, timeout=60)
    assert done.returncode == 5
    assert problems == [(p["line"], p["kind"], p["text"], p["detail"]) for p in json.loads(done.stdout)["problems"]]
    assert [kind for _, kind, _, _ in problems] == ["out of range", "unreadable", "lacked row"]
    assert qncam.check_file(str(path), extended=True) == problems[:2]

    other = tmp_path / "other.cam"
    other.write_text("GA=120\nGAOR=9000\n")
    assert qncam.diff_files(str(path), str(other), extended=True)[0][1:] == ("GA", 100, 120)
    assert [row[1:] for row in qncam.diff_files(str(path), str(other))] == [("GA", 100, 120), ("WTC", 5000, None)]
    with pytest.raises(qncam.UsageError):
        qncam.check_file(str(path), model="QN-1")
    with pytest.raises(qncam.FileError):
        qncam.diff_files(str(path), str(tmp_path / "none.cam"))
