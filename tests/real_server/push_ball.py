#!/usr/bin/env python3
"""Plays xml/MotionXML/PushBall.xml once on a robot of its own (a minimal player: scene, init,
beam, then per cycle the joint speeds the motion asks for, as the program's JointController
computes them: gain times the remaining angle in degrees, in rad/s, capped at the joint's
maximum speed) with the ball placed in front of its right foot, and checks that the ball
went at least --min-distance m forward. Exit status 0 when it did."""

import argparse
import math
import os
import re
import socket
import sys
import xml.etree.ElementTree as ET

import field

MAX_SPEED = 6.1395  # rad/s
DEAD_BAND = 0.2  # degrees
RE_HJ = re.compile(r"\(HJ \(n ([a-z0-9]+)\) \(ax (-?[0-9.eE+-]+)\)\)")


def effector(joint):
    return joint.replace("j", "e", 1) if joint.startswith("h") else joint[:2] + "e" + joint[3:]


def read_motion(path):
    steps = []
    for m in ET.parse(path).getroot().iter("motion"):
        t = int(float(m.get("time")))
        moves = [(mv.get("id"), float(mv.get("degree")), float(mv.get("speed", "0.05")),
                  int(float(mv.get("start", "0"))), int(float(mv.get("end", str(t)))))
                 for mv in m.iter("move")]
        steps.append((max(t, 1), moves))
    return steps


class Robot:
    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=10.0)
        self.truth = field.Truth()
        self.angles = {}

    def send(self, text):
        self.sock.sendall(field.frame(text))

    def receive(self):
        head = field.recv_exact(self.sock, 4)
        body = field.recv_exact(self.sock, int.from_bytes(head, "big")) if head else None
        if body is None:
            raise field.Failure("the server closed the link")
        text = body.decode("latin-1")
        self.truth.update(text)
        for name, ax in RE_HJ.findall(text):
            self.angles[name] = float(ax)

    def cycle(self, targets):
        """One cycle: targets maps joint name to (degrees, gain)."""
        self.receive()
        out = []
        for joint, (deg, gain) in targets.items():
            diff = deg - self.angles.get(joint, 0.0)
            speed = 0.0 if abs(diff) <= DEAD_BAND else max(-MAX_SPEED, min(MAX_SPEED, diff * gain))
            out.append("(%s %.4f)" % (effector(joint), speed))
        self.send("".join(out) + "(syn)")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--trainer-port", type=int, required=True)
    ap.add_argument("--type", type=int, default=0)
    ap.add_argument("--min-distance", type=float, default=0.5)
    args = ap.parse_args()

    steps = read_motion(os.path.join(field.ROOT, "xml", "MotionXML", "PushBall.xml"))
    trainer = field.Trainer(args.trainer_port)
    robot = Robot(args.port)
    robot.send("(scene rsg/agent/nao/nao_hetero.rsg %d)" % args.type)
    robot.receive()
    robot.send("(init (unum 10)(teamname Left))(syn)")
    robot.receive()
    robot.send("(beam -3 0 0)(syn)")
    try:
        first = {j: (d, g) for j, d, g, _, _ in steps[0][1]}
        for _ in range(50):  # the first step's stance, held for 1 s
            robot.cycle(first)
        trainer.send("(playMode PlayOn)")
        for _ in range(25):
            robot.cycle(first)
        hx, hy, _ = robot.truth.pos
        # The right foot stands 0.055 m right of the head, its toes about 0.1 m ahead of it.
        ball0 = (hx + 0.15, hy - 0.055)
        trainer.ball(ball0[0], ball0[1])
        for _ in range(10):
            robot.cycle(first)
        for length, moves in steps:
            for t in range(length):
                robot.cycle({j: (d, g) for j, d, g, s, e in moves if s <= t < e})
        for _ in range(100):  # the ball rolls out
            robot.cycle({})
        bx, by, _ = robot.truth.ball
        forward = bx - ball0[0]
        print("type %d: the push moved the ball %.2f m forward, %.2f m sideways (needed %.1f m)"
              % (args.type, forward, by - ball0[1], args.min_distance))
        return 0 if forward >= args.min_distance and robot.truth.pos[2] > 0.40 else 1
    except (field.Failure, OSError) as e:
        print("push_ball: %s" % e)
        return 1
    finally:
        robot.sock.close()


if __name__ == "__main__":
    sys.exit(main())
