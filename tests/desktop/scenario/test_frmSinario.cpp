#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include <optional>

#include "lessons/LessonBook.h"
#include "desktop/scenario/frmSinario.h"
#include "desktop/settings/mdlSystem.h"

using mdlSinario::SinarioData;
using mdlSinario::SinarioStep;
using Mode = frmSinario::FileDialogMode;

namespace {

SinarioStep Step(std::int16_t kind, std::int32_t value = 0, std::int32_t addTemp = 0)
{
    SinarioStep s;
    s.kind = kind;
    s.value = value;
    s.addTemp = addTemp;
    return s;
}

QStringList Rows(const frmSinario& dlg)
{
    QStringList rows;
    for (int i = 0; i < dlg.listSinario->count(); ++i) rows << dlg.listSinario->item(i)->text();
    return rows;
}

QString Padded(const QString& text) { return text.leftJustified(mdlSinario::kTitleChars, u' '); }

class ScenarioEditor : public ::testing::Test {
protected:
    SinarioData sinario;
    SystemSettings settings;
    QTemporaryDir dir;
    std::vector<Mode> asked;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        mdlSystem::InitSystemSettings(settings);
    }
    // The dialog, shown and active, answering its file dialogs with path.
    std::unique_ptr<frmSinario> Open(const QString& path = QString())
    {
        auto dlg = std::make_unique<frmSinario>(sinario, settings);
        dlg->SetPathChooser([this, path](QWidget*, Mode mode) {
            asked.push_back(mode);
            return path;
        });
        dlg->show();
        dlg->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        return dlg;
    }
    void Select(frmSinario& dlg, int row) { dlg.listSinario->item(row)->setSelected(true); }
    std::vector<SinarioStep> Steps() const
    {
        return {sinario.steps.begin() + 1, sinario.steps.begin() + 1 + sinario.stepCount};
    }
};

} // namespace

TEST_F(ScenarioEditor, FirstOpeningShowsTheSettingsAndAnEmptyScenario)
{
    auto dlg = Open();
    EXPECT_EQ(dlg->windowTitle(), "シナリオ作成");
    EXPECT_EQ(dlg->size(), QSize(490, 480));
    EXPECT_EQ(dlg->txtTTl->text(), "");
    EXPECT_EQ(dlg->listSinario->count(), 0);
    EXPECT_EQ(dlg->SSTabMenu->currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), dlg->txtTTl);
    const QStringList shown{dlg->txtMol->text(),       dlg->txtContainer->text(), dlg->cmbTempUnit->currentText(),
                            dlg->cmbPressUnit->currentText(), dlg->txtGrphWMin->text(),  dlg->txtGrphWMax->text(),
                            dlg->txtPressWMin->text(),  dlg->txtPressWMax->text()};
    EXPECT_EQ(shown, (QStringList{"1", "30", "℃", "mmHg", "-50", "150", "0", "800"}));
    EXPECT_EQ(dlg->txtTemp->text(), "");
    EXPECT_FALSE(dlg->chkAddTemp->isChecked());
    EXPECT_TRUE(dlg->OptGrphOn->isChecked());
    EXPECT_EQ(dlg->cmbBussitu->currentText(), "水");
}

TEST_F(ScenarioEditor, UnitsOutOfRangeShowTheDefaultEntries)
{
    settings.temperatureUnit = 5;
    settings.pressureUnit = -3;
    auto dlg = Open();
    EXPECT_EQ(dlg->cmbTempUnit->currentText(), "℃");
    EXPECT_EQ(dlg->cmbPressUnit->currentText(), "mmHg");
    QTest::mouseClick(dlg->cmdAdd1, Qt::LeftButton);
    ASSERT_EQ(sinario.stepCount, 1);
    EXPECT_EQ(sinario.steps[1].temperatureUnit, 0);
    EXPECT_EQ(sinario.steps[1].pressureUnit, 0);
}

