#include <gtest/gtest.h>

#include <ctime>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <QLabel>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QDir>
#include <QMenu>

#include "assets/assets.h"
#include "lessons/LessonBook.h"
#include "desktop/graph/GraphReport.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/KeyPreview.h"
#include "desktop/platform/PictureButton.h"
#include "desktop/platform/TickTimer.h"
#include "desktop/settings/UserPrefs.h"

namespace {

QRgb Pixel(const platform::DrawArea& a, int x, int y) { return a.Image().pixel(x, y) & 0xFFFFFF; }
QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
// A picture button shows the top-left 81 × 47 pixels of the image it was given.
bool Shows(const platform::PictureButton* b, const QImage& image)
{
    return b->Picture() == image.copy(0, 0, platform::PictureButton::kWidth, platform::PictureButton::kHeight);
}
constexpr QRgb kRed = 0xFF0000, kWhite = 0xFFFFFF, kGrid = 0xC0C0C0, kWaterBlue = 0x0000C0;

// One main window on a private CONFIG.INI, shown and active, with its own timer stopped so
// the tests drive every tick.
struct MainWindow : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<SharedRecords> shared = std::make_unique<SharedRecords>();
    std::unique_ptr<frmMain> w;
    QStringList notices;

    void SetUp() override { InitVaporiaAssets(); }

    void Open(const char* ini = nullptr)
    {
        ASSERT_TRUE(dir.isValid());
        if (ini) {
            QFile f(dir.filePath("CONFIG.INI"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(ini);
        }
        shared->location = {dir.path(), QString()};
        w = std::make_unique<frmMain>(*shared, [] { return 43200.25f; });
        w->showNotice = [this](QWidget*, const QString&, const QString& text) { notices << text; };
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->Timer().Stop();
        w->txtOndo->setFocus();
    }
    AppState& St() { return shared->program.EditState(); }
    void Type(const QString& text) { w->txtOndo->setText(text); }
    QString Readout() const { return w->txtAturyoku->text(); }
    // A key pressed and released; the window takes the release as real once no repeated
    // press has followed it.
    void Key(Qt::Key key)
    {
        QTest::keyClick(w->windowHandle(), key);
        WaitForRelease();
    }
    // Until the window has acted on the release, however late a busy machine runs its timer.
    void WaitForRelease()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !w->KeyReleasePending(); }, 5000));
    }
    // Ticks until a frame is drawn; returns how many ticks that took.
    int TicksToFrame()
    {
        for (int n = 1; n <= 20; ++n) {
            const bool frame = St().frameWait == 0;
            w->Timer1_Timer();
            if (frame) return n;
        }
        return -1;
    }
    mdlSinario::SinarioStep& AddStep(std::int16_t kind, std::int32_t value = 0, std::int32_t addTemp = 0)
    {
        auto& s = shared->program.EditSinario().steps[static_cast<std::size_t>(++shared->program.EditSinario().stepCount)];
        s = {};
        s.kind = kind; s.value = value; s.addTemp = addTemp;
        return s;
    }
};

} // namespace

TEST_F(MainWindow, StartsWithWaterGraphShownAndPlaybackOff)
{
    Open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("蒸気圧曲線　-　"));
    // Empty boxes, not "0" beside a readout of 0; the molecules at rest in the container.
    EXPECT_EQ(w->txtOndo->text(), "");
    EXPECT_EQ(Readout(), "");
    EXPECT_NE(Pixel(w->FieldImage(), 5, 452), 0x000000);
    EXPECT_EQ(w->cmbLiquid->currentIndex(), 0);
    EXPECT_TRUE(Shows(w->picSinario, w->SinarioImages().off));
    EXPECT_TRUE(Shows(w->picGrphSw, w->GrphSwImages().on));
    EXPECT_EQ(w->lblTmp->text(), "℃");
    EXPECT_EQ(w->lblPress->text(), "mmHg");
    EXPECT_EQ(w->lblMol->text(), "1mol");
    EXPECT_EQ(w->lblVal->text(), "30ﾘｯﾄﾙ");
    EXPECT_EQ(St().fullVaporTemp, 101);
    EXPECT_EQ(St().freezeTemp, 0);
    EXPECT_EQ(w->centralWidget()->size(), QSize(800, 559));
    EXPECT_FALSE(QFile::exists(dir.filePath("CONFIG.INI")));
}

TEST_F(MainWindow, TitleAndSettingsShowAfterActivation)
{
    Open("[DATA]\r\ncontainer=2.5\r\nmol=2\r\ntemperatureUnit=1\r\npressureUnit=2\r\n");
    EXPECT_EQ(w->lblTmp->text(), "Ｋ");
    EXPECT_EQ(w->lblPress->text(), "hPa");
    EXPECT_EQ(w->lblMol->text(), "2mol");
    EXPECT_EQ(w->lblVal->text(), "2.5ﾘｯﾄﾙ");
    mdlSinario::SetTitle(shared->program.EditSinario(), QStringLiteral("沸騰"));
    w->Form_Activate();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("蒸気圧曲線　-　沸騰") + QString(28, ' '));
}

TEST_F(MainWindow, ReadoutForEachPressureUnit)
{
    const struct { const char* ini; const char* at25; const char* at250; } cases[] = {
        {"[DATA]\nmol=1\n", "28.1", "1086.4"},
        {"[DATA]\npressureUnit=1\n", "0.037", "1.430"},
        {"[DATA]\npressureUnit=2\n", "37", "1448"},
    };
    for (const auto& c : cases) {
        shared = std::make_unique<SharedRecords>();
        QFile::remove(dir.filePath("CONFIG.INI"));
        Open(c.ini);
        Type("25");
        EXPECT_EQ(Readout(), c.at25) << c.ini;
        Type("250"); // beyond the table: the gas pressure, never 0
        EXPECT_EQ(Readout(), c.at250) << c.ini;
    }
}

