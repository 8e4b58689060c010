// The class's results printed to a PDF without the dialog and read back; the keys and the
// guide opened from ヘルプ; the save dialogs' folder remembered.
#include <gtest/gtest.h>
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "assets/assets.h"
#include "desktop/graph/GraphPrint.h"
#include "desktop/graph/GraphReport.h"
#include "core/graph/PrintLayout.h"
#include "desktop/main/frmKeys.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/TickTimer.h"

namespace {

struct Teacher : ::testing::Test {
    QTemporaryDir dir;
    SharedRecords shared;
    std::unique_ptr<frmMain> w;

    void SetUp() override
    {
        InitVaporiaAssets();
        ASSERT_TRUE(dir.isValid());
        shared.location = {dir.path(), QString()};
        shared.prefsPath = dir.filePath(QStringLiteral("config/preferences.ini"));
        w = std::make_unique<frmMain>(shared, [] { return 43200.25f; });
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->Timer().Stop();
    }
    // Runs a tool of poppler-utils; empty when it is not installed.
    static QByteArray Run(const QString& tool, const QStringList& args)
    {
        if (QStandardPaths::findExecutable(tool).isEmpty()) return {};
        QProcess p;
        p.start(tool, args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
        return p.readAllStandardOutput();
    }
};

// The centre of the pure red pixels of image within area; invalid when there are none.
QPointF RedCentre(const QImage& image, QRect area = {})
{
    if (area.isNull()) area = image.rect();
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    return n == 0 ? QPointF(-1, -1) : QPointF(sx / n + 0.5, sy / n + 0.5);
}

} // namespace

TEST_F(Teacher, PrintsTitlePictureAndTableOnOneA4Page)
{
    EXPECT_EQ(w->menu_Print->text(), QStringLiteral("印刷(&P)..."));
    EXPECT_EQ(w->menu_Print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));

    mdlSinario::SetTitle(shared.program.EditSinario(), QStringLiteral("水の蒸気圧曲線"));
    // Typed "80": the 8 on the way is left off the paper, as from the CSV and the picture.
    w->txtOndo->clear();
    QTest::keyClicks(w->txtOndo, QStringLiteral("80"));
    for (const char* t : {"20", "40", "60"}) w->txtOndo->setText(QString::fromLatin1(t));
    const QString newest = w->txtAturyoku->text();

    const QString pdf = dir.filePath(QStringLiteral("results.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    graph::PreparePrinter(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(w->PrintResults(printer));
    ASSERT_TRUE(QFile::exists(pdf));

    const QByteArray info = Run(QStringLiteral("pdfinfo"), {pdf});
    if (info.isEmpty()) GTEST_SKIP() << "poppler-utils is not installed";
    EXPECT_TRUE(QString::fromUtf8(info).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains("595 x 842 pts (A4)")) << info.toStdString();

    const QString text = QString::fromUtf8(Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
    EXPECT_TRUE(text.contains(QStringLiteral("水の蒸気圧曲線"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("番号"))) << text.toStdString();
    // The last row: its number, liquid, temperature and the readout as shown.
    const QRegularExpression lastRow(QStringLiteral("5\\s+水\\s+60℃\\s+%1 mmHg").arg(QRegularExpression::escape(newest)));
    EXPECT_TRUE(text.contains(lastRow)) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("2\\s+水\\s+80℃")))) << text.toStdString();
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("1\\s+水\\s+8℃")))) << text.toStdString();

    // The red point lies where the report picture puts it, scaled into the page's picture.
    const int dpi = 72;
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                                 QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))}),
              0);
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    const QImage picture = w->GraphReportImage();
    // Below the legend, whose swatch for the newest point is red too.
    const QPointF inPicture = RedCentre(picture, QRect(0, graph::kReportTop, picture.width(), picture.height() - graph::kReportTop));
    ASSERT_GE(inPicture.x(), 0);
    const printlayout::Page layout = printlayout::LayoutPage(picture.width(), picture.height(), 3, true);
    const double dotsPerTenth = dpi / 254.0;
    const int panelTopOnPage = static_cast<int>(
        std::ceil((100 + layout.picture.y + graph::kReportTop * layout.picture.height / picture.height()) * dotsPerTenth));
    const QPointF expected((100 + layout.picture.x + inPicture.x() * layout.picture.width / picture.width()) * dotsPerTenth,
                           (100 + layout.picture.y + inPicture.y() * layout.picture.height / picture.height()) * dotsPerTenth);
    const QPointF onPage = RedCentre(page, QRect(0, panelTopOnPage, page.width(), page.height() - panelTopOnPage));
    ASSERT_GE(onPage.x(), 0) << "no red point on the page";
    EXPECT_NEAR(onPage.x(), expected.x(), 2.0);
    EXPECT_NEAR(onPage.y(), expected.y(), 2.0);
}

