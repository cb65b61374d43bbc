// capacimo-calc with setup files and plants: what is saved opens to the same
// result, what is refused is refused whole, a plant's bad row costs only itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <filesystem>
#include <random>

#include "calculator/entries.h"
#include "tests/cli/run_calc.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QJsonObject jsonOf(const QString& text) { return QJsonDocument::fromJson(text.toUtf8()).object(); }

// Options for a setup with every entry drawn at random within its range.
QStringList randomSetupOptions(std::mt19937& random) {
    QStringList args;
    QStringList groups(capacimo::kGroups);
    for (const capacimo::Entry& entry : capacimo::entryTable()) {
        const int value = std::uniform_int_distribution<int>(0, entry.maximum)(random);
        const QString text = entry.isList() ? QString::fromStdString(entry.items[static_cast<std::size_t>(value)])
                                            : QString::number(value);
        const QString option = QString::fromStdString(entry.option);
        if (entry.page != capacimo::EntryPage::Group) {
            args << "--" + option << text;
        } else {
            QString& group = groups[entry.index];
            group += (group.isEmpty() ? QString::number(entry.index + 1) + ":" : ",") + option + "=" + text;
        }
    }
    for (const QString& group : groups) args << "--group" << group;
    return args;
}

TEST(CliSetup, OptionsOverrideTheFileAndASavedSetupOpensToTheSameResult) {
    QTemporaryDir dir;
    const QString saved = dir.filePath("a.capacimo");
    const auto first = runCalc({"--analog", "6", "--group", "2:cycle=1s,values=3", "--json", "--save-setup", saved});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const auto opened = runCalc({"--setup", saved, "--json"});
    EXPECT_EQ(opened.exitCode, 0);
    EXPECT_EQ(opened.out, first.out);
    // The echo alone, as a file of its own, opens to the same result too.
    const QString echo = dir.filePath("echo.capacimo");
    writeAll(echo, QJsonDocument(jsonOf(first.out)["setup"].toObject()).toJson());
    EXPECT_EQ(runCalc({"--setup", echo, "--json"}).out, first.out);

    const QJsonObject changed = jsonOf(runCalc({"--setup", saved, "--analog", "8", "--json"}).out)["setup"].toObject();
    EXPECT_EQ(changed["analog"].toInt(), 8);
    EXPECT_EQ(changed["groups"].toArray()[1].toObject()["values"].toInt(), 3);

    // A key left out takes its default, and says so.
    writeAll(dir.filePath("short.capacimo"),
             R"({"format": "capacimo-setup", "version": 1, "model": "Scribent S", "analog": 6})");
    const auto shortFile = runCalc({"--setup", dir.filePath("short.capacimo"), "--json"});
    EXPECT_EQ(shortFile.exitCode, 0);
    EXPECT_EQ(shortFile.err.count('\n'), 1);
    EXPECT_TRUE(shortFile.err.contains("card")) << shortFile.err.toStdString();
    EXPECT_EQ(jsonOf(shortFile.out)["setup"].toObject()["card"].toString(), "256 MB");
}

TEST(CliSetup, RandomSetupsSaveOpenAndSaveToTheSameBytes) {
    std::mt19937 random(20261208);
    QTemporaryDir dir;
    for (int i = 0; i < 4; ++i) {
        const QStringList options = randomSetupOptions(random);
        const QString a = dir.filePath("a.capacimo"), b = dir.filePath("b.capacimo");
        const auto direct = runCalc(options + QStringList{"--json", "--save-setup", a});
        ASSERT_EQ(direct.exitCode, 0) << options.join(' ').toStdString();
        const auto reopened = runCalc({"--setup", a, "--json", "--save-setup", b});
        EXPECT_EQ(reopened.out, direct.out) << options.join(' ').toStdString();
        EXPECT_EQ(readAll(b), readAll(a));
        EXPECT_TRUE(reopened.err.isEmpty()) << reopened.err.toStdString();
    }
}

