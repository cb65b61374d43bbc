#include "calculator/dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cstdint>
#include <cmath>
#include <exception>

#include "common/design_scale.h"
#include "common/error_box.h"
#include "calculator/settings.h"

namespace capacimo {
namespace {

double g_uiScale = 1.0;

const char* const kInfoLines[] = {
    "Important information:",
    "",
    "Normal operation (i.e. standard save cycle) is presumed when calculating the memory duration. Higher save ",
    "speeds, due to alarms or many event messages, can reduce the storage duration considerably!",
    "",
    "With regard to external storage media, third-party files, or the creation of screenshots, can also reduce the ",
    "duration of the memory. For this reason, read out the memory on time or change the external storage medium.",
    "",
    "Even if the (external) memory is not yet full, it is advisable to read out the data frequently or to back up "
    "the data on ",
    "the PC. The storage information for a USB stick is not displayed.",
};

// Shows the hourglass until the scope ends, however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QString describe(const std::exception& e) { return QString::fromUtf8(e.what()); }

}  // namespace

double uiScale() { return g_uiScale; }

void setUiScale(int pixelsPerInch) { g_uiScale = pixelsPerInch >= 120 ? 1.0 : 0.8; }

int Scale(int value) { return static_cast<int>(std::lround(value * g_uiScale)); }

Tdlg_Main::Tdlg_Main(QWidget* owner) : QDialog(owner) {
    initRecorderSetup(setup_);
    FormCreate();
}

Tdlg_Main::~Tdlg_Main() { FormDestroy(); }

void Tdlg_Main::FormCreate() {
    try {
        updating_ = true;
        setWindowTitle(QString::fromLatin1(kUnitName));
        setObjectName("dlg_Main");
        // Qt measures in device-independent pixels, 96 to the inch, and scales
        // them to the screen itself; a 120 pixels-per-inch screen thus shows
        // the layout below at the size it was designed for.
        setUiScale(logicalDpiY());
        buildControls();
        for (int column = 1; column < lvw_Result->ColumnCount(); ++column) {
            lvw_Result->setColumnWidth(column, Scale(80));
        }
        initRecorderSetup(setup_);
        for (const CardSize& card : kCardSizes) cb_CFSize->addItem(QString::fromLatin1(card.text));
        cb_Analysis[0]->addItem(QString::fromStdString(analysisText(0)));
        for (int code = kFirstIntervalAnalysisCode; code <= kLastIntervalAnalysisCode; ++code) {
            cb_Analysis[0]->addItem(QString::fromStdString(intervalText(analysisPeriod(code))));
        }
        buildGroupPages();
        // Tab order: the settings area, the result list (not a tab stop), the buttons.
        setTabOrder(groupStateEdits[kGroups - 1], lvw_Result);
        setTabOrder(lvw_Result, btn_Clear);
        setTabOrder(btn_Clear, bln_Cancel);
        updating_ = false;

        ResetToDefaults();
        RestoreSettings();

        configBlock_ = std::make_unique<CConfigBlock>();
        capacimo_ = std::make_unique<CCapacimo>();
        capacimo_->setGroupCycles(configBlock_.get(), storageCycleCodes_);

        pctrl_Stgs->setActivePage(tab_Info);
        pctrl_Channels->setActivePage(tab_Analog);
        // Stored analog counts that contradict each other are brought into line.
        spe_CountAnalogChange(nullptr);
    } catch (const std::exception& e) {
        updating_ = false;
        showErrorBox(this, describe(e));
    }
}

void Tdlg_Main::FormDestroy() {
    try {
        PersistSettings();
    } catch (const std::exception& e) {
        CloseSettingsKey();
        showErrorBox(nullptr, describe(e));
    }
    capacimo_.reset();
    configBlock_.reset();
}

void Tdlg_Main::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Tdlg_Main::FormShow() { Recalculate(); }

// ---------------------------------------------------------------------------
// Building the controls

void Tdlg_Main::buildControls() {
    auto d = [this](int v) { return designScaled(this, v); };

    // The dialog was laid out for a narrow 13-pixel font. Should the system
    // have none that narrow, the font is made smaller, as a last resort,
    // until every caption fits in front of its control.
    const int labelGap = d(4);
    const std::pair<const char*, int> captions[] = {
        {"SD Card size:", d(148 - 8) - labelGap},
        {"Analysis 4:", d(115 - 10) - labelGap},
        {"Number of impulse counters or operation times:", d(300 - 10) - labelGap},
        {"Number of on/off events and operating times:", d(300 - 10) - labelGap},
        {"Number of on/off events or control inputs:", d(300 - 10) - labelGap},
        {"Number of digital on/off events or control inputs:", Scale(330) - labelGap},
        {"Number of instantaneous values (analog or math):", Scale(330) - labelGap},
    };
    QFont font = designFont(this, 13);
    const int designSize = font.pixelSize();
    for (int size = designSize; size >= designSize * 3 / 4; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (const auto& [caption, room] : captions) fits = fits && metrics.horizontalAdvance(caption) <= room;
        if (fits) break;
    }
    setFont(font);
    setFixedSize(d(675), d(434));
    setSizeGripEnabled(false);

    auto* pnl_Settings = new QFrame(this);
    pnl_Settings->setObjectName("pnl_Settings");
    pnl_Settings->setGeometry(0, 0, d(675), d(45 + 216 + 32));

    auto* pnl_GeneralStg = new QFrame(pnl_Settings);
    pnl_GeneralStg->setObjectName("pnl_GeneralStg");
    pnl_GeneralStg->setGeometry(0, 0, d(675), d(45));
    auto* lbl_CFSize = new QLabel("SD Card size:", pnl_GeneralStg);
    lbl_CFSize->setObjectName("lbl_CFSize");
    lbl_CFSize->move(d(8), d(16));
    cb_CFSize = addList(pnl_GeneralStg, "cb_CFSize", d(148), d(12), d(200));
    connect(cb_CFSize, &QComboBox::activated, this, [this] { cb_CFSizeChange(); });

    pctrl_Stgs = new TPage95Control(pnl_Settings);
    pctrl_Stgs->setObjectName("pctrl_Stgs");
    pctrl_Stgs->setGeometry(0, d(45), d(675), d(216));
    connect(pctrl_Stgs, &TPage95Control::OnChange, this, [this] { pctrl_StgsChange(); });

    auto* pnl_Info = new QFrame(pnl_Settings);
    pnl_Info->setObjectName("pnl_Info");
    pnl_Info->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnl_Info->setGeometry(0, d(45 + 216), d(675), d(32));
    lbl_Status = new QLabel("Status......", pnl_Info);
    lbl_Status->setObjectName("lbl_Status");
    lbl_Status->move(d(10), d(8));
    lbl_Status->resize(d(655), lbl_Status->sizeHint().height());
    QPalette statusColours = lbl_Status->palette();
    statusColours.setColor(QPalette::WindowText, QColor(255, 0, 0));
    lbl_Status->setPalette(statusColours);
    lbl_Status->hide();

    // Information page.
    tab_Info = new TTab95Sheet(pctrl_Stgs, "Information");
    tab_Info->setObjectName("tab_Info");
    auto* mmo_Info = new QPlainTextEdit(tab_Info);
    mmo_Info->setObjectName("mmo_Info");
    mmo_Info->setReadOnly(true);
    // The ten lines as they are; the memo wraps what does not fit its width.
    QStringList info;
    for (const char* line : kInfoLines) info << QString::fromLatin1(line);
    mmo_Info->setPlainText(info.join(u'\n'));
    QPalette memo = mmo_Info->palette();
    memo.setColor(QPalette::Base, memo.color(QPalette::Button));
    mmo_Info->setPalette(memo);

    // Signal analysis page.
    tab_SignalAnalysis = new TTab95Sheet(pctrl_Stgs, "Signal analysis");
    tab_SignalAnalysis->setObjectName("tab_SignalAnalysis");
    for (int k = 0; k < kAnalyses; ++k) {
        auto* label = new QLabel(QStringLiteral("Analysis %1:").arg(k + 1), tab_SignalAnalysis);
        label->setObjectName(QStringLiteral("lbl_Analysis%1").arg(k + 1));
        label->move(d(10), d(14 + 32 * k));
        cb_Analysis[k] = addList(tab_SignalAnalysis, QStringLiteral("cb_Analysis%1").arg(k + 1).toLatin1().constData(),
                                 d(115), d(10 + 32 * k), d(200));
        if (k > 0) {
            for (int item = 0; item < kCalendarAnalysisItems; ++item) {
                cb_Analysis[k]->addItem(QString::fromStdString(analysisText(analysisCodeForItem(k, item))));
            }
        }
        connect(cb_Analysis[k], &QComboBox::activated, this, [this] { cb_SaveCycleChange(); });
    }

    // Channel settings page with its three inner pages.
    tab_ChStgs = new TTab95Sheet(pctrl_Stgs, "Channel Settings");
    tab_ChStgs->setObjectName("tab_ChStgs");
    pctrl_Channels = new TPage95Control(tab_ChStgs);
    pctrl_Channels->setObjectName("pctrl_Channels");
    tab_Analog = new TTab95Sheet(pctrl_Channels, "Analog channels");
    tab_Analog->setObjectName("tab_Analog");
    auto* tab_Digital = new TTab95Sheet(pctrl_Channels, "Digital channels");
    tab_Digital->setObjectName("tab_Digital");
    auto* tab_Math = new TTab95Sheet(pctrl_Channels, "Math channels");
    tab_Math->setObjectName("tab_Math");

    auto count = [&](TTab95Sheet* page, const char* name, const char* caption, int labelTop, int editTop,
                     int maximum) {
        auto* label = new QLabel(QString::fromLatin1(caption), page);
        label->setObjectName(QStringLiteral("lbl_") + QString::fromLatin1(name).mid(4));
        label->move(d(10), d(labelTop));
        auto* edit = new TExtSpinEdit(page);
        edit->setObjectName(name);
        edit->setGeometry(d(300), d(editTop), d(60), d(26));
        edit->setMinValue(0);
        edit->setMaxValue(maximum);
        return edit;
    };
    spe_CountAnalog = count(tab_Analog, "spe_CountAnalog", "Number of  analog channels:", 14, 10, 40);
    spe_CountAnalogIntegr = count(tab_Analog, "spe_CountAnalogIntegr", "... of these with totalization:", 48, 44, 40);
    spe_CountAnalogIC = count(tab_Analog, "spe_CountAnalogIC", "... of  these as impulse counter:", 82, 78, 40);
    spe_CountDigitalOnOff =
        count(tab_Digital, "spe_CountDigitalOnOff", "Number of on/off events or control inputs:", 14, 10, 14);
    spe_CountDigitalOnOffOptTime = count(tab_Digital, "spe_CountDigitalOnOffOptTime",
                                         "Number of on/off events and operating times:", 48, 44, 14);
    spe_CountDigitalCounter = count(tab_Digital, "spe_CountDigitalCounter",
                                    "Number of impulse counters or operation times:", 84, 78, 14);
    spe_CountMathIV = count(tab_Math, "spe_CountMathIV", "Number of instantaneous values:", 14, 10, 8);
    spe_CountMathIVIntegr = count(tab_Math, "spe_CountMathIVIntegr", "... of these with totalization:", 48, 44, 8);
    spe_CountMathState = count(tab_Math, "spe_CountMathState", "Number of on/of events (states):", 82, 78, 8);
    spe_CountMathCounter =
        count(tab_Math, "spe_CountMathCounter", "Number of counters or operation times:", 116, 112, 8);

    connect(spe_CountAnalog, &TSpinEdit_X::OnChange, this, [this] { spe_CountAnalogChange(spe_CountAnalog); });
    connect(spe_CountMathIV, &TSpinEdit_X::OnChange, this, [this] { spe_CountMathIVChange(spe_CountMathIV); });
    for (TExtSpinEdit* edit : {spe_CountAnalogIntegr, spe_CountAnalogIC, spe_CountDigitalOnOff,
                               spe_CountDigitalOnOffOptTime, spe_CountDigitalCounter, spe_CountMathIVIntegr,
                               spe_CountMathState, spe_CountMathCounter}) {
        connect(edit, &TSpinEdit_X::OnChange, this, [this, edit] { spe_CountChange(edit); });
    }

    // Group settings page; its ten pages are built at set-up.
    tab_GroupStgs = new TTab95Sheet(pctrl_Stgs, "Group settings");
    tab_GroupStgs->setObjectName("tab_GroupStgs");
    pctrl_Groups = new TPage95Control(tab_GroupStgs);
    pctrl_Groups->setObjectName("pctrl_Groups");

    // The memo and the inner page controls fill their pages.
    const std::pair<QWidget*, QWidget*> fillers[] = {
        {tab_Info, mmo_Info}, {tab_ChStgs, pctrl_Channels}, {tab_GroupStgs, pctrl_Groups}};
    for (const auto& [page, inner] : fillers) {
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(inner);
    }

    // Result list.
    auto* pnl_Result = new QFrame(this);
    pnl_Result->setObjectName("pnl_Result");
    pnl_Result->setGeometry(0, d(45 + 216 + 32), d(675), d(96));
    lvw_Result = new TdfsEnhListView(pnl_Result);
    lvw_Result->setObjectName("lvw_Result");
    lvw_Result->setGeometry(1, 1, d(675) - 2, d(96) - 2);
    lvw_Result->AddColumn("Result", d(200), Qt::AlignLeft, true);
    lvw_Result->AddColumn("Weeks", 80, Qt::AlignRight);
    lvw_Result->AddColumn("Days", 80, Qt::AlignRight);
    lvw_Result->AddColumn("Hours", 80, Qt::AlignRight);
    lvw_Result->AddItem("Internal memory", {"0", "0", "0"});
    lvw_Result->AddItem("SD Card", {"0", "0", "0"});
    connect(lvw_Result, &TdfsEnhListView::OnDrawItem, this,
            [this](TdfsEnhListView* control, QPainter* canvas, int index, const QRect& rect,
                   TdfsEnhListView::TOwnerDrawState state, bool& defaultDrawing, bool& fullRowSelect) {
                lvw_ResultDrawItem(control, canvas, index, rect, state, defaultDrawing, fullRowSelect);
            });

    // Buttons.
    auto* pnl_Bottom = new QFrame(this);
    pnl_Bottom->setObjectName("pnl_Bottom");
    pnl_Bottom->setGeometry(0, d(434 - 45), d(675), d(45));
    btn_Clear = new QPushButton("Reset", pnl_Bottom);
    btn_Clear->setObjectName("btn_Clear");
    btn_Clear->setGeometry(d(10), d(8), d(100), d(30));
    btn_Clear->setToolTip("Reset all settings to default values");
    btn_Clear->setAutoDefault(false);
    connect(btn_Clear, &QPushButton::clicked, this, [this] { btn_ClearClick(); });
    bln_Cancel = new QPushButton("Close", pnl_Bottom);
    bln_Cancel->setObjectName("bln_Cancel");
    bln_Cancel->setGeometry(d(563), d(8), d(100), d(30));
    bln_Cancel->setAutoDefault(false);
    connect(bln_Cancel, &QPushButton::clicked, this, &QDialog::reject);

}

QComboBox* Tdlg_Main::addList(QWidget* parent, const char* name, int left, int top, int width) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    list->move(left, top);
    list->resize(width, list->sizeHint().height());
    return list;
}

