#include "about/Registry.h"

#include <QStandardPaths>

namespace about {

QStringList DefaultSysInfoTools()
{
    return {QStringLiteral("gnome-system-monitor"), QStringLiteral("kinfocenter"),
            QStringLiteral("hardinfo2"),            QStringLiteral("hardinfo"),
            QStringLiteral("mate-system-monitor"),  QStringLiteral("xfce4-taskmanager"),
            QStringLiteral("lxtask")};
}

SysInfoToolRegistry::SysInfoToolRegistry(QStringList tools, QStringList searchPaths)
    : tools_(std::move(tools)), searchPaths_(std::move(searchPaths))
{
}

std::optional<RegistryValue> SysInfoToolRegistry::QueryValue(RegistryRoot root, const QString& keyName,
                                                             const QString& valueName) const
{
    // Registry names compare without regard to case.
    if (root != RegistryRoot::LocalMachine || keyName.compare(kSysInfoKey, Qt::CaseInsensitive) != 0 ||
        valueName.compare(kSysInfoValue, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    for (const QString& tool : tools_) {
        const QString path = QStandardPaths::findExecutable(tool, searchPaths_);
        if (!path.isEmpty()) return RegistryValue{kRegString, path.toLocal8Bit() + '\0'};
    }
    return std::nullopt;
}

} // namespace about
