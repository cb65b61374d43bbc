#include "calculator/dialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "calculator/breakdown.h"
#include "calculator/details/details_window.h"
#include "calculator/files/setup_file.h"
#include "calculator/plant_window/plant_model.h"
#include "calculator/plant_window/plant_window.h"
#include "calculator/report/setup_report.h"
#include "calculator/settings.h"
#include "calculator/text/dialog_texts.h"
#include "calculator/text/vocabulary.h"
#include "common/qt_text.h"
#include "common/ui/error_box.h"
#include "common/ui/program_icon.h"
#include "widgets/contrast.h"
#include "widgets/failure_guard.h"

namespace capacimo::unit {

using widgets::guarded;

namespace {

const QString kSetupFilter = QStringLiteral("Capacimo setups (*%1)").arg(qText(kSetupExtension));

// The one local setup file a drag carries, or nothing.
QString droppedSetup(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    if (!url.isLocalFile() || !url.toLocalFile().endsWith(qText(kSetupExtension), Qt::CaseInsensitive)) return {};
    return url.toLocalFile();
}

// What a screen reader calls an entry's field: its caption, after the page
// it is on, since captions repeat from page to page ("Group 3: Storage
// cycle:", "Math channels: ... of these with totalization:").
QString accessibleCaption(const Entry& entry) {
    const QString caption = QString::fromStdString(entry.caption);
    const std::string page = pageCaption(entry.page, entry.index);
    return page.empty() ? caption : QString::fromStdString(page) + QStringLiteral(": ") + caption;
}

// The date where the program runs, for the plant window.
const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}

// Shows the hourglass until the scope ends, however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QFrame* panel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    return frame;
}

// A page with its caption, appended to a page control.
TTab95Sheet* sheet(TPage95Control* control, const QString& caption, const QString& name) {
    auto* page = new TTab95Sheet(control, caption);
    page->setObjectName(name);
    return page;
}

// A page control, named for a screen reader as `title`.
TPage95Control* pageControl(QWidget* parent, const char* name, const QString& title) {
    auto* control = new TPage95Control(parent);
    control->setObjectName(name);
    control->setAccessibleTitle(title);
    return control;
}

// Lets a page's one control fill it.
void fill(QWidget* page, QWidget* inner) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(inner);
}

}  // namespace

Tdlg_Main::Tdlg_Main(QWidget* owner) : TGuardedDialog(owner), clock_(&systemClock()) {
    setWindowIcon(programIcon());
    schedule_ = [this](std::function<void()> task) { QTimer::singleShot(0, this, guarded(this, std::move(task))); };
    FormCreate();
}

Tdlg_Main::~Tdlg_Main() { FormDestroy(); }

void Tdlg_Main::FormCreate() {
    try {
        updating_ = true;
        showTitle();
        setObjectName("dlg_Main");
        setAcceptDrops(true);
        chooseFile_ = widgets::askWithFileDialog;
        // Qt measures in device-independent pixels, 96 to the inch, and scales
        // them to the screen itself; a 120 pixels-per-inch screen thus shows
        // the layout at the size it was designed for.
        setUiScale(logicalDpiY());
        buildFrame();
        buildEntries();
        updating_ = false;

        ResetToDefaults();
        RestoreSettings();

        calculating_ = true;

        pctrl_Stgs->setActivePage(tab_Info);
        pctrl_Channels->setActivePage(channelSheets[0]);
        // Stored analog counts that contradict each other are brought into line.
        spe_CountAnalogChange(nullptr);
    } catch (const std::exception& e) {
        updating_ = false;
        showErrorBox(this, QString::fromUtf8(e.what()));
    }
}

void Tdlg_Main::FormDestroy() {
    try {
        PersistSettings();
    } catch (const std::exception& e) {
        CloseSettingsKey();
        showErrorBox(nullptr, QString::fromUtf8(e.what()));
    }
    calculating_ = false;
}

