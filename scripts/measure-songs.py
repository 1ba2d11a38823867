#!/usr/bin/env python3
"""Measures the generated songs as a listener hears them: loudness, the melody against the rest,
the level across the loop seam, and how many bars are exact copies.

Each song is rendered twice over (as the game loops it) with fluidsynth, and ffmpeg's EBU R128
filter gives the momentary loudness every 100 ms, from which every figure below is worked out.

  scripts/measure-songs.py [--soundfont SF2]... [--song MD02t]... FOLDER_WITH_SONGS
"""
import argparse
import math
import os
import re
import struct
import subprocess
import sys
import tempfile

# The melody's parts in each song: a track name, or name@first-last for the bars where that
# part carries the tune (bars count from 1).
MELODY = {
    "MD00t": ["trumpet", "glock", "horn@21-28"],
    "MD01t": ["flute"],
    "MD02t": ["lead", "organ", "lead2@13-20"],
    "MD03t": ["lead", "sax"],
    "MD04t": ["guitar", "brass@13-20", "horn"],
    "MD05t": ["brass", "horn", "lead", "violin"],
    "MD06t": ["trumpet", "flute"],
}
SEAM_SECONDS = 4.0
PHRASE_BARS = 4  # the melody is weighed phrase by phrase


def read_var(data, pos):
    value = 0
    while True:
        b = data[pos]
        pos += 1
        value = value << 7 | (b & 0x7F)
        if b < 0x80:
            return value, pos


def put_var(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def read_smf(path):
    """(division, tracks); a track is a list of (tick, event bytes with their status)."""
    data = open(path, "rb").read()
    assert data[:4] == b"MThd"
    _, count, division = struct.unpack(">HHH", data[8:14])
    pos, tracks = 14, []
    for _ in range(count):
        assert data[pos:pos + 4] == b"MTrk"
        size = struct.unpack(">I", data[pos + 4:pos + 8])[0]
        body, pos = data[pos + 8:pos + 8 + size], pos + 8 + size
        events, at, tick, running = [], 0, 0, 0
        while at < len(body):
            delta, at = read_var(body, at)
            tick += delta
            status = body[at]
            if status == 0xFF:
                length, start = read_var(body, at + 2)
                events.append((tick, body[at:start + length]))
                at = start + length
            elif status in (0xF0, 0xF7):
                length, start = read_var(body, at + 1)
                events.append((tick, body[at:start + length]))
                at = start + length
            else:
                if status & 0x80:
                    running, at = status, at + 1
                size = 1 if running & 0xF0 in (0xC0, 0xD0) else 2
                events.append((tick, bytes([running]) + body[at:at + size]))
                at += size
        tracks.append(events)
    return division, tracks


def write_smf(path, division, tracks):
    out = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), division)
    for events in tracks:
        body, clock = b"", 0
        for tick, ev in sorted(events, key=lambda e: (e[0], e[1][:2] == b"\xff\x2f")):
            body += put_var(tick - clock) + ev
            clock = tick
        out += b"MTrk" + struct.pack(">I", len(body)) + body
    open(path, "wb").write(out)


def track_name(events):
    for _, ev in events:
        if ev[0] == 0xFF and ev[1] == 0x03:
            return ev[read_var(ev, 2)[1]:].decode("latin-1")
    return ""


def song_length(tracks):
    return max(e[0] for t in tracks for e in t if e[1][:2] == b"\xff\x2f")


def looped_twice(tracks, length):
    """Every track played twice, the second pass from the loop point, as the game loops."""
    out = []
    for events in tracks:
        body = [e for e in events if e[1][:2] != b"\xff\x2f"]
        out.append(body + [(t + length, ev) for t, ev in body] + [(2 * length, b"\xff\x2f\x00")])
    return out


def tick_seconds(tracks, division):
    """A function from tick to seconds, from the tempo events of every track."""
    tempos = sorted((t, int.from_bytes(ev[3:6], "big")) for tr in tracks for t, ev in tr
                    if ev[:2] == b"\xff\x51")
    def seconds(tick):
        total, last, tempo = 0.0, 0, 500000
        for at, value in tempos:
            if at >= tick:
                break
            total += (at - last) * tempo / division / 1e6
            last, tempo = at, value
        return total + (tick - last) * tempo / division / 1e6
    return seconds


