#include "calculator/setup_document.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "common/qt_text.h"
#include "common/safe_file.h"

namespace capacimo::unit {

SetupDocument::SetupDocument()
    : read_([](const QString& path) {
          const FileRead file = readWholeFile(path, kSetupKind, kSetupFileLimit);
          SetupReadResult read = file.ok() ? readSetupText(file.bytes) : SetupReadResult{std::nullopt, file.error};
          if (file.ok() && !read.setup) read.error = fileFailure(path, qText(read.error)).toStdString();
          return read;
      }) {}

void SetupDocument::usedFile(const QString& path) { folder_ = QFileInfo(path).absolutePath(); }

QString SetupDocument::title(const QString& model) const {
    return state_.open ? QStringLiteral("%1 - %2[*]").arg(model, state_.name) : model;
}

SetupReadResult SetupDocument::read(const QString& path) {
    SetupReadResult read = read_(path);
    if (read.setup) usedFile(path);
    return read;
}

void SetupDocument::opened(const QString& path, const SetupFile& setup, const CalculatorEntries& shown) {
    state_ = {setup.name.empty() ? QFileInfo(path).completeBaseName() : QString::fromStdString(setup.name), true,
              shown};
}

QString SetupDocument::save(const QString& path, const CalculatorEntries& entries) {
    const QString name = state_.open ? state_.name : QFileInfo(path).completeBaseName();
    const QString error = writeWholeFile(path, writeSetupText(entries, name.toStdString()));
    if (!error.isEmpty()) return error;
    usedFile(path);
    state_ = {name, true, entries};
    return {};
}

void SetupDocument::rememberForUndo(const CalculatorEntries& now) { undo_ = Replaced{now, state_}; }

std::optional<CalculatorEntries> SetupDocument::undo() {
    if (!undo_) return std::nullopt;
    Replaced before = *std::exchange(undo_, std::nullopt);
    state_ = std::move(before.state);
    return std::move(before.entries);
}

std::string SetupDocument::defaultedNote(const std::vector<std::string>& keys) {
    constexpr std::size_t kNamed = 3;
    std::string text = "Not in the file, so set as by Reset: ";
    for (std::size_t i = 0; i < std::min(keys.size(), kNamed); ++i) text += (i > 0 ? ", " : "") + keys[i];
    if (keys.size() > kNamed) text += " and " + std::to_string(keys.size() - kNamed) + " more";
    return text + '.';
}

}  // namespace capacimo::unit