void Tdlg_Main::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Tdlg_Main::FormShow() {
    Recalculate();
    // The dialog opens on the first control of its tab order.
    entryControls_[rowsInDialogOrder().front()]->setFocus();
}

// ---------------------------------------------------------------------------
// Building the controls

void Tdlg_Main::buildFrame() {
    const DialogFrame frame = dialogFrame(this);
    setFont(fittingFont(this));
    setFixedSize(frame.size);
    setSizeGripEnabled(false);

    QFrame* pnl_Settings = panel(this, "pnl_Settings", frame.settings);
    pnl_GeneralStg = panel(pnl_Settings, "pnl_GeneralStg", frame.general);
    pctrl_Stgs = pageControl(pnl_Settings, "pctrl_Stgs", QStringLiteral("Settings"));
    pctrl_Stgs->setGeometry(frame.pages);
    connect(pctrl_Stgs, &TPage95Control::OnChange, this, guarded(this, [this] { pctrl_StgsChange(); }));

    QFrame* pnl_Info = panel(pnl_Settings, "pnl_Info", frame.info);
    pnl_Info->setFrameStyle(QFrame::Panel | QFrame::Raised);
    lbl_Status = new widgets::TStatusLine("Status......", pnl_Info);
    lbl_Status->setObjectName("lbl_Status");
    lbl_Status->setGeometry(frame.status.adjusted(0, 0, 0, lbl_Status->sizeHint().height()));
    showStatus({StatusLevel::Error, "Status......"});
    lbl_Status->hide();

    buildInformationPage();
    tab_SignalAnalysis = sheet(pctrl_Stgs, qText(dialogPageCaption(DialogPage::SignalAnalysis)), "tab_SignalAnalysis");
    buildChannelPages();
    buildGroupPages();
    tab_Alarms = sheet(pctrl_Stgs, qText(pageCaption(EntryPage::Alarms)), "tab_Alarms");
    buildResultList(panel(this, "pnl_Result", frame.results), frame.resultCaptionWidth);
    buildButtons(panel(this, "pnl_Bottom", frame.buttons), frame);
}

void Tdlg_Main::buildInformationPage() {
    tab_Info = sheet(pctrl_Stgs, qText(dialogPageCaption(DialogPage::Information)), "tab_Info");
    auto* mmo_Info = new QPlainTextEdit(tab_Info);
    mmo_Info->setObjectName("mmo_Info");
    mmo_Info->setReadOnly(true);
    mmo_Info->setAccessibleName(tab_Info->Caption());
    // The ten lines as they are; the memo wraps what does not fit its width.
    QStringList info;
    for (const char* line : informationLines()) info << QString::fromLatin1(line);
    mmo_Info->setPlainText(info.join(u'\n'));
    QPalette memo = mmo_Info->palette();
    memo.setColor(QPalette::Base, memo.color(QPalette::Button));
    mmo_Info->setPalette(memo);
    fill(tab_Info, mmo_Info);
}

void Tdlg_Main::buildChannelPages() {
    tab_ChStgs = sheet(pctrl_Stgs, qText(dialogPageCaption(DialogPage::ChannelSettings)), "tab_ChStgs");
    pctrl_Channels = pageControl(tab_ChStgs, "pctrl_Channels", tab_ChStgs->Caption());
    channelSheets = {sheet(pctrl_Channels, qText(pageCaption(EntryPage::AnalogChannels)), "tab_Analog"),
                     sheet(pctrl_Channels, qText(pageCaption(EntryPage::DigitalChannels)), "tab_Digital"),
                     sheet(pctrl_Channels, qText(pageCaption(EntryPage::MathChannels)), "tab_Math")};
    fill(tab_ChStgs, pctrl_Channels);
}

void Tdlg_Main::buildGroupPages() {
    tab_GroupStgs = sheet(pctrl_Stgs, qText(dialogPageCaption(DialogPage::GroupSettings)), "tab_GroupStgs");
    pctrl_Groups = pageControl(tab_GroupStgs, "pctrl_Groups", tab_GroupStgs->Caption());
    for (int i = 0; i < kGroups; ++i) {
        groupSheets[i] =
            sheet(pctrl_Groups, QString::fromStdString(groupName(i)), QStringLiteral("tab_Group_%1").arg(i + 1));
    }
    fill(tab_GroupStgs, pctrl_Groups);
}

