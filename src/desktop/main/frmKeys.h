#pragma once
// The keyboard help (F1): every key of the main window as the program lists it, and the
// way on to the teachers' guide.
#include <QDialog>
#include <functional>
#include <vector>

#include "core/app/Program.h"

class QPushButton;
class QTableWidget;

class frmKeys : public QDialog {
    Q_OBJECT
public:
    // openGuide: opens the guide, as ヘルプ → 使い方 does.
    frmKeys(const std::vector<app::KeyHelpEntry>& keys, std::function<void()> openGuide,
            QWidget* parent = nullptr);

    QTableWidget* tblKeys = nullptr;
    QPushButton* cmdGuide = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