void Tdlg_Main::buildGroupPages() {
    for (int i = 0; i < kGroups; ++i) {
        const int n = i + 1;
        const QString hex = QString::number(i, 16).toUpper().rightJustified(2, '0');
        int x = Scale(10);
        int y = Scale(10);

        auto* sheet = new TTab95Sheet(pctrl_Groups, QStringLiteral("Group %1").arg(n));
        sheet->setObjectName(QStringLiteral("tab_Group_%1").arg(n));
        groupSheets[i] = sheet;

        auto* cycleLabel = new QLabel("Storage cycle:", sheet);
        cycleLabel->move(x, y + Scale(4));
        groupCycleLabels[i] = cycleLabel;
        auto* cycles = new QComboBox(sheet);
        cycles->setObjectName(QStringLiteral("cb_GroupCycle") + hex);
        cycles->setEditable(false);
        for (int item = 0; item < cycleItemCount(i); ++item) {
            cycles->addItem(QString::fromStdString(storageCycleText(storageCycleCodeForItem(i, item))));
        }
        cycles->setCurrentIndex(0);
        cycles->move(x + Scale(330), y);
        cycles->resize(Scale(100), cycles->sizeHint().height());
        connect(cycles, &QComboBox::activated, this, [this] { cb_SaveCycleChange(); });
        groupCycleCombos[i] = cycles;
        y += Scale(32);

        auto addCountRow = [&](const QString& caption, const QString& name, QLabel*& label, TExtSpinEdit*& edit) {
            label = new QLabel(caption, sheet);
            label->move(x, y + Scale(4));
            edit = new TExtSpinEdit(sheet);
            edit->setObjectName(name);
            edit->setValue(0);
            edit->setMinValue(0);
            edit->setMaxValue(kSlotsPerGroup);
            edit->setGeometry(x + Scale(330), y, Scale(60), edit->sizeHint().height());
            TExtSpinEdit* e = edit;
            connect(e, &TSpinEdit_X::OnChange, this, [this, e] { spe_CountChange(e); });
        };
        addCountRow("Number of instantaneous values (analog or math):", QStringLiteral("spe_GroupIV") + hex,
                    groupIVLabels[i], groupIVEdits[i]);
        y += Scale(34);
        addCountRow("Number of digital on/off events or control inputs:", QStringLiteral("spe_GroupState") + hex,
                    groupStateLabels[i], groupStateEdits[i]);
        y += Scale(34);

        setTabOrder(cycles, groupIVEdits[i]);
        setTabOrder(groupIVEdits[i], groupStateEdits[i]);
    }
}

