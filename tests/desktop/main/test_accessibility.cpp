// Every control a keyboard reaches has a name a screen reader can speak, and Tab walks the
// controls in the order each window defines.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "desktop/about/frmAbout.h"
#include "assets/assets.h"
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
    for (platform::PictureButton* b : {w.picSinario, w.picGrphSw, w.picGrphCls}) EXPECT_EQ(SpokenName(b), b->toolTip());
    ExpectTabChain(&w, {w.txtOndo, w.cmbLiquid, w.txtAturyoku, w.picGrph});
}

TEST(Accessibility, SettingsDialog)
{
    SystemSettings settings{};
    const mdlSystem::SettingsLocation nowhere;
    frmSystem d(settings, nowhere);
    ShowWindow(&d);
    EXPECT_EQ(Unnamed(&d), QStringList());
    EXPECT_EQ(SpokenName(d.txtMol), QStringLiteral("物質量　（mol）"));
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
