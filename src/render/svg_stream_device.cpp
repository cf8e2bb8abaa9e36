#include "svg_stream_device.h"

#include <QIODevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QTextItem>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kDotsPerInch = 96;
constexpr std::size_t kFlushBytes = 1 << 20;

std::string Number(double value) {
    char text[32];
    const double rounded = std::round(value * 100.0) / 100.0;
    std::snprintf(text, sizeof text, "%.2f", rounded == 0.0 ? 0.0 : rounded);
    std::string s(text);
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

std::string Colour(const QColor& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red(), c.green(), c.blue());
    return text;
}

std::string Escaped(const QString& text) {
    std::string out;
    for (const char c : text.toStdString()) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

// The painter's state becomes attributes of each element; lines that continue one another
// collect in `line_` until something else is drawn.
class CSvgStreamEngine : public QPaintEngine {
public:
    CSvgStreamEngine(QIODevice& output, int width, int height, QString title)
        : QPaintEngine(PaintEngineFeatures(AllFeatures & ~PatternBrush & ~PerspectiveTransform &
                                           ~ConicalGradientFill & ~PorterDuff)),
          output_(output), width_(width), height_(height), title_(std::move(title)) {}

    bool begin(QPaintDevice*) override {
        const double mm = 25.4 / kDotsPerInch;
        text_ = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg width=\"" +
                Number(width_ * mm) + "mm\" height=\"" + Number(height_ * mm) +
                "mm\" viewBox=\"0 0 " + std::to_string(width_) + " " + std::to_string(height_) +
                "\" xmlns=\"http://www.w3.org/2000/svg\" version=\"1.2\" baseProfile=\"tiny\">\n";
        if (!title_.isEmpty())
            text_ += "<title>" + Escaped(title_) + "</title>\n";
        return true;
    }

    bool end() override {
        EndLine();
        text_ += "</svg>\n";
        return Flush();
    }

    void updateState(const QPaintEngineState& state) override {
        EndLine();
        const QPaintEngine::DirtyFlags dirty = state.state();
        if (dirty & DirtyPen)
            pen_ = state.pen();
        if (dirty & DirtyBrush)
            brush_ = state.brush();
        if (dirty & DirtyFont)
            font_ = state.font();
        if (dirty & DirtyTransform)
            transform_ = state.transform();
    }

    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            const QPointF a = transform_.map(lines[i].p1());
            const QPointF b = transform_.map(lines[i].p2());
            if (line_.empty() || line_.back() != a) {
                EndLine();
                line_.push_back(a);
            }
            line_.push_back(b);
        }
    }

    void drawRects(const QRectF* rects, int count) override {
        EndLine();
        for (int i = 0; i < count; ++i) {
            if (transform_.isScaling() || transform_.isRotating()) {
                QPainterPath path;
                path.addRect(rects[i]);
                drawPath(path);
                continue;
            }
            const QRectF r = transform_.mapRect(rects[i]);
            Write("<rect x=\"" + Number(r.x()) + "\" y=\"" + Number(r.y()) + "\" width=\"" +
                  Number(r.width()) + "\" height=\"" + Number(r.height()) + "\"" + Fill() +
                  Stroke() + "/>\n");
        }
    }

    void drawEllipse(const QRectF& rect) override {
        EndLine();
        const QRectF r = transform_.mapRect(rect);
        Write("<ellipse cx=\"" + Number(r.center().x()) + "\" cy=\"" + Number(r.center().y()) +
              "\" rx=\"" + Number(r.width() / 2) + "\" ry=\"" + Number(r.height() / 2) + "\"" +
              Fill() + Stroke() + "/>\n");
    }

    void drawPath(const QPainterPath& path) override {
        EndLine();
        const QPainterPath mapped = transform_.map(path);
        std::string d;
        for (int i = 0; i < mapped.elementCount(); ++i) {
            const QPainterPath::Element e = mapped.elementAt(i);
            const char* command = e.isMoveTo()    ? "M"
                                  : e.isLineTo()  ? "L"
                                  : e.isCurveTo() ? "C"
                                                  : "";
            d += command;
            d += Number(e.x) + " " + Number(e.y) + " ";
        }
        Write("<path d=\"" + d + "\"" + Fill() + Stroke() +
              (mapped.fillRule() == Qt::OddEvenFill ? " fill-rule=\"evenodd\"" : "") + "/>\n");
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPainterPath path(points[0]);
        for (int i = 1; i < count; ++i)
            path.lineTo(points[i]);
        if (mode == PolylineMode) {
            const QBrush brush = brush_;
            brush_ = Qt::NoBrush;
            drawPath(path);
            brush_ = brush;
            return;
        }
        path.closeSubpath();
        path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
        drawPath(path);
    }

    void drawTextItem(const QPointF& point, const QTextItem& item) override {
        EndLine();
        const QPointF p = transform_.map(point);
        const QFont font = item.font();
        const double size =
            font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * kDotsPerInch / 72.0;
        Write("<text x=\"" + Number(p.x()) + "\" y=\"" + Number(p.y()) + "\" fill=\"" +
              Colour(pen_.color()) + "\" font-family=\"" + Escaped(font.family()) +
              "\" font-size=\"" + Number(size) + "\" font-weight=\"" +
              std::to_string(font.weight()) + "\"" +
              (font.italic() ? " font-style=\"italic\"" : "") +
              (font.underline() ? " text-decoration=\"underline\"" : "") +
              " xml:space=\"preserve\">" + Escaped(item.text()) + "</text>\n");
    }

    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

    Type type() const override { return User; }

