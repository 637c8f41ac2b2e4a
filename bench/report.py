#!/usr/bin/env python3
"""Prints every benchmark of a scripts/bench run with its figure and its
ratio to python-can's virtual bus (send + receive per frame), then each
target the project holds itself to, met or missed.

A benchmark reports its per-frame cost in the counter s_per_frame (seconds);
others are shown by their time per iteration. The receive path also reports
frames_per_cpu_s (what one core manages), the upgrade at wire speed took_s,
expected_s and deviation. The file cli_session (bench/cli_session.py) holds
the timing of a whole quillon-cli session."""
import json
import pathlib
import sys

UNITS = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}


def base_name(bench):
    return bench["name"].split("/")[0]


def figure(bench):
    if "s_per_frame" in bench:
        return bench["s_per_frame"] * 1e9, "ns/frame"
    return bench["real_time"] * UNITS[bench.get("time_unit", "ns")], "ns/iter"


def row(name, value, unit, rate, ratio, note=""):
    print(f"{name:<34} {value:>12} {unit:<9} {rate:>14} {ratio:>10}  {note}".rstrip())


def print_bench(bench, python_ns):
    if bench.get("error_occurred"):
        print(f"{base_name(bench):<34} failed: {bench.get('error_message', '')}")
        return
    if "deviation" in bench:
        row(base_name(bench), f"{bench['took_s']:.3f}", "s", "-", "-",
            f"expected {bench['expected_s']:.3f} s (bus {bench['bus_s']:.3f} s + pauses), "
            f"deviation {bench['deviation'] * 100:+.2f} %")
        streaming, expected = bench["streaming_s"], bench["expected_streaming_s"]
        row("  streaming alone", f"{streaming:.3f}", "s", "-", "-",
            f"expected {expected:.3f} s (data frames + block pauses), "
            f"deviation {(streaming / expected - 1) * 100:+.2f} %")
        return
    value, unit = figure(bench)
    if unit != "ns/frame":
        row(base_name(bench), f"{value:,.0f}", unit, "-", "-")
        return
    row(base_name(bench), f"{value:,.1f}", unit, f"{1e9 / value:,.0f}/s",
        f"{python_ns / value:.1f}x")
    if "frames_per_cpu_s" in bench:
        per_core = bench["frames_per_cpu_s"]
        row("  per core (processor time)", f"{1e9 / per_core:,.1f}", "ns/frame",
            f"{per_core:,.0f}/s", f"{python_ns * per_core / 1e9:.1f}x")


# name: (what it promises, test on the benchmark's result)
TARGETS = {
    "BM_UpgradeStreamSim": (
        "sim upgrade path <= 120 ns per frame and >= 50x python-can",
        lambda b, py: b["s_per_frame"] * 1e9 <= 120 and py / (b["s_per_frame"] * 1e9) >= 50),
    "BM_BrindlePathTransmit": (
        "Brindle path >= 90,000 frames/s",
        lambda b, py: 1 / b["s_per_frame"] >= 90_000),
    "BM_ReceivePath": (
        "receive path >= 1,000,000 frames/s per core",
        lambda b, py: b["frames_per_cpu_s"] >= 1_000_000),
    "BM_UpgradeAtWireSpeed": (
        "1 MiB upgrade at 1 Mbit/s within 3 % of pauses + bus time",
        lambda b, py: abs(b["deviation"]) <= 0.03),
}


def print_cli_session(results):
    path = results / "cli_session"
    if not path.exists():
        return None
    session = json.loads(path.read_text())["cli_session"]
    row("quillon-cli session", f"{session['median_s']:.3f}", "s", "-", "-",
        f"median of {session['runs']} runs (slowest {session['max_s']:.3f} s), "
        "connect + show + disconnect on the instant simulator")
    return session


def print_simulate_bridge(results):
    path = results / "simulate_bridge"
    if not path.exists():
        return None
    run = json.loads(path.read_text())["simulate_bridge"]
    row("quillon-cli simulate (bridge)", f"{run['simulate_s']:.3f}", "s",
        f"{run['frames'] / run['simulate_s']:,.0f}/s", f"{run['ratio']:.1f}x",
        f"10 rules over {run['frames']:,} frames, one core; python-can LogReader only "
        f"reading it: {run['logreader_s']:.3f} s")
    return run


def print_targets(benches, python_ns, session=None, simulate=None):
    print("\ntargets:")
    if session is not None:
        verdict = "met" if session["median_s"] <= 0.1 else "MISSED"
        print(f"  {verdict:<8} quillon-cli session <= 0.1 s (no wait after its last frame)")
    if simulate is not None:
        verdict = "met" if simulate["ratio"] >= 20 else "MISSED"
        print(f"  {verdict:<8} simulate as a bridge >= 20x python-can's LogReader reading the log")
    for name, (promise, met) in TARGETS.items():
        found = [b for b in benches if base_name(b) == name and not b.get("error_occurred")]
        verdict = "not run" if not found else ("met" if met(found[0], python_ns) else "MISSED")
        print(f"  {verdict:<8} {promise}")


def main():
    results = pathlib.Path(sys.argv[1])
    python_ns = float((results / "python_can_ns").read_text())
    row("benchmark", "figure", "", "frames", "vs python")
    row("python-can virtual bus", f"{python_ns:,.1f}", "ns/frame", f"{1e9 / python_ns:,.0f}/s",
        "1.0x", "send + receive, one process")
    benches = []
    for path in sorted(results.glob("*.json")):
        for bench in json.loads(path.read_text())["benchmarks"]:
            if bench.get("run_type") != "aggregate":
                benches.append(bench)
                print_bench(bench, python_ns)
    session = print_cli_session(results)
    simulate = print_simulate_bridge(results)
    print_targets(benches, python_ns, session, simulate)


if __name__ == "__main__":
    main()
