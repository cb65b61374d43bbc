// The calculator dialog of the "Scribent S" unit: the user describes the
// recorder's setup and reads at once how long its internal memory and its SD
// card last. Its entry controls are built from the table of entries
// (calculator/entries.h), one control per row.
#pragma once

#include <QDate>
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "calculator/calculation.h"
#include "calculator/count_validation.h"
#include "calculator/entries.h"
#include "widgets/list_accessibility.h"
#include "widgets/page_control.h"
#include "widgets/result_list.h"
#include "widgets/spin_edit.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace capacimo::unit {

using widgets::TdfsEnhListView;
using widgets::TExtSpinEdit;
using widgets::TPage95Control;
using widgets::TSpinEdit_X;
using widgets::TTab95Sheet;

class TDetailsWindow;

// The display name of the unit and the caption of its dialog.
inline constexpr const char* kUnitName = "Scribent S";

// What "Copy" puts on the clipboard, as tab-separated lines: the model, the
// program and its version, the date and, when the status line shows one, its
// message; a blank line; the result table (its header, then each medium, the
// SD card naming its size); a blank line; one line per entry in the table's
// order with its value as the dialog shows it.
struct CopyHeading {
    QString program;  // "Ostrel Capacimo 1.0.0"
    QDate date;
    QString status;  // empty when the status line shows nothing
};
QString plainResultsText(const CopyHeading& heading, const CalculationResult& result, const CalculatorEntries& entries);

// Sizes the dialog places in code (the group pages' controls, the result
// columns) are given at 120 pixels per inch and multiplied by uiScale: 1.0
// at 120 pixels per inch or more, 0.8 below.
double uiScale();
void setUiScale(int pixelsPerInch);
int Scale(int value);

class Tdlg_Main : public QDialog {
    Q_OBJECT

public:
    explicit Tdlg_Main(QWidget* owner = nullptr);
    ~Tdlg_Main() override;

    // Fills the setup from the controls, runs the simulation, shows the durations.
    void Recalculate();
    void ResetToDefaults();
    void RestoreSettings();
    void PersistSettings();

    // What the controls hold now, as plain numbers.
    CalculatorEntries currentEntries() const;
    // The setup and cycle codes of the last calculation (the defaults before one).
    const RecorderSetup& recorderSetup() const { return calculator_->setup(); }
    const StorageCycleCodes& storageCycleCodes() const { return calculator_->cycleCodes(); }
    // Number of finished calculations; lets callers see that one ran.
    int calculationCount() const { return calculations_; }

    // The result list's menu: "Details..." opens the Details window (made on
    // first use, then reused) and "Copy" puts results and entries on the clipboard.
    void ShowDetails();
    void CopyResults();
    TDetailsWindow* detailsWindow() const { return details_; }

    // Setup files. Opening fills every control as "Reset" does, with one
    // calculation; a refused file is shown in an error box and changes
    // nothing. Keys the file lacks take their Reset value, which the status
    // line says. The title then names the setup, and a change of an entry
    // marks it changed until it is saved. Both return whether it worked.
    bool OpenSetup(const QString& path);
    bool SaveSetup(const QString& path);
    // The menu's commands: ask for a file in the folder used last, then open or save.
    void OpenSetupAs();
    void SaveSetupAs();
    // The one-page PDF report of the entries: the results, where the bytes go
    // and, while the Details window is open, what reaches its target.
    bool SaveReport(const QString& path);
    void SaveReportAs();
    const QString& setupName() const { return setupName_; }

    // Asks for a file: whether to save, the dialog's caption, the folder to
    // start in and the name filter; an empty answer cancels. A modal file
    // dialog unless replaced (tests).
    struct FileQuestion {
        bool save = false;
        QString caption;
        QString folder;
        QString filter;
    };
    using FileChooser = std::function<QString(QWidget* parent, const FileQuestion& question)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // The open Details window follows the dialog's calculations once control
    // returns to the event loop, however many one action of the user caused;
    // `scheduler` runs a task then (a zero-interval timer unless replaced).
    using Scheduler = std::function<void(std::function<void()> task)>;
    void setScheduler(Scheduler scheduler) { schedule_ = std::move(scheduler); }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void FormShow();
    void cb_CFSizeChange();
    void cb_SaveCycleChange();
    void spe_CountAnalogChange(TExtSpinEdit* sender);
    void spe_CountMathIVChange(TExtSpinEdit* sender);
    void spe_CountChange(TExtSpinEdit* sender);
    void btn_ClearClick();
    void pctrl_StgsChange();

    // Building the controls, one area at a time.
    void buildFrame();
    void buildInformationPage();
    void buildChannelPages();
    void buildGroupPages();
    void buildEntries();
    void buildResultList(QWidget* panel);
    void buildButtons(QWidget* panel);
    QWidget* buildEntry(const Entry& entry);
    QFont fittingFont() const;

    // Puts the entries into the controls in the table's order, with updating set.
    void showEntries(const CalculatorEntries& entries);
    void showStatus(const ValidationOutcome& outcome);
    void colourStatus();
    // "Scribent S", or with the open setup's name: "Scribent S - Boiler house[*]".
    void showTitle();
    void writeResults(const CalculationResult& result);
    // Hands the last calculation and its breakdown to the Details window.
    void refreshDetails();
    TExtSpinEdit* countEdit(EntryId id) const;

    // Before the controls, so that every list is presented by its caption.
    widgets::ListAccessibility listAccessibility_;
    bool updating_ = false;
    ValidationOutcome status_;  // what the status line shows
    int calculations_ = 0;

    // Designed controls.
    QLabel* lbl_Status = nullptr;
    TPage95Control* pctrl_Stgs = nullptr;
    TTab95Sheet* tab_Info = nullptr;
    TTab95Sheet* tab_SignalAnalysis = nullptr;
    TTab95Sheet* tab_ChStgs = nullptr;
    TTab95Sheet* tab_GroupStgs = nullptr;
    TPage95Control* pctrl_Channels = nullptr;
    std::array<TTab95Sheet*, 3> channelSheets{};  // analog, digital, math
    TPage95Control* pctrl_Groups = nullptr;
    QWidget* pnl_GeneralStg = nullptr;
    TdfsEnhListView* lvw_Result = nullptr;
    QPushButton* btn_Clear = nullptr;
    QPushButton* bln_Cancel = nullptr;
    std::array<TTab95Sheet*, kGroups> groupSheets{};

    // One control per row of the table of entries, in its order.
    std::vector<QWidget*> entryControls_;

    // Everything a calculation needs; the setup and the cycle codes of the
    // last one are read from it.
    std::unique_ptr<Calculator> calculator_ = std::make_unique<Calculator>();
    bool calculating_ = false;  // from set-up to destruction
    CalculatorEntries lastEntries_;
    CalculationResult lastResult_;

    Scheduler schedule_;
    bool detailsScheduled_ = false;

    TDetailsWindow* details_ = nullptr;  // a child window of the dialog

    FileChooser chooseFile_;
    QString setupName_;
    bool setupOpen_ = false;
    QString lastFolder_;  // where the last file was opened or saved, for this session
};

}  // namespace capacimo::unit