// ---------------------------------------------------------------------------
// Entries, validation and calculation

CalculatorEntries Tdlg_Main::currentEntries() const {
    CalculatorEntries e;
    ChannelCounts& c = e.counts;
    c.analog = spe_CountAnalog->Value();
    c.analogTotalized = spe_CountAnalogIntegr->Value();
    c.analogImpulse = spe_CountAnalogIC->Value();
    c.digitalEvents = spe_CountDigitalOnOff->Value();
    c.digitalEventsOpTime = spe_CountDigitalOnOffOptTime->Value();
    c.digitalCounters = spe_CountDigitalCounter->Value();
    c.mathValues = spe_CountMathIV->Value();
    c.mathValuesTotalized = spe_CountMathIVIntegr->Value();
    c.mathStates = spe_CountMathState->Value();
    c.mathCounters = spe_CountMathCounter->Value();
    for (int g = 0; g < kGroups; ++g) {
        c.groupValues[g] = groupIVEdits[g]->Value();
        c.groupStates[g] = groupStateEdits[g]->Value();
        e.cycleItems[g] = groupCycleCombos[g]->currentIndex();
    }
    for (int k = 0; k < kAnalyses; ++k) e.analysisItems[k] = cb_Analysis[k]->currentIndex();
    e.cardItem = cb_CFSize->currentIndex();
    return e;
}

