// Renders every page of the "Scribent S" calculator dialog, its Details
// window and its plant window, to PNG files, so a person can look at them.
// Usage: capacimo_render_dialog OUTDIR [SUFFIX]
// QT_FONT_DPI=120 draws the dialog as a screen of 120 pixels per inch shows it.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "calculator/details/details_window.h"
#include "calculator/dialog.h"
#include "calculator/plant/plant_file.h"
#include "calculator/plant_window/plant_window.h"

using namespace capacimo::widgets;

namespace {

void save(QWidget* dialog, const QString& dir, const QString& name, const QString& suffix) {
    QApplication::processEvents();
    const QString file = QDir(dir).filePath(name + suffix + ".png");
    if (!dialog->grab().save(file)) qWarning("cannot write %s", qPrintable(file));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        qWarning("usage: %s OUTDIR [SUFFIX]", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(out);
    // A private, empty settings store: the pictures show the defaults.
    QTemporaryDir store;
    qputenv("XDG_CONFIG_HOME", store.path().toUtf8());

    capacimo::unit::Tdlg_Main dialog;
    dialog.show();
    auto* pages = dialog.findChild<TPage95Control*>("pctrl_Stgs");
    auto* channels = dialog.findChild<TPage95Control*>("pctrl_Channels");
    auto* groups = dialog.findChild<TPage95Control*>("pctrl_Groups");

    pages->setActivePage(dialog.findChild<TTab95Sheet*>("tab_Info"));
    save(&dialog, out, "dialog-information", suffix);
    pages->setActivePage(dialog.findChild<TTab95Sheet*>("tab_SignalAnalysis"));
    save(&dialog, out, "dialog-signal-analysis", suffix);
    pages->setActivePage(dialog.findChild<TTab95Sheet*>("tab_ChStgs"));
    for (const char* name : {"tab_Analog", "tab_Digital", "tab_Math"}) {
        channels->setActivePage(dialog.findChild<TTab95Sheet*>(name));
        save(&dialog, out, QStringLiteral("dialog-channels-%1").arg(QString::fromLatin1(name + 4).toLower()), suffix);
    }
    pages->setActivePage(dialog.findChild<TTab95Sheet*>("tab_GroupStgs"));
    for (int g : {1, 10}) {
        groups->setActivePage(dialog.findChild<TTab95Sheet*>(QStringLiteral("tab_Group_%1").arg(g)));
        save(&dialog, out, QStringLiteral("dialog-group-%1").arg(g), suffix);
    }
    // An error in the status line.
    pages->setActivePage(dialog.findChild<TTab95Sheet*>("tab_ChStgs"));
    channels->setActivePage(dialog.findChild<TTab95Sheet*>("tab_Analog"));
    dialog.findChild<TExtSpinEdit*>("spe_CountAnalog")->setValue(0);
    save(&dialog, out, "dialog-status-error", suffix);
    dialog.findChild<TExtSpinEdit*>("spe_CountAnalog")->setValue(30);
    save(&dialog, out, "dialog-status-information", suffix);

    // The Details window for a plant-like setup: three groups at different
    // cycles, an interval and a daily analysis, a 256 MB card; the target half
    // a year on the card, which it does not reach.
    auto spin = [&dialog](const char* name, int value) { dialog.findChild<TExtSpinEdit*>(name)->setValue(value); };
    auto pick = [&dialog](const char* name, int item) { dialog.findChild<QComboBox*>(name)->setCurrentIndex(item); };
    spin("spe_CountAnalog", 12);
    spin("spe_CountAnalogIntegr", 2);
    spin("spe_CountDigitalOnOff", 6);
    spin("spe_CountMathIV", 2);
    pick("cb_GroupCycle00", 2);  // 1s
    spin("spe_GroupIV00", 6);
    pick("cb_GroupCycle01", 6);  // 10s
    spin("spe_GroupIV01", 4);
    spin("spe_GroupState01", 3);
    pick("cb_GroupCycle02", 10);  // 1min
    spin("spe_GroupIV02", 2);
    spin("spe_GroupState02", 3);
    pick("cb_Analysis1", 7);  // 15min
    pick("cb_Analysis2", 1);  // daily
    dialog.Recalculate();
    dialog.ShowDetails();
    auto* details = dialog.detailsWindow();
    details->targetWeeks()->setValue(26);
    details->targetMedium()->setCurrentIndex(1);
    save(details, out, "details", suffix);

    // The same boiler 5 % of the time in alarm, groups 2 and 3 then storing
    // every second, with 64 MB kept free on the card: the alarms page, the
    // results beside normal operation's and the Details in alarm.
    pick("cb_GroupAlarmCycle01", 1);  // 1s
    pick("cb_GroupAlarmCycle02", 1);
    spin("spe_AlarmShare", 5);
    spin("spe_CardReserve", 64);
    dialog.Recalculate();
    pages->setActivePage(dialog.findChild<TTab95Sheet*>("tab_GroupStgs"));
    groups->setActivePage(dialog.findChild<TTab95Sheet*>("tab_Group_2"));
    save(&dialog, out, "dialog-group-2-alarm", suffix);
    pages->setActivePage(dialog.findChild<TTab95Sheet*>("tab_Alarms"));
    save(&dialog, out, "dialog-alarms", suffix);
    save(details, out, "details-alarms", suffix);
    details->close();

    // The plant window on a fixed day, opened from a plant file: recorders
    // started long ago, lately, not at all, and one with a target.
    capacimo::FixedClock clock(capacimo::dateOf({2026, 3, 1}));
    dialog.setClock(clock);
    std::vector<capacimo::PlantRecorder> recorders;
    const auto add = [&](const char* name, const capacimo::CalculatorEntries& entries,
                         std::optional<capacimo::CivilDate> start) {
        recorders.push_back(
            {name, entries, start ? std::optional(capacimo::dateOf(*start)) : std::nullopt, {}, {}, {}});
    };
    add("Boiler house 1", dialog.currentEntries(), capacimo::CivilDate{2025, 11, 3});
    add("Boiler house 2", capacimo::defaultEntries(), capacimo::CivilDate{2026, 2, 20});
    add("Turbine hall", capacimo::heaviestEntries(), capacimo::CivilDate{2026, 2, 26});
    add("Cooling tower 10", dialog.currentEntries(), std::nullopt);
    add("Cooling tower 2", capacimo::heaviestEntries(), capacimo::CivilDate{2026, 1, 5});
    recorders.back().targetHours = 52 * capacimo::kHoursPerWeek;
    recorders.back().targetMedium = capacimo::Medium::Card;
    const QString plantFile = QDir(store.path()).filePath("plant.csv");
    QFile file(plantFile);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QByteArray::fromStdString(capacimo::plantCsvText(recorders))) < 0)
        qWarning("cannot write %s", qPrintable(plantFile));
    file.close();
    dialog.ShowPlant();
    capacimo::unit::TPlantWindow* plant = dialog.plantWindow();
    plant->OpenPlant(plantFile);
    plant->table()->selectRow(1);
    save(plant, out, "plant", suffix);
    // Wide enough for every column, to see them all.
    QTableView* table = plant->table();
    plant->resize(plant->width() - table->viewport()->width() + table->horizontalHeader()->length(), plant->height());
    save(plant, out, "plant-whole", suffix);
    plant->setCloseQuestion([](QWidget*) { return QMessageBox::Discard; });
    return 0;
}
