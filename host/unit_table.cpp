#include "unit_table.h"

#include <array>
#include <filesystem>
#include <iostream>

#include <QFileInfo>
#include <QString>

#include "common/ui/error_box.h"

namespace capacimo::host {
namespace {

// Diagnostics are single lines even when a loader message is not.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

void WriteToStderr(const std::string& line) { std::cerr << line << std::endl; }

std::string ExceptionText() { return currentExceptionMessage().toStdString(); }

template <typename Fn>
Fn Resolve(QLibrary& library, const char* name) {
    return reinterpret_cast<Fn>(library.resolve(name));
}

// Only regular files reach the loader: a FIFO would block it, a directory or
// device is no library. Empty for a regular file (or a link to one), else why
// the entry is none. (QFileInfo counts devices as files, hence std::filesystem.)
std::string NotARegularFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_type type = fs::status(path, error).type();
    if (type == fs::file_type::regular) return {};
    if (error == std::errc::too_many_symbolic_link_levels) return "a loop of symbolic links";
    if (type == fs::file_type::not_found && fs::is_symlink(fs::symlink_status(path, error))) {
        return "a symbolic link to nothing";
    }
    switch (type) {
    case fs::file_type::directory: return "a directory, not a file";
    case fs::file_type::fifo: return "a FIFO, not a file";
    case fs::file_type::socket: return "a socket, not a file";
    case fs::file_type::block:
    case fs::file_type::character: return "a device, not a file";
    default: return "not a regular file" + (error ? " (" + error.message() + ")" : std::string());
    }
}

}  // namespace

std::string StripUnitName(const std::string& text) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

CUnitTable::CUnitTable(Sinks sinks) : sinks_(std::move(sinks)) {
    if (!sinks_.diagnostic) sinks_.diagnostic = WriteToStderr;
    if (!sinks_.errorBox) {
        sinks_.errorBox = [](const std::string& message) { showErrorBox(nullptr, QString::fromStdString(message)); };
    }
    FindFile.Filter = kUnitFilter;
    // Directories and system entries (FIFOs, sockets, devices, links that lead
    // nowhere) named like a unit are looked at too, so that each is skipped
    // with a line that says why instead of without a word.
    FindFile.Attributes = ffReadOnly | ffHidden | ffArchive | ffSystem | ffDirectory;
}

CUnitTable::~CUnitTable() {
    for (auto& entry : entries_)
        if (entry.library) entry.library->unload();
}

bool CUnitTable::SearchUnits(const std::string& programDir) {
    std::string directory = programDir;
    if (directory.empty() || directory.back() != '/') directory += '/';

    // The program directory first, then its units subdirectory; not recursive.
    for (const std::string& searched : {directory, directory + kUnitSubdirectory}) {
        // A directory that is missing has nothing to offer; one that cannot be
        // read is worth a line.
        const QFileInfo info(QString::fromStdString(searched));
        if (info.isDir() && (!info.isReadable() || !info.isExecutable())) {
            sinks_.diagnostic(OneLine("Capacimo: skipped " + searched + ": the directory cannot be read"));
            continue;
        }
        FindFile.Directory = searched;
        FindFile.Execute();
        for (const auto& path : FindFile.Files()) LoadUnit(path);
    }

    return !entries_.empty();
}

bool CUnitTable::Reject(const std::string& path, const std::string& reason) {
    sinks_.diagnostic(OneLine("Capacimo: skipped " + path + ": " + reason));
    FreeUnit(entries_.size() - 1);
    entries_.pop_back();
    return false;
}

std::string CUnitTable::BindEntryPoints(UnitEntry& entry) {
    QLibrary& library = *entry.library;
    entry.GetUnitName = Resolve<GetUnitNameFn>(library, unit_api::kGetUnitName);
    entry.InitDll = Resolve<InitDllFn>(library, unit_api::kInitDll);
    entry.CloseDll = Resolve<CloseDllFn>(library, unit_api::kCloseDll);
    entry.ExecuteDLL = Resolve<ExecuteDLLFn>(library, unit_api::kExecuteDLL);
    std::string missing;
    if (!entry.GetUnitName) missing += std::string(" ") + unit_api::kGetUnitName;
    if (!entry.InitDll) missing += std::string(" ") + unit_api::kInitDll;
    if (!entry.CloseDll) missing += std::string(" ") + unit_api::kCloseDll;
    if (!entry.ExecuteDLL) missing += std::string(" ") + unit_api::kExecuteDLL;
    return missing;
}

std::string CUnitTable::NameOf(const UnitEntry& entry) {
    std::array<char, kUnitNameBufferSize> buffer{};
    entry.GetUnitName(buffer.data(), kUnitNameSizeArgument);
    // The unit's terminator is not trusted: the one at the size is ours.
    buffer[kUnitNameSizeArgument] = '\0';
    return StripUnitName(buffer.data());
}

bool CUnitTable::LoadUnit(const std::string& path) {
    entries_.emplace_back();
    try {
        // Only ever by full path: the loader must not go looking elsewhere.
        const std::string fullPath = std::filesystem::absolute(path).string();
        if (const std::string why = NotARegularFile(fullPath); !why.empty()) return Reject(path, why);

        UnitEntry& entry = entries_.back();
        entry.library = std::make_unique<QLibrary>(QString::fromStdString(fullPath));
        // All symbols now: a library that cannot be complete fails here, not at a later call.
        entry.library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!entry.library->load()) {
            return Reject(path, "cannot be loaded as a library (" + entry.library->errorString().toStdString() + ")");
        }
        const std::string missing = BindEntryPoints(entry);
        if (!missing.empty()) return Reject(path, "not a unit, missing entry point(s):" + missing);
        entry.name = NameOf(entry);
        if (entry.name.empty()) return Reject(path, "reports an empty name");
        if (sinks_.accepted) sinks_.accepted(entry.name);
        return true;
    } catch (...) {
        // A failure the unit raised is the user's to see; the file is then skipped like any other.
        const std::string message = ExceptionText();
        sinks_.errorBox(message);
        return Reject(path, "failed while loading: " + message);
    }
}

bool CUnitTable::FreeUnit(std::size_t index) {
    UnitEntry& entry = entries_.at(index);
    if (!entry.library || !entry.library->isLoaded()) return true;
    if (entry.library->unload()) return true;
    sinks_.errorBox(entry.library->errorString().toStdString());
    return false;
}

bool CUnitTable::FreeAllUnits() {
    for (std::size_t i = 0; i < entries_.size(); ++i) FreeUnit(i);
    return true;
}

void CUnitTable::RunUnit(std::size_t index, UnitWindowHandle parentWindow) {
    const UnitEntry& entry = entries_.at(index);
    bool prepared = false;
    try {
        prepared = entry.InitDll(parentWindow, -1, 0);
    } catch (...) {
        sinks_.errorBox(ExceptionText());
        return;  // the run ends; no CloseDll
    }
    if (prepared) {
        try {
            entry.ExecuteDLL();
        } catch (...) {
            sinks_.errorBox(ExceptionText());
        }
    }
    try {
        entry.CloseDll();
    } catch (...) {
        sinks_.errorBox(ExceptionText());
    }
}

int CUnitTable::IndexOfName(const std::string& name) const {
    const QString wanted = QString::fromStdString(name);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (QString::fromStdString(entries_[i].name).compare(wanted, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

}  // namespace capacimo::host
