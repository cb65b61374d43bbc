// The calculator dialog as the user meets it: entries, status line, results,
// Reset, page switching and the positions of the controls built in code.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <memory>

#include "calculator/details/details_window.h"
#include "calculator/dialog.h"
#include "calculator/plant_window/plant_window.h"
#include "calculator/settings.h"
#include "common/ui/error_box.h"
#include "tests/calculator/dialog/dialog_fixture.h"
#include "widgets/contrast.h"
#include "widgets/spin_button.h"

using namespace capacimo;
using namespace capacimo::unit;

class DialogTest : public QObject, DialogFixture {
    Q_OBJECT

    QLabel* status() const { return dialog->findChild<QLabel*>("lbl_Status"); }
    QStringList row(int r) const {
        return {results()->SubItem(r, 0), results()->SubItem(r, 1), results()->SubItem(r, 2)};
    }
    // What the command-line calculator computes for the same entries.
    static QStringList expected(const StorageDuration& d) {
        return {QString::number(d.weeks), QString::number(d.days), QString::number(d.hours)};
    }
    QColor statusColour() const { return status()->palette().color(QPalette::WindowText); }

    // A click on a tab of a page control, as the user makes it.
    void clickTab(TPage95Control* control, const QString& caption) {
        QTabBar* bar = control->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(bar != nullptr);
        for (int i = 0; i < bar->count(); ++i) {
            if (bar->tabText(i) == caption) {
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                return;
            }
        }
        QFAIL(qPrintable("no tab " + caption));
    }

private slots:
    void init() { openDialog(); }
    void cleanup() { closeDialog(); }

    void controlsCarryTheirNames() {
        for (const char* name :
             {"spe_CountAnalog", "spe_CountAnalogIntegr", "spe_CountAnalogIC", "spe_CountDigitalOnOff",
              "spe_CountDigitalOnOffOptTime", "spe_CountDigitalCounter", "spe_CountMathIV", "spe_CountMathIVIntegr",
              "spe_CountMathState", "spe_CountMathCounter", "spe_GroupIV00", "spe_GroupIV09", "spe_GroupState09"}) {
            QVERIFY2(spin(name) != nullptr, name);
        }
        for (const char* name : {"cb_CFSize", "cb_Analysis1", "cb_Analysis4"}) QVERIFY2(combo(name), name);
        QVERIFY(dialog->findChild<TTab95Sheet*>("tab_Group_10") != nullptr);
        QVERIFY(dialog->findChild<QPushButton*>("btn_Clear") != nullptr);
        QCOMPARE(dialog->windowTitle(), QString("Scribent S"));
        QCOMPARE(spin("spe_CountAnalog")->MaxValue(), 40);
        QCOMPARE(spin("spe_CountDigitalCounter")->MaxValue(), 14);
        QCOMPARE(spin("spe_CountMathCounter")->MaxValue(), 8);
        QCOMPARE(spin("spe_GroupState05")->MaxValue(), 8);
        QCOMPARE(combo("cb_GroupCycle00")->count(), 19);
        QCOMPARE(combo("cb_GroupCycle01")->count(), 18);
        QCOMPARE(combo("cb_Analysis1")->itemText(15), QString("12h"));
        QCOMPARE(combo("cb_Analysis3")->itemText(4), QString("annual analysis"));
    }

    void firstRunShowsDefaultsAndResultsOnShow() {
        QCOMPARE(row(0), (QStringList{"0", "0", "0"}));  // nothing calculated before the dialog shows
        show();
        QCOMPARE(pages("pctrl_Stgs")->ActivePage()->objectName(), QString("tab_Info"));
        QVERIFY(status()->isHidden());
        QCOMPARE(results()->ItemCaption(0), QString("Internal memory"));
        QCOMPARE(results()->ItemCaption(1), QString("SD Card"));
        QCOMPARE(row(0), (QStringList{"1879", "2", "12"}));
        QCOMPARE(row(1), (QStringList{"2535", "4", "11"}));
    }

