"""Plays the faults a lab meets against the built programs and prints one table: what the
user saw, the exit status, whether any received byte was lost, and the verdict. Every case
has a time limit; a case that needs what this machine does not allow (a small file system
of its own needs mount rights) says so instead of running.
Usage: faults.py BUILD_FOLDER [CASE ...]"""

import contextlib
import os
import pwd
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zipfile

import harness

build = os.path.abspath(sys.argv[1])
TABWRIGHT = os.path.join(build, "tabwright/tabwright")
LOGFETCH = os.path.join(build, "logfetch/logfetch")
INSTRUMENT = os.path.join(build, "tools/test_programs/download_instrument")
SAMPLE_BIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "samples", "lab-week.bin")
rows = []


class Skip(Exception):
    """The case cannot run on this machine; the text says why."""


def seen(text, limit=110):
    """The last lines the user saw, on one line."""
    lines = [line.strip() for line in text.splitlines() if line.strip() and not line.startswith("Bytes Received")]
    shown = " | ".join(lines[-2:])
    return shown if len(shown) <= limit else "..." + shown[-limit:]


def status_text(status):
    if status is None:
        return "HUNG (killed)"
    if status < 0:
        return "signal %d" % -status
    return str(status)


def crashed(status):
    return status is None or status < 0 or status >= 128 and status not in (128 + 1, 128 + 2, 128 + 15)


# ---------------------------------------------------------------- helpers of the cases
class Capture:
    """`tabwright capture` from a pty of its own, in private user folders."""

    def __init__(self, output, folders=None, port=7, out_folder=None, extra_env=None):
        self.folders = folders or harness.UserFolders()
        self.line = harness.PtyInstrument()
        self.folders.map_port(port, self.line.path)
        self.output = os.path.join(out_folder or self.folders.work, output)
        self.sent = b""
        env = self.folders.environment(**(extra_env or {}))
        self.program = harness.Program([TABWRIGHT, "capture", "--port", str(port), "--output", self.output],
                                       env, self.folders.work)

    def ready(self, seconds=180):
        if self.program.wait_for_line("Ready", seconds) is None:
            raise RuntimeError("the capture never started: " + seen(self.program.stderr()))

    def send(self, data):
        if not self.line.send(data, time.monotonic() + 60):
            raise RuntimeError("the capture took nothing for 60 s")
        self.sent += data

    def send_and_stop(self, data, number=signal.SIGINT, seconds=60):
        """Sends `data`, waits until the journal holds it, then sends the signal; the exit
        status and what the user saw (standard error, then standard output)."""
        self.send(data)
        self.wait_journal()
        self.program.signal(number)
        status = self.program.finish(seconds)
        return status, self.program.stderr() + "\n" + self.program.stdout()

    def journal(self):
        journals = self.folders.journals()
        if not journals:
            return b""
        with open(journals[-1], "rb") as journal:
            return journal.read()

    def wait_journal(self, seconds=60):
        """Waits until the journal holds everything sent; True when it does."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if len(self.journal()) >= len(self.sent):
                return True
            self.program.poll_stderr(0.05)
            self.line.drain()
        return False

    def lost(self):
        """What the journal lacks of what was sent, as the table's text."""
        journal = self.journal()
        if journal == self.sent:
            return "no"
        if self.sent.startswith(journal):
            return "YES: journal has %d of %d bytes" % (len(journal), len(self.sent))
        return "YES: journal differs from what was sent"

    def csv_rows(self):
        try:
            with open(self.output, "rb") as csv:
                return csv.read().count(b"\n")
        except OSError:
            return None

    def close(self):
        self.program.kill()
        self.line.close()
        self.folders.remove()


def row(case, status, text, lost, expected_ok, why="", killed_by_the_case=False):
    verdict = "ok" if expected_ok and (killed_by_the_case or not crashed(status)) else "FAULT"
    rows.append(dict(case=case, seen=text, status=status_text(status), lost=lost, verdict=verdict,
                     why=why if verdict == "FAULT" else ""))
    print("  %-40s %-6s %s" % (case, verdict, why if verdict == "FAULT" else ""), flush=True)


def skipped(case, why):
    rows.append(dict(case=case, seen="cannot run here: " + why, status="-", lost="-", verdict="skipped", why=""))
    print("  %-40s skipped: %s" % (case, why), flush=True)


def lines_of(size):
    return harness.k7rx_text(size)


def descendants(pid):
    """Every process below `pid`."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as stat:
                    parent = int(stat.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(parent, []).append(int(entry))
            except (OSError, ValueError, IndexError):
                pass
    found, queue = [], [pid]
    while queue:
        for child in children.get(queue.pop(), []):
            found.append(child)
            queue.append(child)
    return found


class SmallFileSystem:
    """A tmpfs of `size` bytes, mounted for the case; Skip when this machine does not allow it."""

    def __init__(self, size):
        self.path = tempfile.mkdtemp(prefix="veldan-full-")
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%d,mode=1777" % size, "tmpfs", self.path],
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
        if result.returncode != 0:
            os.rmdir(self.path)
            raise Skip("no small file system: mounting a tmpfs needs root with mount rights (%s)"
                       % result.stderr.decode(errors="replace").strip()[:60])

    def fill(self):
        """Fills what is left, so the next write fails."""
        filler = os.open(os.path.join(self.path, "filler"), os.O_WRONLY | os.O_CREAT, 0o600)
        try:
            while os.write(filler, b"\0" * 4096) > 0:
                pass
        except OSError:
            pass
        finally:
            os.close(filler)

    def close(self):
        subprocess.run(["umount", "-l", self.path], check=False)
        os.rmdir(self.path)


def private_logfetch(folder):
    """A copy of Logfetch in `folder`, so its program folder (temporary download file,
    settings) is the case's own."""
    copy = os.path.join(folder, "logfetch")
    shutil.copy2(LOGFETCH, copy)
    return copy


