// The calculator dialog's plant window: every recorder of a plant in one
// table (plant_model.h), with the day each memory is full and the day to
// read it out by, the plant's totals and its margin. It adds the dialog's
// setup, opens a row in the dialog and follows the dialog's changes into
// that row; it renames, duplicates, removes (with an undo) and dates
// recorders; it opens and saves the plant's CSV file, exports the read-out
// days as a calendar and saves the plant's report. A window over the
// dialog, not modal, as large as its whole table wants (beside the dialog
// where the screen has room for both); its title marks unsaved changes, and
// closing it with some asks first. The settings store remembers the margin,
// the plant file last open, which comes back with the window, and a size
// and place the user gave the window (used again on a screen of that size).
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <optional>

#include "calculator/plant/plant.h"
#include "widgets/file_question.h"
#include "widgets/guarded_dialog.h"
#include "widgets/window_placement.h"

class QAction;
class QHBoxLayout;
class QLabel;
class QMenu;
class QMenuBar;
class QSpinBox;
class QTableView;
class QTimer;
class QVBoxLayout;

namespace capacimo::unit {

using widgets::BesideOwner;
using widgets::frameOf;
using widgets::kNear;

class PlantTableModel;

class TPlantWindow : public widgets::TGuardedDialog {
    Q_OBJECT

public:
    // A window over `owner`, the calculator dialog, beside which it opens.
    // The clock says what today is (it must outlive the window).
    TPlantWindow(QWidget* owner, const Clock& clock);
    ~TPlantWindow() override;

