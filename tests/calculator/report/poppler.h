// Runs one of poppler's tools (pdfinfo, pdftotext, pdffonts) on a report.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Its output; empty when it failed.
inline QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}