TEST(CliSetup, RefusedFilesSayWhyInOneLineAndWriteNothing) {
    QTemporaryDir dir;
    const QByteArray head = R"({"format": "capacimo-setup", "version": 1, "model": "Scribent S", )";
    const struct {
        const char* file;
        QByteArray text;
        const char* reason;
    } cases[] = {
        {"text.capacimo", "analog = 4", "JSON"},
        {"unknown.capacimo", head + R"("analogue": 4})", "\"analogue\""},
        {"twice.capacimo", head + R"("analog": 4, "analog": 5})", "\"analog\""},
        {"big.capacimo", head + R"("name": ")" + QByteArray(1024 * 1024, 'x') + "\"}", "larger"},
    };
    for (const auto& c : cases) writeAll(dir.filePath(c.file), c.text);
    ASSERT_EQ(mkfifo(dir.filePath("fifo.capacimo").toLocal8Bit().constData(), 0600), 0);
    const QString saved = dir.filePath("saved.capacimo");
    auto refused = [&](const QString& file, const char* reason) {
        const auto o = runCalc({"--setup", dir.filePath(file), "--save-setup", saved});
        EXPECT_EQ(o.exitCode, 2) << file.toStdString();
        EXPECT_TRUE(o.out.isEmpty());
        EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
        EXPECT_TRUE(o.err.startsWith("capacimo-calc: " + dir.filePath(file) + ": ")) << o.err.toStdString();
        EXPECT_TRUE(o.err.contains(reason)) << o.err.toStdString();
        EXPECT_FALSE(QFile::exists(saved));
    };
    for (const auto& c : cases) refused(c.file, c.reason);
    refused("fifo.capacimo", "pipe");  // refused unopened: it would wait for a writer

    // A plant file refused whole writes no table, in none of the formats.
    writeAll(dir.filePath("both.csv"), "name;start,card\nA,2026-01-01,1GB\n");
    for (const QStringList& format : {QStringList{}, QStringList{"--csv"}, QStringList{"--json"}}) {
        const auto o = runCalc(QStringList{"--setup", dir.filePath("both.csv")} + format);
        EXPECT_EQ(o.exitCode, 2) << format.join(' ').toStdString();
        EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
        EXPECT_TRUE(o.err.contains("\",\" and \";\" separate its names")) << o.err.toStdString();
    }
}

// A plant with a name holding a comma, a byte order mark, CRLF line ends, an
// empty line and a row with a column too many.
const QByteArray kPlant =
    "\xEF\xBB\xBFname,analog,group1.cycle,group1.values\r\n"
    "\"Boiler house, north\",4,1s,4\r\n"
    "\r\n"
    "Kiln,2,10s,2,extra\r\n"
    "Press,8,1min,8\r\n";

TEST(CliSetup, APlantsBadRowIsReportedAndTheOthersCalculated) {
    QTemporaryDir dir;
    const QString plant = dir.filePath("plant.csv");
    writeAll(plant, kPlant);

    const auto csv = runCalc({"--setup", plant, "--csv", "--card", "1GB"});
    EXPECT_EQ(csv.exitCode, 2);
    EXPECT_TRUE(csv.err.contains(plant + ": line 4")) << csv.err.toStdString();
    const QStringList lines = csv.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << csv.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith("\"Boiler house, north\",1 GB,")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Press,1 GB,"));

    const auto json = runCalc({"--setup", plant, "--json", "--card", "1GB"});
    EXPECT_EQ(json.exitCode, 2);
    const QJsonArray records = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(records.size(), 2) << json.out.toStdString();
    EXPECT_EQ(records[0].toObject()["setup"].toObject()["name"].toString(), "Boiler house, north");
    // A row is calculated as the same setup given as options.
    const auto alone = runCalc({"--analog", "8", "--group", "1:cycle=1min,values=8", "--card", "1GB", "--json"});
    EXPECT_EQ(records[1].toObject()["results"], jsonOf(alone.out)["results"]);

    // The text table, and a bad file among several: the good ones still count.
    const auto text = runCalc({"--setup", plant, "--setup", dir.filePath("missing.capacimo")});
    EXPECT_EQ(text.exitCode, 2);
    EXPECT_TRUE(text.err.contains("missing.capacimo: no such file")) << text.err.toStdString();
    EXPECT_EQ(text.out.count('\n'), 3);
    EXPECT_TRUE(text.out.contains("Boiler house, north"));
}

