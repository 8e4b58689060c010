// The floors the program is measured against, each a Qt Widgets window of the main
// window's size, shown the same way:
//   floor_window bare          nothing in it
//   floor_window label         one Japanese label in the program's font and size
//   floor_window repaint MS    an area of the container's size and place, repainted every MS ms
//   floor_window families      prints the milliseconds and the resident memory that listing
//                              every installed font family adds to what one Japanese label
//                              in the program's font costs, and ends
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "FloorArea.h"

namespace {

// Resident memory in KiB.
long ResidentKiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

using floorbench::Area;

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const char* mode = argc > 1 ? argv[1] : "bare";
    if (!std::strcmp(mode, "families")) {
        QElapsedTimer t;
        t.start();
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(27);
        const int width = QFontMetrics(font).horizontalAdvance(QStringLiteral("温度"));
        const double labelMs = t.nsecsElapsed() / 1e6;
        const long before = ResidentKiB();
        t.restart();
        const int n = static_cast<int>(QFontDatabase::families().size());
        std::printf("one label's font (%d px of text): %.1f ms; then listing all %d families: %.1f ms, "
                    "%ld KiB resident\n",
                    width, labelMs, n, t.nsecsElapsed() / 1e6, ResidentKiB() - before);
        return 0;
    }
    QWidget w;
    w.setWindowTitle(QStringLiteral("floor window"));
    w.setFixedSize(800, 559);
    if (!std::strcmp(mode, "label")) {
        auto* label = new QLabel(QStringLiteral("温度"), &w);
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPixelSize(27);
        font.setBold(true);
        label->setFont(font);
        label->setGeometry(475, 428, 62, 36);
    } else if (!std::strcmp(mode, "repaint")) {
        auto* area = new Area(&w);
        auto* timer = new QTimer(&w);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, area, [area] { area->update(); });
        timer->start(argc > 2 ? std::atoi(argv[2]) : 32);
    }
    w.show();
    return app.exec();
}
