// Runs the real capacimo-calc program: exit status, what goes to stdout and stderr.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int exitCode;
    QString out;
    QString err;
};

// stdout: "" reads it; a path sends it to that file; "closed" starts the program without one.
Outcome runCalc(const QStringList& args, const QString& stdoutTo = {}) {
    QProcess p;
    if (stdoutTo == "closed") {
        p.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    } else if (!stdoutTo.isEmpty()) {
        p.setStandardOutputFile(stdoutTo);
    }
    p.start(CAPACIMO_CALC_PATH, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(CliProcess, DefaultsPrintTheResultTable) {
    const auto o = runCalc({});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(o.err.isEmpty()) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains("Internal memory")) << o.out.toStdString();
    EXPECT_TRUE(o.out.contains("1879"));
}

TEST(CliProcess, JsonIsOneObject) {
    const auto o = runCalc({"--json", "--card", "2GB"});
    EXPECT_EQ(o.exitCode, 0);
    QJsonParseError error;
    const auto doc = QJsonDocument::fromJson(o.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << o.out.toStdString();
    EXPECT_EQ(doc.object()["bytes_per_two_hours"].toInt(), 1130);
    EXPECT_EQ(doc.object()["format"].toString(), "capacimo-result");
}

TEST(CliProcess, BadInputExitsWithTwoAndOneLineOnStderr) {
    // A line break in a value stays inside the one line.
    for (const QStringList& args :
         {QStringList{"--analog", "41"}, QStringList{"--nope"}, QStringList{"--card"},
          QStringList{"--group", "2:cycle=100ms"}, QStringList{"--analog", "1\n2"},
          QStringList{"--group", "1:cycle=1s\r\nvalues=2"}, QStringList{"--no\npe"}, QStringList{"stray\nargument"}}) {
        const auto o = runCalc(args);
        EXPECT_EQ(o.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
        EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
        EXPECT_TRUE(o.err.startsWith("capacimo-calc: "));
    }
}

// A configuration with a problem is calculated: the problem goes to stderr
// (in JSON into the status), stdout holds the result alone.
TEST(CliProcess, ValidationErrorGoesToStderr) {
    const QStringList args{"--analog", "3", "--analog-totalized", "5"};
    const auto text = runCalc(args);
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.err, "capacimo-calc: Error: To many analog totalizer!\n");
    EXPECT_TRUE(text.out.startsWith("Result ")) << text.out.toStdString();
    const auto json = runCalc(args + QStringList{"--json"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_TRUE(json.err.isEmpty()) << json.err.toStdString();
    const QJsonObject status = QJsonDocument::fromJson(json.out.toUtf8()).object()["status"].toObject();
    EXPECT_EQ(status["level"].toString(), "error");
    EXPECT_EQ(status["text"].toString(), "Error: To many analog totalizer!");
}

// A result that cannot be written is a failure, not a silent success.
TEST(CliProcess, UnwritableOutputExitsWithOne) {
    for (const QStringList& args : {QStringList{}, QStringList{"--json"}, QStringList{"--help"}}) {
        const auto full = runCalc(args, "/dev/full");
        EXPECT_EQ(full.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(full.err, "capacimo-calc: cannot write the result: No space left on device\n");
        const auto closed = runCalc(args, "closed");
        EXPECT_EQ(closed.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(closed.err, "capacimo-calc: cannot write the result: Bad file descriptor\n");
    }
}

TEST(CliProcess, HelpAndVersion) {
    const auto help = runCalc({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--group"));
    const auto version = runCalc({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("capacimo-calc "));
    for (const char* shortOption : {"-V", "-v"}) EXPECT_EQ(runCalc({shortOption}).out, version.out) << shortOption;
}

}  // namespace

namespace {

// The command line reproduces what the dialog will show from stored entries.
TEST(CliProcess, FromSettingsReadsTheStoredEntriesWithTheDialogsRules) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    QDir(config.path()).mkpath("Ostrelwerk");
    QFile file(config.filePath("Ostrelwerk/Capacimo.conf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[ScribentS]\n"
        "Settings\\CFSize=3\n"
        "Settings\\Analysis2=9\n"
        "Settings\\Channels\\CountAnalog=55\n"
        "Settings\\Channels\\CountAnalogIntegr=50\n"
        "Settings\\Channels\\CountAnalogIC=2\n"
        "Settings\\Channels\\CountDigitalOnOff=abc\n"
        "Settings\\Group00\\SaveCycle=1\n"
        "Settings\\Group01\\SaveCycle=1\n"
        "Settings\\Group01\\CountGroupIV=-3\n");
    file.close();

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    p.setProcessEnvironment(env);
    p.start(CAPACIMO_CALC_PATH, {"--from-settings", "--json", "--group", "3:values=2"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QByteArray json = p.readAllStandardOutput();
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    // One dash, as the help's long options also accept, reads the store too.
    p.start(CAPACIMO_CALC_PATH, {"-from-settings", "-json", "-group", "3:values=2"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.readAllStandardOutput(), json);
    const QJsonArray results = o["results"].toArray();
    EXPECT_EQ(results[1].toObject()["card"].toString(), "2 GB");
    const QJsonArray groups = o["groups"].toArray();
    EXPECT_EQ(groups[0].toObject()["cycle"].toString(), "100ms");
    EXPECT_EQ(groups[1].toObject()["cycle"].toString(), "1s");
    EXPECT_EQ(groups[1].toObject()["channels"].toArray()[0].toInt(), -1);  // -3 became 0 values
    EXPECT_EQ(groups[2].toObject()["channels"].toArray()[1].toInt(), 1);
    // 55 analog channels became 40, the totalizers were cut to 38 beside the two counters.
    EXPECT_EQ(o["status"].toObject()["level"].toString(), "information");
    EXPECT_EQ(groups[3].toObject()["cycle"].toString(), "1min");
}

}  // namespace
