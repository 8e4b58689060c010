#include "desktop/main/frmKeys.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/platform/Fonts.h"

frmKeys::frmKeys(const std::vector<app::KeyHelpEntry>& keys, std::function<void()> openGuide, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("キー操作"));
    setFont(platform::ProportionalFont(platform::PixelsForPoints(11.25)));

    tblKeys = new QTableWidget(static_cast<int>(keys.size()), 2, this);
    tblKeys->setAccessibleName(QStringLiteral("キー操作の一覧"));
    tblKeys->setHorizontalHeaderLabels({QStringLiteral("キー"), QStringLiteral("操作")});
    tblKeys->verticalHeader()->hide();
    tblKeys->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblKeys->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblKeys->setSelectionMode(QAbstractItemView::SingleSelection);
    tblKeys->setWordWrap(true);
    tblKeys->setTabKeyNavigation(false); // Tab goes on to the buttons
    for (int row = 0; row < static_cast<int>(keys.size()); ++row) {
        tblKeys->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(keys[row].keys)));
        tblKeys->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(keys[row].action)));
    }
    tblKeys->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tblKeys->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    tblKeys->setMinimumSize(760, 400);
    if (!keys.empty()) tblKeys->setCurrentCell(0, 0);

    cmdGuide = new QPushButton(QStringLiteral("使い方のページを開く(&U)"), this);
    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setDefault(true);
    connect(cmdGuide, &QPushButton::clicked, this, [openGuide = std::move(openGuide)] {
        if (openGuide) openGuide();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdGuide);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tblKeys);
    layout->addLayout(buttons);
    tblKeys->setFocus();
}

void frmKeys::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // At the width the layout gave the columns, so a wrapped action takes only its lines.
    tblKeys->resizeRowsToContents();
}