TEST_F(MainWindow, TemperatureTextConversions)
{
    Open("[DATA]\ntemperatureUnit=1\n");
    Type("300");
    const QString at300K = Readout();
    w.reset();
    shared = std::make_unique<SharedRecords>();
    QFile::remove(dir.filePath("CONFIG.INI"));
    Open();
    Type("27");
    EXPECT_EQ(Readout(), at300K);
    Type("20.5");
    const QString at205 = Readout();
    Type("20");
    EXPECT_EQ(Readout(), at205);
    // Beside text that is no temperature no number stands, and the box is marked; the empty
    // box is not marked. A temperature again brings both back.
    const QColor plain = w->txtOndo->palette().color(QPalette::Base);
    const int points = static_cast<int>(w->Graph().Points().Size());
    for (const char* bad : {"", "-", "abc", "99999999999", "-274", "1e3", "50℃"}) {
        Type(bad);
        EXPECT_EQ(Readout(), "") << bad;
        EXPECT_EQ(w->txtOndo->palette().color(QPalette::Base) != plain, *bad != '\0') << bad;
        EXPECT_EQ(w->txtOndo->accessibleDescription().isEmpty(), *bad == '\0') << bad;
    }
    EXPECT_EQ(static_cast<int>(w->Graph().Points().Size()), points);
    Type("20.5");
    EXPECT_EQ(Readout(), at205);
    EXPECT_EQ(w->txtOndo->palette().color(QPalette::Base), plain);
    Type("ー５");
    EXPECT_NE(Readout(), "");
}

TEST_F(MainWindow, PointsAreRedThenTheLiquidsColour)
{
    Open();
    Type("100");
    EXPECT_EQ(Pixel(w->Graph().Area(), 240, 16), kRed);
    EXPECT_EQ(Pixel(w->Graph().Area(), 242, 18), kRed);
    Type("50");
    EXPECT_EQ(Pixel(w->Graph().Area(), 241, 17), kWaterBlue);
    // Hidden graph: the readout changes, no point is plotted.
    w->picGrphSw_Click();
    EXPECT_TRUE(Shows(w->picGrphSw, w->GrphSwImages().off));
    Type("100");
    EXPECT_EQ(Readout(), "760.0");
    EXPECT_EQ(Pixel(w->Graph().Area(), 241, 17), kWhite);
    w->picGrphSw_Click();
    EXPECT_EQ(Pixel(w->Graph().Area(), 15, 100), kGrid);
}

TEST_F(MainWindow, FreezingResetsTheFieldOnlyAtOrBelowTheFreezingPoint)
{
    Open();
    auto displaced = [&] {
        for (int n = 0; n < 50; ++n) w->Timer1_Timer();
        const auto& c = shared->program.Field().cells[15][1];
        return c.x != c.homeX || c.y != c.homeY;
    };
    const struct { int liquid; const char* warm; const char* freeze; } cases[] = {
        {0, "1", "0"}, {1, "-113", "-114"},
    };
    for (const auto& c : cases) {
        w->cmbLiquid->setCurrentIndex(c.liquid);
        Type("100");
        ASSERT_TRUE(displaced());
        Type(c.warm);
        EXPECT_TRUE(shared->program.Field().cells[15][1].x != shared->program.Field().cells[15][1].homeX
                    || shared->program.Field().cells[15][1].y != shared->program.Field().cells[15][1].homeY);
        Type(c.freeze);
        EXPECT_EQ(shared->program.Field().cells[15][1].x, shared->program.Field().cells[15][1].homeX) << c.liquid;
        EXPECT_EQ(shared->program.Field().cells[15][1].y, shared->program.Field().cells[15][1].homeY) << c.liquid;
    }
}

TEST_F(MainWindow, SpinnerContinuesFromTheShownTemperatureAndStopsAtItsEnds)
{
    Open();
    Type("25");
    w->UpDownOndo_Click(+1);
    EXPECT_EQ(w->txtOndo->text(), "26");
    Type("199");
    w->UpDownOndo_Click(+1);
    w->UpDownOndo_Click(+1);
    EXPECT_EQ(w->txtOndo->text(), "200");
    Type("-99");
    w->UpDownOndo_Click(-1);
    const QString readout = Readout();
    w->UpDownOndo_Click(-1);
    EXPECT_EQ(w->txtOndo->text(), "-100");
    EXPECT_EQ(Readout(), readout);
    Type("abc");
    w->UpDownOndo_Click(+1); // from the spinner's own last value
    EXPECT_EQ(w->txtOndo->text(), "-99");

    // From beyond the range an arrow comes back to the nearer end, never the other way.
    const struct { const char* typed; int direction; const char* want; } beyond[] = {
        {"250", +1, "250"}, {"250", -1, "200"}, {"-150", -1, "-150"}, {"-150", +1, "-100"},
    };
    for (const auto& c : beyond) {
        Type(c.typed);
        w->UpDownOndo_Click(c.direction);
        EXPECT_EQ(w->txtOndo->text(), c.want) << c.typed << " " << c.direction;
    }
}