class Download:
    """`logfetch download` from the simulated instrument over a pty."""

    def __init__(self, log_bytes, pull_after=None, output=None, run_as=None, program_folder=None, port=5):
        self.folders = harness.UserFolders()
        self.program_folder = program_folder or os.path.join(self.folders.root, "program")
        os.makedirs(self.program_folder, exist_ok=True)
        self.logfetch = private_logfetch(self.program_folder)
        self.sent_file = os.path.join(self.folders.root, "sent.bin")
        command = [INSTRUMENT, str(log_bytes), self.sent_file] + ([str(pull_after)] if pull_after else [])
        self.instrument = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        device = self.instrument.stdout.readline().decode().strip()
        self.folders.map_port(port, device)
        self.output = output or os.path.join(self.folders.work, "run.bin")
        prefix = []
        if run_as:
            os.chmod(device, 0o666)
            subprocess.run(["chown", "-R", run_as, self.folders.root], check=True)
            user = pwd.getpwnam(run_as)
            prefix = ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid, "--clear-groups"]
        self.program = harness.Program(prefix + [self.logfetch, "download", "--port", str(port), "--output",
                                                 self.output], self.folders.environment(), self.folders.work)

    def play(self):
        """Starts the transfer once the program waits; the bytes the instrument put on the line."""
        if self.program.wait_for_line("", 30) is None:
            return None
        self.instrument.stdin.write(b"go\n")
        self.instrument.stdin.flush()
        answer = self.instrument.stdout.readline().decode().split()
        return int(answer[1]) if len(answer) == 2 else None

    def received(self):
        """The bytes the program kept: the output, else its temporary file."""
        for path in (self.output, os.path.join(self.program_folder, "~tempidl.bin")):
            if os.path.exists(path) and os.path.getsize(path) > 0:
                with open(path, "rb") as kept:
                    return kept.read()
        for folder, _, files in os.walk(self.folders.data):
            if "~tempidl.bin" in files:
                with open(os.path.join(folder, "~tempidl.bin"), "rb") as kept:
                    return kept.read()
        return b""

    def lost(self, on_line):
        """Whether the data bytes that reached the line are all kept. The line also carries
        three sync bytes and one check byte a block of 1024, which are not data."""
        with open(self.sent_file, "rb") as sent:
            data = sent.read()
        kept = self.received()
        if not data.startswith(kept):
            return "YES: what was kept is not what was sent"
        blocks_on_line = max(0, (on_line or 0) - 3) // 1025
        whole = min(len(data), blocks_on_line * 1024)
        if len(kept) < whole:
            return "YES: %d of %d checked bytes kept" % (len(kept), whole)
        return "no (%d bytes kept)" % len(kept)

    def close(self):
        self.program.kill()
        try:
            self.instrument.stdin.close()
        except OSError:
            pass
        self.instrument.kill()
        self.instrument.wait()
        self.folders.remove()


# ---------------------------------------------------------------- the cases
def cable_pulled_during_download():
    download = Download(64 * 1024, pull_after=20000)
    try:
        on_line = download.play()
        status = download.program.finish(60)
        text = download.program.stderr()
        lost = download.lost(on_line)
        row("cable pulled during a download", status, seen(text), lost,
            status not in (0, None) and bool(text.strip()) and lost.startswith("no"),
            "exit 0, no message or checked bytes lost after a pulled cable")
    finally:
        download.close()


def cable_pulled_during_capture():
    capture = Capture("run.csv")
    try:
        capture.ready()
        capture.send(lines_of(200_000))
        capture.wait_journal()
        capture.line.pull_cable()
        status = capture.program.finish(60)
        rows_written = capture.csv_rows()
        lines = capture.sent.count(b"\r\n")
        lost = capture.lost()
        if lost == "no" and rows_written != lines:
            lost = "YES: %s of %d lines in the output" % (rows_written, lines)
        row("cable pulled during a capture (.csv)", status, seen(capture.program.stderr()), lost,
            lost == "no" and "went away" in capture.program.stderr(), "lines lost or no message")
    finally:
        capture.close()


def calc_killed_during_capture():
    capture = Capture("run.ods")
    try:
        capture.ready()
        capture.send(lines_of(50_000))
        capture.wait_journal()
        offices = [pid for pid in descendants(capture.program.process.pid) if b"office" in command_line(pid)]
        if not offices:
            raise RuntimeError("no Calc process found below the capture")
        for pid in offices:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        time.sleep(1)
        capture.send(lines_of(50_000))
        # The journal keeps what arrives while Calc is gone, not only at Stop.
        growing = capture.wait_journal(15)
        capture.program.signal(signal.SIGINT)
        status = capture.program.finish(120)
        text = capture.program.stderr()
        lost = capture.lost() if growing else "YES until Stop: journal stood still"
        row("Calc killed during a capture (.ods)", status, seen(text), lost,
            status != 0 and "journal" in text.lower() and lost == "no"
            and "run.ods: LibreOffice Calc has ended" in text,
            "reported as saved, no pointer to the journal, a save failure not blamed on the ended Calc,"
            " or the journal stood still")
    finally:
        capture.close()


def signal_during_capture(number, output):
    name = {signal.SIGINT: "SIGINT", signal.SIGTERM: "SIGTERM", signal.SIGHUP: "SIGHUP"}[number]

    def case():
        capture = Capture("run." + output)
        try:
            capture.ready()
            status, text = capture.send_and_stop(lines_of(100_000), number, 180)
            lost = capture.lost()
            if output == "csv" and lost == "no" and capture.csv_rows() != capture.sent.count(b"\r\n"):
                lost = "YES: %s of %d lines in the output" % (capture.csv_rows(), capture.sent.count(b"\r\n"))
            saved = os.path.exists(capture.output) and os.path.getsize(capture.output) > 0
            row("%s during a capture (.%s)" % (name, output), status, seen(text), lost,
                saved and lost == "no" and "Saved" in text, "not saved whole")
        finally:
            capture.close()
    return case


def disk_full_while_converting():
    small = SmallFileSystem(1 << 20)
    folders = harness.UserFolders()
    try:
        bin_path = os.path.join(small.path, "BIG.BIN")
        subprocess.run([os.path.join(build, "tools/generators/make_large_log"), str(600 << 10), bin_path],
                       check=True)
        small.fill()
        program = harness.Program([LOGFETCH, "convert", bin_path], folders.environment(), small.path)
        status = program.finish(120)
        text = program.stderr() + "\n" + program.stdout()
        row("disk full while converting", status, seen(text), "n/a (reports only)",
            status not in (0, None) and "61" in text, "a full disk not told as error 61")
    finally:
        small.close()
        folders.remove()


