#include "desktop/platform/ModalDialog.h"

#include <QPointer>

namespace platform {

int RunModal(QDialog& dialog, QWidget& mainWindow, const std::function<void()>& afterClose)
{
    if (!dialog.testAttribute(Qt::WA_Resized)) dialog.adjustSize();
    const QPoint centre = mainWindow.frameGeometry().center();
    dialog.move(centre - QPoint(dialog.width() / 2, dialog.height() / 2));
    dialog.setWindowModality(Qt::ApplicationModal);
    const QPointer<QWidget> focus = mainWindow.focusWidget();
    const int result = dialog.exec();
    if (afterClose) afterClose();
    // Without a window manager nothing makes the window active again, and a keyboard user
    // would go on where the dialog was opened from.
    mainWindow.activateWindow();
    if (focus && focus->isVisible() && focus->window() == &mainWindow) focus->setFocus(Qt::OtherFocusReason);
    return result;
}

} // namespace platform
