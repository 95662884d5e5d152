"""qncam against the simulated camera: the calls, their checks and failures, and threads."""

import ast
import json
import logging
import threading
import time
from contextlib import nullcontext
from pathlib import Path

import pytest

import qncam
from conftest import open_camera, qnctl


@pytest.mark.parametrize("start_baud, rate, wire_rates", [
    (9600, "auto", {9600, 115200}),   # found at 9600 and moved up
    (57600, "auto", {57600, 115200}),  # 9600 reaches it as noise
    (9600, 9600, {9600}),             # a fixed rate talks at once, no search
])
def test_open_finds_the_camera_as_qnctl_does(simulators, start_baud, rate, wire_rates):
    sim = simulators(start_baud)
    with qncam.open(sim.path, rate=rate, fast=True) as cam:
        identity = cam.identify()
        assert cam.link == sim.path  # the device as it was given
    assert sim.rates() == wire_rates
    reference = json.loads(qnctl(sim, "--json", "identify", rate="auto").stdout)
    assert identity == {"model": reference["model"], "model_code": reference["modelCode"],
                        "firmware": reference["firmware"], "fpga": reference["fpga"],
                        "device_version": reference["deviceVersion"], "camera_id": reference["cameraId"],
                        "user_id": reference["userId"]}


@pytest.mark.parametrize("name", ["GA", "Image format/Width", "CL Configuration", "Exposure Time", "cl configuration"])
def test_get_reads_what_qnctl_reads(sim, name):
    reference = json.loads(qnctl(sim, "--json", "get", name).stdout)["parameters"][0]
    with open_camera(sim) as camera:
        value = camera.get(name)
    assert value == (reference["text"] if isinstance(value, str) else reference["value"])
    assert sim.wire()[-1] == reference["mnemonic"] + "?"


def test_the_simulator_program_is_a_camera_as_shipped(sim):
    # What the run command shows a newcomer: a working line rate, not zeros.
    with open_camera(sim) as camera:
        assert (camera.get("LR"), camera.get("PE")) == (10000, 5000)


@pytest.mark.parametrize("values, more, wire, read_back", [
    (None, {"GA": 150}, ["GA=150"], {"GA": 150}),
    ({"CL Configuration": "Eighty"}, {}, ["CLCFG=4"], {"CLCFG": "Eighty"}),
    ({"GA": 120}, {"Image format/Width": 2048}, ["GA=120", "WTC=2048"], {"GA": 120, "WTC": 2048}),
    ({"CL Configuration": 2}, {}, ["CLCFG=2"], {"CLCFG": "Full"}),  # a list also takes its code
    ({"Gain[Red]": 200, "ExposureTime": 4000}, {}, ["GAR=200", "PE=4000"], {"GAR": 200, "ExposureTime": 4000}),
])
def test_set_writes_in_order(sim, camera, values, more, wire, read_back):
    before = len(sim.wire())
    camera.set(values, **more)
    assert sim.wire()[before:] == wire
    assert {name: camera.get(name) for name in read_back} == read_back


@pytest.mark.parametrize("values, message", [
    ({"GA": 99999}, "GA=99999: outside the limits 100 to 3200"),
    ({"GA": 150, "NOPE": 1}, "NOPE"),                    # a bad second name: the first is not sent either
    ({"CL Configuration": "Nonsense"}, "Nonsense"),
    ({"Width": 2048}, "Image format/Width"),             # a shared label needs its group
    ({"GA": 1.5}, "GA: give a whole number"),
    ({}, "give at least one"),
])
def test_set_refuses_before_anything_is_sent(sim, camera, values, message):
    before = sim.wire()
    with pytest.raises(qncam.UsageError, match=message.replace("(", r"\(")):
        camera.set(values)
    assert sim.wire() == before


@pytest.mark.parametrize("call, message", [
    (lambda cam: cam.store_area(0), "extended mode only"),
    (lambda cam: cam.store_area(4), "1 to 3"),
    (lambda cam: cam.load_area(-1), "0 \\(factory\\) to 3"),
    (lambda cam: cam.send("GA?\r\nGA=1"), "line break"),
    (lambda cam: cam.send("GA\u20ac"), "cannot carry"),
    (lambda cam: cam.get("No such thing"), "No such thing"),
    (lambda cam: cam.set_user_id("a\nb"), "line break"),
    (lambda cam: cam.set_camera_id("QN00000001"), "extended mode"),
    (lambda cam: cam.counter(4), "0 to 3"),
])
def test_usage_errors_send_nothing(sim, camera, call, message):
    before = sim.wire()
    with pytest.raises(qncam.UsageError, match=message):
        call(camera)
    assert sim.wire() == before