void Tdlg_Main::buildResultList(QWidget* pnl_Result, int captionWidth) {
    lvw_Result = new TdfsEnhListView(pnl_Result);
    lvw_Result->setObjectName("lvw_Result");
    lvw_Result->setGeometry(1, 1, pnl_Result->width() - 2, pnl_Result->height() - 2);
    lvw_Result->AddColumn(qText(kResultColumns[0]), captionWidth, Qt::AlignLeft, true);
    for (std::size_t column = 1; column < kResultColumns.size(); ++column)
        lvw_Result->AddColumn(qText(kResultColumns[column]), Scale(80), Qt::AlignRight);
    // Normal operation's durations, shown beside a scenario's (writeResults).
    lvw_Result->AddColumn(qText(kNormalOperationColumn), Scale(130), Qt::AlignRight);
    lvw_Result->setColumnHidden(kNormalColumn, true);
    for (Medium medium : kMedia) lvw_Result->AddItem(qText(mediumCaption(medium)), {"0", "0", "0", ""});
    // Every row is drawn by the list itself, selected over its full width.
    connect(lvw_Result, &TdfsEnhListView::OnDrawItem, this,
            [](TdfsEnhListView*, QPainter*, int, const QRect&, TdfsEnhListView::TOwnerDrawState, bool& defaultDrawing,
               bool& fullRowSelect) {
                defaultDrawing = true;
                fullRowSelect = true;
            });

    // The two commands also have keys, which work anywhere in the dialog and
    // which the menu shows.
    auto command = [this](const char* caption, const char* name, QKeySequence keys, void (Tdlg_Main::*slot)()) {
        auto* action = new QAction(caption, lvw_Result);
        action->setObjectName(name);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
        connect(action, &QAction::triggered, this, guarded(this, [this, slot] { (this->*slot)(); }));
        lvw_Result->addAction(action);
        return action;
    };
    command("Details...", "act_Details", QKeySequence(Qt::CTRL | Qt::Key_D), &Tdlg_Main::ShowDetails);
    command("Copy", "act_Copy", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &Tdlg_Main::CopyResults);
    command("Plant...", "act_Plant", QKeySequence(Qt::CTRL | Qt::Key_P), &Tdlg_Main::ShowPlant);
    command("Open setup...", "act_OpenSetup", QKeySequence(Qt::CTRL | Qt::Key_O), &Tdlg_Main::OpenSetupAs);
    command("Save setup as...", "act_SaveSetup", QKeySequence(Qt::CTRL | Qt::Key_S), &Tdlg_Main::SaveSetupAs);
    command("Save report...", "act_SaveReport", QKeySequence(), &Tdlg_Main::SaveReportAs);
    act_Undo = command("Undo", "act_Undo", QKeySequence::Undo, &Tdlg_Main::UndoReplace);
    act_Undo->setEnabled(false);
    lvw_Result->setAccessibleName("Results");
    lvw_Result->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(lvw_Result, &QTreeWidget::itemDoubleClicked, this, guarded(this, [this] { ShowDetails(); }));
}

