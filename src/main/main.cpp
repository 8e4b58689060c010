#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget w;
    w.setFixedSize(800, 559);
    w.show();
    return app.exec();
}