def disk_full_while_downloading():
    small = SmallFileSystem(32 << 10)
    download = None
    try:
        download = Download(64 * 1024, output=os.path.join(small.path, "run.bin"))
        on_line = download.play()
        status = download.program.finish(60)
        text = download.program.stderr()
        row("disk full while downloading (output)", status, seen(text), download.lost(on_line),
            status not in (0, None) and bool(text.strip()), "a failure not told")
    finally:
        if download:
            download.close()
        small.close()


def disk_full_under_journal():
    small = SmallFileSystem(64 << 10)
    capture = None
    try:
        folders = harness.UserFolders()
        capture = Capture("run.csv", folders=folders, extra_env={"XDG_DATA_HOME": small.path})
        capture.folders.data = small.path
        capture.ready()
        capture.send(lines_of(300_000))
        time.sleep(2)
        capture.program.signal(signal.SIGINT)
        status = capture.program.finish(60)
        text = capture.program.stderr() + "\n" + capture.program.stdout()
        lines = capture.sent.count(b"\r\n")
        written = capture.csv_rows()
        lost = "no" if written == lines else "YES: %s of %d lines in the output" % (written, lines)
        # The summary must not name the journal as if it were whole.
        row("disk full under the capture journal", status, seen(text), lost,
            lost == "no" and ("incomplete" in text or "none:" in text),
            "lines lost, or the summary names the cut journal as complete")
    finally:
        if capture:
            capture.close()
        small.close()


def disk_full_under_output(extension):
    def case():
        small = SmallFileSystem(16 << 10)
        capture = None
        try:
            capture = Capture("run." + extension, out_folder=small.path)
            capture.ready()
            status, text = capture.send_and_stop(lines_of(100_000), seconds=180)
            left = os.path.exists(capture.output)
            row("disk full under the capture output (.%s)" % extension, status,
                seen(text) + ("; a partial file is left" if left else ""), capture.lost(),
                status not in (0, None) and not left and capture.lost() == "no",
                "reported as saved, a partial output left, or the journal lost bytes")
        finally:
            if capture:
                capture.close()
            small.close()
    return case


def read_only_program_folder():
    folder = tempfile.mkdtemp(prefix="veldan-readonly-")
    download = None
    try:
        run_as = "nobody" if os.geteuid() == 0 else None
        if run_as and subprocess.run(["which", "setpriv"], stdout=subprocess.DEVNULL).returncode != 0:
            raise Skip("setpriv is missing, and root writes into read-only folders")
        download = Download(16 * 1024, program_folder=folder, run_as=run_as)
        os.chmod(folder, 0o555)
        on_line = download.play()
        status = download.program.finish(60)
        text = download.program.stderr() + "\n" + download.program.stdout()
        lost = download.lost(on_line)
        whole = lost.startswith("no") and len(download.received()) == 16 * 1024
        row("read-only program folder (download)", status, seen(text), lost,
            (status == 0 and whole) or (status != 0 and "folder" in text.lower()),
            "the download was neither kept whole nor refused with a word on the folder")
    finally:
        if download:
            download.close()
        os.chmod(folder, 0o755)
        shutil.rmtree(folder, ignore_errors=True)


def random_bin():
    folders = harness.UserFolders()
    try:
        generator = random.Random(28)
        path = os.path.join(folders.work, "RANDOM.BIN")
        with open(path, "wb") as bin_file:
            bin_file.write(bytes(generator.getrandbits(8) for _ in range(256 * 1024)))
        program = harness.Program([LOGFETCH, "convert", path], folders.environment(), folders.work)
        status = program.finish(120)
        text = program.stderr() + "\n" + program.stdout()
        row(".BIN of random bytes", status, seen(text), "n/a", bool(text.strip()), "nothing told")
    finally:
        folders.remove()


def port_not_a_number():
    folders = harness.UserFolders()
    try:
        for command, name in (([LOGFETCH, "download", "--port", "COM1x"], "logfetch download"),
                              ([TABWRIGHT, "capture", "--port", "one", "--output", "x.csv"], "tabwright capture")):
            program = harness.Program(command, folders.environment(), folders.work)
            status = program.finish(30)
            text = program.stderr()
            row("port that is not a number (%s)" % name, status, seen(text), "n/a",
                status == 2 and "--port" in text, "not refused as a usage error")
    finally:
        folders.remove()


def two_programs_on_one_port():
    capture = Capture("run.csv", port=4)
    try:
        capture.ready()
        program_folder = os.path.join(capture.folders.root, "program")
        os.makedirs(program_folder)
        download = harness.Program([private_logfetch(program_folder), "download", "--port", "4", "--output",
                                    "run.bin"], capture.folders.environment(), capture.folders.work)
        status = download.finish(30)
        text = download.stderr()
        capture.send(lines_of(20_000))
        capture.wait_journal()
        row("two programs on one port", status, seen(text), capture.lost(),
            status not in (0, None) and bool(text.strip()) and capture.lost() == "no",
            "the second program was not refused clearly, or the capture lost bytes")
        download.kill()
    finally:
        capture.close()


def two_captures_at_once():
    folders = harness.UserFolders()
    first = second = None
    try:
        first = Capture("first.csv", folders=folders, port=2)
        second = Capture("second.csv", folders=folders, port=3)
        first.ready()
        second.ready()
        first.send(lines_of(100_000))
        second.send(lines_of(60_000))
        statuses = []
        for capture in (first, second):
            capture.program.signal(signal.SIGINT)
        for capture in (first, second):
            statuses.append(capture.program.finish(60))
        journals = folders.journals()
        whole = [c.csv_rows() == c.sent.count(b"\r\n") for c in (first, second)]
        lost = "no" if all(whole) else "YES: an output lacks lines"
        status = next((s for s in statuses if s != 0), 0)
        row("two captures at once", status, "%d journals; %s" % (len(journals), seen(second.program.stdout())),
            lost, all(whole) and len(journals) == 2, "outputs lack lines or the journals are shared")
    finally:
        for capture in (first, second):
            if capture:
                capture.program.kill()
                capture.line.close()
        folders.remove()


