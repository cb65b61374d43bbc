#pragma once

// Helpers shared by the widget tests: a repeat timer fired by hand and a paint
// device that records what a widget draws.

#include "widgets/repeat_timer.h"

#include <QColor>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <memory>

// A repeat timer that never runs by itself; tests call fire().
class FakeRepeatTimer final : public TRepeatTimer {
    Q_OBJECT
public:
    using TRepeatTimer::TRepeatTimer;

    void start(int intervalMs) override {
        interval_ = intervalMs;
        active_ = true;
        ++starts;
    }
    void setInterval(int intervalMs) override { interval_ = intervalMs; }
    int interval() const override { return interval_; }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }

    // Fires as a real timer would: only while running.
    bool fire() {
        if (!active_) return false;
        emit timeout();
        return true;
    }

    int starts = 0;

private:
    int interval_ = 0;
    bool active_ = false;
};

// What a paint call produced, in device coordinates.
struct RecordedText {
    QString text;
    QPointF baseline;  // start of the baseline
    QColor color;
};
struct RecordedFill {
    QRectF rect;
    QColor color;
};

class RecordingPaintEngine final : public QPaintEngine {
public:
    RecordingPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyPen) pen_ = state.pen().color();
        if (state.state() & DirtyBrush) brush_ = state.brush();
        if (state.state() & DirtyTransform) transform_ = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        texts.append({item.text(), transform_.map(p), pen_});
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i)
            if (brush_.style() != Qt::NoBrush)
                fills.append({transform_.mapRect(rects[i]), brush_.color()});
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            const QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

    QList<RecordedText> texts;
    QList<RecordedFill> fills;

private:
    QColor pen_;
    QBrush brush_;
    QTransform transform_;
};

class RecordingDevice final : public QPaintDevice {
public:
    explicit RecordingDevice(QSize size, int dpi) : size_(size), dpi_(dpi) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    RecordingPaintEngine& engine() const { return engine_; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: return size_.width();
        case PdmHeight: return size_.height();
        case PdmWidthMM: return size_.width() * 254 / (10 * dpi_);
        case PdmHeightMM: return size_.height() * 254 / (10 * dpi_);
        case PdmNumColors: return 0x7fffffff;
        case PdmDepth: return 32;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return dpi_;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    QSize size_;
    int dpi_;
    mutable RecordingPaintEngine engine_;
};
