#include "windows/plot/wmf_writer.h"

#include <QFile>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPainterPath>
#include <QTextItem>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace lumerad {

namespace {

// Record function numbers of the 16-bit metafile.
enum : quint16 {
    kEof = 0x0000,
    kSaveDc = 0x001E,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetPolyFillMode = 0x0106,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetTextColor = 0x0209,
    kRestoreDc = 0x0127,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDeleteObject = 0x01F0,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kIntersectClipRect = 0x0416,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kExtTextOut = 0x0A32,
};

constexpr quint16 kMmAnisotropic = 8;
constexpr quint16 kTransparent = 1;
constexpr quint16 kTaTop = 0;  // text placed by the top left corner of its character cell
constexpr quint16 kAlternate = 1, kWinding = 2;
constexpr quint16 kPsSolid = 0, kPsDash = 1, kPsDot = 2, kPsDashDot = 3, kPsDashDotDot = 4, kPsNull = 5;
constexpr quint16 kBsSolid = 0, kBsNull = 1;
constexpr int kMaxPolyPoints = 8000;  // keeps records far below the 16-bit point count

quint32 colorRef(const QColor& c) {
    const QColor rgb = c.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

void putWord(QByteArray& b, quint16 w) {
    b.append(char(w & 0xFF));
    b.append(char(w >> 8));
}
void putDword(QByteArray& b, quint32 d) {
    putWord(b, quint16(d & 0xFFFF));
    putWord(b, quint16(d >> 16));
}

QColor brushColor(const QBrush& brush) {
    if (const QGradient* g = brush.gradient()) {
        if (!g->stops().isEmpty()) return g->stops().first().second;
    }
    return brush.color();
}

struct PenKey {
    quint16 style = kPsNull;
    qint16 width = 0;
    quint32 color = 0;
    bool operator==(const PenKey&) const = default;
};

struct BrushKey {
    quint16 style = kBsNull;
    quint32 color = 0;
    bool operator==(const BrushKey&) const = default;
};

struct FontKey {
    qint16 height = 0;
    qint16 escapement = 0;
    qint16 weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    QByteArray face;
    bool operator==(const FontKey&) const = default;
};

}  // namespace

class WmfPaintEngine : public QPaintEngine {
public:
    WmfPaintEngine(int width, int height) : QPaintEngine(AllFeatures), width_(width), height_(height) {}

    bool begin(QPaintDevice*) override;
    bool end() override;
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& changed) override;

    using QPaintEngine::drawEllipse;
    using QPaintEngine::drawLines;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;
    void drawLines(const QLineF* lines, int lineCount) override;
    void drawRects(const QRectF* rects, int rectCount) override;
    void drawEllipse(const QRectF& r) override;
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;

    QByteArray file() const { return file_; }

private:
    // records
    void record(quint16 function, const QByteArray& params);
    void record(quint16 function, std::initializer_list<qint32> words);

    // coordinates
    qint16 coord(double pixels) const;
    void pointsOf(const QPolygonF& poly, QByteArray& out) const;
    QRectF page() const;  // the picture with a small margin; drawing is cut to it

    // objects
    int allocSlot();
    void releaseSlot(int slot);
    void replaceObject(int& currentSlot, int newSlot);
    void selectPen();
    void selectBrush();
    void selectFont(const QFont& font, double angleDegrees);
    void setTextColor(const QColor& c);

    // clipping
    void applyClip();
    void leaveClipLevel();

    void polyline(const QPolygonF& poly);
    void polylineRecords(const QPolygonF& poly);
    void polygon(const QPolygonF& poly, Qt::FillRule rule);

    int width_, height_;
    QByteArray body_;  // records after the header
    QByteArray file_;
    quint32 maxRecord_ = 0;

    std::vector<bool> slots_;
    int maxSlots_ = 0;

    QPen pen_;
    QBrush brush_;
    QTransform transform_;
    bool clipDirty_ = false;

