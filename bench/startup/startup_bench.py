#!/usr/bin/env python3
"""Start-up time, memory and OK-to-box time of transmission-ratio, against a
bare Qt 6 window, on a private Xvfb.

    startup_bench.py PROGRAM BARE_WINDOW [RUNS]      (RUNS: 20)

Each run starts both programs in turn (the order alternates between runs)
and measures, for each, the time from starting the process to the MapNotify
of its first top-level window and to its first picture: the first drawing
inside the window that the X server reports (XDamage on the root window).
The first picture is what the user waits for, and it is the fair point of
comparison: Qt maps a window before painting it, and a window whose controls
need no font metrics before they are shown (the bare window's label has a
fixed geometry) maps before Qt has even read the font configuration, which
the program's frames need to lay out their titles. Then VmRSS one second
later. In transmission-ratio it then sets up 1500 rev/min against 100 rad/s
and measures the time from the Enter key (sent through XTest) to the result
box's first picture, for the first press and for a second one. One warm-up
run of each program comes first and is not counted. Prints median, min and
max and whether the targets hold; exits 1 when one is missed.
"""

import os
import statistics
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "e2e"))

from form2_user import CAPTION, enter_calculation  # noqa: E402
from xsession import KEYSYM_RETURN, CheckFailed, XSession  # noqa: E402

STARTUP_RATIO_TARGET = 1.15
MEMORY_MARGIN_TARGET_MIB = 5.0
OK_TO_BOX_TARGET_MS = 16.0
FIRST_TO_LATER_BOX_TARGET = 1.5
SETTLE_SECONDS = 1.0


def memory_mib(pid, field):
    """A memory field of /proc/PID/status in MiB: VmRSS, or RssAnon (the
    private part, without the file pages of libraries and fonts)."""
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1]) / 1024
    raise CheckFailed(f"no {field} for process {pid}")


def start_and_draw(x, argv):
    """Starts the program; returns the process, its window and the seconds
    from the start to the window's MapNotify and to its first picture."""
    x.x.discard_events()
    started = time.monotonic()
    process = x.start(argv)
    window, mapped = x.x.next_map(timeout=30)
    drawn = x.x.next_drawn(window, timeout=30)
    return process, window, mapped - started, drawn - started


def press_enter_until_box(x, process, window):
    """Seconds from Enter to the box's first picture; closes the box."""
    x.focus(window)
    x.x.discard_events()
    pressed = time.monotonic()
    x.x.press_key(KEYSYM_RETURN)
    box, _ = x.x.next_map(timeout=10)
    if box == window:
        raise CheckFailed("the main window was mapped again instead of a box")
    drawn = x.x.next_drawn(box, timeout=10)
    x.focus(box)
    x.keys("Return")
    x.wait_gone(process, box)
    return drawn - pressed


def one_run(x, programs, samples):
    for name, argv in programs:
        process, window, mapped, drawn = start_and_draw(x, argv)
        if name == "transmission-ratio" and x.title(window) != CAPTION:
            raise CheckFailed(f"the first window mapped is {x.title(window)!r}")
        # Memory once the program has settled, one second after the map.
        time.sleep(SETTLE_SECONDS)
        rss, anon = memory_mib(process.pid, "VmRSS"), memory_mib(process.pid, "RssAnon")
        if samples is not None:
            samples[name, "mapped"].append(mapped * 1000)
            samples[name, "startup"].append(drawn * 1000)
            samples[name, "rss"].append(rss)
            samples[name, "anon"].append(anon)
        if name == "transmission-ratio":
            enter_calculation(x, window, "1500", "100")
            # No probe tells when Qt has taken the typed keys: give it time,
            # so that the Enter below is the only event it has to handle.
            time.sleep(SETTLE_SECONDS / 2)
            first = press_enter_until_box(x, process, window)
            time.sleep(SETTLE_SECONDS / 2)
            second = press_enter_until_box(x, process, window)
            if samples is not None:
                samples[name, "ok-first"].append(first * 1000)
                samples[name, "ok-second"].append(second * 1000)
        status = x.close_window(process, window)
        if status != 0:
            raise CheckFailed(f"{name} ended with status {status}")


def row(label, values, unit):
    return (f"  {label:<38} {statistics.median(values):8.1f} {min(values):8.1f} "
            f"{max(values):8.1f}  {unit}")


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    program, bare = (os.path.abspath(p) for p in sys.argv[1:3])
    runs = int(sys.argv[3]) if len(sys.argv) == 4 else 20
    programs = [("transmission-ratio", [program]), ("bare_window", [bare])]
    samples = {(name, kind): [] for name, _ in programs
               for kind in ("mapped", "startup", "rss", "anon", "ok-first", "ok-second")}

    with XSession() as x:
        x.x.watch_maps()
        x.x.watch_drawing()
        one_run(x, programs, None)  # warm-up: caches, fontconfig
        for run in range(runs):
            order = programs if run % 2 == 0 else programs[::-1]
            one_run(x, order, samples)
            print(f"\rrun {run + 1}/{runs}", end="", flush=True, file=sys.stderr)
        print(file=sys.stderr)

    tr, bw = "transmission-ratio", "bare_window"
    print(f"{runs} runs each{'':<22} {'median':>8} {'min':>8} {'max':>8}")
    print(row("to window mapped, transmission-ratio", samples[tr, "mapped"], "ms"))
    print(row("to window mapped, bare_window", samples[bw, "mapped"], "ms"))
    print(row("to first picture, transmission-ratio", samples[tr, "startup"], "ms"))
    print(row("to first picture, bare_window", samples[bw, "startup"], "ms"))
    print(row("VmRSS after 1 s, transmission-ratio", samples[tr, "rss"], "MiB"))
    print(row("VmRSS after 1 s, bare_window", samples[bw, "rss"], "MiB"))
    print(row("  of it RssAnon, transmission-ratio", samples[tr, "anon"], "MiB"))
    print(row("  of it RssAnon, bare_window", samples[bw, "anon"], "MiB"))
    print(row("Enter to result box, first press", samples[tr, "ok-first"], "ms"))
    print(row("Enter to result box, second press", samples[tr, "ok-second"], "ms"))

    startup_ratio = (statistics.median(samples[tr, "startup"]) /
                     statistics.median(samples[bw, "startup"]))
    memory_margin = statistics.median(samples[tr, "rss"]) - statistics.median(samples[bw, "rss"])
    ok_to_box = statistics.median(samples[tr, "ok-first"])
    first_to_later = ok_to_box / statistics.median(samples[tr, "ok-second"])
    targets = [
        (f"start-up {startup_ratio:.2f}x the bare window's", startup_ratio <= STARTUP_RATIO_TARGET,
         f"<= {STARTUP_RATIO_TARGET}x"),
        (f"memory {memory_margin:+.1f} MiB over the bare window's",
         memory_margin <= MEMORY_MARGIN_TARGET_MIB, f"<= {MEMORY_MARGIN_TARGET_MIB} MiB"),
        (f"Enter to result box {ok_to_box:.1f} ms (first press, median)",
         ok_to_box < OK_TO_BOX_TARGET_MS, f"< {OK_TO_BOX_TARGET_MS} ms"),
        (f"first result box {first_to_later:.2f}x a later one (medians)",
         first_to_later <= FIRST_TO_LATER_BOX_TARGET, f"<= {FIRST_TO_LATER_BOX_TARGET}x"),
    ]
    for text, met, target in targets:
        print(f"{'met   ' if met else 'MISSED'} {text} (target {target})")
    sys.exit(0 if all(met for _, met, _ in targets) else 1)


if __name__ == "__main__":
    main()
