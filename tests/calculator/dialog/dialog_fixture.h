// What the dialog tests share: a private settings store, a calculator dialog
// on it, and its controls by name.
#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "calculator/dialog.h"
#include "common/ui/error_box.h"
#include "tests/calculator/dialog/test_store.h"

struct DialogFixture {
    std::unique_ptr<TestStore> store;
    std::unique_ptr<capacimo::unit::Tdlg_Main> dialog;

    // A fresh store and dialog; an error box fails the test.
    void openDialog() {
        store = std::make_unique<TestStore>();
        capacimo::setErrorBoxHandler([](const QString& text) { QFAIL(qPrintable("error box: " + text)); });
        dialog = std::make_unique<capacimo::unit::Tdlg_Main>();
    }
    void closeDialog() {
        dialog.reset();
        capacimo::setErrorBoxHandler({});
        store.reset();
    }
    void show() {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }

    // Sets every control as the user would, then calculates once.
    void enter(const capacimo::CalculatorEntries& entries) {
        for (const capacimo::Entry& entry : capacimo::entryTable()) {
            const int value = entry.field(entries);
            if (entry.isList())
                combo(entry.control.c_str())->setCurrentIndex(value);
            else
                spin(entry.control.c_str())->setValue(value);
        }
        dialog->Recalculate();
    }

    capacimo::widgets::TExtSpinEdit* spin(const char* name) const {
        return dialog->findChild<capacimo::widgets::TExtSpinEdit*>(name);
    }
    QComboBox* combo(const char* name) const { return dialog->findChild<QComboBox*>(name); }
    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }
    capacimo::widgets::TdfsEnhListView* results() const {
        return dialog->findChild<capacimo::widgets::TdfsEnhListView*>("lvw_Result");
    }
    capacimo::widgets::TPage95Control* pages(const char* name) const {
        return dialog->findChild<capacimo::widgets::TPage95Control*>(name);
    }
};
