#include "widgets/spin_button.h"
#include "widgets/spin_edit.h"

#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <climits>
#include <memory>
#include <stdexcept>

namespace {

// Reference reading of a text: the plain definition of a decimal 32-bit
// integer, written independently of the widget's parser.
int referenceValue(const QString& text, int minValue) {
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    if (!decimal.match(text).hasMatch()) return minValue;
    const QString digits = text.mid(text.front().isDigit() ? 0 : 1);
    QString trimmed = digits;
    while (trimmed.size() > 1 && trimmed.front() == u'0') trimmed.remove(0, 1);
    if (trimmed.size() > 10) return minValue;
    const long long magnitude = trimmed.toLongLong();
    const long long value = text.front() == u'-' ? -magnitude : magnitude;
    if (value < INT_MIN || value > INT_MAX) return minValue;
    return int(value);
}

// Types each character as a key press carrying that text, as a keyboard
// layout producing it would (QTest::keyClicks knows only Latin-1).
void typeCharacters(QWidget* target, const QString& text) {
    for (QChar c : text) {
        const int key = c.unicode() < 0x80 && c.isLetterOrNumber() ? c.toUpper().unicode()
                                                                    : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

// A window holding edits before and after the spin edit, for focus moves.
struct FocusWindow {
    QWidget window;
    QLineEdit* before;
    TExtSpinEdit* spin;
    QLineEdit* after;

    FocusWindow() {
        auto* layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        spin = new TExtSpinEdit(&window);
        after = new QLineEdit(&window);
        layout->addWidget(before);
        layout->addWidget(spin);
        layout->addWidget(after);
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }
    void tabIn() {
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
    }
    void tabOut() { QTest::keyClick(spin, Qt::Key_Tab); }
};

}  // namespace

class TestSpinEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void valueReadsTextWithoutClamping_data();
    void valueReadsTextWithoutClamping();
    void settingValueClampsToRange_data();
    void settingValueClampsToRange();
    void boundsAreStoredWithoutTouchingText();
    void onChangeOncePerTextChange();

    void arrowKeysStepAndStopAtBounds();
    void readOnlyStepBeepsAndKeepsText();
    void stepSaturatesAtIntegerRange();

    void typingFilterBeepsOnRejectedKeys();
    void enterDoesNotPressDialogButtons();
    void commaLocaleAcceptsItsSeparator();
    void pasteAndCutFollowEditorFlags();
    void disabledEditorRejectsEveryCharacter();

    void focusInSelectsUnlessLeftClick();
    void leavingEmptyRestoresRememberedValue();
    void leavingClampsOutOfRangeValueOnce();
    void leavingKeepsUnreadableAndPaddedText();
    void windowSwitchIsNeitherEntryNorExit();
    void reshownWindowEntersAnew();

    void shortClickIsOneStep();
    void holdRepeatsAfterDelayThenFast();
    void draggingOffStopsSteps();
    void buttonPressFocusesAndSelects();
    void errorInRepeatedStepStopsTimer();

    void buttonsSitInsideRightEdge();
    void heightNeverBelowMinimum();

    void badInputNeverCrashesAndReadsAsDefined();

private:
    QList<QPointer<FakeRepeatTimer>> timers_;
};

void TestSpinEdit::initTestCase() {
    QLocale::setDefault(QLocale::c());
    TTimerSpeedButton_X::setDefaultTimerFactory([this](QObject* parent) -> TRepeatTimer* {
        auto* t = new FakeRepeatTimer(parent);
        timers_.append(t);
        return t;
    });
}

void TestSpinEdit::cleanup() { QLocale::setDefault(QLocale::c()); }

void TestSpinEdit::valueReadsTextWithoutClamping_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    // MinValue is -3 and MaxValue 40 throughout: unreadable text gives -3.
    QTest::newRow("empty") << "" << -3;
    QTest::newRow("lone minus") << "-" << -3;
    QTest::newRow("lone plus") << "+" << -3;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("plus sign") << "+12" << 12;
    QTest::newRow("negative") << "-25" << -25;
    QTest::newRow("above max, unclamped") << "99" << 99;
    QTest::newRow("below min, unclamped") << "-50" << -50;
    QTest::newRow("int max") << "2147483647" << INT_MAX;
    QTest::newRow("int max + 1") << "2147483648" << -3;
    QTest::newRow("int min") << "-2147483648" << INT_MIN;
    QTest::newRow("int min - 1") << "-2147483649" << -3;
    QTest::newRow("30 digits") << "123456789012345678901234567890" << -3;
    QTest::newRow("many zeros then 5") << "0000000000000000000000000005" << 5;
    QTest::newRow("decimal point") << "1.5" << -3;
    QTest::newRow("comma") << "1,5" << -3;
    QTest::newRow("letters") << "abc" << -3;
    QTest::newRow("hex") << "0x10" << -3;
    QTest::newRow("leading blank") << " 5" << -3;
    QTest::newRow("trailing blank") << "5 " << -3;
    QTest::newRow("two signs") << "--5" << -3;
    QTest::newRow("sign after digits") << "5-" << -3;
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0663)) << -3;
    QTest::newRow("fullwidth digit") << QString(QChar(0xFF15)) << -3;
}