TEST_F(ScenarioEditor, InputLimits)
{
    settings.grphHMax = 12345.5;
    auto dlg = Open();
    EXPECT_EQ(dlg->txtPressWMax->text(), "12345.5");
    const std::pair<QLineEdit*, int> cases[] = {
        {dlg->txtTTl, 30},      {dlg->txtMol, 3},       {dlg->txtContainer, 3}, {dlg->txtGrphWMin, 3},
        {dlg->txtGrphWMax, 3},  {dlg->txtPressWMin, 4}, {dlg->txtPressWMax, 4}, {dlg->txtTemp, 4}};
    for (const auto& [box, limit] : cases) {
        box->clear();
        QTest::keyClicks(box, QString(limit + 1, u'1'));
        EXPECT_EQ(box->text().size(), limit) << box->objectName().toStdString();
    }
}

TEST_F(ScenarioEditor, AddingWithoutSelectionAppendsStepsWithOnlyTheirOwnFields)
{
    auto dlg = Open();
    dlg->txtTemp->setText("80");
    dlg->chkAddTemp->setChecked(true);
    QTest::mouseClick(dlg->cmdAdd2, Qt::LeftButton);
    dlg->optGrphOff->setChecked(true);
    QTest::mouseClick(dlg->cmdAdd3, Qt::LeftButton);
    dlg->OptGrphOn->setChecked(true);
    QTest::mouseClick(dlg->cmdAdd3, Qt::LeftButton);
    dlg->cmbBussitu->setCurrentIndex(1);
    QTest::mouseClick(dlg->cmdAdd5, Qt::LeftButton);

    EXPECT_EQ(Steps(), (std::vector{Step(1, 80, 1), Step(3), Step(2), Step(5, 1)}));
    EXPECT_EQ(Rows(*dlg), (QStringList{"温度を 80 ℃ に設定します。（1度ずつ変化する）", "グラフを非表示にします。",
                                       "グラフを表示します。", "データをエタノールに設定します。"}));
}

TEST_F(ScenarioEditor, FullWidthNumbersFromAnInputMethodAreReadAsTheirAsciiForms)
{
    auto dlg = Open();
    QInputMethodEvent commit; // as an input method hands over what was typed
    commit.setCommitString(QString::fromUtf8("－１０"));
    QApplication::sendEvent(dlg->txtTemp, &commit);
    QTest::mouseClick(dlg->cmdAdd2, Qt::LeftButton);
    dlg->txtMol->setText(QString::fromUtf8("８０"));
    dlg->txtContainer->setText(QString::fromUtf8("２．５"));
    QTest::mouseClick(dlg->cmdAdd1, Qt::LeftButton);
    ASSERT_EQ(Steps().size(), 2u);
    EXPECT_EQ(Steps()[0], Step(1, -10));
    EXPECT_EQ(Steps()[1].mol, 80);
    EXPECT_EQ(Steps()[1].container, 2.5);
    EXPECT_EQ(dlg->txtTemp->text(), QString::fromUtf8("－１０"));
}

TEST_F(ScenarioEditor, InitialSettingsStepTakesTheFirstTabRoundingHalfToEven)
{
    auto dlg = Open();
    QStringList said;
    dlg->showMessage = [&](QWidget*, const QString&, const QString& text) { said << text; };
    dlg->cmbTempUnit->setCurrentIndex(1);
    dlg->cmbPressUnit->setCurrentIndex(2);
    // An amount is whole: 2.5 mol is refused at its box, as the settings dialog does.
    dlg->txtMol->setText("2.5");
    QTest::mouseClick(dlg->cmdAdd1, Qt::LeftButton);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("物質量（mol）には 1 以上の整数")) << said[0].toStdString();
    EXPECT_EQ(QApplication::focusWidget(), dlg->txtMol);
    EXPECT_EQ(sinario.stepCount, 0);
    dlg->txtMol->setText("2");
    dlg->txtContainer->setText("0.5");
    dlg->txtPressWMax->setText("80.5");
    QTest::mouseClick(dlg->cmdAdd1, Qt::LeftButton);
    dlg->txtMol->setText("4");
    dlg->txtPressWMin->setText("-2.5");
    QTest::mouseClick(dlg->cmdAdd1, Qt::LeftButton);

    SinarioStep first;
    first.kind = mdlSinario::StepInit;
    first.mol = 2;
    first.container = 0.5;
    first.temperatureUnit = 1;
    first.pressureUnit = 2;
    first.grphWMin = -50;
    first.grphWMax = 150;
    first.grphHMin = 0;
    first.grphHMax = 80;
    SinarioStep second = first;
    second.mol = 4;
    second.grphHMin = -2;
    EXPECT_EQ(Steps(), (std::vector{first, second}));
    EXPECT_EQ(Rows(*dlg), (QStringList{"初期値設定", "初期値設定"}));
    // The settings themselves stay as they were.
    SystemSettings defaults;
    mdlSystem::InitSystemSettings(defaults);
    EXPECT_EQ(settings, defaults);
}

