#!/usr/bin/python3
"""A proxy between a Hamlib client and rigctld that breaks the link at a chosen moment.

  rigproxy.py LISTEN_PORT TARGET_PORT [ACTION PATTERN [COUNT]]

Every connection to 127.0.0.1:LISTEN_PORT is relayed to rigctld on 127.0.0.1:TARGET_PORT, and
each line the client sends is logged to standard error. Once the COUNT-th (default 1) client line
that reads PATTERN ("T 1", "t") has been relayed and rigctld's answer to it passed back, ACTION happens:
  cut      that connection is closed; new connections are relayed again (a link that drops)
  cut-all  that connection is closed and no new one is taken (rigctld gone for good)
  freeze   nothing more is relayed on any connection, and none is closed (rigctld stopped)
  lie      that line is not relayed but answered "RPRT 0" (a radio that takes a command and
           does not carry it out)
rigctld keeps the rig's state whatever happens to the link. Ends on SIGTERM.
"""
import socket
import sys
import threading

listen_port, target_port = int(sys.argv[1]), int(sys.argv[2])
action = sys.argv[3] if len(sys.argv) > 3 else None
pattern = sys.argv[4] if len(sys.argv) > 4 else None
count = int(sys.argv[5]) if len(sys.argv) > 5 else 1

lock = threading.Lock()
seen = 0
frozen = threading.Event()
refusing = threading.Event()


def say(text):
    sys.stderr.write("rigproxy: " + text + "\n")
    sys.stderr.flush()


class Link:
    def __init__(self, client):
        self.client = client
        self.server = socket.create_connection(("127.0.0.1", target_port))
        self.armed = threading.Event()  # the trigger line went on; act after its answer
        self.ended = threading.Event()

    def close(self):
        self.ended.set()
        for s in (self.client, self.server):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            s.close()

    def upstream(self):
        global seen
        pending = b""
        while not self.ended.is_set():
            try:
                data = self.client.recv(4096)
            except OSError:
                break
            if not data or frozen.is_set():
                break
            pending += data
            lines = pending.split(b"\n")
            pending = lines.pop()
            for line in lines:
                text = line.decode(errors="replace")
                say(text)
                if action and pattern and text.strip() == pattern:
                    with lock:
                        seen += 1
                        hit = seen == count
                    if hit and action == "lie":
                        say("lie")
                        self.client.sendall(b"RPRT 0\n")
                        continue
                    if hit:
                        self.armed.set()
                self.server.sendall(line + b"\n")
        if not frozen.is_set():
            self.close()

    def downstream(self):
        while not self.ended.is_set():
            try:
                data = self.server.recv(4096)
            except OSError:
                break
            if not data or frozen.is_set():
                break
            self.client.sendall(data)
            if self.armed.is_set():
                say(action)
                if action == "freeze":
                    frozen.set()
                    return
                if action == "cut-all":
                    refusing.set()
                break
        if not frozen.is_set():
            self.close()


def main():
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", listen_port))
    listener.listen(8)
    while True:
        client, _ = listener.accept()
        if refusing.is_set():
            client.close()
            continue
        link = Link(client)
        threading.Thread(target=link.upstream, daemon=True).start()
        threading.Thread(target=link.downstream, daemon=True).start()


main()