@pytest.mark.parametrize("call, result, wire", [
    (lambda cam: cam.get("Temperature"), int, ["TMP0?"]),
    (lambda cam: cam.get("PEMIN"), int, ["PEMIN?"]),
    (lambda cam: cam.reset_counter(1), (0, "Counter Idle"), ["CR1=0", "CV1?", "CS1?"]),
    (lambda cam: cam.set_user_id("bench7"), None, ["UD=bench7"]),
])
def test_readouts_and_identity_writes_put_the_windows_lines_on_the_wire(sim, camera, call, result, wire):
    before = len(sim.wire())
    value = call(camera)
    assert isinstance(value, result) if isinstance(result, type) else value == result
    assert sim.wire()[before:] == wire


def _refused_load(cam, folder):
    path = folder / "refused.cam"
    path.write_bytes(b"X\r\nGA=99999\r\n")
    cam.load(str(path))


def _existing_save(cam, folder):
    path = folder / "there.cam"
    path.write_bytes(b"")
    cam.save(str(path))


@pytest.mark.parametrize("call, error, message", [
    (_refused_load, qncam.CameraRefused, "1 lines not taken by the camera: Communication Error: Error:valueoutofrange"),
    (lambda cam, folder: cam.set(SDM=0) or cam.shading.read(), qncam.CameraRefused, "Shading Mode is OFF"),
    (lambda cam, folder: cam.load(str(folder / "missing.cam")), qncam.FileError, "missing.cam: could not be read"),
    (lambda cam, folder: cam.diff(str(folder / "missing.cam")), qncam.FileError, "missing.cam: could not be read"),
    (_existing_save, qncam.FileError, "there.cam: exists; force=True replaces it"),
    (lambda cam, folder: cam.save(str(folder / "no-folder" / "x.cam")), qncam.FileError, "could not be written"),
])
def test_failures_raise_their_class_with_the_reason(camera, tmp_path, call, error, message):
    with pytest.raises(error) as raised:
        call(camera, tmp_path)
    assert message in str(raised.value)
    assert isinstance(raised.value, qncam.Error)


@pytest.mark.parametrize("arguments, error, message", [
    ({"port": "/dev/qn-no-such-device"}, qncam.NoCamera, "^No camera: Cannot open /dev/qn-no-such-device"),
    ({"port": "COM17"}, qncam.UsageError, "port COM17: the COM names are COM1 to COM16"),
    ({"port": "rfc2217://host"}, qncam.UsageError, "rfc2217://host"),
    ({"port": "/dev/null", "camera_link": (3, 0)}, qncam.UsageError, "not both"),
    ({"port": "/dev/null", "rate": 1234}, qncam.UsageError, "rate 1234: give auto"),
    ({"port": "/dev/null", "mode": "expert"}, qncam.UsageError, "mode expert: give standard or extended"),
])
def test_open_failures(arguments, error, message):
    with pytest.raises(error, match=message):
        qncam.open(**arguments)


def test_a_camera_gone_is_no_camera(sim, camera):
    sim.stop()  # the pseudo-terminal hangs up, as a pulled cable does
    with pytest.raises(qncam.NoCamera, match="Link lost"):
        camera.get("GA")


def test_dump_is_qnctl_dump(sim):
    reference = json.loads(qnctl(sim, "--json", "dump").stdout)["parameters"]
    expected = {p["mnemonic"]: (p["text"] if p["text"] != str(p["value"]) else p["value"]) for p in reference}
    with open_camera(sim) as camera:
        assert camera.dump() == expected


@pytest.mark.parametrize("shipping", [False, True])
def test_save_is_byte_identical_to_qnctl(sim, tmp_path, shipping):
    ours, theirs = tmp_path / "python.cam", tmp_path / "qnctl.cam"
    with open_camera(sim) as camera:
        camera.set(GA=321)
        camera.save(str(ours), shipping=shipping)
        camera.save(str(ours), shipping=shipping, force=True)  # force replaces it
    qnctl(sim, "save", str(theirs), *(["--shipping"] if shipping else []))
    assert ours.read_bytes() == theirs.read_bytes()
    assert b"GA=321\r\n" in ours.read_bytes()


