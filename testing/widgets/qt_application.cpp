#include "testing/widgets/qt_application.h"

#include <QApplication>

namespace testing_support {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "window-test";
    static char* argv[] = {name, nullptr};
    // One the program made first serves; ours is never destroyed: at exit Qt's own
    // statics may already be gone.
    static QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr
                                   ? qobject_cast<QApplication*>(QCoreApplication::instance())
                                   : new QApplication(argc, argv);
    return *app;
}

}  // namespace testing_support
