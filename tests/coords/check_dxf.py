#!/usr/bin/python3
"""Reads a drawing made from a coordinate list with two established DXF readers (ezdxf and
GDAL's ogrinfo) and checks that every point of the list is there with its coordinates and
every text on its layer.

Usage: check_dxf.py DRAWING COORDINATE_LIST ORDER   (ORDER 0 = NEZ, 1 = ENZ; default layers)
"""
import collections
import re
import subprocess
import sys

import ezdxf


def expected(list_path, order):
    points, texts = [], collections.Counter()
    with open(list_path, encoding="latin-1") as f:
        for line in f:
            fields = [x.strip() for x in line.strip(" \r\n").split(",")]
            if len(fields) < 4 or (len(fields) == 4 and fields[3] == ""):
                continue
            first, second = float(fields[1]), float(fields[2])
            north, east = (first, second) if order == 0 else (second, first)
            points.append((east, north, float(fields[3])))
            texts[("PN", fields[0])] += 1
            texts[("EL", fields[3])] += 1
            if len(fields) > 4 and fields[4]:
                texts[("CD", fields[4])] += 1
    return points, texts


def main():
    drawing, list_path, order = sys.argv[1], sys.argv[2], int(sys.argv[3])
    want_points, want_texts = expected(list_path, order)
    failures = []

    doc = ezdxf.readfile(drawing)  # raises on a drawing it cannot read
    auditor = doc.audit()
    if auditor.has_errors:
        failures.append("ezdxf audit: %s" % [e.message for e in auditor.errors])
    got_points, got_texts = [], collections.Counter()
    for e in doc.modelspace():
        if e.dxftype() == "POINT":
            if e.dxf.layer != "PT":
                failures.append("POINT on layer %s" % e.dxf.layer)
            got_points.append(tuple(e.dxf.location))
        elif e.dxftype() == "TEXT":
            got_texts[(e.dxf.layer, e.dxf.text)] += 1
    if len(got_points) != len(want_points):
        failures.append("ezdxf: %d points, expected %d" % (len(got_points), len(want_points)))
    for got, want in zip(got_points, want_points):
        # Four decimals in the file; the elevation is held to about seven digits.
        tol = (1e-4, 1e-4, max(1e-4, abs(want[2]) * 2e-7))
        if any(abs(g - w) > t for g, w, t in zip(got, want, tol)):
            failures.append("ezdxf: point %s, expected %s" % (got, want))
    if got_texts != want_texts:
        failures.append("ezdxf: texts differ: missing %s, extra %s" %
                        (list((want_texts - got_texts).items())[:5],
                         list((got_texts - want_texts).items())[:5]))

    ogr = subprocess.run(["ogrinfo", "-ro", "-so", "-al", drawing],
                         capture_output=True, text=True)
    count = re.search(r"Feature Count: (\d+)", ogr.stdout)
    want_count = len(want_points) + sum(want_texts.values())
    if ogr.returncode != 0 or not count:
        failures.append("ogrinfo failed: %s %s" % (ogr.stdout[-500:], ogr.stderr[-500:]))
    elif int(count.group(1)) != want_count:
        failures.append("ogrinfo: %s features, expected %d" % (count.group(1), want_count))

    for f in failures[:20]:
        print(f)
    print("%d points, %d texts: %s" % (len(want_points), sum(want_texts.values()),
                                       "FAILED" if failures else "read by ezdxf and ogrinfo"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
