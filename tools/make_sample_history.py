#!/usr/bin/env python3
"""Writes a sample playback history for the demo: about 60 plays over the last five days, drawn
from the stand-in companion's Rate Library so that both windows tell the same story. Every
prediction step, outcome and Music.app setting appears; some plays were corrected mid-track, some
had no prediction (with a note), and a few took Music.app four seconds or more to load.

    make_sample_history.py LIBRARY.json OUTPUT.json [--plays N] [--seed N]
"""
import argparse
import datetime as dt
import json
import random
import uuid

SOURCES = [  # (source, step) — the last piece names the step
    ("catalog/pinned", 1), ("library/file", 1), ("learned", 2), ("catalog/imported", 2),
    ("album", 3), ("catalog/tags+ladder", 4), ("derived", 5), ("tags-guess", 5),
]
NOTES = [
    "Nothing known about this track yet",
    "Music.app's setting could not be read",
    "Companion was reconnecting",
]
CODEC_FOR_TIER = {"hires": "alac", "lossless": "alac", "aac": "aac", "unknown": "alac"}


def iso(moment):
    return moment.astimezone(dt.timezone.utc).isoformat(timespec="milliseconds").replace("+00:00", "Z")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("library")
    parser.add_argument("output")
    parser.add_argument("--plays", type=int, default=60)
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    with open(args.library, encoding="utf-8") as handle:
        library = json.load(handle)
    tracks = {}
    for row in library["rows"]:
        if row.get("title"):
            tracks.setdefault(row["id"], row)
    tracks = list(tracks.values())
    rng.shuffle(tracks)

    now = dt.datetime.now(dt.timezone.utc)
    moment = now - dt.timedelta(days=5, hours=3)
    step = (now - moment) / (args.plays + 2)
    entries = []
    for index in range(args.plays):
        track = tracks[index % len(tracks)]
        moment += step * rng.uniform(0.6, 1.3)
        tier = rng.choice(["hires", "hires", "lossless", "lossless", "lossless", "aac", "unknown"])
        rate = float(track.get("rate") or 44100)
        entry = {
            "id": str(uuid.UUID(int=rng.getrandbits(128))),
            "at": iso(moment),
            "title": track["title"],
            "artist": track.get("artist") or "Unknown Artist",
            "tier": tier,
            "corrected": False,
        }
        if track.get("album"):
            entry["album"] = track["album"]

        kind = index % 12
        if kind == 5 or kind == 11 and index % 24 == 11:
            entry["note"] = NOTES[index % len(NOTES)]           # no prediction at all
        else:
            source, _ = SOURCES[index % len(SOURCES)]
            entry["source"] = source
            entry["predictedRate"] = rate
        played = rate
        if "predictedRate" in entry and kind in (3, 9):
            played = 48000.0 if rate != 48000 else 96000.0       # the prediction was wrong
        entry["playedRate"] = played
        entry["playedAt"] = iso(moment + dt.timedelta(milliseconds=rng.randint(300, 2500)))
        entry["codec"] = CODEC_FOR_TIER[tier]
        if kind == 3:
            entry["outcome"] = "rewritten"
            entry["outcomeRate"] = played
        elif kind == 9:
            entry["corrected"] = True
            entry["outcomeRate"] = played
        elif kind in (1, 7) or "note" in entry:
            entry["outcome"] = "learned"
            entry["outcomeRate"] = played
        if index % 7 != 6:
            load = rng.choice([380, 520, 640, 760, 880, 940, 1100, 1250, 1600, 2300])
            if index % 13 == 4:
                load = rng.randint(4000, 4800)                  # a slow load
            entry["musicStartMs"] = load
        entries.append(entry)

    # The newest play: predicted, still loading.
    last = entries[-1]
    for key in ("playedRate", "playedAt", "outcome", "outcomeRate", "musicStartMs", "note"):
        last.pop(key, None)
    last["source"], last["predictedRate"] = "learned", float(tracks[0].get("rate") or 44100)

    with open(args.output, "w", encoding="utf-8") as handle:
        json.dump({"v": 1, "entries": entries}, handle, ensure_ascii=False, indent=1)
        handle.write("\n")


if __name__ == "__main__":
    main()
