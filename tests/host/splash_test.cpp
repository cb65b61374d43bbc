#include "splash.h"

#include <QApplication>
#include <QFrame>
#include <QSet>
#include <QTest>

#include "host_test_support.h"
#include "logo.h"

using namespace capacimo::host;

using host_test::VersionBlockOf;

class SplashTest : public QObject {
    Q_OBJECT

private slots:
    void versionViewShowsItsCategory_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("version") << int(TInfoCategory::icVersion) << "Version"
                                 << "Version 1.0.2.0";
        QTest::newRow("short") << int(TInfoCategory::icShortVersion) << "Version"
                               << "Version 1.0";
        QTest::newRow("bare value") << int(TInfoCategory::icVersion) << ""
                                    << "1.0.2.0";
        QTest::newRow("company") << int(TInfoCategory::icCompanyName) << "by"
                                 << "by Ostrelwerk";
        QTest::newRow("empty string") << int(TInfoCategory::icComments) << "Note"
                                      << "Note";
        QTest::newRow("missing string") << int(TInfoCategory::icProductName) << ""
                                        << "Unknown";
    }
    void versionViewShowsItsCategory() {
        QFETCH(int, category);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        const VersionBlock block = VersionBlockOf(1, 0, 2, 0);
        TVersionView view(nullptr, &block);
        view.SetCaption(caption);
        view.SetInfoCategory(static_cast<TInfoCategory>(category));
        QCOMPARE(view.text(), text);
        QCOMPARE(view.GetLabelText(), text);
    }

    void versionViewWithoutInformationSaysUnknown() {
        const VersionBlock none;
        TVersionView view(nullptr, &none);
        view.SetCaption("Version");
        QCOMPARE(view.text(), QString("Version Unknown"));
        view.SetInfoCategory(TInfoCategory::icCompanyName);
        QCOMPARE(view.text(), QString("Version Unknown"));
    }

    void splashLayout() {
        const VersionBlock block = VersionBlockOf(1, 0, 2, 0);
        Tdlg_Intro splash(nullptr, &block);
        // Laid out at 120 pixels per inch, scaled down on a 96 pixels per inch screen.
        const bool design = host_test::AtDesignResolution(&splash);
        QCOMPARE(splash.size(), design ? QSize(370, 153) : QSize(296, 122));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(splash.bev_Frame->geometry(), splash.rect());
        QCOMPARE(splash.lbl_Name->text(), QString("Ostrel Capacimo"));
        QCOMPARE(splash.lbl_Name->geometry(), design ? QRect(6, 14, 246, 26) : QRect(5, 11, 197, 21));
        QCOMPARE(splash.lbl_Name->font().pixelSize(), design ? 23 : 18);
        QVERIFY(splash.lbl_Name->font().bold() && splash.lbl_Name->font().italic());
        QCOMPARE(splash.lbl_Name->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(splash.lbl_Version->text(), QString("Version 1.0.2.0"));
        QCOMPARE(splash.lbl_Version->pos(), design ? QPoint(10, 46) : QPoint(8, 37));
        QCOMPARE(splash.lbl_Version->font().pixelSize(), design ? 17 : 14);
        QVERIFY(splash.lbl_Version->font().bold());
        // The logo scales with the form, sits 6 pixels from the right and bottom
        // edges, and is drawn in the screen's own pixels.
        QCOMPARE(splash.img_Logo->geometry(), design ? QRect(100, 97, 264, 50) : QRect(79, 76, 211, 40));
        const QPixmap logo = splash.img_Logo->pixmap();
        QCOMPARE(logo.devicePixelRatio(), splash.devicePixelRatioF());
        QCOMPARE(logo.size(), (QSizeF(splash.img_Logo->size()) * splash.devicePixelRatioF()).toSize());
    }

    void logoKeepsItsDistanceWhateverThePictureSize() {
        Tdlg_Intro splash;
        QPixmap picture(100, 20);
        picture.fill(Qt::red);
        splash.img_Logo->setPixmap(picture);
        splash.FormCreate();
        QCOMPARE(splash.img_Logo->geometry(), QRect(splash.width() - 106, splash.height() - 26, 100, 20));
    }

    void splashShowsTheProgramsVersion() {
        Tdlg_Intro splash;
        QCOMPARE(splash.lbl_Version->text(), QString("Version " HOST_VERSION_TEXT ".0"));
    }

    void logoIsATrueColourPictureOfTheRightSize() {
        const QImage logo = DrawLogo();
        QCOMPARE(logo.size(), QSize(264, 50));
        QCOMPARE(DrawLogo(QSize(211, 40), 1.5).size(), QSize(317, 60));
        QCOMPARE(logo.depth(), 24);
        QSet<QRgb> colours;
        for (int y = 0; y < logo.height(); y += 2)
            for (int x = 0; x < logo.width(); x += 2) colours.insert(logo.pixel(x, y));
        QVERIFY2(colours.size() > 8, "the logo is nearly blank");
    }
};

int main(int argc, char** argv) {
    host_test::DefaultToDesignResolution();
    QApplication app(argc, argv);
    SplashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "splash_test.moc"
