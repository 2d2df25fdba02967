#!/usr/bin/env python3
"""Writes tests/fixtures/companion-library.json: the Rate Library the stand-in companion serves.

Deterministic (fixed seed), so re-running it gives the same file. The shape is the payload of a
"learnedRates" message. Dates fall in the months before December 2026.
"""
import json
import os
import random
from datetime import datetime, timedelta, timezone

rng = random.Random(20261201)
NOW = datetime(2026, 12, 1, 9, 30, tzinfo=timezone.utc)

ARTISTS = [
    ("Halvorsen Quartet", ["Northern Lights", "String Quartets Nos. 2 & 5"]),
    ("Mira Okafor", ["Salt and Cedar", "Low Tide Sessions"]),
    ("The Vesper Lines", ["Parallel Roads", "Night Trains (Deluxe Edition)"]),
    ("Aurelio Sanz", ["Guitarra del Sur"]),
    ("Kestrel Park", ["Greenhouse", "Live at the Paradiso"]),
    ("Lena Brandt & Tomas Wirth", ["Duets for a Small Room"]),
    ("Orchestre de Chambre de Lausanne", ["Mozart: Divertimenti", "Haydn: Symphonies 44-49"]),
    ("Juno Reyes", ["Glasshouse Radio"]),
    ("Pale Harbour", ["Fathoms", "Signal Fires"]),
    ("Sadie Lin Trio", ["Blue Hours"]),
    ("Björk Åström", ["Nattljus"]),
    ("Noor El-Amin", ["Desert Letters"]),
]
WORDS = ["Morning", "Echo", "River", "Lantern", "Glass", "Paper", "Silver", "Harbour", "Static",
         "Orchard", "Winter", "Copper", "Avenue", "Signal", "Tide", "Ember", "Meridian", "Velvet",
         "Quiet", "Satellite", "Hollow", "Bright", "Cedar", "Ashes", "Caravan"]

RATES_BY_TIER = {
    "hires": [(44100, 3), (48000, 2), (88200, 2), (96000, 4), (176400, 1), (192000, 2)],
    "lossless": [(44100, 6), (48000, 3)],
    "aac": [(44100, 5), (48000, 2)],
    "unknown": [(44100, 3), (48000, 2), (96000, 1)],
    "any": [(44100, 3), (48000, 2)],
    "file": [(44100, 4), (48000, 2), (88200, 1), (96000, 2), (192000, 1)],
}


def pick(weighted):
    total = sum(w for _, w in weighted)
    n = rng.uniform(0, total)
    for value, w in weighted:
        n -= w
        if n <= 0:
            return value
    return weighted[-1][0]


def iso(d):
    return d.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (d.microsecond // 1000)


def confirmed_at():
    return iso(NOW - timedelta(days=rng.randint(0, 240), seconds=rng.randint(0, 86399),
                               milliseconds=rng.randint(0, 999)))


def library_id():
    return "".join(rng.choice("0123456789ABCDEF") for _ in range(16))


def catalog_id():
    return str(rng.randint(1400000000, 1799999999))


tracks = []
for artist, albums in ARTISTS:
    for album in albums:
        catalog = rng.random() < 0.6
        for n in range(rng.randint(8, 15)):
            title = " ".join(rng.sample(WORDS, rng.randint(1, 3)))
            if n == 0 and album.endswith("Paradiso"):
                title = "Intro (Live)"
            tracks.append({
                "id": catalog_id() if catalog else library_id(),
                "kind": (rng.choice(["catalog", "song"]) if catalog else "library"),
                "title": title, "artist": artist, "album": album,
            })
# Tracks the companion knows only by id.
for _ in range(6):
    tracks.append({"id": catalog_id(), "kind": "catalog"})
tracks.append({"id": library_id(), "kind": "library", "title": "Voice Memo 14"})

rows = []
for t in tracks:
    if t["kind"] == "library" and rng.random() < 0.35:
        tiers = ["file"]
    elif rng.random() < 0.1:
        tiers = ["any"]
    else:
        tiers = rng.sample(["hires", "lossless", "aac", "unknown"], rng.choice([1, 1, 2, 2, 3]))
    for tier in tiers:
        rate = pick(RATES_BY_TIER[tier])
        if tier == "file":
            source = "file"
        else:
            source = pick([("learned", 12), ("imported", 4), ("album", 2), ("tags+ladder", 1)])
        confirmations = 0 if source in ("album", "tags+ladder") else rng.randint(0, 12)
        row = {"id": t["id"], "kind": t["kind"], "tier": tier}
        for key in ("title", "artist", "album"):
            if key in t:
                row[key] = t[key]
        row.update({"rate": rate, "pinned": False, "source": source,
                    "confirmations": confirmations, "confirmedAt": confirmed_at()})
        roll = rng.random()
        if roll < 0.08:
            row["pinned"] = True
            row["learnedRate"] = rate
            row["rate"] = pick([(r, w) for r, w in RATES_BY_TIER["hires"] if r != rate])
        elif roll < 0.12:
            row["pinned"] = True  # pinned without anything learned
        rows.append(row)

# One track known under two settings is the one playing now.
playing = next(t for t in tracks if t["kind"] != "library" and "title" in t)
rows = [r for r in rows if r["id"] != playing["id"]]
for tier, rate in (("hires", 96000), ("lossless", 48000)):
    rows.append({"id": playing["id"], "kind": playing["kind"], "tier": tier, "title": playing["title"],
                 "artist": playing["artist"], "album": playing["album"], "rate": rate, "pinned": False,
                 "source": "learned", "confirmations": 3, "confirmedAt": confirmed_at()})

library = {
    "rows": rows,
    "outputs": [
        {"deviceUID": "BuiltInSpeakerDevice"},
        {"deviceUID": "AppleUSBAudioEngine:Cambridge Audio:DacMagic 200M:0000A1B2C3:1", "atmos": False},
        {"deviceUID": "AppleHDMIAudioEngine:Denon AVR-X3800H:6A2F", "atmos": True, "atmosOutput": True},
        {"deviceUID": "AirPlay:Living Room", "atmosOutput": False},
    ],
    "nowPlayingID": playing["id"],
    "notice": "Imported 38 rates from “Studio Mac” on 14 Nov 2026.",
}

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "..", "tests", "fixtures", "companion-library.json")
with open(out, "w", encoding="utf-8") as f:
    json.dump(library, f, ensure_ascii=False, indent=1)
    f.write("\n")
print(f"{len(rows)} rows -> {os.path.normpath(out)}")