void TestSpinEdit::valueReadsTextWithoutClamping() {
    QFETCH(QString, text);
    QFETCH(int, value);
    TSpinEdit_X spin;
    spin.setMinValue(-3);
    spin.setMaxValue(40);
    spin.setText(text);
    QCOMPARE(spin.Value(), value);
    QCOMPARE(spin.text(), text);  // reading never rewrites the text
}

void TestSpinEdit::settingValueClampsToRange_data() {
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<int>("set");
    QTest::addColumn<QString>("text");
    QTest::newRow("above max") << 0 << 40 << 99 << "40";
    QTest::newRow("below min") << 1 << 40 << -7 << "1";
    QTest::newRow("inside") << 0 << 40 << 17 << "17";
    QTest::newRow("min = max = 0: no limits") << 0 << 0 << 12345 << "12345";
    QTest::newRow("min = max = 0, negative") << 0 << 0 << -9 << "-9";
    QTest::newRow("min = max = 5: no limits") << 5 << 5 << 1 << "1";
    QTest::newRow("int min kept") << 0 << 0 << INT_MIN << "-2147483648";
}

void TestSpinEdit::settingValueClampsToRange() {
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(int, set);
    QFETCH(QString, text);
    TSpinEdit_X spin;
    spin.setMinValue(minValue);
    spin.setMaxValue(maxValue);
    spin.setValue(set);
    QCOMPARE(spin.text(), text);
}

void TestSpinEdit::boundsAreStoredWithoutTouchingText() {
    TSpinEdit_X spin;
    QCOMPARE(spin.text(), QStringLiteral("0"));  // a new edit shows 0
    spin.setText(QStringLiteral("99"));
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);
    spin.setMaxValue(40);
    spin.setMinValue(10);
    QCOMPARE(spin.text(), QStringLiteral("99"));
    QCOMPARE(changes.count(), 0);
}

void TestSpinEdit::onChangeOncePerTextChange() {
    TSpinEdit_X spin;
    spin.setMaxValue(40);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);

    spin.setValue(0);  // text stays "0"
    QCOMPARE(changes.count(), 0);
    spin.setValue(5);
    QCOMPARE(changes.count(), 1);
    spin.setValue(5);
    QCOMPARE(changes.count(), 1);
    spin.setValue(50);  // clamps to 40: one change
    QCOMPARE(changes.count(), 2);
    spin.setValue(60);  // clamps to 40 again: no change
    QCOMPARE(changes.count(), 2);
    spin.setText(QStringLiteral("40"));
    QCOMPARE(changes.count(), 2);
    spin.setText(QStringLiteral("abc"));
    QCOMPARE(changes.count(), 3);

    spin.selectAll();
    QTest::keyClick(&spin, Qt::Key_7);  // typing replaces the selection: one change
    QCOMPARE(spin.text(), QStringLiteral("7"));
    QCOMPARE(changes.count(), 4);
}

