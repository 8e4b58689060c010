#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include "desktop/settings/frmSystem.h"
#include "desktop/settings/mdlSystem.h"

#include <sys/resource.h>

#include "desktop/saves/FailingDisk.h"

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

SystemSettings Defaults()
{
    SystemSettings s;
    mdlSystem::InitSystemSettings(s);
    return s;
}

// CONFIG.INI in a folder of its own; the record loaded from it as the main window would.
class SettingsDialog : public ::testing::Test {
protected:
    QTemporaryDir dir;
    mdlSystem::SettingsLocation where{dir.path(), QString()};
    SystemSettings settings;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        mdlSystem::LoadSystemSettings(settings, where);
    }
    void Show(frmSystem& dlg)
    {
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    }
    SystemSettings FromFile() const
    {
        SystemSettings s;
        mdlSystem::LoadSystemSettings(s, where);
        return s;
    }
    static QStringList Shown(const frmSystem& d)
    {
        return {d.txtMol->text(),      d.txtContainer->text(), d.cmbTempUnit->currentText(),
                d.cmbPressUnit->currentText(), d.txtGrphWMin->text(),  d.txtGrphWMax->text(),
                d.txtPressWMin->text(),  d.txtPressWMax->text()};
    }
    static const QStringList& ShownDefaults()
    {
        static const QStringList v{"1", "30", "℃", "mmHg", "-50", "150", "0", "800"};
        return v;
    }
};

} // namespace

TEST_F(SettingsDialog, FirstOpeningShowsTheDefaults)
{
    frmSystem dlg(settings, where);
    Show(dlg);
    EXPECT_EQ(dlg.windowTitle(), "物質量");
    EXPECT_EQ(dlg.size(), QSize(289, 244));
    EXPECT_EQ(Shown(dlg), ShownDefaults());
    EXPECT_EQ(QApplication::focusWidget(), dlg.txtMol);
    EXPECT_FALSE(QFile::exists(where.Path()));
}