TEST_F(ScenarioEditor, TypedSubstanceIsRecordedAsNoSelection)
{
    auto dlg = Open();
    dlg->SSTabMenu->setCurrentIndex(4);
    dlg->cmbBussitu->lineEdit()->setFocus();
    QTest::keyClicks(dlg->cmbBussitu->lineEdit(), "x");
    QTest::mouseClick(dlg->cmdAdd5, Qt::LeftButton);
    EXPECT_EQ(Steps(), std::vector{Step(5, -1)});
    EXPECT_EQ(Rows(*dlg), QStringList{"データをジエチルエーテルに設定します。"});
    // Choosing an item from the list selects it again.
    dlg->cmbBussitu->setCurrentIndex(0);
    emit dlg->cmbBussitu->activated(0);
    QTest::mouseClick(dlg->cmdAdd5, Qt::LeftButton);
    EXPECT_EQ(sinario.steps[2], Step(5, 0));
    EXPECT_EQ(dlg->cmbBussitu->count(), 3);
    // Typed text that spells an item is still typed text; leaving the box does not pick it.
    dlg->cmbBussitu->lineEdit()->setFocus();
    dlg->cmbBussitu->lineEdit()->selectAll();
    QInputMethodEvent typed; // as an input method commits it
    typed.setCommitString("エタノール");
    QApplication::sendEvent(dlg->cmbBussitu->lineEdit(), &typed);
    QTest::mouseClick(dlg->cmdAdd5, Qt::LeftButton);
    EXPECT_EQ(sinario.steps[3], Step(5, -1));
    EXPECT_EQ(dlg->cmbBussitu->currentIndex(), 0);
}

TEST_F(ScenarioEditor, RowTexts)
{
    const std::pair<SinarioStep, const char*> cases[] = {
        {Step(0), "初期値設定"},
        {Step(1, 80, 1), "温度を 80 ℃ に設定します。（1度ずつ変化する）"},
        {Step(1, 80, 0), "温度を 80 ℃ に設定します。"},
        {Step(1, -10), "温度を -10 ℃ に設定します。"},
        {Step(2), "グラフを表示します。"},
        {Step(3), "グラフを非表示にします。"},
        {Step(4), "描画されたグラフを消します。"},
        {Step(5, 0), "データを水に設定します。"},
        {Step(5, 1), "データをエタノールに設定します。"},
        {Step(5, 2), "データをジエチルエーテルに設定します。"},
        {Step(5, -1), "データをジエチルエーテルに設定します。"},
        {Step(5, 7), "データをジエチルエーテルに設定します。"},
    };
    for (const auto& [step, text] : cases) EXPECT_EQ(frmSinario::DescribeStep(step, 0), QString::fromUtf8(text));
}

TEST_F(ScenarioEditor, AddingGoesBeforeTheSelectedRowAndClearsTheSelection)
{
    sinario.stepCount = 3;
    sinario.steps[1] = Step(2);
    sinario.steps[2] = Step(3);
    sinario.steps[3] = Step(1, 20);
    auto dlg = Open();
    Select(*dlg, 1);
    QTest::mouseClick(dlg->cmdAdd4, Qt::LeftButton);
    EXPECT_EQ(Steps(), (std::vector{Step(2), Step(4), Step(3), Step(1, 20)}));
    EXPECT_TRUE(dlg->listSinario->selectedItems().isEmpty());
    QTest::mouseClick(dlg->cmdAdd4, Qt::LeftButton);
    EXPECT_EQ(Steps(), (std::vector{Step(2), Step(4), Step(3), Step(1, 20), Step(4)}));
    Select(*dlg, 0);
    QTest::mouseClick(dlg->cmdAdd3, Qt::LeftButton);
    EXPECT_EQ(Steps().front(), Step(2));
    EXPECT_EQ(sinario.stepCount, 6);
    EXPECT_EQ(Rows(*dlg).size(), 6);
}