    void typedValuesCountUnclampedUntilTheFocusLeaves() {
        show();
        TExtSpinEdit* analog = spin("spe_CountAnalog");
        pages("pctrl_Stgs")->setActivePage(dialog->findChild<TTab95Sheet*>("tab_ChStgs"));
        analog->setFocus();
        QTRY_VERIFY(analog->hasFocus());
        analog->selectAll();
        const int before = dialog->calculationCount();
        QTest::keyClicks(analog, "99");
        QCOMPARE(analog->text(), QString("99"));
        QCOMPARE(dialog->currentEntries().counts.analog, 99);
        QVERIFY(!status()->isHidden());
        QVERIFY(status()->text().startsWith("Information:"));
        QCOMPARE(statusColour(), QColor(0, 0, 255));
        QVERIFY(dialog->calculationCount() > before);
        const int typed = dialog->calculationCount();

        spin("spe_CountAnalogIntegr")->setFocus();  // the focus leaves
        QTRY_COMPARE(analog->text(), QString("40"));
        QCOMPARE(dialog->calculationCount(), typed + 1);
        QVERIFY(status()->text().startsWith("Information:"));
    }

    void noActiveChannelIsAnErrorButStillCalculated() {
        show();
        spin("spe_CountAnalog")->setValue(0);
        QVERIFY(!status()->isHidden());
        QCOMPARE(status()->text(), QString("Error: There must be at least 1 active analog or digital channel!"));
        QCOMPARE(statusColour(), QColor(255, 0, 0));
        QCOMPARE(row(0), (QStringList{"51797", "0", "7"}));
        QCOMPARE(row(1), (QStringList{"69884", "4", "13"}));
        QVERIFY(QApplication::overrideCursor() == nullptr);  // the hourglass is gone again
    }

    // On a dark colour scheme the status line's red and blue turn light
    // enough to read; back on a light one they are the design's again.
    void statusStaysReadableOnADarkScheme() {
        show();
        QPalette dark = dialog->palette();
        dark.setColor(QPalette::Window, QColor(45, 45, 45));
        dark.setColor(QPalette::WindowText, Qt::white);
        dialog->setPalette(dark);
        auto contrast = [this] {
            return widgets::contrastRatio(statusColour(), status()->palette().color(QPalette::Window));
        };
        spin("spe_CountAnalog")->setValue(25);
        QVERIFY(status()->text().startsWith("Information:"));
        QVERIFY(contrast() >= widgets::kReadableContrast);
        spin("spe_CountAnalog")->setValue(0);
        QVERIFY(status()->text().startsWith("Error:"));
        QVERIFY(contrast() >= widgets::kReadableContrast);
        dialog->setPalette(QPalette());
        QCOMPARE(statusColour(), QColor(255, 0, 0));
    }

    void dependentAnalogCountsFollow() {
        spin("spe_CountAnalog")->setValue(10);
        spin("spe_CountAnalogIC")->setValue(3);
        spin("spe_CountAnalogIntegr")->setValue(5);
        spin("spe_CountAnalog")->setValue(4);
        QCOMPARE(spin("spe_CountAnalogIntegr")->Value(), 1);
        QCOMPARE(spin("spe_CountAnalogIC")->Value(), 3);
        spin("spe_CountAnalogIntegr")->setValue(0);
        spin("spe_CountAnalog")->setValue(2);
        QCOMPARE(spin("spe_CountAnalogIntegr")->Value(), 0);
        QCOMPARE(spin("spe_CountAnalogIC")->Value(), 2);

        spin("spe_CountMathIV")->setValue(3);
        spin("spe_CountMathIVIntegr")->setValue(2);
        spin("spe_CountMathIV")->setValue(0);
        QCOMPARE(spin("spe_CountMathIVIntegr")->Value(), 0);
        spin("spe_CountMathIVIntegr")->setValue(4);  // only reported, not adjusted
        QCOMPARE(spin("spe_CountMathIVIntegr")->Value(), 4);
        QCOMPARE(status()->text(), QString("Error: To many math totalizer!"));
    }

