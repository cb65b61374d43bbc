#include "widgets/spin_button.h"
#include "widgets/spin_edit.h"

#include "common/ui/error_box.h"
#include "test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
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

using namespace capacimo::widgets;

namespace {

// The plain definition of a decimal 32-bit integer, independent of the widget.
int reference(const QString& t, int minValue) {
    static const QRegularExpression decimal(QStringLiteral("^[+-]?0*([0-9]{1,10})$"));
    const auto m = decimal.match(t);
    if (!m.hasMatch()) return minValue;
    const long long v = (t.startsWith(u'-') ? -1 : 1) * m.captured(1).toLongLong();
    return v < INT_MIN || v > INT_MAX ? minValue : int(v);
}

// Each character as a key press carrying that text (QTest::keyClicks knows only Latin-1).
void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

// An active window with an edit before and after the spin edit.
struct Window {
    QWidget w;
    QLineEdit* before = new QLineEdit(&w);
    TExtSpinEdit* spin = new TExtSpinEdit(&w);
    QLineEdit* after = new QLineEdit(&w);
    Window() {
        auto* l = new QVBoxLayout(&w);
        for (QWidget* c : {(QWidget*)before, (QWidget*)spin, (QWidget*)after}) l->addWidget(c);
        w.show();
        w.activateWindow();
    }
    void in() { before->setFocus(), QTest::keyClick(before, Qt::Key_Tab); }
    void out() { QTest::keyClick(spin, Qt::Key_Tab); }
};

}  // namespace

class TestSpinEdit : public QObject {
    Q_OBJECT
    QList<FakeRepeatTimer*> timers_;
    FakeRepeatTimer* timer(TTimerSpeedButton_X* b) { return qobject_cast<FakeRepeatTimer*>(b->repeatTimer()); }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale::c());
        TTimerSpeedButton_X::setDefaultTimerFactory([](QObject* p) { return new FakeRepeatTimer(p); });
    }
    void valueReadsTextUnclamped_data();
    void valueReadsTextUnclamped();
    void setValueClampsAndNotifiesOnChange();
    void keysStepFilterAndBeep();
    void enterDoesNotPressDialogButtons();
    void commaLocaleAcceptsItsSeparator();
    void pasteAndCutFollowEditorFlags();
    void undoKeysGoToTheWindowWithNothingToUndo();
    void focusEntryAndExit();
    void windowSwitchIsNoExitAndReshowEnters();
    void buttonRepeatTiming();
    void buttonsSitInsideRightEdge();
    void badInputNeverCrashesAndReadsAsDefined();
};

void TestSpinEdit::valueReadsTextUnclamped_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");  // MinValue -3, MaxValue 40
    const QList<std::pair<const char*, int>> rows = {{"", -3},
                                                     {"-", -3},
                                                     {"+", -3},
                                                     {"007", 7},
                                                     {"+12", 12},
                                                     {"-25", -25},
                                                     {"99", 99},
                                                     {"2147483647", INT_MAX},
                                                     {"2147483648", -3},
                                                     {"-2147483648", INT_MIN},
                                                     {"-2147483649", -3},
                                                     {"123456789012345678901234567890", -3},
                                                     {"00000000000000000000005", 5},
                                                     {"1.5", -3},
                                                     {"1,5", -3},
                                                     {"abc", -3},
                                                     {"0x10", -3},
                                                     {" 5", -3},
                                                     {"5 ", -3},
                                                     {"--5", -3},
                                                     {"5-", -3},
                                                     {"\u0663", -3},
                                                     {"\uff15", -3}};
    for (const auto& [text, value] : rows) QTest::newRow(text) << QString::fromUtf8(text) << value;
}

void TestSpinEdit::valueReadsTextUnclamped() {
    QFETCH(QString, text);
    TSpinEdit_X spin;
    spin.setMinValue(-3), spin.setMaxValue(40), spin.setText(text);
    QTEST(spin.Value(), "value");
    QCOMPARE(spin.text(), text);
}

