#pragma once

class QApplication;

namespace testing_support {

// The one application object window tests need, made on first use unless the program
// made one before.
QApplication& application();

}  // namespace testing_support