TEST_F(ScenarioEditor, AddingWithAnUnreadableBoxAddsNothingAndFocusesIt)
{
    auto dlg = Open();
    struct Case {
        QLineEdit* box;
        QPushButton* add;
        const char* text;
    };
    const Case cases[] = {{dlg->txtTemp, dlg->cmdAdd2, ""},       {dlg->txtTemp, dlg->cmdAdd2, "abc"},
                          {dlg->txtMol, dlg->cmdAdd1, ""},        {dlg->txtContainer, dlg->cmdAdd1, "."},
                          {dlg->txtGrphWMin, dlg->cmdAdd1, "a"},  {dlg->txtGrphWMax, dlg->cmdAdd1, "-"},
                          {dlg->txtPressWMin, dlg->cmdAdd1, "1e10"}, {dlg->txtPressWMax, dlg->cmdAdd1, " "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box->objectName().toStdString() + " '" + c.text + "'");
        const QString before = c.box->text();
        c.box->setText(c.text);
        dlg->SSTabMenu->setCurrentWidget(c.add->parentWidget());
        QTest::mouseClick(c.add, Qt::LeftButton);
        EXPECT_EQ(sinario.stepCount, 0);
        EXPECT_EQ(QApplication::focusWidget(), c.box);
        c.box->setText(before);
    }
    EXPECT_EQ(dlg->listSinario->count(), 0);
}

TEST_F(ScenarioEditor, DeleteRemovesTheSelectedStepOnly)
{
    sinario.stepCount = 3;
    sinario.steps[1] = Step(2);
    sinario.steps[2] = Step(3);
    sinario.steps[3] = Step(4);
    auto dlg = Open();
    QTest::mouseClick(dlg->cmdDel, Qt::LeftButton);
    EXPECT_EQ(Steps(), (std::vector{Step(2), Step(3), Step(4)}));
    Select(*dlg, 1);
    QTest::mouseClick(dlg->cmdDel, Qt::LeftButton);
    EXPECT_EQ(Steps(), (std::vector{Step(2), Step(4)}));
    EXPECT_EQ(Rows(*dlg), (QStringList{"グラフを表示します。", "描画されたグラフを消します。"}));
    Select(*dlg, 1);
    QTest::mouseClick(dlg->cmdDel, Qt::LeftButton);
    Select(*dlg, 0);
    QTest::mouseClick(dlg->cmdDel, Qt::LeftButton);
    EXPECT_EQ(sinario.stepCount, 0);
    EXPECT_EQ(dlg->listSinario->count(), 0);
}

TEST_F(ScenarioEditor, FiftyStepsAreTheLimitAndDeleteStillWorks)
{
    sinario.stepCount = 50;
    for (int n = 1; n <= 50; ++n) sinario.steps[n] = Step(1, n);
    const SinarioData full = sinario;
    auto dlg = Open();
    ASSERT_EQ(dlg->listSinario->count(), 50);
    dlg->txtTemp->setText("99");
    for (QPushButton* add : {dlg->cmdAdd1, dlg->cmdAdd2, dlg->cmdAdd3, dlg->cmdAdd4, dlg->cmdAdd5}) {
        dlg->SSTabMenu->setCurrentWidget(add->parentWidget());
        QTest::mouseClick(add, Qt::LeftButton);
    }
    Select(*dlg, 10);
    QTest::mouseClick(dlg->cmdAdd4, Qt::LeftButton);
    EXPECT_EQ(sinario.stepCount, 50);
    EXPECT_EQ(sinario.steps, full.steps);
    EXPECT_EQ(dlg->listSinario->count(), 50);

    Select(*dlg, 49);
    QTest::mouseClick(dlg->cmdDel, Qt::LeftButton);
    EXPECT_EQ(sinario.stepCount, 49);
    EXPECT_EQ(sinario.steps[49], Step(1, 49));
    Select(*dlg, 0);
    QTest::mouseClick(dlg->cmdDel, Qt::LeftButton);
    EXPECT_EQ(sinario.stepCount, 48);
    EXPECT_EQ(sinario.steps[1], Step(1, 2));
    EXPECT_EQ(sinario.steps[48], Step(1, 49));
    EXPECT_EQ(dlg->listSinario->item(47)->text(), "温度を 49 ℃ に設定します。");
}

