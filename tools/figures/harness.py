"""Shared pieces of the figure scripts: a pseudo-terminal instrument, a private per-user
folder set (COM mapping, settings, journals), the programs started with a time limit, and
the text a K7RX sends."""

import os
import select
import signal
import subprocess
import tempfile
import termios
import time
import tty


def k7rx_text(size, width=0):
    """K7RX lines of about `size` bytes in all; `width` pads the index field."""
    lines = []
    total = 0
    index = 0
    while total < size:
        line = "%d %0*d :: 12-08-2026 05:%02d:%02d = %d (RAW)  %d (C)\r\n" % (
            index % 10, max(4, width), index % 10000, index // 60 % 60, index % 60,
            40 + index % 23, 21 + index % 3)
        lines.append(line)
        total += len(line)
        index += 1
    return "".join(lines).encode("latin-1")


class PtyInstrument:
    """Both ends of a pseudo-terminal in raw mode. The slave end stays open here too, so a
    program opening and closing the port sees no hang-up; `pull_cable` closes both ends."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        for fd in (self.master, self.slave):
            tty.setraw(fd)
            attributes = termios.tcgetattr(fd)
            attributes[3] &= ~termios.ECHO
            termios.tcsetattr(fd, termios.TCSANOW, attributes)
        self.path = os.ttyname(self.slave)
        os.set_blocking(self.master, False)

    def send(self, data, deadline):
        """Writes all of `data` as fast as the reader takes it, draining what the program
        sends back; False when `deadline` (a monotonic time) passes first."""
        view = memoryview(data)
        while view:
            if time.monotonic() > deadline:
                return False
            _, writable, _ = select.select([], [self.master], [], 0.2)
            self.drain()
            if writable:
                try:
                    written = os.write(self.master, view[:65536])
                except BlockingIOError:
                    continue
                view = view[written:]
        return True

    def drain(self):
        try:
            while os.read(self.master, 65536):
                pass
        except (BlockingIOError, OSError):
            pass

    def pull_cable(self):
        for fd in (self.master, self.slave):
            try:
                os.close(fd)
            except OSError:
                pass
        self.master = self.slave = -1

    def close(self):
        if self.master >= 0:
            self.pull_cable()


class UserFolders:
    """A private home for a program run: configuration (with the COM mapping), data
    (journals) and a working folder, all removed at the end."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="veldan-figures-")
        self.config = os.path.join(self.root, "config")
        self.data = os.path.join(self.root, "data")
        self.work = os.path.join(self.root, "work")
        for folder in (self.config, self.data, self.work):
            os.makedirs(folder)

    def map_port(self, number, device):
        folder = os.path.join(self.config, "veldan-qorivex")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "serial-ports.ini"), "a") as mapping:
            if os.path.getsize(mapping.name) == 0:
                mapping.write("[Ports]\n")
            mapping.write("COM%d=%s\n" % (number, device))

    def environment(self, **extra):
        env = dict(os.environ)
        # A home of its own too: the working copies of a workbook go to its Documents.
        env.update(HOME=self.root, XDG_CONFIG_HOME=self.config, XDG_DATA_HOME=self.data,
                   QT_QPA_PLATFORM="offscreen")
        env.update(extra)
        return env

    def journals(self):
        found = []
        for folder, _, files in os.walk(self.data):
            if os.path.basename(folder) == "journal":
                # Each journal NAME.txt has its reads file NAME.txt.reads beside it.
                found += [os.path.join(folder, name) for name in files if name.endswith(".txt")]
        return sorted(found)

    def remove(self):
        subprocess.run(["rm", "-rf", self.root], check=False)


class Program:
    """A program started in its own process group with stdout and stderr collected into
    files; every stderr line gets its arrival time through `lines`."""

    def __init__(self, command, env, cwd, stdin=subprocess.DEVNULL, stdout=None):
        self.began = time.monotonic()
        self.out = tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, env=env, cwd=cwd, stdin=stdin,
                                        stdout=self.out if stdout is None else stdout,
                                        stderr=subprocess.PIPE, start_new_session=True)
        os.set_blocking(self.process.stderr.fileno(), False)
        self.lines = []  # (seconds since start, text)
        self.partial = b""

    def poll_stderr(self, wait=0.05):
        readable, _, _ = select.select([self.process.stderr], [], [], wait)
        if not readable:
            return
        try:
            chunk = os.read(self.process.stderr.fileno(), 65536)
        except BlockingIOError:
            return
        if not chunk:
            return
        now = time.monotonic() - self.began
        *complete, self.partial = (self.partial + chunk).split(b"\n")
        self.lines += [(now, line.decode("latin-1")) for line in complete]

    def wait_for_line(self, text, seconds):
        """Seconds since start when a stderr line containing `text` came; None when the
        program ended or the time ran out first."""
        deadline = time.monotonic() + seconds
        seen = 0
        while time.monotonic() < deadline:
            self.poll_stderr()
            for at, line in self.lines[seen:]:
                if text in line:
                    return at
            seen = len(self.lines)
            if self.process.poll() is not None:
                self.poll_stderr(0)
                return next((at for at, line in self.lines if text in line), None)
        return None

    def signal(self, number):
        if self.process.poll() is None:
            os.killpg(self.process.pid, number)

    def finish(self, seconds):
        """The exit status, or None when the program had to be killed after `seconds`."""
        deadline = time.monotonic() + seconds
        while self.process.poll() is None and time.monotonic() < deadline:
            self.poll_stderr()
        if self.process.poll() is None:
            self.kill()
            return None
        self.poll_stderr(0)
        return self.process.returncode

    def kill(self):
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()

    def stdout(self):
        self.out.seek(0)
        return self.out.read().decode("latin-1")

    def stderr(self):
        self.poll_stderr(0)
        return "\n".join(line for _, line in self.lines) + self.partial.decode("latin-1")


class VirtualDisplay:
    """A private X display (Xvfb) for a window program; `name` is its DISPLAY. Keys are
    pressed as a user presses them (xdotool)."""

    def __init__(self, size="1280x1024"):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", size + "x24",
                                        "-nolisten", "tcp"], pass_fds=(write_end,),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as reply:
            number = reply.readline().strip()
        if not number:
            self.server.kill()
            self.server.wait()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number

    def run(self, *command, seconds=60):
        """What `command` prints on this display; nothing when it takes longer than `seconds`."""
        try:
            return subprocess.run(list(command), env=dict(os.environ, DISPLAY=self.name), stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, timeout=seconds, check=False).stdout.decode()
        except subprocess.TimeoutExpired:
            return ""

    def window_titled(self, title):
        """Whether a window with exactly this title is shown."""
        return '"%s"' % title in self.run("xwininfo", "-root", "-tree")

    def press(self, title_pattern, keys, seconds=120):
        """Waits for a window whose title matches `title_pattern`, gives it the keyboard and
        presses `keys` (xdotool's names, e.g. "alt+s"); False when no such window came."""
        found = self.run("xdotool", "search", "--sync", "--onlyvisible", "--name", title_pattern,
                         seconds=seconds).split()
        if not found:
            return False
        self.run("xdotool", "windowfocus", "--sync", found[0], "key", "--clearmodifiers", keys)
        return True

    def close(self):
        self.server.terminate()
        self.server.wait()


def rss_kib(pid):
    """The resident memory of a process in KiB, 0 when it has gone."""
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0
