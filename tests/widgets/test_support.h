#pragma once
// Shared by the widget tests: a repeat timer fired by hand, and a paint
// device that records the texts and fills a widget draws.

#include "widgets/repeat_timer.h"

#include <QPaintDevice>
#include <QPaintEngine>

using namespace capacimo::widgets;

class FakeRepeatTimer final : public TRepeatTimer {
    Q_OBJECT
public:
    using TRepeatTimer::TRepeatTimer;
    void start(int ms) override { interval_ = ms, active_ = true; }
    void setInterval(int ms) override { interval_ = ms; }
    int interval() const override { return interval_; }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    bool fire() {  // as a real timer: only while running
        if (active_) emit timeout();
        return active_;
    }

private:
    int interval_ = 0;
    bool active_ = false;
};

struct Drawn {
    QString text;  // empty for a fill
    QRectF rect;   // the fill, or the text's baseline start in rect.topLeft()
    QColor color;
};

class RecordingDevice final : public QPaintDevice, public QPaintEngine {
public:
    explicit RecordingDevice(int dpi) : QPaintEngine(AllFeatures), dpi_(dpi) {}
    QList<Drawn> texts, fills;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;

    QPaintEngine* paintEngine() const override { return const_cast<RecordingDevice*>(this); }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& s) override {
        if (s.state() & DirtyPen) pen_ = s.pen().color();
        if (s.state() & DirtyBrush) brush_ = s.brush();
        if (s.state() & DirtyTransform) xf_ = s.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& t) override {
        texts.append({t.text(), QRectF(xf_.map(p), QSizeF()), pen_});
    }
    void drawRects(const QRectF* r, int n) override {
        for (int i = 0; i < n && brush_.style() != Qt::NoBrush; ++i)
            fills.append({QString(), xf_.mapRect(r[i]), brush_.color()});
    }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
        case PdmHeight: return 2000;
        case PdmWidthMM:
        case PdmHeightMM: return 2000 * 254 / (10 * dpi_);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return dpi_;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    int dpi_;
    QColor pen_;
    QBrush brush_;
    QTransform xf_;
};
