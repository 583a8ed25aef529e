"""A K7RX journal and its reads file for the replay figures, written by a process of its own."""

import harness


def write(path, size, bytes_per_read=64 << 10):
    """`size` bytes of K7RX lines in `path` and a reads file beside it: a read every
    `bytes_per_read` bytes, each after every line before it was written, as a run that keeps
    up writes them."""
    data = harness.k7rx_text(size)
    with open(path, "wb") as journal:
        journal.write(data)
    with open(path + ".reads", "w") as reads:
        reads.write("tabwright reads 1\n")
        written = 0
        for offset in range(bytes_per_read, len(data) + bytes_per_read, bytes_per_read):
            offset = min(offset, len(data))
            reads.write("r %d %d %d\n" % (offset, written, 12 * 3600 * 1000))
            written = data.rfind(b"\r\n", 0, offset) + 2
        reads.write("s %d 1\n" % len(data))