def test_diff_names_exactly_the_changed_parameters(camera, tmp_path):
    path = str(tmp_path / "line.cam")
    camera.save(path)
    assert camera.diff(path) == []
    file_values = {"GA": camera.get("GA"), "WTC": camera.get("Image format/Width")}
    camera.set(GA=file_values["GA"] + 50, WTC=file_values["WTC"] // 2)
    differences = camera.diff(path)
    assert sorted((d[1], d[2], d[3]) for d in differences) == [
        ("GA", file_values["GA"] + 50, file_values["GA"]),
        ("WTC", file_values["WTC"] // 2, file_values["WTC"])]
    camera.load(path)
    assert camera.diff(path) == []


def test_flash_areas_round_trip(sim, camera):
    camera.set(GA=200)
    camera.store_area(1)
    camera.set(GA=300)
    camera.load_area(1)
    assert camera.get("GA") == 200
    assert {"SA=1", "LD=1"} <= set(sim.wire())


@pytest.mark.parametrize("line, answer", [("GA?", "GA=100"), ("ZZ?", "Error: unknown command")])
def test_send_returns_the_lines_received(camera, line, answer):
    assert camera.send(line, wait_ms=300) == [answer]


@pytest.mark.parametrize("operation", ["dump", "load", "diff"])
def test_progress_rises(camera, tmp_path, operation):
    path = str(tmp_path / "p.cam")
    camera.save(path)
    calls = []
    getattr(camera, operation)(*([] if operation == "dump" else [path]),
                               progress=lambda done, total: calls.append((done, total)))
    assert len(calls) > 10
    assert all(later[0] > earlier[0] for earlier, later in zip(calls, calls[1:]))
    assert {total for _, total in calls} == {100}


def test_an_exception_in_a_callback_is_raised_after_the_call(camera):
    def progress(done, total):
        raise KeyError("from the callback")
    with pytest.raises(KeyError, match="from the callback"):
        camera.dump(progress=progress)
    assert camera.get("GA") == 100  # the camera is free again


@pytest.mark.parametrize("use_callback", [True, False])
def test_messages_go_to_the_callback_or_the_log(sim, caplog, use_callback):
    received = []
    callback = received.append if use_callback else None
    with qncam.open(sim.path, rate=115200, fast=True, on_message=callback) as cam:
        with caplog.at_level(logging.INFO, logger="qncam"), pytest.raises(qncam.CameraRefused):
            cam.set(SDM=0)
            cam.shading.read()
    logged = [(r.name, r.levelno, r.getMessage()) for r in caplog.records]
    if use_callback:
        assert received == ["Shading Mode is OFF"] and logged == []
    else:
        assert received == [] and logged == [("qncam", logging.ERROR, "Shading Mode is OFF")]


def test_four_cameras_in_four_threads_at_once(simulators):
    sims = [simulators(115200) for _ in range(4)]
    cams = [qncam.open(sim.path, rate=115200, fast=True) for sim in sims]
    spans, results = [None] * 4, [None] * 4

    def read(index):
        begin = time.monotonic()
        results[index] = cams[index].lut.read()
        spans[index] = time.monotonic() - begin

    threads = [threading.Thread(target=read, args=(i,)) for i in range(4)]
    begin = time.monotonic()
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    total = time.monotonic() - begin
    for cam in cams:
        cam.close()
    assert all(len(result) == 3 and len(result[2]) == 256 for result in results)
    # Held lock: the reads would follow one another, four times one read.
    assert total < 1.6 * min(spans), (total, spans)


# Every way in, the attributes too: close() on another thread destroys what they read.
@pytest.mark.parametrize("call", [lambda cam: cam.get("GA"), lambda cam: cam.link,
                                  lambda cam: cam.is_open, lambda cam: cam.close()],
                         ids=["get", "link", "is_open", "close"])
def test_a_second_thread_is_refused_while_the_camera_is_busy(camera, call):
    started, refused = threading.Event(), []

    def second():
        started.wait()
        try:
            call(camera)
        except qncam.UsageError as error:
            refused.append(str(error))

    other = threading.Thread(target=second)
    other.start()

    def progress(done, total):
        if not started.is_set():
            started.set()
            other.join(timeout=10)

    camera.dump(progress=progress)
    assert refused == ["this camera is in use by another thread"]
    assert camera.get("GA") == 100  # free again once the call is over


def test_a_closed_camera_refuses(camera):
    camera.close()
    assert not camera.is_open
    with pytest.raises(qncam.UsageError, match="this camera is closed"):
        camera.identify()


def _stub_names():
    """Every class, method and function the type stub declares."""
    tree = ast.parse((Path(__file__).parents[2] / "src" / "python" / "qncam.pyi").read_text())
    names = []
    for node in tree.body:
        if isinstance(node, ast.FunctionDef):
            names.append(node.name)
        elif isinstance(node, ast.ClassDef):
            names.append(node.name)
            names += ["%s.%s" % (node.name, item.name) for item in node.body
                      if isinstance(item, ast.FunctionDef) and not item.name.startswith("__")]
    return names


@pytest.mark.parametrize("name", _stub_names())
def test_the_stub_matches_the_module_and_everything_has_a_docstring(name):
    target = qncam
    for part in name.split("."):
        target = getattr(target, part)
    assert (target.__doc__ or "").strip()




@pytest.mark.parametrize("content, differences", [
    (b"", None), (b"GammaData (R G B)\r\n0,0,0\r\n", None), (b"GA=1O0\r\n", None),  # None: nothing verified
    (b"GA=100\r\nGAR=2O0\r\n", [("line 2", "", "unreadable", "GAR=2O0")])])
def test_diff_of_a_file_that_verifies_nothing_or_holds_unreadable_lines(camera, tmp_path, content, differences):
    (tmp_path / "file.cam").write_bytes(content)
    with pytest.raises(qncam.NothingVerified, match="nothing was verified") if differences is None else nullcontext():
        assert camera.diff(str(tmp_path / "file.cam")) == differences
