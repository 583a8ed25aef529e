"""Runs every benchmark of a release build and the measurements that need the built
programs, then prints one table of figures, each with its goal and whether it is met, and
writes the same as JSON. Usage: bench.py BUILD_FOLDER JSON_FILE"""

import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

import harness

build = os.path.abspath(sys.argv[1])
json_path = os.path.abspath(sys.argv[2])
figures = []


def figure(name, value, unit, goal="", met=None, note=""):
    """One row of the table; `met` None means the figure has no goal or could not run."""
    figures.append(dict(figure=name, value=value, unit=unit, goal=goal, met=met, note=note))
    shown = "-" if value is None else ("%.3g" % value if isinstance(value, float) else str(value))
    print("  %-62s %10s %-8s %s" % (name, shown, unit, note), flush=True)


def failed(name, why):
    figure(name, None, "", "", False, why)


def google_benchmark(program, *options, env=None):
    """The runs of a Google Benchmark program by name, from its JSON output."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        command = [os.path.join(build, program), "--benchmark_out=" + out.name,
                   "--benchmark_out_format=json", *options]
        print("== " + " ".join(command[:1] + list(options)), flush=True)
        result = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                timeout=1800, check=False)
        try:
            runs = json.load(open(out.name))["benchmarks"]
        except (ValueError, KeyError):
            runs = []
        if result.returncode != 0 or not runs:
            print(result.stderr.decode(errors="replace")[-2000:])
        return {run["name"]: run for run in runs}


def ratio(a, b):
    return a / b if a and b else None


def seconds_of(run):
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run.get("time_unit", "ns")]
    return run["real_time"] * scale


def goal_row(name, value, unit, goal, holds, note=""):
    if value is None:
        failed(name, note or "did not run")
    else:
        figure(name, value, unit, goal, bool(holds(value)), note)


def offscreen():
    return dict(os.environ, QT_QPA_PLATFORM="offscreen")


# ---- conversion
def conversion():
    # Processor time (user and system) decides: on a shared machine the wall time of 400 MB
    # of writes mostly measures the other programs; it is shown beside it.
    for program, first, second, name, goal in (
            ("logfetch/convert/convert_benchmark", "BM_ConvertSixteenMegabytes/min_time:3.000",
             "BM_PlainBufferedWriteOfTheReportBytes/min_time:3.000",
             "conversion of 16 MB / plain write of the same output", 1.5),
            ("logfetch/windows/convert_window_benchmark", "BM_ConvertThroughTheWindow/min_time:5.000",
             "BM_ConvertFromTheCommandLine/min_time:5.000", "conversion window / command line (16 MB)", 1.2)):
        runs = google_benchmark(program, env=offscreen())
        a, b = runs.get(first), runs.get(second)
        value = ratio(a and a["cpu_time"], b and b["cpu_time"])
        goal_row(name + ", CPU", value, "x", "<= %gx" % goal, lambda v, g=goal: v <= g,
                 "CPU %.0f against %.0f ms; wall %.0f against %.0f ms" % (
                     a["cpu_time"], b["cpu_time"], a["real_time"], b["real_time"]) if value else "")

    peaks = {}
    with tempfile.TemporaryDirectory() as folder:
        for megabytes in (1, 16):
            bin_path = os.path.join(folder, "LOG%d.BIN" % megabytes)
            subprocess.run([os.path.join(build, "tools/generators/make_large_log"), str(megabytes << 20), bin_path],
                           check=True)
            process = subprocess.Popen([os.path.join(build, "logfetch/logfetch"), "convert", bin_path],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            _, status, usage = os.wait4(process.pid, 0)
            peaks[megabytes] = usage.ru_maxrss / 1024.0 if status == 0 else None
    value = peaks[16] - peaks[1] if peaks[1] and peaks[16] else None
    goal_row("peak memory converting 16 MB - converting 1 MB", value, "MB", "<= 4 MB", lambda v: v <= 4,
             "%.1f MB against %.1f MB" % (peaks[16], peaks[1]) if value is not None else "")


# ---- parsing
def parsing():
    runs = google_benchmark("tabwright/capture/parse_benchmark")
    k7rx = runs.get("BM_K7rxLines", {}).get("bytes_per_second")
    no_line_end = runs.get("BM_TenMegabytesWithoutLineEnd/fresh_parser:0", {}).get("bytes_per_second")
    goal_row("parse of K7RX lines", k7rx and k7rx / 1e6, "MB/s", ">= 100 MB/s", lambda v: v >= 100)
    goal_row("parse of text without CR LF: time a byte / K7RX's", ratio(k7rx, no_line_end), "x", "<= 2x",
             lambda v: v <= 2, "%.0f MB/s" % (no_line_end / 1e6) if no_line_end else "")
    vq480 = runs.get("BM_Vq480Blocks", {}).get("bytes_per_second")
    figure("parse of VQ-480 blocks", vq480 and vq480 / 1e6, "MB/s")


# ---- Calc
def calc():
    # Three drains each, their median: one drain swings twofold with the load of a shared machine.
    runs = google_benchmark("tabwright/capture/capture_drain_benchmark", "--benchmark_repetitions=3")
    # The goals: no lower than the drain measured on this machine before the journal became
    # the run's queue.
    for shape, name, before in (("K7rxLines", "K7RX lines", 81000), ("Vq480Blocks", "VQ-480 blocks", 72000)):
        run = next((r for key, r in runs.items() if key.startswith(shape) and key.endswith("_median")), None)
        goal_row("cells/s into Calc draining 1 MB of " + name + " (median of 3)", run and run.get("cells/s"), "cells/s",
                 ">= {:,}".format(before), lambda v, before=before: v >= before)
        goal_row("longest event-loop block meanwhile (" + name + ")", run and run.get("longest_tick_ms"), "ms",
                 "<= 200 ms", lambda v: v <= 200,
                 "first tick %.0f ms, %d ticks" % (run["first_tick_ms"], run["ticks"]) if run else "")
    runs = google_benchmark("tabwright/calc/calc_benchmark",
                            "--benchmark_filter=StartToFirstRow|NewInstanceToCaptureWorkbookOpen|WriteLineRunsAsRows/8")
    for key, name in (("NewInstanceToCaptureWorkbookOpen", "Start: new Calc instance to capture workbook open"),
                      ("StartToFirstRow", "Start to the first row in Calc")):
        run = next((r for k, r in runs.items() if k.startswith(key)), None)
        figure(name, run and seconds_of(run) * 1e3, "ms", note="no goal")
    run = next((r for k, r in runs.items() if k.startswith("WriteLineRunsAsRows/8")), None)
    figure("cells/s writing runs of 100 K7RX rows", run and run.get("cells/s"), "cells/s", note="no goal")
    phases = window_first_row()
    figure("Window: Start to the first row shown in a visible Calc (median of 3)",
           phases.get("start_to_first_row"), "ms",
           note="Calc's start %s ms, workbook shown and port %s ms, first tick and write %s ms" % tuple(
               "%.0f" % phases[key] if key in phases else "-"
               for key in ("calc_start", "workbook_shown_and_port", "first_tick_and_write")))


def window_first_row():
    """The phases of the window's Start up to its first row in a visible Calc, in ms, by name."""
    return program_figures("tabwright/windows/main_window_first_row_benchmark")


