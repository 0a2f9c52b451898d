// screengrab: writes the whole screen of the running display to a PNG file (the smoke test's
// picture of the game window under a virtual X display) and prints how many colours it holds.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <set>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screengrab OUT.png\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "screengrab: no screen\n");
        return 1;
    }
    const QPixmap shot = screen->grabWindow(0);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screengrab: cannot write %s\n", argv[1]);
        return 1;
    }
    const QImage image = shot.toImage().convertToFormat(QImage::Format_RGB32);
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    std::printf("colours %zu\n", colours.size());
    return 0;
}
