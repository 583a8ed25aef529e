#include "testing/widgets/qt_application.h"

#include <QApplication>

namespace testing_support {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "window-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics may already be gone.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace testing_support
