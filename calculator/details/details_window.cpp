#include "calculator/details/details_window.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMoveEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "calculator/details/byte_chart.h"
#include "calculator/text/dialog_texts.h"
#include "calculator/text/vocabulary.h"
#include "common/qt_text.h"
#include "common/ui/program_icon.h"
#include "widgets/failure_guard.h"
#include "widgets/window_placement.h"

namespace capacimo::unit {

using widgets::guarded;
using widgets::showingFailures;

namespace {

// Weeks the target starts at: half a year.

}  // namespace

TDetailsWindow::TDetailsWindow(QWidget* owner) : TGuardedDialog(owner), entries_(defaultEntries()) {
    setObjectName("dlg_Details");
    setWindowTitle(qText(kDetailsTitle));
    setWindowIcon(programIcon());
    setModal(false);
    if (owner != nullptr) setFont(owner->font());
    placement_ = new BesideOwner(this);
    placement_->setResizeFirst([this] { return fitToScreen(); });

    // Everything scrolls when the screen is too small for it.
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("scr_Details");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setAccessibleName(windowTitle());
    frame->addWidget(scroll_);
    contents_ = new QWidget(scroll_);
    contents_->installEventFilter(this);  // follows the size its contents ask for
    // A new plan can make the contents taller after the window last measured
    // them (the label's new height reaches them a layout pass later): then
    // the scroll bar's range is the first to know, and the window grows.
    connect(scroll_->verticalScrollBar(), &QScrollBar::rangeChanged, this, guarded(this, [this](int, int maximum) {
                if (maximum > 0 && isVisible()) fitToScreen();
            }));

    auto* layout = new QVBoxLayout(contents_);
    lbl_Written = new QLabel(contents_);
    lbl_Written->setObjectName("lbl_Written");
    lbl_Written->setWordWrap(true);
    layout->addWidget(lbl_Written);
    chart_ = new TByteChart(contents_);
    chart_->setObjectName("cht_Bytes");
    layout->addWidget(chart_);
    buildWithoutTable(layout);
    buildTarget(layout);
    btn_SaveReport = new QPushButton(QStringLiteral("Save report..."), contents_);
    btn_SaveReport->setObjectName("btn_SaveReport");
    btn_SaveReport->setAccessibleName(QStringLiteral("Save report"));
    btn_SaveReport->setAutoDefault(false);
    connect(btn_SaveReport, &QPushButton::clicked, this, guarded(this, [this] { emit saveReportRequested(); }));
    layout->addWidget(btn_SaveReport, 0, Qt::AlignRight);
    layout->addStretch(1);
    scroll_->setWidget(contents_);
}

void TDetailsWindow::buildWithoutTable(QVBoxLayout* layout) {
    lbl_Without = new QLabel(contents_);
    lbl_Without->setObjectName("lbl_Without");
    layout->addWidget(lbl_Without);
    tbl_Without = new QTableWidget(0, 4, contents_);
    tbl_Without->setObjectName("tbl_Without");
    // Fixed rows, and the number columns sized once after each filling: sizing
    // them to their contents at every cell would measure every row again.
    tbl_Without->verticalHeader()->hide();
    tbl_Without->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tbl_Without->verticalHeader()->setDefaultSectionSize(fontMetrics().height() * 3 / 2);
    tbl_Without->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tbl_Without->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tbl_Without->horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tbl_Without->setHorizontalHeaderLabels(
        {qText(kWithoutColumn), qText(mediumCaption(Medium::Internal)), {}, qText(kAlarmBytesColumn)});
    tbl_Without->horizontalHeaderItem(0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tbl_Without->setFocusPolicy(Qt::NoFocus);
    tbl_Without->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_Without->setSelectionMode(QAbstractItemView::NoSelection);
    tbl_Without->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tbl_Without->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tbl_Without->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    tbl_Without->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(tbl_Without);
}

void TDetailsWindow::buildTarget(QVBoxLayout* layout) {
    auto* target = new QGroupBox(qText(kTargetTitle), contents_);
    target->setObjectName("grp_Target");
    auto* targetLayout = new QVBoxLayout(target);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(qText(kTargetKeep), target));
    spb_TargetWeeks = new QSpinBox(target);
    spb_TargetWeeks->setObjectName("spb_TargetWeeks");
    spb_TargetWeeks->setRange(0, static_cast<int>(kLargestRetentionNumber));
    spb_TargetWeeks->setValue(kInitialTargetWeeks);
    spb_TargetWeeks->setSuffix(u' ' + qText(kTargetWeeks));
    // The field and the line it types into, which a screen reader meets too.
    spb_TargetWeeks->setAccessibleName("Weeks to keep");
    spb_TargetWeeks->findChild<QLineEdit*>()->setAccessibleName(spb_TargetWeeks->accessibleName());
    spb_TargetWeeks->setAlignment(Qt::AlignRight);
    row->addWidget(spb_TargetWeeks);
    row->addWidget(new QLabel(qText(kTargetOnThe), target));
    cb_TargetMedium = new QComboBox(target);
    cb_TargetMedium->setObjectName("cb_TargetMedium");
    cb_TargetMedium->setAccessibleName("Medium to keep them on");
    for (Medium m : kMedia) cb_TargetMedium->addItem(qText(mediumCaption(m)), static_cast<int>(m));
    row->addWidget(cb_TargetMedium);
    row->addStretch(1);
    targetLayout->addLayout(row);
    lbl_Plan = new QLabel(target);
    lbl_Plan->setObjectName("lbl_Plan");
    lbl_Plan->setTextFormat(Qt::PlainText);
    lbl_Plan->setWordWrap(true);  // so that the window can narrow to fit beside the dialog
    lbl_Plan->setTextInteractionFlags(Qt::TextSelectableByMouse);
    targetLayout->addWidget(lbl_Plan);
    layout->addWidget(target);

    auto targetChanged = guarded(this, [this] {
        if (isVisible())
            refreshPlan();
        else
            planStale_ = true;
    });
    connect(spb_TargetWeeks, &QSpinBox::valueChanged, this, targetChanged);
    connect(cb_TargetMedium, &QComboBox::currentIndexChanged, this, targetChanged);
}

Medium TDetailsWindow::medium() const { return static_cast<Medium>(cb_TargetMedium->currentData().toInt()); }

Target TDetailsWindow::target() const { return {medium(), std::int64_t{spb_TargetWeeks->value()} * kHoursPerWeek}; }

void TDetailsWindow::setTarget(int weeks, Medium medium) {
    spb_TargetWeeks->setValue(weeks);
    cb_TargetMedium->setCurrentIndex(cb_TargetMedium->findData(static_cast<int>(medium)));
}

QStringList TDetailsWindow::planLines() const { return lbl_Plan->text().split(u'\n'); }

void TDetailsWindow::showCalculation(const CalculatorEntries& entries, const CalculationResult& result,
                                     const Breakdown& breakdown) {
    entries_ = entries;
    current_ = result;
    showBreakdown(breakdown);
    ++breakdowns_;
    refreshPlan();
}

void TDetailsWindow::showEvent(QShowEvent* event) {
    if (planStale_) refreshPlan();
    TGuardedDialog::showEvent(event);
    // Opened, it has the focus on its one field, where it shows.
    if (!event->spontaneous()) spb_TargetWeeks->setFocus(Qt::OtherFocusReason);
    // The final size first, then the place for it.
    placement_->shown(event->spontaneous());
    fitToScreen();
    // Shown again, it goes beside the dialog again, unless the user has
    // chosen its place.
    placement_->placeAgain(event->spontaneous());
}

void TDetailsWindow::moveEvent(QMoveEvent* event) {
    TGuardedDialog::moveEvent(event);
    placement_->moved();
}

bool TDetailsWindow::fitToScreen() {
    const QSize room = placement_->roomOnScreen();
    setMaximumSize(room);
    // The window for contents of a width: the captions wrap, so the height
    // follows from the width, and what is taller than the screen scrolls.
    // The height is taken as if a scroll bar narrowed the contents, so that
    // none shows once the window has it.
    const int scrollBarWidth = scroll_->verticalScrollBar()->sizeHint().width();
    auto windowFor = [&](int width) {
        QSize size(width, contents_->sizeHint().height());
        if (contents_->hasHeightForWidth())
            size.setHeight(std::max(size.height(), contents_->heightForWidth(width - scrollBarWidth)));
        if (size.height() > room.height()) size.rwidth() += scrollBarWidth;
        return size;
    };
    QSize wanted = windowFor(contents_->sizeHint().width());
    if (wanted.width() > room.width()) wanted.rheight() += scroll_->horizontalScrollBar()->sizeHint().height();
    // Narrower than it would like, where that lets it stand beside the
    // dialog rather than over it.
    bool narrowed = false;
    if (placement_->automatic() && parentWidget() != nullptr) {
        const int beside = placement_->roomBeside();
        if (wanted.width() > beside) {
            int width = beside;
            QSize narrow = windowFor(width);
            if (narrow.width() > beside) narrow = windowFor(width -= narrow.width() - beside);
            narrowed = width >= contents_->minimumSizeHint().width() && narrow.width() <= beside;
            if (narrowed) wanted = narrow;
        }
    }
    // It grows with its contents, and shrinks only to stand beside the dialog.
    QSize size = wanted.expandedTo(this->size());
    if (narrowed) size.setWidth(wanted.width());
    size = size.boundedTo(room);
    if (size == this->size()) return false;
    resize(size);
    return placement_->resized();
}

bool TDetailsWindow::eventFilter(QObject* watched, QEvent* event) {
    showingFailures(this, [&] {
        if (watched == contents_ && event->type() == QEvent::LayoutRequest && isVisible()) fitToScreen();
    });
    return TGuardedDialog::eventFilter(watched, event);
}

void TDetailsWindow::refreshPlan() {
    const int weeks = spb_TargetWeeks->value();
    try {
        showPlan(planFor(entries_, medium(), std::int64_t{weeks} * kHoursPerWeek), weeks);
    } catch (const std::exception& e) {
        lbl_Plan->setText(QString::fromUtf8(e.what()));
    }
    planStale_ = false;
    ++plans_;
    if (isVisible()) fitToScreen();
}

void TDetailsWindow::showBreakdown(const Breakdown& b) {
    // Shares of every byte written; the durations leave the open last block
    // out once a block has closed, and the caption says by how much.
    lbl_Written->setText(qText(breakdownHeading(b)));
    chart_->setBars(chartBarsOf(b), b.bytesWritten());

    lbl_Without->setText(qText(withoutHeading(b)));
    setCell(0, 2, qText(resultRowCaption(Medium::Card, entries_.cardItem)), Qt::AlignRight, true);
    const int writers = static_cast<int>(b.writers.size());
    tbl_Without->setRowCount(writers + 1);
    auto setRow = [this](int row, const QString& name, const StorageDuration& internal, const StorageDuration& card,
                         const QString& alarm) {
        setCell(row, 0, name, Qt::AlignLeft);
        setCell(row, 1, qText(durationText(internal)), Qt::AlignRight);
        setCell(row, 2, qText(durationText(card)), Qt::AlignRight);
        setCell(row, 3, alarm, Qt::AlignRight);
    };
    // With a share in alarm, what each writer writes in two hours in alarm,
    // and the cycle it then writes at where that is another.
    setRow(0, qText(kAsEnteredRow), current_.internal, current_.card, qText(groupedNumber(b.alarmWritten)));
    for (int row = 0; row < writers; ++row) {
        const WriterBytes& w = b.writers[static_cast<std::size_t>(row)];
        setRow(row + 1, qText(w.name), w.withoutInternal, w.withoutCard,
               qText(groupedNumber(w.alarmBytes) + (w.alarmCycle == w.cycle ? "" : " (" + w.alarmCycle + ")")));
    }
    tbl_Without->setColumnHidden(3, !b.alarms);
    // Sized to the figures and their headers, with a character's room to the frame.
    for (int column : {1, 2, 3}) {
        tbl_Without->resizeColumnToContents(column);
        tbl_Without->setColumnWidth(column, tbl_Without->columnWidth(column) + fontMetrics().averageCharWidth());
    }
    tbl_Without->setVisible(writers > 0);
    // As tall as its rows and header: a scroll area's smallest size otherwise
    // keeps room for scroll bars it never shows, an empty row's height. Never
    // narrower than its figures and the longest name, since it does not scroll.
    tbl_Without->setFixedHeight(tbl_Without->sizeHint().height());
    int longestName = 0;
    for (int row = 0; row < tbl_Without->rowCount(); ++row)
        longestName = std::max(longestName, fontMetrics().horizontalAdvance(tbl_Without->item(row, 0)->text()));
    tbl_Without->setMinimumWidth(2 * tbl_Without->frameWidth() + longestName + 2 * fontMetrics().averageCharWidth() +
                                 tbl_Without->columnWidth(1) + tbl_Without->columnWidth(2) +
                                 (b.alarms ? tbl_Without->columnWidth(3) : 0));
}

void TDetailsWindow::setCell(int row, int column, const QString& s, Qt::Alignment alignment, bool header) {
    QTableWidgetItem* item = header ? tbl_Without->horizontalHeaderItem(column) : tbl_Without->item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setTextAlignment(alignment | Qt::AlignVCenter);
        item->setFlags(Qt::ItemIsEnabled);
        header ? tbl_Without->setHorizontalHeaderItem(column, item) : tbl_Without->setItem(row, column, item);
    }
    if (item->text() != s) item->setText(s);
}

void TDetailsWindow::showPlan(const Plan& plan, std::int64_t weeks) {
    const Medium m = medium();
    const StorageDuration now = m == Medium::Card ? current_.card : current_.internal;
    const PlanWords words = planWords(plan, m, weeks * kHoursPerWeek, entries_.cardItem, now);
    QStringList lines{qText(words.heading)};
    for (const PlanAnswer& a : words.answers) lines << qText(a.question + ' ' + a.answer);
    if (!words.note.empty()) lines << qText(words.note);
    lbl_Plan->setText(lines.join(u'\n'));
}

}  // namespace capacimo::unit