void Tdlg_Main::Recalculate() {
    if (updating_ || !capacimo_) return;
    try {
        BusyCursor busy;
        const CalculationResult result =
            runCalculation(currentEntries(), setup_, storageCycleCodes_, *configBlock_, *capacimo_);
        writeResults(result);
        ++calculations_;
    } catch (const std::exception& e) {
        showErrorBox(this, describe(e));
    }
}

void Tdlg_Main::writeResults(const CalculationResult& result) {
    lvw_Result->BeginUpdate();
    const StorageDuration* rows[] = {&result.internal, &result.card};
    for (int row = 0; row < 2; ++row) {
        lvw_Result->setSubItem(row, 0, QString::number(rows[row]->weeks));
        lvw_Result->setSubItem(row, 1, QString::number(rows[row]->days));
        lvw_Result->setSubItem(row, 2, QString::number(rows[row]->hours));
    }
    lvw_Result->EndUpdate();
}

void Tdlg_Main::showStatus(const ValidationOutcome& outcome) {
    QColor colour(0, 0, 0);
    if (outcome.level == StatusLevel::Error) colour = QColor(255, 0, 0);
    if (outcome.level == StatusLevel::Information) colour = QColor(0, 0, 255);
    QPalette p = lbl_Status->palette();
    p.setColor(QPalette::WindowText, colour);
    lbl_Status->setPalette(p);
    lbl_Status->setText(QString::fromStdString(outcome.text));
    lbl_Status->setVisible(outcome.level != StatusLevel::None);
}