TEST_F(MainWindow, FullWidthTemperaturesFromAnInputMethod)
{
    Open();
    const struct { const char* typed; const char* same; } cases[] = {
        {"８０", "80"}, {"－１０", "-10"}, {"１２．５", "12"}, {"−５０", "-50"}, {"　２５　", "25"},
    };
    for (const auto& c : cases) {
        Type(c.same);
        const QString want = Readout();
        Type("0");
        Type(QString::fromUtf8(c.typed));
        EXPECT_EQ(Readout(), want) << c.typed;
        EXPECT_EQ(w->txtOndo->text(), QString::fromUtf8(c.typed)); // the box keeps what was typed
    }
    Type("0");
    Type(QStringLiteral("８０ｘ")); // still no number: no readout beside it
    EXPECT_EQ(Readout(), "");
}

TEST_F(MainWindow, TextSetByTheProgramShowsFromItsFirstCharacter)
{
    // Diethyl ether at 200 ℃, 100 mol in 1 L: the longest readout.
    Open("[DATA]\nmol=100\ncontainer=1\n");
    w->cmbLiquid->setCurrentIndex(2);
    St().frameWait = 0;
    w->Timer1_Timer();
    Type("200");
    EXPECT_EQ(Readout(), "202636.7");
    EXPECT_EQ(w->txtAturyoku->cursorPosition(), 0);
    AddStep(mdlSinario::StepTemp, -114);
    w->picSinario_Click();
    Key(Qt::Key_Down);
    EXPECT_EQ(w->txtOndo->text(), "-114");
    EXPECT_EQ(w->txtOndo->cursorPosition(), 0);
    w->UpDownOndo_Click(+1);
    EXPECT_EQ(w->txtOndo->cursorPosition(), 0);
}

TEST_F(MainWindow, FramesComeFasterWhenWarmer)
{
    Open();
    Type("0");
    TicksToFrame();
    EXPECT_EQ(TicksToFrame(), 9);
    Type("100");
    TicksToFrame();
    EXPECT_EQ(TicksToFrame(), 2);
    // An empty box stops the animation and keeps the countdown.
    const auto wait = St().frameWait;
    Type("");
    w->Timer1_Timer();
    EXPECT_EQ(St().frameWait, wait);
}

TEST_F(MainWindow, AFrameDrawsTheMoleculesOnBlack)
{
    Open();
    Type("0");
    St().frameWait = 0;
    w->Timer1_Timer();
    const QImage& a = w->FieldImage();
    EXPECT_EQ(Pixel(a, 0, 447), 0x000000);                  // the black corner of row 1, column 1
    EXPECT_NE(Pixel(a, 5, 452), 0x000000);                  // its cyan middle
    EXPECT_EQ(Pixel(a, 200, 100), 0x000000);                // empty container above the solid
}

TEST_F(MainWindow, NewLiquidIsTakenUpOnTheNextFrame)
{
    Open();
    Type("20");
    const QString water = Readout();
    w->cmbLiquid->setCurrentIndex(1);
    EXPECT_EQ(St().curLiquid, 0);
    St().frameWait = 0;
    w->Timer1_Timer();
    EXPECT_EQ(St().curLiquid, 1);
    EXPECT_EQ(St().fullVaporTemp, 77);
    EXPECT_EQ(St().freezeTemp, -114);
    EXPECT_EQ(Readout(), water);
}

// The colour-vision choice on the panel as the class sees it, in grey: the three liquids'
// markers differ in shape; turned off by F2, the panel is as before, pixel for pixel. The
// choice and the legend are remembered.
TEST_F(MainWindow, MarkersChoiceTellsLiquidsApartInGreyAndTheLegendIsRemembered)
{
    shared->prefsPath = dir.filePath("user/preferences.ini");
    Open();
    const struct { int liquid; const char* t; } points[] = {{0, "80"}, {1, "50"}, {2, "10"}, {0, "100"}};
    for (const auto& p : points) {
        w->cmbLiquid->setCurrentIndex(p.liquid);
        St().frameWait = 0;
        w->Timer1_Timer();
        Type(p.t);
    }
    const QImage squares = w->Graph().Area().Image();
    w->menu_Markers->trigger();
    EXPECT_TRUE(userprefs::LoadUserPrefs(shared->prefsPath).markers);
    EXPECT_EQ(w->redTitles_[0]->palette().color(QPalette::WindowText), QColor(210, 0, 0));
    const QImage grey = w->Graph().Area().Image().convertToFormat(QImage::Format_Grayscale8);
    const auto inked = [&](const mdlGrph::PlottedPoint& p) {
        std::uint32_t bits = 0;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                if (qGray(grey.pixel(p.px - 1 + x, p.py - 1 + y)) < 150) bits |= 1u << (y * 5 + x);
        return bits;
    };
    const auto& record = w->Graph().Points();
    std::vector<std::uint32_t> shapes;
    for (std::size_t i = 0; i + 1 < record.Size(); ++i) shapes.push_back(inked(record.At(i)));
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_NE(shapes[0], shapes[1]);
    EXPECT_NE(shapes[1], shapes[2]);
    EXPECT_NE(shapes[0], shapes[2]);

    EXPECT_FALSE(w->grphLegend->isVisibleTo(w.get()));
    w->menu_Legend->trigger();
    EXPECT_TRUE(w->grphLegend->isVisibleTo(w.get()));
    EXPECT_EQ(w->grphLegend->accessibleDescription(), QStringLiteral("最新の点、水、エタノール、ジエチルエーテル"));
    EXPECT_TRUE(userprefs::LoadUserPrefs(shared->prefsPath).legend);

    Key(Qt::Key_F2);
    EXPECT_FALSE(w->menu_Markers->isChecked());
    EXPECT_EQ(w->Graph().Area().Image(), squares);
    EXPECT_FALSE(userprefs::LoadUserPrefs(shared->prefsPath).markers);
}

