#!/usr/bin/env python3
"""Fails when a file includes a layer above its own.

    tools/check_layers.py [ROOT]

The layers, lowest first: common/core and common/chart, common/widgets, serial/, then each
program (logfetch/, tabwright/). Inside a program the domain folders sit below
cli/ and windows/. Only tests, benchmarks, fuzzers, testing/ folders and tools/
may include a testing/ folder. The plain domain folders (PLAIN_DOMAIN) do no I/O of their
own: their product code includes no file, folder, process, socket, settings or serial-port
header, nothing of serial/ and nothing of the platform folders (PLATFORM_FOLDERS) that feed
them. Prints one line per offending include and exits with 1 when
there is any.
"""

import pathlib
import re
import sys

PRODUCTS = ("logfetch", "tabwright")
FRONT_FOLDERS = ("cli", "windows")
SOURCE_SUFFIXES = (".h", ".cpp")
TEST_SUFFIXES = ("_test.cpp", "_benchmark.cpp", "_fuzzer.cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>')
# Folders of plain C++ that reach the world only through the interfaces passed in.
PLAIN_DOMAIN = ("common/chart", "tabwright/capture", "tabwright/chart", "tabwright/emulator")
# Folders of the platform pieces the plain domain folders are fed through, never include.
PLATFORM_FOLDERS = ("tabwright/files", "tabwright/calc")
# Headers that open files, folders, processes, sockets, settings or ports.
IO_HEADERS = re.compile(
    r"^(fstream|filesystem|fcntl\.h|unistd\.h|dirent\.h|sys/.*|"
    r"(QtCore/|QtNetwork/|QtSerialPort/)?(QFile|QFileInfo|QDir|QDirIterator|QSaveFile|QTemporaryFile|"
    r"QTemporaryDir|QSettings|QProcess|QStandardPaths|QLocalSocket|QLocalServer|QTcpSocket|"
    r"QSerialPort|QSerialPortInfo))$")


def parts_of(path):
    return pathlib.PurePosixPath(path).parts


def is_test_code(relative):
    parts = parts_of(relative)
    return relative.endswith(TEST_SUFFIXES) or "testing" in parts[:-1]


def includes_testing(included):
    return "testing" in parts_of(included)[:-1]


def product_of(parts):
    return parts[0] if parts and parts[0] in PRODUCTS else None


def forbidden(relative, included):
    """Why `relative` may not include `included`, or None when it may."""
    source = parts_of(relative)
    target = parts_of(included)
    if includes_testing(included) and not is_test_code(relative):
        return "only tests and testing/ folders include testing/"
    if source[0] == "common":
        if target[0] in PRODUCTS or target[0] == "serial":
            return "common/ is below serial/ and the programs"
        if source[1:2] in (("core",), ("chart",)) and target[:2] == ("common", "widgets"):
            return f"common/{source[1]} is below common/widgets"
    if source[0] == "serial" and target[0] in PRODUCTS:
        return "serial/ is below the programs"
    product = product_of(source)
    if product is None:
        return None
    other = product_of(target)
    if other is not None and other != product:
        return "one program does not include the other"
    source_folder = source[1] if len(source) > 2 else None
    target_folder = target[1] if len(target) > 2 else None
    is_domain = source_folder is not None and source_folder not in FRONT_FOLDERS + ("testing",)
    if other == product and is_domain and target_folder in FRONT_FOLDERS:
        return f"{source_folder}/ is a domain folder, below {target_folder}/"
    return None


def in_plain_domain(relative):
    return any(relative.startswith(folder + "/") for folder in PLAIN_DOMAIN) and not is_test_code(relative)


def io_forbidden(relative, system_header=None, included=None):
    """Why a plain domain file may not include this, or None when it may."""
    if not in_plain_domain(relative):
        return None
    if system_header is not None and IO_HEADERS.match(system_header):
        return "a plain domain folder does no I/O of its own"
    if included is not None and parts_of(included)[0] == "serial":
        return "a plain domain folder does not reach the serial port"
    if included is not None and included.startswith(tuple(folder + "/" for folder in PLATFORM_FOLDERS)):
        return "a plain domain folder is fed through interfaces, below the platform folders"
    return None


def offences(root):
    found = []
    for top in ("common", "serial") + PRODUCTS:
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            relative = path.relative_to(root).as_posix()
            lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
            for number, line in enumerate(lines, start=1):
                system = SYSTEM_INCLUDE.match(line)
                if system:
                    reason = io_forbidden(relative, system_header=system.group(1))
                    if reason:
                        found.append(f"{relative}:{number}: includes <{system.group(1)}>: {reason}")
                    continue
                match = INCLUDE.match(line)
                if not match:
                    continue
                reason = forbidden(relative, match.group(1)) or io_forbidden(relative, included=match.group(1))
                if reason:
                    found.append(f'{relative}:{number}: includes "{match.group(1)}": {reason}')
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    found = offences(root.resolve())
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) reach a higher layer", file=sys.stderr)
        return 1
    print("layers: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
