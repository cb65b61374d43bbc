#include "cli/plant.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>

#include "calculator/duration.h"
#include "calculator/files/result_record.h"
#include "calculator/files/text_encoding.h"
#include "calculator/plant/plant_calendar.h"
#include "calculator/plant/plant_csv.h"
#include "calculator/plant/plant_file.h"
#include "calculator/report/plant_report.h"
#include "calculator/text/vocabulary.h"
#include "cli/report.h"
#include "common/safe_file.h"

namespace capacimo::cli {
namespace {

enum class Format { Text, Csv, Json };

// The text table is written while the rows are still being read, so its
// columns cannot be measured first: they are as wide as their widest usual
// text, counted in the columns a terminal shows. The name column holds a
// recorder's name as the recorder itself shows it (30 characters); a longer
// name is cut there, with "…".
constexpr int kNameWidth = 30;
constexpr int kCardWidth = 6;       // "256 MB"
constexpr int kDurationWidth = 16;  // "10000 w 6 d 23 h"
constexpr int kDayWidth = 10;       // "2027-03-14", "after 9999"

// A text cell of the CSV results, which are made to be opened in a spreadsheet.
std::string cell(std::string_view text) { return csvField(spreadsheetText(text)); }

// A recorder's result, then its status, then its days and state.
constexpr PlantColumn kResultColumns[] = {PlantColumn::Name, PlantColumn::Card, PlantColumn::Internal, PlantColumn::Sd};
constexpr PlantColumn kDayColumns[] = {PlantColumn::InternalFullOn, PlantColumn::SdFullOn, PlantColumn::ReadOutBy,
                                       PlantColumn::State};
// The status line's message, which only the command line's rows show.
constexpr std::string_view kStatusId = "status";
constexpr std::string_view kStatusCaption = "Status";

std::string caption(PlantColumn column) { return std::string(plantColumnCaption(column)); }

int dayWidth(PlantColumn column) { return -std::max(kDayWidth, static_cast<int>(plantColumnCaption(column).size())); }

// One recorder as the run calculated it. A plant that is sorted or written
// to files is kept whole until its end, so a row keeps only what is written
// of it: the whole result record, setup image included, is twelve times the
// size of the rest and made a plant of 1000 rows three times as slow.
struct Evaluated {
    PlantRecorder recorder;
    RecorderRow row;
    std::string json;  // the JSON object of its whole result, for --json only
};

Format formatOf(const Options& o) { return o.json ? Format::Json : o.csv ? Format::Csv : Format::Text; }

// Writes the rows in one format: a header, one row per recorder, an end.
class RowWriter {
public:
    RowWriter(Format format, const Sink& out) : format_(format), out_(out) {}

    // dated: the text table shows the days too; CSV and JSON always do.
    bool header(bool dated) {
        dated_ = dated;
        switch (format_) {
        case Format::Text:
            return out_(tableLine(withDays(
                {{caption(PlantColumn::Name), -kNameWidth},
                 {caption(PlantColumn::Card), -kCardWidth},
                 {caption(PlantColumn::Internal), -kDurationWidth},
                 {caption(PlantColumn::Sd), -kDurationWidth}},
                [](PlantColumn c) { return caption(c); }, std::string(kStatusCaption))));
        case Format::Csv: {
            std::string line;
            for (const PlantColumn column : kResultColumns) line += std::string(plantColumnId(column)) + ",";
            line += kStatusId;
            for (const PlantColumn column : kDayColumns) {
                line += ',';
                line += plantColumnId(column);
            }
            return out_(line + "\n");
        }
        case Format::Json: return true;
        }
        return true;
    }

    // The JSON object of a recorder's whole result, with its days.
    std::string jsonOf(const ResultRecord& record, const RecorderDates& dates) const {
        if (format_ != Format::Json) return {};
        nlohmann::ordered_json object = resultObject(record);
        object.update(datesObject(dates));
        return object.dump();
    }

    bool row(const Evaluated& e) {
        const RecorderRow& r = e.row;
        const std::string card = cardSizeText(r.cardItem);
        const std::string internal = durationText(r.result.internal);
        const std::string sd = durationText(r.result.card);
        ++rows_;
        switch (format_) {
        case Format::Text:
            return out_(tableLine(withDays(
                {{cutToWidth(r.name, kNameWidth), -kNameWidth},
                 {card, -kCardWidth},
                 {internal, -kDurationWidth},
                 {sd, -kDurationWidth}},
                [&r](PlantColumn c) { return cellText(r, c); }, r.status.text)));
        case Format::Csv: {
            std::string line = cell(r.name) + "," + cell(card) + "," + internal + "," + sd + "," + cell(r.status.text);
            for (const PlantColumn column : kDayColumns) {
                line += ",";
                line +=
                    column == PlantColumn::State ? std::string(recorderStateId(r.dates.state)) : cellText(r, column);
            }
            return out_(line + "\n");
        }
        case Format::Json: return out_((rows_ == 1 ? "[\n" : ",\n") + e.json);
        }
        return true;
    }

