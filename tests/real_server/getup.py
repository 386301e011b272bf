#!/usr/bin/env python3
"""A player (uniform number 9, --mode=game) tipped over by a trainer move that drops it from
1 m is up again (head above 0.45 m) within --limit s of game time after it went down (head
below 0.30 m). Repeated --falls times; exit status 0 when every fall ended in time."""

import argparse
import sys

import field


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--trainer-port", type=int, required=True)
    ap.add_argument("--type", type=int, default=0)
    ap.add_argument("--falls", type=int, default=3)
    ap.add_argument("--limit", type=float, default=8.0)
    args = ap.parse_args()

    trainer = field.Trainer(args.trainer_port)
    player = field.Player(args.port, 9, args.type)
    truth = player.truth
    try:
        if not field.wait_until(truth, lambda t: t.frames > 10, 1e9, 30.0):
            raise field.Failure("the player got no ground truth from the server")
        trainer.send("(playMode PlayOn)")
        trainer.ball(10.0, 10.0)  # far away: the player has nothing to do but stand or walk
        field.wait_game_time(truth, 2.0, 30.0)
        times = []
        for n in range(args.falls):
            if not field.wait_until(truth, field.is_up, 10.0, 60.0):
                raise field.Failure("the player is not standing before fall %d" % (n + 1))
            fell = False
            for _ in range(3):
                trainer.send("(agent (unum 9) (team Left) (move -5 %.1f 1.0 0))" % (n - 1.0))
                if field.wait_until(truth, lambda t: t.pos[2] < 0.30, 2.0, 30.0):
                    fell = True
                    break
            if not fell:
                raise field.Failure("the trainer move did not tip the player over")
            t_down = truth.t
            up = field.wait_until(truth, field.is_up, args.limit, 120.0)
            took = truth.t - t_down
            times.append(took)
            print("type %d fall %d: %s after %.2f s" % (args.type, n + 1,
                                                        "up again" if up else "STILL DOWN", took),
                  flush=True)
            if not up:
                return 1
        print("type %d: up again after %s s (limit %.0f s)"
              % (args.type, ", ".join("%.2f" % t for t in times), args.limit))
        return 0
    except field.Failure as e:
        print("getup: %s" % e)
        return 1
    finally:
        player.stop()


if __name__ == "__main__":
    sys.exit(main())