void TestSpinEdit::arrowKeysStepAndStopAtBounds() {
    TSpinEdit_X spin;
    spin.setMinValue(0);
    spin.setMaxValue(40);
    spin.setIncrement(3);
    spin.setValue(36);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);

    QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.text(), QStringLiteral("39"));
    QTest::keyClick(&spin, Qt::Key_Up);  // 42 clamps to 40
    QCOMPARE(spin.text(), QStringLiteral("40"));
    QCOMPARE(changes.count(), 2);
    QTest::keyClick(&spin, Qt::Key_Up);  // at max: nothing changes, nothing raised
    QCOMPARE(spin.text(), QStringLiteral("40"));
    QCOMPARE(changes.count(), 2);

    QTest::keyClick(&spin, Qt::Key_Down);
    QCOMPARE(spin.text(), QStringLiteral("37"));

    // An unreadable text steps from MinValue.
    spin.setMinValue(2);
    spin.setText(QStringLiteral("-"));
    QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.text(), QStringLiteral("5"));
}

void TestSpinEdit::readOnlyStepBeepsAndKeepsText() {
    TSpinEdit_X spin;
    spin.setMaxValue(10);
    spin.setValue(4);
    spin.setReadOnly(true);
    QSignalSpy beeps(&spin, &TSpinEdit_X::beeped);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);
    QTest::keyClick(&spin, Qt::Key_Up);
    spin.DownClick();
    QCOMPARE(spin.text(), QStringLiteral("4"));
    QCOMPARE(beeps.count(), 2);
    QCOMPARE(changes.count(), 0);

    // QLineEdit::setReadOnly through the base class is the same property.
    static_cast<QLineEdit&>(spin).setReadOnly(false);
    QVERIFY(!spin.ReadOnly());
    spin.UpClick();
    QCOMPARE(spin.text(), QStringLiteral("5"));
}

void TestSpinEdit::stepSaturatesAtIntegerRange() {
    TSpinEdit_X spin;  // MinValue = MaxValue = 0: unlimited
    spin.setIncrement(1000);
    spin.setText(QStringLiteral("2147483000"));
    spin.UpClick();
    QCOMPARE(spin.Value(), INT_MAX);
    spin.setText(QStringLiteral("-2147483000"));
    spin.DownClick();
    QCOMPARE(spin.Value(), INT_MIN);
    spin.setText(QStringLiteral("5"));
    spin.setIncrement(INT_MIN);
    spin.DownClick();  // 5 - INT_MIN must not overflow
    QCOMPARE(spin.Value(), INT_MAX);
}

void TestSpinEdit::typingFilterBeepsOnRejectedKeys() {
    TSpinEdit_X spin;
    spin.setText(QString());
    QSignalSpy beeps(&spin, &TSpinEdit_X::beeped);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);

    QTest::keyClicks(&spin, QStringLiteral("-12"));
    QCOMPARE(spin.text(), QStringLiteral("-12"));
    QCOMPARE(beeps.count(), 0);
    QCOMPARE(changes.count(), 3);

    QTest::keyClicks(&spin, QStringLiteral("a Z/*"));
    QCOMPARE(spin.text(), QStringLiteral("-12"));
    QCOMPARE(beeps.count(), 5);
    QCOMPARE(changes.count(), 3);

    QTest::keyClick(&spin, Qt::Key_Return);
    QTest::keyClick(&spin, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(spin.text(), QStringLiteral("-12"));
    QCOMPARE(beeps.count(), 7);

    // Backspace and Delete edit normally, and so does the plus sign.
    QTest::keyClick(&spin, Qt::Key_Backspace);
    QTest::keyClick(&spin, Qt::Key_Home);
    QTest::keyClick(&spin, Qt::Key_Delete);
    QTest::keyClick(&spin, Qt::Key_Plus);
    QCOMPARE(spin.text(), QStringLiteral("+1"));
    QCOMPARE(beeps.count(), 7);
}

