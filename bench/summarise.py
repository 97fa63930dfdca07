# Turns the timings bench/run.sh leaves in WORK/json into the Markdown table of bench/RESULTS.md:
#   /usr/bin/python3 bench/summarise.py WORK COMMIT COMPILER
# Wall-clock medians give the ratios the targets name; CPU time (user + system, means) is shown
# beside them because on a shared machine other processes stretch wall time far more than CPU time.
import json
import os
import platform
import sys

work, commit, compiler = sys.argv[1:4]
cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
            if line.startswith("model name")), platform.machine())


def results(name):
    with open(os.path.join(work, "json", name + ".json")) as f:
        return {r["command"]: r for r in json.load(f)["results"]}


def wall(r):
    return r["median"]


def cpu_time(r):
    return r["user"] + r["system"]


def ok(good):
    return "yes" if good else "**NO**"


print(f"Machine: {cpu}, {os.cpu_count()} cores; compiler: {compiler}; commit {commit}; "
      f"load average at the end {os.getloadavg()[0]:.1f}.\n")
print("Wall-clock medians in seconds, 4000x3000 (12 Mpixel), threshold 30; CPU = user + system.\n")
print("| bits | cp | pallisk | Pallisk call | ImageMagick | Pillow | pallisk / cp (target) "
      "| call / cp | CPU pallisk / cp | pallisk / faster peer (<= 0.35) | call / faster peer "
      "| CPU pallisk / faster peer | peak RSS MiB (bound) | 4000x3000 / 1000x1000 (<= 12.5) |")
print("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|")
bound = (1.05 * 4 * 4000 * 3000 + 8 * 2**20) / 2**20
for depth in (1, 4, 8, 16, 24, 32):
    big, small = results(f"4000x3000_{depth}"), results(f"1000x1000_{depth}")
    cp, pk, im, pil = big["cp"], big["pallisk"], big["imagemagick"], big["pillow"]
    call = big["call"]
    target = 2.0 if depth in (24, 32) else 3.0
    peer = min(wall(im), wall(pil))
    cpu_peer = min(cpu_time(im), cpu_time(pil))
    rss = int(open(os.path.join(work, "json", f"4000x3000_{depth}.rss")).read()) / 1024
    growth = wall(pk) / wall(small["pallisk"])
    ratio = wall(pk) / wall(cp)
    print(f"| {depth} | {wall(cp):.4f} | {wall(pk):.4f} | {wall(call):.4f} | {wall(im):.4f} "
          f"| {wall(pil):.4f} | {ratio:.2f} (<= {target:.1f}: {ok(ratio <= target)}) "
          f"| {wall(call) / wall(cp):.2f} | {cpu_time(pk) / cpu_time(cp):.2f} "
          f"| {wall(pk) / peer:.3f} ({ok(wall(pk) / peer <= 0.35)}) | {wall(call) / peer:.3f} "
          f"| {cpu_time(pk) / cpu_peer:.3f} "
          f"| {rss:.1f} ({bound:.1f}: {ok(rss <= bound)}) "
          f"| {growth:.1f} ({ok(growth <= 12.5)}) |")
batch = results("batch")
one, two = wall(batch["one core"]), wall(batch["two cores"])
print(f"\nBatch mode, 12 files of 4000x3000 (every depth twice), wall-clock medians: -j 1 {one:.3f} s, "
      f"-j 2 {two:.3f} s, speed-up {one / two:.2f}x on two cores.")
