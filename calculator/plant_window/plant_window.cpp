#include "calculator/plant_window/plant_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "calculator/plant/plant_calendar.h"
#include "calculator/plant/plant_file.h"
#include "calculator/plant_window/plant_model.h"
#include "calculator/plant_window/start_delegate.h"
#include "calculator/report/plant_report.h"
#include "calculator/settings.h"
#include "calculator/text/vocabulary.h"
#include "common/qt_text.h"
#include "common/safe_file.h"
#include "common/ui/error_box.h"
#include "common/ui/program_icon.h"
#include "widgets/failure_guard.h"

namespace capacimo::unit {

using widgets::guarded;

namespace {

// Where the margin is remembered: the unit's key, section "Plant".
const QString kPlantSection = QStringLiteral("Plant");
const QString kMarginValue = QStringLiteral("MarginDays");

// The stored margin, or the default for a value outside 0..kLargestMarginDays.
int storedMargin() {
    const int days = ReadSettingInteger(kPlantSection, kMarginValue, kDefaultMarginDays, true);
    return isMarginDays(days) ? days : kDefaultMarginDays;
}

const QString kTitle = QStringLiteral("Plant");
// A name of 30 characters, as the recorder itself shows one: the name column
// shows it whole.
const QString kNameSample = QStringLiteral("Boiler house 12 east, recorder");
// Rows the window shows at first, where the screen has room.
constexpr int kRowsShown = 12;
// Where the window's size and place, and its plant file, are remembered.
const QString kFileValue = QStringLiteral("File");
const std::array<QString, 6> kPlaceValues = {QStringLiteral("Left"),        QStringLiteral("Top"),
                                             QStringLiteral("Width"),       QStringLiteral("Height"),
                                             QStringLiteral("ScreenWidth"), QStringLiteral("ScreenHeight")};
const QString kPlantFilter = QStringLiteral("Plant files (*%1)").arg(qText(kPlantExtension));
// Also a spreadsheet's "Unicode text", which the reader takes as well.
const QString kPlantOpenFilter =
    QStringLiteral("Plant files (*%1 *%2)").arg(qText(kPlantExtension), qText(kPlantTextExtension));
const QString kCalendarFilter = QStringLiteral("Calendar files (*%1)").arg(qText(kCalendarExtension));

}  // namespace

TPlantWindow::TPlantWindow(QWidget* owner, const Clock& clock) : TGuardedDialog(owner), clock_(&clock) {
    setObjectName("dlg_Plant");
    setWindowIcon(programIcon());
    setModal(false);
    setSizeGripEnabled(true);
    if (owner != nullptr) setFont(owner->font());
    chooseFile_ = widgets::askWithFileDialog;
    askToClose_ = [](QWidget* parent) {
        return QMessageBox::question(parent, QString::fromUtf8(kApplicationTitle),
                                     QStringLiteral("The plant has changes that are not saved. Save them?"),
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    };
    askAboutUnread_ = [](QWidget* parent, const QString& text) {
        return QMessageBox::question(parent, QString::fromUtf8(kApplicationTitle), text,
                                     QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Save) == QMessageBox::Save;
    };
    placement_ = new BesideOwner(this);
    // It may stand over the dialog: the dialog comes up over it when a
    // recorder is opened there, and it comes up again when it is used.
    placement_->setRaiseWithOwner(false);
    model_ = new PlantTableModel(clock, storedMargin(), this);

    // The table first: the tab order is the order the controls are made in.
    // The commands stand in a row below the table, which takes the window's
    // whole width.
    auto* layout = new QVBoxLayout(this);
    buildTable(layout);
    buildMenus();
    buildCommands(layout);
    buildFooter(layout);
    connect(model_, &PlantTableModel::rowsJudged, this, [this] { showTotals(); });
    connect(model_, &PlantTableModel::recordersChanged, this, [this] { markUnsaved(true); });
    // The name column follows the names; the link's caption the linked name.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { fitNameColumn(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { fitNameColumn(); });
    connect(model_, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from) {
        if (from.column() == PlantTableModel::kNameColumn) fitNameColumn();
        if (linked_) showLinked();
    });
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { enableCommands(); });
    // The days follow the calendar past midnight while the window is open.
    midnight_ = new QTimer(this);
    midnight_->setInterval(60 * 1000);
    connect(midnight_, &QTimer::timeout, this, guarded(this, [this] { model_->refresh(); }));
    midnight_->start();
    showTotals();
    showTitle();
    showLinked();
    enableCommands();
}