    PenKey penKey_;
    BrushKey brushKey_;
    FontKey fontKey_;
    int penSlot_ = -1, brushSlot_ = -1, fontSlot_ = -1;
    bool penSelected_ = false, brushSelected_ = false, fontSelected_ = false;
    bool textColorSet_ = false;
    quint32 textColor_ = 0;
    int polyFillMode_ = 0;

    // Clip level: one SaveDC above the base level, holding an intersected clip rectangle.
    bool inClipLevel_ = false;
    std::vector<int> pinned_;    // objects selected when the clip level was saved
    std::vector<int> deferred_;  // pinned objects replaced inside the level: deleted after it
};

bool WmfPaintEngine::begin(QPaintDevice*) {
    body_.clear();
    file_.clear();
    maxRecord_ = 0;
    slots_.clear();
    maxSlots_ = 0;
    penSlot_ = brushSlot_ = fontSlot_ = -1;
    penSelected_ = brushSelected_ = fontSelected_ = textColorSet_ = false;
    polyFillMode_ = 0;
    inClipLevel_ = false;
    pinned_.clear();
    deferred_.clear();
    transform_ = QTransform();
    pen_ = QPen();
    brush_ = QBrush();

    const int w = width_ * WmfDevice::kUnitsPerPixel;
    const int h = height_ * WmfDevice::kUnitsPerPixel;
    record(kSetMapMode, {kMmAnisotropic});
    record(kSetWindowOrg, {0, 0});
    record(kSetWindowExt, {h, w});
    record(kSetBkMode, {kTransparent});
    record(kSetTextAlign, {kTaTop});
    record(kSaveDc, {});  // base level: restoring it deselects every object of ours
    setActive(true);
    return true;
}

bool WmfPaintEngine::end() {
    leaveClipLevel();
    record(kRestoreDc, {-1});
    for (int i = 0; i < int(slots_.size()); ++i) {
        if (slots_[i]) record(kDeleteObject, {i});
    }
    slots_.clear();
    record(kEof, {});

    // Aldus placeable header: key, handle, bounding box, units per inch, reserved, checksum.
    QByteArray head;
    putDword(head, 0x9AC6CDD7u);
    putWord(head, 0);
    putWord(head, 0);
    putWord(head, 0);
    putWord(head, quint16(width_ * WmfDevice::kUnitsPerPixel));
    putWord(head, quint16(height_ * WmfDevice::kUnitsPerPixel));
    putWord(head, quint16(WmfDevice::kDpi * WmfDevice::kUnitsPerPixel));
    putDword(head, 0);
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= quint16(quint8(head[2 * i]) | (quint8(head[2 * i + 1]) << 8));
    putWord(head, sum);

    // Metafile header: memory metafile, 9 words, version 3.0, size in words, objects,
    // largest record, no parameters.
    QByteArray meta;
    putWord(meta, 1);
    putWord(meta, 9);
    putWord(meta, 0x0300);
    putDword(meta, quint32((18 + body_.size()) / 2));
    putWord(meta, quint16(maxSlots_));
    putDword(meta, maxRecord_);
    putWord(meta, 0);

    file_ = head + meta + body_;
    setActive(false);
    return true;
}

void WmfPaintEngine::record(quint16 function, const QByteArray& params) {
    const quint32 words = 3 + quint32(params.size() + 1) / 2;
    putDword(body_, words);
    putWord(body_, function);
    body_.append(params);
    if (params.size() % 2) body_.append('\0');
    maxRecord_ = std::max(maxRecord_, words);
}

void WmfPaintEngine::record(quint16 function, std::initializer_list<qint32> words) {
    QByteArray p;
    for (qint32 w : words) putWord(p, quint16(w & 0xFFFF));
    record(function, p);
}

qint16 WmfPaintEngine::coord(double pixels) const {
    const double u = std::round(pixels * WmfDevice::kUnitsPerPixel);
    return qint16(std::clamp(u, -32000.0, 32000.0));
}

void WmfPaintEngine::pointsOf(const QPolygonF& poly, QByteArray& out) const {
    for (const QPointF& p : poly) {
        putWord(out, quint16(coord(p.x())));
        putWord(out, quint16(coord(p.y())));
    }
}