    bool end() {
        if (format_ != Format::Json) return true;
        return out_(rows_ == 0 ? "[]\n" : "\n]\n");
    }

private:
    // The text table's cells: the first ones, the days where it shows them, the status last.
    template <typename DayText>
    std::vector<Cell> withDays(std::vector<Cell> cells, DayText day, std::string status) const {
        if (dated_) {
            for (const PlantColumn column : kDayColumns) cells.push_back({day(column), dayWidth(column)});
        }
        cells.push_back({std::move(status), 0});
        return cells;
    }

    Format format_;
    const Sink& out_;
    bool dated_ = false;
    std::size_t rows_ = 0;
};

std::string text(const QString& s) { return s.toStdString(); }

bool endsIn(const QString& path, std::string_view extension) {
    return path.endsWith(QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size())),
                         Qt::CaseInsensitive);
}

// The file's name without its folder: what a setup without a name of its own is called.
std::string fileName(const QString& path) { return text(QFileInfo(path).fileName()); }

// One run over a plant: every recorder on one calculator, one row each.
class PlantRun {
public:
    PlantRun(const Options& o, const CalculatorEntries& start, const Sink& out, const Say& say)
        : o_(o),
          start_(start),
          say_(say),
          terms_(plantTerms(o)),
          writer_(formatOf(o), out),
          streaming_(formatOf(o) != Format::Text && !o.sortByReadOut && o.calendarPath.isEmpty() &&
                     o.saveSetupPath.isEmpty() && o.reportPath.isEmpty()) {}

    PlantOutcome run() {
        // Without files, the options alone describe one recorder.
        if (o_.setupPaths.isEmpty() && !add(withOptionDays(PlantRecorder{{}, o_.entries, {}, {}, {}, {}}, o_))) {
            return outcome_;
        }
        for (const QString& path : o_.setupPaths) {
            if (!(readsAsPlant(path) ? csvFile(path) : setupFile(path))) return outcome_;
        }
        if (streaming_) {
            end(true);
        } else {
            finish();
        }
        return outcome_;
    }

private:
    // Each of these is false once a row did not arrive: nothing more is written.
    bool write(bool arrived) {
        if (!arrived) outcome_.cannotWrite = true;
        return arrived;
    }
    // The header comes with the first row, so that a plant whose every file
    // was refused writes nothing at all.
    bool out(const Evaluated& e, bool dated) {
        if (!headed_ && !write(headed_ = writer_.header(dated))) return false;
        return write(writer_.row(e));
    }
    // dated: as for the header.
    void end(bool dated) {
        if (!headed_ && outcome_.badInput) return;
        if (!headed_ && !write(headed_ = writer_.header(dated))) return;
        write(writer_.end());
    }
    bool add(PlantRecorder recorder) {
        ResultRecord record = makeResultRecord(*calculator_, recorder.entries, optionsFor(recorder), recorder.name);
        const RecorderDates dates = recorderDates(record.result, recorder, terms_);
        RecorderRow row = recorderRow(record, recorder, dates);
        Evaluated e{std::move(recorder), std::move(row), writer_.jsonOf(record, dates)};
        if (streaming_) return out(e, true);
        evaluated_.push_back(std::move(e));
        return true;
    }
    // A recorder's own target, where it has one, is what the JSON's plan
    // answers for it; the other formats show no plan.
    ResultOptions optionsFor(const PlantRecorder& recorder) const {
        ResultOptions options = o_.result;
        if (formatOf(o_) == Format::Json && recorder.targetHours) {
            options.target = Target{recorder.targetMedium, *recorder.targetHours};
        }
        return options;
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
        if (const std::string left = defaultedText(*read.setup); !left.empty())
            say_(text(shownPath(path)) + ": " + left);
        const std::string name = read.setup->name.empty() ? fileName(path) : read.setup->name;
        return add(withOptionDays(PlantRecorder{name, entriesOf(*read.setup, start_, o_), {}, {}, {}, {}}, o_));
    }

    bool csvFile(const QString& path) {
        const std::string shown = text(shownPath(path));
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
        CsvFile file{shown, {}, {}};
        for (PlantRow row; reader.next(row);) {
            if (!csvRow(file, row)) return false;
        }
        if (in.bad()) refuse(shown + ": could not be read to its end");
        return true;
    }