private:
    void EndLine() {
        if (line_.size() < 2) {
            line_.clear();
            return;
        }
        std::string points;
        for (const QPointF& p : line_)
            points += Number(p.x()) + "," + Number(p.y()) + " ";
        points.pop_back();
        line_.clear();
        Write("<polyline points=\"" + points + "\" fill=\"none\"" + Stroke() + "/>\n");
    }

    std::string Fill() const {
        if (brush_.style() == Qt::NoBrush)
            return " fill=\"none\"";
        return " fill=\"" + Colour(brush_.color()) + "\"";
    }

    // A cosmetic pen stays one pixel wide; GDI's dashes and caps as the pen says.
    std::string Stroke() const {
        if (pen_.style() == Qt::NoPen)
            return " stroke=\"none\"";
        std::string s = " stroke=\"" + Colour(pen_.color()) + "\" stroke-width=\"" +
                        Number(pen_.widthF() > 0 ? pen_.widthF() : 1.0) + "\"";
        if (pen_.isCosmetic() || pen_.widthF() == 0)
            s += " vector-effect=\"non-scaling-stroke\"";
        s += pen_.capStyle() == Qt::RoundCap    ? " stroke-linecap=\"round\""
             : pen_.capStyle() == Qt::SquareCap ? " stroke-linecap=\"square\""
                                                : "";
        s += pen_.joinStyle() == Qt::RoundJoin ? " stroke-linejoin=\"round\"" : "";
        if (pen_.style() != Qt::SolidLine) {
            std::string dashes;
            const double unit = pen_.widthF() > 0 ? pen_.widthF() : 1.0;
            for (const qreal d : pen_.dashPattern())
                dashes += Number(d * unit) + ",";
            if (!dashes.empty()) {
                dashes.pop_back();
                s += " stroke-dasharray=\"" + dashes + "\"";
            }
        }
        return s;
    }

    void Write(const std::string& element) {
        text_ += element;
        if (text_.size() >= kFlushBytes)
            Flush();
    }

    bool Flush() {
        const qint64 size = static_cast<qint64>(text_.size());
        const bool ok = output_.write(text_.data(), size) == size;
        text_.clear();
        failed_ = failed_ || !ok;
        return !failed_;
    }

    QIODevice& output_;
    const int width_;
    const int height_;
    const QString title_;
    std::string text_;
    std::vector<QPointF> line_;
    QPen pen_;
    QBrush brush_;
    QFont font_;
    QTransform transform_;
    bool failed_ = false;
};

CSvgStreamDevice::CSvgStreamDevice(QIODevice& output, int width, int height, const QString& title)
    : engine_(std::make_unique<CSvgStreamEngine>(output, width, height, title)), width_(width),
      height_(height) {}

CSvgStreamDevice::~CSvgStreamDevice() = default;

QPaintEngine* CSvgStreamDevice::paintEngine() const {
    return engine_.get();
}

int CSvgStreamDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return width_;
    case PdmHeight:
        return height_;
    case PdmWidthMM:
        return static_cast<int>(std::lround(width_ * 25.4 / kDotsPerInch));
    case PdmHeightMM:
        return static_cast<int>(std::lround(height_ * 25.4 / kDotsPerInch));
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return kDotsPerInch;
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}
