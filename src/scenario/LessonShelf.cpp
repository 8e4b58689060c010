#include "scenario/LessonShelf.h"

#include <QDir>
#include <QFileInfo>

namespace lessonshelf {

QStringList LessonFolderCandidates(const QString& programDir)
{
    if (programDir.isEmpty()) return {};
    const QDir dir(programDir);
    return {QDir::cleanPath(dir.filePath(QStringLiteral("lessons"))),
            QDir::cleanPath(dir.filePath(QStringLiteral("../share/vaporia/lessons")))};
}

QString FindLessonFolder(const QString& programDir)
{
    for (const QString& candidate : LessonFolderCandidates(programDir))
        if (QFileInfo(candidate).isDir()) return candidate;
    return {};
}

std::vector<LessonEntry> ListLessons(const QString& folder)
{
    std::vector<LessonEntry> entries;
    if (folder.isEmpty()) return entries;
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.so1")});
    // Without QDir::CaseSensitive the filter also finds "LESSON.SO1".
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name);
    const QFileInfoList files = dir.entryInfoList();
    for (const QFileInfo& file : files) {
        if (entries.size() >= static_cast<std::size_t>(kMaxListed)) break;
        mdlSinario::SinarioData d; // only its title is kept
        if (!mdlSinario::ReadSinarioFile(d, file.filePath())) continue;
        QString title = mdlSinario::TitleText(d).trimmed();
        if (title.isEmpty()) title = file.completeBaseName();
        entries.push_back({file.filePath(), title});
    }
    return entries;
}

QString MenuText(const QString& title)
{
    QString text;
    text.reserve(title.size());
    for (const QChar c : title) {
        if (c == u'&') text += QStringLiteral("&&");
        else if (c.category() == QChar::Other_Control) text += u' ';
        else text += c;
    }
    return text;
}

bool LoadLesson(mdlSinario::SinarioData& sinario, const QString& path, QString* error)
{
    return mdlSinario::ReadSinarioFile(sinario, path, error);
}

} // namespace lessonshelf