int WmfPaintEngine::allocSlot() {
    // The player puts a new object into the lowest free slot of its table; so do we.
    auto it = std::find(slots_.begin(), slots_.end(), false);
    int slot = int(it - slots_.begin());
    if (it == slots_.end())
        slots_.push_back(true);
    else
        *it = true;
    maxSlots_ = std::max(maxSlots_, int(slots_.size()));
    return slot;
}

void WmfPaintEngine::releaseSlot(int slot) {
    record(kDeleteObject, {slot});
    slots_[slot] = false;
}

// The new object is selected already; the old one is deleted unless a saved DC still
// refers to it, in which case it goes when that level is restored.
void WmfPaintEngine::replaceObject(int& currentSlot, int newSlot) {
    const int old = currentSlot;
    currentSlot = newSlot;
    if (old < 0) return;
    if (inClipLevel_ && std::find(pinned_.begin(), pinned_.end(), old) != pinned_.end()) {
        deferred_.push_back(old);
    } else {
        releaseSlot(old);
    }
}

void WmfPaintEngine::selectPen() {
    PenKey key;
    const QColor c = pen_.color();
    if (pen_.style() != Qt::NoPen && c.alpha() > 0) {
        switch (pen_.style()) {
            case Qt::DashLine:
                key.style = kPsDash;
                break;
            case Qt::DotLine:
                key.style = kPsDot;
                break;
            case Qt::DashDotLine:
                key.style = kPsDashDot;
                break;
            case Qt::DashDotDotLine:
                key.style = kPsDashDotDot;
                break;
            case Qt::CustomDashLine:
                key.style = kPsDash;
                break;
            default:
                key.style = kPsSolid;
                break;
        }
        double w = pen_.widthF();
        if (!pen_.isCosmetic()) w *= std::sqrt(std::fabs(transform_.determinant()));
        key.width = qint16(std::max(1.0, std::round(std::max(w, 1.0) * WmfDevice::kUnitsPerPixel)));
        key.color = colorRef(c);
    }
    if (penSlot_ >= 0 && key == penKey_) {
        if (!penSelected_) record(kSelectObject, {penSlot_});
        penSelected_ = true;
        return;
    }
    const int slot = allocSlot();
    record(kCreatePenIndirect,
           {key.style, key.width, 0, qint32(key.color & 0xFFFF), qint32(key.color >> 16)});
    record(kSelectObject, {slot});
    replaceObject(penSlot_, slot);
    penKey_ = key;
    penSelected_ = true;
}

void WmfPaintEngine::selectBrush() {
    BrushKey key;
    const QColor c = brushColor(brush_);
    if (brush_.style() != Qt::NoBrush && c.alpha() > 0) {
        key.style = kBsSolid;
        key.color = colorRef(c);
    }
    if (brushSlot_ >= 0 && key == brushKey_) {
        if (!brushSelected_) record(kSelectObject, {brushSlot_});
        brushSelected_ = true;
        return;
    }
    const int slot = allocSlot();
    record(kCreateBrushIndirect, {key.style, qint32(key.color & 0xFFFF), qint32(key.color >> 16), 0});
    record(kSelectObject, {slot});
    replaceObject(brushSlot_, slot);
    brushKey_ = key;
    brushSelected_ = true;
}

