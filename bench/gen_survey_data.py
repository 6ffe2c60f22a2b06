#!/usr/bin/env python3
"""Writes a realistic raw data file and a coordinate list for the converter benchmarks.

Usage: gen_survey_data.py RAW_OUT COORD_OUT [LINES]

The raw data file is a long survey day after day: header comments, then station set-ups,
each with the station's coordinate record, a few dozen observations (mostly "SS", some
"SO" and "CP", coded, a few codes with a "-n" suffix), stake-out and code records, and
weather comments. Coordinates are in the millions like a national grid. The coordinate list
has one point per line. Both have CR LF line ends and LINES lines (default 1,000,000);
the output is the same for the same LINES (seeded).
"""
import random
import sys

CODES = ["TREE", "KERB", "KERB-2", "FENCE", "FENCE-3", "WALL", "MH", "LP", "EDGE", "BLD-1",
         "GROUND", "DITCH", "POLE", ""]


def raw_lines(rng, count):
    n = 0
    header = ["CO,Vexal RAW data format V2.00", "CO,Downloaded 07-12-26 10:00",
              "CO,Instrument: KRT-850 SN 104233", "CO,Tilt Correction: On",
              "CO,<JOB> Created 07-12-26", "CO,Coord Order: NEZ",
              "CO,Temp:12.5 Press:1008.3"]
    for line in header:
        if n == count:
            return
        yield line
        n += 1
    point = 1000
    station = 1
    north, east = 6543210.0, 567890.0
    while True:
        batch = []
        batch.append("ST,S%d,STN,S%d,,%.3f,%.4f,0.0000" %
                     (station, station - 1, rng.uniform(1.4, 1.7), rng.uniform(0, 400)))
        batch.append("UP,S%d,,%.3f,%.3f,%.3f,STN" %
                     (station, north + rng.uniform(-500, 500), east + rng.uniform(-500, 500),
                      rng.uniform(5, 120)))
        if rng.random() < 0.2:
            batch.append("CO,Temp:%.1f Press:%.1f" % (rng.uniform(-10, 30), rng.uniform(980, 1030)))
        for _ in range(rng.randint(20, 60)):
            point += 1
            r = rng.random()
            hz, v = rng.uniform(0, 400), rng.uniform(80, 120)
            d, th = rng.uniform(2, 800), rng.choice([1.3, 1.5, 1.6, 1.8, 2.0])
            code = rng.choice(CODES)
            if r < 0.80:
                batch.append("SS,%d,%.3f,%.3f,%.4f,%.4f,,%s" % (point, th, d, hz, v, code))
            elif r < 0.88:
                batch.append("SO,%d,,%.3f,%.3f,%.4f,%.4f,,%s" % (point, th, d, hz, v, code))
            elif r < 0.90:
                batch.append("CP,%d,,%.3f,%.3f,%.4f,%.4f,,OR" % (point, th, d, hz, v))
            elif r < 0.97:
                batch.append("%s,%d,,%.3f,%.3f,%.3f,%s" %
                             (rng.choice(["MP", "CC", "RE"]), point,
                              north + rng.uniform(-900, 900), east + rng.uniform(-900, 900),
                              rng.uniform(5, 120), code))
            elif r < 0.99:
                batch.append("UC,%s,%d" % (code or "X", point))
            else:
                batch.append("CO,Note at point %d" % point)
        for line in batch:
            if n == count:
                return
            yield line
            n += 1
        station += 1


def coord_lines(rng, count):
    for i in range(count):
        yield "P%d,%.3f,%.3f,%.3f,%s" % (i + 1, 6543210.0 + rng.uniform(-5000, 5000),
                                         567890.0 + rng.uniform(-5000, 5000),
                                         rng.uniform(5, 120), rng.choice(CODES))


def write(path, lines):
    with open(path, "w", newline="\r\n", encoding="ascii") as f:
        buf = []
        for line in lines:
            buf.append(line)
            if len(buf) >= 10000:
                f.write("\n".join(buf) + "\n")
                buf = []
        if buf:
            f.write("\n".join(buf) + "\n")


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 1_000_000
    write(sys.argv[1], raw_lines(random.Random(1), count))
    write(sys.argv[2], coord_lines(random.Random(2), count))


if __name__ == "__main__":
    main()
