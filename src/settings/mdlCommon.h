#pragma once
// What the dialogs share: the cap on typed text and their handling of Enter and Esc.
#include <QValidator>

#include "settings/SystemSettings.h"

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

// The validator behind LimitInputLength. It refuses a user edit that leaves the text
// longer than the cap and longer than it was; a text set by the program passes.
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
    qsizetype before_; // length of the text as last shown
};

} // namespace mdlCommon