def command_line(pid):
    """The command line of a process, arguments joined by NULs; empty when it has gone."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            return cmdline.read()
    except OSError:
        return b""


def offices_left(before):
    """Office processes that were not running before the case."""
    return [pid for pid in offices_now() - before if b"soffice" in command_line(pid)]


def offices_now():
    return set(int(e) for e in os.listdir("/proc") if e.isdigit())


def wait_for_no_offices(before, seconds):
    deadline = time.monotonic() + seconds
    while offices_left(before) and time.monotonic() < deadline:
        time.sleep(0.2)
    return offices_left(before)


def signal_while_calc_starts():
    before = offices_now()
    capture = Capture("run.ods")
    try:
        time.sleep(0.5)
        capture.program.signal(signal.SIGINT)
        status = capture.program.finish(120)
        left = wait_for_no_offices(before, 20)
        for pid in left:
            os.kill(pid, signal.SIGKILL)
        text = capture.program.stderr() + "\n" + capture.program.stdout()
        row("SIGINT while Calc starts (.ods)", status, seen(text) + ("; %d Calc processes left" % len(left)),
            "n/a", not left and status is not None and status >= 0, "killed by the signal or Calc left running")
    finally:
        capture.close()


def tabwright_killed_leaves_no_calc():
    before = offices_now()
    capture = Capture("run.ods")
    try:
        capture.ready()
        capture.send(lines_of(20_000))
        capture.wait_journal()
        capture.program.kill()
        left = wait_for_no_offices(before, 30)
        for pid in left:
            os.kill(pid, signal.SIGKILL)
        row("kill -9 of a capture (.ods)", -9, "%d Calc processes left after 30 s" % len(left), capture.lost(),
            not left and capture.lost() == "no", "Calc outlived the program", killed_by_the_case=True)
    finally:
        capture.close()


def closed_standard_output():
    folders = harness.UserFolders()
    line = harness.PtyInstrument()
    try:
        folders.map_port(7, line.path)
        output = os.path.join(folders.work, "run.csv")
        read_end, write_end = os.pipe()
        os.close(read_end)
        program = harness.Program([TABWRIGHT, "capture", "--port", "7", "--output", output],
                                  folders.environment(), folders.work, stdout=write_end)
        os.close(write_end)
        if program.wait_for_line("Ready", 60) is None:
            raise RuntimeError("the capture never started: " + seen(program.stderr()))
        data = lines_of(20_000)
        line.send(data, time.monotonic() + 60)
        deadline = time.monotonic() + 60
        while sum(os.path.getsize(j) for j in folders.journals()) < len(data) and time.monotonic() < deadline:
            program.poll_stderr()
        program.signal(signal.SIGINT)
        status = program.finish(60)
        saved = os.path.exists(output) and open(output, "rb").read().count(b"\n") == data.count(b"\r\n")
        row("standard output a closed pipe", status, seen(program.stderr()), "no" if saved else "YES: not saved whole",
            status == 0 and saved, "the closed pipe changed the exit status or stopped the save")
    finally:
        line.close()
        folders.remove()


def nohup_capture():
    folders = harness.UserFolders()
    line = harness.PtyInstrument()
    try:
        folders.map_port(7, line.path)
        output = os.path.join(folders.work, "run.csv")
        ignore = signal.signal(signal.SIGHUP, signal.SIG_IGN)
        try:
            program = harness.Program([TABWRIGHT, "capture", "--port", "7", "--output", output],
                                      folders.environment(), folders.work)
        finally:
            signal.signal(signal.SIGHUP, ignore)
        if program.wait_for_line("Ready", 60) is None:
            raise RuntimeError("the capture never started: " + seen(program.stderr()))
        program.signal(signal.SIGHUP)
        # A run that takes the hang-up ends within seconds; one that ignores it is still
        # there when the limit is up.
        deadline = time.monotonic() + 10
        while program.process.poll() is None and time.monotonic() < deadline:
            program.poll_stderr()
        still_running = program.process.poll() is None
        if still_running:
            line.send(lines_of(10_000), time.monotonic() + 30)
        program.signal(signal.SIGINT)
        status = program.finish(60)
        row("SIGHUP ignored at start (nohup)", status,
            ("kept running after SIGHUP" if still_running else "ended by SIGHUP") + " | " + seen(program.stderr()),
            "n/a", still_running, "the ignored hang-up ended the run")
    finally:
        line.close()
        folders.remove()


def output_is_a_folder():
    folders = harness.UserFolders()
    try:
        os.makedirs(os.path.join(folders.work, "out.csv"))
        program = harness.Program([TABWRIGHT, "capture", "--emulate", "K7RX", "--seconds", "1", "--output", "out.csv"],
                                  folders.environment(), folders.work)
        status = program.finish(60)
        row("output name that is a folder", status, seen(program.stderr()), "n/a", status == 2,
            "not refused before the run")
    finally:
        folders.remove()


def line_wider_than_the_sheet():
    capture = Capture("run.ods")
    try:
        capture.ready()
        wide = ("0 0001 :: " + " ".join(str(i) for i in range(20_000)) + "\r\n").encode()
        status, text = capture.send_and_stop(wide + lines_of(5_000), seconds=180)
        row("a line wider than the sheet (.ods)", status, seen(text), capture.lost(),
            status == 1 or ("Rows written: 0" not in text and "blocked" not in text),
            "reported as saved with lines not written")
    finally:
        capture.close()


def installed_copy_without_a_template():
    """A copy of the program outside the build tree, as installed, with no template beside
    it: the build's data folder is not its own, so every Start must fail naming the folders
    searched, before any Calc starts."""
    folders = harness.UserFolders()
    try:
        program_folder = os.path.join(folders.root, "usr", "bin")
        os.makedirs(program_folder)
        installed = os.path.join(program_folder, "tabwright")
        shutil.copy(TABWRIGHT, installed)
        with open(os.path.join(folders.work, "run.txt"), "wb") as journal:
            journal.write(b"1\t2\r\n")
        for command in (["capture", "--emulate", "K7RX", "--seconds", "1", "--output", "run.ods"],
                        ["replay", "run.txt", "--output", "replayed.ods"]):
            # The Calc log says whether a Calc was started.
            environment = folders.environment(HOME=folders.root, QT_LOGGING_RULES="tabwright.calc=true")
            program = harness.Program([installed] + command, environment, folders.work)
            status = program.finish(120)
            text = program.stderr()
            row("no template (tabwright %s)" % command[0], status, seen(text.replace("MS Excel not available: ", "")),
                "n/a", status == 1 and "no template in: " in text and "Calc started" not in text,
                "no named reason, or Calc started without a template")
    finally:
        folders.remove()


@contextlib.contextmanager
def user_folders():
    """A private folder set for one case, removed when it ends."""
    folders = harness.UserFolders()
    try:
        yield folders
    finally:
        folders.remove()


def run_in(folders, command, seconds=60):
    """A program run in the folders' working folder; its status and what it said."""
    program = harness.Program(command, folders.environment(), folders.work)
    status = program.finish(seconds)
    return status, program.stderr() + "\n" + program.stdout()


