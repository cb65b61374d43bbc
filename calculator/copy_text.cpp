#include "calculator/copy_text.h"

#include <QStringList>

#include "calculator/text/vocabulary.h"
#include "common/qt_text.h"

namespace capacimo::unit {

QString plainResultsText(const CopyHeading& heading, const CalculationResult& result,
                         const CalculatorEntries& entries) {
    QStringList lines{QStringLiteral("Model\t") + qText(kModelName), QStringLiteral("Program\t") + heading.program,
                      QStringLiteral("Date\t") + heading.date.toString(Qt::ISODate)};
    if (!heading.status.isEmpty()) lines << QStringLiteral("Status\t") + heading.status;
    lines << QString();
    QStringList header;
    for (std::string_view caption : kResultColumns) header << qText(caption);
    lines << header.join(u'\t');
    for (Medium medium : kMedia) {
        const StorageDuration& d = medium == Medium::Card ? result.card : result.internal;
        lines << QStringLiteral("%1\t%2\t%3\t%4")
                     .arg(QString::fromStdString(resultRowCaption(medium, entries.cardItem)))
                     .arg(d.weeks)
                     .arg(d.days)
                     .arg(d.hours);
    }
    lines << QString();
    for (const Entry& entry : entryTable())
        lines << QString::fromStdString(entryLabel(entry) + '\t' + entryValueText(entry, entries));
    return lines.join(u'\n') + u'\n';
}

}  // namespace capacimo::unit
