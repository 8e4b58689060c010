// Every control a keyboard reaches has a name a screen reader can speak, and Tab walks the
// controls in the order each window defines; the main window used by the keyboard alone,
// and what a screen reader is told as it changes.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "desktop/about/frmAbout.h"
#include "assets/assets.h"
#include "desktop/main/frmKeys.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/PictureButton.h"
#include "desktop/platform/TickTimer.h"
#include "desktop/scenario/frmSinario.h"
#include "desktop/settings/frmSystem.h"

namespace {

// Tab stops: widgets that take the focus by Tab themselves, not hidden on purpose (like
// the tab bar's scroll buttons). Children of a page not on show still count.
bool TakesTab(const QWidget* w)
{
    const bool hiddenOnPurpose = w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->isHidden();
    return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->isEnabled() && !hiddenOnPurpose;
}

// The name given to a control, or the text it shows of its own (a button's caption).
QString OwnName(QWidget* w)
{
    if (!w->accessibleName().trimmed().isEmpty()) return w->accessibleName();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().remove(u'&').trimmed();
    return QString();
}

// What assistive technology reads as the control's name.
QString SpokenName(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name).trimmed() : QString();
}

QString Describe(const QWidget* w)
{
    return QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()), w->objectName());
}

// Every widget of the window that Tab can reach, on any tab page, that has no name.
QStringList Unnamed(QWidget* window)
{
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window || !TakesTab(w)) continue;
        if (OwnName(w).isEmpty() || SpokenName(w).isEmpty()) unnamed << Describe(w);
    }
    return unnamed;
}

// The controls Tab visits, from the one that has the focus when the window opens.
std::vector<QWidget*> TabChain(QWidget* window)
{
    std::vector<QWidget*> chain;
    QWidget* first = window->focusWidget();
    if (!first) return chain;
    QWidget* w = first;
    do {
        if (w->window() == window && TakesTab(w)) chain.push_back(w);
        w = w->nextInFocusChain();
    } while (w && w != first && chain.size() < 200);
    return chain;
}

// The focus widget a control hands its focus to, as the chain holds it.
QWidget* Focusable(QWidget* w)
{
    while (w->focusProxy()) w = w->focusProxy();
    return w;
}

// Shown as the user sees it, so the controls have laid themselves out.
void ShowWindow(QWidget* window)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
}

void ExpectTabChain(QWidget* window, const std::vector<QWidget*>& expected)
{
    const std::vector<QWidget*> chain = TabChain(window);
    ASSERT_EQ(chain.size(), expected.size()) << window->metaObject()->className();
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(chain[i], Focusable(expected[i]))
            << "tab stop " << i << ": " << Describe(chain[i]).toStdString() << " instead of "
            << Describe(expected[i]).toStdString();
}

} // namespace

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

