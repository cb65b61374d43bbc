// Renders the dialog widgets in their states to PNG files, so that a person
// can look at them without running the calculator.
//
//   capacimo_widget_gallery OUTDIR [--dpi N] [--zoom Z]
//
// --dpi sets the font resolution (QT_FONT_DPI) before the application starts;
// sizes follow the calculator's rule: as designed at 120 dpi and above, 0.8
// of that below. --zoom additionally writes each picture enlarged Z times
// (nearest pixel) as NAME@Zx.png.

#include "calculator/text/vocabulary.h"
#include "widgets/page_control.h"
#include "widgets/result_list.h"
#include "widgets/spin_button.h"
#include "widgets/spin_edit.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTabBar>
#include <QTest>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

using namespace capacimo::widgets;

namespace {

struct Options {
    QString outDir;
    int dpi = 0;
    int zoom = 1;
};

double uiScale = 1.0;
int scaled(int v) { return int(std::lround(v * uiScale)); }

class Gallery {
public:
    Gallery(QString dir, int zoom) : dir_(std::move(dir)), zoom_(zoom) {}

    // Shows the window, lets `prepare` set the state (focus needs an active
    // window), then saves a picture of `target`.
    void shoot(const QString& name, QWidget* window, QWidget* target, const std::function<void()>& prepare = {}) {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            std::fprintf(stderr, "%s: window not active, focus may be missing\n", qPrintable(name));
        if (prepare) prepare();
        QApplication::processEvents();
        save(name, target->grab().toImage());
    }

    void save(const QString& name, const QImage& image) {
        const QString path = QDir(dir_).filePath(name + QStringLiteral(".png"));
        if (!image.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok_ = false;
            return;
        }
        std::printf("%s\n", qPrintable(path));
        if (zoom_ > 1) {
            const QImage big = image.scaled(image.size() * zoom_, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            big.save(QDir(dir_).filePath(QStringLiteral("%1@%2x.png").arg(name).arg(zoom_)));
        }
    }

    bool ok() const { return ok_; }

private:
    QString dir_;
    int zoom_;
    bool ok_ = true;
};

// A labelled spin edit placed as on the calculator's channel pages.
TExtSpinEdit* addCount(QWidget* page, const QString& label, int top, int maxValue, int value, int left = 300) {
    auto* caption = new QLabel(label, page);
    caption->move(scaled(10), scaled(top + 4));
    auto* spin = new TExtSpinEdit(page);
    spin->setGeometry(scaled(left), scaled(top), scaled(60), scaled(26));
    spin->setMaxValue(maxValue);
    spin->setValue(value);
    return spin;
}

void spinEdits(Gallery& g) {
    QWidget page;
    page.resize(scaled(380), scaled(150));
    TExtSpinEdit* analog = addCount(&page, QStringLiteral("Number of  analog channels:"), 10, 40, 1);
    TExtSpinEdit* integr = addCount(&page, QStringLiteral("... of these with totalization:"), 44, 40, 12);
    TExtSpinEdit* ic = addCount(&page, QStringLiteral("... of  these as impulse counter:"), 78, 40, 0);
    TExtSpinEdit* wide = addCount(&page, QStringLiteral("Clipped number:"), 112, 0, 0);
    wide->setText(QStringLiteral("2147483647"));

    g.shoot(QStringLiteral("spin_page"), &page, &page, [&] { integr->setFocus(Qt::TabFocusReason); });
    g.shoot(QStringLiteral("spin_normal"), &page, analog, [&] { integr->setFocus(Qt::TabFocusReason); });
    g.shoot(QStringLiteral("spin_focused"), &page, integr, [&] { integr->setFocus(Qt::TabFocusReason); });
    g.shoot(QStringLiteral("spin_clipped"), &page, wide, [&] {
        wide->setFocus(Qt::MouseFocusReason);
        wide->end(false);
    });
    g.shoot(QStringLiteral("spin_up_pressed"), &page, ic, [&] {
        analog->setFocus(Qt::TabFocusReason);
        ic->Button()->UpButton()->setDown(true);
    });
    ic->Button()->UpButton()->setDown(false);
    g.shoot(QStringLiteral("spin_down_pressed"), &page, ic, [&] { ic->Button()->DownButton()->setDown(true); });
    ic->Button()->DownButton()->setDown(false);
    g.shoot(QStringLiteral("spin_disabled"), &page, ic, [&] { ic->setEnabled(false); });
    g.shoot(QStringLiteral("spin_read_only"), &page, ic, [&] {
        ic->setEnabled(true);
        ic->setReadOnly(true);
    });

    // A standalone button pair with the keyboard focus shows its focus rectangle.
    QWidget holder;
    holder.resize(60, 60);
    auto* pair = new TSpinButton_X(&holder);
    pair->setTabStop(true);
    pair->move(20, 17);
    g.shoot(QStringLiteral("spin_button_pair_focused"), &holder, &holder, [&] { pair->setFocus(Qt::TabFocusReason); });
}

void fullRow(TdfsEnhListView*, QPainter*, int, const QRect&, TdfsEnhListView::TOwnerDrawState, bool& defaultDrawing,
             bool& fullRowSelect) {
    defaultDrawing = true;
    fullRowSelect = true;
}

void resultList(Gallery& g) {
    QWidget window;
    window.resize(scaled(675), scaled(96));
    auto* other = new QLabel(QStringLiteral("focus elsewhere"), &window);
    other->setFocusPolicy(Qt::StrongFocus);
    other->move(-200, -200);
    auto* list = new TdfsEnhListView(&window);
    list->setGeometry(1, 1, window.width() - 2, window.height() - 2);
    auto text = [](std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); };
    list->AddColumn(text(capacimo::kResultColumns[0]), 100, Qt::AlignLeft, true);
    for (std::size_t c = 1; c < capacimo::kResultColumns.size(); ++c)
        list->AddColumn(text(capacimo::kResultColumns[c]), scaled(80), Qt::AlignRight);
    list->AddItem(text(capacimo::mediumCaption(capacimo::Medium::Internal)),
                  {QStringLiteral("12"), QStringLiteral("3"), QStringLiteral("17")});
    list->AddItem(text(capacimo::mediumCaption(capacimo::Medium::Card)),
                  {QStringLiteral("-1"), QStringLiteral("-1"), QStringLiteral("-1")});
    QObject::connect(list, &TdfsEnhListView::OnDrawItem, list, &fullRow);