TEST_F(MainWindow, DataBookChoiceTakesEffectAtTheNextTemperatureAndIsRemembered)
{
    shared->prefsPath = dir.filePath("user/preferences.ini");
    Open();
    ASSERT_FALSE(w->menu_DataBook->isChecked());
    EXPECT_EQ(w->menu_DataBook->text(), QStringLiteral("文献値で計算する(&R)"));
    w->cmbLiquid->setCurrentIndex(1);
    St().frameWait = 0;
    w->Timer1_Timer();
    Type("20");
    ASSERT_EQ(Readout(), "48.3");
    ASSERT_EQ(St().fullVaporTemp, 77);
    const QImage graph = w->Graph().Area().Image();
    EXPECT_FALSE(w->lblDataBook->isVisibleTo(w.get()));

    w->menu_DataBook->trigger();
    EXPECT_TRUE(shared->prefs.dataBook);
    EXPECT_EQ(St().fullVaporTemp, 78); // refreshed at once
    EXPECT_EQ(St().freezeTemp, -114);
    EXPECT_EQ(Readout(), "44.1");      // the readout too: no number from the other values
    EXPECT_EQ(w->Graph().Area().Image(), graph); // the points plotted stay as they were
    // The screen says which values are in use, and so do the exports of what follows.
    EXPECT_TRUE(w->lblDataBook->isVisibleTo(w.get()));
    EXPECT_EQ(w->lblDataBook->text(), "文献値で計算中");
    Type("30");
    const mdlGrph::PlotRecord& points = w->Graph().Points();
    EXPECT_FALSE(points.At(0).dataBook);
    EXPECT_TRUE(points.Newest().dataBook);
    EXPECT_NE(mdlGrph::PointsCsv(points).find(",mmHg,文献値\r\n"), std::string::npos);
    EXPECT_EQ(graph::ReportLayoutFor(points).legend.back().text, "エタノール (文献値)");
    EXPECT_TRUE(userprefs::LoadUserPrefs(shared->prefsPath).dataBook);
    EXPECT_FALSE(QFile::exists(dir.filePath("CONFIG.INI")));
    Type("21");
    Type("20");
    EXPECT_EQ(Readout(), "44.1");

    w->cmbLiquid->setCurrentIndex(0);
    St().frameWait = 0;
    w->Timer1_Timer();
    Type("25");
    EXPECT_EQ(Readout(), "23.8");

    w->menu_DataBook->trigger();
    EXPECT_FALSE(userprefs::LoadUserPrefs(shared->prefsPath).dataBook);
    EXPECT_FALSE(w->lblDataBook->isVisibleTo(w.get()));
    Type("");
    Type("25");
    EXPECT_EQ(Readout(), "28.1");

    // The next start reads the remembered choice.
    w->menu_DataBook->trigger();
    w.reset();
    shared = std::make_unique<SharedRecords>();
    shared->prefsPath = dir.filePath("user/preferences.ini");
    shared->prefs = userprefs::LoadUserPrefs(shared->prefsPath);
    Open();
    EXPECT_TRUE(w->menu_DataBook->isChecked());
    EXPECT_TRUE(w->lblDataBook->isVisibleTo(w.get()));
    Type("25");
    EXPECT_EQ(Readout(), "23.8");
}

// Every choice that cannot be saved is told the same way, and still holds for this run.
TEST_F(MainWindow, PreferenceThatCannotBeSavedIsShownAndStillApplies)
{
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    shared->prefsPath = dir.filePath("blocker/preferences.ini"); // its folder is a file
    Open();
    const auto shownFor = [](const std::function<void()>& act) {
        QString shown;
        QTimer::singleShot(50, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->windowTitle() + u'|' + box->text();
                box->close();
            }
        });
        act();
        return shown;
    };
    const QString dataBook = shownFor([this] { w->menu_DataBook->trigger(); });
    EXPECT_TRUE(dataBook.startsWith(QStringLiteral("蒸気圧曲線|"))) << dataBook.toStdString();
    EXPECT_TRUE(dataBook.contains(QStringLiteral("保存できませんでした")));
    EXPECT_TRUE(shared->prefs.dataBook);
    Type("25");
    EXPECT_EQ(Readout(), "23.8");

    // What the 150 % item does; the item itself is off where the test's screen is too small.
    EXPECT_EQ(shownFor([this] { w->SetViewZoom(150); }), dataBook);
    EXPECT_EQ(w->ViewZoom(), 150);
}

// A lesson's title with control characters shows in the caption on one line, as in the menu.
TEST_F(MainWindow, CaptionShowsTheTitleOnOneLine)
{
    mdlSinario::SetTitle(shared->program.EditSinario(), QStringLiteral("一行目\n二行目\t\x1b"));
    Open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("蒸気圧曲線　-　一行目 二行目  ") + QString(30 - 9, u' '));
}

TEST_F(MainWindow, ScenarioPlaysOneStepPerKeyRelease)
{
    Open();
    AddStep(mdlSinario::StepTemp, 20);
    AddStep(mdlSinario::StepTemp, 23, 1);
    AddStep(mdlSinario::StepGrphCls);
    w->cmbLiquid->setFocus(); // in the temperature box ↓ would step the temperature down
    w->cmbLiquid->setCurrentIndex(2);
    Key(Qt::Key_Down); // playback off: no step
    EXPECT_EQ(w->txtOndo->text(), "");
    w->cmbLiquid->setCurrentIndex(0);
    w->txtOndo->setFocus();

    w->picSinario_Click();
    EXPECT_TRUE(Shows(w->picSinario, w->SinarioImages().on));
    Key(Qt::Key_Down);
    EXPECT_EQ(w->txtOndo->text(), "20");
    Key(Qt::Key_Return);
    EXPECT_EQ(St().rampOn, 1);
    for (const char* want : {"21", "22", "23"}) {
        TicksToFrame();
        EXPECT_EQ(w->txtOndo->text(), want);
    }
    EXPECT_EQ(St().rampOn, 0);
    TicksToFrame();
    EXPECT_EQ(w->txtOndo->text(), "23");

    Key(Qt::Key_Space);
    EXPECT_EQ(Pixel(w->Graph().Area(), 15, 100), kWhite); // blank, without grid
    EXPECT_EQ(St().grphVisible, 1);
    Type("100");
    EXPECT_EQ(Pixel(w->Graph().Area(), 241, 17), kRed);  // plotted on the blank panel

    Key(Qt::Key_Down); // finished: nothing
    EXPECT_EQ(w->txtOndo->text(), "100");

    w->picSinario_Click();
    w->picSinario_Click(); // off and on again: step 1 next
    Key(Qt::Key_Down);
    EXPECT_EQ(w->txtOndo->text(), "20");
}

