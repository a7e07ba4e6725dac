#!/usr/bin/python3
"""What a program's start costs: each command run N times, interleaved, quietly.

    bench/startcost.py [-n RUNS] -- NAME=COMMAND... (each COMMAND one shell-free string)

For every run: wall time from spawn to reaping, and the child's user+system CPU time (from
wait4's resource usage). Prints median and 10th percentile of both, per command. Standard output
and error go to /dev/null; the order of the commands is shuffled in every round, so that a
machine that slows down or speeds up during the measurement weighs on all of them alike.
"""
import argparse
import os
import random
import shlex
import statistics
import sys
import time


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def run_once(argv, devnull):
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, os.environ,
                         file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1),
                                       (os.POSIX_SPAWN_DUP2, devnull, 2)])
    _, status, usage = os.wait4(pid, 0)
    wall_ms = (time.perf_counter_ns() - start) / 1e6
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv} failed with {os.waitstatus_to_exitcode(status)}")
    return wall_ms, (usage.ru_utime + usage.ru_stime) * 1000.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-n", "--runs", type=int, default=300)
    parser.add_argument("commands", nargs="+", help="NAME=COMMAND")
    options = parser.parse_args()
    commands = {}
    for item in options.commands:
        name, _, command = item.partition("=")
        commands[name] = shlex.split(command)
    devnull = os.open(os.devnull, os.O_WRONLY)
    for argv in commands.values():  # warm the page cache
        for _ in range(5):
            run_once(argv, devnull)
    wall = {name: [] for name in commands}
    cpu = {name: [] for name in commands}
    names = list(commands)
    for _ in range(options.runs):
        random.shuffle(names)
        for name in names:
            w, c = run_once(commands[name], devnull)
            wall[name].append(w)
            cpu[name].append(c)
    print(f"{'command':<16} {'runs':>5} {'wall p50':>9} {'wall p10':>9} {'cpu p50':>8} {'cpu p10':>8}  (ms)")
    for name in commands:
        print(f"{name:<16} {len(wall[name]):>5} {statistics.median(wall[name]):>9.2f} "
              f"{percentile(wall[name], 0.1):>9.2f} {statistics.median(cpu[name]):>8.2f} "
              f"{percentile(cpu[name], 0.1):>8.2f}")


if __name__ == "__main__":
    main()