def bytes_of(path):
    with open(path, "rb") as content:
        return content.read()


def replay_input_no_file(kind):
    def case():
        with user_folders() as folders:
            path = os.path.join(folders.work, "run.txt")
            if kind == "fifo":
                os.mkfifo(path)
            elif kind == "device":
                os.symlink("/dev/zero", path)
            else:
                os.makedirs(path)
            status, text = run_in(folders, [TABWRIGHT, "replay", "run.txt", "--format", "csv"])
            row("replay of a journal that is a " + kind, status, seen(text), "n/a",
                status == 2 and "not a file" in text, "not refused with its reason")
    return case


def replay_output_is_its_journal():
    with user_folders() as folders:
        journal = os.path.join(folders.work, "run.csv")
        with open(journal, "wb") as text:
            text.write(lines_of(2_000))
        status, said = run_in(folders, [TABWRIGHT, "replay", "run.csv", "--output", "run.csv"])
        kept = bytes_of(journal) == lines_of(2_000)
        row("replay whose output is its journal", status, seen(said), "none" if kept else "the journal",
            status == 2 and kept, "the journal replaced by its own CSV")


def replays_of_one_name_at_once():
    with user_folders() as folders:
        for folder, text in (("A", b"first\r\n"), ("B", b"second\r\n")):
            os.makedirs(os.path.join(folders.work, folder))
            with open(os.path.join(folders.work, folder, "x.txt"), "wb") as journal:
                journal.write(text)
        programs = [harness.Program([TABWRIGHT, "replay", folder + "/x.txt", "--format", "csv"],
                                    folders.environment(), folders.work) for folder in ("A", "B")]
        statuses = [program.finish(60) for program in programs]
        saved = sorted(name for name in os.listdir(folders.work) if name.endswith(".csv"))
        row("two replays saving one name at once", max(statuses, key=lambda s: s or 0),
            ", ".join(saved), "none" if len(saved) == 2 else "a replay's file",
            statuses == [0, 0] and len(saved) == 2, "one result replaced the other")


def planted_link_at_the_reads_file():
    with user_folders() as folders:
        notes = os.path.join(folders.work, "notes.txt")
        with open(notes, "wb") as text:
            text.write(b"my notes\n")
        journal = os.path.join(folders.data, "Tabwright", "journal")
        os.makedirs(journal)
        now = time.time()
        for second in range(0, 20):
            stamp = time.strftime("%Y-%m-%d_%H-%M-%S", time.localtime(now + second))
            os.symlink(notes, os.path.join(journal, stamp + ".txt.reads"))
        status, said = run_in(folders, [TABWRIGHT, "capture", "--emulate", "K7RX", "--seconds", "1",
                                        "--output", "x.csv"])
        kept = bytes_of(notes) == b"my notes\n"
        row("a link planted at the next reads file", status, seen(said),
            "none" if kept else "the linked file", status == 0 and kept, "the link was followed")


def converted_again_after_damage():
    with user_folders() as folders:
        shutil.copy(SAMPLE_BIN, os.path.join(folders.work, "g.bin"))
        run_in(folders, [LOGFETCH, "convert", "g.bin"])
        earlier = bytes_of(os.path.join(folders.work, "G.CSV"))
        with open(os.path.join(folders.work, "g.bin"), "r+b") as damaged:
            damaged.truncate(3)
        status, said = run_in(folders, [LOGFETCH, "convert", "g.bin"])
        kept = bytes_of(os.path.join(folders.work, "G.CSV")) == earlier
        row("logfetch: a damaged .BIN converted again", status, seen(said),
            "none" if kept else "the earlier reports", status == 1 and kept, "the earlier reports were emptied")


def conversions_sharing_reports():
    with user_folders() as folders:
        for name in ("run.bin", "RUN.BIN"):
            shutil.copy(SAMPLE_BIN, os.path.join(folders.work, name))
        status, said = run_in(folders, [LOGFETCH, "convert", "run.bin", "RUN.BIN"])
        row("logfetch: two .BIN files, one report name", status, seen(said), "n/a",
            status == 2, "both told completed, one set of reports")


def folder_as_bin():
    with user_folders() as folders:
        os.makedirs(os.path.join(folders.work, "d.bin"))
        status, said = run_in(folders, [LOGFETCH, "convert", "d.bin"])
        row("logfetch: a folder as the .BIN", status, seen(said), "n/a",
            status == 1 and "corrupted" not in said, "a sound file system fault called a corrupted BIN")


# ---------------------------------------------------------------- sheet limits and what is told
def told(text, *keys, limit=150):
    """The first line that holds one of `keys`, else the last lines the user saw."""
    for line in text.splitlines():
        if any(key in line for key in keys):
            line = line.strip()
            return line if len(line) <= limit else line[:limit] + "..."
    return seen(text, limit)