void Tdlg_Main::buildButtons(QWidget* pnl_Bottom, const DialogFrame& frame) {
    btn_Clear = new QPushButton(kResetCaption, pnl_Bottom);
    btn_Clear->setObjectName("btn_Clear");
    btn_Clear->setGeometry(frame.reset);
    btn_Clear->setToolTip(kResetHint);
    btn_Clear->setAutoDefault(false);
    connect(btn_Clear, &QPushButton::clicked, this, guarded(this, [this] { btn_ClearClick(); }));
    // The two windows the dialog opens, in plain sight beside their keys.
    const auto opener = [&](const char* caption, const char* name, const QRect& at, void (Tdlg_Main::*command)(),
                            const char* keys) {
        auto* button = new QPushButton(caption, pnl_Bottom);
        button->setObjectName(name);
        button->setGeometry(at);
        button->setAutoDefault(false);
        button->setToolTip(QKeySequence(keys).toString(QKeySequence::NativeText));
        connect(button, &QPushButton::clicked, this, guarded(this, [this, command] { (this->*command)(); }));
        return button;
    };
    btn_Details = opener("Details...", "btn_Details", frame.details, &Tdlg_Main::ShowDetails, "Ctrl+D");
    btn_Plant = opener("Plant...", "btn_Plant", frame.plant, &Tdlg_Main::ShowPlant, "Ctrl+P");
    bln_Cancel = new QPushButton("Close", pnl_Bottom);
    bln_Cancel->setObjectName("bln_Cancel");
    bln_Cancel->setGeometry(frame.close);
    bln_Cancel->setAutoDefault(false);
    connect(bln_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tdlg_Main::buildEntries() {
    const auto& table = entryTable();
    entryControls_.assign(table.size(), nullptr);
    // Built page by page from the top, which is also the tab order within a page.
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* next) {
        if (previous != nullptr) setTabOrder(previous, next);
        previous = next;
    };
    for (std::size_t row : rowsInDialogOrder()) {
        const Entry& entry = table[row];
        // A page control's tabs come before the fields of its pages.
        const bool firstOnPage = entry.row == 0 && entry.index == 0;
        if (firstOnPage && entry.page == EntryPage::SignalAnalysis) {
            chain(pctrl_Stgs);
            chain(tab_Info->findChild<QPlainTextEdit*>());
        }
        if (firstOnPage && entry.page == EntryPage::AnalogChannels) chain(pctrl_Channels);
        if (firstOnPage && entry.page == EntryPage::Group) chain(pctrl_Groups);
        entryControls_[row] = buildEntry(entry);
        chain(entryControls_[row]);
    }
    // Then the result list (no tab stop) and the buttons.
    chain(lvw_Result);
    chain(btn_Clear);
    chain(btn_Details);
    chain(btn_Plant);
    chain(bln_Cancel);
}

QWidget* Tdlg_Main::buildEntry(const Entry& entry) {
    QWidget* page = pnl_GeneralStg;
    if (entry.page == EntryPage::SignalAnalysis) page = tab_SignalAnalysis;
    if (entry.page == EntryPage::Group) page = groupSheets[entry.index];
    if (entry.page == EntryPage::Alarms) page = tab_Alarms;
    if (entry.page >= EntryPage::AnalogChannels && entry.page <= EntryPage::MathChannels) {
        page = channelSheets[static_cast<int>(entry.page) - static_cast<int>(EntryPage::AnalogChannels)];
    }
    const Placement at = placementOf(entry, this);
    const QString control = QString::fromStdString(entry.control);
    auto* label = new QLabel(QString::fromStdString(entry.caption), page);
    label->setObjectName(QStringLiteral("lbl_") + control.mid(control.indexOf(u'_') + 1));
    label->move(at.label);
    QWidget* field = entry.isList() ? static_cast<QWidget*>(new QComboBox(page)) : new TExtSpinEdit(page);
    label->setBuddy(field);
    field->setAccessibleName(accessibleCaption(entry));

    if (auto* list = qobject_cast<QComboBox*>(field)) {
        list->setObjectName(control);
        list->setEditable(false);
        for (const std::string& item : entry.items) list->addItem(QString::fromStdString(item));
        list->setGeometry(at.field.x(), at.field.y(), at.field.width(), list->sizeHint().height());
        const bool card = entry.id == EntryId::CardSize;
        connect(list, &QComboBox::activated, this,
                guarded(this, [this, card] { card ? cb_CFSizeChange() : cb_SaveCycleChange(); }));
        return list;
    }
    auto* edit = static_cast<TExtSpinEdit*>(field);
    edit->setObjectName(control);
    edit->setMinValue(0);
    edit->setMaxValue(entry.maximum);
    edit->setGeometry(at.field.x(), at.field.y(), at.field.width(),
                      at.field.height() > 0 ? at.field.height() : edit->sizeHint().height());
    connect(edit, &TSpinEdit_X::OnChange, this, guarded(this, [this, edit, id = entry.id] {
                if (id == EntryId::Analog)
                    spe_CountAnalogChange(edit);
                else if (id == EntryId::MathValues)
                    spe_CountMathIVChange(edit);
                else
                    spe_CountChange(edit);
            }));
    return edit;
}

TExtSpinEdit* Tdlg_Main::countEdit(EntryId id) const {
    const auto& table = entryTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (table[row].id == id) return static_cast<TExtSpinEdit*>(entryControls_[row]);
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Entries, validation and calculation

CalculatorEntries Tdlg_Main::currentEntries() const {
    CalculatorEntries entries;
    const auto& table = entryTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (auto* list = qobject_cast<QComboBox*>(entryControls_[row]))
            table[row].field(entries) = list->currentIndex();
        if (auto* edit = qobject_cast<TExtSpinEdit*>(entryControls_[row])) table[row].field(entries) = edit->Value();
    }
    return entries;
}

void Tdlg_Main::showEntries(const CalculatorEntries& entries) {
    // Choosing a list entry by code raises no notification; a spin edit whose
    // text changes raises its own, so the count checks follow each value.
    updating_ = true;
    const auto& table = entryTable();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (auto* list = qobject_cast<QComboBox*>(entryControls_[row]))
            list->setCurrentIndex(table[row].field(entries));
        if (auto* edit = qobject_cast<TExtSpinEdit*>(entryControls_[row])) edit->setValue(table[row].field(entries));
    }
    updating_ = false;
}