void Tdlg_Main::spe_CountChange(TExtSpinEdit* sender) {
    if (sender == nullptr || sender->text().isEmpty()) return;
    showStatus(validateCounts(currentEntries().counts));
    Recalculate();
}

void Tdlg_Main::spe_CountAnalogChange(TExtSpinEdit* sender) {
    if (spe_CountAnalog->text().isEmpty()) return;
    // Totalizers first, then impulse counters: each assignment raises the
    // field's own change notification, so the checks also run for the state in
    // between. The fields clamp what they get.
    const auto set = adjustAnalogDependents(spe_CountAnalog->Value(), spe_CountAnalogIntegr->Value(),
                                            spe_CountAnalogIC->Value());
    if (set.totalized) spe_CountAnalogIntegr->setValue(*set.totalized);
    if (set.impulse) spe_CountAnalogIC->setValue(*set.impulse);
    spe_CountChange(sender);
}

void Tdlg_Main::spe_CountMathIVChange(TExtSpinEdit* sender) {
    if (spe_CountMathIV->text().isEmpty()) return;
    if (const auto totalized = adjustMathTotalized(spe_CountMathIV->Value(), spe_CountMathIVIntegr->Value())) {
        spe_CountMathIVIntegr->setValue(*totalized);
    }
    spe_CountChange(sender);
}

