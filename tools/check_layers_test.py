#!/usr/bin/env python3
"""Plants includes in a scratch tree and runs tools/check_layers.py on it."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

CHECKER = pathlib.Path(__file__).with_name("check_layers.py")
sys.path.insert(0, str(CHECKER.parent))
import check_layers  # noqa: E402

# (file, the include planted in it, whether the checker must refuse it)
CASES = [
    ("common/core/paths.cpp", "tabwright/capture/capture_run.h", True),
    ("common/core/paths.cpp", "logfetch/convert/bin_format.h", True),
    ("common/core/paths.cpp", "serial/serial_port.h", True),
    ("common/core/paths.cpp", "common/widgets/twips.h", True),
    ("common/widgets/twips.cpp", "common/core/paths.h", False),
    ("common/chart/decimation.cpp", "common/widgets/readings_chart.h", True),
    ("common/widgets/readings_chart.cpp", "common/chart/decimation.h", False),
    ("tabwright/chart/rows.cpp", "tabwright/windows/main_window.h", True),
    ("serial/port.cpp", "logfetch/ports/serialport_cfg.h", True),
    ("serial/port.cpp", "common/core/paths.h", False),
    ("tabwright/capture/run.cpp", "tabwright/windows/main_window.h", True),
    ("tabwright/emulator/model.h", "tabwright/cli/capture_options.h", True),
    ("logfetch/download/engine.cpp", "logfetch/windows/download_window.h", True),
    ("logfetch/convert/report_test.cpp", "logfetch/cli/convert_command.h", True),
    ("tabwright/windows/main_window.cpp", "tabwright/capture/capture_run.h", False),
    ("tabwright/cli/capture_command.cpp", "tabwright/calc/calc_spreadsheet.h", False),
    ("tabwright/main.cpp", "tabwright/windows/main_window.h", False),
    ("tabwright/windows/main_window.cpp", "logfetch/convert/bin_format.h", True),
    ("tabwright/capture/run.cpp", "testing/temp_folder.h", True),
    ("logfetch/windows/main_window.cpp", "logfetch/testing/bin_builder.h", True),
    ("serial/port.cpp", "testing/pty_instrument.h", True),
    ("serial/port_test.cpp", "testing/pty_instrument.h", False),
    ("tabwright/capture/run_benchmark.cpp", "tabwright/testing/recording_spreadsheet.h", False),
    ("tabwright/testing/recording_spreadsheet.h", "testing/temp_folder.h", False),
    # The plain domain folders reach no port.
    ("tabwright/emulator/model.cpp", "serial/serial_port.h", True),
    ("tabwright/files/serial_port_source.h", "serial/serial_port.h", False),
]

# (file, the system header planted in it, whether the checker must refuse it): the plain
# domain folders do no I/O of their own; tests of them, and other folders, may.
SYSTEM_CASES = [
    ("tabwright/emulator/model.cpp", "fstream", True),
    ("tabwright/chart/rows.cpp", "QFile", True),
    ("common/chart/series.cpp", "unistd.h", True),
    ("tabwright/chart/rows.h", "QtCore/QSettings", True),
    ("tabwright/emulator/model.cpp", "sys/stat.h", True),
    ("tabwright/capture/capture_run.cpp", "fcntl.h", True),
    ("tabwright/emulator/model.cpp", "string", False),
    ("common/chart/clock_time.cpp", "cstdio", False),
    ("tabwright/emulator/model_test.cpp", "fstream", False),
    ("tabwright/calc/office.cpp", "QProcess", False),
    ("common/core/paths.cpp", "filesystem", False),
]


def plant(tree, source, line):
    path = tree / source
    path.parent.mkdir(parents=True)
    path.write_text(f"#include <vector>\n\n{line}\n")


def check(tree):
    return subprocess.run([sys.executable, str(CHECKER), str(tree)], capture_output=True, text=True)


class CheckLayersTest(unittest.TestCase):
    def assert_planted(self, source, include, refused):
        """Plants `include` (as written after #include) in `source` and checks the verdict."""
        with self.subTest(source=source, include=include), tempfile.TemporaryDirectory() as scratch:
            tree = pathlib.Path(scratch)
            plant(tree, source, f"#include {include}")
            found = check_layers.offences(tree)
            if refused:
                self.assertEqual(len(found), 1, found)
                self.assertTrue(found[0].startswith(f"{source}:3: includes {include}"), found)
            else:
                self.assertEqual(found, [])

    def test_each_planted_include(self):
        for source, included, refused in CASES:
            self.assert_planted(source, f'"{included}"', refused)

    def test_each_planted_system_header(self):
        for source, header, refused in SYSTEM_CASES:
            self.assert_planted(source, f"<{header}>", refused)

    def test_a_planted_include_fails_the_run(self):
        with tempfile.TemporaryDirectory() as scratch:
            path = pathlib.Path(scratch) / "common/core/paths.cpp"
            path.parent.mkdir(parents=True)
            path.write_text('#include "tabwright/capture/capture_run.h"\n')
            result = check(scratch)
            self.assertEqual(result.returncode, 1)
            self.assertIn("common/core/paths.cpp:1:", result.stdout)

    def test_this_tree_keeps_its_layers(self):
        result = check(CHECKER.parent.parent)
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