void TestSpinEdit::setValueClampsAndNotifiesOnChange() {
    TSpinEdit_X spin;
    QCOMPARE(spin.text(), QStringLiteral("0"));
    spin.setMaxValue(40);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);
    const QList<std::pair<int, const char*>> steps = {{0, "0"}, {5, "5"}, {5, "5"}, {99, "40"}, {60, "40"}, {-7, "0"}};
    for (const auto& [set, text] : steps) {
        spin.setValue(set);
        QCOMPARE(spin.text(), QString(text));
    }
    QCOMPARE(changes.count(), 3);  // only the sets that changed the text
    spin.setText(QStringLiteral("0"));
    spin.setText(QStringLiteral("99"));
    spin.setMinValue(10), spin.setMaxValue(20);  // plain properties: text untouched
    QCOMPARE(spin.text(), QStringLiteral("99"));
    QCOMPARE(changes.count(), 4);
    spin.setMinValue(0), spin.setMaxValue(0);  // equal bounds: no limits
    spin.setValue(-12345);
    QCOMPARE(spin.text(), QStringLiteral("-12345"));
    spin.setText(QStringLiteral("2147483000")), spin.setIncrement(1000), spin.UpClick();
    QCOMPARE(spin.Value(), INT_MAX);  // steps saturate
    spin.setText(QStringLiteral("5")), spin.setIncrement(INT_MIN), spin.DownClick();
    QCOMPARE(spin.Value(), INT_MAX);
}

void TestSpinEdit::keysStepFilterAndBeep() {
    TSpinEdit_X spin;
    spin.setMaxValue(40), spin.setIncrement(3), spin.setValue(36);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange), beeps(&spin, &TSpinEdit_X::beeped);
    for (int i = 0; i < 3; ++i) QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.text(), QStringLiteral("40"));  // 39, 40, and at max nothing
    QCOMPARE(changes.count(), 2);
    QTest::keyClick(&spin, Qt::Key_Down);
    QCOMPARE(spin.text(), QStringLiteral("37"));
    spin.setText(QStringLiteral("-"));  // unreadable: steps from MinValue
    QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.text(), QStringLiteral("3"));

    changes.clear();
    QTest::keyClicks(&spin, QStringLiteral("a Z/*,"));
    QTest::keyClick(&spin, Qt::Key_Return);
    QTest::keyClick(&spin, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(beeps.count(), 8);
    QCOMPARE(changes.count(), 0);
    QTest::keyClicks(&spin, QStringLiteral("-1"));
    QTest::keyClick(&spin, Qt::Key_Backspace);
    QTest::keyClick(&spin, Qt::Key_Home), QTest::keyClick(&spin, Qt::Key_Delete);
    QTest::keyClick(&spin, Qt::Key_Plus);
    QCOMPARE(spin.text(), QStringLiteral("+-"));
    QCOMPARE(beeps.count(), 8);

    spin.setReadOnly(true);  // steps beep and change nothing
    spin.UpClick(), QTest::keyClick(&spin, Qt::Key_Down);
    QCOMPARE(beeps.count(), 10);
    QCOMPARE(spin.text(), QStringLiteral("+-"));
    static_cast<QLineEdit&>(spin).setReadOnly(false);  // the base class' flag is the same one
    QVERIFY(!spin.ReadOnly());
}

void TestSpinEdit::enterDoesNotPressDialogButtons() {
    QDialog dialog;
    auto* spin = new TExtSpinEdit(&dialog);
    auto* reset = new QPushButton(QStringLiteral("Reset"), &dialog);  // auto-default
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(spin), layout->addWidget(reset), layout->addWidget(ok);
    QSignalSpy resets(reset, &QPushButton::clicked), oks(ok, &QPushButton::clicked);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Return);
    ok->setDefault(true);
    QTest::keyClick(spin, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(resets.count() + oks.count(), 0);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(spin, Qt::Key_Escape);  // Esc still reaches the dialog
    QVERIFY(!dialog.isVisible());
}