TPlantWindow::~TPlantWindow() = default;

QAction* TPlantWindow::command(QMenu* menu, const QString& caption, const char* name, const QKeySequence& keys,
                               std::function<void()> run) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, guarded(this, std::move(run)));
    addAction(action);
    menu->addAction(action);
    return action;
}

void TPlantWindow::buildMenus() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName("mnu_Plant");
    bar->setAccessibleName(QStringLiteral("Plant menu"));
    QMenu* plant = bar->addMenu(QStringLiteral("&Plant"));
    command(plant, QStringLiteral("Open plant..."), "act_OpenPlant", QKeySequence::Open, [this] { OpenPlantAs(); });
    command(plant, QStringLiteral("Save plant"), "act_SavePlant", QKeySequence::Save, [this] { SavePlant(); });
    command(plant, QStringLiteral("Save plant as..."), "act_SavePlantAs",
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { SavePlantAs(); });
    command(plant, QStringLiteral("Export calendar..."), "act_ExportCalendar", QKeySequence(Qt::CTRL | Qt::Key_E),
            [this] { ExportCalendarAs(); });
    command(plant, QStringLiteral("Save plant report..."), "act_SaveReport", QKeySequence(Qt::CTRL | Qt::Key_R),
            [this] { SaveReportAs(); });
    plant->addSeparator();
    command(plant, QStringLiteral("Close"), "act_Close", QKeySequence(Qt::CTRL | Qt::Key_W), [this] { close(); });
    QMenu* recorder = bar->addMenu(QStringLiteral("&Recorder"));
    command(recorder, QStringLiteral("Add current setup"), "act_AddSetup", QKeySequence(Qt::CTRL | Qt::Key_N),
            [this] { AddCurrentSetup(); });
    rowCommands_ = {
        command(recorder, QStringLiteral("Open in dialog"), "act_OpenInDialog", QKeySequence(Qt::CTRL | Qt::Key_Return),
                [this] { OpenInDialog(); }),
        command(recorder, QStringLiteral("Rename"), "act_Rename", QKeySequence(Qt::Key_F2), [this] { Rename(); }),
        command(recorder, QStringLiteral("Set start..."), "act_EditStart", QKeySequence(Qt::CTRL | Qt::Key_T),
                [this] { EditStart(); }),
        command(recorder, QStringLiteral("Duplicate"), "act_Duplicate", QKeySequence(Qt::CTRL | Qt::Key_D),
                [this] { Duplicate(); }),
        command(recorder, QStringLiteral("Remove"), "act_Remove", QKeySequence::Delete, [this] { Remove(); })};
    act_Plan = command(recorder, QStringLiteral("Plan for its target"), "act_Plan", QKeySequence(Qt::CTRL | Qt::Key_L),
                       [this] { PlanForTarget(); });
    recorder->addSeparator();
    act_Undo =
        command(recorder, QStringLiteral("Undo remove"), "act_Undo", QKeySequence::Undo, [this] { UndoRemove(); });
    buildSortMenu(bar);
    layout()->setMenuBar(bar);
}