TEST_F(MainWindow, SpaceOnTheLiquidSelectorRunsTheStepInsteadOfOpeningTheList)
{
    Open();
    AddStep(mdlSinario::StepTemp, 20);
    w->cmbLiquid->setFocus();
    w->picSinario_Click();
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        St().sinarioPos = 1;
        Type("0");
        Key(key);
        EXPECT_EQ(w->txtOndo->text(), "20") << key;
        EXPECT_FALSE(w->cmbLiquid->view()->isVisible()) << key;
    }
    Key(Qt::Key_Down); // moves the selection as usual
    EXPECT_EQ(w->cmbLiquid->currentIndex(), 1);
    w->picSinario_Click(); // playback off: Space opens the list as usual
    Key(Qt::Key_Space);
    EXPECT_TRUE(w->cmbLiquid->view()->isVisible());
    w->cmbLiquid->hidePopup();
}

TEST_F(MainWindow, InitStepShowsItsUnitsAmountsAndReadoutAtOnce)
{
    Open();
    auto& init = AddStep(mdlSinario::StepInit);
    init.mol = 2; init.container = 22.4; init.pressureUnit = 1; init.temperatureUnit = 1;
    init.grphWMin = 223; init.grphWMax = 423; init.grphHMin = 0; init.grphHMax = 1;
    Type("100");
    const int points = static_cast<int>(w->Graph().Points().Size());
    w->picSinario_Click();
    Key(Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([this] { return St().sinarioPos == 2; })); // a busy machine reports late
    // No number beside the wrong unit or amount: 100 ℃ is 373 K now, in atm, 2 mol in 22.4 L.
    EXPECT_EQ(w->txtOndo->text(), "373");
    EXPECT_EQ(w->lblTmp->text(), "Ｋ");
    EXPECT_EQ(w->lblPress->text(), "atm");
    EXPECT_EQ(w->lblMol->text(), "2mol");
    EXPECT_EQ(w->lblVal->text(), "22.4ﾘｯﾄﾙ");
    EXPECT_EQ(Readout(), QString::fromStdString(simulation::ComputeReadout(
                             shared->program.ActiveTable(), 0, shared->program.Settings(), 373).text));
    EXPECT_EQ(static_cast<int>(w->Graph().Points().Size()), points); // nothing plotted
    // The animation follows the new amount too.
    EXPECT_EQ(St().fullVaporTemp, mdlData::GetFullVaporTemp(shared->program.ActiveTable(), 0, shared->program.Settings()));
    Type("373");
    EXPECT_EQ(Readout(), "1.000");
    w->Form_Activate(); // as after any dialog: the file's settings come back, labels with them
    EXPECT_EQ(shared->program.Settings().pressureUnit, 0);
    EXPECT_EQ(w->lblPress->text(), "mmHg");
    EXPECT_EQ(w->txtOndo->text(), "100"); // 373 K in ℃ again
    EXPECT_EQ(Readout(), "760.0");
    EXPECT_EQ(w->lblMol->text(), "1mol");
}

TEST_F(MainWindow, HostileStepsFromAFileDoNotHurt)
{
    Open();
    auto& init = AddStep(mdlSinario::StepInit);
    init.container = 0; init.temperatureUnit = 9; init.pressureUnit = -4;
    init.grphWMin = 5; init.grphWMax = 5; init.grphHMin = 3; init.grphHMax = 3;
    AddStep(mdlSinario::StepBussitu, 77);
    AddStep(mdlSinario::StepGrphOn);
    shared->program.EditSinario().stepCount = 999;
    w->picSinario_Click();
    for (int n = 0; n < 60; ++n) Key(Qt::Key_Down);
    EXPECT_EQ(w->cmbLiquid->currentIndex(), -1);
    EXPECT_EQ(St().curLiquid, -1);
    Type("25");
    Type("2147483647");
    Type("-2147483648");
    for (int n = 0; n < 30; ++n) w->Timer1_Timer();
    QTest::qWait(10);
    // The step's volume and ranges gave way to the defaults, told once.
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith("シナリオの初期設定")) << notices[0].toStdString();
    EXPECT_TRUE(notices[0].contains("容器の体積")) << notices[0].toStdString();
    EXPECT_EQ(w->lblVal->text(), "30ﾘｯﾄﾙ");
}

TEST_F(MainWindow, SettingsFileValuesThatCannotBeShownGiveWayToDefaultsToldOnce)
{
    Open("[DATA]\r\nmol=0\r\ncontainer=-30\r\n");
    QTest::qWait(10);
    EXPECT_EQ(w->lblMol->text(), "1mol");
    EXPECT_EQ(w->lblVal->text(), "30ﾘｯﾄﾙ");
    Type("100");
    EXPECT_EQ(Readout(), "760.0");
    w->Form_Activate(); // every activation reads the file again
    QTest::qWait(10);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains("CONFIG.INI")) << notices[0].toStdString();
    EXPECT_TRUE(notices[0].contains("物質量")) << notices[0].toStdString();
}