void TestSpinEdit::enterDoesNotPressDialogButtons() {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* spin = new TExtSpinEdit(&dialog);
    auto* reset = new QPushButton(QStringLiteral("Reset"), &dialog);  // auto-default
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    layout->addWidget(spin);
    layout->addWidget(reset);
    layout->addWidget(ok);
    QSignalSpy resetClicks(reset, &QPushButton::clicked);
    QSignalSpy okClicks(ok, &QPushButton::clicked);
    QSignalSpy beeps(spin, &TSpinEdit_X::beeped);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    spin->setFocus(Qt::TabFocusReason);

    QTest::keyClick(spin, Qt::Key_Return);  // no default button: the auto-default one would go
    ok->setDefault(true);
    QTest::keyClick(spin, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(beeps.count(), 2);
    QCOMPARE(resetClicks.count(), 0);
    QCOMPARE(okClicks.count(), 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);

    // Escape still reaches the dialog.
    QTest::keyClick(spin, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(beeps.count(), 2);
}

void TestSpinEdit::commaLocaleAcceptsItsSeparator() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TSpinEdit_X spin;
    spin.setMinValue(2);
    spin.setMaxValue(9);
    spin.setText(QString());
    QSignalSpy beeps(&spin, &TSpinEdit_X::beeped);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);
    QTest::keyClick(&spin, Qt::Key_1);
    QTest::keyClick(&spin, Qt::Key_Comma);
    QTest::keyClick(&spin, Qt::Key_5);
    QCOMPARE(spin.text(), QStringLiteral("1,5"));
    QCOMPARE(beeps.count(), 0);
    QCOMPARE(changes.count(), 3);
    QCOMPARE(spin.Value(), 2);
    // The point is the group separator here, not the decimal one.
    QTest::keyClick(&spin, Qt::Key_Period);
    QCOMPARE(beeps.count(), 1);
    QCOMPARE(spin.text(), QStringLiteral("1,5"));

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(!spin.IsValidChar(u','));
    QVERIFY(spin.IsValidChar(u'.'));
}