    void setKeptInView(BesideOwner::KeptInView parts) { placement_->setKeptInView(std::move(parts)); }
    // What "Add current setup" adds: the dialog's entries and a name.
    using SetupSource = std::function<PlantRecorder()>;
    void setSetupSource(SetupSource source) { currentSetup_ = std::move(source); }
    void setFileChooser(widgets::FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // The question before closing with unsaved changes: Save, Discard or
    // Cancel (a message box unless replaced: tests).
    using CloseQuestion = std::function<QMessageBox::StandardButton(QWidget* parent)>;
    void setCloseQuestion(CloseQuestion question) { askToClose_ = std::move(question); }
    // The question before the first save over the file a plant came from
    // when it holds rows or cells that could not be read, which the save
    // writes back as they were: true to save (a message box unless
    // replaced: tests).
    using UnreadQuestion = std::function<bool(QWidget* parent, const QString& text)>;
    void setUnreadQuestion(UnreadQuestion question) { askAboutUnread_ = std::move(question); }

    const PlantTableModel& model() const { return *model_; }
    QTableView* table() const { return view_; }
    QSpinBox* marginField() const { return spb_Margin; }
    QLabel* totalsLabel() const { return lbl_Totals; }

    // The commands, on the selected row where they need one.
    void AddCurrentSetup();
    void OpenInDialog();
    // A recorder with a target: opened in the dialog, with the Details
    // saying what reaches its target.
    void PlanForTarget();
    void Rename();
    void EditStart();
    void Duplicate();
    void Remove();
    void UndoRemove();
    bool canUndo() const { return removed_.has_value(); }
    bool ExportCalendar(const QString& path);
    void ExportCalendarAs();
    // The plant's report as PDF: its summary, then each recorder's page.
    bool SaveReport(const QString& path);
    void SaveReportAs();

    // The plant's CSV file. Opening asks first about unsaved changes, then
    // shows every row it could read and, in one box, what it could not (by
    // line and column), which it keeps to write back as it was; a file it
    // cannot read at all changes nothing. Saving writes the whole file or
    // none of it; a failure leaves the changes marked unsaved. Each returns
    // whether it worked.
    bool OpenPlant(const QString& path);
    bool SavePlant(const QString& path);
    // The commands: ask for a file (Save asks only for a new plant).
    void OpenPlantAs();
    bool SavePlant();
    bool SavePlantAs();

    // The recorder open in the dialog (its place in the plant's file order),
    // and its name with the plant's: "Kiln 1, plant plant.csv".
    std::optional<std::size_t> linkedRecorder() const { return linked_; }
    QString linkedTitle() const;
    // What the window says below its table ("The plant last open, ... could not be opened: ...").
    QLabel* statusLabel() const { return lbl_Status; }
    // Opens the plant file last open in the window, from the settings
    // store; what cannot be read of it is said below the table.
    void reopenLast();
    // Before it is first shown: the size and place the user last gave the
    // window, from the settings store, when they were given on a screen of
    // this size; false when there are none.
    bool placeAsRemembered();
    // The dialog's entries after a change: the recorder open in the dialog
    // takes them, and is evaluated again, when they differ from its own.
    void followDialog(const CalculatorEntries& entries);

    bool isUnsaved() const { return unsaved_; }
    const QString& filePath() const { return path_; }
    // Asks before unsaved changes are lost; true when the window may go
    // (saved, discarded or nothing to lose).
    bool mayClose();

signals:
    // The recorder open in the dialog changed, or its name or the plant's file did.
    void linkChanged();
    // "Open in dialog": the dialog shows these entries.
    void openInDialogRequested(const CalculatorEntries& entries);
    // "Plan for its target": the dialog shows these entries and its Details
    // the plan for the target, in whole weeks (targetWeeks) on the medium.
    void planRequested(const CalculatorEntries& entries, int weeks, Medium medium);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildSortMenu(QMenuBar* bar);
    void buildCommands(QVBoxLayout* layout);
    void buildTable(QVBoxLayout* layout);
    void buildFooter(QVBoxLayout* layout);
    QAction* command(QMenu* menu, const QString& caption, const char* name, const QKeySequence& keys,
                     std::function<void()> run);
    // The recorder of the selected row, if any; selects a recorder's row.
    std::optional<std::size_t> selectedRecorder() const;
    void select(std::size_t recorder);
    void showTotals();
    void showTitle();
    void showLinked();
    void markUnsaved(bool unsaved);
    void enableCommands();
    // The size its whole table wants (every column, names of 30 characters,
    // a dozen rows), within the screen; then beside the dialog where there
    // is room, else where it covers the least of it.
    void fitTable();
    // The name column as wide as the longest name (up to 30 characters).
    void fitNameColumn();
    // The size and place the user gave the window, in the settings store,
    // and back on a screen of the same size; false when there is none.
    void rememberPlace();
    // After a file was opened or saved: the file the window opens with next time.
    void rememberFile();
    void setLinked(std::optional<std::size_t> recorder);
    // A plant file read in place of the plant, or why not; the lines of what
    // could not be read (by line and column), and the window's word on it.
    struct Opened {
        bool ok = false;
        QString failure;
        QStringList lines;
    };
    Opened readPlant(const QString& path);
    QString lastFolder() const;
    // After a file was written, or not: the error shown, or the folder remembered.
    bool written(const QString& path, const QString& error);
    // Forgets the plant: an empty one, as the window first opens.
    void discard();

    BesideOwner* placement_ = nullptr;
    bool sized_ = false;
    bool resizing_ = false;    // the window resizes itself
    bool userSized_ = false;   // the user gave it a size
    bool remembered_ = false;  // it opened where the user had put it
    QSize requested_;          // the size it asked for last
    QLabel* lbl_Status = nullptr;
    PlantTableModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    QLabel* lbl_Totals = nullptr;
    QLabel* lbl_Linked = nullptr;
    QSpinBox* spb_Margin = nullptr;
    QAction* act_Undo = nullptr;
    QAction* act_Plan = nullptr;         // enabled for a recorder with a target
    std::vector<QAction*> rowCommands_;  // those that need a selected row
    QTimer* midnight_ = nullptr;

    const Clock* clock_;
    SetupSource currentSetup_;
    widgets::FileChooser chooseFile_;
    CloseQuestion askToClose_;
    UnreadQuestion askAboutUnread_;
    bool askedAboutUnread_ = false;  // since the plant was opened
    std::optional<std::size_t> linked_;
    // The last recorder removed, and where it was, for the undo.
    struct Removed {
        std::size_t index;
        PlantRecorder recorder;
    };
    std::optional<Removed> removed_;
    QString path_;  // the plant file open, or empty for a new plant
    QString folder_;
    bool unsaved_ = false;
};

}  // namespace capacimo::unit