void TPlantWindow::buildTable(QVBoxLayout* layout) {
    view_ = new QTableView(this);
    view_->setObjectName("tbl_Plant");
    view_->setModel(model_);
    view_->setAccessibleName(QStringLiteral("Recorders"));
    view_->setAccessibleDescription(
        QStringLiteral("Enter opens the selected recorder in the dialog; F2 renames it, Ctrl+T sets its start"));
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);  // the commands start each editor
    view_->setItemDelegateForColumn(PlantTableModel::kStartColumn,
                                    new StartDelegate([this] { return qDateOf(clock_->today()); }, view_));
    view_->setTabKeyNavigation(false);  // Tab leaves the table for the next control
    view_->verticalHeader()->hide();
    // Every row as tall as the next, and every column as wide as its widest
    // text can be: measuring the rows themselves would cost every row at
    // every change.
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() * 3 / 2);
    view_->setWordWrap(false);
    QHeaderView* header = view_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicator(model_->sortColumn(), model_->sortOrder());
    header->setSortIndicatorShown(true);
    header->setHighlightSections(false);
    // The start column has no order: a click there leaves the indicator where the rows are sorted.
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this, header](int column, Qt::SortOrder order) {
        if (!PlantTableModel::plantColumn(column)) {
            QSignalBlocker quiet(header);
            header->setSortIndicator(model_->sortColumn(), model_->sortOrder());
            return;
        }
        model_->sort(column, order);
    });
    const QFontMetrics metrics = view_->fontMetrics();
    const int indicator = metrics.height() * 2;  // the sort indicator beside a caption
    auto widest = [&](std::initializer_list<QString> texts) {
        int width = 0;
        for (const QString& t : texts) width = std::max(width, metrics.horizontalAdvance(t));
        return width + metrics.averageCharWidth() * 2;
    };
    const QString date = QStringLiteral("0000-00-00");
    const QString after = qText(kAfterLastYear);
    const QString duration = QStringLiteral("0000 w 0 d 00 h");
    QString states;
    for (RecorderState s : kRecorderStates)
        if (recorderStateCaption(s).size() > static_cast<std::size_t>(states.size()))
            states = qText(recorderStateCaption(s));
    const std::array<QString, PlantTableModel::kColumns> samples = {
        kNameSample, date,  QStringLiteral("512 MB"),     duration, duration, after,
        after,       after, states + QStringLiteral("  ")};
    for (int column = 0; column < PlantTableModel::kColumns; ++column) {
        const QString caption = model_->headerData(column, Qt::Horizontal).toString();
        header->resizeSection(column, std::max(widest({samples[static_cast<std::size_t>(column)], date}),
                                               metrics.horizontalAdvance(caption) + indicator));
    }
    header->setStretchLastSection(true);
    connect(view_, &QAbstractItemView::activated, this, guarded(this, [this] { OpenInDialog(); }));
    layout->addWidget(view_, 1);
}

void TPlantWindow::fitNameColumn() {
    // As wide as the longest name, and at least as a name of 30 characters;
    // a much longer one is cut in the table and whole in its tooltip.
    const QFontMetrics metrics = view_->fontMetrics();
    const int padding = metrics.averageCharWidth() * 2;
    const int least = metrics.horizontalAdvance(kNameSample) + padding;
    int widest = least;
    for (const PlantRecorder& recorder : model_->plant().recorders()) {
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(recorder.name)) + padding);
        if (widest >= least * 3 / 2) break;
    }
    QHeaderView* header = view_->horizontalHeader();
    const int width = std::min(widest, least * 3 / 2);
    if (width == header->sectionSize(PlantTableModel::kNameColumn)) return;
    header->resizeSection(PlantTableModel::kNameColumn, width);
    if (isVisible() && placement_->automatic() && !userSized_) fitTable();
}