TEST_F(ScenarioEditor, StepCountOutsideTheSlotsIsListedWithinThem)
{
    for (const std::int32_t count : {-5, 51, INT32_MAX}) {
        sinario.stepCount = count;
        auto dlg = Open();
        const int rows = count < 0 ? 0 : 50;
        EXPECT_EQ(dlg->listSinario->count(), rows);
        if (rows > 0) {
            Select(*dlg, rows - 1);
            QTest::mouseClick(dlg->cmdDel, Qt::LeftButton);
            EXPECT_EQ(sinario.stepCount, 49);
        } else {
            QTest::mouseClick(dlg->cmdAdd4, Qt::LeftButton);
            EXPECT_EQ(sinario.stepCount, 1);
        }
    }
}

TEST_F(ScenarioEditor, TitleIsStoredOnLeavingTheBoxPaddedToThirtyCharacters)
{
    {
        auto dlg = Open();
        dlg->txtTTl->insert("水の"); // as typed through an input method
        EXPECT_EQ(mdlSinario::TitleText(sinario), ""); // not yet: the box still has the focus
        dlg->txtMol->setFocus();
        EXPECT_EQ(mdlSinario::TitleText(sinario), Padded("水の"));
        dlg->close();
    }
    {
        // Reopened, the box shows all 30 characters; a button click stores an edit first.
        auto dlg = Open(dir.filePath("a.so1"));
        EXPECT_EQ(dlg->txtTTl->text(), Padded("水の"));
        dlg->txtTTl->setFocus();
        dlg->txtTTl->setText("  蒸気圧  ");
        QString titleWhenSaved;
        dlg->SetPathChooser([&](QWidget*, Mode) {
            titleWhenSaved = mdlSinario::TitleText(sinario);
            return QString();
        });
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        EXPECT_EQ(titleWhenSaved, Padded("  蒸気圧  "));
    }
}

TEST_F(ScenarioEditor, LoadShowsTheTitleTrimmedAndTheStepsWhileSaveChangesNothingShown)
{
    const QString path = dir.filePath("lesson.so1");
    mdlSinario::SetTitle(sinario, "  蒸気圧の実験");
    sinario.stepCount = 2;
    sinario.steps[1] = Step(4);
    sinario.steps[2] = Step(1, -10);
    const SinarioData saved = sinario;
    {
        auto dlg = Open(path);
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        EXPECT_EQ(asked, std::vector{Mode::Save});
        EXPECT_EQ(QFile(path).size(), 2380);
        EXPECT_EQ(sinario, saved);
    }
    sinario = SinarioData{};
    auto dlg = Open(path);
    EXPECT_EQ(dlg->txtTTl->text(), "");
    EXPECT_FALSE(dlg->Loaded());
    QTest::mouseClick(dlg->cmdLoad, Qt::LeftButton);
    EXPECT_EQ(asked.back(), Mode::Open);
    EXPECT_TRUE(dlg->Loaded()); // the main window restarts playback from step 1
    EXPECT_EQ(sinario.stepCount, 2);
    EXPECT_EQ(Steps(), (std::vector{Step(4), Step(1, -10)}));
    // The title stays as read; only the box drops the surrounding spaces.
    SinarioData fromFile;
    ASSERT_TRUE(mdlSinario::ReadSinarioFile(fromFile, path));
    EXPECT_EQ(sinario, fromFile);
    EXPECT_TRUE(mdlSinario::TitleText(sinario).startsWith("  蒸気圧の実験  "));
    EXPECT_EQ(dlg->txtTTl->text(), "蒸気圧の実験");
    EXPECT_EQ(Rows(*dlg), (QStringList{"描画されたグラフを消します。", "温度を -10 ℃ に設定します。"}));
}

