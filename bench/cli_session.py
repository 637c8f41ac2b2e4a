#!/usr/bin/env python3
"""Times quillon-cli session (connect, show, disconnect) against the instant
simulated device, a fresh one each run, and prints the runs as JSON for
report.py: {"cli_session": {"runs": N, "median_s": ..., "max_s": ...}}.

Usage: cli_session.py PATH_TO_QUILLON_CLI RUNS"""
import json
import statistics
import subprocess
import sys
import tempfile
import time


def main():
    program, runs = sys.argv[1], int(sys.argv[2])
    took = []
    with tempfile.TemporaryDirectory() as settings:
        for _ in range(runs):
            start = time.perf_counter()
            subprocess.run([program, "--adapter", "sim:state=none", "--settings-dir", settings,
                            "session"], check=True, stdout=subprocess.DEVNULL)
            took.append(time.perf_counter() - start)
    print(json.dumps({"cli_session": {"runs": runs, "median_s": statistics.median(took),
                                      "max_s": max(took)}}))


if __name__ == "__main__":
    main()