def program_figures(program, env=None):
    """The figures a measuring program prints as "figure NAME VALUE" lines, by name."""
    command = [os.path.join(build, program)]
    print("== " + command[0], flush=True)
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=900,
                            check=False)
    figures = {}
    for line in result.stdout.decode(errors="replace").splitlines():
        words = line.split()
        if len(words) == 3 and words[0] == "figure":
            figures[words[1]] = float(words[2])
    if result.returncode != 0 or not figures:
        print(result.stderr.decode(errors="replace")[-2000:])
    return figures


# ---- download and serial port
def download():
    runs = google_benchmark("logfetch/download/transfer_benchmark")
    run = next((r for k, r in runs.items() if k.startswith("BM_DownloadThroughput")), None)
    goal_row("download engine over a pty, times the line's 960 B/s", run and run.get("times_the_line"), "x",
             ">= 100x", lambda v: v >= 100)
    run = next((r for k, r in runs.items() if k.startswith("BM_WaitingForASilentInstrument")), None)
    goal_row("download CPU while waiting for the instrument", run and run.get("cpu_percent_of_a_core"), "%",
             "< 1 %", lambda v: v < 1)
    runs = google_benchmark("serial/serial_benchmark")
    run = next((r for k, r in runs.items() if k.startswith("BM_TakeByteOneMebibyte")), None)
    figure("serial port, take one byte at a time", run and run.get("bytes_per_second", 0) / 1e6, "MB/s",
           note="no goal")
    for key, name in (("BM_IdleOpenPort", "idle open port"), ("BM_IdleAfterCablePulled", "after the cable is pulled")):
        run = next((r for k, r in runs.items() if k.startswith(key)), None)
        figure("serial port CPU in 5 s, " + name, run and run.get("cpu_ms_in_5s"), "ms", note="no goal")


