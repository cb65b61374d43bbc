// Runs the real capacimo-calc program for the process tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <QString>
#include <QStringList>

struct Outcome {
    int exitCode;
    QString out;
    QString err;
};

// stdout: "" reads it; a path sends it to that file; "closed" starts the program without one.
inline Outcome runCalc(const QStringList& args, const QString& stdoutTo = {},
                       const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    if (stdoutTo == "closed") {
        p.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    } else if (!stdoutTo.isEmpty()) {
        p.setStandardOutputFile(stdoutTo);
    }
    p.start(CAPACIMO_CALC_PATH, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