void TestSpinEdit::commaLocaleAcceptsItsSeparator() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TSpinEdit_X spin;
    spin.setMinValue(2), spin.setMaxValue(9), spin.clear();
    QSignalSpy beeps(&spin, &TSpinEdit_X::beeped), changes(&spin, &TSpinEdit_X::OnChange);
    QTest::keyClicks(&spin, QStringLiteral("1,5"));
    QCOMPARE(spin.text(), QStringLiteral("1,5"));
    QCOMPARE(changes.count(), 3);
    QCOMPARE(spin.Value(), 2);
    QTest::keyClick(&spin, Qt::Key_Period);  // the group separator here
    QCOMPARE(beeps.count(), 1);
    QLocale::setDefault(QLocale::c());
    QVERIFY(!spin.IsValidChar(u',') && spin.IsValidChar(u'.'));
}

void TestSpinEdit::pasteAndCutFollowEditorFlags() {
    TSpinEdit_X spin;
    spin.setMinValue(-1), spin.setMaxValue(99);
    QSignalSpy changes(&spin, &TSpinEdit_X::OnChange);
    QApplication::clipboard()->setText(QStringLiteral("4x2"));
    spin.selectAll(), QTest::keyClick(&spin, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(spin.text(), QStringLiteral("4x2"));  // not filtered
    QCOMPARE(spin.Value(), -1);
    spin.selectAll(), QTest::keyClick(&spin, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(spin.text(), QString());
    QCOMPARE(changes.count(), 2);

    for (bool readOnly : {true, false}) {
        spin.setReadOnly(readOnly), spin.setEditorEnabled(readOnly);
        spin.setText(QStringLiteral("12")), spin.selectAll();
        changes.clear();
        QTest::keyClick(&spin, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&spin, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::keyClick(&spin, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(&spin, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&spin, Qt::Key_Delete);
        QCOMPARE(spin.text(), QStringLiteral("12"));
        QCOMPARE(changes.count(), 0);
        std::unique_ptr<QMenu> menu(spin.createStandardContextMenu());
        for (QAction* a : menu->actions())
            if (a->objectName() == QLatin1String("edit-paste") || a->objectName() == QLatin1String("edit-cut"))
                QVERIFY(!a->isEnabled());
    }
    // Without the editor every character is refused, but the arrows still step.
    QSignalSpy beeps(&spin, &TSpinEdit_X::beeped);
    QTest::keyClicks(&spin, QStringLiteral("3a"));
    QTest::keyClick(&spin, Qt::Key_Backspace);
    QCOMPARE(beeps.count(), 3);
    QVERIFY(spin.IsValidChar(QChar(3)));  // Ctrl+C still copies
    QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.text(), QStringLiteral("13"));
}

// The box undoes its own typing; with none to undo, Ctrl+Z is the window's
// (a dialog's undo of a change of every field).
void TestSpinEdit::undoKeysGoToTheWindowWithNothingToUndo() {
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.w));
    auto* undo = new QAction(&w.w);
    undo->setShortcut(QKeySequence::Undo);
    w.w.addAction(undo);
    QSignalSpy windowUndos(undo, &QAction::triggered);
    w.spin->setValue(3);
    w.in();
    QTest::keyClick(w.spin, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(windowUndos.count(), 1);
    QCOMPARE(w.spin->text(), QStringLiteral("3"));
    QTest::keyClicks(w.spin, QStringLiteral("5"));
    QTest::keyClick(w.spin, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.spin->text(), QStringLiteral("3"));
    QCOMPARE(windowUndos.count(), 1);
}

void TestSpinEdit::focusEntryAndExit() {
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.w));
    TExtSpinEdit* spin = w.spin;
    spin->setMaxValue(40), spin->setValue(12);
    w.in();
    QCOMPARE(spin->selectedText(), QStringLiteral("12"));
    QCOMPARE(spin->RememberedValue(), 12);
    QSignalSpy changes(spin, &TSpinEdit_X::OnChange);
    QTest::keyClick(spin, Qt::Key_Backspace);
    QCOMPARE(spin->text(), QString());
    w.out();  // empty: back to the value it had on entry
    QCOMPARE(spin->text(), QStringLiteral("12"));
    QCOMPARE(changes.count(), 2);

    w.in(), QTest::keyClicks(spin, QStringLiteral("99"));
    QCOMPARE(spin->Value(), 99);  // unclamped while typing
    w.out();
    QCOMPARE(spin->text(), QStringLiteral("40"));
    QCOMPARE(changes.count(), 5);  // 9, 99, then one clamp

    for (const char* kept : {"-", "007", "+", "999999999999999999999999999999"}) {
        w.in(), spin->setText(QString::fromLatin1(kept)), changes.clear(), w.out();
        QCOMPARE(spin->text(), QString::fromLatin1(kept));
        QCOMPARE(changes.count(), 0);
    }
    spin->setMaxValue(0);  // min = max = 0: nothing clamped
    w.in(), QTest::keyClicks(spin, QStringLiteral("-777")), w.out();
    QCOMPARE(spin->text(), QStringLiteral("-777"));

    spin->setAutoSelect(false), w.in();
    QVERIFY(spin->hasFocus() && !spin->hasSelectedText());
    spin->setAutoSelect(true), w.out();
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(4, spin->height() / 2));
    QVERIFY(spin->hasFocus() && !spin->hasSelectedText());  // a click places the cursor
    w.out();
    // Pressing a spin button enters the box as from elsewhere: all selected.
    TTimerSpeedButton_X* up = spin->Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    QVERIFY(spin->hasFocus());
    QCOMPARE(spin->selectedText(), QStringLiteral("-777"));
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(spin->text(), QStringLiteral("-776"));
}

