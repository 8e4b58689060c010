// The real contents of every label, box, list and button of the four windows fit their
// controls, in each font of the fallback chain, at the scale the environment sets
// (QT_SCALE_FACTOR; ctest runs 1, 1.5 and 2). A control passes when the ink it shows for a
// text is the whole ink of that text: nothing is cut off at its edges.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <functional>

#include "desktop/about/frmAbout.h"
#include "assets/assets.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/Fonts.h"
#include "desktop/platform/TickTimer.h"
#include "desktop/scenario/frmSinario.h"
#include "desktop/settings/frmSystem.h"
#include "desktop/settings/mdlSystem.h"

namespace {

qreal Scale() { return qApp->devicePixelRatio(); }

constexpr QRgb kGround = 0xFFFF00FF; // no control draws magenta

// The box around every pixel where two pictures of one size differ, in device pixels.
QRect DiffBox(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
    return box;
}

QImage Render(QWidget* w)
{
    QImage image((QSizeF(w->size()) * Scale()).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(Scale());
    image.fill(kGround);
    w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The ink of text in font, drawn with room all round, in device pixels.
QSize WholeInk(const QFont& font, const QString& text)
{
    const QFontMetrics fm(font);
    const QSize room(fm.horizontalAdvance(text) + 4 * fm.height(), 3 * fm.height());
    QImage image((QSizeF(room) * Scale()).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(Scale());
    image.fill(kGround);
    QImage blank = image;
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(QPoint(2 * fm.height(), fm.height()), room), Qt::TextShowMnemonic, text);
    p.end();
    return DiffBox(image, blank).size();
}

struct Shown {
    QRect ink;   // device pixels of the control
    QSize whole; // the text's whole ink
};

// The ink a control shows for a text: its picture with the text, against its picture with
// an empty text.
Shown InkOf(QWidget* w, const QString& text, const std::function<void(const QString&)>& setText)
{
    setText(text);
    const QImage full = Render(w);
    const QFont font = w->font(); // as the control chose it for this text
    setText(QString());
    const QImage empty = Render(w);
    setText(text);
    return {DiffBox(full, empty), WholeInk(font, text)};
}

// Fails when the control cuts off part of the text: its ink is smaller than the whole ink
// (a pixel of rounding allowed), or touches the control's edge.
void ExpectFits(QWidget* w, const QString& text, const std::function<void(const QString&)>& setText,
                bool centred = false)
{
    const Shown s = InkOf(w, text, setText);
    const QString what = w->objectName().isEmpty() ? w->accessibleName() : w->objectName();
    const std::string where = (what + QStringLiteral(" showing \"") + text + QStringLiteral("\" in ")
                               + w->font().family()).toStdString();
    ASSERT_FALSE(s.ink.isEmpty()) << where << ": shows nothing";
    const QRect inside(QPoint(0, 0), (QSizeF(w->size()) * Scale()).toSize());
    // Antialiasing may lose a faint pixel column or row, fractional scales one more; a
    // narrower ink that reaches the control's side is cut, though.
    const int slack = Scale() == std::floor(Scale()) ? 1 : 2;
    const bool atSide = s.ink.left() == 0 || s.ink.right() == inside.right();
    EXPECT_TRUE(s.ink.width() >= s.whole.width() - slack && (s.ink.width() >= s.whole.width() || !atSide))
        << where << ": cut at the side, ink " << s.ink.width() << " of " << s.whole.width();
    EXPECT_GE(s.ink.height(), s.whole.height() - slack) << where << ": cut at the top or bottom";
    // Text may fill its width exactly, but ink on the top or bottom row is likely cut.
    EXPECT_TRUE(s.ink.top() > 0 && s.ink.bottom() < inside.bottom())
        << where << ": touches the edge, ink " << s.ink.x() << "," << s.ink.y() << " " << s.ink.width()
        << "x" << s.ink.height() << " in " << inside.width() << "x" << inside.height();
    if (centred) { // numbers sit in the middle of their boxes, not at the top
        const double offset = s.ink.center().y() - inside.center().y();
        EXPECT_LE(std::abs(offset), inside.height() / 6.0) << where << ": " << offset << " px off centre";
    }
}

void ExpectLabelFits(QLabel* l, const QString& text)
{
    if (l->wordWrap()) {
        l->setText(text);
        EXPECT_LE(l->heightForWidth(l->width()), l->height())
            << l->objectName().toStdString() << " in " << l->font().family().toStdString();
        return;
    }
    ExpectFits(l, text, [l](const QString& t) { l->setText(t); });
}

void ExpectBoxFits(QLineEdit* e, const QString& text)
{
    ExpectFits(e, text, [e](const QString& t) {
        e->setText(t);
        e->setCursorPosition(0);
    }, true);
}

void ExpectItemsFit(QComboBox* c)
{
    for (int i = 0; i < c->count(); ++i) {
        c->setCurrentIndex(i);
        const QString item = c->itemText(i);
        ExpectFits(c, item, [c, i](const QString& t) { c->setItemText(i, t); });
    }
}

// Every control of a window with what it shows now.
void ExpectEverythingShownFits(QWidget* window)
{
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->isVisibleTo(window) && !l->text().isEmpty()) ExpectLabelFits(l, l->text());
    for (QLineEdit* e : window->findChildren<QLineEdit*>())
        if (e->isVisibleTo(window) && !e->text().isEmpty() && !qobject_cast<QComboBox*>(e->parentWidget()))
            ExpectBoxFits(e, e->text());
    for (QComboBox* c : window->findChildren<QComboBox*>())
        if (c->isVisibleTo(window)) ExpectItemsFit(c);
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(window) && !b->text().isEmpty() && !qobject_cast<QToolButton*>(b))
            ExpectFits(b, b->text(), [b](const QString& t) { b->setText(t); });
    for (QTabWidget* t : window->findChildren<QTabWidget*>()) // every tab in one row
        EXPECT_LE(t->tabBar()->sizeHint().width(), t->width()) << t->font().family().toStdString();
}

struct FontCase {
    const char* proportional;
    const char* monospace;
};

class TextFit : public ::testing::TestWithParam<FontCase> {
protected:
    QTemporaryDir dir;

