#pragma once
// Registry reads for the about box. Where the platform has no registry, SysInfoToolRegistry
// stands in for it: it knows only the value that names the system-information tool and
// answers it with an installed tool found on the search path.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace about {

// Predefined roots, with their 32-bit handle values.
enum class RegistryRoot : std::uint32_t { LocalMachine = 0x80000002u };

// Value types as the registry numbers them.
constexpr std::uint32_t kRegString = 1;
constexpr std::uint32_t kRegDword = 4;

struct RegistryValue {
    std::uint32_t type = kRegString;
    QByteArray data; // as stored: a string keeps its terminating NUL, a number its 4 bytes
};

class Registry {
public:
    virtual ~Registry() = default;
    // Opens keyName under root, reads the value valueName and closes the key again.
    // Nothing when the key cannot be opened or has no such value.
    virtual std::optional<RegistryValue> QueryValue(RegistryRoot root, const QString& keyName,
                                                    const QString& valueName) const = 0;
};

// The key and value names under which the system-information tool is registered.
inline const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString kSysInfoValue = QStringLiteral("PATH");
inline const QString kSysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString kSysInfoLocationValue = QStringLiteral("MSINFO");

// Well-known system-information programs, most preferred first.
QStringList DefaultSysInfoTools();

// The absolute folders of a PATH value, in order. Empty and relative entries ("", ".",
// "bin") name folders relative to wherever the program was started, where anyone may have
// put a file of the tool's name; they are left out.
QStringList AbsoluteSearchPaths(const QString& pathVariable);

class SysInfoToolRegistry : public Registry {
public:
    // searchPaths empty: AbsoluteSearchPaths of PATH.
    explicit SysInfoToolRegistry(QStringList tools = DefaultSysInfoTools(), QStringList searchPaths = {});

    // kSysInfoKey / kSysInfoValue under LocalMachine: the full file name of the first of the
    // tools that is installed, as a string value. Nothing for any other value, or when no
    // tool is installed.
    std::optional<RegistryValue> QueryValue(RegistryRoot root, const QString& keyName,
                                            const QString& valueName) const override;

private:
    QStringList tools_;
    QStringList searchPaths_;
};

} // namespace about
