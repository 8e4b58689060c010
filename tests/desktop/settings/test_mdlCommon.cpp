#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "desktop/settings/mdlCommon.h"

using mdlCommon::LimitInputLength;

namespace {

// A line edit in a shown, active window, so that typed keys reach it.
struct Box {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
    explicit Box(int limit)
    {
        LimitInputLength(edit, limit);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }
};

} // namespace

TEST(LimitInputLength, RefusesTypingBeyondTheLimit)
{
    Box b(3);
    QTest::keyClicks(b.edit, "1234");
    EXPECT_EQ(b.edit->text(), "123");
    // Room made by deleting can be filled again.
    QTest::keyClick(b.edit, Qt::Key_Backspace);
    QTest::keyClicks(b.edit, "98");
    EXPECT_EQ(b.edit->text(), "129");
}

// As a system text limit does: the paste keeps its first characters, as many as fit.
TEST(LimitInputLength, APasteKeepsItsFirstCharactersUpToTheLimit)
{
    const struct {
        const char* text;
        int selectFrom, selectLength; // cursor at selectFrom when selectLength is 0
        QString pasted;
        const char* after;
    } cases[] = {
        {"", 0, 0, "12345", "1234"},
        {"ab", 2, 0, "12345", "ab12"},
        {"ab", 1, 0, "XYZ", "aXYb"},
        {"abcd", 1, 2, "12345", "a12d"},
        {"abcd", 4, 0, "1", "abcd"},
        {"xy", 2, 0, QStringLiteral("a😀"), "xya"}, // no half of a surrogate pair
    };
    Box b(4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + std::string(" + ") + c.pasted.toStdString());
        b.edit->setText(QString::fromUtf8(c.text));
        if (c.selectLength > 0) b.edit->setSelection(c.selectFrom, c.selectLength);
        else b.edit->setCursorPosition(c.selectFrom);
        QGuiApplication::clipboard()->setText(c.pasted);
        b.edit->paste();
        EXPECT_EQ(b.edit->text(), QString::fromUtf8(c.after));
    }
    // After a cut paste the cap still holds for typing.
    b.edit->setText("");
    QGuiApplication::clipboard()->setText("123456");
    b.edit->paste();
    QTest::keyClicks(b.edit, "9");
    EXPECT_EQ(b.edit->text(), "1234");
}

TEST(LimitInputLength, ShowsProgramTextInFullAndLetsTheUserShortenIt)
{
    Box b(3);
    b.edit->setText("22.5");
    EXPECT_EQ(b.edit->text(), "22.5");
    QTest::keyClick(b.edit, Qt::Key_End);
    QTest::keyClicks(b.edit, "1");
    EXPECT_EQ(b.edit->text(), "22.5");
    QTest::keyClick(b.edit, Qt::Key_Backspace);
    EXPECT_EQ(b.edit->text(), "22.");
    QTest::keyClicks(b.edit, "7");
    EXPECT_EQ(b.edit->text(), "22.");

    // Undoing back to the program's text shows it again, and the cap still holds after.
    b.edit->undo();
    EXPECT_EQ(b.edit->text(), "22.5");
    QTest::keyClick(b.edit, Qt::Key_End);
    QTest::keyClicks(b.edit, "9");
    EXPECT_EQ(b.edit->text(), "22.5");

    // A long text set after typing is shown in full as well.
    b.edit->setText("123456789");
    EXPECT_EQ(b.edit->text(), "123456789");
    QTest::keyClicks(b.edit, "0");
    EXPECT_EQ(b.edit->text(), "123456789");
    // Shortening is allowed while the text is still over the cap.
    QTest::keyClick(b.edit, Qt::Key_Backspace);
    EXPECT_EQ(b.edit->text(), "12345678");
    QTest::keyClick(b.edit, Qt::Key_Home);
    QTest::keyClick(b.edit, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClicks(b.edit, "9"); // replaces the selection: shorter than before
    EXPECT_EQ(b.edit->text(), "9");
}

TEST(LimitInputLength, CapsTheTextFieldOfAnEditableComboBox)
{
    QWidget window;
    auto* combo = new QComboBox(&window);
    combo->setEditable(true);
    combo->addItem("a very long item text");
    LimitInputLength(combo, 4);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(combo->currentText(), "a very long item text");
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), "abcdef");
    EXPECT_EQ(combo->currentText(), "abcd");
}

TEST(LimitInputLength, LeavesOtherControlsAloneAndCanBeLiftedOrChanged)
{
    QLabel label("some text");
    LimitInputLength(&label, 2);
    LimitInputLength(nullptr, 2);
    EXPECT_EQ(label.text(), "some text");

    QComboBox list; // no text field
    LimitInputLength(&list, 2);
    EXPECT_EQ(list.lineEdit(), nullptr);

    Box b(2);
    LimitInputLength(b.edit, 3); // a second call changes the cap, it does not stack
    QTest::keyClicks(b.edit, "1234");
    EXPECT_EQ(b.edit->text(), "123");
    LimitInputLength(b.edit, 0);
    QTest::keyClicks(b.edit, "4567");
    EXPECT_EQ(b.edit->text(), "1234567");
    EXPECT_EQ(b.edit->validator(), nullptr);
}