    // No analog channel (no math value): the dependent counts are set to "0"
    // whatever their text, and each change is handled like any other.
    void zeroChannelsResetDependentTextsThatAreNotNumbers() {
        show();
        for (const char* text : {"-", "00", "+0", "x"}) {
            spin("spe_CountAnalog")->setValue(3);
            spin("spe_CountAnalogIntegr")->setText(text);
            spin("spe_CountAnalogIC")->setText(text);
            spin("spe_CountMathIV")->setValue(2);
            spin("spe_CountMathIVIntegr")->setText(text);
            const int runs = dialog->calculationCount();
            spin("spe_CountAnalog")->setValue(0);
            spin("spe_CountMathIV")->setValue(0);
            QCOMPARE(spin("spe_CountAnalogIntegr")->text(), QString("0"));
            QCOMPARE(spin("spe_CountAnalogIC")->text(), QString("0"));
            QCOMPARE(spin("spe_CountMathIVIntegr")->text(), QString("0"));
            QCOMPARE(dialog->calculationCount(), runs + 5);
        }
    }

    void emptiedCountChangesNothing() {
        show();
        spin("spe_CountAnalog")->setValue(0);
        const QString message = status()->text();
        const int runs = dialog->calculationCount();
        spin("spe_CountDigitalOnOff")->setText("");
        QCOMPARE(dialog->calculationCount(), runs);
        QCOMPARE(status()->text(), message);
    }

    void cardChangeTouchesOnlyTheCardRow() {
        show();
        spin("spe_CountAnalog")->setValue(25);  // information in the status line
        const QString message = status()->text();
        const QStringList internal = row(0);
        combo("cb_CFSize")->setFocus();
        QTest::keyClick(combo("cb_CFSize"), Qt::Key_End);  // the user picks "2 GB"
        QCOMPARE(combo("cb_CFSize")->currentText(), QString("2 GB"));
        QCOMPARE(row(0), internal);
        CalculatorEntries e = dialog->currentEntries();
        Calculator calculator;
        QCOMPARE(row(1), expected(calculator.calculate(e).card));
        QCOMPARE(status()->text(), message);
    }

    void cycleAndAnalysisChangesRecalculate() {
        show();
        combo("cb_GroupCycle00")->setFocus();
        QTest::keyClick(combo("cb_GroupCycle00"), Qt::Key_Home);  // "Off"
        QCOMPARE(row(0), (QStringList{"51797", "0", "7"}));
        QCOMPARE(dialog->storageCycleCodes()[0], 0);
        combo("cb_Analysis2")->setFocus();
        QTest::keyClick(combo("cb_Analysis2"), Qt::Key_Down);  // "daily analysis"
        QCOMPARE(dialog->recorderSetup().analysis.codes[1], 17);
        QCOMPARE(row(0), expected(Calculator().calculate(dialog->currentEntries()).internal));
    }

    void resetAfterAnError() {
        show();
        pages("pctrl_Stgs")->setActivePage(dialog->findChild<TTab95Sheet*>("tab_GroupStgs"));
        spin("spe_CountAnalog")->setValue(0);
        spin("spe_GroupIV03")->setValue(6);
        combo("cb_CFSize")->setCurrentIndex(2);
        QVERIFY(!status()->isHidden());
        QTest::mouseClick(dialog->findChild<QPushButton*>("btn_Clear"), Qt::LeftButton);
        QVERIFY(status()->isHidden());
        QCOMPARE(spin("spe_CountAnalog")->Value(), 1);
        QCOMPARE(spin("spe_GroupIV03")->Value(), 0);
        QCOMPARE(combo("cb_CFSize")->currentIndex(), 0);
        QCOMPARE(pages("pctrl_Stgs")->ActivePage()->objectName(), QString("tab_GroupStgs"));
        QCOMPARE(row(0), (QStringList{"1879", "2", "12"}));
        QCOMPARE(row(1), (QStringList{"2535", "4", "11"}));
    }

    void groupSettingsReopenOnGroup1() {
        show();
        TPage95Control* top = pages("pctrl_Stgs");
        TPage95Control* groups = pages("pctrl_Groups");
        clickTab(top, "Group settings");
        QCOMPARE(top->ActivePage()->objectName(), QString("tab_GroupStgs"));
        groups->setActivePage(dialog->findChild<TTab95Sheet*>("tab_Group_7"));
        clickTab(top, "Information");
        clickTab(top, "Group settings");
        QCOMPARE(groups->ActivePage()->objectName(), QString("tab_Group_1"));

        TPage95Control* channels = pages("pctrl_Channels");
        clickTab(top, "Channel Settings");
        clickTab(channels, "Math channels");
        QCOMPARE(channels->ActivePage()->objectName(), QString("tab_Math"));
        clickTab(top, "Signal analysis");
        clickTab(top, "Channel Settings");
        QCOMPARE(channels->ActivePage()->objectName(), QString("tab_Analog"));
    }