TEST(Accessibility, MainWindow)
{
    InitVaporiaAssets();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SharedRecords shared;
    shared.location = {dir.path(), QString()};
    frmMain w(shared, [] { return 43200.25f; });
    ShowWindow(&w);
    w.Timer().Stop();
    EXPECT_EQ(Unnamed(&w), QStringList());
    EXPECT_EQ(SpokenName(w.txtOndo), QStringLiteral("温度"));
    ExpectTabChain(&w, {w.txtOndo, w.cmbLiquid, w.txtAturyoku, w.picSinario, w.picGrphSw,
                        w.picGrphCls, w.picGrph, w.cmdMotion});

    // The picture buttons are push buttons; playback and the graph's switch are checked
    // while they are on, as the program has them at the start.
    const struct { platform::PictureButton* button; bool checkable, checked; } buttons[] = {
        {w.picSinario, true, false}, {w.picGrphSw, true, true}, {w.picGrphCls, false, false}};
    for (const auto& b : buttons) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b.button);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->role(), QAccessible::Button) << b.button->toolTip().toStdString();
        EXPECT_EQ(SpokenName(b.button), b.button->toolTip());
        EXPECT_EQ(bool(a->state().checkable), b.checkable) << b.button->toolTip().toStdString();
        EXPECT_EQ(bool(a->state().checked), b.checked) << b.button->toolTip().toStdString();
    }
    // Each label with what it shows; the drop-down by what it is for, its item as its value.
    EXPECT_EQ(SpokenName(w.lblMol), QStringLiteral("物質量 1mol"));
    EXPECT_EQ(SpokenName(w.lblVal), QStringLiteral("容器の体積 30ﾘｯﾄﾙ"));
    EXPECT_EQ(SpokenName(w.lblTmp), QStringLiteral("温度の単位 ℃"));
    EXPECT_EQ(SpokenName(w.lblPress), QStringLiteral("圧力の単位 mmHg"));
    EXPECT_EQ(SpokenName(w.cmbLiquid), QStringLiteral("物質"));
    w.cmbLiquid->setCurrentIndex(1);
    EXPECT_EQ(SpokenName(w.cmbLiquid), QStringLiteral("物質"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.cmbLiquid)->text(QAccessible::Value), QStringLiteral("エタノール"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.FieldView())->role(), QAccessible::Graphic);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.picGrph)->role(), QAccessible::Chart);
}

TEST(Accessibility, SettingsDialog)
{
    SystemSettings settings{};
    const mdlSystem::SettingsLocation nowhere;
    frmSystem d(settings, nowhere);
    ShowWindow(&d);
    EXPECT_EQ(Unnamed(&d), QStringList());
    EXPECT_EQ(SpokenName(d.txtMol), QStringLiteral("物質量　（mol）"));
    for (QComboBox* c : {d.cmbTempUnit, d.cmbPressUnit}) EXPECT_EQ(SpokenName(c), c->accessibleName());
    ExpectTabChain(&d, {d.txtMol, d.txtContainer, d.cmbTempUnit, d.cmbPressUnit, d.txtGrphWMin,
                               d.txtGrphWMax, d.txtPressWMin, d.txtPressWMax, d.cmdDefault, d.cmdClose});
}

TEST(Accessibility, ScenarioEditor)
{
    mdlSinario::SinarioData sinario{};
    SystemSettings settings{};
    frmSinario d(sinario, settings);
    ShowWindow(&d);
    EXPECT_EQ(Unnamed(&d), QStringList());
    EXPECT_EQ(SpokenName(d.txtMol), QStringLiteral("物質量　（mol）"));
    EXPECT_EQ(SpokenName(d.cmbBussitu), QStringLiteral("変更後の物質"));
    ExpectTabChain(&d, {d.txtTTl, d.txtMol, d.txtContainer, d.cmbTempUnit, d.cmbPressUnit,
                               d.txtGrphWMin, d.txtGrphWMax, d.txtPressWMin, d.txtPressWMax, d.txtTemp,
                               d.chkAddTemp, d.OptGrphOn, d.optGrphOff, d.cmbBussitu, d.SSTabMenu,
                               d.listSinario, d.cmdLoad, d.cmdSave, d.cmdClose, d.cmdAdd1, d.cmdAdd2,
                               d.cmdAdd3, d.cmdAdd4, d.cmdAdd5, d.cmdDel});
}

TEST(Accessibility, AboutBox)
{
    about::frmAbout d;
    ShowWindow(&d);
    EXPECT_EQ(Unnamed(&d), QStringList());
    const auto buttons = d.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QPushButton* ok = d.findChild<QPushButton*>(QStringLiteral("cmdOK"));
    QPushButton* sysInfo = d.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    ASSERT_TRUE(ok && sysInfo);
    ExpectTabChain(&d, {ok, sysInfo});
}

TEST(Accessibility, KeyList)
{
    frmKeys d({{"F1", "キー操作の一覧を開く"}, {"F8", "分子の動きを止める / 動かす"}}, nullptr);
    ShowWindow(&d);
    EXPECT_EQ(Unnamed(&d), QStringList());
    ExpectTabChain(&d, {d.tblKeys, d.cmdGuide, d.cmdClose});
}

