// The setup file the calculator dialog has open: its name and its entries as
// they were opened or last saved (a change of an entry marks the title
// changed until it is saved), the folder of the last file opened or saved,
// and the one step Ctrl+Z takes back over a Reset, a file open or a plant's
// recorder shown in the dialog.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calculator/entries.h"
#include "calculator/files/setup_file.h"

namespace capacimo::unit {

class SetupDocument {
public:
    // Reads a setup file: whole from the disk and judged by the setup file's
    // reader, unless replaced (tests make one fail).
    using Reader = std::function<SetupReadResult(const QString& path)>;

    SetupDocument();
    void setReader(Reader reader) { read_ = std::move(reader); }

    bool isOpen() const { return state_.open; }
    const QString& name() const { return state_.name; }
    // Where the last file was opened or saved, for this session.
    const QString& folder() const { return folder_; }
    void usedFile(const QString& path);

    // "Scribent S", or with the open setup's name: "Scribent S - Boiler house[*]".
    QString title(const QString& model) const;
    // The entries differ from those of the open setup as it was opened or last saved.
    bool isChanged(const CalculatorEntries& now) const { return state_.open && now != state_.saved; }

    // The setup in a file, or why it cannot be read; a folder that gave a
    // file is remembered (one that fails, a directory of the kernel's say,
    // is never offered again).
    SetupReadResult read(const QString& path);
    // The dialog shows `shown`, read from path: the open setup, named by the
    // file or, when it names none, by the file's name.
    void opened(const QString& path, const SetupFile& setup, const CalculatorEntries& shown);
    // Writes the entries as the open setup's file (named as the open setup,
    // or after the file): why it was not written, empty when it was.
    QString save(const QString& path, const CalculatorEntries& entries);

    // Before every entry is replaced: what Ctrl+Z brings back, with `now`.
    void rememberForUndo(const CalculatorEntries& now);
    bool canUndo() const { return undo_.has_value(); }
    // The entries to show again, the setup as it was before the replacement
    // restored; nothing when there is no step to take back.
    std::optional<CalculatorEntries> undo();

    // The status line's note of the keys a file lacked, the first few by
    // name so that it stays one line.
    static std::string defaultedNote(const std::vector<std::string>& keys);

private:
    struct State {
        QString name;
        bool open = false;
        CalculatorEntries saved;
    };
    // What a replacement of the entries replaced.
    struct Replaced {
        CalculatorEntries entries;
        State state;
    };
    Reader read_;
    State state_;
    QString folder_;
    std::optional<Replaced> undo_;
};

}  // namespace capacimo::unit