void Tdlg_Main::Recalculate() {
    if (updating_ || !calculating_) return;
    try {
        BusyCursor busy;
        const CalculatorEntries entries = currentEntries();
        lastResult_ = calculator_->calculate(entries);
        lastEntries_ = entries;
        writeResults(lastResult_);
        ++calculations_;
        markChanges(entries);
    } catch (const std::exception& e) {
        showErrorBox(this, QString::fromUtf8(e.what()));
        return;
    }
    scheduleFollowers();
}

void Tdlg_Main::scheduleFollowers() {
    if (details_ != nullptr && details_->isVisible() && !detailsScheduled_) {
        detailsScheduled_ = true;
        schedule_([this] {
            detailsScheduled_ = false;
            if (details_->isVisible()) refreshDetails();
        });
    }
    // The plant's row open in the dialog takes its entries, evaluated once
    // however many calculations one action of the user caused.
    if (plant_ != nullptr && plant_->linkedRecorder() && !plantScheduled_) {
        plantScheduled_ = true;
        schedule_([this] {
            plantScheduled_ = false;
            plant_->followDialog(lastEntries_);
        });
    }
}

void Tdlg_Main::refreshDetails() {
    // The breakdown is read from the dialog's own last run; only the
    // durations without each writer need calculations of their own.
    try {
        if (calculations_ == 0) Recalculate();
        details_->showCalculation(lastEntries_, lastResult_, breakdownOf(*calculator_, lastResult_, lastEntries_));
    } catch (const std::exception& e) {
        showErrorBox(this, QString::fromUtf8(e.what()));
    }
}

void Tdlg_Main::writeResults(const CalculationResult& result) {
    lvw_Result->BeginUpdate();
    const StorageDuration* rows[] = {&result.internal, &result.card};
    const StorageDuration* normal[] = {&result.normalInternal, &result.normalCard};
    for (int row = 0; row < 2; ++row) {
        lvw_Result->setSubItem(row, 0, QString::number(rows[row]->weeks));
        lvw_Result->setSubItem(row, 1, QString::number(rows[row]->days));
        lvw_Result->setSubItem(row, 2, QString::number(rows[row]->hours));
        lvw_Result->setSubItem(row, kNormalColumn - 1, qText(durationText(*normal[row])));
    }
    // With an alarm share or a card reserve the figures are that scenario's,
    // named above them, with normal operation's beside.
    const bool scenario = result.hasScenario();
    lvw_Result->headerItem()->setText(
        0, qText(scenario ? scenarioText(result.alarmShare, result.cardReserve) : std::string(kResultColumns[0])));
    lvw_Result->setColumnHidden(kNormalColumn, !scenario);
    lvw_Result->EndUpdate();
}

