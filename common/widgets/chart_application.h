#pragma once

#include <memory>

#include <QCoreApplication>

namespace common {

// Whether a command line asks for a chart file (an argument "--chart" or "--chart=...").
bool commandLineAsksForChart(int argc, char* argv[]);

// The application a command line runs in: a QApplication when it draws a chart, whose
// scene needs one, on the offscreen platform when there is no display; otherwise a
// QCoreApplication, which needs no display library at all.
std::unique_ptr<QCoreApplication> commandLineApplication(int& argc, char* argv[]);

}  // namespace common
