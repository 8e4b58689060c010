#include "desktop/graph/GraphPrint.h"

#include <vector>

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "core/graph/PrintLayout.h"
#include "desktop/platform/Fonts.h"

namespace graph {

namespace {

QRectF ToRect(const printlayout::Box& b)
{
    return QRectF(b.x, b.y, b.width, b.height);
}

QString Text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A font of the given height in tenths of a millimetre, the painter's unit.
QFont FontOf(int tenthsMm, bool bold)
{
    QFont f = platform::ProportionalFont(16, bold);
    f.setPixelSize(tenthsMm);
    return f;
}

} // namespace

void PreparePrinter(QPrinter& printer)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

bool PrintReport(QPrinter& printer, const QString& title, const QImage& picture,
                 const mdlGrph::PlotRecord& record)
{
    const QString shownTitle = title.trimmed();
    // The same rows as the CSV and the picture: points typed through stay out unless asked for.
    std::vector<std::size_t> rows;
    rows.reserve(record.Size());
    for (std::size_t i = 0; i < record.Size(); ++i)
        if (record.Exported(i)) rows.push_back(i);
    const printlayout::Page page =
        printlayout::LayoutPage(picture.width(), picture.height(), rows.size(), !shownTitle.isEmpty());
    QPainter p;
    if (!p.begin(&printer)) return false;
    // Tenths of a millimetre inside the margins, whatever the printer's resolution.
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    p.setViewport(0, 0, paint.width(), paint.height());
    p.setWindow(0, 0, printlayout::kContentWidth, printlayout::kContentHeight);
    p.setPen(Qt::black);

    if (!shownTitle.isEmpty()) {
        p.setFont(FontOf(70, true));
        p.drawText(ToRect(page.title), Qt::AlignLeft | Qt::AlignVCenter, shownTitle);
    }
    // The picture's pixel blocks stay sharp on paper.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(ToRect(page.picture), picture);

    const int cell = page.columnWidth;
    const int numberW = cell * 16 / 100, liquidW = cell * 34 / 100, tempW = cell * 22 / 100;
    auto drawRow = [&](const printlayout::Box& b, const QString& n, const QString& liquid,
                       const QString& temp, const QString& press) {
        QRectF r(b.x, b.y, numberW - 20, b.height);
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, n);
        r = QRectF(b.x + numberW, b.y, liquidW, b.height);
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, liquid);
        r = QRectF(b.x + numberW + liquidW, b.y, tempW - 20, b.height);
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, temp);
        r = QRectF(b.x + numberW + liquidW + tempW, b.y, cell - numberW - liquidW - tempW - 30, b.height);
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, press);
    };
    if (page.shown > 0) {
        p.setFont(FontOf(32, true));
        const int columnsUsed = static_cast<int>((page.shown + page.rowsPerColumn - 1) / page.rowsPerColumn);
        for (int c = 0; c < columnsUsed; ++c)
            drawRow({c * cell, page.table.y, cell, printlayout::kRowHeight}, QStringLiteral("番号"),
                    QStringLiteral("物質"), QStringLiteral("温度"), QStringLiteral("圧力"));
        p.drawLine(QPointF(0, page.table.y + printlayout::kRowHeight),
                   QPointF(columnsUsed * cell - 30, page.table.y + printlayout::kRowHeight));
        p.setFont(FontOf(32, false));
        for (std::size_t i = 0; i < page.shown; ++i) {
            const std::size_t at = rows[page.first + i];
            const mdlGrph::PlottedPoint& pt = record.At(at);
            drawRow(printlayout::RowBox(page, i), QString::number(record.NumberOf(at)),
                    Text(mdlGrph::LiquidName(pt.liquid)),
                    QString::number(pt.temperature) + Text(mdlGrph::TemperatureUnitName(pt.temperatureUnit)),
                    QString::fromStdString(pt.pressureText) + QLatin1Char(' ')
                        + Text(mdlGrph::PressureUnitName(pt.pressureUnit)));
        }
    }
    if (page.note.height > 0) {
        p.setFont(FontOf(30, false));
        p.drawText(ToRect(page.note), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("（古い %1 点は紙に収まらないため省略しました）").arg(page.first));
    }
    return p.end();
}

} // namespace graph
