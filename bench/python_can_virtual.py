#!/usr/bin/env python3
"""python-can's virtual bus, send and receive in one process: the yardstick
scripts/bench compares Quillon's frame paths with. Prints nanoseconds per frame."""
import sys
import time

import can

FRAMES = int(sys.argv[1]) if len(sys.argv) > 1 else 20000


def main():
    sender = can.Bus(interface="virtual", channel="quillon-bench", receive_own_messages=False)
    receiver = can.Bus(interface="virtual", channel="quillon-bench", receive_own_messages=False)
    message = can.Message(arbitration_id=1, is_extended_id=False, data=bytes(range(8)))
    start = time.perf_counter()
    for _ in range(FRAMES):
        sender.send(message)
        if receiver.recv(timeout=1.0) is None:
            sys.exit("python-can: a frame was lost")
    elapsed = time.perf_counter() - start
    sender.shutdown()
    receiver.shutdown()
    print(f"{elapsed * 1e9 / FRAMES:.0f}")


if __name__ == "__main__":
    main()
