#include "desktop/platform/ModalDialog.h"

namespace platform {

int RunModal(QDialog& dialog, QWidget& mainWindow, const std::function<void()>& afterClose)
{
    if (!dialog.testAttribute(Qt::WA_Resized)) dialog.adjustSize();
    const QPoint centre = mainWindow.frameGeometry().center();
    dialog.move(centre - QPoint(dialog.width() / 2, dialog.height() / 2));
    dialog.setWindowModality(Qt::ApplicationModal);
    const int result = dialog.exec();
    if (afterClose) afterClose();
    return result;
}

} // namespace platform