TEST_F(SettingsDialog, TabOrderFollowsTheRows)
{
    frmSystem dlg(settings, where);
    Show(dlg);
    const QWidget* expected[] = {dlg.txtContainer, dlg.cmbTempUnit, dlg.cmbPressUnit, dlg.txtGrphWMin,
                                 dlg.txtGrphWMax, dlg.txtPressWMin, dlg.txtPressWMax, dlg.cmdDefault,
                                 dlg.cmdClose, dlg.txtMol};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(SettingsDialog, TypedInputIsCappedButStoredValuesShowInFull)
{
    settings.container = 22.5;
    settings.grphHMax = 12345.5;
    frmSystem dlg(settings, where);
    Show(dlg);
    EXPECT_EQ(dlg.txtContainer->text(), "22.5");
    EXPECT_EQ(dlg.txtPressWMax->text(), "12345.5");

    const std::pair<QLineEdit*, QString> cases[] = {
        {dlg.txtMol, "123"},       {dlg.txtContainer, "123"},  {dlg.txtGrphWMin, "123"},
        {dlg.txtGrphWMax, "123"},  {dlg.txtPressWMin, "1000"}, {dlg.txtPressWMax, "1000"}};
    for (const auto& [box, kept] : cases) {
        box->clear();
        QTest::keyClicks(box, kept + "9");
        EXPECT_EQ(box->text(), kept) << box->objectName().toStdString();
    }
}

TEST_F(SettingsDialog, CloseButtonRoundsWholeNumbersHalfToEvenAndSaves)
{
    struct Case {
        const char* mol;
        const char* wMin;
        std::int32_t molStored, wMinStored;
    };
    for (const Case c : {Case{"2", "2.5", 2, 2}, Case{"4", "-2.5", 4, -2}}) {
        frmSystem dlg(settings, where);
        Show(dlg);
        dlg.txtMol->clear();
        QTest::keyClicks(dlg.txtMol, c.mol);
        dlg.txtGrphWMin->clear();
        QTest::keyClicks(dlg.txtGrphWMin, c.wMin);
        QTest::mouseClick(dlg.cmdClose, Qt::LeftButton);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(settings.mol, c.molStored);
        EXPECT_EQ(settings.grphWMin, c.wMinStored);
        EXPECT_EQ(FromFile(), settings);
    }
}

TEST_F(SettingsDialog, FullWidthNumbersFromAnInputMethodAreReadAsTheirAsciiForms)
{
    frmSystem dlg(settings, where);
    Show(dlg);
    const struct { QLineEdit* box; const char* typed; } typed[] = {
        {dlg.txtMol, "８０"}, {dlg.txtContainer, "２．５"}, {dlg.txtGrphWMin, "－５０"},
        {dlg.txtPressWMax, "１２００"}};
    for (const auto& t : typed) {
        t.box->clear();
        QInputMethodEvent commit; // as an input method hands over what was typed
        commit.setCommitString(QString::fromUtf8(t.typed));
        QApplication::sendEvent(t.box, &commit);
        EXPECT_EQ(t.box->text(), QString::fromUtf8(t.typed)); // within the limits, kept as typed
    }
    QTest::mouseClick(dlg.cmdClose, Qt::LeftButton);
    EXPECT_EQ(settings.mol, 80);
    EXPECT_EQ(settings.container, 2.5);
    EXPECT_EQ(settings.grphWMin, -50);
    EXPECT_EQ(settings.grphHMax, 1200);
    EXPECT_EQ(FromFile(), settings);
}

TEST_F(SettingsDialog, UnitsAndRangesAreStoredAsShownWithoutConversion)
{
    frmSystem dlg(settings, where);
    Show(dlg);
    dlg.cmbTempUnit->setCurrentIndex(1);
    dlg.cmbPressUnit->setCurrentIndex(2);
    dlg.txtGrphWMin->setText("150");
    dlg.txtGrphWMax->setText("300");
    dlg.txtPressWMin->setText("0.5");
    QTest::mouseClick(dlg.cmdClose, Qt::LeftButton);
    SystemSettings expected = Defaults();
    expected.temperatureUnit = 1;
    expected.pressureUnit = 2;
    expected.grphWMin = 150;
    expected.grphWMax = 300;
    expected.grphHMin = 0.5;
    EXPECT_EQ(settings, expected);
    EXPECT_EQ(FromFile(), expected);
}

TEST_F(SettingsDialog, DefaultsThenCloseButtonWritesTheDefaults)
{
    settings = {12.5, 7, 1, 2, -10, 10, 1, 2};
    ASSERT_TRUE(mdlSystem::SaveSystemSettings(settings, where));
    frmSystem dlg(settings, where);
    Show(dlg);
    EXPECT_EQ(Shown(dlg), (QStringList{"7", "12.5", "Ｋ", "hPa", "-10", "10", "1", "2"}));
    QTest::mouseClick(dlg.cmdDefault, Qt::LeftButton);
    EXPECT_EQ(Shown(dlg), ShownDefaults());
    EXPECT_TRUE(dlg.isVisible());
    QTest::mouseClick(dlg.cmdClose, Qt::LeftButton);
    EXPECT_EQ(FromFile(), Defaults());
}

TEST_F(SettingsDialog, TitleBarCloseStoresAndSavesNothing)
{
    settings = {12.5, 7, 1, 2, -10, 10, 1, 2};
    ASSERT_TRUE(mdlSystem::SaveSystemSettings(settings, where));
    const QByteArray before = FileBytes(where.Path());
    {
        frmSystem dlg(settings, where);
        Show(dlg);
        dlg.txtMol->setText("9");
        dlg.close();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(settings.mol, 7);
    }
    {
        // The defaults reach the record at once, but not the file.
        frmSystem dlg(settings, where);
        Show(dlg);
        QTest::mouseClick(dlg.cmdDefault, Qt::LeftButton);
        dlg.close();
        EXPECT_EQ(settings, Defaults());
    }
    EXPECT_EQ(FileBytes(where.Path()), before);
}

// Values the model cannot show are refused where they are typed: named, and nothing saved.
TEST_F(SettingsDialog, ValuesThatCannotBeShownAreRefusedAtTheirBox)
{
    const struct {
        const char* box;
        const char* text;
        const char* said;
    } cases[] = {
        {"txtMol", "1.5", "物質量（mol）には 1 以上の整数"},
        {"txtMol", "0", "物質量（mol）には 1 以上の整数"},
        {"txtContainer", "-30", "容器の体積（L）には 0 より大きい数"},
        {"txtContainer", "0", "容器の体積（L）には 0 より大きい数"},
        {"txtGrphWMin", "150", "グラフの温度範囲"},
        {"txtPressWMin", "900", "グラフの圧力範囲"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.text);
        settings = Defaults();
        frmSystem dlg(settings, where);
        QStringList said;
        dlg.showMessage = [&](QWidget*, const QString&, const QString& text) { said << text; };
        Show(dlg);
        auto* box = dlg.findChild<QLineEdit*>(c.box);
        box->setText(c.text);
        dlg.txtGrphWMax->setText(QString()); // kept: -50..150 stays the range to beat
        QTest::mouseClick(dlg.cmdClose, Qt::LeftButton);
        ASSERT_EQ(said.size(), 1);
        EXPECT_TRUE(said[0].contains(QString::fromUtf8(c.said))) << said[0].toStdString();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), box);
        EXPECT_EQ(settings, Defaults());
        EXPECT_FALSE(QFile::exists(where.Path()));
        dlg.close();
    }
}

