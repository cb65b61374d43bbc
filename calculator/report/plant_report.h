// A plant's report as one PDF: a summary of its recorders, one row each
// (name, card, both durations, the days each medium is full, the day to read
// it out by and the state), soonest read-out first, on landscape pages with
// the header row on every page; then each recorder's one-page report in the
// same order. Every page says "page i of n". capacimo-calc --report and the
// desktop's plant window write it here. Qt Gui only.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <QString>
#include <span>

#include "calculator/plant/plant.h"
#include "calculator/report/setup_report.h"

namespace capacimo::unit {

struct PlantReportInput {
    std::span<const PlantRecorder> recorders;  // in the plant's order
    std::span<const RecorderRow> rows;         // rows[i] is the row of recorders[i]
    PlantTerms terms;                          // what the rows were judged against
    QDateTime when;
    QString version;  // the program's
    QPageSize::PageSizeId paper = reportPaperFor(QLocale());
};

// Writes the report: completely, or, when the file cannot be written, not at
// all. Returns why it was not written, empty when it was, as every writer of
// the product's files does. Needs a QGuiApplication (for its fonts), and its
// thread. Calculates each recorder once more for its page.
QString writePlantReportPdf(const QString& path, const PlantReportInput& input);

}  // namespace capacimo::unit