TEST_F(MainWindow, EveryDialogFromTheMenuReturnsThroughActivation)
{
    Open();
    QAction* const items[] = {w->menu_Init, w->menu_Sinario, w->menu_ver};
    for (QAction* item : items) {
        Type("");
        Type("100");
        ASSERT_EQ(Pixel(w->Graph().Area(), 241, 17), kRed);
        // The settings file changes while the dialog is open: activation must load it.
        QFile f(dir.filePath("CONFIG.INI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[DATA]\nmol=2\n");
        f.close();
        bool sawDialog = false;
        bool keyReachedMain = false;
        QTimer::singleShot(50, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            sawDialog = dialog != nullptr && dialog != w.get();
            if (!dialog) return;
            // A playback key pressed in the dialog must not run a step on the main window.
            AddStep(mdlSinario::StepTemp, 42);
            St().sinarioRun = 1;
            St().sinarioPos = 1;
            QTest::keyClick(dialog, Qt::Key_Space);
            keyReachedMain = St().sinarioPos != 1;
            St().sinarioRun = 0;
            dialog->close();
        });
        bool dialogHasIcon = false;
        QTimer::singleShot(20, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialogHasIcon = dialog->windowHandle() && !dialog->windowHandle()->icon().isNull();
        });
        item->trigger();
        EXPECT_TRUE(sawDialog) << item->text().toStdString();
        EXPECT_TRUE(dialogHasIcon) << item->text().toStdString(); // the task bar shows the program's
        EXPECT_FALSE(keyReachedMain) << item->text().toStdString();
        EXPECT_EQ(Pixel(w->Graph().Area(), 241, 17), kWhite) << item->text().toStdString();
        EXPECT_EQ(Pixel(w->Graph().Area(), 15, 100), kGrid);
        EXPECT_EQ(w->lblMol->text(), "2mol");
        QFile::remove(dir.filePath("CONFIG.INI"));
        w->Form_Activate();
    }
    // While the graph is off, returning draws the grid but the switch stays off.
    w->picGrphSw_Click();
    QTimer::singleShot(50, [] { if (auto* d = QApplication::activeModalWidget()) d->close(); });
    w->menu_ver->trigger();
    EXPECT_EQ(St().grphVisible, 0);
    EXPECT_TRUE(Shows(w->picGrphSw, w->GrphSwImages().off));
    EXPECT_EQ(Pixel(w->Graph().Area(), 15, 100), kGrid);
    EXPECT_FALSE(w->windowHandle()->icon().isNull());
    w->menu_search->trigger(); // does nothing
    EXPECT_TRUE(w->isVisible());
}

// The lessons beside the program are listed by title, a file added later shows at the next
// opening, and a chosen lesson loads like the editor's load, titles the window and plays.
TEST_F(MainWindow, SampleLessonFromTheMenuLoadsAndPlays)
{
    ASSERT_TRUE(dir.isValid());
    const QString folder = QDir(dir.path()).filePath("lessons");
    ASSERT_TRUE(lessonbook::WriteLessons(folder, nullptr));
    Open("[DATA]\nmol=5\n");
    Type("55");
    const auto titles = [this] {
        emit w->menu_Lessons->aboutToShow();
        QStringList t;
        for (QAction* a : w->menu_Lessons->actions()) t << a->text();
        return t;
    };
    QStringList want;
    for (const lessonbook::Lesson& l : lessonbook::Lessons()) want << l.title;
    EXPECT_EQ(titles(), want);
    EXPECT_EQ(w->menu_Lessons->title(), "サンプルシナリオ(&L)");

    mdlSinario::SinarioData own;
    mdlSinario::SetTitle(own, "学校の実験");
    ASSERT_TRUE(mdlSinario::WriteSinarioFile(own, QDir(folder).filePath("school.so1")));
    EXPECT_EQ(titles(), want + QStringList{"学校の実験"});

    const lessonbook::Lesson lesson = lessonbook::Lessons().front();
    mdlSinario::SinarioData fromFile; // the editor's load of the same file
    ASSERT_TRUE(mdlSinario::ReadSinarioFile(fromFile, QDir(folder).filePath(lesson.fileName)));
    w->menu_Lessons->actions().front()->trigger();
    EXPECT_EQ(shared->program.EditSinario(), fromFile);
    EXPECT_EQ(w->windowTitle(), "蒸気圧曲線　-　" + mdlSinario::TitleText(fromFile));
    EXPECT_TRUE(w->windowTitle().contains(lesson.title));
    EXPECT_EQ(w->lblMol->text(), "5mol"); // settings come from the file, as after the editor

    w->picSinario_Click();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Return, Qt::Key_Space, Qt::Key_Down}) Key(key);
    EXPECT_EQ(w->txtOndo->text(), "0");
    EXPECT_EQ(shared->program.Settings().mol, 1);
    Key(Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([this] { return St().sinarioPos == 6; })); // a busy machine reports late
    EXPECT_EQ(w->txtOndo->text(), "10");
    EXPECT_EQ(Readout(), "11.8"); // the table's water at 10 ℃, in mmHg again

    // Loaded again while playback is on: the lesson starts from its first step. The
    // release of the Enter that chose it from the menu plays nothing.
    ASSERT_GT(St().sinarioPos, 1);
    w->menu_Lessons->actions().front()->trigger();
    EXPECT_EQ(St().sinarioRun, 1);
    EXPECT_EQ(St().sinarioPos, 1);
    QTest::keyRelease(w->windowHandle(), Qt::Key_Return);
    WaitForRelease();
    EXPECT_EQ(St().sinarioPos, 1);
    Key(Qt::Key_Down); // step 1: its initial settings
    EXPECT_TRUE(QTest::qWaitFor([this] { return St().sinarioPos == 2; })); // a busy machine reports late
    EXPECT_EQ(shared->program.Settings().mol, 1);
    EXPECT_EQ(w->lblMol->text(), "1mol");
}