void WmfPaintEngine::selectFont(const QFont& font, double angleDegrees) {
    FontKey key;
    double px = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * WmfDevice::kDpi / 72.0;
    px *= std::sqrt(std::fabs(transform_.determinant()));
    key.height = qint16(-std::max(1.0, std::round(px * WmfDevice::kUnitsPerPixel)));
    key.escapement = qint16(std::lround(-angleDegrees * 10)) % 3600;
    key.weight = qint16(std::clamp(int(font.weight()), 100, 900));
    key.italic = font.italic();
    key.underline = font.underline();
    key.strikeOut = font.strikeOut();
    key.face = font.family().toLatin1().left(31);
    if (fontSlot_ >= 0 && key == fontKey_) {
        if (!fontSelected_) record(kSelectObject, {fontSlot_});
        fontSelected_ = true;
        return;
    }
    QByteArray p;
    putWord(p, quint16(key.height));
    putWord(p, 0);  // width: from the height
    putWord(p, quint16(key.escapement));
    putWord(p, quint16(key.escapement));  // orientation
    putWord(p, quint16(key.weight));
    p.append(char(key.italic));
    p.append(char(key.underline));
    p.append(char(key.strikeOut));
    p.append(char(0));  // ANSI character set
    p.append(char(0));  // default output precision
    p.append(char(0));  // default clip precision
    p.append(char(0));  // default quality
    p.append(char(0));  // default pitch and family
    QByteArray face = key.face;
    face.append('\0');
    if (face.size() % 2) face.append('\0');
    p.append(face);
    const int slot = allocSlot();
    record(kCreateFontIndirect, p);
    record(kSelectObject, {slot});
    replaceObject(fontSlot_, slot);
    fontKey_ = key;
    fontSelected_ = true;
}

void WmfPaintEngine::setTextColor(const QColor& c) {
    const quint32 ref = colorRef(c);
    if (textColorSet_ && ref == textColor_) return;
    record(kSetTextColor, {qint32(ref & 0xFFFF), qint32(ref >> 16)});
    textColor_ = ref;
    textColorSet_ = true;
}

void WmfPaintEngine::leaveClipLevel() {
    if (!inClipLevel_) return;
    record(kRestoreDc, {-1});
    inClipLevel_ = false;
    // The restored DC selects the objects it had when saved and its own text colour and
    // fill mode; ours are selected again when next needed, except that the deferred ones
    // must not be selected when they are deleted.
    penSelected_ = brushSelected_ = fontSelected_ = false;
    textColorSet_ = false;
    polyFillMode_ = 0;
    if (!deferred_.empty()) {
        if (penSlot_ >= 0) record(kSelectObject, {penSlot_}), penSelected_ = true;
        if (brushSlot_ >= 0) record(kSelectObject, {brushSlot_}), brushSelected_ = true;
        if (fontSlot_ >= 0) record(kSelectObject, {fontSlot_}), fontSelected_ = true;
        for (int slot : deferred_) releaseSlot(slot);
        deferred_.clear();
    }
    pinned_.clear();
}

void WmfPaintEngine::applyClip() {
    if (!clipDirty_) return;
    clipDirty_ = false;
    leaveClipLevel();
    QPainter* p = painter();
    if (!p || !p->hasClipping()) return;
    const QRectF r = p->transform().mapRect(p->clipBoundingRect());
    pinned_.clear();
    if (penSelected_ && penSlot_ >= 0) pinned_.push_back(penSlot_);
    if (brushSelected_ && brushSlot_ >= 0) pinned_.push_back(brushSlot_);
    if (fontSelected_ && fontSlot_ >= 0) pinned_.push_back(fontSlot_);
    record(kSaveDc, {});
    inClipLevel_ = true;
    record(kIntersectClipRect,
           {coord(r.bottom()) + 1, coord(r.right()) + 1, coord(r.top()), coord(r.left())});
}

void WmfPaintEngine::updateState(const QPaintEngineState& changed) {
    const auto flags = changed.state();
    if (flags & DirtyPen) pen_ = changed.pen();
    if (flags & DirtyBrush) brush_ = changed.brush();
    if (flags & DirtyTransform) transform_ = changed.transform();
    if (flags & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled)) clipDirty_ = true;
    // a transform change moves the clip bounds as seen from the painter; they are the same
    // device rectangle, so nothing needs doing for it
}

namespace {

// Liang-Barsky: the part of the segment a-b inside r; false when none is.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& r) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const QPointF start = a;
    if (t1 < 1) b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    if (t0 > 0) a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    return true;
}

// The runs of a polyline inside r.
QList<QPolygonF> clipPolyline(const QPolygonF& poly, const QRectF& r) {
    QList<QPolygonF> runs;
    bool open = false;  // the last run ends where the next segment starts
    for (int i = 0; i + 1 < poly.size(); ++i) {
        QPointF a = poly[i], b = poly[i + 1];
        const bool startsInside = r.contains(a);
        if (!clipSegment(a, b, r)) {
            open = false;
            continue;
        }
        if (!open || !startsInside) runs.append(QPolygonF{a});
        runs.last().append(b);
        open = r.contains(poly[i + 1]);
    }
    return runs;
}