void TestSpinEdit::pasteAndCutFollowEditorFlags() {
    TSpinEdit_X spin;
    spin.setMinValue(-1);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);

    // Pasted text is not filtered.
    QApplication::clipboard()->setText(QStringLiteral("4x2"));
    spin.selectAll();
    QTest::keyClick(&spin, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(spin.text(), QStringLiteral("4x2"));
    QCOMPARE(spin.Value(), -1);
    QCOMPARE(changes.count(), 1);

    spin.selectAll();
    QTest::keyClick(&spin, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(spin.text(), QString());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("4x2"));
    QCOMPARE(changes.count(), 2);

    for (int mode = 0; mode < 2; ++mode) {
        spin.setReadOnly(mode == 0);
        spin.setEditorEnabled(mode == 0);
        spin.setText(QStringLiteral("12"));
        changes.clear();
        QApplication::clipboard()->setText(QStringLiteral("99"));
        spin.selectAll();
        QTest::keyClick(&spin, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&spin, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::keyClick(&spin, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(spin.text(), QStringLiteral("12"));
        QCOMPARE(changes.count(), 0);
        // The context menu offers neither.
        std::unique_ptr<QMenu> menu(spin.createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QLatin1String("edit-paste") ||
                action->objectName() == QLatin1String("edit-cut"))
                QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
        }
    }
}

void TestSpinEdit::disabledEditorRejectsEveryCharacter() {
    TSpinEdit_X spin;
    spin.setMaxValue(10);
    spin.setEditorEnabled(false);
    spin.setText(QStringLiteral("5"));
    spin.end(false);
    QSignalSpy beeps(&spin, &TSpinEdit_X::beeped);
    QTest::keyClicks(&spin, QStringLiteral("3a"));
    QTest::keyClick(&spin, Qt::Key_Backspace);
    QCOMPARE(beeps.count(), 3);
    QTest::keyClick(&spin, Qt::Key_Home);
    QTest::keyClick(&spin, Qt::Key_Delete);
    QTest::keyClick(&spin, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(spin.text(), QStringLiteral("5"));
    QVERIFY(!spin.IsValidChar(u'7'));
    QVERIFY(!spin.IsValidChar(QChar(8)));
    QVERIFY(spin.IsValidChar(QChar(3)));  // Ctrl+C still copies
    // The buttons and arrows still work: they are not editing.
    QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.text(), QStringLiteral("6"));
    spin.setEditorEnabled(true);
    QVERIFY(!spin.isReadOnly());
    QTest::keyClick(&spin, Qt::Key_1);
    QCOMPARE(spin.text(), QStringLiteral("61"));
}

void TestSpinEdit::focusInSelectsUnlessLeftClick() {
    FocusWindow w;
    QVERIFY(w.ready());
    w.spin->setText(QStringLiteral("123"));

    w.tabIn();
    QVERIFY(w.spin->hasFocus());
    QCOMPARE(w.spin->selectedText(), QStringLiteral("123"));
    w.tabOut();

    w.spin->setAutoSelect(false);
    w.tabIn();
    QVERIFY(w.spin->hasFocus());
    QVERIFY(!w.spin->hasSelectedText());
    w.tabOut();

    w.spin->setAutoSelect(true);
    w.spin->setFocus(Qt::OtherFocusReason);
    QCOMPARE(w.spin->selectedText(), QStringLiteral("123"));
    w.after->setFocus(Qt::OtherFocusReason);

    // A left click in the text places the cursor instead.
    QTest::mouseClick(w.spin, Qt::LeftButton, {}, QPoint(4, w.spin->height() / 2));
    QVERIFY(w.spin->hasFocus());
    QVERIFY(!w.spin->hasSelectedText());
    QCOMPARE(w.spin->cursorPosition(), 0);
}

void TestSpinEdit::leavingEmptyRestoresRememberedValue() {
    FocusWindow w;
    QVERIFY(w.ready());
    w.spin->setMaxValue(40);
    w.spin->setValue(12);
    w.tabIn();
    QCOMPARE(w.spin->RememberedValue(), 12);
    QSignalSpy changes(w.spin, &TSpinEdit_X::OnChange);
    QTest::keyClick(w.spin, Qt::Key_Backspace);  // everything was selected
    QCOMPARE(w.spin->text(), QString());
    QCOMPARE(w.spin->Value(), 0);
    QCOMPARE(changes.count(), 1);
    w.tabOut();
    QCOMPARE(w.spin->text(), QStringLiteral("12"));
    QCOMPARE(changes.count(), 2);

    // The remembered value is the one at focus time, not the last typed.
    w.tabIn();
    QTest::keyClicks(w.spin, QStringLiteral("3"));
    w.tabOut();
    QCOMPARE(w.spin->text(), QStringLiteral("3"));
    w.tabIn();
    QCOMPARE(w.spin->RememberedValue(), 3);
    QTest::keyClick(w.spin, Qt::Key_Delete);
    w.tabOut();
    QCOMPARE(w.spin->text(), QStringLiteral("3"));
}

void TestSpinEdit::leavingClampsOutOfRangeValueOnce() {
    FocusWindow w;
    QVERIFY(w.ready());
    w.spin->setMaxValue(40);
    w.spin->setValue(1);
    w.tabIn();
    QSignalSpy changes(w.spin, &TSpinEdit_X::OnChange);
    QTest::keyClicks(w.spin, QStringLiteral("99"));
    QCOMPARE(w.spin->Value(), 99);  // read unclamped while typing
    QCOMPARE(changes.count(), 2);
    w.tabOut();
    QCOMPARE(w.spin->text(), QStringLiteral("40"));
    QCOMPARE(changes.count(), 3);

    // With MinValue = MaxValue = 0 nothing is clamped.
    w.spin->setMaxValue(0);
    w.tabIn();
    QTest::keyClicks(w.spin, QStringLiteral("-777"));
    changes.clear();
    w.tabOut();
    QCOMPARE(w.spin->text(), QStringLiteral("-777"));
    QCOMPARE(changes.count(), 0);
}

void TestSpinEdit::leavingKeepsUnreadableAndPaddedText() {
    FocusWindow w;
    QVERIFY(w.ready());
    w.spin->setMinValue(0);
    w.spin->setMaxValue(40);
    const QStringList kept = {QStringLiteral("-"), QStringLiteral("007"), QStringLiteral("+"),
                              QStringLiteral("1,5")};
    for (const QString& text : kept) {
        w.tabIn();
        w.spin->setText(text);
        QSignalSpy changes(w.spin, &TSpinEdit_X::OnChange);
        w.tabOut();
        QCOMPARE(w.spin->text(), text);
        QCOMPARE(changes.count(), 0);
    }
    // A 30-digit number reads as MinValue, which is in range: kept as typed.
    w.tabIn();
    w.spin->setText(QStringLiteral("999999999999999999999999999999"));
    w.tabOut();
    QCOMPARE(w.spin->text(), QStringLiteral("999999999999999999999999999999"));
    // A below-range value is raised to MinValue.
    w.spin->setMinValue(5);
    w.tabIn();
    w.spin->setText(QStringLiteral("-2"));
    w.tabOut();
    QCOMPARE(w.spin->text(), QStringLiteral("5"));
}

void TestSpinEdit::windowSwitchIsNeitherEntryNorExit() {
    FocusWindow w;
    QVERIFY(w.ready());
    w.spin->setMaxValue(40);
    w.spin->setValue(5);
    w.tabIn();
    QTest::keyClicks(w.spin, QStringLiteral("99"));
    QSignalSpy changes(w.spin, &TSpinEdit_X::OnChange);

    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!w.spin->hasFocus());
    QCOMPARE(w.spin->text(), QStringLiteral("99"));  // not clamped: the user did not leave
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QVERIFY(w.spin->hasFocus());
    QCOMPARE(w.spin->RememberedValue(), 5);  // not entered anew
    QCOMPARE(changes.count(), 0);
    w.tabOut();
    QCOMPARE(w.spin->text(), QStringLiteral("40"));
    QCOMPARE(changes.count(), 1);
}