QRect Tdlg_Main::resultsAndButtons() const {
    const QRect list(lvw_Result->mapToGlobal(QPoint(0, 0)), lvw_Result->size());
    const QRect buttons(btn_Clear->parentWidget()->mapToGlobal(QPoint(0, 0)), btn_Clear->parentWidget()->size());
    return list.united(buttons);
}

void Tdlg_Main::ShowDetails() {
    if (details_ == nullptr) {
        details_ = new TDetailsWindow(this);
        connect(details_, &TDetailsWindow::saveReportRequested, this, guarded(this, [this] { SaveReportAs(); }));
        // Where there is no room beside the dialog: the figures first, then
        // the rest of the results and the buttons.
        details_->setKeptInView([this] {
            QRect figures(lvw_Result->mapToGlobal(QPoint(0, 0)), lvw_Result->size());
            figures.setLeft(figures.left() + lvw_Result->ColumnWidth(0));
            return std::vector<QRect>{figures, resultsAndButtons()};
        });
    }
    if (!details_->isVisible()) refreshDetails();
    details_->show();
    details_->raise();
    details_->activateWindow();
}

void Tdlg_Main::ShowPlant() {
    if (plant_ == nullptr) {
        plant_ = new TPlantWindow(this, *clock_);
        plant_->setFileChooser([this](QWidget* parent, const FileQuestion& q) { return chooseFile_(parent, q); });
        plant_->setKeptInView([this] { return std::vector<QRect>{resultsAndButtons()}; });
        plant_->setSetupSource([this] {
            PlantRecorder recorder;
            recorder.name = setup_.isOpen() ? setup_.name().toStdString() : std::string();
            recorder.entries = currentEntries();
            return recorder;
        });
        connect(plant_, &TPlantWindow::openInDialogRequested, this,
                guarded(this, [this](const CalculatorEntries& entries) { showRecorder(entries); }));
        connect(plant_, &TPlantWindow::planRequested, this,
                guarded(this, [this](const CalculatorEntries& entries, int weeks, Medium medium) {
                    showRecorder(entries);
                    ShowDetails();
                    details_->setTarget(weeks, medium);
                }));
        connect(plant_, &TPlantWindow::linkChanged, this, [this] { showTitle(); });
        plant_->placeAsRemembered();
        plant_->reopenLast();
    }
    plant_->show();
    plant_->raise();
    plant_->activateWindow();
}

void Tdlg_Main::showRecorder(const CalculatorEntries& entries) {
    rememberForUndo(QStringLiteral("open recorder"));
    showEntries(entries);
    settleReplacedEntries();
    // The dialog comes up with its results and buttons, over the plant if it
    // stands there; Ctrl+P or a click brings the plant up again.
    raise();
    activateWindow();
}

void Tdlg_Main::reject() {
    if (plant_ != nullptr && !plant_->mayClose()) return;
    TGuardedDialog::reject();
}

void Tdlg_Main::CopyResults() {
    const CopyHeading heading{QStringLiteral("%1 %2").arg(QString::fromLatin1(kApplicationTitle), CAPACIMO_VERSION),
                              QDate::currentDate(), lbl_Status->isHidden() ? QString() : lbl_Status->text()};
    QGuiApplication::clipboard()->setText(plainResultsText(heading, lastResult_, lastEntries_));
}

// ---------------------------------------------------------------------------
// Setup files

