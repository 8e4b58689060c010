#pragma once
// The graph's points leaving the program: the report picture copied to the clipboard or
// saved as PNG, and the table saved as CSV. Every file goes through the safe-write path;
// the dialogs and message boxes can be replaced, for the tests.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>

class QWidget;

namespace graph {

class GraphExport {
public:
    enum class Kind { Png, Csv };
    // The file to write, as the user chose it; empty when cancelled.
    using PathChooser = std::function<QString(QWidget* parent, Kind kind)>;
    // Whether to replace the existing file at path.
    using ReplaceQuestion = std::function<bool(QWidget* parent, const QString& path)>;
    // Tells the user that something failed.
    using Notice = std::function<void(QWidget* parent, const QString& text)>;

    GraphExport();
    // The dialog chooser refers to this object.
    GraphExport(const GraphExport&) = delete;
    GraphExport& operator=(const GraphExport&) = delete;

    void SetPathChooser(PathChooser chooser) { choosePath_ = std::move(chooser); }
    void SetReplaceQuestion(ReplaceQuestion ask) { askReplace_ = std::move(ask); }
    void SetNotice(Notice notice) { notice_ = std::move(notice); }
    // The folder the save dialog opens in (the platform's choice when empty), and who hears
    // of the folder of each file saved, to remember it.
    void SetStartFolder(const QString& folder) { startFolder_ = folder; }
    void SetFolderUsed(std::function<void(const QString& folder)> used) { folderUsed_ = std::move(used); }

    // The name with the kind's extension added when it has none ("curve" → "curve.png";
    // "curve.PNG" and "data.txt" stay as they are).
    static QString WithExtension(const QString& path, Kind kind);
    // The platform's save dialog, titled and filtered for the kind; it adds the extension
    // itself and asks before replacing a file.
    static QString ChoosePathWithDialog(QWidget* parent, Kind kind, const QString& folder = QString());

    // Puts the picture on the clipboard (offered as PNG among others).
    static void CopyImage(const QImage& image);
    // Ask for a file, then write the picture as PNG, or the CSV text as it is. False when
    // cancelled or failed; a failure has been told and has left no file behind.
    bool SaveImage(QWidget* parent, const QImage& image);
    bool SaveCsv(QWidget* parent, const QByteArray& csv);

private:
    bool Save(QWidget* parent, Kind kind, const QByteArray& bytes);

    PathChooser choosePath_;
    ReplaceQuestion askReplace_;
    Notice notice_;
    QString startFolder_;
    std::function<void(const QString&)> folderUsed_;
};

} // namespace graph
