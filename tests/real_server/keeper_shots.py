#!/usr/bin/env python3
"""The keeper (uniform number 1, --mode=game) alone in front of its goal against shots from
(-10, y0) at 9 m/s: straight at it (lateral offset within 0.1 m) and passing 0.3 to 0.5 m
beside it. A shot is stopped when no goal is scored within 4 s of it. Exit status 0 when at
least --min-straight and --min-beside shots were stopped, 1 otherwise."""

import argparse
import math
import sys

import field

SHOT_SPEED = 9.0  # m/s
SHOT_X = -10.0
TRACE = False
WATCH = 4.0  # s of game time after the shot
GUARD_ANCHOR = (-14.8, 0.0)
GUARD_DISTANCE = 0.5
STRAIGHT = [(0.0, 0.0), (0.5, 0.05), (-0.5, -0.05), (0.0, 0.1), (1.0, -0.1), (-1.0, 0.0)]
BESIDE = [(0.0, 0.3), (0.0, -0.3), (0.5, 0.4), (-0.5, -0.4), (0.0, 0.5), (0.0, -0.5)]


def guard_point(ball):
    dx, dy = ball[0] - GUARD_ANCHOR[0], ball[1] - GUARD_ANCHOR[1]
    d = math.hypot(dx, dy)
    return (GUARD_ANCHOR[0] + GUARD_DISTANCE * dx / d, GUARD_ANCHOR[1] + GUARD_DISTANCE * dy / d)


def settle(truth, guard, seconds):
    """Waits until the keeper has stood within 0.5 m of its guard point and moved less than
    5 cm for 1 s of game time."""
    history = []
    for _ in range(int(seconds / 0.2)):
        field.wait_game_time(truth, 0.2, 10.0)
        t, pos, _, _, _ = truth.snapshot()
        history.append(pos)
        if len(history) > 5 and field.is_up(truth):
            near = math.hypot(pos[0] - guard[0], pos[1] - guard[1]) < 0.5
            still = all(math.hypot(p[0] - pos[0], p[1] - pos[1]) < 0.05 and p[2] > 0.45
                        for p in history[-6:])
            if near and still:
                return True
    return False


def shoot(trainer, truth, y0, offset):
    """One shot; returns (stopped, keeper position at the shot, get-up time or None)."""
    source = (SHOT_X, y0)
    guard = guard_point(source)
    trainer.send("(playMode PlayOn)")
    trainer.ball(source[0], source[1])
    # The keeper walks to its guard point by itself; it is teleported there only when it has
    # not settled in time (a teleport leaves its own localisation off for a while).
    if not settle(truth, guard, 12.0):
        trainer.move(1, guard[0], guard[1], field.heading_to(guard, source))
        settle(truth, guard, 10.0)
    t0, keeper, _, score0, _ = truth.snapshot()
    if keeper is None or keeper[2] < 0.45:
        raise field.Failure("the keeper is not standing before the shot")
    aim = (keeper[0], keeper[1] + offset)
    dx, dy = aim[0] - source[0], aim[1] - source[1]
    d = math.hypot(dx, dy)
    trainer.ball(source[0], source[1], SHOT_SPEED * dx / d, SHOT_SPEED * dy / d)

    def scored(t):
        return t.score[1] > score0[1] or (t.pm or "").startswith("Goal")

    goal = field.wait_until(truth, scored, WATCH, 60.0)
    # Down after the save, then up again: the get-up time runs from the first fallen vision.
    getup = None
    down = [e for e in truth.log if e[0] is not None and e[0] >= t0 and e[1][2] < 0.30]
    if down:
        t_down = down[0][0]
        if field.wait_until(truth, field.is_up, 10.0, 60.0):
            getup = truth.t - t_down
    if TRACE == 2:
        after = [e for e in truth.log if e[0] is not None and t0 + 1.0 <= e[0]]
        passing = [e for e in truth.log if e[0] is not None and e[0] >= t0 and e[2][0] <= keeper[0]]
        if after and passing:
            print("   head moved (%+.2f %+.2f) to z %.2f; ball passed the keeper's x at %+.2f from it"
                  % (after[0][1][0] - keeper[0], after[0][1][1] - keeper[1], after[0][1][2],
                     passing[0][2][1] - keeper[1]))
    elif TRACE:
        for t, pos, ball in truth.log:
            if t is not None and t0 <= t <= t0 + 1.2:
                print("   %.2f head (%.2f %.2f %.2f) ball (%.2f %.2f %.2f)"
                      % ((t - t0,) + pos + ball))
    return not goal, keeper, getup


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--trainer-port", type=int, required=True)
    ap.add_argument("--type", type=int, default=0)
    ap.add_argument("--min-straight", type=int, default=5)
    ap.add_argument("--min-beside", type=int, default=4)
    ap.add_argument("--only", choices=["straight", "beside"], default=None)
    ap.add_argument("--log-dir", default=None)
    ap.add_argument("--trace", type=int, default=0, help="1: every vision, 2: a summary")
    ap.add_argument("--shots", default=None, help="Y0:OFFSET,... instead of the two series")
    args = ap.parse_args()
    global TRACE
    TRACE = args.trace

    trainer = field.Trainer(args.trainer_port)
    keeper = field.Player(args.port, 1, args.type, log_dir=args.log_dir)
    try:
        if not field.wait_until(keeper.truth, lambda t: t.frames > 10, 1e9, 30.0):
            raise field.Failure("the keeper got no ground truth from the server")
        results = {}
        series = [("straight", STRAIGHT), ("beside", BESIDE)]
        if args.shots:
            series = [("given", [tuple(float(v) for v in s.split(":"))
                                 for s in args.shots.split(",")])]
        for name, shots in series:
            if args.only and args.only != name:
                continue
            stopped = 0
            for y0, offset in shots:
                ok, pos, getup = shoot(trainer, keeper.truth, y0, offset)
                stopped += ok
                print("type %d %-8s from y %+.1f offset %+.2f keeper (%.2f, %.2f): %s%s"
                      % (args.type, name, y0, offset, pos[0], pos[1],
                         "stopped" if ok else "GOAL",
                         "" if getup is None else ", up again after %.1f s" % getup), flush=True)
            results[name] = (stopped, len(shots))
        print("type %d: " % args.type +
              ", ".join("%s %d of %d stopped" % (k, v[0], v[1]) for k, v in results.items()))
        ok = (results.get("straight", (99,))[0] >= args.min_straight and
              results.get("beside", (99,))[0] >= args.min_beside)
        return 0 if ok else 1
    except field.Failure as e:
        print("keeper_shots: %s" % e)
        return 1
    finally:
        keeper.stop()


if __name__ == "__main__":
    sys.exit(main())