// F1 lists every key the program names, and leads on to the installed guide; so does the
// menu's 使い方. Reading the keys keeps the graph's points.
TEST_F(Teacher, F1ListsTheKeysAndOpensTheInstalledGuide)
{
    EXPECT_EQ(w->menu_Keys->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(w->menu_Guide->text(), QStringLiteral("使い方(&U)"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("share/vaporia/guide"))));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("bin"))));
    QFile page(dir.filePath(QStringLiteral("share/vaporia/guide/index.html")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    // Installed: the program in bin/, the guide in share/.
    EXPECT_EQ(frmMain::GuidePath(dir.filePath(QStringLiteral("bin"))), QFileInfo(page).absoluteFilePath());
    EXPECT_EQ(frmMain::GuidePath(dir.filePath(QStringLiteral("nowhere/bin"))), QString());
    EXPECT_EQ(frmMain::GuidePath(QString()), QString());

    shared.location.programDir = dir.filePath(QStringLiteral("bin"));
    QList<QUrl> opened;
    w->SetUrlOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    QTest::keyClicks(w->txtOndo, QStringLiteral("50"));
    const std::size_t points = shared.program.PointCount();
    ASSERT_GT(points, 0u);
    const std::vector<app::KeyHelpEntry> keys = shared.program.KeyHelp();
    QStringList rows;
    bool listFirst = false;
    QTimer::singleShot(50, [&] {
        auto* d = qobject_cast<frmKeys*>(QApplication::activeModalWidget());
        if (!d) {
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
            return;
        }
        for (int r = 0; r < d->tblKeys->rowCount(); ++r)
            rows << d->tblKeys->item(r, 0)->text() + QLatin1Char('|') + d->tblKeys->item(r, 1)->text();
        listFirst = d->focusWidget() == d->tblKeys; // the list is read first
        d->cmdGuide->click();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QTest::keyClick(w->windowHandle(), Qt::Key_F1);
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(keys.size()));
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(rows[i], QString::fromStdString(keys[i].keys + "|" + keys[i].action));
    EXPECT_TRUE(listFirst);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front(), QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath()));
    EXPECT_EQ(shared.program.PointCount(), points);
    w->menu_Guide->trigger();
    EXPECT_EQ(opened.size(), 2);
}

TEST_F(Teacher, SaveDialogsOpenInTheFolderLastSavedTo)
{
    const QString folder = dir.filePath(QStringLiteral("授業 資料"));
    ASSERT_TRUE(QDir().mkpath(folder));
    w->Export().SetPathChooser([&](QWidget*, graph::GraphExport::Kind) { return folder + QStringLiteral("/点.csv"); });
    w->menu_CsvSave_Click();
    ASSERT_TRUE(QFile::exists(folder + QStringLiteral("/点.csv")));
    EXPECT_EQ(w->SaveFolder(), folder);
    // Remembered per user, beside the zoom, for the next run.
    EXPECT_EQ(QString::fromStdString(userprefs::LoadUserPrefs(shared.prefsPath).saveFolder), folder);
    // A folder since removed: the platform's choice again.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(w->SaveFolder(), QString());
}