TEST_F(ScenarioEditor, CancelOrAFailedReadChangesNothing)
{
    mdlSinario::SetTitle(sinario, "title");
    sinario.stepCount = 1;
    sinario.steps[1] = Step(2);
    const SinarioData before = sinario;

    QFile shortFile(dir.filePath("short.so1"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, 'x'));
    shortFile.close();
    // Any long file has a record's length: a picture is no scenario.
    QFile png(dir.filePath("写真.png"));
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    png.write(QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(5000, '\xff'));
    png.close();

    struct Case {
        QString path;
        QString said; // part of the message; empty: nothing is said
    } cases[] = {
        {QString(), {}},
        {dir.filePath("missing.so1"), "missing.so1"},
        {shortFile.fileName(), "2380 バイトですが、このファイルは 100 バイト"},
        {dir.path(), "シナリオファイルではありません"},
        {png.fileName(), "「" + QDir::toNativeSeparators(png.fileName()) + "」はシナリオデータとして読み込めません。\nステップ数が -1 です"},
    };
    for (const Case& c : cases) {
        const QString& path = c.path;
        SCOPED_TRACE(path.toStdString());
        auto dlg = Open(path);
        QStringList said;
        dlg->showMessage = [&](QWidget*, const QString&, const QString& text) { said << text; };
        Select(*dlg, 0);
        QTest::mouseClick(dlg->cmdLoad, Qt::LeftButton);
        EXPECT_FALSE(dlg->Loaded());
        if (c.said.isEmpty()) {
            EXPECT_TRUE(said.isEmpty());
        } else {
            ASSERT_EQ(said.size(), 1);
            EXPECT_TRUE(said[0].contains(c.said)) << said[0].toStdString();
        }
        EXPECT_EQ(sinario, before);
        EXPECT_EQ(dlg->txtTTl->text(), Padded("title"));
        EXPECT_EQ(Rows(*dlg), QStringList{"グラフを表示します。"});
        EXPECT_EQ(dlg->listSinario->selectedItems().size(), 1);
        dlg->close();
    }
    auto dlg = Open(QString());
    dlg->cmdSave->setFocus();
    QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
    EXPECT_EQ(sinario, before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"short.so1", "写真.png"}));
}