def sheets_on_disk(folder, workbook):
    """Each sheet of `workbook` as its CSV lines, read back by a separate LibreOffice."""
    out = os.path.join(folder, "sheets")
    subprocess.run(["soffice", "-env:UserInstallation=file://" + os.path.join(folder, "profile"), "--headless",
                    "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
                    "--outdir", out, workbook], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=300, check=False)
    found = {}
    for name in sorted(os.listdir(out)) if os.path.isdir(out) else []:
        with open(os.path.join(out, name), "rb") as sheet:
            found[name] = sheet.read().splitlines()
    return found


def replay(journal, output, folders=None, env=None, reads=None):
    """`tabwright replay` of the text `journal`; the exit status and all it said."""
    folders = folders or harness.UserFolders()
    with open(os.path.join(folders.work, "run.txt"), "wb") as text:
        text.write(journal)
    if reads is not None:
        reads(os.path.join(folders.work, "run.txt.reads"))
    program = harness.Program([TABWRIGHT, "replay", "run.txt", "--output", output],
                              folders.environment(**(env or {})), folders.work)
    status = program.finish(600)
    return status, program.stderr() + "\n" + program.stdout()


def tagged_line(cells):
    return ("a ::" + "".join(" %d" % i for i in range(cells - 1)) + "\r\n").encode()


def vq480_blocks(blocks, readings):
    return (("\r\n\r\n\r\n" + "9999\r\n" * readings) * blocks).encode()


def limit_case(case, journal, output, want_status, what_on_disk, keys):
    def run():
        folders = harness.UserFolders()
        try:
            status, text = replay(journal, output, folders)
            path = os.path.join(folders.work, output)
            disk, sound = what_on_disk(folders, path, text)
            row(case, status, told(text, *keys) + " | on disk: " + disk, "no (journal)",
                status == want_status and any(key in text for key in keys) and sound,
                "cut or counted without a word, or the wrong exit status")
        finally:
            folders.remove()
    return run


def csv_shape(folders, path, text):
    with open(path, "rb") as csv:
        lines = csv.read().split(b"\r\n")[:-1]
    widest = max((line.count(b",") + 1 for line in lines), default=0)
    written = "Rows written: %d" % len(lines)
    return "%d rows, %d columns" % (len(lines), widest), written in text


def workbook_rows(want_rows):
    def shape(folders, path, text):
        sheets = sheets_on_disk(folders.root, path)
        rows = sum(len(lines) for lines in sheets.values())
        return "%d sheets, %d rows" % (len(sheets), rows), rows == want_rows
    return shape


def workbook_widest(want_columns, want_longest):
    def shape(folders, path, text):
        sheets = sheets_on_disk(folders.root, path)
        lines = [line for each in sheets.values() for line in each]
        columns = max((line.count(b",") + 1 for line in lines), default=0)
        longest = max((len(field) for line in lines for field in line.split(b",")), default=0)
        return "%d columns, longest cell %d characters" % (columns, longest), \
            columns <= want_columns and longest <= want_longest
    return shape


def message_case(case, command, setup, keys, refused):
    """A run that cannot start or read what it needs: it must say why, not something else."""
    def run():
        folders = harness.UserFolders()
        try:
            env = setup(folders) or {}
            program = harness.Program([TABWRIGHT] + command, folders.environment(**env), folders.work)
            status = program.finish(300)
            text = program.stderr() + "\n" + program.stdout()
            row(case, status, told(text, *keys, *refused), "n/a",
                any(key in text for key in keys) and not any(bad in text for bad in refused),
                "the message names another cause")
        finally:
            folders.remove()
    return run


def documents_a_file(folders):
    home = os.path.join(folders.root, "home")
    os.makedirs(home)
    with open(os.path.join(home, "Documents"), "w") as documents:
        documents.write("a file where the folder should be")
    with open(os.path.join(folders.work, "run.txt"), "wb") as journal:
        journal.write(b"a\tb\r\n")
    return {"HOME": home}


def runtime_open_to_all(folders):
    runtime = os.path.join(folders.root, "runtime")
    os.makedirs(runtime)
    os.chmod(runtime, 0o777)
    with open(os.path.join(folders.work, "run.txt"), "wb") as journal:
        journal.write(b"a\tb\r\n")
    return {"XDG_RUNTIME_DIR": runtime}


def reads_file_a_folder(folders):
    with open(os.path.join(folders.work, "run.txt"), "wb") as journal:
        journal.write(b"a\tb\r\n")
    os.makedirs(os.path.join(folders.work, "run.txt.reads"))


def saved_port(number):
    def setup(folders):
        os.makedirs(os.path.join(folders.config, "Tabwright"))
        with open(os.path.join(folders.config, "Tabwright", "Tabwright.ini"), "w") as ini:
            ini.write("[Communication]\nComPort=%s\n" % number)
    return setup


def protected_template(folders):
    """The shipped template with its capture sheet protected, in the current folder."""
    shipped = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../data/spreadsheet.ods")
    made = os.path.join(folders.work, "spreadsheet.ods")
    with zipfile.ZipFile(shipped) as source, zipfile.ZipFile(made, "w") as copy:
        for item in source.infolist():
            data = source.read(item.filename)
            if item.filename == "content.xml":
                data = data.replace(b'table:name="Capture"', b'table:name="Capture" table:protected="true"', 1)
            copy.writestr(item, data)


