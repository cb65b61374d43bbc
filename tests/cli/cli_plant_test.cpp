// capacimo-calc with a plant's days: the days each medium is full and the
// read-out day, held against Qt's own calendar; a bad cell costs only
// itself; the calendar, the saved plant and the report made of the rows.
#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "tests/cli/run_calc.h"

namespace {

// A spreadsheet's file in a German locale: BOM, CRLF and semicolons.
const QByteArray kPlant =
    "\xEF\xBB\xBFname;start;target;medium;card;analog;group1.cycle\r\n"
    "Boiler 1;2026-01-05;26w;sd;1 GB;4;1s\r\n"
    "Boiler 2;2026-02-30;;;256 MB;8;1s\r\n"
    "Press;14.11.2026;;;2 GB;2;10s\r\n"
    "Boiler 1;;0w;;512 MB;1;1min\r\n"
    "Kiln;2026-12-01;;;256 MB;40;100ms\r\n";

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "37 w 0 d 10 h" in hours
int hoursOf(const QString& duration) {
    const auto m = QRegularExpression("^(\\d+) w (\\d+) d (\\d+) h$").match(duration);
    return m.hasMatch() ? (m.captured(1).toInt() * 7 + m.captured(2).toInt()) * 24 + m.captured(3).toInt() : -1;
}

QDate dayOf(const QString& text) { return QDate::fromString(text, Qt::ISODate); }

TEST(CliPlant, DaysFollowTheCalendarBadCellsCostOnlyThemselvesAndRowsSortByReadOut) {
    QTemporaryDir dir;
    const QString plant = writeFile(dir, "plant.csv", kPlant);
    const auto o =
        runCalc({"--setup", plant, "--csv", "--today", "2026-12-08", "--margin", "10", "--sort", "read-out"});
    EXPECT_EQ(o.exitCode, 2);
    const QStringList said = o.err.split('\n', Qt::SkipEmptyParts);
    for (const QString& line : {plant + ": line 3, column start: 2026-02-30 is not a day: February 2026 has 28 days",
                                plant + ": line 5, column target: 0w keeps nothing; a target is at least 1h",
                                plant + ": line 5: \"Boiler 1\" is also the name of line 2; both are kept"}) {
        EXPECT_TRUE(said.contains("capacimo-calc: " + line)) << o.err.toStdString();
    }
    const QStringList lines = o.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << o.out.toStdString();
    EXPECT_EQ(lines[0], "name,card,internal,sd,status,internal_full_on,sd_full_on,read_out_by,state");
    const QMap<QString, QDate> starts{{"Boiler 1", {2026, 1, 5}}, {"Press", {2026, 11, 14}}, {"Kiln", {2026, 12, 1}}};
    QStringList names;
    QStringList states;
    QDate previous;
    for (const QString& line : lines.mid(1)) {
        const QStringList c = line.split(',');
        ASSERT_EQ(c.size(), 9) << line.toStdString();
        names << c[0];
        states << c[8];
        if (!starts.contains(c[0]) || c[1] == "512 MB") {  // the second Boiler 1 has no start
            EXPECT_TRUE(c[5].isEmpty() && c[6].isEmpty() && c[7].isEmpty()) << line.toStdString();
            continue;
        }
        const QDate start = starts[c[0]];
        const QDate internal = start.addDays(hoursOf(c[2]) / 24);
        const QDate sd = start.addDays(hoursOf(c[3]) / 24);
        EXPECT_EQ(dayOf(c[5]), internal) << line.toStdString();
        EXPECT_EQ(dayOf(c[6]), sd) << line.toStdString();
        EXPECT_EQ(dayOf(c[7]), std::min(internal, sd).addDays(-10)) << line.toStdString();
        EXPECT_TRUE(!previous.isValid() || previous <= dayOf(c[7]));
        previous = dayOf(c[7]);
    }
    // Rows without a read-out day come last, in the file's order.
    EXPECT_EQ(names, QStringList({"Boiler 1", "Kiln", "Press", "Boiler 2", "Boiler 1"}));
    EXPECT_EQ(states, QStringList({"overdue", "due", "ok", "no_start", "no_start"}));

    // The text table shows the days when any recorder has one.
    const auto text = runCalc({"--setup", plant, "--today", "2026-12-08"});
    EXPECT_TRUE(
        text.out.contains(QRegularExpression("^Name +Card +Internal memory +SD Card +Full on \\(internal\\) +"
                                             "Full on \\(SD\\) +Read out by +State +Status\n")))
        << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QRegularExpression("\nBoiler 1 .* 2026-09-14 +Overdue\n"))) << text.out.toStdString();

    // In JSON a recorder with a target of its own carries the plan that reaches it; the others none.
    const auto json = runCalc({"--setup", plant, "--json", "--today", "2026-12-08"});
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 5) << json.out.toStdString();
    const QJsonObject plan = rows[0].toObject()["plan"].toObject();
    EXPECT_EQ(plan["medium"].toString(), "sd");
    EXPECT_EQ(plan["target_hours"].toInt(), 26 * 7 * 24);
    for (const auto& row : rows.toVariantList().mid(1)) EXPECT_FALSE(row.toMap().contains("plan"));
}

