// The calculator dialog's plant window: every recorder of a plant in one
// table (plant_model.h), with the day each memory is full and the day to
// read it out by, the plant's totals and its margin. It adds the dialog's
// setup, opens a row in the dialog and follows the dialog's changes into
// that row; it renames, duplicates, removes (with an undo) and dates
// recorders; it opens and saves the plant's CSV file, exports the read-out
// days as a calendar and saves the plant's report. A window beside the
// dialog, not modal; its title marks unsaved changes, and closing it with
// some asks first. The margin is remembered in the settings store.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <optional>

#include "calculator/details/window_placement.h"
#include "calculator/plant/plant.h"
#include "widgets/file_question.h"
#include "widgets/guarded_dialog.h"

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

    // The recorder open in the dialog (its place in the plant's file order).
    std::optional<std::size_t> linkedRecorder() const { return linked_; }
    // The dialog's entries after a change: the recorder open in the dialog
    // takes them, and is evaluated again, when they differ from its own.
    void followDialog(const CalculatorEntries& entries);

    bool isUnsaved() const { return unsaved_; }
    const QString& filePath() const { return path_; }
    // Asks before unsaved changes are lost; true when the window may go
    // (saved, discarded or nothing to lose).
    bool mayClose();

signals:
    // "Open in dialog": the dialog shows these entries.
    void openInDialogRequested(const CalculatorEntries& entries);
    // "Plan for its target": the dialog shows these entries and its Details
    // the plan for the target, in whole weeks (targetWeeks) on the medium.
    void planRequested(const CalculatorEntries& entries, int weeks, Medium medium);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildSortMenu(QMenuBar* bar);
    void buildCommands(QHBoxLayout* layout);
    void buildTable(QHBoxLayout* layout);
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
    // The size it opens at: its table whole where the screen has room,
    // narrower where that lets it stand beside the dialog.
    void fitBesideOwner();
    QString lastFolder() const;
    // After a file was written, or not: the error shown, or the folder remembered.
    bool written(const QString& path, const QString& error);
    // Forgets the plant: an empty one, as the window first opens.
    void discard();

    BesideOwner* placement_ = nullptr;
    bool sized_ = false;
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
