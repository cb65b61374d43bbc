// What the reports share: a PDF drawn into memory and written whole by the
// safe file writer, and a setup's one page, which a plant's report repeats
// for each of its recorders. Qt Gui only.
#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QString>
#include <functional>
#include <string_view>

#include "calculator/report/setup_report.h"

namespace capacimo::unit {

// The first page of a PDF, and the file's title and program.
struct PdfStart {
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QString title;
    QString version;  // the program's
};

// Draws the pages with draw (the painter is begun on the writer, which has
// the paper, orientation and margins of start), then writes them to path as
// a whole. Returns why it was refused, empty when it was written: it cannot
// be drawn anywhere but on a QGuiApplication's thread.
QString writePdf(const QString& path, const PdfStart& start, const std::function<void(QPdfWriter&, QPainter&)>& draw);

// The room inside the margins of the writer's current page, in its pixels.
QRectF pageArea(const QPdfWriter& writer);

// A setup's report on the painter's page, in area, at the largest text size
// at which it fits.
void drawSetupPage(QPainter& painter, const QRectF& area, const ReportInput& input);

// The PDF's title: "Scribent S: Boiler 1".
QString reportTitle(std::string_view name);

// "Could not write the report FILE: reason", from "FILE: reason".
QString reportFailure(const QString& fileAndReason);

}  // namespace capacimo::unit