void TestSpinEdit::windowSwitchIsNoExitAndReshowEnters() {
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.w));
    w.spin->setMaxValue(40), w.spin->setValue(5);
    w.in(), QTest::keyClicks(w.spin, QStringLiteral("99"));
    QWidget other;
    other.show(), other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(w.spin->text(), QStringLiteral("99"));  // the user did not leave the box
    w.w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.w) && w.spin->hasFocus());
    QCOMPARE(w.spin->RememberedValue(), 5);  // nor entered it anew

    w.w.hide();  // a dialog closing does not run the exit either
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(w.spin->text(), QStringLiteral("99"));
    w.w.show(), w.w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.w) && w.spin->hasFocus());
    QCOMPARE(w.spin->RememberedValue(), 99);  // shown again: a new entry
    QCOMPARE(w.spin->selectedText(), QStringLiteral("99"));
}

void TestSpinEdit::buttonRepeatTiming() {
    TSpinEdit_X spin;
    spin.resize(80, 26), spin.show();
    TTimerSpeedButton_X* up = spin.Button()->UpButton();
    TTimerSpeedButton_X* down = spin.Button()->DownButton();
    const QPoint c = up->rect().center();
    QTest::mouseClick(up, Qt::LeftButton, {}, c);  // a short click: one step
    QTest::mouseClick(up, Qt::RightButton, {}, c);
    QCOMPARE(spin.text(), QStringLiteral("1"));
    QVERIFY(!timer(up)->isActive());

    QTest::mousePress(up, Qt::LeftButton, {}, c);
    QCOMPARE(timer(up)->interval(), 400);
    QCOMPARE(spin.text(), QStringLiteral("1"));
    QVERIFY(timer(up)->fire());  // 400 ms
    QCOMPARE(timer(up)->interval(), 100);
    QVERIFY(timer(up)->fire() && timer(up)->fire());  // 500, 600 ms
    QCOMPARE(spin.text(), QStringLiteral("4"));
    QTest::mouseRelease(up, Qt::LeftButton, {}, c);  // one more on release
    QCOMPARE(spin.text(), QStringLiteral("5"));
    QVERIFY(!timer(up)->fire());

    QTest::mousePress(down, Qt::LeftButton, {}, c);
    QCOMPARE(timer(down)->interval(), 400);  // each press starts with the long delay
    QVERIFY(timer(down)->fire());
    QTest::mouseMove(down, QPoint(c.x(), 40));  // dragged off: no steps
    QVERIFY(timer(down)->fire());
    QTest::mouseRelease(down, Qt::LeftButton, {}, QPoint(c.x(), 40));
    QCOMPARE(spin.text(), QStringLiteral("4"));

    QTest::mousePress(up, Qt::LeftButton, {}, c);
    spin.setEnabled(false);  // no release will come
    QVERIFY(!timer(up)->isActive());
    spin.setEnabled(true);
    QTest::mouseRelease(up, Qt::LeftButton, {}, c);

    // A failing step stops the repeat and shows in the error box; nothing
    // leaves the timer's callback or the release.
    QStringList shown;
    capacimo::setErrorBoxHandler([&shown](const QString& text) { shown << text; });
    connect(spin.Button(), &TSpinButton_X::OnUpClick, &spin, [] { throw std::runtime_error("step failed"); });
    QTest::mousePress(up, Qt::LeftButton, {}, c);
    timer(up)->fire();
    QVERIFY(!timer(up)->isActive());
    QTest::mouseRelease(up, Qt::LeftButton, {}, c);
    capacimo::setErrorBoxHandler({});
    QCOMPARE(shown, (QStringList{"step failed.", "step failed."}));
}

