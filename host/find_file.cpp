#include "find_file.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace capacimo::host {

bool MatchesFilter(const std::string& name, const std::string& filter) {
  // "*.*" means every entry, also names without a dot.
  const std::string pattern = filter == "*.*" ? std::string("*") : filter;
  return fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

void TFindFile::Execute() {
  mask_ = Attributes;
  files_.clear();
  if (!Directory.empty()) SearchCurrentDirectory(Directory);
}

void TFindFile::SearchCurrentDirectory(std::string directory) {
  if (directory.empty() || directory.back() != '/') directory += '/';
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return;

  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    if (!MatchesFilter(name, Filter)) continue;

    // stat, not open: a FIFO is never opened, so the search cannot block.
    struct stat info {};
    if (stat((directory + name).c_str(), &info) != 0) continue;  // dangling link, vanished entry
    const bool isDirectory = S_ISDIR(info.st_mode);
    const bool isSystem = !isDirectory && !S_ISREG(info.st_mode);
    const bool isHidden = name[0] == '.';
    if (isDirectory && !(mask_ & ffDirectory)) continue;
    if (isSystem && !(mask_ & ffSystem)) continue;
    if (isHidden && !(mask_ & ffHidden)) continue;
    names.emplace_back(name);
  }
  closedir(dir);

  // readdir has no useful order; list by name, ignoring case, so that the
  // load order does not depend on the file system.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int c = strcasecmp(a.c_str(), b.c_str());
    return c != 0 ? c < 0 : a < b;
  });
  for (const auto& name : names) files_.push_back(directory + name);
}

}  // namespace capacimo::host
