#pragma once
// What the program is started with: `vaporia [FILE.so1]`, `--help`, `--version`. Answered
// before any window system is touched, so the help works on a console without a display.
#include <QString>
#include <QStringList>
#include <optional>

#include "desktop/scenario/mdlSinario.h"

namespace startfile {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString file;   // the scenario to open; empty: none
    QString output; // the help, the version or the error text, for the console
};

// args as argv gives them, the program's name first. Options Qt takes for itself
// (-platform, -style, ...) pass when qtOptionsAllowed, since QApplication removes them later.
CommandLine ParseCommandLine(const QStringList& args, bool qtOptionsAllowed);

// Loads the scenario named on the command line into d. On failure d is the empty scenario
// and the result is a message for the teacher naming the file and the reason, in Japanese.
std::optional<QString> LoadStartScenario(mdlSinario::SinarioData& d, const QString& path);

} // namespace startfile