void TestSpinEdit::reshownWindowEntersAnew() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* spin = new TExtSpinEdit(&window);
    layout->addWidget(spin);
    spin->setValue(7);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // The only focusable control gets the focus as the window comes up.
    QVERIFY(spin->hasFocus());
    QCOMPARE(spin->selectedText(), QStringLiteral("7"));
    QCOMPARE(spin->RememberedValue(), 7);
    QTest::keyClick(spin, Qt::Key_3);

    // A dialog closing does not run the exit; the launcher becomes active.
    window.hide();
    QCOMPARE(spin->text(), QStringLiteral("3"));
    QWidget launcher;
    launcher.show();
    launcher.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&launcher));
    QCOMPARE(spin->text(), QStringLiteral("3"));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(spin->hasFocus());
    QCOMPARE(spin->RememberedValue(), 3);
    QCOMPARE(spin->selectedText(), QStringLiteral("3"));
}

void TestSpinEdit::errorInRepeatedStepStopsTimer() {
    TSpinEdit_X spin;
    spin.resize(80, 26);
    spin.show();
    TTimerSpeedButton_X* up = spin.Button()->UpButton();
    int calls = 0;
    connect(spin.Button(), &TSpinButton_X::OnUpClick, &spin, [&] {
        if (++calls == 2) throw std::runtime_error("step failed");
    });
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    auto* timer = qobject_cast<FakeRepeatTimer*>(up->repeatTimer());
    QVERIFY(timer);
    QVERIFY(timer->fire());
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, timer->fire());
    QVERIFY(!timer->isActive());
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(calls, 3);
}

