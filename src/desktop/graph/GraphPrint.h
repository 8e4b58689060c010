#pragma once
// The class's results on paper: one A4 page with the scenario's title, the report picture
// and the table of its points. The page is painted on any QPrinter, so a PDF file needs no
// dialog.
#include <QImage>
#include <QString>

#include "core/graph/mdlGrph.h"

class QPrinter;

namespace graph {

// Sets A4 portrait on printer. The points beyond what one page holds are left out, the
// newest kept, and the page says how many were left out.
void PreparePrinter(QPrinter& printer);
// False when the printer could not be started (no such printer, a file not writable).
bool PrintReport(QPrinter& printer, const QString& title, const QImage& picture,
                 const mdlGrph::PlotRecord& record);

} // namespace graph