# ---- start-up
def first_paint(program):
    """Seconds from starting the program to its first painted window: the arrival of Qt's
    own log line of the first flush of a top-level window."""
    folders = harness.UserFolders()
    env = folders.environment(QT_LOGGING_RULES="qt.widgets.painting=true")
    runner = harness.Program([os.path.join(build, program)], env, folders.work)
    try:
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and runner.process.poll() is None:
            runner.poll_stderr()
            for at, line in runner.lines:
                if "Painting and flushing" in line:
                    return at
        return None
    finally:
        runner.kill()
        folders.remove()


def start_up():
    for program, name in (("tabwright/tabwright", "Tabwright"), ("logfetch/logfetch", "Logfetch")):
        samples = [first_paint(program) for _ in range(5)]
        samples = sorted(s for s in samples if s is not None)
        value = samples[len(samples) // 2] * 1e3 if samples else None
        goal_row(name + ": start to first painted main window (median of 5)", value, "ms", "<= 300 ms",
                 lambda v: v <= 300, "" if samples else "no paint seen")


# ---- captures from a pty
def capture_run(output, data, port=7, bytes_per_second=None):
    """`tabwright capture` from a pty that sends `data` as fast as the capture takes it, then
    Ctrl-C once the journal holds every byte. Returns a dict of times (seconds) and RSS
    samples, or a reason it failed."""
    folders = harness.UserFolders()
    line = harness.PtyInstrument()
    folders.map_port(port, line.path)
    out_path = os.path.join(folders.work, output)
    runner = harness.Program([os.path.join(build, "tabwright/tabwright"), "capture", "--port", str(port),
                              "--output", out_path], folders.environment(), folders.work)
    try:
        ready = runner.wait_for_line("Ready", 180)
        if ready is None:
            return "never ready: " + runner.stderr()[-300:]
        began = time.monotonic()
        rss = []
        step = max(1, len(data) // 10)
        for at in range(0, len(data), step):
            if bytes_per_second:
                # Paced: each piece leaves no earlier than the rate allows.
                for piece in range(at, min(at + step, len(data)), 65536):
                    time.sleep(max(0.0, began + piece / bytes_per_second - time.monotonic()))
                    if not line.send(data[piece:min(piece + 65536, at + step)], began + 900):
                        return "sending timed out"
            elif not line.send(data[at:at + step], began + 900):
                return "sending timed out"
            rss.append((at + step, harness.rss_kib(runner.process.pid)))
            runner.poll_stderr(0)
        sent = time.monotonic()
        deadline = sent + 900
        while time.monotonic() < deadline:
            journals = folders.journals()
            if journals and sum(os.path.getsize(j) for j in journals) >= len(data):
                break
            # Looked at every millisecond, as `cat`'s output is.
            runner.poll_stderr(0.001)
            line.drain()
        received = time.monotonic()
        rss.append((len(data), harness.rss_kib(runner.process.pid)))
        runner.signal(signal.SIGINT)
        status = runner.finish(900)
        ended = time.monotonic()
        if status != 0:
            return "exit status %s: %s" % (status, runner.stderr()[-300:])
        rows = re.search(r"Rows written: (\d+)", runner.stdout())
        return dict(ready=ready, sending=received - began, saving=ended - received, total=ended - began,
                    rss=rss, output_bytes=os.path.getsize(out_path), rows=int(rows.group(1)) if rows else None)
    finally:
        runner.kill()
        line.close()
        folders.remove()


def cat_run(data):
    """`cat` of the same pty into a file: seconds from the first byte sent to the last
    byte in the file."""
    line = harness.PtyInstrument()
    with tempfile.NamedTemporaryFile() as out:
        cat = subprocess.Popen(["cat", line.path], stdout=out)
        try:
            time.sleep(0.5)
            began = time.monotonic()
            # A `cat` that ended early leaves the line full: the figure is then left out.
            if not line.send(data, began + 30):
                return None
            while os.path.getsize(out.name) < len(data) and time.monotonic() < began + 300:
                time.sleep(0.001)
            return time.monotonic() - began
        finally:
            cat.kill()
            cat.wait()
            line.close()


def rss_growth(samples):
    """The largest growth of the RSS over its first sample, in MB."""
    return (max(kib for _, kib in samples[1:]) - samples[0][1]) / 1024.0


def rss_note(samples):
    return "RSS after each 10 %%: %s MB" % "/".join("%.0f" % (kib / 1024.0) for _, kib in samples)


def captures():
    data = harness.k7rx_text(16 << 20)
    # The median of five runs of each: a single run on two shared processors varies by 2x.
    # Each `cat` runs right before a capture, so both meet the machine in the same state
    # (the files of the capture before still being written to the disk, for one).
    cats, runs = [], []
    for _ in range(5):
        cats.append(cat_run(data))
        runs.append(capture_run("run.csv", data))
    cats = sorted(filter(None, cats))
    cat = cats[len(cats) // 2] if cats else None
    done = sorted((run for run in runs if not isinstance(run, str)), key=lambda run: run["total"])
    csv = done[len(done) // 2] if len(done) == len(runs) else next(run for run in runs if isinstance(run, str))
    if isinstance(csv, str):
        failed("tabwright capture 16 MB to .csv / cat of the pty", csv)
    else:
        goal_row("tabwright capture 16 MB to .csv / cat of the pty", ratio(csv["total"], cat), "x", "<= 1.5x",
                 lambda v: v <= 1.5, "medians of 5: %.2f s (receiving %.2f s, stop and save %.2f s) against %.2f s;"
                 " runs %s s" % (csv["total"], csv["sending"], csv["saving"], cat or 0,
                                 "/".join("%.2f" % run["total"] for run in done)))
        goal_row("Tabwright RSS growth, 16 MB to .csv", rss_growth(csv["rss"]), "MB", "<= 16 MB (flat)",
                 lambda v: v <= 16, rss_note(csv["rss"]))
    data = harness.k7rx_text(2 << 20)
    ods = capture_run("run.ods", data)
    if isinstance(ods, str):
        failed("tabwright capture 2 MB to .ods", ods)
    else:
        figure("tabwright capture 2 MB to .ods: Calc's start", ods["ready"], "s", note="no goal")
        figure("tabwright capture 2 MB to .ods: sending until all received", ods["sending"], "s", note="no goal")
        figure("tabwright capture 2 MB to .ods: stop, write and save", ods["saving"], "s", note="no goal")


def long_capture():
    # Lines of about 56 bytes: 50 MB stay within the sheet's 1,048,576 rows.
    for megabytes, pace, name in ((20, None, "at full speed"), (50, None, "at full speed"),
                                  (50, 500_000, "at 0.5 MB/s, which Calc keeps up with")):
        data = harness.k7rx_text(megabytes << 20, width=12)
        run = capture_run("long.ods", data, bytes_per_second=pace)
        title = "Tabwright RSS growth, %d MB to .ods %s" % (megabytes, name)
        if isinstance(run, str):
            failed(title, run)
            continue
        goal_row(title, rss_growth(run["rss"]), "MB", "<= 16 MB (flat)", lambda v: v <= 16,
                 "%s; %.0f s" % (rss_note(run["rss"]), run["total"]))
        lines = data.count(b"\r\n")
        goal_row(title.replace("RSS growth", "rows in the workbook"), run["rows"], "rows", "= %d" % lines,
                 lambda v: v == lines)


def replay():
    """`tabwright replay` of K7RX journals into CSV: throughput and peak memory."""
    folders = harness.UserFolders()
    try:
        for megabytes in (16, 256):
            journal = os.path.join(folders.work, "run-%d.txt" % megabytes)
            # Made by a process of its own: a child forked from a parent that held the text
            # would count the parent's memory in its own peak.
            subprocess.run([sys.executable, "-c", "import bench_journal; bench_journal.write(%r, %d)" % (
                journal, megabytes << 20)], cwd=os.path.dirname(os.path.abspath(__file__)), check=True)
            output = os.path.join(folders.work, "run-%d.csv" % megabytes)
            # Started by `time`, a small process of its own: a program forked from this one
            # would count this one's memory in its peak, which the system keeps across exec.
            peak_file = os.path.join(folders.work, "peak-rss")
            began = time.monotonic()
            program = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak_file,
                                        os.path.join(build, "tabwright/tabwright"), "replay", journal, "--output",
                                        output], env=folders.environment(), cwd=folders.work,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            errors = program.stderr.read().decode("latin-1")
            _, status, _ = os.wait4(program.pid, 0)
            seconds = time.monotonic() - began
            title = "tabwright replay of %d MB of K7RX lines to .csv" % megabytes
            if os.waitstatus_to_exitcode(status) != 0:
                failed(title, "exit %d: %s" % (os.waitstatus_to_exitcode(status), errors[-300:]))
                continue
            with open(peak_file) as peak_kib:
                peak = int(peak_kib.read().split()[-1]) / 1024.0
            goal_row(title, (megabytes << 20) / 1e6 / seconds, "MB/s", ">= 40 MB/s", lambda v: v >= 40,
                     "%.1f s" % seconds)
            goal_row(title + ": peak RSS", peak, "MB", "<= 64 MB (flat)", lambda v: v <= 64)
            os.remove(journal)
            os.remove(output)
    finally:
        folders.remove()


# ---- readings chart
def load_note():
    return "load %.2f" % os.getloadavg()[0]


def chart():
    runs = google_benchmark("common/widgets/readings_chart_benchmark", env=offscreen())
    note = load_note()
    redraw = runs.get("BM_RedrawMillionReadings")
    goal_row("chart redraw of 1,000,000 readings following a run, painted", redraw and seconds_of(redraw) * 1000,
             "ms", "<= 16 ms", lambda v: v <= 16, note)
    panned = runs.get("BM_RedrawMillionReadingsPanned")
    goal_row("chart redraw of 1,000,000 readings panned by the user, painted", panned and seconds_of(panned) * 1000,
             "ms", "<= 16 ms", lambda v: v <= 16, note)
    goal_row("chart memory per reading", redraw and redraw.get("bytes_per_reading"), "B", "<= 32 B",
             lambda v: v <= 32)
    runs = google_benchmark("common/chart/decimation_benchmark")
    decimation = runs.get("BM_DecimateMillionReadings")
    figure("decimation of 1,000,000 readings to 1600 columns",
           decimation and seconds_of(decimation) * 1000, "ms", note="the redraw's share")
    # A full-speed capture into a real Calc in the main window, in rounds of three runs.
    load = program_figures("tabwright/windows/readings_chart_load_benchmark", env=offscreen())
    note = load_note()
    closed, opened = load.get("cells_per_second_chart_closed"), load.get("cells_per_second_chart_open")
    goal_row("drain into Calc with the chart open / with it closed, cells/s", ratio(opened, closed), "x",
             "within 5 %", lambda v: v >= 0.95,
             "%.0f against %.0f cells/s (rows fed to no chart: %.0f); %s; median of 5" % (
                 opened, closed, load.get("cells_per_second_not_fed", 0), note) if opened and closed else note)
    figure("Tabwright's CPU for that drain, chart open / closed", ratio(load.get("cpu_ms_chart_open"),
           load.get("cpu_ms_chart_closed")), "x", note="%s against %s ms (not fed: %s ms)" % tuple(
               "%.0f" % load[key] if key in load else "-"
               for key in ("cpu_ms_chart_open", "cpu_ms_chart_closed", "cpu_ms_not_fed")))
    goal_row("longest window block by the chart in a full-speed run", load.get("longest_chart_block_ms"), "ms",
             "<= 50 ms", lambda v: v <= 50, "window's longest block: %s ms chart open, %s ms closed; %s" % (
                 tuple("%.0f" % load[key] if key in load else "-"
                       for key in ("longest_block_ms_chart_open", "longest_block_ms_chart_closed")) + (note,)))


parts = {"conversion": conversion, "parsing": parsing, "calc": calc, "download": download,
         "start-up": start_up, "captures": captures, "replay": replay, "long-capture": long_capture,
         "chart": chart}
chosen = sys.argv[3:] or list(parts)
for part in chosen:
    print("== " + part, flush=True)
    try:
        parts[part]()
    except Exception as error:  # a broken measurement is a row of the table, not the end
        failed(part, "%s: %s" % (type(error).__name__, error))

print()
print("%-70s %12s  %-18s %s" % ("figure", "value", "goal", "met"))
for row in figures:
    value = row["value"]
    shown = "-" if value is None else ("%.3g" % value if abs(value) < 1000 else "%.0f" % value)
    met = {True: "met", False: "NOT MET", None: ""}[row["met"]]
    print("%-70s %8s %-3s  %-18s %s  %s" % (row["figure"][:70], shown, row["unit"], row["goal"], met, row["note"]))
os.makedirs(os.path.dirname(json_path), exist_ok=True)
with open(json_path, "w") as out:
    json.dump(figures, out, indent=1)
print("\nWritten: " + json_path)
sys.exit(0)