TEST_F(SettingsDialog, EnterAndEscHaveNoEffect)
{
    frmSystem dlg(settings, where);
    Show(dlg);
    for (QWidget* w : {static_cast<QWidget*>(dlg.txtMol), static_cast<QWidget*>(dlg.cmdClose),
                       static_cast<QWidget*>(dlg.cmdDefault)}) {
        w->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(w, key);
    }
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(QFile::exists(where.Path()));
}

TEST_F(SettingsDialog, UnreadableBoxKeepsItsFieldWhileTheOthersAreStored)
{
    const SystemSettings old{12.5, 7, 1, 2, -10, 10, 1, 2};
    struct Case {
        const char* box;
        const char* text;
    };
    for (const Case c : {Case{"txtMol", ""}, Case{"txtMol", "abc"}, Case{"txtMol", "3000000000"},
                         Case{"txtContainer", "x"}, Case{"txtContainer", "1e999"},
                         Case{"txtGrphWMin", "-3e9"}, Case{"txtGrphWMax", " "},
                         Case{"txtPressWMin", "1,5"}, Case{"txtPressWMax", ""}}) {
        SCOPED_TRACE(std::string(c.box) + " '" + c.text + "'");
        settings = old;
        frmSystem dlg(settings, where);
        Show(dlg);
        // Every box gets a new value, then one of them is spoilt.
        dlg.txtMol->setText("2");
        dlg.txtContainer->setText("3");
        dlg.txtGrphWMin->setText("4");
        dlg.txtGrphWMax->setText("5");
        dlg.txtPressWMin->setText("1.5");
        dlg.txtPressWMax->setText("7");
        dlg.findChild<QLineEdit*>(c.box)->setText(c.text);
        QTest::mouseClick(dlg.cmdClose, Qt::LeftButton);

        SystemSettings expected{3, 2, 1, 2, 4, 5, 1.5, 7};
        const QString box = c.box;
        if (box == "txtMol") expected.mol = old.mol;
        if (box == "txtContainer") expected.container = old.container;
        if (box == "txtGrphWMin") expected.grphWMin = old.grphWMin;
        if (box == "txtGrphWMax") expected.grphWMax = old.grphWMax;
        if (box == "txtPressWMin") expected.grphHMin = old.grphHMin;
        if (box == "txtPressWMax") expected.grphHMax = old.grphHMax;
        EXPECT_EQ(settings, expected);
        EXPECT_EQ(FromFile(), expected);
    }
}

TEST_F(SettingsDialog, UnitsOutOfRangeShowTheDefaultEntries)
{
    for (const auto& [t, p] : {std::pair{2, 3}, std::pair{-1, -1}, std::pair{INT32_MAX, INT32_MIN}}) {
        settings.temperatureUnit = t;
        settings.pressureUnit = p;
        frmSystem dlg(settings, where);
        Show(dlg);
        EXPECT_EQ(dlg.cmbTempUnit->currentText(), "℃");
        EXPECT_EQ(dlg.cmbPressUnit->currentText(), "mmHg");
        QTest::mouseClick(dlg.cmdClose, Qt::LeftButton);
        EXPECT_EQ(settings.temperatureUnit, 0);
        EXPECT_EQ(settings.pressureUnit, 0);
    }
}

TEST_F(SettingsDialog, AFailedSaveIsShownAndTheFileStaysAsItWas)
{
    const QString path = dir.filePath("CONFIG.INI");
    const struct {
        const char* what;
        QByteArray before;
        long sizeLimit; // 0: none
        const char* reason;
    } cases[] = {
        {"file-size limit", "; school\n[DATA]\nmol=2\n", 16, "ファイルが大きすぎます。"},
        {"file beyond the reader's limit", "[DATA]\nmol=2\n" + QByteArray(mdlSystem::kMaxFileBytes, ';'), 0,
         "設定ファイルが大きすぎます"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.before);
        }
        frmSystem dlg(settings, where);
        QStringList shown;
        dlg.showMessage = [&](QWidget* parent, const QString& title, const QString& text) {
            EXPECT_EQ(parent, &dlg);
            shown << title << text;
        };
        Show(dlg);
        dlg.txtMol->setText("7");
        failingdisk::WithFileSizeLimit(c.sizeLimit > 0 ? c.sizeLimit : RLIM_INFINITY, [&] {
            QTest::mouseClick(dlg.cmdClose, Qt::LeftButton);
        });
        ASSERT_EQ(shown.size(), 2);
        EXPECT_EQ(shown[0], "蒸気圧曲線");
        EXPECT_TRUE(shown[1].startsWith("設定を保存できませんでした。" + QString::fromUtf8(c.reason)))
            << shown[1].toStdString();
        EXPECT_TRUE(shown[1].contains(path));
        EXPECT_TRUE(shown[1].contains("設定は変更前のままです。"));
        EXPECT_EQ(FileBytes(path), c.before);
        EXPECT_EQ(FromFile().mol, 2);
    }
}
