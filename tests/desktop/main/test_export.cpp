// The graph's points out of the main window: the CSV table after a lesson, the report
// picture on the clipboard and in a file, the graph's context menu, and saving that asks
// before replacing and tells of failures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QComboBox>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "assets/assets.h"
#include "core/render/GraphPicture.h"
#include "core/render/ReportPicture.h"
#include "desktop/graph/GraphReport.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/PictureButton.h"
#include "desktop/platform/DrawArea.h"
#include "desktop/platform/TickTimer.h"

namespace {

using Kind = graph::GraphExport::Kind;

struct Export : ::testing::Test {
    QTemporaryDir dir;
    SharedRecords shared;
    std::unique_ptr<frmMain> w;
    // What the save dialog answers, the questions asked and the notices shown.
    QString chosen;
    std::vector<Kind> kindsAsked;
    QStringList questions;
    bool replace = false;
    QStringList notices;

    void SetUp() override
    {
        InitVaporiaAssets();
        ASSERT_TRUE(dir.isValid());
        shared.location = {dir.path(), QString()};
        w = std::make_unique<frmMain>(shared, [] { return 43200.25f; });
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->Timer().Stop();
        w->Export().SetPathChooser([this](QWidget*, Kind kind) {
            kindsAsked.push_back(kind);
            return chosen;
        });
        w->Export().SetReplaceQuestion([this](QWidget*, const QString& path) {
            questions << path;
            return replace;
        });
        w->Export().SetNotice([this](QWidget*, const QString& text) { notices << text; });
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QByteArray Read(const QString& name) const
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void SelectLiquid(int liquid)
    {
        w->cmbLiquid->setCurrentIndex(liquid);
        for (int n = 0; n < 50 && shared.program.State().curLiquid != liquid; ++n) w->Timer1_Timer();
        ASSERT_EQ(shared.program.State().curLiquid, liquid);
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

} // namespace

TEST_F(Export, CsvOfTypedTemperaturesForTwoLiquidsFieldByField)
{
    struct Row { QString liquid, temperature, pressure; };
    std::vector<Row> expected;
    const auto type = [&](const QString& liquid, const QString& text, const QString& as) {
        w->txtOndo->setText(text);
        expected.push_back({liquid, as, w->txtAturyoku->text()});
    };
    type("水", "20", "20");
    type("水", "25", "25");
    type("水", "100", "100");
    w->txtOndo->setText(""); // emptied: no point
    type("水", "20.5", "20"); // halves to even, as plotted
    SelectLiquid(1);
    type("エタノール", "-5", "-5");
    type("エタノール", "78", "78");

    chosen = Path("lesson");
    w->menu_CsvSave_Click();
    EXPECT_TRUE(notices.isEmpty()) << notices.join("\n").toStdString();
    EXPECT_EQ(kindsAsked, std::vector<Kind>{Kind::Csv});
    const QByteArray bytes = Read("lesson.csv");
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n");
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(expected.size()) + 2); // header, rows, ""
    EXPECT_EQ(lines[0], "番号,物質,温度,温度の単位,圧力,圧力の単位,蒸気圧の値");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const QStringList f = lines[static_cast<qsizetype>(i) + 1].split(',');
        ASSERT_EQ(f.size(), 7) << i;
        EXPECT_EQ(f[6], "標準");
        EXPECT_EQ(f[0], QString::number(i + 1));
        EXPECT_EQ(f[1], expected[i].liquid);
        EXPECT_EQ(f[2], expected[i].temperature);
        EXPECT_EQ(f[3], "℃");
        EXPECT_EQ(f[4], expected[i].pressure);
        EXPECT_EQ(f[5], "mmHg");
        EXPECT_FALSE(f[4].isEmpty());
    }
    EXPECT_FALSE(bytes.contains('\n' + QByteArray("\n")));