def render(midi, soundfont, wav):
    subprocess.run(["fluidsynth", "-ni", "-F", wav, "-r", "44100", soundfont, midi], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def loudness_frames(wav):
    """[(t, momentary LUFS)] every 100 ms, and the true peak in dBTP."""
    run = subprocess.run(["ffmpeg", "-nostats", "-i", wav, "-af",
                          "ebur128=peak=true:framelog=info", "-f", "null", "-"],
                         capture_output=True, text=True, check=True)
    frames = [(float(m.group(1)), number(m.group(2))) for m in
              re.finditer(r"t:\s*([\d.]+)\s+TARGET:\S+ LUFS\s+M:\s*(\S+)", run.stderr)]
    peak = re.findall(r"Peak:\s*(\S+) dBFS", run.stderr)
    return frames, number(peak[-1]) if peak else float("nan")


def number(text):
    """ffmpeg's figures, where silence shows as -inf or nan."""
    try:
        value = float(text)
    except ValueError:
        return -120.0
    return -120.0 if math.isnan(value) else value


def power(lufs):
    return 10 ** ((lufs + 0.691) / 10) if lufs > -120 else 0.0


def to_lufs(p):
    return -0.691 + 10 * math.log10(p) if p > 0 else -120.0


def integrated(frames, a, b):
    """EBU R128 gated loudness of the 400 ms blocks that lie within a..b seconds."""
    blocks = [power(m) for t, m in frames if t - 0.4 >= a - 1e-6 and t <= b + 1e-6]
    blocks = [p for p in blocks if to_lufs(p) > -70]
    if not blocks:
        return -120.0
    gate = to_lufs(sum(blocks) / len(blocks)) - 10
    kept = [p for p in blocks if to_lufs(p) > gate]
    return to_lufs(sum(kept) / len(kept))


def mean_level(frames, spans):
    ps = [power(m) for t, m in frames if any(a <= t - 0.4 and t <= b for a, b in spans)]
    return to_lufs(sum(ps) / len(ps)) if ps else -120.0


def melody_spans(tracks, division, bar, specs, seconds):
    """The melody's stretches in seconds and bars: runs of bars where it plays."""
    bars = set()
    for spec in specs:
        name, _, span = spec.partition("@")
        lo, hi = (int(x) for x in span.split("-")) if span else (1, 10 ** 6)
        for events in tracks:
            if track_name(events) != name:
                continue
            for t, ev in events:
                if ev[0] & 0xF0 == 0x90 and ev[2] > 0 and lo <= t // bar + 1 <= hi:
                    bars.add(t // bar)
    runs, start = [], None
    for b in range(max(bars, default=-1) + 2):
        if start is not None and (b not in bars or b - start == PHRASE_BARS):
            runs.append((start, b))
            start = None
        if b in bars and start is None:
            start = b
    return [(seconds(a * bar), seconds(b * bar), a + 1, b) for a, b in runs]


def split_melody(tracks, specs, bar, length):
    """The song with only the melody sounding, and the song without it: bars given for a part
    keep the part in the melody there and in the rest elsewhere."""
    melody, rest = [], []
    for events in tracks:
        name = track_name(events)
        spans = [s.partition("@")[2] for s in specs if s.partition("@")[0] == name]
        if not spans:
            melody.append([e for e in events if e[1][0] & 0xF0 not in (0x80, 0x90)])
            rest.append(events)
            continue
        ranges = [tuple(int(x) for x in span.split("-")) if span else (1, 10 ** 6)
                  for span in spans]
        mine, other, owner = [], [], {}
        for t, ev in events:
            if ev[0] & 0xF0 not in (0x80, 0x90):
                mine.append((t, ev))
                other.append((t, ev))
                continue
            if ev[0] & 0xF0 == 0x90 and ev[2] > 0:  # an end goes with its start
                b = t % length // bar + 1
                owner[ev[1]] = any(lo <= b <= hi for lo, hi in ranges)
            (mine if owner.get(ev[1], False) else other).append((t, ev))
        melody.append(mine)
        rest.append(other)
    return melody, rest


def exact_copy_share(tracks, bar, length):
    """The share of bars that repeat an earlier bar exactly: every note of every track (place in
    the bar, key, velocity, length) and every controller."""
    count = length // bar
    content = [[] for _ in range(count)]
    for i, events in enumerate(tracks):
        started = {}
        for t, ev in events:
            kind = ev[0] & 0xF0
            if ev[0] >= 0xF0 or t >= length:
                continue
            if kind == 0x90 and ev[2] > 0:
                started[ev[1]] = (t, ev[2])
            elif kind in (0x80, 0x90) and ev[1] in started:
                on, velocity = started.pop(ev[1])
                content[on // bar].append((i, on % bar, ev[1], velocity, t - on))
            else:
                content[t // bar].append((i, t % bar, -ev[0], ev[1], ev[-1]))  # a controller
    seen, copies = set(), 0
    for c in content:
        key = tuple(sorted(c))
        copies += key in seen
        seen.add(key)
    return copies / count


def measure(path, soundfont, work):
    song = os.path.basename(path)[:5]
    division, tracks = read_smf(path)
    length = song_length(tracks)
    bar = 4 * division
    seconds = tick_seconds(tracks, division)
    twice = looped_twice(tracks, length)
    loop = seconds(length)
    specs = MELODY.get(song, [])
    spans = melody_spans(tracks, division, bar, specs, seconds)
    result = {"song": song, "seconds": loop}
    renders = {"all": twice}
    if specs:
        renders["melody"], renders["rest"] = split_melody(twice, specs, bar, length)
    frames = {}
    for kind, trs in renders.items():
        mid, wav = os.path.join(work, f"{song}-{kind}.mid"), os.path.join(work, f"{song}-{kind}.wav")
        write_smf(mid, division, trs)
        render(mid, soundfont, wav)
        frames[kind], peak = loudness_frames(wav)
        os.remove(wav)
        if kind == "all":
            result["peak"] = peak
    result["lufs"] = integrated(frames["all"], loop, 2 * loop)  # a pass that follows a pass
    before = integrated(frames["all"], loop - SEAM_SECONDS, loop)
    after = integrated(frames["all"], loop, loop + SEAM_SECONDS)
    result["seam"] = after - before
    result["copies"] = exact_copy_share(tracks, bar, length)
    if specs:
        diffs = []
        for a, b, first, last in spans:
            span = [(a + loop, b + loop)]
            diffs.append((mean_level(frames["melody"], span) - mean_level(frames["rest"], span),
                          first, last))
        allspans = [(a + loop, b + loop) for a, b, _, _ in spans]
        result["lead"] = mean_level(frames["melody"], allspans) - mean_level(frames["rest"], allspans)
        worst = min(diffs)
        result["worst"] = f"{worst[0]:+.1f} (bars {worst[1]}-{worst[2]})"
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("folder")
    parser.add_argument("--soundfont", action="append")
    parser.add_argument("--song", action="append")
    args = parser.parse_args()
    soundfonts = args.soundfont or ["/usr/share/sounds/sf2/TimGM6mb.sf2"]
    songs = args.song or sorted(MELODY)
    with tempfile.TemporaryDirectory() as work:
        for sf in soundfonts:
            print(f"\n{os.path.basename(sf)}")
            print(f"{'song':6} {'length':>7} {'LUFS':>6} {'dBTP':>6} {'melody-rest':>11} "
                  f"{'worst phrase':>22} {'seam':>6} {'copies':>6}")
            for song in songs:
                r = measure(os.path.join(args.folder, song + ".mid"), sf, work)
                print(f"{r['song']:6} {r['seconds']:6.1f}s {r['lufs']:6.1f} {r['peak']:6.1f} "
                      f"{r.get('lead', float('nan')):+11.1f} {r.get('worst', '-'):>22} "
                      f"{r['seam']:+6.1f} {100 * r['copies']:5.0f}%", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
