// Runs the real capacimo-calc program: exit status, what goes to stdout and stderr.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

struct Outcome {
    int exitCode;
    QString out;
    QString err;
};

Outcome runCalc(const QStringList& args) {
    QProcess p;
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
}

TEST(CliProcess, BadInputExitsWithTwoAndOneLineOnStderr) {
    for (const QStringList& args : {QStringList{"--analog", "41"}, QStringList{"--nope"}, QStringList{"--card"},
                                    QStringList{"--group", "2:cycle=100ms"}}) {
        const auto o = runCalc(args);
        EXPECT_EQ(o.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
        EXPECT_EQ(o.err.count('\n'), 1) << o.err.toStdString();
        EXPECT_TRUE(o.err.startsWith("capacimo-calc: "));
    }
}

TEST(CliProcess, ValidationErrorIsNotBadInput) {
    const auto o = runCalc({"--analog", "3", "--analog-totalized", "5"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(o.out.startsWith("Error: To many analog totalizer!\n")) << o.out.toStdString();
}

TEST(CliProcess, HelpAndVersion) {
    const auto help = runCalc({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--group"));
    const auto version = runCalc({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("capacimo-calc "));
}

}  // namespace