TEST(CliPlant, TheCalendarTheSavedPlantAndTheReportAreMadeOfTheSameRows) {
    QTemporaryDir dir;
    const QString plant = writeFile(dir, "plant.csv", kPlant);
    const QString ics = dir.filePath("plant.ics");
    const QString saved = dir.filePath("saved.csv");
    const QString pdf = dir.filePath("plant.pdf");
    const QStringList day{"--today", "2026-12-08"};
    const auto o =
        runCalc(QStringList{"--setup", plant, "--json", "--ics", ics, "--save-setup", saved, "--report", pdf} + day);
    EXPECT_EQ(o.exitCode, 2) << o.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(o.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 5) << o.out.toStdString();

    // One event per recorder with a read-out day, on that day, its lines folded and ended by CRLF.
    const QByteArray calendar = readFile(ics);
    EXPECT_EQ(calendar.count("BEGIN:VEVENT"), 3);
    for (const QJsonValue& row : rows) {
        const QJsonValue readOut = row.toObject()["read_out_by"];
        if (readOut.isNull()) continue;
        const QByteArray start = "DTSTART;VALUE=DATE:" + readOut.toString().remove('-').toUtf8() + "\r\n";
        EXPECT_TRUE(calendar.contains(start)) << start.toStdString();
    }
    EXPECT_TRUE(calendar.contains("TRIGGER:-P7D\r\n"));
    for (const QByteArray& line : calendar.split('\n')) EXPECT_LE(line.size(), 76);

    // The saved plant gives the same rows again, with the cells that were
    // refused written back as they were (and refused again), and saves to
    // the same bytes.
    EXPECT_TRUE(o.err.endsWith(saved + ": 2 cells that could not be read are written back as they were\n"))
        << o.err.toStdString();
    const auto first = runCalc(QStringList{"--setup", plant, "--csv"} + day);
    const auto again = runCalc(QStringList{"--setup", saved, "--csv", "--save-setup", dir.filePath("again.csv")} + day);
    EXPECT_EQ(again.exitCode, 2) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains(saved + ": line 3, column start: 2026-02-30 is not a day"))
        << again.err.toStdString();
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(readFile(dir.filePath("again.csv")), readFile(saved));
    EXPECT_TRUE(readFile(saved).startsWith("name,start,target,medium,card,analog,"));

    // The summary on one landscape page, then one page per recorder.
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(infoText.contains(QRegularExpression("Pages: +6\n"))) << infoText.toStdString();
    EXPECT_TRUE(infoText.contains(QRegularExpression("Page size: +842 x 595 pts"))) << infoText.toStdString();

    const auto refused = runCalc({"--setup", plant, "--save-setup", dir.filePath("plant.capacimo")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "capacimo-calc: --save-setup: a plant is saved as a plant CSV; name a FILE.csv\n");
}