TEST_F(ScenarioEditor, EnterAndEscHaveNoEffectAndCloseKeepsEverything)
{
    auto dlg = Open();
    QTest::keyClicks(dlg->txtTTl, "t");
    for (QWidget* w : {static_cast<QWidget*>(dlg->txtTTl), static_cast<QWidget*>(dlg->cmdAdd1),
                       static_cast<QWidget*>(dlg->cmdClose), static_cast<QWidget*>(dlg->cmdDel)}) {
        w->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(w, key);
    }
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(sinario.stepCount, 0);
    QTest::mouseClick(dlg->cmdClose, Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(mdlSinario::TitleText(sinario), Padded("t"));
}

TEST_F(ScenarioEditor, AFailedSaveIsShownAndTheDialogStaysAsItWas)
{
    mdlSinario::SetTitle(sinario, "title");
    const SinarioData before = sinario;
    QDir(dir.path()).mkdir("folder.so1");
    const struct {
        QString path;
        const char* reason;
    } cases[] = {
        {dir.filePath("missing/lesson.so1"), "保存先のフォルダーがありません。"},
        {dir.filePath("folder.so1"), "同じ名前のフォルダーがあります。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        auto dlg = Open(c.path);
        QStringList shown;
        dlg->showMessage = [&](QWidget* parent, const QString& title, const QString& text) {
            EXPECT_EQ(parent, dlg.get());
            shown << title << text;
        };
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        ASSERT_EQ(shown.size(), 2);
        EXPECT_EQ(shown[0], "蒸気圧曲線");
        EXPECT_TRUE(shown[1].startsWith("シナリオを保存できませんでした。" + QString::fromUtf8(c.reason)))
            << shown[1].toStdString();
        EXPECT_TRUE(shown[1].contains(c.path)) << shown[1].toStdString();
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->txtTTl->text(), Padded("title"));
        EXPECT_EQ(sinario, before);
        dlg->close();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST_F(ScenarioEditor, ANameWithoutExtensionIsSavedAsSo1AskingBeforeReplacingIt)
{
    sinario.stepCount = 1;
    sinario.steps[1] = Step(4);
    const QString target = dir.filePath("授業1.so1");
    const struct {
        const char* what;
        bool exists;
        std::optional<bool> answer; // nothing: no question expected
        bool written;
    } cases[] = {
        {"new file", false, std::nullopt, true},
        {"existing file, kept", true, false, false},
        {"existing file, replaced", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(target);
        if (c.exists) {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(10, 'o'));
        }
        auto dlg = Open(dir.filePath("授業1"));
        int questions = 0;
        dlg->askYesNo = [&](QWidget*, const QString& title, const QString& text) {
            ++questions;
            EXPECT_EQ(title, "蒸気圧曲線");
            EXPECT_TRUE(text.contains(target)) << text.toStdString();
            return c.answer.value_or(true);
        };
        dlg->showMessage = [](QWidget*, const QString&, const QString& text) {
            ADD_FAILURE() << text.toStdString();
        };
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        EXPECT_EQ(questions, c.answer ? 1 : 0);
        EXPECT_EQ(QFile(target).size(), c.written ? 2380 : 10);
        EXPECT_FALSE(QFile::exists(dir.filePath("授業1")));
        dlg->close();
    }
}

TEST(ScenarioEditorFileDialog, SaveAsksBeforeReplacingAFile)
{
    EXPECT_FALSE(frmSinario::SaveDialogOptions().testFlag(QFileDialog::DontConfirmOverwrite));
}

// Every sample lesson is what a teacher gets by entering it in the editor: each step fits
// the boxes of its tab and is recorded by its "追加" button.
TEST_F(ScenarioEditor, EverySampleLessonCanBeEnteredInTheEditor)
{
    for (const lessonbook::Lesson& l : lessonbook::Lessons()) {
        SCOPED_TRACE(l.title.toStdString());
        sinario = {};
        auto dlg = Open();
        dlg->txtTTl->insert(l.title); // as typed: cut at the box's limit
        for (const SinarioStep& s : l.steps) {
            QPushButton* add = nullptr;
            switch (s.kind) {
            case mdlSinario::StepInit: {
                const std::pair<QLineEdit*, QString> boxes[] = {
                    {dlg->txtMol, QString::number(s.mol)},
                    {dlg->txtContainer, QString::number(s.container)},
                    {dlg->txtGrphWMin, QString::number(s.grphWMin)},
                    {dlg->txtGrphWMax, QString::number(s.grphWMax)},
                    {dlg->txtPressWMin, QString::number(s.grphHMin)},
                    {dlg->txtPressWMax, QString::number(s.grphHMax)}};
                for (const auto& [box, text] : boxes) {
                    box->clear();
                    box->insert(text);
                }
                dlg->cmbTempUnit->setCurrentIndex(s.temperatureUnit);
                dlg->cmbPressUnit->setCurrentIndex(s.pressureUnit);
                add = dlg->cmdAdd1;
                break;
            }
            case mdlSinario::StepTemp:
                dlg->txtTemp->clear();
                dlg->txtTemp->insert(QString::number(s.value));
                dlg->chkAddTemp->setChecked(s.addTemp != 0);
                add = dlg->cmdAdd2;
                break;
            case mdlSinario::StepGrphOn:
            case mdlSinario::StepGrphOff:
                (s.kind == mdlSinario::StepGrphOn ? dlg->OptGrphOn : dlg->optGrphOff)->setChecked(true);
                add = dlg->cmdAdd3;
                break;
            case mdlSinario::StepGrphCls:
                add = dlg->cmdAdd4;
                break;
            case mdlSinario::StepBussitu:
                dlg->cmbBussitu->setCurrentIndex(s.value);
                add = dlg->cmdAdd5;
                break;
            }
            ASSERT_NE(add, nullptr) << "kind " << s.kind;
            QTest::mouseClick(add, Qt::LeftButton);
        }
        QTest::mouseClick(dlg->cmdClose, Qt::LeftButton);
        EXPECT_EQ(sinario, lessonbook::Compose(l));
    }
}
