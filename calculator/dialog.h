// The calculator dialog of the "Scribent S" unit (kModelName): the user describes the
// recorder's setup and reads at once how long its internal memory and its SD
// card last. Its entry controls are built from the table of entries
// (calculator/entries.h), one control per row.
#pragma once

#include <QDate>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "calculator/calculation.h"
#include "calculator/copy_text.h"
#include "calculator/count_validation.h"
#include "calculator/dialog_geometry.h"
#include "calculator/entries.h"
#include "calculator/files/setup_file.h"
#include "calculator/plant/clock.h"
#include "calculator/setup_document.h"
#include "widgets/accessibility.h"
#include "widgets/file_question.h"
#include "widgets/guarded_dialog.h"
#include "widgets/page_control.h"
#include "widgets/result_list.h"
#include "widgets/spin_edit.h"
#include "widgets/status_line.h"

class QAction;
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
class TPlantWindow;

class Tdlg_Main : public widgets::TGuardedDialog {
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
    // "Plant..." opens the plant window (made on first use, then reused):
    // it adds the dialog's setup, and a row opened from it into the dialog
    // follows the dialog's changes. Its days are judged against the clock's
    // today (the system's unless replaced: tests; before the window is made).
    void ShowPlant();
    TPlantWindow* plantWindow() const { return plant_; }
    void setClock(const Clock& clock) { clock_ = &clock; }

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
    const QString& setupName() const { return setup_.name(); }

    // Undoes the last Reset or file open (Ctrl+Z): the entries, the title and
    // its change mark as they were before it. One step.
    void UndoReplace();
    bool canUndo() const { return setup_.canUndo(); }

    // Reads a setup file for OpenSetup (read whole from the disk and judged by
    // the setup file's reader, unless replaced: tests make one fail).
    using SetupReader = SetupDocument::Reader;
    void setSetupReader(SetupReader reader) { setup_.setReader(std::move(reader)); }

    // Asks for a file, for the dialog and its plant window: a modal file
    // dialog unless replaced (tests).
    using FileQuestion = widgets::FileQuestion;
    using FileChooser = widgets::FileChooser;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // The open Details window follows the dialog's calculations once control
    // returns to the event loop, however many one action of the user caused;
    // `scheduler` runs a task then (a zero-interval timer unless replaced).
    using Scheduler = std::function<void(std::function<void()> task)>;
    void setScheduler(Scheduler scheduler) { schedule_ = std::move(scheduler); }

public slots:
    // Closing asks the plant window first about its unsaved changes.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
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
    void buildResultList(QWidget* panel, int captionWidth);
    void buildButtons(QWidget* panel, const DialogFrame& frame);
    QWidget* buildEntry(const Entry& entry);

    // Puts the entries into the controls in the table's order, with updating set.
    void showEntries(const CalculatorEntries& entries);
    void showStatus(const ValidationOutcome& outcome);
    void colourStatus();
    // The open setup's title, or the plant's recorder's with its plant.
    void showTitle();
    // Marked changed while the entries differ from those of the open setup as
    // it was opened or last saved.
    void markChanges(const CalculatorEntries& entries);
    // Before a Reset or a file open replaces every entry: what Ctrl+Z brings back.
    void rememberForUndo(const QString& what);
    // After the entries were replaced: the counts brought into line, checked
    // and calculated once, as after a Reset.
    void settleReplacedEntries();
    void writeResults(const CalculationResult& result);
    // Hands the last calculation and its breakdown to the Details window.
    void refreshDetails();
    // The results and the buttons on the screen: what a window beside the
    // dialog leaves in view where it can.
    QRect resultsAndButtons() const;
    // After a calculation: the open windows follow it once control returns
    // to the event loop.
    void scheduleFollowers();
    // A plant's recorder shown in the dialog, as a file open shows a setup.
    void showRecorder(const CalculatorEntries& entries);
    TExtSpinEdit* countEdit(EntryId id) const;

    // Before the controls, so that a screen reader is given each as it should be.
    widgets::Accessibility accessibility_;
    bool updating_ = false;
    ValidationOutcome status_;  // what the status line shows
    int calculations_ = 0;

    // Designed controls.
    widgets::TStatusLine* lbl_Status = nullptr;
    TPage95Control* pctrl_Stgs = nullptr;
    TTab95Sheet* tab_Info = nullptr;
    TTab95Sheet* tab_SignalAnalysis = nullptr;
    TTab95Sheet* tab_ChStgs = nullptr;
    TTab95Sheet* tab_GroupStgs = nullptr;
    TTab95Sheet* tab_Alarms = nullptr;
    TPage95Control* pctrl_Channels = nullptr;
    std::array<TTab95Sheet*, 3> channelSheets{};  // analog, digital, math
    TPage95Control* pctrl_Groups = nullptr;
    QWidget* pnl_GeneralStg = nullptr;
    TdfsEnhListView* lvw_Result = nullptr;
    static constexpr int kNormalColumn = 4;  // lvw_Result's normal operation, after Hours
    QPushButton* btn_Clear = nullptr;
    QPushButton* btn_Details = nullptr;
    QPushButton* btn_Plant = nullptr;
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
    TPlantWindow* plant_ = nullptr;      // likewise
    bool plantScheduled_ = false;
    const Clock* clock_;

    FileChooser chooseFile_;
    // The open setup, its folder and the step Ctrl+Z takes back.
    SetupDocument setup_;
    QAction* act_Undo = nullptr;
};

}  // namespace capacimo::unit