void TestSpinEdit::buttonsSitInsideRightEdge() {
    for (int width : {60, 120}) {
        TSpinEdit_X spin;
        spin.resize(width, 4);
        spin.show();
        QVERIFY(spin.height() >= spin.minimumSizeHint().height());  // raised to the minimum
        const TSpinButton_X* pair = spin.Button();
        QVERIFY(spin.rect().contains(pair->geometry()) && pair->geometry().right() >= width - 4);
        spin.setText(QString(20, u'7')), spin.end(false), spin.grab();
        // The cursor after a long number stays left of the buttons.
        QVERIFY(spin.inputMethodQuery(Qt::ImCursorRectangle).toRect().left() + 5 < pair->x());
    }
}

void TestSpinEdit::badInputNeverCrashesAndReadsAsDefined() {
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.w));
    w.spin->setMinValue(-5), w.spin->setMaxValue(40);
    const QString alphabet = QStringLiteral("0123456789+-.,eE xX$\u00e4\u0663\u00a0");
    QStringList samples = {QString(5000, u'9'), QStringLiteral("\U0001F600"), QString(QChar(0))};
    QRandomGenerator rng(20261208);
    for (int i = 0; i < 300; ++i) {
        QString s;
        for (int k = rng.bounded(14); k > 0; --k) s += alphabet[rng.bounded(alphabet.size())];
        samples << s;
    }
    for (const QString& sample : samples) {
        w.in();
        QApplication::clipboard()->setText(sample);
        QTest::keyClick(w.spin, Qt::Key_V, Qt::ControlModifier);
        const QString pasted = w.spin->text();
        const int read = reference(pasted, -5), entered = w.spin->RememberedValue();
        QCOMPARE(w.spin->Value(), read);
        w.out();
        const QString expected = pasted.isEmpty()         ? QString::number(entered)
                                 : read < -5 || read > 40 ? QString::number(qBound(-5, read, 40))
                                                          : pasted;
        QCOMPARE(w.spin->text(), expected);

        w.in(), w.spin->clear(), type(w.spin, sample.left(40));
        QCOMPARE(w.spin->Value(), reference(w.spin->text(), -5));
        QVERIFY(QRegularExpression(QStringLiteral("^[-+0-9.]*$")).match(w.spin->text()).hasMatch());
        w.out();
        QVERIFY(w.spin->Value() >= -5 && w.spin->Value() <= 40);
    }
}

QTEST_MAIN(TestSpinEdit)
#include "tst_spin_edit.moc"
