// Writes the sample lessons as scenario files: make_lessons FOLDER
#include <QCoreApplication>
#include <QString>
#include <cstdio>

#include "lessons/LessonBook.h"

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argc > 0 ? argv[0] : "make_lessons");
        return 2;
    }
    QString error;
    if (!lessonbook::WriteLessons(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "make_lessons: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
