#include "cli/plant.h"

#include <QFileInfo>
#include <filesystem>
#include <fstream>
#include <memory>

#include "calculator/duration.h"
#include "calculator/files/plant_csv.h"
#include "calculator/files/result_record.h"
#include "calculator/text/vocabulary.h"
#include "cli/report.h"
#include "common/safe_file.h"

namespace capacimo::cli {
namespace {

enum class Format { Text, Csv, Json };

// The text table is written while the rows are still being read, so its
// columns cannot be measured first: they are as wide as their widest usual
// text. The name column holds a recorder's name as the recorder itself
// shows it (30 characters); a longer name widens its own row only.
constexpr int kNameWidth = 30;
constexpr int kCardWidth = 6;       // "256 MB"
constexpr int kDurationWidth = 16;  // "10000 w 6 d 23 h"

// A text cell of the CSV results, which are made to be opened in a spreadsheet.
std::string cell(std::string_view text) { return csvField(spreadsheetText(text)); }

const char* const kNameCaption = "Name";
const char* const kCardCaption = "Card";
const char* const kStatusCaption = "Status";

// Writes the rows in one format: a header, one row per recorder, an end.
class RowWriter {
public:
    RowWriter(Format format, const Sink& out) : format_(format), out_(out) {}

    bool header() {
        switch (format_) {
        case Format::Text:
            return out_(tableLine({{kNameCaption, -kNameWidth},
                                   {kCardCaption, -kCardWidth},
                                   {std::string(mediumCaption(Medium::Internal)), -kDurationWidth},
                                   {std::string(mediumCaption(Medium::Card)), -kDurationWidth},
                                   {kStatusCaption, 0}}));
        case Format::Csv:
            return out_(std::string("name,card,") + std::string(mediumId(Medium::Internal)) + "," +
                        std::string(mediumId(Medium::Card)) + ",status\n");
        case Format::Json: return true;
        }
        return true;
    }

    bool row(const ResultRecord& r) {
        const std::string card = cardSizeText(r.entries.cardItem);
        const std::string internal = durationText(r.result.internal);
        const std::string sd = durationText(r.result.card);
        ++rows_;
        switch (format_) {
        case Format::Text:
            return out_(tableLine({{r.name, -kNameWidth},
                                   {card, -kCardWidth},
                                   {internal, -kDurationWidth},
                                   {sd, -kDurationWidth},
                                   {r.status.text, 0}}));
        case Format::Csv:
            return out_(cell(r.name) + "," + cell(card) + "," + internal + "," + sd + "," + cell(r.status.text) + "\n");
        case Format::Json: return out_((rows_ == 1 ? "[\n" : ",\n") + resultObject(r).dump());
        }
        return true;
    }

    bool end() {
        if (format_ != Format::Json) return true;
        return out_(rows_ == 0 ? "[]\n" : "\n]\n");
    }

private:
    Format format_;
    const Sink& out_;
    std::size_t rows_ = 0;
};

std::string text(const QString& s) { return s.toStdString(); }

// The file's name without its folder: what a setup without a name of its own is called.
std::string fileName(const QString& path) { return text(QFileInfo(path).fileName()); }

}  // namespace

bool isPlantCsv(const QString& path) { return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive); }

bool isPlant(const Options& o) {
    return o.csv || o.setupPaths.size() > 1 || (o.setupPaths.size() == 1 && isPlantCsv(o.setupPaths.first()));
}

PlantOutcome runPlant(const Options& o, const CalculatorEntries& start, const Sink& out, const Say& say) {
    PlantOutcome outcome;
    RowWriter writer(o.json ? Format::Json : o.csv ? Format::Csv : Format::Text, out);
    auto write = [&](bool arrived) {
        if (!arrived) outcome.cannotWrite = true;
        return arrived;
    };
    // One calculator for every recorder of the plant.
    const auto calculator = std::make_unique<Calculator>();
    auto calculate = [&](const SetupFile& file, std::string_view name) {
        return write(writer.row(makeResultRecord(*calculator, entriesOf(file, start, o), o.result, name)));
    };
    if (!write(writer.header())) return outcome;
    if (o.setupPaths.isEmpty()) {
        // The options alone describe one recorder.
        if (!write(writer.row(makeResultRecord(*calculator, o.entries, o.result)))) return outcome;
    }
    for (const QString& path : o.setupPaths) {
        const std::string shown = text(path);
        if (!isPlantCsv(path)) {
            const SetupReadResult read = readSetupFile(path);
            if (!read.setup) {
                say(read.error);
                outcome.badInput = true;
                continue;
            }
            if (const std::string left = defaultedText(*read.setup); !left.empty()) say(shown + ": " + left);
            if (!calculate(*read.setup, read.setup->name.empty() ? fileName(path) : read.setup->name)) return outcome;
            continue;
        }
        if (const QString problem = unreadableFile(path, kSetupKind); !problem.isEmpty()) {
            say(text(problem));
            outcome.badInput = true;
            continue;
        }
        std::ifstream in(std::filesystem::path(fileNameBytes(path)), std::ios::binary);
        if (!in) {
            say(shown + ": cannot be opened");
            outcome.badInput = true;
            continue;
        }
        PlantCsvReader reader(in);
        if (!reader.fileError().empty()) {
            say(shown + ": " + reader.fileError());
            outcome.badInput = true;
            continue;
        }
        // Columns a header leaves out are left out of every row: said once,
        // and again only for a row that leaves out something else.
        std::string lastLeft;
        for (PlantRow row; reader.next(row);) {
            if (!row.note.empty()) {
                say(shown + ": " + row.note);
                continue;
            }
            if (!row.setup) {
                say(shown + ": " + row.error);
                outcome.badInput = true;
                continue;
            }
            if (std::string left = defaultedText(*row.setup); !left.empty() && left != lastLeft) {
                say(shown + ": line " + std::to_string(row.line) + ": " + left);
                lastLeft = std::move(left);
            }
            if (!calculate(*row.setup, row.setup->name)) return outcome;
        }
        if (in.bad()) {
            say(shown + ": could not be read to its end");
            outcome.badInput = true;
        }
    }
    write(writer.end());
    return outcome;
}

}  // namespace capacimo::cli
