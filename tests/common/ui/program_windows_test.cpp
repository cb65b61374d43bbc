// What every window of the program shares: its icon, and the error box that
// is placed and sized for a person to read.
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "common/ui/error_box.h"
#include "common/ui/program_icon.h"

using namespace capacimo;

class ProgramWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void theIconComesInEverySizeTheDesktopAsksFor() {
        const QIcon icon = programIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 32, 48, 64, 128, 256})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
        // Drawn, not blank: the middle of the large picture is not transparent.
        const QImage picture = icon.pixmap(QSize(256, 256)).toImage();
        QVERIFY(qAlpha(picture.pixel(128, 128)) > 0);
    }

    // A box raised while its parent is not yet on screen (the launcher is made
    // while the splash shows) sits in the middle of the screen, wide enough
    // for its title.
    void aBoxOverAHiddenWindowIsCentredAndShowsItsTitle() {
        QWidget hidden;
        hidden.move(0, 0);
        const QString title = QString::fromUtf8(kApplicationTitle) + " - a title longer than the text";
        QRect shown;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            shown = box->geometry();
            box->accept();
        });
        poll.start(10);
        showMessageBox(&hidden, "Short.", title);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Within the width of a window frame.
        QVERIFY(qAbs(shown.center().x() - screen.center().x()) <= 4);
        QVERIFY(qAbs(shown.center().y() - screen.center().y()) <= 4);
        QFont bold = QApplication::font();
        bold.setBold(true);
        QVERIFY2(shown.width() > QFontMetrics(bold).horizontalAdvance(title),
                 qPrintable(QString::number(shown.width())));
    }
};

QTEST_MAIN(ProgramWindowsTest)
#include "program_windows_test.moc"
