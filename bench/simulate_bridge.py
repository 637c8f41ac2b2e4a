#!/usr/bin/env python3
"""Times quillon-cli simulate as a bridge with 10 rules over a candump log of
FRAMES frames against python-can's can.LogReader only reading the same file,
in the same run, each on one core, and prints JSON for report.py:
{"simulate_bridge": {"frames": N, "simulate_s": ..., "logreader_s": ..., "ratio": ...}}.
Each side runs RUNS times and its fastest run counts, so that a moment of
load on the machine (the log's own write-back, for one) weighs on neither.

Usage: simulate_bridge.py PATH_TO_QUILLON_CLI FRAMES"""
import json
import os
import pathlib
import random
import struct
import subprocess
import sys
import tempfile
import time

RULES = 10
RUNS = 3
ANY_ID = 0x80000000


def checksummed(body):
    return bytes([(~sum(body[1:])) & 0xFF]) + body[1:]


def channel_section():
    # enabled, 1000 kbit/s, normal mode, no recording rules
    return checksummed(bytes([0, 1, 0, 0x00, 0x3C, 0, 0, 0]) + bytes(20 * 16))


def bridge_rule(index):
    # Ordinary rules both ways on identifiers 0x100 + index: new identifier,
    # byte 0 times 2 plus 1, byte 1 a constant.
    return struct.pack("<BBBBBB2sIBB8sBBIBBBBB8s3s", 1, 2, 2, 1, 2, 0xF0, bytes(2),
                       0x100 + index, 0, 9, bytes(8), 0xF0, 0, 0x200 + index, 0, 0x02, 0x01,
                       0x01, 9, bytes([0, 0xEE]) + bytes(6), bytes(3))


def settings_file():
    system = checksummed(bytes(2) + struct.pack("<H", 64) + bytes(12))
    filters = checksummed(bytes(132))
    rules = b"".join(bridge_rule(i) for i in range(RULES))
    bridge = checksummed(bytes([0, RULES, 0, 0]) + rules)
    replay = checksummed(bytes(292))
    data = channel_section() + channel_section() + system + filters + filters + bridge + replay
    assert len(data) == 1672
    return data


def write_log(path, frames):
    rng = random.Random(27)
    with open(path, "w") as log:
        for i in range(frames):
            seconds = 1_700_000_000 + i // 1000
            micros = (i % 1000) * 1000
            ident = 0x100 + rng.randrange(16)
            data = bytes(rng.randrange(256) for _ in range(rng.randrange(9)))
            log.write(f"({seconds}.{micros:06d}) can{i % 2} {ident:03X}#{data.hex().upper()}\n")


def time_simulate(program, work, log, run):
    start = time.perf_counter()
    subprocess.run([program, "--settings-dir", str(work), "simulate", "--as", "bridge", str(log),
                    "-o", str(work / f"forwarded-{run}.log")],
                   check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def time_logreader(path, frames):
    import can  # only the log reader of python-can

    start = time.perf_counter()
    count = sum(1 for _ in can.LogReader(str(path)))
    elapsed = time.perf_counter() - start
    assert count == frames, (count, frames)
    return elapsed


def main():
    program, frames = sys.argv[1], int(sys.argv[2])
    os.sched_setaffinity(0, {sorted(os.sched_getaffinity(0))[0]})  # one core, children too
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        (work / "QXCfg.dat").write_bytes(settings_file())
        log = work / "drive.log"
        write_log(log, frames)
        simulate_s = min(time_simulate(program, work, log, run) for run in range(RUNS))
        logreader_s = min(time_logreader(log, frames) for _ in range(RUNS))
    print(json.dumps({"simulate_bridge": {"frames": frames, "simulate_s": simulate_s,
                                          "logreader_s": logreader_s,
                                          "ratio": logreader_s / simulate_s}}))


if __name__ == "__main__":
    main()