TEST(CliPlant, OneSetupWithAStartHasItsDaysAndTheMarginIsChecked) {
    const QStringList setup{"--analog", "8",          "--group", "1:cycle=1s,values=8",
                            "--start",  "14.03.2026", "--today", "2026-03-20",
                            "--margin", "0"};
    const auto json = runCalc(setup + QStringList{"--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const QJsonArray results = o["results"].toArray();
    ASSERT_EQ(results.size(), 2);
    const QJsonObject internal = results[0].toObject();
    const int hours = (internal["weeks"].toInt() * 7 + internal["days"].toInt()) * 24 + internal["hours"].toInt();
    const QDate fullOn = QDate(2026, 3, 14).addDays(hours / 24);
    EXPECT_EQ(dayOf(o["internal_full_on"].toString()), fullOn);
    EXPECT_EQ(o["state"].toString(), fullOn <= QDate(2026, 3, 20) ? "overdue" : "ok");

    const auto text = runCalc(setup);
    EXPECT_TRUE(text.out.contains("\nRead out by         " + o["read_out_by"].toString() + "\n"))
        << text.out.toStdString();
    EXPECT_FALSE(runCalc({"--analog", "8"}).out.contains("Read out by"));
    // Its report carries the days too.
    QTemporaryDir dir;
    const QString pdf = dir.filePath("one.pdf");
    ASSERT_EQ(runCalc(setup + QStringList{"--report", pdf}).exitCode, 0);
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString page = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(page.contains(QRegularExpression("Read out by +" + o["read_out_by"].toString()))) << page.toStdString();
    EXPECT_TRUE(page.contains(QRegularExpression("Start +2026-03-14")));

    for (const char* margin : {"-1", "366"}) {
        const auto bad = runCalc({"--margin", margin});
        EXPECT_EQ(bad.exitCode, 2);
        EXPECT_EQ(bad.err, QString("capacimo-calc: --margin: '%1' is not accepted; use a whole number of days from 0 "
                                   "to 365\n")
                               .arg(margin));
    }
    const auto badDay = runCalc({"--start", "2026 1 5"});
    EXPECT_EQ(badDay.exitCode, 2);
    EXPECT_EQ(badDay.err,
              "capacimo-calc: --start: 2026 1 5 is not a date such as 2026-03-14, 2026/03/14, 14.03.2026 "
              "or 14.03.26\n");
}

// Nothing a run reads is written over, and no output over another; a row
// that cannot be read is kept for the saved plant, in its place.
TEST(CliPlant, NoOutputWritesOverAFileOfTheRunAndUnreadRowsAreSavedBack) {
    QTemporaryDir dir;
    const QByteArray text = "name,start,analog\nA,2026-01-05,1\nK\xF6ln 1,01/02/27,2\nB,2026-01-05,41\nC,,3\n";
    const QString plant = writeFile(dir, "plant.csv", text);
    const QString other = dir.filePath("out.ics");
    const QString clashes[][4] = {{"--ics", plant, "--report", other},
                                  {"--report", dir.filePath("./plant.csv"), "--ics", other},
                                  {"--save-setup", plant, "--ics", other},
                                  {"--ics", other, "--report", other}};
    for (const auto& c : clashes) {
        const auto o = runCalc({"--setup", plant, c[0], c[1], c[2], c[3]});
        EXPECT_EQ(o.exitCode, 2) << o.err.toStdString();
        EXPECT_TRUE(o.err.startsWith("capacimo-calc: --")) << o.err.toStdString();
        EXPECT_TRUE(o.err.contains("is also the file of --")) << o.err.toStdString();
        EXPECT_EQ(o.err.count('\n'), 1);
        EXPECT_EQ(readFile(plant), text);
        EXPECT_FALSE(QFile::exists(other));
    }

    // A Windows-1252 row is read as such, with a note; the rows that cannot
    // be read are kept in their places, and a refused start as it was.
    const QString saved = dir.filePath("saved.csv");
    const auto o =
        runCalc({"--setup", plant, "--csv", "--save-setup", saved, "--today", "2026-03-01", "--sort", "READ"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_TRUE(o.err.contains("line 3: the bytes are not UTF-8; read as Windows-1252")) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains("\nK\xC3\xB6ln 1,")) << o.out.toStdString();
    const QList<QByteArray> lines = readFile(saved).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[2].startsWith("K\xC3\xB6ln 1,01/02/27,,,")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("B,2026-01-05,,,,41,")) << lines[3].toStdString();
    EXPECT_TRUE(lines[4].startsWith("\"C\",,")) << lines[4].toStdString();  // after a kept row: quoted
    EXPECT_TRUE(o.err.endsWith(": 1 row and 1 cell that could not be read are written back as they were\n"));

    // The text table in line whatever a name's characters, a long one cut.
    const QString names = writeFile(dir, "names.csv",
                                    "name,start\nGr\xC3\xBCne Linie 11 \xE2\x80\x93 \xC3\x96lkessel,2026-03-01\n"
                                    "\xE7\x95\x8C\xE7\x95\x8C,2026-03-01\nA name far longer than thirty characters,\n");
    const QStringList table = runCalc({"--setup", names, "--today", "2026-03-14"}).out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(table.size(), 4);
    for (const QString& line : table.mid(1)) {
        // The card begins in the same column (Qt counts "界" as one, a terminal two).
        const int wide = line.count(QChar(0x754C));
        EXPECT_EQ(line.indexOf("256 MB") + wide, table[0].indexOf("Card")) << line.toStdString();
    }
    EXPECT_TRUE(table[3].startsWith(QString::fromUtf8("A name far longer than thirty\xE2\x80\xA6")))
        << table[3].toStdString();

    // A file's name with control characters is named with escapes, never raw.
    const QString odd = writeFile(dir, "odd\x1b[31m.csv", "name\nA\n\"B\n");
    const auto escaped = runCalc({"--setup", odd, "--csv"});
    EXPECT_FALSE(escaped.err.contains('\x1b')) << escaped.err.toStdString();
    EXPECT_TRUE(escaped.err.contains("odd\\x1b[31m.csv: line 3")) << escaped.err.toStdString();
}

}  // namespace