namespace {

// The main window as a keyboard and a screen reader use it: shown, active, its timer
// stopped so that the tests run each frame.
struct KeyboardUser : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<SharedRecords> shared = std::make_unique<SharedRecords>();
    std::unique_ptr<frmMain> w;

    void SetUp() override
    {
        InitVaporiaAssets();
        ASSERT_TRUE(dir.isValid());
        shared->location = {dir.path(), QString()};
        w = std::make_unique<frmMain>(*shared, [] { return 43200.25f; });
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->Timer().Stop();
        w->txtOndo->setFocus();
    }
    app::Program& Program() { return shared->program; }
    // A key pressed and released where the focus is, once the window has taken its release.
    void Key(Qt::Key key)
    {
        QTest::keyClick(w->windowHandle(), key);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !w->KeyReleasePending(); }, 5000));
    }
    void TabTo(QWidget* target)
    {
        for (int i = 0; i < 10 && QApplication::focusWidget() != target; ++i) QTest::keyClick(w->windowHandle(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), target);
    }
    // A playback of steps, each setting the temperature.
    void UseScenario(std::initializer_list<int> temperatures)
    {
        mdlSinario::SinarioData& s = Program().EditSinario();
        s = {};
        for (int t : temperatures) {
            mdlSinario::SinarioStep& step = s.steps[static_cast<std::size_t>(++s.stepCount)];
            step.kind = mdlSinario::StepTemp;
            step.value = t;
        }
    }
    bool AccessibleChecked(QWidget* b) { return QAccessible::queryAccessibleInterface(b)->state().checked; }
};

} // namespace

// Space and Enter press the focused button and nothing else: no playback step runs on their
// release, ↓ still does, and an arrow keeps the focus on the button.
TEST_F(KeyboardUser, ButtonsTakeSpaceAndEnterForThemselves)
{
    UseScenario({11, 12});
    TabTo(w->picSinario);
    Key(Qt::Key_Space);
    EXPECT_TRUE(Program().PlaybackOn());
    EXPECT_TRUE(w->picSinario->isChecked());
    EXPECT_TRUE(AccessibleChecked(w->picSinario));
    EXPECT_EQ(Program().State().sinarioPos, 1);
    Key(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), w->picSinario);
    EXPECT_EQ(w->txtOndo->text(), QStringLiteral("11"));

    TabTo(w->picGrphSw); // during playback too, the button's keys are its own
    Key(Qt::Key_Enter);
    EXPECT_FALSE(Program().GraphShown());
    EXPECT_FALSE(w->picGrphSw->isChecked());
    Key(Qt::Key_Space);
    EXPECT_TRUE(Program().GraphShown());
    EXPECT_TRUE(AccessibleChecked(w->picGrphSw));
    EXPECT_EQ(w->txtOndo->text(), QStringLiteral("11"));

    w->picSinario->setFocus(Qt::BacktabFocusReason);
    Key(Qt::Key_Return);
    EXPECT_FALSE(Program().PlaybackOn());
    EXPECT_FALSE(AccessibleChecked(w->picSinario));

    w->txtOndo->setText(QStringLiteral("30"));
    ASSERT_GT(Program().PointCount(), 0u);
    TabTo(w->picGrphCls);
    Key(Qt::Key_Space);
    EXPECT_EQ(Program().PointCount(), 0u);
}

