// The one-page report of a recorder setup for a plant's documentation: the
// entries as the calculator dialog groups them, the durations, the days
// where the recorder has a start, the status, where the bytes go and, with a
// retention target, what reaches it. The dialog's "Save report...",
// capacimo-calc --report and each recorder's page of a plant's report are
// written here.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <QString>
#include <optional>
#include <string>

#include "calculator/files/result_record.h"
#include "calculator/plant/plant.h"

namespace capacimo::unit {

// A4, or Letter where the locale measures in US units.
QPageSize::PageSizeId reportPaperFor(const QLocale& locale);

// A recorder's days as its page shows them beside its durations: the start
// and, where there are some, the days each medium is full, the day to read
// it out by, and its state.
struct ReportDays {
    std::optional<CalendarDate> start;
    RecorderDates dates;
};

struct ReportInput {
    // The setup's name (may be empty) is the record's. The breakdown is
    // calculated for the report when the record has none.
    ResultRecord record;
    QDateTime when;
    QString version;  // the program's
    QPageSize::PageSizeId paper = reportPaperFor(QLocale());
    // A recorder of a plant, or a setup with a start: its days.
    std::optional<ReportDays> days;
};

// Writes the report as a one-page PDF: completely, or, when the file cannot be
// written, not at all. Returns why it was not written, empty when it was.
// Needs a QGuiApplication (for its fonts), and its thread.
QString writeReportPdf(const QString& path, const ReportInput& input);

}  // namespace capacimo::unit
