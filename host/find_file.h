// TFindFile: one-level directory search with a name pattern and an
// attribute mask.
#pragma once

#include <string>
#include <vector>

namespace capacimo::host {

// Attribute bits. On this platform an entry whose name starts with "." is
// hidden; anything that is neither a regular file nor a directory (FIFO,
// socket, device) counts as a system entry; directories are directories.
enum TAttrOption : unsigned {
    ffReadOnly = 1,
    ffHidden = 2,
    ffSystem = 4,
    ffVolumeID = 8,
    ffDirectory = 16,
    ffArchive = 32,
};
using TAttrOptions = unsigned;  // an OR of TAttrOption bits

class TFindFile {
public:
    std::string Directory;
    std::string Filter = "*.*";
    TAttrOptions Attributes = ffReadOnly | ffHidden | ffSystem | ffArchive;

    // Full paths found by the last Execute.
    const std::vector<std::string>& Files() const { return files_; }

    // Searches Directory (not its subdirectories) and replaces Files.
    void Execute();
    // Appends the matching entries of one directory to Files.
    void SearchCurrentDirectory(std::string directory);

private:
    unsigned mask_ = 0;
    std::vector<std::string> files_;
};

}  // namespace capacimo::host
