#include "desktop/about/Registry.h"

#include <QDir>
#include <QStandardPaths>

namespace about {

QStringList DefaultSysInfoTools()
{
    return {QStringLiteral("gnome-system-monitor"), QStringLiteral("kinfocenter"),
            QStringLiteral("hardinfo2"),            QStringLiteral("hardinfo"),
            QStringLiteral("mate-system-monitor"),  QStringLiteral("xfce4-taskmanager"),
            QStringLiteral("lxtask")};
}

QStringList AbsoluteSearchPaths(const QString& pathVariable)
{
    QStringList folders;
    for (const QString& entry : pathVariable.split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(entry)) folders << entry;
    return folders;
}

SysInfoToolRegistry::SysInfoToolRegistry(QStringList tools, QStringList searchPaths)
    : tools_(std::move(tools)),
      searchPaths_(searchPaths.isEmpty() ? AbsoluteSearchPaths(qEnvironmentVariable("PATH"))
                                         : std::move(searchPaths))
{
}

std::optional<RegistryValue> SysInfoToolRegistry::QueryValue(RegistryRoot root, const QString& keyName,
                                                             const QString& valueName) const
{
    // Registry names compare without regard to case.
    if (root != RegistryRoot::LocalMachine || keyName.compare(kSysInfoKey, Qt::CaseInsensitive) != 0 ||
        valueName.compare(kSysInfoValue, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    // An empty list would make the search fall back to PATH, relative entries and all.
    if (searchPaths_.isEmpty()) return std::nullopt;
    for (const QString& tool : tools_) {
        const QString path = QStandardPaths::findExecutable(tool, searchPaths_);
        if (!path.isEmpty()) return RegistryValue{kRegString, path.toLocal8Bit() + '\0'};
    }
    return std::nullopt;
}

} // namespace about
