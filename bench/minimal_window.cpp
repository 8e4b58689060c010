// The yardstick for the program's start-up, memory and idle cost: the smallest Qt Widgets
// window of the same size, shown the same way.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(QStringLiteral("minimal window"));
    w.setFixedSize(800, 559);
    w.show();
    return app.exec();
}
