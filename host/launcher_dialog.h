// Tdlg_Main: the launcher dialog. Lists the units found next to the program
// by name and runs the selected one.
#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QStringList>

#include "unit_table.h"

class QComboBox;
class QPushButton;

namespace capacimo::host {

class CHostSettings;

// What the launcher dialog needs from its surroundings.
struct LauncherServices {
    QString programDir;                 // empty: the running program's directory
    CHostSettings* settings = nullptr;  // null: the program's settings key
    // Modal error box with text and caption; default: the platform box.
    std::function<void(const QString& text, const QString& caption)> messageBox;
    // Per-candidate diagnostics of the unit search; default: stderr.
    std::function<void(const std::string&)> diagnostic;
};

class Tdlg_Main : public QDialog {
    Q_OBJECT
public:
    using Services = LauncherServices;

    explicit Tdlg_Main(Services services = {}, QWidget* parent = nullptr);
    ~Tdlg_Main() override;

    QPushButton* bln_Close;
    QComboBox* cb_Units;
    QPushButton* btn_Execute;

    const CUnitTable& Units() const { return *units_; }
    const QStringList& NameList() const { return names_; }

    void btn_ExecuteClick();
    void bln_CloseClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void AddSortedItem(const QString& name);
    void ShowFailure(const std::string& message);

    Services services_;
    std::unique_ptr<CUnitTable> units_;
    QStringList names_;
    bool shownOnce_ = false;
};

// The program-global launcher dialog, while it exists.
extern Tdlg_Main* dlg_Main;

}  // namespace capacimo::host