    void SetUp() override
    {
        InitVaporiaAssets();
        ASSERT_TRUE(dir.isValid());
        const QString family = QString::fromUtf8(GetParam().proportional);
        ASSERT_EQ(platform::FirstInstalled({family}), family) << "font not installed";
        platform::UseFontChains({family}, {QString::fromUtf8(GetParam().monospace)});
        ASSERT_EQ(platform::ProportionalFamily(), family);
    }
    void TearDown() override { platform::UseFontChains({}, {}); }
};

} // namespace

TEST_P(TextFit, MainWindow)
{
    SharedRecords shared;
    shared.location = {dir.path(), QString()};
    frmMain w(shared, [] { return 43200.25f; });
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.Timer().Stop();
    ExpectEverythingShownFits(&w);

    for (const char* t : {"℃", "Ｋ"}) ExpectLabelFits(w.lblTmp, QString::fromUtf8(t));
    for (const char* t : {"mmHg", "atm", "hPa"}) ExpectLabelFits(w.lblPress, QString::fromUtf8(t));
    for (const char* t : {"1mol", "100mol"}) ExpectLabelFits(w.lblMol, QString::fromUtf8(t));
    for (const char* t : {"30ﾘｯﾄﾙ", "100ﾘｯﾄﾙ", "0.5ﾘｯﾄﾙ"}) ExpectLabelFits(w.lblVal, QString::fromUtf8(t));
    // The temperatures of the table's ends and the coldest freezing point; the pressure of
    // diethyl ether at 200 ℃, 100 mol in 1 L, in mmHg, atm and hPa.
    for (const char* t : {"-114", "-100", "200", "0"}) ExpectBoxFits(w.txtOndo, QString::fromUtf8(t));
    for (const char* t : {"202636.7", "266.627", "270093", "0.0"})
        ExpectBoxFits(w.txtAturyoku, QString::fromUtf8(t));
}

TEST_P(TextFit, SettingsDialog)
{
    SystemSettings settings;
    mdlSystem::InitSystemSettings(settings);
    settings.container = 22.5;
    frmSystem dlg(settings, {dir.path(), QString()});
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    ExpectEverythingShownFits(&dlg);
    for (const char* t : {"-100", "1000", "0.05"}) ExpectBoxFits(dlg.txtPressWMin, QString::fromUtf8(t));
    ExpectBoxFits(dlg.txtGrphWMin, QStringLiteral("-50"));
}

TEST_P(TextFit, ScenarioEditor)
{
    SystemSettings settings;
    mdlSystem::InitSystemSettings(settings);
    mdlSinario::SinarioData sinario;
    frmSinario dlg(sinario, settings);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    for (int tab = 0; tab < dlg.SSTabMenu->count(); ++tab) {
        dlg.SSTabMenu->setCurrentIndex(tab);
        ExpectEverythingShownFits(&dlg);
    }
    dlg.SSTabMenu->setCurrentIndex(1);
    ExpectBoxFits(dlg.txtTemp, QStringLiteral("-100"));
    ExpectBoxFits(dlg.txtTTl, QString(30, QChar(u'蒸')));
}

TEST_P(TextFit, AboutBox)
{
    about::frmAbout dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    ExpectEverythingShownFits(&dlg);
}

INSTANTIATE_TEST_SUITE_P(EachFontOfTheChain, TextFit,
                         ::testing::Values(FontCase{"IPAPGothic", "IPAGothic"},
                                           FontCase{"Noto Sans CJK JP", "Noto Sans Mono CJK JP"}),
                         [](const auto& info) {
                             return std::string(info.param.proportional[0] == 'I' ? "IPAPGothic" : "NotoSansCJK");
                         });