void TestSpinEdit::shortClickIsOneStep() {
    TSpinEdit_X spin;
    spin.setMaxValue(40);
    spin.resize(80, 26);
    spin.show();
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);
    TTimerSpeedButton_X* up = spin.Button()->UpButton();
    TTimerSpeedButton_X* down = spin.Button()->DownButton();
    QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(spin.text(), QStringLiteral("1"));
    QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
    QTest::mouseClick(down, Qt::LeftButton, {}, down->rect().center());
    QCOMPARE(spin.text(), QStringLiteral("1"));
    QCOMPARE(changes.count(), 3);
    auto* timer = qobject_cast<FakeRepeatTimer*>(up->repeatTimer());
    QVERIFY(timer);
    QVERIFY(!timer->isActive());  // the release stopped it
    QVERIFY(!timer->fire());
    // A right click does nothing.
    QTest::mouseClick(up, Qt::RightButton, {}, up->rect().center());
    QCOMPARE(spin.text(), QStringLiteral("1"));
}

void TestSpinEdit::holdRepeatsAfterDelayThenFast() {
    TSpinEdit_X spin;
    spin.resize(80, 26);
    spin.show();
    TTimerSpeedButton_X* up = spin.Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    auto* timer = qobject_cast<FakeRepeatTimer*>(up->repeatTimer());
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), TTimerSpeedButton_X::InitialRepeatDelayMs);
    QCOMPARE(TTimerSpeedButton_X::InitialRepeatDelayMs, 400);
    QCOMPARE(spin.text(), QStringLiteral("0"));  // nothing before the first tick

    QVERIFY(timer->fire());  // 400 ms
    QCOMPARE(spin.text(), QStringLiteral("1"));
    QCOMPARE(timer->interval(), 100);
    QVERIFY(timer->fire());  // 500 ms
    QVERIFY(timer->fire());  // 600 ms
    QCOMPARE(spin.text(), QStringLiteral("3"));
    QCOMPARE(timer->interval(), 100);

    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(spin.text(), QStringLiteral("4"));  // one more on release
    QVERIFY(!timer->isActive());

    // The next press starts over with the long delay, on the same timer.
    auto* down = spin.Button()->DownButton();
    QTest::mousePress(down, Qt::LeftButton, {}, down->rect().center());
    auto* downTimer = qobject_cast<FakeRepeatTimer*>(down->repeatTimer());
    QVERIFY(downTimer && downTimer != timer);
    QCOMPARE(downTimer->interval(), 400);
    QVERIFY(downTimer->fire());
    QTest::mouseRelease(down, Qt::LeftButton, {}, down->rect().center());
    QCOMPARE(spin.text(), QStringLiteral("2"));
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(up->repeatTimer(), timer);
    QCOMPARE(timer->interval(), 400);
    QCOMPARE(timer->starts, 2);
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
}

void TestSpinEdit::draggingOffStopsSteps() {
    TSpinEdit_X spin;
    spin.resize(80, 26);
    spin.show();
    TTimerSpeedButton_X* up = spin.Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    auto* timer = qobject_cast<FakeRepeatTimer*>(up->repeatTimer());
    QVERIFY(timer);
    QVERIFY(timer->fire());
    QCOMPARE(spin.text(), QStringLiteral("1"));
    const QPoint outside(up->width() / 2, -20);
    QTest::mouseMove(up, outside);
    QVERIFY(timer->fire());
    QVERIFY(timer->fire());
    QCOMPARE(spin.text(), QStringLiteral("1"));
    QTest::mouseRelease(up, Qt::LeftButton, {}, outside);  // released away: no step
    QCOMPARE(spin.text(), QStringLiteral("1"));
    QVERIFY(!timer->isActive());
}

void TestSpinEdit::buttonPressFocusesAndSelects() {
    FocusWindow w;
    QVERIFY(w.ready());
    w.spin->setMaxValue(5);
    w.spin->setValue(5);
    w.after->setFocus(Qt::OtherFocusReason);
    TTimerSpeedButton_X* up = w.spin->Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    QVERIFY(w.spin->hasFocus());
    QCOMPARE(w.spin->selectedText(), QStringLiteral("5"));
    QCOMPARE(w.spin->RememberedValue(), 5);
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(w.spin->text(), QStringLiteral("5"));  // at max
    QVERIFY(!w.spin->Button()->hasFocus());
}