// Numbers beyond any range, in a setup file or a plant's cell, are refused
// by name; a plant's other rows and files are calculated all the same.
TEST(CliSetup, NumbersBeyondAnyRangeAreRefusedAndThePlantGoesOn) {
    QTemporaryDir dir;
    const QString huge = dir.filePath("huge.capacimo");
    writeAll(huge, R"({"format": "capacimo-setup", "version": 1, "model": "Scribent S", "analog": 1e400})");
    const auto alone = runCalc({"--setup", huge});
    EXPECT_EQ(alone.exitCode, 2);
    EXPECT_EQ(alone.err, "capacimo-calc: " + huge + ": \"analog\": 1e400 is too large a number\n");
    EXPECT_TRUE(alone.out.isEmpty());

    const QString plant = dir.filePath("plant.csv");
    writeAll(plant, "name,card,analog,group1.values\nA,1GB,4,99999999999999999999\n,,,\nB,1GB,4,1\n");
    const auto rows = runCalc({"--setup", huge, "--setup", plant, "--csv"});
    EXPECT_EQ(rows.exitCode, 2);
    EXPECT_TRUE(rows.err.contains(plant + ": line 2, column group1.values: 99999999999999999999 is outside 0..8\n"))
        << rows.err.toStdString();
    EXPECT_TRUE(rows.err.contains(plant + ": line 3: every cell is empty; skipped\n")) << rows.err.toStdString();
    EXPECT_TRUE(rows.err.contains(huge + ": \"analog\": 1e400"));
    const QStringList lines = rows.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << rows.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith("B,1 GB,")) << lines[1].toStdString();
}

// A path that names no file, or names something that is no regular file, is
// refused; nothing is replaced or written through.
TEST(CliSetup, EmptyPathsAndWhatIsNoFileAreRefused) {
    for (const char* option : {"--setup", "--save-setup", "--report"}) {
        const auto o = runCalc({option, ""});
        EXPECT_EQ(o.exitCode, 2) << option;
        EXPECT_EQ(o.err, QStringLiteral("capacimo-calc: %1: empty path; name a file\n").arg(option));
        EXPECT_TRUE(o.out.isEmpty());
    }
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.pdf");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString target = dir.filePath("target.pdf");
    writeAll(target, "old");
    const QString link = dir.filePath("link.pdf");
    ASSERT_TRUE(QFile::link(target, link));
    for (const QString& path : {fifo, link}) {
        const auto o = runCalc({"--report", path});
        EXPECT_EQ(o.exitCode, 1);
        EXPECT_TRUE(o.err.startsWith("capacimo-calc: Could not write the report " + path + ": is a "))
            << o.err.toStdString();
        EXPECT_EQ(o.err.count('\n'), 1);
    }
    EXPECT_EQ(QFileInfo(fifo).isFile(), false);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_EQ(readAll(target), "old");
}

// Names that are not UTF-8 are read and written under the very bytes given.
TEST(CliSetup, FileNamesThatAreNotUtf8KeepTheirBytes) {
    QTemporaryDir dir;
    const QByteArray folder = dir.path().toUtf8();
    writeAll(dir.filePath("plain.csv"), "name,analog\nA,3\n");
    ASSERT_EQ(::rename(folder + "/plain.csv", folder + "/p\xFF.csv"), 0);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start("/bin/sh", {"-c",
                        "\"$0\" --analog 3 --save-setup \"$(printf 's\\377.capacimo')\" --report \"$(printf "
                        "'r\\351.pdf')\" >/dev/null && "
                        "\"$0\" --setup \"$(printf 's\\377.capacimo')\" --setup \"$(printf 'p\\377.csv')\" --json",
                        CAPACIMO_CALC_PATH});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(p.readAllStandardOutput()).array().size(), 2);
    for (const char* name : {"/s\xFF.capacimo", "/r\xE9.pdf", "/p\xFF.csv"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file((folder + name).toStdString())) << name;
        std::filesystem::remove((folder + name).toStdString());  // which QTemporaryDir cannot name
    }
}