void Tdlg_Main::cb_CFSizeChange() { Recalculate(); }

void Tdlg_Main::cb_SaveCycleChange() { Recalculate(); }

void Tdlg_Main::btn_ClearClick() {
    ResetToDefaults();
    Recalculate();
}

void Tdlg_Main::pctrl_StgsChange() {
    TTab95Sheet* page = pctrl_Stgs->ActivePage();
    if (page == tab_ChStgs) pctrl_Channels->setActivePage(tab_Analog);
    if (page == tab_GroupStgs) pctrl_Groups->setActivePage(groupSheets[0]);
}

void Tdlg_Main::lvw_ResultDrawItem(TdfsEnhListView*, QPainter*, int, const QRect&, TdfsEnhListView::TOwnerDrawState,
                                   bool& defaultDrawing, bool& fullRowSelect) {
    defaultDrawing = true;
    fullRowSelect = true;
}

// ---------------------------------------------------------------------------
// Defaults and the settings store

void Tdlg_Main::ResetToDefaults() {
    updating_ = true;
    for (QComboBox* list : cb_Analysis) list->setCurrentIndex(0);
    cb_CFSize->setCurrentIndex(0);
    spe_CountAnalog->setValue(1);
    for (TExtSpinEdit* edit : {spe_CountAnalogIntegr, spe_CountAnalogIC, spe_CountDigitalCounter,
                               spe_CountDigitalOnOffOptTime, spe_CountDigitalOnOff, spe_CountMathIV,
                               spe_CountMathIVIntegr, spe_CountMathState, spe_CountMathCounter}) {
        edit->setValue(0);
    }
    const CalculatorEntries defaults = defaultEntries();
    for (int g = 0; g < kGroups; ++g) {
        groupCycleCombos[g]->setCurrentIndex(defaults.cycleItems[g]);
        groupIVEdits[g]->setValue(defaults.counts.groupValues[g]);
        groupStateEdits[g]->setValue(defaults.counts.groupStates[g]);
    }
    updating_ = false;
    spe_CountAnalogChange(nullptr);
}

QWidget* Tdlg_Main::settingControl(std::size_t row) const {
    const StoredSetting& s = storedSettings()[row];
    using K = StoredSetting::Kind;
    switch (s.kind) {
    case K::CardList: return cb_CFSize;
    case K::AnalysisList: return cb_Analysis[s.index];
    case K::CycleList: return groupCycleCombos[s.index];
    case K::GroupCount: return s.name == "CountGroupIV" ? groupIVEdits[s.index] : groupStateEdits[s.index];
    case K::Count: break;
    }
    // A channel count is stored under its field's name: "CountAnalog" for spe_CountAnalog.
    return findChild<TExtSpinEdit*>(QStringLiteral("spe_") + s.name);
}

void Tdlg_Main::RestoreSettings() {
    OpenSettingsKey();
    updating_ = true;
    const auto& rows = storedSettings();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        QWidget* control = settingControl(row);
        if (auto* edit = qobject_cast<TExtSpinEdit*>(control)) {
            // The field clamps the stored number to its range.
            edit->setValue(ReadSettingInteger(rows[row].section, rows[row].name, edit->Value(), false));
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            const std::int32_t position =
                ReadSettingInteger(rows[row].section, rows[row].name, list->currentIndex(), false);
            list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
        }
    }
    CloseSettingsKey();
    ValidateSelections();
    updating_ = false;
}

void Tdlg_Main::ValidateSelections() {
    for (QComboBox* list : cb_Analysis) {
        if (list->currentIndex() < 0) list->setCurrentIndex(0);
    }
    if (cb_CFSize->currentIndex() < 0) cb_CFSize->setCurrentIndex(0);
    for (QComboBox* list : groupCycleCombos) {
        if (list->currentIndex() < 0) list->setCurrentIndex(0);
    }
}

void Tdlg_Main::PersistSettings() {
    OpenSettingsKey();
    const auto& rows = storedSettings();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        QWidget* control = settingControl(row);
        std::int32_t entry = 0;
        if (auto* edit = qobject_cast<TExtSpinEdit*>(control)) entry = edit->Value();
        if (auto* list = qobject_cast<QComboBox*>(control)) entry = list->currentIndex();
        WriteSettingInteger(rows[row].section, rows[row].name, entry, false);
    }
    CloseSettingsKey();
}

}  // namespace capacimo
