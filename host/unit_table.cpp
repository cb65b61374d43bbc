#include "unit_table.h"

#include <sys/stat.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <iostream>

#include <QString>

#include "common/error_box.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace capacimo::host {
namespace {

// Thin layer over the platform's library loader.
#if defined(_WIN32)
void* OpenLibrary(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) error = "LoadLibrary failed with error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}
void* LibrarySymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
bool CloseLibrary(void* module, std::string& error) {
  if (FreeLibrary(static_cast<HMODULE>(module))) return true;
  error = "FreeLibrary failed with error " + std::to_string(GetLastError());
  return false;
}
#else
std::string LastLoaderError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown loader error";
}
void* OpenLibrary(const std::string& path, std::string& error) {
  // RTLD_NOW: a library with unresolved symbols fails here, not at a later call.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) error = LastLoaderError();
  return module;
}
void* LibrarySymbol(void* module, const char* name) { return dlsym(module, name); }
bool CloseLibrary(void* module, std::string& error) {
  if (dlclose(module) == 0) return true;
  error = LastLoaderError();
  return false;
}
#endif

template <typename Fn>
Fn BindEntryPoint(void* module, const char* name) {
  void* symbol = LibrarySymbol(module, name);
  Fn fn = nullptr;
  static_assert(sizeof fn == sizeof symbol);
  std::memcpy(&fn, &symbol, sizeof fn);
  return fn;
}

// Diagnostics are single lines even when a loader message is not.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

void WriteToStderr(const std::string& line) { std::cerr << line << std::endl; }

std::string ExceptionText() { return currentExceptionMessage().toStdString(); }

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
  FindFile.Attributes = ffReadOnly | ffHidden | ffArchive;
}

CUnitTable::~CUnitTable() {
  for (auto& entry : entries_) {
    if (entry.module == nullptr) continue;
    std::string error;
    CloseLibrary(entry.module, error);
    entry.module = nullptr;
  }
}

bool CUnitTable::SearchUnits(const std::string& programDir) {
  std::string directory = programDir;
  if (directory.empty() || directory.back() != '/') directory += '/';

  // The program directory first, then its units subdirectory; not recursive.
  for (const std::string& searched : {directory, directory + kUnitSubdirectory}) {
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

bool CUnitTable::LoadUnit(const std::string& path) {
  entries_.emplace_back();
  try {
    // Only ever by full path: the loader must not go looking elsewhere.
    const std::string fullPath = std::filesystem::absolute(path).string();

    // Only regular files are handed to the loader; opening a FIFO would block.
    struct stat info {};
    if (stat(fullPath.c_str(), &info) != 0) return Reject(path, "cannot be examined");
    if (!S_ISREG(info.st_mode)) return Reject(path, "not a regular file");

    std::string error;
    entries_.back().module = OpenLibrary(fullPath, error);
    UnitEntry& entry = entries_.back();
    if (entry.module == nullptr) return Reject(path, "cannot be loaded as a library (" + error + ")");

    entry.GetUnitName = BindEntryPoint<GetUnitNameFn>(entry.module, unit_api::kGetUnitName);
    entry.InitDll = BindEntryPoint<InitDllFn>(entry.module, unit_api::kInitDll);
    entry.CloseDll = BindEntryPoint<CloseDllFn>(entry.module, unit_api::kCloseDll);
    entry.ExecuteDLL = BindEntryPoint<ExecuteDLLFn>(entry.module, unit_api::kExecuteDLL);
    std::string missing;
    if (!entry.GetUnitName) missing += std::string(" ") + unit_api::kGetUnitName;
    if (!entry.InitDll) missing += std::string(" ") + unit_api::kInitDll;
    if (!entry.CloseDll) missing += std::string(" ") + unit_api::kCloseDll;
    if (!entry.ExecuteDLL) missing += std::string(" ") + unit_api::kExecuteDLL;
    if (!missing.empty()) return Reject(path, "not a unit, missing entry point(s):" + missing);

    std::array<char, kUnitNameBufferSize> buffer{};
    entry.GetUnitName(buffer.data(), kUnitNameSizeArgument);
    // The unit's terminator is not trusted: the one at the size is ours.
    buffer[kUnitNameSizeArgument] = '\0';
    const std::string name = StripUnitName(buffer.data());
    if (name.empty()) return Reject(path, "reports an empty name");

    entry.name = name;
    if (sinks_.accepted) sinks_.accepted(name);
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
  if (entry.module == nullptr) return true;
  void* module = entry.module;
  entry.module = nullptr;
  std::string error;
  if (CloseLibrary(module, error)) return true;
  sinks_.errorBox(error);
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
  const QString wanted = QString::fromLocal8Bit(name);
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (QString::fromLocal8Bit(entries_[i].name).compare(wanted, Qt::CaseInsensitive) == 0)
      return static_cast<int>(i);
  return -1;
}

}  // namespace capacimo::host
