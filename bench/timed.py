#!/usr/bin/env python3
"""Times one command for bench/ntbackup.sh: sync, start, wait, sync, stop, so that
each side pays for getting its own bytes onto the disk and none of the other's.

Prints "MILLISECONDS PEAK_KB", where PEAK_KB is the command's own peak resident
set (VmHWM, read from /proc while it runs), not its children's: /usr/bin/time's
figure would be tar's whenever tar grows larger than the program.

    timed.py COMMAND ARGS...      (stdout to /dev/null, stderr kept)
"""
import os
import subprocess
import sys
import time


def hwm(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def main():
    os.sync()
    start = time.monotonic()
    child = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL)
    peak = 0
    # VmHWM only grows: the last reading before the exit is the peak, give or take
    # what the last 20 ms added.
    while child.poll() is None:
        peak = max(peak, hwm(child.pid))
        time.sleep(0.02)
    os.sync()
    ms = (time.monotonic() - start) * 1000
    if child.returncode not in (0, 1):
        print(f"timed.py: {sys.argv[1:]} ended with status {child.returncode}", file=sys.stderr)
    print(f"{ms:.0f} {peak}")


main()