    void escapeAndCloseEndTheModalLoop() {
        show();
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QTRY_VERIFY(!dialog->isVisible());
        show();
        QTest::mouseClick(dialog->findChild<QPushButton*>("bln_Cancel"), Qt::LeftButton);
        QTRY_VERIFY(!dialog->isVisible());
        // Enter in a count field neither closes the dialog nor resets it.
        show();
        spin("spe_CountAnalog")->setValue(5);
        spin("spe_CountAnalog")->setFocus();
        QTest::keyClick(spin("spe_CountAnalog"), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QCOMPARE(spin("spe_CountAnalog")->Value(), 5);
    }

    // The settings area first, then the buttons; the result list is no tab stop.
    void tabOrderRunsFromTheSettingsToTheButtons() {
        show();
        pages("pctrl_Stgs")->setActivePage(dialog->findChild<TTab95Sheet*>("tab_GroupStgs"));
        combo("cb_CFSize")->setFocus();
        QStringList order;
        for (int step = 0; step < 12 && !order.contains("bln_Cancel"); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        const auto at = [&](const char* name) { return order.indexOf(name); };
        QVERIFY2(at("spe_GroupState00") >= 0 && at("spe_GroupState00") < at("btn_Clear"), qPrintable(order.join(' ')));
        // Reset, the two windows' buttons, Close: the designed buttons where they were.
        QCOMPARE(order.mid(at("btn_Clear")), (QStringList{"btn_Clear", "btn_Details", "btn_Plant", "bln_Cancel"}));
        QVERIFY(!order.contains("lvw_Result"));
        const DialogFrame frame = dialogFrame(dialog.get());
        QCOMPARE(button("btn_Clear")->geometry(), frame.reset);
        QCOMPARE(button("bln_Cancel")->geometry(), frame.close);
        QVERIFY(!button("btn_Details")->geometry().intersects(frame.reset) &&
                !button("btn_Plant")->geometry().intersects(frame.close));
        QTest::mouseClick(button("btn_Details"), Qt::LeftButton);
        QTRY_VERIFY(dialog->detailsWindow() != nullptr && dialog->detailsWindow()->isVisible());
        QTest::mouseClick(button("btn_Plant"), Qt::LeftButton);
        QTRY_VERIFY(dialog->plantWindow() != nullptr && dialog->plantWindow()->isVisible());
    }

    // With the keyboard alone: the dialog opens on the card size list;
    // Ctrl+Tab and Ctrl+Shift+Tab undo each other; Ctrl+Shift+C copies and
    // Ctrl+D opens the Details window from any field; Enter presses a focused
    // button.
    void everythingByKeyboard() {
        show();
        auto focus = [] { return QApplication::focusWidget(); };
        auto key = [&focus](Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(focus(), k, m); };
        QCOMPARE(focus(), combo("cb_CFSize"));
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(focus(), combo("cb_Analysis1"));
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(focus(), spin("spe_CountAnalog"));
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(focus(), combo("cb_Analysis1"));
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(focus(), combo("cb_CFSize"));
        QCOMPARE(pages("pctrl_Stgs")->ActivePage()->objectName(), QString("tab_Info"));
        // Backwards from the first page: the alarms page, the last group, then its neighbour.
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(focus(), spin("spe_AlarmShare"));
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(focus(), combo("cb_GroupCycle08"));

        key(Qt::Key_Tab);
        QCOMPARE(focus(), spin("spe_GroupIV08"));
        QGuiApplication::clipboard()->clear();
        key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(QGuiApplication::clipboard()->text().contains("Internal memory\t1879\t2\t12"));
        QCOMPARE(spin("spe_GroupIV08")->text(), QString("0"));
        key(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(dialog->detailsWindow() != nullptr && dialog->detailsWindow()->isVisible());

        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        spin("spe_CountAnalog")->setValue(5);
        dialog->findChild<QPushButton*>("btn_Clear")->setFocus();
        key(Qt::Key_Return);
        QCOMPARE(spin("spe_CountAnalog")->Value(), 1);
        QVERIFY(dialog->isVisible());
        dialog->findChild<QPushButton*>("bln_Cancel")->setFocus();
        key(Qt::Key_Enter);
        QVERIFY(!dialog->isVisible());
    }

    // A screen reader finds a name for every control the focus can reach;
    // lists are named by their captions, the spin buttons by what they do.
    void everyFocusableControlIsNamed() {
        show();
        dialog->ShowDetails();
        int named = 0;
        for (QWidget* window : {static_cast<QWidget*>(dialog.get()), static_cast<QWidget*>(dialog->detailsWindow())}) {
            for (QWidget* w : window->findChildren<QWidget*>()) {
                if (w->window() != window || w->focusPolicy() == Qt::NoFocus || w->focusProxy() != nullptr) continue;
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                QVERIFY2(a != nullptr && !a->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(QString(w->metaObject()->className()) + ' ' + w->objectName()));
                ++named;
            }
        }
        QVERIFY(named > 45);
        auto name = [](QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); };
        // Named after their page where captions repeat from page to page; the
        // captions on the screen stay as they are.
        QCOMPARE(name(combo("cb_CFSize")), QString("SD Card size:"));
        QCOMPARE(name(combo("cb_Analysis1")), QString("Signal analysis: Analysis 1:"));
        QCOMPARE(QAccessible::queryAccessibleInterface(combo("cb_Analysis1"))->text(QAccessible::Value), QString("no"));
        QCOMPARE(name(combo("cb_GroupCycle02")), QString("Group 3: Storage cycle:"));
        QCOMPARE(name(spin("spe_GroupState03")),
                 QString("Group 4: Number of digital on/off events or control inputs:"));
        QCOMPARE(name(spin("spe_CountAnalogIntegr")), QString("Analog channels: ... of these with totalization:"));
        QCOMPARE(name(spin("spe_CountMathIVIntegr")), QString("Math channels: ... of these with totalization:"));
        QCOMPARE(dialog->findChild<QLabel*>("lbl_GroupCycle02")->text(), QString("Storage cycle:"));
        pages("pctrl_Stgs")->setActivePage(dialog->findChild<TTab95Sheet*>("tab_ChStgs"));  // the buttons in view
        QCOMPARE(name(spin("spe_CountAnalog")->Button()->UpButton()),
                 QString("Increase Analog channels: Number of  analog channels"));
        QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(results())->tableInterface();
        QVERIFY(table != nullptr);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->columnCount(), 5);  // normal operation's, shown beside a scenario
        QCOMPARE(table->cellAt(1, 0)->text(QAccessible::Name), QString("SD Card"));
    }

    // A count field tells a screen reader its number and range besides its
    // text, and takes a number or an edit from it as the user's own.
    void countFieldsOfferTheirValueAndRange() {
        QAccessibleInterface* field = QAccessible::queryAccessibleInterface(spin("spe_CountAnalog"));
        QCOMPARE(field->role(), QAccessible::SpinBox);
        QAccessibleValueInterface* value = field->valueInterface();
        QVERIFY(value != nullptr);
        QCOMPARE(value->currentValue().toInt(), 1);
        QCOMPARE(value->minimumValue().toInt(), 0);
        QCOMPARE(value->maximumValue().toInt(), 40);
        QCOMPARE(value->minimumStepSize().toInt(), 1);
        value->setCurrentValue(99);
        QCOMPARE(spin("spe_CountAnalog")->Value(), 40);  // clamped as a set value is
        QCOMPARE(dialog->currentEntries().counts.analog, 40);
        QAccessibleTextInterface* text = field->textInterface();
        QVERIFY(text != nullptr);
        QCOMPARE(text->characterCount(), 2);
        QCOMPARE(text->text(0, 2), QString("40"));
        field->editableTextInterface()->replaceText(0, 2, "12");
        QCOMPARE(spin("spe_GroupIV00")->MaxValue(), 8);
        QCOMPARE(QAccessible::queryAccessibleInterface(spin("spe_GroupIV00"))->valueInterface()->maximumValue(), 8);
        QCOMPARE(dialog->currentEntries().counts.analog, 12);
        QCOMPARE(field->text(QAccessible::Value), QString("12"));

        // The Details window's weeks (the line typed into too) and its list of media.
        dialog->ShowDetails();
        TDetailsWindow* details = dialog->detailsWindow();
        auto name = [](QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); };
        QCOMPARE(name(details->targetWeeks()->findChild<QLineEdit*>()), QString("Weeks to keep"));
        QCOMPARE(name(details->targetMedium()), QString("Medium to keep them on"));
        QCOMPARE(name(details->targetMedium()->view()), QString("Medium to keep them on"));
    }