// pdftotext spaces words as it sees fit: texts are compared without blanks.
QString squeezed(QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); }

QString runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(CliSetup, TheReportIsOnePageWithTheFiguresOfTheJson) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("boiler.pdf");
    const QStringList setup{"--analog", "6", "--group", "1:cycle=1s,values=6", "--analysis1", "1h", "--target", "26w"};
    // No display: the program draws on the offscreen platform by itself.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    p.setProcessEnvironment(env);
    p.start(CAPACIMO_CALC_PATH, setup + QStringList{"--json", "--report", pdf});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QJsonObject json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    EXPECT_TRUE(runTool("pdfinfo", {pdf}).contains(QRegularExpression("Pages: +1\n")));
    const QString text = squeezed(runTool("pdftotext", {"-layout", pdf, "-"}));
    const QJsonArray rows = json["results"].toArray();
    ASSERT_EQ(rows.size(), 2);
    for (const QJsonValue& row : rows) {
        const QJsonObject r = row.toObject();
        const QString caption = r["medium"].toString() + r["card"].toString();
        const QString wanted = squeezed(caption + QString::number(r["weeks"].toInt()) +
                                        QString::number(r["days"].toInt()) + QString::number(r["hours"].toInt()));
        EXPECT_TRUE(text.contains(wanted)) << wanted.toStdString() << " not in " << text.toStdString();
    }
}

// A display that has gone (a stale DISPLAY under cron) costs the report
// nothing, and a long name without blanks stays on the page.
TEST(CliSetup, TheReportNeedsNoDisplayAndKeepsALongNameOnThePage) {
    QTemporaryDir dir;
    const QString setup = dir.filePath("long.capacimo");
    writeAll(setup, R"({"format": "capacimo-setup", "version": 1, "model": "Scribent S", "name": ")" +
                        QByteArray("Kesselhaus") + QByteArray(60, 'W') + "\"}");
    const QString pdf = dir.filePath("long.pdf");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", ":99");
    env.insert("QT_QPA_PLATFORM", "xcb");
    const auto o = runCalc({"--setup", setup, "--report", pdf}, {}, env);
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    EXPECT_TRUE(o.err.contains("these take their defaults")) << o.err.toStdString();
    EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
    // Every word's box within the page, less its right margin (12 mm).
    const QString boxes = runTool("pdftotext", {"-bbox", pdf, "-"});
    const double width = QRegularExpression("<page width=\"([0-9.]+)\"").match(boxes).captured(1).toDouble();
    ASSERT_GT(width, 500);
    int words = 0;
    for (const auto& m : QRegularExpression("xMax=\"([0-9.]+)\"").globalMatch(boxes)) {
        EXPECT_LE(m.captured(1).toDouble(), width - 12 / 25.4 * 72 + 1) << boxes.toStdString();
        ++words;
    }
    EXPECT_GT(words, 100);
}

TEST(CliSetup, AReportThatCannotBeWrittenLeavesNothingBehind) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("read-only");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    // Permissions do not stop root; /proc is read-only to everyone.
    const QString target = (::geteuid() == 0 ? QStringLiteral("/proc") : folder) + "/report.pdf";
    const auto o = runCalc({"--report", target});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
    EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
    EXPECT_TRUE(o.err.startsWith("capacimo-calc: ") && o.err.contains(target)) << o.err.toStdString();
    EXPECT_TRUE(QDir(folder).isEmpty());
    EXPECT_FALSE(QFile::exists(target));
}

}  // namespace
