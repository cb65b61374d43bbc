#include "widgets/contrast.h"

#include <QTest>

using namespace capacimo::widgets;

class TestContrast : public QObject {
    Q_OBJECT
private slots:
    // The guidelines' own figures: black on white 21:1, a colour on itself
    // 1:1, pure blue on white 8.59:1, pure red on white 4.00:1.
    void ratiosMatchTheGuidelines() {
        QCOMPARE(contrastRatio(Qt::black, Qt::white), 21.0);
        QCOMPARE(contrastRatio(QColor(0, 0, 255), QColor(0, 0, 255)), 1.0);
        QCOMPARE(qRound(contrastRatio(Qt::white, QColor(0, 0, 255)) * 100), 859);
        QCOMPARE(qRound(contrastRatio(QColor(255, 0, 0), Qt::white) * 100), 400);
    }

    // The status line's red and blue: as designed on light windows, readable
    // and still red and blue on dark ones.
    void designColoursStayOnLightAndTurnReadableOnDark() {
        const QColor red(255, 0, 0), blue(0, 0, 255);
        for (const QColor& light : {QColor(Qt::white), QColor(239, 239, 239), QColor(212, 208, 200)}) {
            QCOMPARE(readableOn(red, light), red);
            QCOMPARE(readableOn(blue, light), blue);
        }
        for (const QColor& dark : {QColor(Qt::black), QColor(30, 30, 30), QColor(53, 53, 53), QColor(0, 0, 90)}) {
            const QColor r = readableOn(red, dark), b = readableOn(blue, dark);
            QVERIFY(contrastRatio(r, dark) >= kReadableContrast);
            QVERIFY(contrastRatio(b, dark) >= kReadableContrast);
            QVERIFY(r.red() == 255 && r.green() == r.blue() && r.green() < 200);
            QVERIFY(b.blue() == 255 && b.red() == b.green() && b.red() < 200);
        }
        QVERIFY(contrastRatio(blue, QColor(53, 53, 53)) < 2.0);  // why it is needed
    }
};

QTEST_APPLESS_MAIN(TestContrast)
#include "tst_contrast.moc"
