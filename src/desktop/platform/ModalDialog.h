#pragma once
// Modal dialogs of the main window. The main window's activation sequence runs when such a
// dialog closes, and only then: switching between programs runs nothing.
#include <QDialog>
#include <functional>

namespace platform {

// Centres dialog on mainWindow, runs it modally and then calls afterClose; the window is
// active again, the focus where it was. Returns the dialog's result.
int RunModal(QDialog& dialog, QWidget& mainWindow, const std::function<void()>& afterClose);

} // namespace platform
