// The calculator dialog of the "Scribent S" unit: the user describes the
// recorder's setup and reads at once how long its internal memory and its SD
// card last.
#pragma once

#include <QDialog>
#include <QPainter>
#include <QPointer>
#include <array>
#include <memory>

#include "calculator/config_block.h"
#include "calculator/count_validation.h"
#include "calculator/calculation.h"
#include "calculator/recorder_setup.h"
#include "calculator/simulation.h"
#include "widgets/page_control.h"
#include "widgets/result_list.h"
#include "widgets/spin_edit.h"

class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace capacimo {

// The display name of the unit and the caption of its dialog.
inline constexpr const char* kUnitName = "Scribent S";

// Sizes placed by program code are given at 120 pixels per inch and scaled by
// uiScale: 1.0 at 120 pixels per inch or more, 0.8 below.
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
    void ValidateSelections();
    void PersistSettings();

    // What the controls hold now, as plain numbers.
    CalculatorEntries currentEntries() const;
    const RecorderSetup& recorderSetup() const { return setup_; }
    const StorageCycleCodes& storageCycleCodes() const { return storageCycleCodes_; }
    bool isUpdating() const { return updating_; }
    // Number of finished calculations; lets callers see that one ran.
    int calculationCount() const { return calculations_; }

protected:
    void showEvent(QShowEvent* event) override;

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
    void lvw_ResultDrawItem(TdfsEnhListView* control, QPainter* canvas, int index, const QRect& rect,
                            TdfsEnhListView::TOwnerDrawState state, bool& defaultDrawing, bool& fullRowSelect);

    void buildControls();
    void buildGroupPages();
    TExtSpinEdit* addCount(TTab95Sheet* page, const char* name, const QString& caption, int labelTop,
                           int editTop, int maximum);
    QComboBox* addList(QWidget* parent, const char* name, int left, int top, int width);
    void showStatus(const ValidationOutcome& outcome);
    void writeResults(const CalculationResult& result);
    // The controls behind the stored values, in the order of storedSettings().
    QWidget* settingControl(std::size_t row) const;

    bool updating_ = false;
    int calculations_ = 0;

    // Designed controls.
    QComboBox* cb_CFSize = nullptr;
    QLabel* lbl_Status = nullptr;
    TPage95Control* pctrl_Stgs = nullptr;
    TTab95Sheet* tab_Info = nullptr;
    TTab95Sheet* tab_SignalAnalysis = nullptr;
    TTab95Sheet* tab_ChStgs = nullptr;
    TTab95Sheet* tab_GroupStgs = nullptr;
    TPage95Control* pctrl_Channels = nullptr;
    TTab95Sheet* tab_Analog = nullptr;
    TPage95Control* pctrl_Groups = nullptr;
    std::array<QComboBox*, kAnalyses> cb_Analysis{};
    TExtSpinEdit* spe_CountAnalog = nullptr;
    TExtSpinEdit* spe_CountAnalogIntegr = nullptr;
    TExtSpinEdit* spe_CountAnalogIC = nullptr;
    TExtSpinEdit* spe_CountDigitalOnOff = nullptr;
    TExtSpinEdit* spe_CountDigitalOnOffOptTime = nullptr;
    TExtSpinEdit* spe_CountDigitalCounter = nullptr;
    TExtSpinEdit* spe_CountMathIV = nullptr;
    TExtSpinEdit* spe_CountMathIVIntegr = nullptr;
    TExtSpinEdit* spe_CountMathState = nullptr;
    TExtSpinEdit* spe_CountMathCounter = nullptr;
    TdfsEnhListView* lvw_Result = nullptr;
    QPushButton* btn_Clear = nullptr;
    QPushButton* bln_Cancel = nullptr;

    // Controls of the group pages, index 0 = group 1.
    std::array<TTab95Sheet*, kGroups> groupSheets{};
    std::array<QLabel*, kGroups> groupCycleLabels{};
    std::array<QComboBox*, kGroups> groupCycleCombos{};
    std::array<QLabel*, kGroups> groupIVLabels{};
    std::array<TExtSpinEdit*, kGroups> groupIVEdits{};
    std::array<QLabel*, kGroups> groupStateLabels{};
    std::array<TExtSpinEdit*, kGroups> groupStateEdits{};

    RecorderSetup setup_;
    StorageCycleCodes storageCycleCodes_{};
    std::unique_ptr<CConfigBlock> configBlock_;
    std::unique_ptr<CCapacimo> capacimo_;
};

}  // namespace capacimo