void TestSpinEdit::buttonsSitInsideRightEdge() {
    for (int width : {60, 120}) {
        TSpinEdit_X spin;
        spin.resize(width, 26);
        spin.show();
        const TSpinButton_X* pair = spin.Button();
        QVERIFY(pair->isVisible());
        QVERIFY(spin.rect().contains(pair->geometry()));
        QVERIFY(pair->geometry().right() >= spin.width() - 4);
        QVERIFY(pair->width() >= TSpinButton_X::MinimumWidth);
        // Up above down, sharing one pixel row, together filling the pair.
        const QRect up = pair->UpButton()->geometry();
        const QRect down = pair->DownButton()->geometry();
        QCOMPARE(up.top(), 0);
        QCOMPARE(down.top(), up.bottom());
        QCOMPARE(down.bottom(), pair->height() - 1);
        QCOMPARE(up.height(), pair->height() / 2);
        // A long number ends before the buttons: the cursor at its end is
        // left of the pair.
        spin.setText(QStringLiteral("12345678901234567890"));
        spin.end(false);
        spin.grab();  // the line edit scrolls its text while painting
        // (the cursor rectangle reaches 5 pixels either side of the cursor)
        const int cursorX = spin.inputMethodQuery(Qt::ImCursorRectangle).toRect().left() + 5;
        QVERIFY2(cursorX < pair->x(),
                 qPrintable(QStringLiteral("cursor %1, buttons at %2")
                                .arg(cursorX)
                                .arg(pair->x())));
    }
}

void TestSpinEdit::heightNeverBelowMinimum() {
    TSpinEdit_X spin;
    spin.resize(60, 4);
    QVERIFY(spin.height() >= spin.minimumSizeHint().height());
    QVERIFY(spin.height() >= QFontMetrics(spin.font()).height());
    QVERIFY(spin.Button()->height() >= 8);
}

void TestSpinEdit::badInputNeverCrashesAndReadsAsDefined() {
    FocusWindow w;
    QVERIFY(w.ready());
    w.spin->setMinValue(-5);
    w.spin->setMaxValue(40);
    const QString alphabet = QStringLiteral("0123456789+-.,eE xX$%\u00e4\u0663\u00a0");
    QStringList samples = {QStringLiteral("-"), QStringLiteral("+"), QStringLiteral("-+"),
                           QStringLiteral(","), QStringLiteral("."),
                           QStringLiteral("123456789012345678901234567890"),
                           QStringLiteral("-123456789012345678901234567890"),
                           QString(5000, u'9'), QStringLiteral("\U0001F600"), QString(QChar(0))};
    QRandomGenerator rng(20261208);
    for (int i = 0; i < 300; ++i) {
        QString s;
        const int len = rng.bounded(14);
        for (int k = 0; k < len; ++k) s += alphabet[rng.bounded(alphabet.size())];
        samples << s;
    }
    for (const QString& sample : samples) {
        // Pasted: taken as it is.
        w.tabIn();
        QApplication::clipboard()->setText(sample);
        QTest::keyClick(w.spin, Qt::Key_V, Qt::ControlModifier);
        const QString pasted = w.spin->text();
        const int read = referenceValue(pasted, -5);
        QCOMPARE(w.spin->Value(), read);
        const int remembered = w.spin->RememberedValue();
        w.tabOut();
        if (pasted.isEmpty()) {
            QCOMPARE(w.spin->text(), QString::number(remembered));
        } else if (read == qBound(-5, read, 40)) {
            QCOMPARE(w.spin->text(), pasted);  // readable in range or unreadable: kept
        } else {
            QCOMPARE(w.spin->text(), QString::number(qBound(-5, read, 40)));
        }

        // Typed: only the characters the filter lets through arrive.
        w.tabIn();
        w.spin->clear();
        typeCharacters(w.spin, sample.left(40));
        QCOMPARE(w.spin->Value(), referenceValue(w.spin->text(), -5));
        for (QChar c : w.spin->text())
            QVERIFY2((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.',
                     qPrintable(w.spin->text()));
        w.tabOut();
        QVERIFY(w.spin->Value() >= -5 && w.spin->Value() <= 40);
    }
}

QTEST_MAIN(TestSpinEdit)
#include "tst_spin_edit.moc"
