#include "desktop/graph/GraphExport.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "desktop/platform/SafeWrite.h"

namespace graph {

namespace {

const QString kCaption = QStringLiteral("蒸気圧曲線");

QString Extension(GraphExport::Kind kind)
{
    return kind == GraphExport::Kind::Png ? QStringLiteral("png") : QStringLiteral("csv");
}

bool AskReplaceWithBox(QWidget* parent, const QString& path)
{
    const auto answer = QMessageBox::question(
        parent, kCaption,
        QStringLiteral("「%1」は既にあります。\n置き換えますか?").arg(QDir::toNativeSeparators(path)),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

void NoticeWithBox(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, kCaption, text);
}

} // namespace

GraphExport::GraphExport()
    : choosePath_([this](QWidget* parent, Kind kind) { return ChoosePathWithDialog(parent, kind, startFolder_); }),
      askReplace_(&AskReplaceWithBox),
      notice_(&NoticeWithBox)
{
}

QString GraphExport::WithExtension(const QString& path, Kind kind)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + Extension(kind);
}

QString GraphExport::ChoosePathWithDialog(QWidget* parent, Kind kind, const QString& folder)
{
    const bool png = kind == Kind::Png;
    QFileDialog dialog(parent,
                       png ? QStringLiteral("グラフを画像で保存") : QStringLiteral("測定点を CSV で保存"),
                       folder,
                       png ? QStringLiteral("PNG 画像 (*.png)") : QStringLiteral("CSV ファイル (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(Extension(kind));
    dialog.selectFile(png ? QStringLiteral("蒸気圧曲線.png") : QStringLiteral("測定点.csv"));
    if (dialog.exec() != QDialog::Accepted) return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

void GraphExport::CopyImage(const QImage& image)
{
    QApplication::clipboard()->setImage(image);
}

bool GraphExport::SaveImage(QWidget* parent, const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        if (notice_) notice_(parent, QStringLiteral("グラフの画像を作れませんでした。"));
        return false;
    }
    return Save(parent, Kind::Png, png);
}

bool GraphExport::SaveCsv(QWidget* parent, const QByteArray& csv)
{
    return Save(parent, Kind::Csv, csv);
}

bool GraphExport::Save(QWidget* parent, Kind kind, const QByteArray& bytes)
{
    const QString chosen = choosePath_ ? choosePath_(parent, kind) : QString();
    if (chosen.isEmpty()) return false;
    const QString path = WithExtension(chosen, kind);
    // The dialog asked about the name as chosen; a name we extended is asked about here.
    if (path != chosen && QFileInfo::exists(path) && !(askReplace_ && askReplace_(parent, path)))
        return false;
    const safewrite::Result r = safewrite::WriteFileAtomically(path, bytes);
    if (r.ok) {
        startFolder_ = QFileInfo(path).absolutePath();
        if (folderUsed_) folderUsed_(startFolder_);
        return true;
    }
    if (notice_)
        notice_(parent, QStringLiteral("「%1」を保存できませんでした。\n%2")
                            .arg(QDir::toNativeSeparators(path), safewrite::ReasonText(r.error)));
    return false;
}

} // namespace graph