    g.shoot(QStringLiteral("list_normal"), &window, list);
    g.shoot(QStringLiteral("list_selected_focused"), &window, list, [&] {
        list->setFocus(Qt::MouseFocusReason);
        list->setCurrentItem(list->topLevelItem(1));
    });
    g.shoot(QStringLiteral("list_selected_unfocused"), &window, list, [&] { other->setFocus(Qt::OtherFocusReason); });
    g.shoot(QStringLiteral("list_selected_unfocused_shown"), &window, list, [&] { list->setHideSelection(false); });
    list->setHideSelection(true);
    g.shoot(QStringLiteral("list_clipped_numbers"), &window, list, [&] {
        list->setSubItem(0, 0, QStringLiteral("2147483647"));
        list->setSubItem(0, 2, QStringLiteral("R&D 123456789"));
        for (int c = 1; c < 4; ++c) list->setColumnWidth(c, scaled(50));
    });
}

void pageControls(Gallery& g) {
    QWidget window;
    window.resize(scaled(675), scaled(216));
    auto* outer = new TPage95Control(&window);
    outer->setGeometry(0, 0, window.width(), window.height());
    new TTab95Sheet(outer, QStringLiteral("Information"));
    new TTab95Sheet(outer, QStringLiteral("Signal analysis"));
    auto* channels = new TTab95Sheet(outer, QStringLiteral("Channel Settings"));
    auto* groups = new TTab95Sheet(outer, QStringLiteral("Group settings"));

    auto* inner = new TPage95Control(channels);
    inner->setGeometry(0, 0, scaled(660), scaled(170));
    auto* analog = new TTab95Sheet(inner, QStringLiteral("Analog channels"));
    new TTab95Sheet(inner, QStringLiteral("Digital channels"));
    new TTab95Sheet(inner, QStringLiteral("Math channels"));
    addCount(analog, QStringLiteral("Number of  analog channels:"), 10, 40, 1);
    addCount(analog, QStringLiteral("... of these with totalization:"), 44, 40, 0);

    auto* groupPages = new TPage95Control(groups);
    groupPages->setGeometry(0, 0, scaled(460), scaled(170));  // too narrow for ten tabs
    for (int n = 1; n <= 10; ++n) {
        auto* page = new TTab95Sheet(groupPages, QString::fromStdString(capacimo::groupName(n - 1)));
        addCount(page, QStringLiteral("Number of instantaneous values (analog or math):"), 42, 8, n == 1 ? 1 : 0,
                 10 + 330);
    }

    g.shoot(QStringLiteral("pages_channels"), &window, outer, [&] { outer->setActivePage(channels); });
    g.shoot(QStringLiteral("pages_many_tabs"), &window, outer, [&] { outer->setActivePage(groups); });
    g.shoot(QStringLiteral("pages_many_tabs_last"), &window, outer,
            [&] { groupPages->setActivePage(groupPages->Pages(9)); });
}

bool parse(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--dpi") && i + 1 < argc)
            o->dpi = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--zoom") && i + 1 < argc)
            o->zoom = std::atoi(argv[++i]);
        else if (argv[i][0] != '-' && o->outDir.isEmpty())
            o->outDir = QString::fromLocal8Bit(argv[i]);
        else
            return false;
    }
    return !o->outDir.isEmpty() && o->zoom >= 1 && o->zoom <= 8 && o->dpi >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, &options)) {
        std::fprintf(stderr, "usage: %s OUTDIR [--dpi N] [--zoom Z]\n", argv[0]);
        return 2;
    }
    if (options.dpi > 0) qputenv("QT_FONT_DPI", QByteArray::number(options.dpi));
    QApplication app(argc, argv);
    if (!QDir().mkpath(options.outDir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(options.outDir));
        return 1;
    }
    uiScale = QWidget().logicalDpiX() >= 120 ? 1.0 : 0.8;

    Gallery gallery(options.outDir, options.zoom);
    spinEdits(gallery);
    resultList(gallery);
    pageControls(gallery);
    return gallery.ok() ? 0 : 1;
}
