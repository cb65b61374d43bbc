#include "cli/plant.h"

#include <QFileInfo>
#include <filesystem>
#include <fstream>
#include <memory>

#include "calculator/duration.h"
#include "calculator/files/result_record.h"
#include "calculator/plant/plant_csv.h"
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

// One run over a plant: every recorder on one calculator, one row each.
class PlantRun {
public:
    PlantRun(const Options& o, const CalculatorEntries& start, const Sink& out, const Say& say)
        : o_(o),
          start_(start),
          say_(say),
          writer_(o.json  ? Format::Json
                  : o.csv ? Format::Csv
                          : Format::Text,
                  out) {}

    PlantOutcome run() {
        if (!write(writer_.header())) return outcome_;
        // Without files, the options alone describe one recorder.
        if (o_.setupPaths.isEmpty() && !write(writer_.row(makeResultRecord(*calculator_, o_.entries, o_.result)))) {
            return outcome_;
        }
        for (const QString& path : o_.setupPaths) {
            if (!(isPlantCsv(path) ? csvFile(path) : setupFile(path))) return outcome_;
        }
        write(writer_.end());
        return outcome_;
    }

private:
    // Each of these is false once a row did not arrive: nothing more is written.
    bool write(bool arrived) {
        if (!arrived) outcome_.cannotWrite = true;
        return arrived;
    }
    bool calculate(const SetupFile& file, std::string_view name) {
        return write(writer_.row(makeResultRecord(*calculator_, entriesOf(file, start_, o_), o_.result, name)));
    }
    void refuse(const std::string& line) {
        say_(line);
        outcome_.badInput = true;
    }

    bool setupFile(const QString& path) {
        const SetupReadResult read = readSetupFile(path);
        if (!read.setup) {
            refuse(read.error);
            return true;
        }
        if (const std::string left = defaultedText(*read.setup); !left.empty()) say_(text(path) + ": " + left);
        return calculate(*read.setup, read.setup->name.empty() ? fileName(path) : read.setup->name);
    }

    bool csvFile(const QString& path) {
        const std::string shown = text(path);
        if (const QString problem = unreadableFile(path, kSetupKind); !problem.isEmpty()) {
            refuse(text(problem));
            return true;
        }
        std::ifstream in(std::filesystem::path(fileNameBytes(path)), std::ios::binary);
        if (!in) {
            refuse(shown + ": cannot be opened");
            return true;
        }
        PlantCsvReader reader(in);
        if (!reader.fileError().empty()) {
            refuse(shown + ": " + reader.fileError());
            return true;
        }
        // Columns a header leaves out are left out of every row: said once,
        // and again only for a row that leaves out something else.
        std::string lastLeft;
        for (PlantRow row; reader.next(row);) {
            if (!row.note.empty()) {
                say_(shown + ": " + row.note);
            } else if (!row.setup) {
                refuse(shown + ": " + row.error);
            } else {
                if (std::string left = defaultedText(*row.setup); !left.empty() && left != lastLeft) {
                    say_(shown + ": line " + std::to_string(row.line) + ": " + left);
                    lastLeft = std::move(left);
                }
                if (!calculate(*row.setup, row.setup->name)) return false;
            }
        }
        if (in.bad()) refuse(shown + ": could not be read to its end");
        return true;
    }

    const Options& o_;
    const CalculatorEntries& start_;
    const Say& say_;
    RowWriter writer_;
    PlantOutcome outcome_;
    const std::unique_ptr<Calculator> calculator_ = std::make_unique<Calculator>();
};

}  // namespace

bool isPlantCsv(const QString& path) { return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive); }

bool isPlant(const Options& o) {
    return o.csv || o.setupPaths.size() > 1 || (o.setupPaths.size() == 1 && isPlantCsv(o.setupPaths.first()));
}

PlantOutcome runPlant(const Options& o, const CalculatorEntries& start, const Sink& out, const Say& say) {
    return PlantRun(o, start, out, say).run();
}

}  // namespace capacimo::cli