void Tdlg_Main::showTitle() {
    // A plant's recorder open here is named with its plant, whose window
    // marks its changes; else the setup opened or saved.
    const QString linked = plant_ != nullptr ? plant_->linkedTitle() : QString();
    const QString model = qText(kModelName);
    setWindowTitle(linked.isEmpty() ? setup_.title(model) : QStringLiteral("%1 - %2").arg(model, linked));
    markChanges(lastEntries_);
}

void Tdlg_Main::markChanges(const CalculatorEntries& entries) {
    const bool linked = plant_ != nullptr && plant_->linkedRecorder().has_value();
    setWindowModified(!linked && setup_.isChanged(entries));
}

void Tdlg_Main::settleReplacedEntries() {
    // As Reset does: contradicting analog counts brought into line, the count
    // checks, then one calculation.
    spe_CountAnalogChange(nullptr);
    showStatus(validateEntries(currentEntries()));
    Recalculate();
}

void Tdlg_Main::rememberForUndo(const QString& what) {
    setup_.rememberForUndo(currentEntries());
    act_Undo->setText(QStringLiteral("Undo ") + what);
    act_Undo->setEnabled(true);
}

void Tdlg_Main::UndoReplace() {
    const std::optional<CalculatorEntries> before = setup_.undo();
    if (!before) return;
    act_Undo->setText(QStringLiteral("Undo"));
    act_Undo->setEnabled(false);
    showEntries(*before);
    showTitle();
    settleReplacedEntries();
}

bool Tdlg_Main::OpenSetup(const QString& path) {
    const SetupReadResult read = setup_.read(path);
    if (!read.setup) {
        showErrorBox(this, QString::fromStdString(read.error));
        return false;
    }
    rememberForUndo(QStringLiteral("open setup"));
    showEntries(read.setup->entries);
    spe_CountAnalogChange(nullptr);
    setup_.opened(path, *read.setup, currentEntries());
    showTitle();
    settleReplacedEntries();
    if (status_.level != StatusLevel::Error && !read.setup->defaultedKeys.empty())
        showStatus({StatusLevel::Information, SetupDocument::defaultedNote(read.setup->defaultedKeys)});
    return true;
}

bool Tdlg_Main::SaveSetup(const QString& path) {
    if (const QString error = setup_.save(path, currentEntries()); !error.isEmpty()) {
        showErrorBox(this, error);
        return false;
    }
    showTitle();
    return true;
}

void Tdlg_Main::OpenSetupAs() {
    const QString path = chooseFile_(this, {false, QStringLiteral("Open setup"), setup_.folder(), kSetupFilter});
    if (!path.isEmpty()) OpenSetup(path);
}

void Tdlg_Main::SaveSetupAs() {
    const QString path = chooseFile_(this, {true, QStringLiteral("Save setup as"), setup_.folder(), kSetupFilter});
    if (path.isEmpty()) return;
    SaveSetup(widgets::withExtension(path, qText(kSetupExtension)));
}

bool Tdlg_Main::SaveReport(const QString& path) {
    ResultOptions options;
    options.breakdown = true;
    if (details_ != nullptr && details_->isVisible()) options.target = details_->target();
    ReportInput input{makeResultRecord(currentEntries(), options, setup_.name().toStdString()),
                      QDateTime::currentDateTime(),
                      QStringLiteral(CAPACIMO_VERSION),
                      reportPaperFor(QLocale()),
                      {}};
    // A plant's recorder open here: its name and its days.
    if (plant_ != nullptr && plant_->linkedRecorder()) {
        const Plant& plant = plant_->model().plant();
        const std::size_t at = *plant_->linkedRecorder();
        input.record.name = plant.recorders()[at].name;
        input.days = ReportDays{plant.recorders()[at].start, plant.rows()[at].dates};
    }
    if (const QString error = writeReportPdf(path, input); !error.isEmpty()) {
        showErrorBox(this, error);
        return false;
    }
    setup_.usedFile(path);
    return true;
}

