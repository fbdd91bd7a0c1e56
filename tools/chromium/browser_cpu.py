#!/usr/bin/env python3
"""Processor time of the browser running with a user-data folder, over some seconds.

  browser_cpu.py FOLDER SECONDS   prints "browser_cpu_percent=N" (all its processes, 100 = one core)

The process times come from SystemInfo.getProcessInfo at the endpoint of FOLDER/DevToolsActivePort.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from end_browsers import DevTools, PORT_FILE  # noqa: E402


def cpu_seconds(devtools):
    info = devtools.reply(devtools.send("SystemInfo.getProcessInfo"))
    return sum(p.get("cpuTime", 0) for p in info.get("result", {}).get("processInfo", []))


def main(folder, seconds):
    with open(os.path.join(folder, PORT_FILE)) as f:
        port, path = int(f.readline()), f.readline().strip()
    devtools = DevTools(port, path)
    before = cpu_seconds(devtools)
    time.sleep(seconds)
    used = cpu_seconds(devtools) - before
    print("browser_cpu_percent=%.1f" % (used * 100.0 / seconds))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], float(sys.argv[2])))