limit_cases = {
    "xls-rows": limit_case(".xls: 70,000 rows", b"".join(b"%d\r\n" % i for i in range(1, 70_001)), "r.xls", 0,
                           workbook_rows(70_000), ["Sheets: 2"]),
    "xls-columns": limit_case(".xls: a line of 301 cells", tagged_line(301), "w.xls", 1,
                              workbook_widest(256, 10), ["cut at its last column"]),
    "xlsx-cell": limit_case(".xlsx: a text of 40,000 characters", b"x" * 40_000 + b"\r\n", "l.xlsx", 1,
                            workbook_widest(1, 32_767 + 2), ["32,767 characters"]),
    "replay-cut": limit_case("replay: a line of 20,001 cells (.csv)", tagged_line(20_001), "c.csv", 1,
                             csv_shape, ["cut at its last column"]),
    "plain-256": limit_case("a plain line of 300 fields (.csv)", ("\t".join("f%d" % i for i in range(300)) + "\r\n")
                            .encode(), "p.csv", 0, csv_shape, ["Fields left out past column 256: 44"]),
    # Two blocks of four readings and the separator of a third: rows 1 to 5 hold cells.
    "vq-rows": limit_case("replay: VQ-480 rows (.csv)", vq480_blocks(2, 4) + b"\r\n\r\n\r\n", "v.csv", 0,
                          csv_shape, ["Rows written: 5"]),
    # 17,000 blocks from column 2: 16,383 fit, 617 blocks of a stamp and 2 readings do not.
    "vq-blocks": limit_case("17,000 VQ-480 blocks (.csv)", vq480_blocks(17_000, 2), "b.csv", 1, csv_shape,
                            ["1,851 cells left out"]),
    "msg-documents-capture": message_case(
        "capture: ~/Documents a file", ["capture", "--emulate", "K7RX", "--seconds", "1", "--output", "run.ods"],
        documents_a_file, ["cannot make the folder"], ["needs neither LibreOffice Calc"]),
    "msg-documents-replay": message_case(
        "replay: ~/Documents a file", ["replay", "run.txt", "--output", "run.ods"], documents_a_file,
        ["cannot make the folder"], ["needs neither LibreOffice Calc", "could not be started"]),
    "msg-runtime": message_case(
        "replay: runtime folder open to all", ["replay", "run.txt", "--output", "run.ods"], runtime_open_to_all,
        ["XDG_RUNTIME_DIR"], ["could not be started"]),
    "msg-reads": message_case(
        "replay: reads file a folder", ["replay", "run.txt", "--output", "run.csv"], reads_file_a_folder,
        ["it is a folder, not a file"], ["no reads file", "damaged"]),
    "msg-comport": message_case(
        "capture: saved ComPort=-1", ["capture", "--output", "run.csv"], saved_port(-1),
        ["not a COM port number"], ["serial-ports.ini"]),
    "msg-comport-17": message_case(
        "capture: saved ComPort=17", ["capture", "--output", "run.csv"], saved_port(17),
        ["not a COM port number"], ["serial-ports.ini"]),
    "msg-protected": message_case(
        "capture: protected template sheet", ["capture", "--emulate", "K7RX", "--seconds", "3", "--output", "p.ods"],
        protected_template, ["is protected"], [".cxx"]),
}
def relative_trusted_folder():
    """TrustedFolders=. with a template and a macro in the folder the replay starts from: the
    entry is refused with a warning and the macro does not run."""
    folders = harness.UserFolders()
    try:
        settings = os.path.join(folders.config, "Tabwright")
        os.makedirs(settings)
        with open(os.path.join(settings, "Tabwright.ini"), "w") as ini:
            ini.write("[Macros]\nTrustedFolders=.\n")
        top = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
        shutil.copy(os.path.join(top, "data", "spreadsheet.ods"), folders.work)
        with open(os.path.join(folders.work, "run.txt"), "wb") as journal:
            journal.write(b"1\t2\r\n")
        program = harness.Program([TABWRIGHT, "replay", "run.txt", "--output", "r.ods", "--macro", "ChartReadings"],
                                  folders.environment(HOME=folders.root), folders.work)
        status = program.finish(300)
        text = program.stderr()
        row("TrustedFolders=. and a macro", status, seen(text), "n/a",
            "not an absolute folder" in text and "was not run" in text,
            "a relative trusted folder let the template's macro run")
    finally:
        folders.remove()


def newest_line_in_workbook(path, sent):
    """Whether the saved workbook shows the index of the last line sent (its second field)."""
    index = sent.strip().splitlines()[-1].split()[1]
    try:
        with zipfile.ZipFile(path) as workbook:
            return b"<text:p>%s</text:p>" % index in workbook.read("content.xml")
    except (OSError, KeyError, zipfile.BadZipFile):
        return False


def profiles_in(runtime):
    """The profile folders of Calc instances under the runtime folder `runtime`."""
    folder = os.path.join(runtime, "tabwright")
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


def sigterm_to_the_window():
    """A TERM (as at logout) to the window program while a run is open: the run ends as Stop
    ends it (the journal whole, its stop recorded), the settings are written, and Calc asks
    the user about the workbook's rows instead of losing them; saved, Calc ends and takes its
    profile with it though Tabwright has ended."""
    for tool in ("Xvfb", "xdotool", "xwininfo"):
        if shutil.which(tool) is None:
            raise Skip("no %s to show and drive the window" % tool)
    before = offices_now()
    display = harness.VirtualDisplay()
    folders = harness.UserFolders()
    line = harness.PtyInstrument()
    program = None
    try:
        folders.map_port(1, line.path)
        # A runtime folder of the case's own, so its Calc's profile is told from others'.
        runtime = os.path.join(folders.root, "runtime")
        os.mkdir(runtime, 0o700)
        env = folders.environment(DISPLAY=display.name, HOME=folders.root, XDG_RUNTIME_DIR=runtime)
        del env["QT_QPA_PLATFORM"]
        program = harness.Program([TABWRIGHT], env, folders.work)
        if not display.press("^Tabwright  v", "alt+s"):
            raise RuntimeError("the window never showed: " + seen(program.stderr()))
        sent = lines_of(20_000)
        line.send(sent, time.monotonic() + 60)
        deadline = time.monotonic() + 180
        journal = b""
        while journal != sent and time.monotonic() < deadline:
            program.poll_stderr(0.1)
            line.drain()
            journal = open(folders.journals()[-1], "rb").read() if folders.journals() else b""
        program.signal(signal.SIGTERM)
        status = program.finish(180)
        journal = open(folders.journals()[-1], "rb").read() if folders.journals() else b""
        with open(folders.journals()[-1] + ".reads") as reads:
            stopped = reads.read().splitlines()[-1] == "s %d 1" % len(journal)
        settings = os.path.exists(os.path.join(folders.config, "Tabwright", "Tabwright.ini"))
        asking = display.press("^Save Document", "Return")
        left = wait_for_no_offices(before, 60)
        for pid in left:
            os.kill(pid, signal.SIGKILL)
        copies = [os.path.join(folder, name) for folder, _, names in os.walk(os.path.join(folders.root, "Documents"))
                  for name in names if name.endswith(".ods")]
        saved = len(copies) == 1 and newest_line_in_workbook(copies[0], sent)
        deadline = time.monotonic() + 30
        while profiles_in(runtime) and time.monotonic() < deadline:
            time.sleep(0.5)
        profiles = profiles_in(runtime)
        lost = "no" if journal == sent else "YES: journal has %d of %d bytes" % (len(journal), len(sent))
        told = ["stop recorded" if stopped else "NO stop recorded", "settings written" if settings else "NO settings",
                "Calc asked to save" if asking else "Calc NEVER asked", "rows saved" if saved else "rows NOT saved",
                "%d Calc left" % len(left), "profile left: " + ", ".join(profiles) if profiles else "profile gone"]
        row("SIGTERM to the window during a run", status, "; ".join(told), lost,
            status == 0 and lost == "no" and stopped and settings and asking and saved and not left and not profiles,
            "the run did not end as Stop ends it, or Calc or its profile outlived it")
    finally:
        if program:
            program.kill()
        for pid in offices_left(before):
            os.kill(pid, signal.SIGKILL)
        line.close()
        display.close()
        folders.remove()


