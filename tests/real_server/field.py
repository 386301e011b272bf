"""Runs match players against a real simulation server started by scripts/server.sh and reads
what happened on the field.

Each player talks to the server through a small logging proxy (one thread per direction) that
forwards every frame unchanged and keeps the ground truth the server adds to every vision
perception: head position (mypos, m, field frame of the left team), heading (myorien,
degrees, 0 facing the opponent goal), ball position (ballpos, m), and the game state (game
time t, s; play mode; score). Trainer commands go to the trainer port; the monitor stream the
server sends there is read and dropped. Python 3 standard library only, loopback only.
"""

import math
import os
import re
import socket
import subprocess
import threading
import time

NUM = r"(-?[0-9.eE+-]+)"
RE_MYPOS = re.compile(r"\(mypos " + NUM + " " + NUM + " " + NUM + r"\)")
RE_MYORIEN = re.compile(r"\(myorien " + NUM + r"\)")
RE_BALLPOS = re.compile(r"\(ballpos " + NUM + " " + NUM + " " + NUM + r"\)")
RE_T = re.compile(r"\(t " + NUM + r"\)")
RE_PM = re.compile(r"\(pm ([A-Za-z_]+)\)")
RE_SL = re.compile(r"\(sl ([0-9]+)\)")
RE_SR = re.compile(r"\(sr ([0-9]+)\)")

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
AGENT = os.environ.get("ZAMP_AGENT") or os.path.join(ROOT, "build", "apps", "zamp_agent")


class Failure(Exception):
    pass


def frame(text):
    data = text.encode()
    return len(data).to_bytes(4, "big") + data


def recv_exact(sock, n):
    buf = b""
    while len(buf) < n:
        part = sock.recv(n - len(buf))
        if not part:
            return None
        buf += part
    return buf


class Truth:
    """The latest ground truth of one player, updated by its proxy."""

    def __init__(self):
        self.lock = threading.Lock()
        self.cond = threading.Condition(self.lock)
        self.t = None  # game time, s
        self.pm = None
        self.score = (0, 0)
        self.pos = None  # head, (x, y, z)
        self.orien = None
        self.ball = None
        self.frames = 0
        self.log = []  # (t, pos, ball) at every vision

    def update(self, text):
        with self.cond:
            self.frames += 1
            m = RE_T.search(text)
            if m:
                self.t = float(m.group(1))
            m = RE_PM.search(text)
            if m:
                self.pm = m.group(1)
            sl, sr = RE_SL.search(text), RE_SR.search(text)
            if sl and sr:
                self.score = (int(sl.group(1)), int(sr.group(1)))
            m = RE_MYPOS.search(text)
            if m:
                self.pos = tuple(float(v) for v in m.groups())
                b = RE_BALLPOS.search(text)
                if b:
                    self.ball = tuple(float(v) for v in b.groups())
                o = RE_MYORIEN.search(text)
                if o:
                    self.orien = float(o.group(1))
                self.log.append((self.t, self.pos, self.ball))
            self.cond.notify_all()

    def snapshot(self):
        with self.lock:
            return self.t, self.pos, self.ball, self.score, self.pm


class Proxy:
    """Listens on an ephemeral loopback port; forwards one agent's link to the server."""

    def __init__(self, server_port):
        self.server_port = server_port
        self.truth = Truth()
        self.listener = socket.socket()
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.listener.settimeout(30.0)
        self.port = self.listener.getsockname()[1]
        self.socks = []
        threading.Thread(target=self.run, daemon=True).start()

    def run(self):
        try:
            agent, _ = self.listener.accept()
            server = socket.create_connection(("127.0.0.1", self.server_port), timeout=10.0)
        except OSError:
            return
        finally:
            self.listener.close()
        for s in (agent, server):
            s.settimeout(None)
            s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.socks = [agent, server]
        threading.Thread(target=self.pipe, args=(agent, server, False), daemon=True).start()
        self.pipe(server, agent, True)

    def pipe(self, src, dst, parse):
        try:
            while True:
                head = recv_exact(src, 4)
                if head is None:
                    break
                body = recv_exact(src, int.from_bytes(head, "big"))
                if body is None:
                    break
                dst.sendall(head + body)
                if parse:
                    self.truth.update(body.decode("latin-1"))
        except OSError:
            pass
        for s in (src, dst):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class Trainer:
    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=10.0)
        threading.Thread(target=self.drain, daemon=True).start()

    def drain(self):
        try:
            while self.sock.recv(1 << 16):
                pass
        except OSError:
            pass

    def send(self, *commands):
        self.sock.sendall(b"".join(frame(c) for c in commands))

    def move(self, unum, x, y, heading):
        # For the left team a move direction d makes the robot face d + 90 degrees.
        self.send("(agent (unum %d) (team Left) (move %.3f %.3f 0.35 %.1f))"
                  % (unum, x, y, heading - 90.0))

    def ball(self, x, y, vx=0.0, vy=0.0, z=0.042, vz=0.0):
        self.send("(ball (pos %.3f %.3f %.3f) (vel %.3f %.3f %.3f))" % (x, y, z, vx, vy, vz))


class Player:
    """One zamp_agent behind a proxy, started from the repository root."""

    def __init__(self, server_port, unum, rtype, mode="game", log_dir=None):
        self.proxy = Proxy(server_port)
        self.truth = self.proxy.truth
        out = subprocess.DEVNULL
        if log_dir:
            out = open(os.path.join(log_dir, "player%d.log" % unum), "w")
        self.process = subprocess.Popen(
            [AGENT, "--host=127.0.0.1", "--port=%d" % self.proxy.port, "--team=Left",
             "--unum=%d" % unum, "--type=%d" % rtype, "--mode=" + mode, "--syn=1"],
            cwd=ROOT, stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(2)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def wait_until(truth, predicate, game_seconds, wall_seconds):
    """Waits until predicate(truth) holds or game_seconds of game time (or wall_seconds of wall
    time) have passed; returns whether it held."""
    wall_end = time.monotonic() + wall_seconds
    with truth.cond:
        start = truth.t
        while True:
            if truth.pos is not None and predicate(truth):
                return True
            if truth.t is not None and start is not None and truth.t - start >= game_seconds:
                return False
            left = wall_end - time.monotonic()
            if left <= 0:
                return False
            truth.cond.wait(min(left, 0.5))
            if start is None:
                start = truth.t


def wait_game_time(truth, seconds, wall_seconds):
    wait_until(truth, lambda _: False, seconds, wall_seconds)


def is_up(truth):
    return truth.pos is not None and truth.pos[2] > 0.45


def heading_to(src, dst):
    return math.degrees(math.atan2(dst[1] - src[1], dst[0] - src[0]))
