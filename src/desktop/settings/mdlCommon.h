#pragma once
// What the dialogs share: the cap on typed text and their handling of Enter and Esc.
#include <QString>
#include <QValidator>

#include <functional>

#include "core/settings/SystemSettings.h"

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace mdlCommon {

// Caps what the user types or pastes into a line edit, or into the edit field of an
// editable combo box, at maxLength characters. Text the program sets is shown in full,
// however long, and the user may still shorten it. maxLength <= 0 lifts the cap. Any
// other kind of control is left alone.
void LimitInputLength(QWidget* control, int maxLength);

// The program's name as its main window's caption shows it: the title of its message boxes.
inline const QString kProgramCaption = QStringLiteral("蒸気圧曲線");

// A warning with an OK button, and a question answered Yes or No (No by default), modal
// over parent. The dialogs hold them as replaceable functions, so tests can answer.
using MessageBoxFn = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
using QuestionFn = std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
void ShowWarning(QWidget* parent, const QString& title, const QString& text);
bool AskYesNo(QWidget* parent, const QString& title, const QString& text);

// True for Enter, Return and Esc: keys that have no special effect in the dialogs, which
// have neither a default nor a cancel button.
bool IsDialogKey(const QKeyEvent& e);

// The eight boxes that show the settings, in the settings dialog and on the editor's first tab.
struct SettingsBoxes {
    QLineEdit* mol;
    QLineEdit* container;
    QComboBox* temperatureUnit;
    QComboBox* pressureUnit;
    QLineEdit* grphWMin;
    QLineEdit* grphWMax;
    QLineEdit* grphHMin;
    QLineEdit* grphHMax;
};

// Fills the boxes as the settings file writes numbers; a unit the lists do not hold shows
// their first entry.
void FillSettingsBoxes(const SettingsBoxes& boxes, const SystemSettings& s);

// The validator behind LimitInputLength. A user edit that would leave the text longer than
// the cap and longer than it was keeps as much of what was inserted (typed, pasted,
// dropped) as fits, from its first character; a text set by the program passes.
class LengthLimiter : public QValidator {
    Q_OBJECT
public:
    LengthLimiter(QLineEdit& edit, int maxLength);
    int maxLength() const { return maxLength_; }
    void setMaxLength(int maxLength) { maxLength_ = maxLength; }
    State validate(QString& input, int& pos) const override;

private:
    QLineEdit& edit_;
    int maxLength_;
    QString before_; // the text as last shown
};

} // namespace mdlCommon
