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
    // With a scenario: what it is, and normal operation's durations beside.
    const bool scenario = result.hasScenario();
    if (scenario) lines << QStringLiteral("Scenario\t") + qText(scenarioText(result.alarmShare, result.cardReserve));
    lines << QString();
    QStringList header;
    for (std::string_view caption : kResultColumns) header << qText(caption);
    if (scenario) header << qText(kNormalOperationColumn);
    lines << header.join(u'\t');
    for (Medium medium : kMedia) {
        const bool card = medium == Medium::Card;
        const StorageDuration& d = card ? result.card : result.internal;
        QString line = QStringLiteral("%1\t%2\t%3\t%4")
                           .arg(QString::fromStdString(resultRowCaption(medium, entries.cardItem)))
                           .arg(d.weeks)
                           .arg(d.days)
                           .arg(d.hours);
        if (scenario) line += u'\t' + qText(durationText(card ? result.normalCard : result.normalInternal));
        lines << line;
    }
    lines << QString();
    for (const Entry& entry : entryTable())
        lines << QString::fromStdString(entryLabel(entry) + '\t' + entryValueText(entry, entries));
    return lines.join(u'\n') + u'\n';
}

}  // namespace capacimo::unit