    struct CsvFile {
        std::string shown;
        // Columns a header leaves out are left out of every row: said once,
        // and again only for a row that leaves out something else.
        std::string lastLeft;
        PlantNames names;
    };
    bool csvRow(CsvFile& file, const PlantRow& row) {
        if (!row.note.empty()) say_(file.shown + ": " + row.note);
        if (!row.error.empty()) {
            refuse(file.shown + ": " + row.error);
            // Kept for the plant file, which writes it back as it was.
            if (!o_.saveSetupPath.isEmpty())
                kept_.push_back({evaluated_.size(), row.kept, file.shown + ": " + row.error, row.keptCells});
        }
        if (!row.setup) return true;
        for (const std::string& problem : row.problems) refuse(file.shown + ": " + problem);
        if (const std::string note = file.names.noteFor(row.setup->name, row.line); !note.empty()) {
            say_(file.shown + ": " + note);
        }
        if (std::string left = defaultedText(*row.setup); !left.empty() && left != file.lastLeft) {
            say_(file.shown + ": line " + std::to_string(row.line) + ": " + left);
            file.lastLeft = std::move(left);
        }
        PlantRecorder recorder{row.setup->name,  entriesOf(*row.setup, start_, o_),
                               row.start,        row.targetHours,
                               row.targetMedium, row.refused};
        return add(withOptionDays(std::move(recorder), o_));
    }

    // The files of the whole plant first, as for one setup: when one cannot
    // be written, the rows are not written either.
    void finish() {
        std::vector<RecorderRow> rows;
        std::vector<PlantRecorder> recorders;
        for (const Evaluated& e : evaluated_) {
            rows.push_back(e.row);
            recorders.push_back(e.recorder);
        }
        if (outcome_.fileError = writeFiles(rows, recorders); !outcome_.fileError.isEmpty()) return;
        std::vector<std::size_t> order(rows.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        if (o_.sortByReadOut) order = sortedRows(rows, PlantColumn::ReadOutBy);
        const bool dated = std::any_of(recorders.begin(), recorders.end(),
                                       [](const PlantRecorder& r) { return r.start || r.targetHours; });
        for (const std::size_t i : order) {
            if (!out(evaluated_[i], dated)) return;
        }
        end(dated);
    }

    QString writeFiles(std::span<const RecorderRow> rows, std::span<const PlantRecorder> recorders) const {
        if (!o_.calendarPath.isEmpty()) {
            if (QString error = writeCalendar(o_.calendarPath, rows, terms_); !error.isEmpty()) return error;
        }
        if (!o_.saveSetupPath.isEmpty()) {
            if (QString error = writeWholeFile(o_.saveSetupPath, plantCsvText(recorders, kept_)); !error.isEmpty()) {
                return error;
            }
            if (const std::string unread = unreadSummary(recorders, kept_); !unread.empty())
                say_(text(shownPath(o_.saveSetupPath)) + ": " + unread);
        }
        if (o_.reportPath.isEmpty()) return {};
        unit::PlantReportInput input{recorders, rows, terms_, QDateTime::currentDateTime(),
                                     QStringLiteral(CAPACIMO_VERSION)};
        return unit::writePlantReportPdf(o_.reportPath, input);
    }

    const Options& o_;
    const CalculatorEntries& start_;
    const Say& say_;
    const PlantTerms terms_;
    RowWriter writer_;
    const bool streaming_;
    std::vector<Evaluated> evaluated_;  // when not streaming
    std::vector<KeptRow> kept_;         // the rows of plant files that could not be read, for --save-setup
    bool headed_ = false;               // the header is written
    PlantOutcome outcome_;
    const std::unique_ptr<Calculator> calculator_ = std::make_unique<Calculator>();
};

}  // namespace

bool isPlantCsv(const QString& path) { return endsIn(path, kPlantExtension); }

bool readsAsPlant(const QString& path) { return isPlantCsv(path) || endsIn(path, kPlantTextExtension); }

bool isPlant(const Options& o) {
    return o.csv || o.setupPaths.size() > 1 || (o.setupPaths.size() == 1 && readsAsPlant(o.setupPaths.first()));
}

PlantOutcome runPlant(const Options& o, const CalculatorEntries& start, const Sink& out, const Say& say) {
    return PlantRun(o, start, out, say).run();
}

PlantRecorder withOptionDays(PlantRecorder recorder, const Options& o) {
    if (!recorder.start) recorder.start = o.start;
    if (!recorder.targetHours && o.result.target) {
        recorder.targetHours = o.result.target->hours;
        recorder.targetMedium = o.result.target->medium;
    }
    return recorder;
}

RecorderRow recorderRow(const ResultRecord& record, const PlantRecorder& recorder, const RecorderDates& dates) {
    return {record.name, recorder.start, record.entries.cardItem, record.status, record.result, dates};
}

std::string datesText(const RecorderRow& row) {
    int width = 0;
    for (const PlantColumn column : kDayColumns) {
        width = std::max(width, static_cast<int>(plantColumnCaption(column).size()));
    }
    std::string out = "\n";
    for (const PlantColumn column : kDayColumns) {
        out += tableLine({{std::string(plantColumnCaption(column)), -width}, {cellText(row, column), 0}});
    }
    return out;
}

QString writeCalendar(const QString& path, std::span<const RecorderRow> rows, const PlantTerms& terms) {
    return writeWholeFile(path, plantCalendar(rows, terms));
}

}  // namespace capacimo::cli