// Sutherland-Hodgman: the polygon cut to r (r is convex, so this is exact for filling).
QPolygonF clipPolygon(const QPolygonF& poly, const QRectF& r) {
    QPolygonF out = poly;
    for (int edge = 0; edge < 4 && !out.isEmpty(); ++edge) {
        auto inside = [&](const QPointF& p) {
            switch (edge) {
                case 0:
                    return p.x() >= r.left();
                case 1:
                    return p.x() <= r.right();
                case 2:
                    return p.y() >= r.top();
                default:
                    return p.y() <= r.bottom();
            }
        };
        auto cross = [&](const QPointF& a, const QPointF& b) {
            double t;
            switch (edge) {
                case 0:
                    t = (r.left() - a.x()) / (b.x() - a.x());
                    break;
                case 1:
                    t = (r.right() - a.x()) / (b.x() - a.x());
                    break;
                case 2:
                    t = (r.top() - a.y()) / (b.y() - a.y());
                    break;
                default:
                    t = (r.bottom() - a.y()) / (b.y() - a.y());
                    break;
            }
            return a + t * (b - a);
        };
        const QPolygonF in = out;
        out.clear();
        for (int i = 0; i < in.size(); ++i) {
            const QPointF& cur = in[i];
            const QPointF& prev = in[(i + in.size() - 1) % in.size()];
            if (inside(cur)) {
                if (!inside(prev)) out << cross(prev, cur);
                out << cur;
            } else if (inside(prev)) {
                out << cross(prev, cur);
            }
        }
    }
    return out;
}

}  // namespace

QRectF WmfPaintEngine::page() const {
    // A little beyond the picture, so that no clipped end is visible; what lies further out
    // is never seen, and readers that size the picture by its contents would shrink it.
    const double m = 4;
    return QRectF(-m, -m, width_ + 2 * m, height_ + 2 * m);
}

void WmfPaintEngine::polyline(const QPolygonF& poly) {
    if (poly.size() < 2) return;
    applyClip();
    selectPen();
    if (penKey_.style == kPsNull) return;
    for (const QPolygonF& run : clipPolyline(poly, page())) polylineRecords(run);
}

void WmfPaintEngine::polylineRecords(const QPolygonF& poly) {
    for (int start = 0; start < poly.size() - 1; start += kMaxPolyPoints - 1) {
        const int n = std::min<int>(kMaxPolyPoints, poly.size() - start);
        QByteArray p;
        putWord(p, quint16(n));
        pointsOf(QPolygonF(poly.mid(start, n)), p);
        record(kPolyline, p);
    }
}

void WmfPaintEngine::polygon(const QPolygonF& poly, Qt::FillRule rule) {
    if (poly.size() < 2) return;
    applyClip();
    selectPen();
    selectBrush();
    if (penKey_.style == kPsNull && brushKey_.style == kBsNull) return;
    const int mode = rule == Qt::WindingFill ? kWinding : kAlternate;
    if (mode != polyFillMode_) {
        record(kSetPolyFillMode, {mode});
        polyFillMode_ = mode;
    }
    QPolygonF pts = clipPolygon(poly, page());
    if (pts.size() < 2) return;
    if (pts.size() > kMaxPolyPoints) pts.resize(kMaxPolyPoints);
    QByteArray p;
    putWord(p, quint16(pts.size()));
    pointsOf(pts, p);
    record(kPolygon, p);
}

void WmfPaintEngine::drawLines(const QLineF* lines, int lineCount) {
    for (int i = 0; i < lineCount; ++i) {
        QPolygonF poly;
        poly << transform_.map(lines[i].p1()) << transform_.map(lines[i].p2());
        polyline(poly);
    }
}