cases = {
    "download-cable": cable_pulled_during_download,
    "capture-cable": cable_pulled_during_capture,
    "calc-killed": calc_killed_during_capture,
    "sigint-csv": signal_during_capture(signal.SIGINT, "csv"),
    "sigterm-csv": signal_during_capture(signal.SIGTERM, "csv"),
    "sighup-csv": signal_during_capture(signal.SIGHUP, "csv"),
    "sigint-ods": signal_during_capture(signal.SIGINT, "ods"),
    "sigterm-ods": signal_during_capture(signal.SIGTERM, "ods"),
    "sighup-ods": signal_during_capture(signal.SIGHUP, "ods"),
    "full-converting": disk_full_while_converting,
    "full-downloading": disk_full_while_downloading,
    "full-journal": disk_full_under_journal,
    "full-output-csv": disk_full_under_output("csv"),
    "read-only-folder": read_only_program_folder,
    "random-bin": random_bin,
    "port-not-a-number": port_not_a_number,
    "same-port": two_programs_on_one_port,
    "two-captures": two_captures_at_once,
    "signal-calc-start": signal_while_calc_starts,
    "killed-capture": tabwright_killed_leaves_no_calc,
    "closed-stdout": closed_standard_output,
    "nohup": nohup_capture,
    "output-folder": output_is_a_folder,
    "wide-line": line_wider_than_the_sheet,
    "full-output-ods": disk_full_under_output("ods"),
    "replay-fifo": replay_input_no_file("fifo"),
    "replay-device": replay_input_no_file("device"),
    "replay-folder": replay_input_no_file("folder"),
    "replay-over-journal": replay_output_is_its_journal,
    "replays-one-name": replays_of_one_name_at_once,
    "planted-reads-link": planted_link_at_the_reads_file,
    "convert-damaged-again": converted_again_after_damage,
    "convert-same-reports": conversions_sharing_reports,
    "convert-folder": folder_as_bin,
    "no-template": installed_copy_without_a_template,
    "relative-trusted": relative_trusted_folder,
    "sigterm-window": sigterm_to_the_window,
}
cases.update(limit_cases)

def left_in_temporary_folders():
    """What the programs and Calc may leave in the temporary folders: office pipes and
    temporary folders, Tabwright's private instance folders, and this table's own folders."""
    found = set()
    temporary = tempfile.gettempdir()
    ours = ("OSL_PIPE_%d_" % os.getuid(), "tabwright-%d-" % os.getuid(), "veldan-figures-", "veldan-full-")
    for name in os.listdir(temporary):
        if name.startswith(ours) or name.startswith("lu") and name.endswith(".tmp"):
            found.add(os.path.join(temporary, name))
    runtime = os.environ.get("XDG_RUNTIME_DIR", "")
    if runtime and os.path.isdir(os.path.join(runtime, "tabwright")):
        found.update(os.path.join(runtime, "tabwright", name) for name in os.listdir(os.path.join(runtime, "tabwright")))
    return found


def nothing_left_behind(before):
    # A killed program's watchdog clears up a moment after it; give it that moment.
    deadline = time.monotonic() + 30
    while left_in_temporary_folders() - before and time.monotonic() < deadline:
        time.sleep(0.5)
    left = sorted(left_in_temporary_folders() - before)
    row("nothing left in the temporary folders", 0, ", ".join(left) or "nothing left", "n/a", not left,
        "files or folders outlived the programs")


chosen = sys.argv[2:] or list(cases)
before_the_table = left_in_temporary_folders()
for name in chosen:
    print("== " + name, flush=True)
    count = len(rows)
    try:
        cases[name]()
    except Skip as why:
        skipped(name, str(why))
    except Exception as error:  # a case that breaks down is a row of the table too
        rows.append(dict(case=name, seen="%s: %s" % (type(error).__name__, error), status="-", lost="?",
                         verdict="FAULT", why="the case broke down"))
        print("  %-40s FAULT  the case broke down: %s" % (name, error), flush=True)
    if len(rows) == count:
        row(name, None, "no result", "?", False, "the case gave no result")

nothing_left_behind(before_the_table)

print()
print("%-40s %-14s %-40s %-7s %s" % ("case", "exit status", "lost bytes", "verdict", "what the user saw"))
for r in rows:
    print("%-40s %-14s %-40s %-7s %s" % (r["case"], r["status"], r["lost"][:40], r["verdict"], r["seen"]))
faults = [r for r in rows if r["verdict"] == "FAULT"]
print("\n%d cases, %d faults, %d could not run here" % (len(rows), len(faults),
                                                        sum(r["verdict"] == "skipped" for r in rows)))
sys.exit(1 if faults else 0)
