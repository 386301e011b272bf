#!/usr/bin/env python3
"""A single player (uniform number 9, --mode=game) beamed 3 m behind the ball walks to it and
kicks it: within --seconds s of game time the ball makes one run (from rest to rest) of at
least --min-distance m. Exit status 0 when it did."""

import argparse
import math
import sys

import field

MOVING = 0.02  # m between two visions (0.06 s): the ball rolls


def longest_run(samples):
    """Longest straight distance (m) the ball covered between two rests."""
    best, start, prev = 0.0, None, None
    for b in samples:
        if prev is not None:
            moving = math.hypot(b[0] - prev[0], b[1] - prev[1]) > MOVING
            if moving and start is None:
                start = prev
            if start is not None:
                best = max(best, math.hypot(b[0] - start[0], b[1] - start[1]))
                if not moving:
                    start = None
        prev = b
    return best


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--trainer-port", type=int, required=True)
    ap.add_argument("--type", type=int, default=0)
    ap.add_argument("--seconds", type=float, default=40.0)
    ap.add_argument("--min-distance", type=float, default=3.0)
    args = ap.parse_args()

    trainer = field.Trainer(args.trainer_port)
    player = field.Player(args.port, 9, args.type)
    truth = player.truth
    try:
        if not field.wait_until(truth, lambda t: t.frames > 10, 1e9, 30.0):
            raise field.Failure("the player got no ground truth from the server")
        trainer.send("(playMode PlayOn)")
        trainer.ball(0.0, 0.0)
        trainer.move(9, -3.0, 0.0, 0.0)
        field.wait_game_time(truth, 0.5, 30.0)
        start = len(truth.log)

        def kicked(t):
            return longest_run([e[2] for e in t.log[start:] if e[2] is not None]) >= \
                args.min_distance

        ok = field.wait_until(truth, kicked, args.seconds, 300.0)
        field.wait_game_time(truth, 3.0, 30.0)  # the ball rolls out
        with truth.lock:
            samples = [e for e in truth.log[start:] if e[2] is not None]
        run = longest_run([e[2] for e in samples])
        print("type %d: longest ball run %.2f m, %.1f s of game time (needed %.1f m)"
              % (args.type, run, samples[-1][0] - samples[0][0], args.min_distance))
        return 0 if ok else 1
    except field.Failure as e:
        print("kick: %s" % e)
        return 1
    finally:
        player.stop()


if __name__ == "__main__":
    sys.exit(main())