void Tdlg_Main::SaveReportAs() {
    const QString path =
        chooseFile_(this, {true, QStringLiteral("Save report"), setup_.folder(), QStringLiteral("PDF files (*.pdf)")});
    if (path.isEmpty()) return;
    SaveReport(widgets::withExtension(path, QStringLiteral(".pdf")));
}

void Tdlg_Main::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedSetup(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Tdlg_Main::dropEvent(QDropEvent* event) {
    const QString path = droppedSetup(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    OpenSetup(path);
}

void Tdlg_Main::showStatus(const ValidationOutcome& outcome) {
    status_ = outcome;
    colourStatus();
    lbl_Status->showMessage(outcome.level != StatusLevel::None ? QString::fromStdString(outcome.text) : QString());
}

void Tdlg_Main::colourStatus() {
    // As designed on a light window; a dark colour scheme gets lighter tones
    // that can still be read.
    const Rgb designed = statusColour(status_.level);
    const QColor colour(designed.red, designed.green, designed.blue);
    // The line sits on the dialog's own window colour. (The dialog hears of a
    // new palette before its children take it over, so it is read here.)
    QPalette p = lbl_Status->palette();
    p.setColor(QPalette::WindowText, widgets::readableOn(colour, palette().color(QPalette::Window)));
    lbl_Status->setPalette(p);
}

void Tdlg_Main::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && lbl_Status != nullptr) colourStatus();
}

void Tdlg_Main::spe_CountChange(TExtSpinEdit* sender) {
    if (sender == nullptr || sender->text().isEmpty()) return;
    showStatus(validateEntries(currentEntries()));
    Recalculate();
}

void Tdlg_Main::spe_CountAnalogChange(TExtSpinEdit* sender) {
    TExtSpinEdit* analog = countEdit(EntryId::Analog);
    if (analog->text().isEmpty()) return;
    // Totalizers first, then impulse counters: each assignment raises the
    // field's own change notification, so the checks also run for the state in
    // between. The fields clamp what they get.
    TExtSpinEdit* totalized = countEdit(EntryId::AnalogTotalized);
    TExtSpinEdit* impulse = countEdit(EntryId::AnalogImpulse);
    const auto set = adjustAnalogDependents(analog->Value(), totalized->Value(), impulse->Value());
    if (set.totalized) totalized->setValue(*set.totalized);
    if (set.impulse) impulse->setValue(*set.impulse);
    spe_CountChange(sender);
}

void Tdlg_Main::spe_CountMathIVChange(TExtSpinEdit* sender) {
    TExtSpinEdit* values = countEdit(EntryId::MathValues);
    if (values->text().isEmpty()) return;
    TExtSpinEdit* totalized = countEdit(EntryId::MathValuesTotalized);
    if (const auto set = adjustMathTotalized(values->Value(), totalized->Value())) totalized->setValue(*set);
    spe_CountChange(sender);
}

void Tdlg_Main::cb_CFSizeChange() {
    // A card too small for the megabytes kept free on it is named at once.
    showStatus(validateEntries(currentEntries()));
    Recalculate();
}

void Tdlg_Main::cb_SaveCycleChange() { Recalculate(); }

void Tdlg_Main::btn_ClearClick() {
    rememberForUndo(kResetCaption);
    ResetToDefaults();
    Recalculate();
}

void Tdlg_Main::pctrl_StgsChange() {
    TTab95Sheet* page = pctrl_Stgs->ActivePage();
    if (page == tab_ChStgs) pctrl_Channels->setActivePage(channelSheets[0]);
    if (page == tab_GroupStgs) pctrl_Groups->setActivePage(groupSheets[0]);
}

// ---------------------------------------------------------------------------
// Defaults and the settings store

void Tdlg_Main::ResetToDefaults() {
    showEntries(defaultEntries());
    spe_CountAnalogChange(nullptr);
}

void Tdlg_Main::RestoreSettings() { showEntries(readStoredEntries()); }

void Tdlg_Main::PersistSettings() { storeEntries(currentEntries()); }

}  // namespace capacimo::unit