    // Returning from a dialog redraws the panel: the table starts again with the next point.
    w->Form_Activate();
    w->txtOndo->setText("30");
    chosen = Path("again.csv");
    w->menu_CsvSave_Click();
    const QStringList again = QString::fromUtf8(Read("again.csv").mid(3)).split("\r\n");
    ASSERT_EQ(again.size(), 3);
    EXPECT_TRUE(again[1].startsWith("1,エタノール,30,℃,"));
}

TEST_F(Export, CopiedAndSavedPicturesAreTheReportOfThePanel)
{
    w->txtOndo->setText("100");
    w->txtOndo->setText("50");
    const QImage report = w->GraphReportImage();
    ASSERT_EQ(report.size(), QSize(graph::kReportWidth, graph::kReportHeight));
    // The panel's own pixels are untouched by it.
    EXPECT_EQ(w->Graph().Area().Image().size(), QSize(315, 334));

    w->menu_GrphCopy->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(report.format()), report);

    chosen = Path("curve");
    w->menu_GrphSave->trigger();
    EXPECT_TRUE(notices.isEmpty());
    QImage saved;
    ASSERT_TRUE(saved.load(Path("curve.png"), "PNG"));
    EXPECT_EQ(saved.convertToFormat(report.format()), report);
    // The file carries its resolution, 288 dpi, so it pastes at the panel's size.
    EXPECT_EQ(saved.dotsPerMeterX(), graph::kReportDotsPerMetre);
    EXPECT_EQ(saved.dotsPerMeterY(), graph::kReportDotsPerMetre);
    EXPECT_TRUE(Read("curve.png").contains("pHYs"));
    // The program's picture, the one the browser prints its texts on: every marker pixel,
    // on the panel and in the legend, is the file's too.
    const render::Report core =
        shared.program.Report(graph::ReportInkMeasure(), graph::ReportLegendWidths(w->Graph().Points()));
    int markers = 0, differ = 0;
    for (int y = 0; y < graph::kReportHeight; ++y)
        for (int x = 0; x < graph::kReportWidth; ++x) {
            const render::Pixel c = core.pixels[static_cast<std::size_t>(y * graph::kReportWidth + x)];
            if (c == render::kGraphBackground || c == render::kGridColor) continue;
            ++markers;
            if (saved.pixel(x, y) != qRgb(render::RedOf(c), render::GreenOf(c), render::BlueOf(c)) && ++differ <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GE(markers, 2 * 24 * 24); // the legend's two, at least

    chosen.clear(); // cancelled: nothing written, nothing said
    w->menu_GrphSave->trigger();
    EXPECT_EQ(Files(), QStringList{"curve.png"});
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(Export, AddedExtensionAsksBeforeReplacingAFile)
{
    w->txtOndo->setText("25");
    Write("data.csv", "old");
    chosen = Path("data");
    replace = false;
    w->menu_CsvSave_Click();
    EXPECT_EQ(questions, QStringList{Path("data.csv")});
    EXPECT_EQ(Read("data.csv"), "old");
    replace = true;
    w->menu_CsvSave_Click();
    EXPECT_TRUE(Read("data.csv").startsWith("\xEF\xBB\xBF"));
    // A name with an extension was asked about by the dialog itself; other extensions stay.
    questions.clear();
    chosen = Path("data.csv");
    w->menu_CsvSave_Click();
    chosen = Path("data.txt");
    w->menu_CsvSave_Click();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_TRUE(Read("data.txt").startsWith("\xEF\xBB\xBF"));

    const struct { const char* in; Kind kind; const char* out; } names[] = {
        {"/a/curve", Kind::Png, "/a/curve.png"},
        {"/a/curve.PNG", Kind::Png, "/a/curve.PNG"},
        {"/a.b/curve", Kind::Csv, "/a.b/curve.csv"},
        {"/a/.csv", Kind::Csv, "/a/.csv"},
        {"", Kind::Csv, ""},
    };
    for (const auto& n : names)
        EXPECT_EQ(graph::GraphExport::WithExtension(n.in, n.kind), n.out) << n.in;
}

TEST_F(Export, FailedSaveSaysSoAndLeavesNoFile)
{
    w->txtOndo->setText("25");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.csv"));
    const QString cases[] = {Path("missing/lesson.csv"), Path("taken.csv")};
    for (const QString& path : cases) {
        notices.clear();
        chosen = path;
        w->menu_CsvSave_Click();
        ASSERT_EQ(notices.size(), 1) << path.toStdString();
        EXPECT_TRUE(notices[0].contains("保存できませんでした")) << notices[0].toStdString();
        EXPECT_TRUE(notices[0].contains(QDir::toNativeSeparators(path)));
    }
    EXPECT_TRUE(Files().isEmpty()) << Files().join(" ").toStdString();
    EXPECT_FALSE(QFile::exists(Path("missing")));
}

TEST_F(Export, PointsTypedThroughStayOnThePanelButOutOfTheExports)
{
    // Keystroke by keystroke, as a teacher types: 2 → 20, then 1 → 10 → 100; the spinner's
    // 101 and a scenario-free 1 typed afresh after emptying the box are meant.
    const auto typeKeys = [&](const QString& text) {
        w->txtOndo->setFocus();
        w->txtOndo->selectAll();
        QTest::keyClick(w->txtOndo, Qt::Key_Backspace);
        QTest::keyClicks(w->txtOndo, text);
    };
    typeKeys("20");
    typeKeys("100");
    w->UpDownOndo_Click(+1);
    typeKeys("5");
    const mdlGrph::PlotRecord& points = w->Graph().Points();
    ASSERT_EQ(points.Size(), 7u); // every point is on the panel
    const auto csvTemperatures = [&] {
        chosen = Path("points.csv");
        w->menu_CsvSave_Click();
        QStringList temperatures;
        const QStringList lines = QString::fromUtf8(Read("points.csv").mid(3)).split("\r\n");
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) temperatures << lines[i].split(',')[0] + ":" + lines[i].split(',')[2];
        return temperatures;
    };
    EXPECT_EQ(csvTemperatures(), (QStringList{"2:20", "5:100", "6:101", "7:5"}));
    // The picture: the typed-through points' places stay white.
    const QImage picture = w->GraphReportImage();
    const auto at = [&](std::size_t i) {
        const mdlGrph::PlottedPoint& p = points.At(i);
        return picture.pixel(graph::kReportLeft + p.px * graph::kReportScale + 4,
                             graph::kReportTop + p.py * graph::kReportScale + 4) & 0xFFFFFF;
    };
    EXPECT_EQ(at(0), 0xFFFFFFu);                  // 2 ℃
    EXPECT_NE(at(1), 0xFFFFFFu);                  // 20 ℃
    EXPECT_EQ(at(6), qRgb(255, 0, 0) & 0xFFFFFFu); // 5 ℃, the newest
    // The choice to hold every point, from the menu; it holds across an erase.
    ASSERT_TRUE(w->menu_TypedThrough->isCheckable());
    EXPECT_FALSE(w->menu_TypedThrough->isChecked());
    w->menu_TypedThrough->trigger();
    EXPECT_EQ(csvTemperatures(), (QStringList{"1:2", "2:20", "3:1", "4:10", "5:100", "6:101", "7:5"}));
    w->picGrphCls_Click();
    EXPECT_TRUE(points.IncludesTypedThrough());
    w->menu_TypedThrough->trigger();
}

TEST_F(Export, GraphContextMenuByRightClickAndMenuKey)
{
    const QList<QAction*> items = w->grphMenu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "グラフを画像としてコピー(&C)");
    EXPECT_EQ(items[1]->text(), "グラフを画像で保存(&G)...");
    EXPECT_EQ(items[2]->text(), "測定点を CSV で保存(&D)...");
    EXPECT_EQ(items[3]->text(), "入力途中の点も書き出す(&A)");

    // A right click, as the window system delivers it (the end-to-end test clicks for real).
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(100, 50), w->picGrph->mapToGlobal(QPoint(100, 50)));
    QApplication::sendEvent(w->picGrph, &click);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->grphMenu->isVisible(); }));
    EXPECT_EQ(w->grphMenu->pos(), w->picGrph->mapToGlobal(QPoint(100, 50)));
    w->grphMenu->hide();

    // The graph follows the buttons above it when tabbing; there the menu key opens the menu.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->picGrphCls->setFocus();
    QTest::keyClick(w->windowHandle(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w->picGrph);
    QContextMenuEvent key(QContextMenuEvent::Keyboard, w->picGrph->rect().center());
    QApplication::sendEvent(w->picGrph, &key);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->grphMenu->isVisible(); }));
    w->grphMenu->hide();
}