void TPlantWindow::buildFooter(QVBoxLayout* layout) {
    lbl_Status = new QLabel(this);
    lbl_Status->setObjectName("lbl_Status");
    lbl_Status->setWordWrap(true);
    lbl_Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbl_Status->hide();
    layout->addWidget(lbl_Status);
    lbl_Totals = new QLabel(this);
    lbl_Totals->setObjectName("lbl_Totals");
    lbl_Totals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbl_Totals->setWordWrap(true);
    layout->addWidget(lbl_Totals);
    lbl_Linked = new QLabel(this);
    lbl_Linked->setObjectName("lbl_Linked");
    lbl_Linked->setWordWrap(true);
    // Its line kept while no recorder is open in the dialog, so that the
    // table keeps its rows when one is.
    lbl_Linked->setMinimumHeight(lbl_Linked->fontMetrics().lineSpacing());
    layout->addWidget(lbl_Linked);

    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Read-out &margin:"), this);
    spb_Margin = new QSpinBox(this);
    spb_Margin->setObjectName("spb_Margin");
    spb_Margin->setRange(0, kLargestMarginDays);
    spb_Margin->setValue(model_->plant().marginDays());
    spb_Margin->setSuffix(QStringLiteral(" days"));
    spb_Margin->setAlignment(Qt::AlignRight);
    spb_Margin->setAccessibleName(QStringLiteral("Margin in days"));
    spb_Margin->setAccessibleDescription(
        QStringLiteral("How many days before a memory is full each recorder must be read out"));
    spb_Margin->findChild<QLineEdit*>()->setAccessibleName(spb_Margin->accessibleName());
    caption->setBuddy(spb_Margin);
    row->addWidget(caption);
    row->addWidget(spb_Margin);
    row->addStretch(1);
    layout->addLayout(row);
    connect(spb_Margin, &QSpinBox::valueChanged, this, guarded(this, [this](int days) {
                model_->setMarginDays(days);
                WriteSettingInteger(kPlantSection, kMarginValue, days, true);
            }));
}

void TPlantWindow::buildCommands(QVBoxLayout* layout) {
    // Push buttons, which show their focus as the dialog's do (the style
    // draws none on a tool button), each pressing its command; the caption
    // stays as first given ("Undo remove" without the name the menu adds).
    auto* column = new QHBoxLayout;
    for (const char* name :
         {"act_AddSetup", "act_OpenInDialog", "act_Plan", "act_Duplicate", "act_Remove", "act_Undo"}) {
        QAction* action = findChild<QAction*>(name);
        auto* button = new QPushButton(action->text(), this);
        button->setObjectName(QStringLiteral("btn_") + QString::fromLatin1(name + 4));
        button->setAutoDefault(false);
        button->setToolTip(
            QStringLiteral("%1 (%2)").arg(action->text(), action->shortcut().toString(QKeySequence::NativeText)));
        button->setEnabled(action->isEnabled());
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::enabledChanged, button, &QPushButton::setEnabled);
        column->addWidget(button);
    }
    column->addStretch(1);
    layout->addLayout(column);
}

