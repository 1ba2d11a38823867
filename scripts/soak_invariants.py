#!/usr/bin/env python3
"""Checks every frame of a game's trace (JSON lines on standard input or a FIFO) against the
rules the state must keep, and samples the game's resident memory and heap as it goes.
Used by scripts/soak.sh; exits 1 when a rule broke or the memory grew after the warm-up."""
import argparse
import json
import math
import sys

SCENES = {1, 4, 8, 16, 24, 32, 64, 128, 130, 160, 250}
SCENE_BATTLE, BOSS_MISSION, MISSION_COUNT = 128, 9, 10
SYSTEM_RUNNING = 64
FIELD_WIDTH, FIELD_HEIGHT, CELL_COUNT, STAR_COUNT, EXPLOSION_COUNT = 320, 480, 50, 32, 32
CELL_BLUE, CELL_EMPTY = 2, 4
START_HISCORE = 2000
MEMORY_SLACK = 1 << 20  # bytes the heap and the resident set may move after the warm-up
LINES_IN_PIPE = 100  # more trace lines than a pipe and the program's buffer hold


def broken_rules(s, frame, last_hiscore):
    """The rules this frame's state breaks, as short texts."""
    out = []
    def rule(ok, text):
        if not ok:
            out.append(text)
    g, cells, hp = s["PlayerGlobe"], s["CellTypes"], s["CellHp"]
    rule(s["frame"] == frame, f"frame {s['frame']} out of order")
    rule(s["ClockChanges"] == frame, f"ClockChanges {s['ClockChanges']}")
    rule(s["SystemState"] == SYSTEM_RUNNING and s["ErrorFlags"] == 0,
         f"SystemState {s['SystemState']} ErrorFlags {s['ErrorFlags']}")
    rule(s["SceneId"] in SCENES, f"unknown scene {s['SceneId']}")
    rule(s["pressed"] & ~s["InputBits"] == 0, "a bit pressed that is not held")
    rule(s["Score"] >= 0, f"Score {s['Score']}")
    rule(s["HiScore"] >= max(START_HISCORE, last_hiscore), f"HiScore fell to {s['HiScore']}")
    rule(0 <= s["MissionIndex"] < MISSION_COUNT and s["Level"] >= 0,
         f"mission {s['MissionIndex']} level {s['Level']}")
    rule(s["TimeLeft"] >= 0, f"TimeLeft {s['TimeLeft']}")
    rule(0 <= g["x"] < FIELD_WIDTH and 0 <= g["y"] < FIELD_HEIGHT, f"globe at {g['x']},{g['y']}")
    rule(0 <= g["energy"] <= 999, f"energy {g['energy']}")
    rule(math.isfinite(g["speed"]) and 0 <= g["speed"] <= 16.2, f"speed {g['speed']}")
    rule(0 <= g["heading"] < 256 and g["mode"] in (0, 1, 2), f"heading {g['heading']} mode {g['mode']}")
    rule(len(cells) == CELL_COUNT and len(hp) == CELL_COUNT, "field size")
    rule(all(0 <= t <= CELL_EMPTY for t in cells), "a cell of no known type")
    if s["SceneId"] == SCENE_BATTLE:  # the field is set up by the battle and kept after it
        standing = [i for i, t in enumerate(cells) if t <= CELL_BLUE]
        # An object breaks when its hit points go below 0; at 0 it still stands.
        rule(all(hp[i] >= 0 for i in standing), "an object standing with hit points below 0")
        rule(s["MissionIndex"] == BOSS_MISSION or s["ObjectsLeft"] == len(standing),
             f"ObjectsLeft {s['ObjectsLeft']} but {len(standing)} objects stand")
    slots = [e["index"] for e in s["Explosions"]]
    rule(len(set(slots)) == len(slots) and all(0 <= i < EXPLOSION_COUNT for i in slots),
         "explosion slots")
    rule(len(s["StarField"]) == STAR_COUNT, "star count")
    rule(s["TempoPercent"] > 0, f"TempoPercent {s['TempoPercent']}")
    return out


def resident_bytes(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) * 1024
    except OSError:
        pass
    return 0


def last_heap_sample(path):
    try:
        with open(path, "rb") as f:
            f.seek(0, 2)
            f.seek(max(0, f.tell() - 64))
            lines = f.read().split(b"\n")
        return int([l for l in lines if l][-1])
    except (OSError, ValueError, IndexError):
        return 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("trace")
    ap.add_argument("--pid", type=int, required=True)
    ap.add_argument("--heap-log", required=True)
    ap.add_argument("--warm-up", type=int, default=100000)
    ap.add_argument("--every", type=int, default=10000)
    a = ap.parse_args()
    frame, hiscore, broken, samples, kinds, pending = 0, START_HISCORE, 0, [], {}, None
    with open(a.trace) as trace:
        for line in trace:
            frame += 1
            s = json.loads(line)
            problems = broken_rules(s, frame, hiscore)
            hiscore = s["HiScore"]
            if problems:
                broken += 1
                for p in problems:  # the first few frames that break each rule
                    kind = p.split(" ")[0]
                    kinds[kind] = kinds.get(kind, 0) + 1
                    if kinds[kind] <= 3:
                        print(f"frame {frame}: {p}", flush=True)
            # A sample counts once lines beyond what the pipe holds have come after it: the
            # program was still playing when it was taken, not already ending.
            if pending and frame >= pending[0] + LINES_IN_PIPE:
                samples.append(pending)
                pending = None
            if frame % a.every == 0:
                pending = (frame, resident_bytes(a.pid), last_heap_sample(a.heap_log))
    print(f"{frame} frames checked, {broken} broke a rule")
    print(f"{'frame':>9} {'RSS (KiB)':>10} {'heap (KiB)':>11}")
    for f, rss, heap in samples:
        if f % (10 * a.every) == 0 or f == a.warm_up:
            print(f"{f:>9} {rss // 1024:>10} {heap // 1024:>11}")
    after = [x for x in samples if x[0] >= a.warm_up]
    grew = False
    for name, k in (("RSS", 1), ("heap", 2)):
        if not after:
            continue
        low, high = min(x[k] for x in after), max(x[k] for x in after)
        print(f"{name} after the warm-up: {low // 1024} to {high // 1024} KiB "
              f"(spread {(high - low) / 1024:.0f} KiB over {len(after)} samples)")
        grew |= high - low > MEMORY_SLACK
    return 1 if broken or grew or frame == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
