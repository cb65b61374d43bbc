#include "find_file.h"

#include <QDir>
#include <QString>

namespace capacimo::host {

void TFindFile::Execute() {
    mask_ = Attributes;
    files_.clear();
    if (!Directory.empty()) SearchCurrentDirectory(Directory);
}

void TFindFile::SearchCurrentDirectory(std::string directory) {
    if (directory.empty() || directory.back() != '/') directory += '/';
    // Regular files (and links to them) always; the mask adds hidden entries,
    // system entries (FIFOs, sockets, devices) and directories. The pattern
    // ignores letter case; "*.*" means every name, also those without a dot.
    QDir::Filters filters = QDir::Files | QDir::NoDotAndDotDot;
    if (mask_ & ffHidden) filters |= QDir::Hidden;
    if (mask_ & ffSystem) filters |= QDir::System;
    if (mask_ & ffDirectory) filters |= QDir::Dirs;
    const QString pattern = Filter == "*.*" ? QStringLiteral("*") : QString::fromStdString(Filter);
    // Listed by name, ignoring case, so that the load order does not depend on
    // the file system.
    const QDir dir(QString::fromStdString(directory), pattern, QDir::Name | QDir::IgnoreCase, filters);
    for (const QString& name : dir.entryList()) files_.push_back(directory + name.toStdString());
}

}  // namespace capacimo::host
