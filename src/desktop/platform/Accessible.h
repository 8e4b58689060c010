#pragma once
// What a screen reader is told beyond what Qt's own interfaces tell: drop-downs named by
// what they are for, the pictures as pictures, and words said about a control.
#include <QString>

class QWidget;

namespace platform {

// Installs, once, the interfaces that (on Linux, where Qt names a drop-down by its current
// item) name a drop-down by its accessible name where it has one, with its item as its
// value; that make a picture button a push button, checked while its state is on; and that
// give the field's picture the role of an image, the graph that of a chart.
void InstallAccessibleInterfaces();

// Sets what a control says besides its name, which assistive technology is told changed;
// nothing when it says that already.
void Describe(QWidget& widget, const QString& text);

} // namespace platform