void TPlantWindow::buildSortMenu(QMenuBar* bar) {
    // The table's order from the keyboard too: what a click on a column's header does.
    QMenu* menu = bar->addMenu(QStringLiteral("&Sort"));
    auto* columns = new QActionGroup(menu);
    QHeaderView* header = view_->horizontalHeader();
    for (int column = 0; column < PlantTableModel::kColumns; ++column) {
        if (!PlantTableModel::plantColumn(column)) continue;
        QAction* by = menu->addAction(QStringLiteral("By ") + model_->headerData(column, Qt::Horizontal).toString());
        by->setObjectName(QStringLiteral("act_SortBy%1").arg(column));
        by->setCheckable(true);
        by->setChecked(column == model_->sortColumn());
        columns->addAction(by);
        connect(by, &QAction::triggered, this,
                [header, column] { header->setSortIndicator(column, header->sortIndicatorOrder()); });
    }
    menu->addSeparator();
    QAction* descending = menu->addAction(QStringLiteral("Descending"));
    descending->setObjectName("act_SortDescending");
    descending->setCheckable(true);
    connect(descending, &QAction::triggered, this, [header](bool on) {
        header->setSortIndicator(header->sortIndicatorSection(), on ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    // Clicks on the headers show in the menu.
    connect(header, &QHeaderView::sortIndicatorChanged, menu, [menu, descending](int column, Qt::SortOrder order) {
        if (auto* by = menu->findChild<QAction*>(QStringLiteral("act_SortBy%1").arg(column))) by->setChecked(true);
        descending->setChecked(order == Qt::DescendingOrder);
    });
}

// ---------------------------------------------------------------------------
// The commands

std::optional<std::size_t> TPlantWindow::selectedRecorder() const {
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid() || !view_->selectionModel()->isRowSelected(current.row(), {})) return std::nullopt;
    return model_->recorderAt(current.row());
}

void TPlantWindow::select(std::size_t recorder) {
    const int row = model_->rowOf(recorder);
    if (row < 0) return;
    const int column = std::max(view_->currentIndex().column(), 0);
    view_->setCurrentIndex(model_->index(row, column));
    view_->selectionModel()->select(model_->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(model_->index(row, column));
}

void TPlantWindow::AddCurrentSetup() {
    PlantRecorder recorder = currentSetup_ ? currentSetup_() : PlantRecorder{};
    if (recorder.name.empty())
        recorder.name = QStringLiteral("Recorder %1").arg(model_->plant().size() + 1).toStdString();
    // Its memory taken as emptied today, as for a recorder put in place now.
    recorder.start = clock_->today();
    const std::size_t at = model_->plant().size();
    model_->insert(at, std::move(recorder));
    select(at);
}

void TPlantWindow::OpenInDialog() {
    const std::optional<std::size_t> at = selectedRecorder();
    if (!at) return;
    setLinked(*at);
    emit openInDialogRequested(model_->plant().recorders()[*at].entries);
}

void TPlantWindow::PlanForTarget() {
    const std::optional<std::size_t> at = selectedRecorder();
    if (!at) return;
    const PlantRecorder& recorder = model_->plant().recorders()[*at];
    const std::optional<std::int64_t> weeks = targetWeeks(recorder);
    if (!weeks) return;
    setLinked(*at);
    emit planRequested(recorder.entries, static_cast<int>(*weeks), recorder.targetMedium);
}

void TPlantWindow::followDialog(const CalculatorEntries& entries) {
    if (!linked_ || model_->plant().recorders()[*linked_].entries == entries) return;
    PlantRecorder recorder = model_->plant().recorders()[*linked_];
    recorder.entries = entries;
    model_->replace(*linked_, std::move(recorder));
}

void TPlantWindow::Rename() {
    if (const auto at = selectedRecorder())
        view_->edit(model_->index(model_->rowOf(*at), PlantTableModel::kNameColumn));
}

void TPlantWindow::EditStart() {
    if (const auto at = selectedRecorder())
        view_->edit(model_->index(model_->rowOf(*at), PlantTableModel::kStartColumn));
}

void TPlantWindow::Duplicate() {
    const std::optional<std::size_t> at = selectedRecorder();
    if (!at) return;
    PlantRecorder copy = model_->plant().recorders()[*at];
    copy.name += " copy";
    if (linked_ && *linked_ > *at) ++*linked_;
    model_->insert(*at + 1, std::move(copy));
    select(*at + 1);
}

void TPlantWindow::Remove() {
    const std::optional<std::size_t> at = selectedRecorder();
    if (!at) return;
    const int row = view_->currentIndex().row();
    if (linked_ == at)
        linked_.reset();
    else if (linked_ && *linked_ > *at)
        --*linked_;
    removed_ = Removed{*at, model_->remove(*at)};
    act_Undo->setText(QStringLiteral("Undo remove %1").arg(QString::fromStdString(removed_->recorder.name)));
    // The row that took its place is selected next, so that Delete goes on down the table.
    if (model_->rowCount() > 0) select(model_->recorderAt(std::min(row, model_->rowCount() - 1)));
    showLinked();
    enableCommands();
}

void TPlantWindow::UndoRemove() {
    if (!removed_) return;
    const Removed back = *std::exchange(removed_, std::nullopt);
    if (linked_ && *linked_ >= back.index) ++*linked_;
    model_->insert(back.index, back.recorder);
    select(back.index);
    act_Undo->setText(QStringLiteral("Undo remove"));
    showLinked();
    enableCommands();
}

bool TPlantWindow::written(const QString& path, const QString& error) {
    if (!error.isEmpty()) {
        showErrorBox(this, error);
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    return true;
}

bool TPlantWindow::ExportCalendar(const QString& path) {
    return written(path, writeWholeFile(path, plantCalendar(model_->plant().rows(), model_->plant().terms())));
}

void TPlantWindow::ExportCalendarAs() {
    const QString path = chooseFile_(this, {true, QStringLiteral("Export calendar"), lastFolder(), kCalendarFilter});
    if (!path.isEmpty()) ExportCalendar(widgets::withExtension(path, qText(kCalendarExtension)));
}

bool TPlantWindow::SaveReport(const QString& path) {
    const Plant& plant = model_->plant();
    const PlantReportInput input{plant.recorders(), plant.rows(), plant.terms(), QDateTime::currentDateTime(),
                                 QStringLiteral(CAPACIMO_VERSION)};
    return written(path, writePlantReportPdf(path, input));
}

void TPlantWindow::SaveReportAs() {
    const QString path = chooseFile_(
        this, {true, QStringLiteral("Save plant report"), lastFolder(), QStringLiteral("PDF files (*.pdf)")});
    if (!path.isEmpty()) SaveReport(widgets::withExtension(path, QStringLiteral(".pdf")));
}

QString TPlantWindow::lastFolder() const { return folder_; }

TPlantWindow::Opened TPlantWindow::readPlant(const QString& path) {
    const FileRead file = readWholeFile(path, kPlantKind, kPlantFileLimit);
    PlantFileReading read;
    if (file.ok()) read = readPlantText(file.bytes);
    if (!file.ok() || !read.fileError.empty()) {
        return {false, file.ok() ? fileFailure(path, QString::fromStdString(read.fileError)) : qText(file.error), {}};
    }
    linked_.reset();
    removed_.reset();
    askedAboutUnread_ = false;
    model_->reset(std::move(read.recorders), std::move(read.kept));
    path_ = path;
    folder_ = QFileInfo(path).absolutePath();
    markUnsaved(false);
    showTitle();
    showLinked();
    if (model_->rowCount() > 0) select(model_->recorderAt(0));
    enableCommands();
    rememberFile();
    // What could not be read, by line and column; the rows that could are
    // shown, the rest is kept to be written back.
    const int n = model_->rowCount();
    Opened opened{true, QStringLiteral("%1 %2 opened").arg(n).arg(n == 1 ? "recorder" : "recorders"), {}};
    if (!read.problems.empty())
        opened.failure += QStringLiteral("; what could not be read is kept and saved back as it was");
    for (const std::string& line : read.problems) opened.lines << QString::fromStdString(line);
    for (const std::string& line : read.notes) opened.lines << QString::fromStdString(line);
    return opened;
}

bool TPlantWindow::OpenPlant(const QString& path) {
    if (!mayClose()) return false;
    const Opened opened = readPlant(path);
    if (!opened.ok) {
        showErrorBox(this, opened.failure);
        return false;
    }
    lbl_Status->hide();
    if (!opened.lines.isEmpty())
        showErrorBox(this, fileFailure(path, opened.failure) + u'\n' + opened.lines.join(u'\n'));
    return true;
}

void TPlantWindow::reopenLast() {
    const QString path = ReadSettingText(kPlantSection, kFileValue, true);
    if (path.isEmpty()) return;
    const Opened opened = readPlant(path);
    // Said below the table, never in a box: the window opens all the same.
    QString text;
    if (!opened.ok) {
        text = QStringLiteral("The plant last open could not be opened: %1").arg(opened.failure);
    } else if (!opened.lines.isEmpty()) {
        text =
            fileFailure(path, opened.failure) + QStringLiteral(" (") + opened.lines.join(QStringLiteral("; ")) + u')';
    }
    lbl_Status->setText(text);
    lbl_Status->setVisible(!text.isEmpty());
}

void TPlantWindow::rememberFile() { WriteSettingText(kPlantSection, kFileValue, path_, true); }

bool TPlantWindow::SavePlant(const QString& path) {
    const Plant& plant = model_->plant();
    lbl_Status->hide();
    // Writing over the file the plant came from asks once when that file
    // held what could not be read, which goes back into it unread.
    const std::vector<std::string> unread = unreadParts(plant.recorders(), plant.kept());
    if (!unread.empty() && !askedAboutUnread_ && !path_.isEmpty() && sameFile(path, path_)) {
        QStringList lines;
        for (const std::string& line : unread) lines << QString::fromStdString(line);
        const QString text =
            QStringLiteral("%1: %2.\n%3\n\nSave the plant with them?")
                .arg(shownPath(path), QString::fromStdString(unreadSummary(plant.recorders(), plant.kept())),
                     lines.join(u'\n'));
        if (!askAboutUnread_(this, text)) return false;
        askedAboutUnread_ = true;
    }
    if (!written(path, writeWholeFile(path, plantCsvText(plant.recorders(), plant.kept())))) return false;
    path_ = path;
    markUnsaved(false);
    showTitle();
    rememberFile();
    return true;
}

void TPlantWindow::OpenPlantAs() {
    const QString path = chooseFile_(this, {false, QStringLiteral("Open plant"), lastFolder(), kPlantOpenFilter});
    if (!path.isEmpty()) OpenPlant(path);
}

bool TPlantWindow::SavePlant() { return path_.isEmpty() ? SavePlantAs() : SavePlant(path_); }

bool TPlantWindow::SavePlantAs() {
    const QString path = chooseFile_(this, {true, QStringLiteral("Save plant as"), lastFolder(), kPlantFilter});
    return !path.isEmpty() && SavePlant(widgets::withExtension(path, qText(kPlantExtension)));
}

// ---------------------------------------------------------------------------
// What the window shows about the plant

void TPlantWindow::showTotals() {
    const PlantTotals totals = model_->plant().totals();
    QStringList parts{QStringLiteral("%1: %2").arg(qText(kPlantRecordersCaption)).arg(totals.recorders)};
    for (RecorderState state : {RecorderState::Overdue, RecorderState::Due, RecorderState::Short})
        parts << QStringLiteral("%1: %2").arg(qText(recorderStateCaption(state))).arg(totals.of(state));
    if (totals.scenarios > 0)
        parts << QStringLiteral("%1: %2").arg(qText(kPlantScenariosCaption)).arg(totals.scenarios);
    lbl_Totals->setText(parts.join(QStringLiteral("    ")));
    lbl_Totals->setAccessibleName(parts.join(QStringLiteral(", ")));
}

void TPlantWindow::showTitle() {
    const QString file = path_.isEmpty() ? QString() : QStringLiteral(" - ") + QFileInfo(path_).fileName();
    setWindowTitle(kTitle + file + QStringLiteral("[*]"));
    if (linked_) emit linkChanged();
}

void TPlantWindow::setLinked(std::optional<std::size_t> recorder) {
    linked_ = recorder;
    showLinked();
}

void TPlantWindow::showLinked() {
    lbl_Linked->setText(linked_ ? QStringLiteral("Open in the dialog: %1; its changes there change it here.")
                                      .arg(QString::fromStdString(model_->plant().recorders()[*linked_].name))
                                : QString());
    emit linkChanged();
}

QString TPlantWindow::linkedTitle() const {
    if (!linked_) return {};
    const QString plant =
        path_.isEmpty() ? QStringLiteral("a new plant") : QStringLiteral("plant ") + QFileInfo(path_).fileName();
    return QStringLiteral("%1, %2").arg(QString::fromStdString(model_->plant().recorders()[*linked_].name), plant);
}

void TPlantWindow::markUnsaved(bool unsaved) {
    unsaved_ = unsaved;
    setWindowModified(unsaved);
}

void TPlantWindow::enableCommands() {
    const std::optional<std::size_t> at = selectedRecorder();
    for (QAction* action : rowCommands_) action->setEnabled(at.has_value());
    act_Plan->setEnabled(at && model_->plant().recorders()[*at].targetHours.has_value());
    act_Undo->setEnabled(removed_.has_value());
}

// ---------------------------------------------------------------------------
// Closing

void TPlantWindow::closeEvent(QCloseEvent* event) {
    if (mayClose())
        TGuardedDialog::closeEvent(event);
    else
        event->ignore();
}

void TPlantWindow::reject() {
    if (mayClose()) TGuardedDialog::reject();
}

// ---------------------------------------------------------------------------
// Where it opens

void TPlantWindow::showEvent(QShowEvent* event) {
    TGuardedDialog::showEvent(event);
    placement_->shown(event->spontaneous());
    if (!sized_ && !event->spontaneous() && parentWidget() != nullptr) {
        sized_ = true;
        fitNameColumn();
        if (!remembered_) fitTable();
    }
    placement_->placeAgain(event->spontaneous());
}

void TPlantWindow::hideEvent(QHideEvent* event) {
    TGuardedDialog::hideEvent(event);
    if (!event->spontaneous() && (userSized_ || !placement_->automatic())) rememberPlace();
}

void TPlantWindow::moveEvent(QMoveEvent* event) {
    TGuardedDialog::moveEvent(event);
    placement_->moved();
}

void TPlantWindow::resizeEvent(QResizeEvent* event) {
    TGuardedDialog::resizeEvent(event);
    // A size the window did not ask for is the user's.
    const QSize off = event->size() - requested_;
    if (!resizing_ && isVisible() && sized_ && std::abs(off.width()) + std::abs(off.height()) > 2 * kNear) {
        userSized_ = true;
    }
}

void TPlantWindow::fitTable() {
    const QHeaderView* header = view_->horizontalHeader();
    // The table's viewport for every column and kRowsShown rows, beside a
    // vertical scroll bar (which a longer plant brings).
    const QSize viewport(header->length() + view_->verticalScrollBar()->sizeHint().width(),
                         kRowsShown * view_->verticalHeader()->defaultSectionSize());
    const QSize room = placement_->roomOnScreen();
    resizing_ = true;
    // Twice: the labels below the table wrap to the width, so the rest of
    // the window's height is known once it has that width.
    for (int pass = 0; pass < 2; ++pass) {
        layout()->activate();
        const QSize short_ = viewport - view_->viewport()->size();
        requested_ = (size() + short_.expandedTo(QSize(0, 0)) + QSize(std::min(short_.width(), 0), 0))
                         .boundedTo(room)
                         .expandedTo(minimumSizeHint());
        resize(requested_);
    }
    resizing_ = false;
    placement_->resized();
}

void TPlantWindow::rememberPlace() {
    const QRect frame = frameOf(this);
    const QSize screen = this->screen()->availableGeometry().size();
    const std::array<int, 6> values = {frame.left(),   frame.top(),    frame.width(),
                                       frame.height(), screen.width(), screen.height()};
    for (std::size_t i = 0; i < values.size(); ++i)
        WriteSettingInteger(kPlantSection, kPlaceValues[i], values[i], false);
    CloseSettingsKey();
}

bool TPlantWindow::placeAsRemembered() {
    std::array<int, 6> v{};
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = ReadSettingInteger(kPlantSection, kPlaceValues[i], -1, false);
    CloseSettingsKey();
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : this;
    const QRect available = owner->screen()->availableGeometry();
    const QRect frame(v[0], v[1], v[2], v[3]);
    // Only on a screen of the size it was given on, and whole on it.
    if (QSize(v[4], v[5]) != available.size() || frame.width() <= 0 || !available.contains(frame)) return false;
    requested_ = frame.size().shrunkBy(placement_->decoration());
    resizing_ = true;
    placement_->putByUser(frame);
    resizing_ = false;
    userSized_ = true;
    remembered_ = true;
    return true;
}

bool TPlantWindow::mayClose() {
    if (!unsaved_) return true;
    switch (askToClose_(this)) {
    case QMessageBox::Save: return SavePlant();
    case QMessageBox::Discard: discard(); return true;
    default: return false;
    }
}

void TPlantWindow::discard() {
    linked_.reset();
    lbl_Status->hide();
    removed_.reset();
    model_->reset({});
    path_.clear();
    markUnsaved(false);
    showTitle();
    showLinked();
    enableCommands();
}

}  // namespace capacimo::unit
