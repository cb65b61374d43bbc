// The calculator dialog's "Details" window: where the bytes of two hours go,
// how long each medium would last without each writer, and what to change to
// keep the data for a given number of weeks. It follows the dialog's entries
// while it is open and calculates nothing while it is closed. It stores
// nothing.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "calculator/breakdown.h"
#include "calculator/entries.h"
#include "calculator/planner.h"

class QComboBox;
class QLabel;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;
namespace capacimo::widgets {
class TdfsEnhListView;
}

namespace capacimo::unit {

class TByteChart;

// What "Copy" puts on the clipboard: the result list as tab-separated lines
// (its header, then each row, the SD card row naming the card), a blank line,
// then one line per entry in the table's order with its value as the dialog
// shows it.
QString plainResultsText(const widgets::TdfsEnhListView& results, const CalculatorEntries& entries);

class TDetailsWindow : public QDialog {
    Q_OBJECT

public:
    // The largest retention target the window accepts, in weeks.
    static constexpr int kMaximumWeeks = 10000;

    explicit TDetailsWindow(QWidget* owner);

    // The entries of the moment. While the window is visible everything is
    // recalculated once control returns to the event loop, however many
    // changes one action of the user brought; otherwise when it is next shown.
    void setEntries(const CalculatorEntries& entries);
    // Runs a task once control returns to the event loop; a zero-interval
    // timer unless replaced.
    using Scheduler = std::function<void(std::function<void()> task)>;
    void setScheduler(Scheduler scheduler) { schedule_ = std::move(scheduler); }
    const CalculatorEntries& entries() const { return entries_; }

    // How often the breakdown and the planner ran; lets callers see that they did.
    int breakdownCount() const { return breakdowns_; }
    int planCount() const { return plans_; }

    TByteChart* chart() const { return chart_; }
    QTableWidget* withoutTable() const { return tbl_Without; }
    QSpinBox* targetWeeks() const { return spb_TargetWeeks; }
    QComboBox* targetMedium() const { return cb_TargetMedium; }
    Medium medium() const;
    // The planner's answer as shown, one sentence a line.
    QStringList planLines() const;

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWithoutTable(QVBoxLayout* layout);
    void buildTarget(QVBoxLayout* layout);
    void refresh();
    void refreshBreakdown();
    void refreshPlan();
    void showBreakdown(const Breakdown& breakdown);
    void showPlan(const Plan& plan, std::int64_t weeks);
    // Sets the text of a cell (or of a column's header) only when it changes.
    void setCell(int row, int column, const QString& text, Qt::Alignment alignment, bool header = false);

    CalculatorEntries entries_;
    CalculationResult current_;  // both durations as entered
    bool stale_ = true;
    bool scheduled_ = false;
    Scheduler schedule_;
    bool placed_ = false;
    int breakdowns_ = 0;
    int plans_ = 0;

    QLabel* lbl_Written = nullptr;
    TByteChart* chart_ = nullptr;
    QLabel* lbl_Without = nullptr;
    QTableWidget* tbl_Without = nullptr;
    QSpinBox* spb_TargetWeeks = nullptr;
    QComboBox* cb_TargetMedium = nullptr;
    QLabel* lbl_Plan = nullptr;
};

}  // namespace capacimo::unit