// A shared lessons folder of 50,000 files that are not scenarios: the window opens with a
// bounded listing, and each later opening of the menu reads no file while nothing changed.
TEST_F(MainWindow, LessonMenuOnAFolderOfManyOtherFilesReadsNoFileWhenOpenedAgain)
{
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("lessons"));
    const QByteArray folder = QFile::encodeName(dir.filePath("lessons"));
    const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (int i = 0; i < 50000; ++i) {
        const int fd = ::open((folder + "/" + QByteArray::number(i) + ".so1").constData(),
                              O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "no", 2), 2);
        ::futimens(fd, anHourAgo);
        ::close(fd);
    }
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.constData(), anHourAgo, 0), 0);
    Open();
    EXPECT_GT(w->lessonListing_.filesOpened, 0);
    EXPECT_LE(w->lessonListing_.filesOpened, lessonshelf::ListingBounds{}.maxOpened);
    for (int opening = 0; opening < 3; ++opening) {
        emit w->menu_Lessons->aboutToShow();
        EXPECT_EQ(w->lessonListing_.filesOpened, 0);
        ASSERT_EQ(w->menu_Lessons->actions().size(), 1);
        EXPECT_FALSE(w->menu_Lessons->actions().front()->isEnabled()); // （見つかりません）
    }
}

TEST_F(MainWindow, NoLessonsFolderLeavesOneDisabledItem)
{
    Open();
    emit w->menu_Lessons->aboutToShow();
    ASSERT_EQ(w->menu_Lessons->actions().size(), 1);
    EXPECT_FALSE(w->menu_Lessons->actions().front()->isEnabled());
}

namespace {

// What the container and the temperature box showed, each time either changed.
struct Shown {
    std::int64_t tick;
    QString temperature;
    std::size_t picture;
    friend bool operator==(const Shown&, const Shown&) = default;
};
void PrintTo(const Shown& s, std::ostream* os)
{
    *os << "tick " << s.tick << " '" << s.temperature.toStdString() << "' " << s.picture;
}

// A main window that is activated but never shown: no real tick reaches it.
struct Quiet {
    QTemporaryDir dir;
    SharedRecords shared;
    std::unique_ptr<frmMain> w;
    std::vector<Shown> seen;
    Quiet()
    {
        shared.location = {dir.path(), QString()};
        w = std::make_unique<frmMain>(shared, [] { return 43200.25f; });
        w->Form_Activate();
    }
    void Note(std::int64_t tick)
    {
        const QImage& image = w->FieldImage();
        const Shown now{tick, w->txtOndo->text(),
                        qHashBits(image.constBits(), static_cast<std::size_t>(image.sizeInBytes()))};
        if (seen.empty() || seen.back().temperature != now.temperature || seen.back().picture != now.picture)
            seen.push_back(now);
    }
};

} // namespace

// Waking only for frames, skipping frames that change nothing and resting while nothing can
// move shows the same frames, on the same ticks, with the same ramp values, as a timer that
// wakes on every 16 ms tick; and the timer does not wake while at rest or while the box
// holds no number.
TEST(FramePace, WakingOnlyForWorkKeepsEveryFrameOnItsTick)
{
    InitVaporiaAssets();
    Quiet everyTick, onlyForWork;
    std::int64_t now = 5000;
    onlyForWork.w->SetMonotonicClock([&] { return now; });
    onlyForWork.w->StartTimer();
    const std::int64_t origin = now;
    int wakes = 0;

    // Events between ticks: after tick k, before tick k + 1.
    const struct { std::int64_t tick; std::function<void(Quiet&)> act; } events[] = {
        {0, [](Quiet& q) { q.w->txtOndo->setText("0"); }},        // frozen: at rest
        {40, [](Quiet& q) { q.w->txtOndo->setText("100"); }},     // all vapour, every 2nd tick
        {81, [](Quiet& q) { q.w->cmbLiquid->setCurrentIndex(1); }},
        {120, [](Quiet& q) { q.w->txtOndo->setText(""); }},       // the countdown holds
        {137, [](Quiet& q) { q.w->txtOndo->setText("-50"); }},    // all liquid, slow pace
        {200, [](Quiet& q) {                                      // a ramp to -45
             auto& step = q.shared.program.EditSinario().steps[1];
             step = {};
             step.kind = mdlSinario::StepTemp;
             step.value = -45;
             step.addTemp = 1;
             q.shared.program.EditSinario().stepCount = 1;
             ASSERT_FALSE(q.shared.program.PlaybackOn());
             q.w->picSinario_Click(); // on, from step 1
             q.w->RunSinarioStep();
         }},
        {263, [](Quiet& q) { q.w->cmbLiquid->setCurrentIndex(0); }}, // water at -45: frozen
        {300, [](Quiet& q) { q.w->Form_Activate(); }},               // settings reloaded
        {333, [](Quiet& q) { q.w->txtOndo->setText("50"); }},
    };
    constexpr std::int64_t kEnd = 420;
    std::int64_t tick = 0;
    std::vector<std::pair<std::int64_t, int>> wakesBetween; // (event tick, wakes since the last)
    for (std::size_t e = 0; e <= std::size(events); ++e) {
        const std::int64_t until = e < std::size(events) ? events[e].tick : kEnd;
        for (; tick < until;) {
            ++tick;
            everyTick.w->Timer1_Timer();
            everyTick.Note(tick);
        }
        const int before = wakes;
        const framepace::Schedule& pace = onlyForWork.w->Pace();
        while (pace.Armed() && pace.DueTime() <= origin + until * framepace::kTickMs) {
            now = pace.DueTime();
            onlyForWork.w->Timer1_Wake();
            onlyForWork.Note((now - origin) / framepace::kTickMs);
            ++wakes;
        }
        wakesBetween.push_back({until, wakes - before});
        if (e == std::size(events)) break;
        now = origin + until * framepace::kTickMs + 7;
        for (Quiet* q : {&everyTick, &onlyForWork}) {
            events[e].act(*q);
            q->Note(until);
        }
    }
    EXPECT_EQ(onlyForWork.seen, everyTick.seen);
    // Ramp values, one per frame of the slow pace.
    std::vector<QString> ramp;
    for (const Shown& s : everyTick.seen)
        if (s.tick > 200 && s.tick < 263 && (ramp.empty() || ramp.back() != s.temperature))
            ramp.push_back(s.temperature);
    EXPECT_EQ(ramp, (std::vector<QString>{"-49", "-48", "-47", "-46", "-45"}));
    // Frozen from tick 0 to 40: one frame, then no wake-up; nothing while the box is empty.
    EXPECT_EQ(wakesBetween[1], (std::pair<std::int64_t, int>{40, 1}));
    EXPECT_EQ(wakesBetween[4], (std::pair<std::int64_t, int>{137, 0}));
    // Hot: the first frame on the frozen pace's tick 46 (1 + 5 × 9), then one every 2nd tick.
    EXPECT_EQ(wakesBetween[2].second, 18);
    EXPECT_LT(wakes, kEnd / 3);
}

