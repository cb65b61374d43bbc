// The calculator dialog's "Details" window: where the bytes of two hours go,
// how long each medium would last without each writer, and what to change to
// keep the data for a given number of weeks. It follows the dialog's entries
// while it is open and calculates nothing while it is closed. It stores
// nothing.
#pragma once

#include <QStringList>
#include <functional>
#include <vector>

#include "calculator/breakdown.h"
#include "calculator/entries.h"
#include "calculator/files/result_record.h"
#include "calculator/planner.h"
#include "widgets/guarded_dialog.h"
#include "widgets/window_placement.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;
namespace capacimo::unit {

using widgets::BesideOwner;

class TByteChart;

class TDetailsWindow : public widgets::TGuardedDialog {
    Q_OBJECT

public:
    // A window over `owner`, the calculator dialog, beside which it opens
    // and above which it stays.
    explicit TDetailsWindow(QWidget* owner);

    // The parts of the dialog the window leaves in view where the screen has
    // no room beside the dialog, the most important first, on the screen.
    void setKeptInView(BesideOwner::KeptInView parts) { placement_->setKeptInView(std::move(parts)); }

    // What the dialog calculated: the entries, their result and where the
    // bytes went. The window calculates none of it again; only the planner
    // runs here, for the target the window holds.
    void showCalculation(const CalculatorEntries& entries, const CalculationResult& result, const Breakdown& breakdown);
    const CalculatorEntries& entries() const { return entries_; }

    // How often a breakdown was shown and the planner ran; lets callers see that they did.
    int breakdownCount() const { return breakdowns_; }
    int planCount() const { return plans_; }

    TByteChart* chart() const { return chart_; }
    QTableWidget* withoutTable() const { return tbl_Without; }
    QSpinBox* targetWeeks() const { return spb_TargetWeeks; }
    QComboBox* targetMedium() const { return cb_TargetMedium; }
    Medium medium() const;
    // The planner's answer as shown, one sentence a line.
    QStringList planLines() const;

    QScrollArea* scrollArea() const { return scroll_; }
    QPushButton* saveReportButton() const { return btn_SaveReport; }

    // The target the window holds, for a report.
    Target target() const;
    // Holds weeks on medium as its target, and says what reaches it.
    void setTarget(int weeks, Medium medium);

signals:
    // "Save report..." was pressed; the calculator dialog asks for the file.
    void saveReportRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Grows the window to what its contents ask for, never beyond the
    // screen's available area; what does not fit scrolls. True when it was
    // placed anew for its new size.
    bool fitToScreen();
    void buildWithoutTable(QVBoxLayout* layout);
    void buildTarget(QVBoxLayout* layout);
    void refreshPlan();
    void showBreakdown(const Breakdown& breakdown);
    void showPlan(const Plan& plan, std::int64_t weeks);
    // Sets the text of a cell (or of a column's header) only when it changes.
    void setCell(int row, int column, const QString& text, Qt::Alignment alignment, bool header = false);

    CalculatorEntries entries_;
    CalculationResult current_;  // both durations as entered
    bool planStale_ = true;
    // Beside the dialog (window_placement.h); while automatic, the window
    // follows its own growth with a new place.
    BesideOwner* placement_ = nullptr;
    int breakdowns_ = 0;
    int plans_ = 0;

    QScrollArea* scroll_ = nullptr;
    QWidget* contents_ = nullptr;
    QLabel* lbl_Written = nullptr;
    TByteChart* chart_ = nullptr;
    QLabel* lbl_Without = nullptr;
    QTableWidget* tbl_Without = nullptr;
    QSpinBox* spb_TargetWeeks = nullptr;
    QComboBox* cb_TargetMedium = nullptr;
    QLabel* lbl_Plan = nullptr;
    QPushButton* btn_SaveReport = nullptr;
};

}  // namespace capacimo::unit
