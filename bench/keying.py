#!/usr/bin/python3
"""How long zk77q3 keeps the transmitter keyed, and how soon after the lead the sound starts.

A PulseAudio server of this run's own stands in for the radio: a null sink "radio" at 48 kHz that
paces like a sound card, its monitor recorded by parec with a 10 ms latency. Hamlib's dummy rig
behind rigctld stands in for the PTT; a second connection asks its state every 2 ms. For each send
(`play`, and `tone --seconds 2`) the figures are:
  keyed      how long the key was down, against lead + sound + tail (the goal: at most 0.45 s more)
  start      key-down to the first sound heard at the sink's monitor, less the lead (the goal:
             within 50 ms of the lead's end; the monitor's own latency is in it)
Each is given as the median and the worst of RUNS sends.
  bench/keying.py ZK77Q3 [RUNS]     5 sends of each kind unless told
"""
import array
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

LEAD_S = 0.2
TAIL_S = 0.1
SIGNAL_S = 48768 / 16000
TONE_S = 2.0
GOAL_OVER_S = 0.45
GOAL_START_S = 0.05
LOUD_PEAK = 1000  # well above the null sink's silence
STRETCH_SAMPLES = 160  # 10 ms at 16000 Hz


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(condition, seconds=10.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return False


class KeyWatch(threading.Thread):
    """The rig's PTT asked every 2 ms over one connection: the moments it went down and up."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.sock = socket.create_connection(("127.0.0.1", port))
        self.reader = self.sock.makefile("r")
        self.downs = []
        self.ups = []
        self.stop = False

    def run(self):
        keyed = False
        while not self.stop:
            self.sock.sendall(b"t\n")
            answer = self.reader.readline().strip()
            now = time.monotonic()
            if answer == "1" and not keyed:
                self.downs.append(now)
            elif answer == "0" and keyed:
                self.ups.append(now)
            keyed = answer == "1"
            time.sleep(0.002)


class AirWatch(threading.Thread):
    """What the null sink sends, heard at its monitor: the moments of the loud 10 ms stretches."""

    def __init__(self):
        super().__init__(daemon=True)
        self.process = subprocess.Popen(
            ["parec", "--device=radio.monitor", "--format=s16le", "--rate=16000",
             "--channels=1", "--latency-msec=10"], stdout=subprocess.PIPE)
        self.loud = []
        self.heard = 0

    def run(self):
        size = 2 * STRETCH_SAMPLES
        while True:
            data = self.process.stdout.read(size)
            if len(data) < size:
                return
            samples = array.array("h", data)
            self.heard += 1
            if max(max(samples), -min(samples)) >= LOUD_PEAK:
                self.loud.append(time.monotonic())


def start_server(work):
    runtime = os.path.join(work, "runtime")
    os.mkdir(runtime, 0o700)
    os.environ["XDG_RUNTIME_DIR"] = runtime
    os.environ["XDG_STATE_HOME"] = os.path.join(work, "state")
    os.environ["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    with open(os.path.join(work, "server.pa"), "w") as pa:
        pa.write("load-module module-native-protocol-unix\n"
                 "load-module module-null-sink sink_name=radio rate=48000\n"
                 "set-default-sink radio\n")
    with open(os.path.join(work, "asound.conf"), "w") as conf:
        conf.write("pcm.!default { type pulse }\n")
    os.environ["ALSA_CONFIG_PATH"] = os.path.join(work, "asound.conf")
    server = subprocess.Popen(
        ["pulseaudio", "-n", "-F", os.path.join(work, "server.pa"), "--exit-idle-time=-1",
         "--daemonize=no", "--disallow-exit", "--log-target=file:" + os.path.join(work, "pulse.log")])
    if not wait_for(lambda: subprocess.call(["pactl", "info"], stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL) == 0):
        sys.exit("keying: the sound server did not start")
    return server


def send(tool, args, keys, air, work):
    downs, ups = len(keys.downs), len(keys.ups)
    subprocess.run([tool] + args, cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True)
    wait_for(lambda: len(keys.ups) > ups, 2.0)
    down, up = keys.downs[downs], keys.ups[ups]
    first = next(t for t in air.loud if t >= down)
    return up - down, first - down - LEAD_S


def report(name, sound_s, results):
    keyed = [k for k, _ in results]
    starts = [s for _, s in results]
    budget = LEAD_S + sound_s + TAIL_S
    print(f"{name}: keyed median {statistics.median(keyed):.3f} s, worst {max(keyed):.3f} s "
          f"(lead + sound + tail {budget:.3f} s; over by at most {max(keyed) - budget:.3f} s, "
          f"goal {GOAL_OVER_S} s: {'met' if max(keyed) - budget <= GOAL_OVER_S else 'MISSED'})")
    print(f"{name}: sound after the lead's end median {1000 * statistics.median(starts):.0f} ms, "
          f"worst {1000 * max(starts):.0f} ms (goal {1000 * GOAL_START_S:.0f} ms: "
          f"{'met' if max(starts) <= GOAL_START_S else 'MISSED'})")


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    tool = os.path.realpath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    work = tempfile.mkdtemp(prefix="zk_keying_")
    processes = []
    try:
        processes.append(start_server(work))
        port = free_port()
        processes.append(subprocess.Popen(
            ["rigctld", "-m", "1", "-P", "RIG", "-T", "127.0.0.1", "-t", str(port)]))
        if not wait_for(lambda: socket.socket().connect_ex(("127.0.0.1", port)) == 0):
            sys.exit("keying: rigctld did not start")
        keys = KeyWatch(port)
        keys.start()
        air = AirWatch()
        processes.append(air.process)
        air.start()
        wait_for(lambda: air.heard > 0)
        ptt = ["--ptt", f"rigctld:127.0.0.1:{port}", "--ptt-lead", str(int(LEAD_S * 1000)),
               "--ptt-tail", str(int(TAIL_S * 1000))]
        plays = [send(tool, ["play", "--user-open", "1590"] + ptt, keys, air, work)
                 for _ in range(runs)]
        tones = [send(tool, ["tone", "--seconds", str(int(TONE_S))] + ptt, keys, air, work)
                 for _ in range(runs)]
        keys.stop = True
        print(f"{runs} sends of each, through a PulseAudio null sink, lead {LEAD_S * 1000:.0f} ms, "
              f"tail {TAIL_S * 1000:.0f} ms")
        report("play", SIGNAL_S, plays)
        report("tone", TONE_S, tones)
    finally:
        for process in reversed(processes):
            process.send_signal(signal.SIGTERM)
            process.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