// At a pixel ratio of 1 the window shows the background it always showed, pixel for pixel,
// wherever no control lies on it, and the graph keeps no second, text-free image.
TEST_F(MainWindow, AtRatioOneBackgroundIsUnchangedAndGraphKeepsOneImage)
{
    Open();
    EXPECT_FALSE(w->Graph().Area().KeepsTextApart());
    EXPECT_TRUE(w->Graph().Area().PrintedTexts().empty());
    QImage shown = w->ClientArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.devicePixelRatio(), 1.0);
    const QImage before = QImage(QStringLiteral(VAPORIA_TEST_DATA "/background_before.png"))
                              .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(800, 559));
    QRegion controls;
    for (const QWidget* child : w->ClientArea()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible()) controls += child->geometry();
    int compared = 0, differ = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            if (controls.contains(QPoint(x, y))) continue;
            ++compared;
            if (shown.pixel(x, y) != before.pixel(x, y) && ++differ <= 5) ADD_FAILURE() << x << "," << y;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(compared, 130000); // the ground, frames and bevels around the controls
}

// During playback the class sees which step has run and when the scenario has ended; 最初に
// 戻す (F9, with the temperature box focused) goes back to the start without reloading anything.
TEST_F(MainWindow, PlaybackSaysWhereItStandsAndResetGoesBackToTheStart)
{
    Open();
    AddStep(mdlSinario::StepTemp, 20);
    AddStep(mdlSinario::StepTemp, 30);
    EXPECT_EQ(w->lblStep->text(), "");
    w->picSinario_Click();
    EXPECT_EQ(w->lblStep->text(), "ステップ 0 / 2");
    Key(Qt::Key_Down);
    EXPECT_EQ(w->lblStep->text(), "ステップ 1 / 2");
    Key(Qt::Key_Down);
    EXPECT_EQ(w->lblStep->text(), "シナリオの終わり（2 / 2）");
    EXPECT_EQ(w->txtOndo->text(), "30");
    ASSERT_EQ(w->Graph().Points().Size(), 2u);

    w->txtOndo->setFocus();
    QTest::keyClick(w->windowHandle(), Qt::Key_F9);
    ASSERT_TRUE(QTest::qWaitFor([this] { return w->txtOndo->text().isEmpty(); }, 5000));
    EXPECT_EQ(Readout(), "");
    EXPECT_EQ(w->Graph().Points().Size(), 0u);
    EXPECT_TRUE(w->Graph().GridSettings().has_value()) << "the grid stays";
    EXPECT_EQ(w->lblStep->text(), "ステップ 0 / 2");
    Key(Qt::Key_Down);
    EXPECT_EQ(w->txtOndo->text(), "20");
    w->picSinario_Click();
    EXPECT_EQ(w->lblStep->text(), "");
}

// The molecules stop and start by a button as well as F8, and the button says what a press
// will do.
TEST_F(MainWindow, MotionButtonStopsAndStartsTheMolecules)
{
    Open();
    ASSERT_TRUE(shared->program.MotionOn());
    EXPECT_EQ(w->cmdMotion->accessibleName(), QStringLiteral("分子の動きを止める"));
    w->cmdMotion->setFocus();
    QTest::keyClick(w->cmdMotion, Qt::Key_Space);
    EXPECT_FALSE(shared->program.MotionOn());
    EXPECT_EQ(w->cmdMotion->accessibleName(), QStringLiteral("分子を動かす"));
    EXPECT_TRUE(w->menu_Motion->isChecked());
    Key(Qt::Key_F8);
    EXPECT_TRUE(shared->program.MotionOn());
    EXPECT_EQ(w->cmdMotion->accessibleName(), QStringLiteral("分子の動きを止める"));
}
