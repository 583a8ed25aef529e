// Saves the whole screen as a picture: grab_screen FILE.png. The screenshot script uses it
// for windows of other programs (Calc), which the screenshot programs cannot reach.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: grab_screen FILE.png\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "grab_screen: cannot save the screen as %s\n", argv[1]);
        return 1;
    }
    return 0;
}