void WmfPaintEngine::drawRects(const QRectF* rects, int rectCount) {
    for (int i = 0; i < rectCount; ++i) {
        const QRectF& r = rects[i];
        if (transform_.isRotating()) {
            polygon(transform_.map(QPolygonF(r)), Qt::OddEvenFill);
            continue;
        }
        const QRectF m = transform_.mapRect(r).normalized(), pg = page();
        if (m.right() < pg.left() || m.left() > pg.right() || m.bottom() < pg.top() || m.top() > pg.bottom())
            continue;
        const QRectF d(QPointF(std::max(m.left(), pg.left()), std::max(m.top(), pg.top())),
                       QPointF(std::min(m.right(), pg.right()), std::min(m.bottom(), pg.bottom())));
        applyClip();
        selectPen();
        selectBrush();
        if (penKey_.style == kPsNull && brushKey_.style == kBsNull) continue;
        // the rectangle record leaves out the right and bottom edge
        record(kRectangle, {coord(d.bottom()) + 1, coord(d.right()) + 1, coord(d.top()), coord(d.left())});
    }
}

void WmfPaintEngine::drawEllipse(const QRectF& r) {
    if (transform_.isRotating()) {
        QPainterPath path;
        path.addEllipse(r);
        drawPath(path);
        return;
    }
    const QRectF d = transform_.mapRect(r).normalized();
    applyClip();
    selectPen();
    selectBrush();
    record(kEllipse, {coord(d.bottom()), coord(d.right()), coord(d.top()), coord(d.left())});
}

void WmfPaintEngine::drawPath(const QPainterPath& path) {
    const QList<QPolygonF> polys = path.toSubpathPolygons(transform_);
    const bool filled = brush_.style() != Qt::NoBrush;
    for (const QPolygonF& poly : polys) {
        if (filled)
            polygon(poly, path.fillRule());
        else
            polyline(poly);
    }
}

void WmfPaintEngine::drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) {
    QPolygonF poly;
    poly.reserve(pointCount);
    for (int i = 0; i < pointCount; ++i) poly << transform_.map(points[i]);
    if (mode == PolylineMode) {
        polyline(poly);
    } else {
        polygon(poly, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
}

void WmfPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem) {
    const QString text = textItem.text();
    if (text.isEmpty()) return;
    applyClip();
    // Qt gives the left end of the baseline. Readers do not agree on a baseline reference
    // (libwmf puts the top of the text there, which drops every label by its height and the
    // x-axis title off the page), but all place the top of the character cell alike: the
    // point is moved up by the ascent, along the text's own up direction when it is rotated.
    const QPointF at = transform_.map(p - QPointF(0, QFontMetricsF(textItem.font()).ascent()));
    const double angle = qRadiansToDegrees(std::atan2(transform_.m12(), transform_.m11()));
    selectFont(textItem.font(), angle);
    setTextColor(pen_.color());
    QByteArray bytes = text.toLatin1();
    QByteArray params;
    putWord(params, quint16(coord(at.y())));
    putWord(params, quint16(coord(at.x())));
    putWord(params, quint16(bytes.size()));
    putWord(params, 0);  // no options, no rectangle
    if (bytes.size() % 2) bytes.append('\0');
    params.append(bytes);
    record(kExtTextOut, params);
}

WmfDevice::WmfDevice(int width, int height)
    : width_(std::max(1, width)),
      height_(std::max(1, height)),
      engine_(std::make_unique<WmfPaintEngine>(width_, height_)) {}

WmfDevice::~WmfDevice() = default;

QPaintEngine* WmfDevice::paintEngine() const { return engine_.get(); }

QByteArray WmfDevice::data() const { return engine_->file(); }

bool WmfDevice::save(const QString& fileName, QString* error) const {
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data()) != data().size() ||
        !f.flush()) {
        if (error) *error = f.errorString();
        return false;
    }
    f.close();
    return true;
}

int WmfDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmWidthMM:
            return qRound(width_ * 25.4 / kDpi);
        case PdmHeightMM:
            return qRound(height_ * 25.4 / kDpi);
        case PdmNumColors:
            return 0xFFFFFF;
        case PdmDepth:
            return 24;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return kDpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
    }
}

}  // namespace lumerad