// What a screen reader hears: the readout once it has stood still, the field in words, the
// graph's points one by one as ← and → step through them.
TEST_F(KeyboardUser, ReadoutFieldAndPointsAreSaid)
{
    QTest::keyClicks(w->txtOndo, QStringLiteral("50"));
    EXPECT_EQ(w->txtAturyoku->accessibleDescription(), QString()); // not at each keystroke
    ASSERT_TRUE(QTest::qWaitFor([this] { return !w->txtAturyoku->accessibleDescription().isEmpty(); },
                                frmMain::kAnnounceDelayMs * 4));
    EXPECT_EQ(w->txtAturyoku->accessibleDescription().toStdString(), Program().Announcement());
    EXPECT_NE(Program().Announcement(), "");
    if (w->txtOndo->hasFocus()) // where the pupil types, the sentence is heard too
        EXPECT_EQ(w->txtOndo->accessibleDescription(), w->txtAturyoku->accessibleDescription());

    w->Timer1_Wake();
    EXPECT_EQ(w->FieldView()->accessibleDescription().toStdString(), Program().FieldDescription());

    QTest::keyClick(w->txtOndo, Qt::Key_Backspace);
    QTest::keyClick(w->txtOndo, Qt::Key_Backspace);
    QTest::keyClicks(w->txtOndo, QStringLiteral("60"));
    const std::size_t n = Program().PointCount();
    ASSERT_GE(n, 3u);
    TabTo(w->picGrph);
    const auto said = [this] { return w->picGrph->accessibleDescription().toStdString(); };
    Key(Qt::Key_Left); // from no point: the newest
    EXPECT_EQ(said(), Program().PointText(n - 1));
    Key(Qt::Key_Left);
    EXPECT_EQ(said(), Program().PointText(n - 2));
    Key(Qt::Key_Home);
    EXPECT_EQ(said(), Program().PointText(0));
    Key(Qt::Key_Left); // stays at the oldest
    EXPECT_EQ(said(), Program().PointText(0));
    Key(Qt::Key_Right);
    EXPECT_EQ(said(), Program().PointText(1));
    Key(Qt::Key_End);
    EXPECT_EQ(said(), Program().PointText(n - 1));
    Key(Qt::Key_Right); // stays at the newest
    EXPECT_EQ(said(), Program().PointText(n - 1));
    EXPECT_EQ(QApplication::focusWidget(), w->picGrph);
}

// F8, the program's key, stops and starts the molecules; the 表示 menu shows the state and
// does the same.
TEST_F(KeyboardUser, MotionByKeyAndMenu)
{
    EXPECT_TRUE(w->menu_Motion->text().endsWith(QStringLiteral("\tF8")));
    Key(Qt::Key_F8);
    EXPECT_FALSE(Program().MotionOn());
    EXPECT_TRUE(w->menu_Motion->isChecked());
    w->menu_Motion->trigger();
    EXPECT_TRUE(Program().MotionOn());
    EXPECT_FALSE(w->menu_Motion->isChecked());
}

// ↑ and ↓ in the temperature box step it as the spinner does; during playback ↓ is the
// next step's.
TEST_F(KeyboardUser, ArrowsInTheTemperatureBoxStepIt)
{
    QTest::keyClicks(w->txtOndo, QStringLiteral("20"));
    Key(Qt::Key_Up);
    EXPECT_EQ(w->txtOndo->text(), QStringLiteral("21"));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(w->txtOndo->text(), QStringLiteral("19"));
    UseScenario({70});
    w->picSinario_Click();
    Key(Qt::Key_Down);
    EXPECT_EQ(w->txtOndo->text(), QStringLiteral("70"));
}

// Every dialog the window opens gives the focus back to the control that had it.
TEST_F(KeyboardUser, FocusComesBackAfterEachDialog)
{
    QAction* const items[] = {w->menu_Init, w->menu_Sinario, w->menu_ver, w->menu_Keys};
    for (QAction* item : items) {
        w->picGrphSw->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), w->picGrphSw);
        bool opened = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* d = QApplication::activeModalWidget();
            if (!d || d == w.get()) return;
            poll.stop();
            opened = true;
            // Esc where it closes the dialog; the settings and the editor keep what was
            // typed from one key, and close by their button or the window's close box.
            QTest::keyClick(d, Qt::Key_Escape);
            if (d->isVisible()) d->close();
        });
        poll.start(20);
        item->trigger();
        EXPECT_TRUE(opened) << item->text().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == w->picGrphSw; }, 2000))
            << item->text().toStdString();
    }
}