    void informationHoldsItsTenLines() {
        const QString text = dialog->findChild<QPlainTextEdit*>("mmo_Info")->toPlainText();
        const QStringList lines = text.split(u'\n');
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines[0], QString("Important information:"));
        for (int blankEnded : {2, 5, 8}) QVERIFY(lines[blankEnded].endsWith(' '));
        QCOMPARE(lines[9], QString("the PC. The storage information for a USB stick is not displayed."));
    }

    // The unit's error boxes carry the application title, also inside a host
    // that names itself otherwise.
    void errorBoxesCarryTheApplicationTitle() {
        setErrorBoxHandler({});
        const QString name = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName("Capacimo");
        QString title;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
            title = QApplication::activeModalWidget()->windowTitle();
            QApplication::activeModalWidget()->close();
        });
        showErrorBox(dialog.get(), "Erzeugung von Schlüssel Settings misslungen");
        QCoreApplication::setApplicationName(name);
        QCOMPARE(title, QString("Ostrel Capacimo"));
    }

    // Every caption ends before the field it names, whatever the font.
    void captionsEndBeforeTheirFields() {
        show();
        int checked = 0;
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (label->objectName() == "lbl_Status") continue;
            const QRect text(label->pos(), label->sizeHint());
            for (QWidget* field :
                 label->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (field == label || !(qobject_cast<QComboBox*>(field) || qobject_cast<TExtSpinEdit*>(field)))
                    continue;
                const bool sameRow = field->y() < text.bottom() && text.y() < field->geometry().bottom();
                if (!sameRow || field->x() < text.x()) continue;
                QVERIFY2(text.right() < field->x(), qPrintable(label->text() + " runs into " + field->objectName()));
                ++checked;
            }
        }
        QCOMPARE(checked, 1 + 4 + 10 + 4 * kGroups + 2);
    }

    // Built in code and placed with Scale: at 96 pixels per inch the group
    // pages' labels sit at 8 and their lists and fields at 272; the number
    // columns are 64 wide.
    void positionsAt96PixelsPerInch() {
        QCOMPARE(dialog->logicalDpiY(), 96);
        QCOMPARE(uiScale(), 0.8);
        QCOMPARE(Scale(4), 3);
        QCOMPARE(Scale(330), 264);
        for (int g = 0; g < kGroups; ++g) {
            const QString hex = QString::number(g, 16).toUpper().rightJustified(2, '0');
            QCOMPARE(dialog->findChild<QComboBox*>("cb_GroupCycle" + hex)->x(), 272);
            QCOMPARE(dialog->findChild<TExtSpinEdit*>("spe_GroupIV" + hex)->x(), 272);
            QCOMPARE(dialog->findChild<TExtSpinEdit*>("spe_GroupState" + hex)->x(), 272);
            QCOMPARE(dialog->findChild<QComboBox*>("cb_GroupAlarmCycle" + hex)->x(), 272);
            QCOMPARE(dialog->findChild<TExtSpinEdit*>("spe_GroupIV" + hex)->y(), 8 + 26);
        }
        const auto labels = dialog->findChild<TTab95Sheet*>("tab_Group_3")->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 4);
        for (QLabel* label : labels) QCOMPARE(label->x(), 8);
        for (int column = 1; column <= 3; ++column) QCOMPARE(results()->ColumnWidth(column), 64);
        QCOMPARE(dialog->size(), QSize(540, 347));
    }
};

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
