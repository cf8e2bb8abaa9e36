#include "dialogs/trace_dialog.h"

#include "dialogs/threshold_slider.h"
#include "imaging/traced_specimens.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kViewWidth = 760;
constexpr int kViewHeight = 680;
// Changes that come in quick succession, as from a dragged slider, are traced once.
constexpr int kRetracePauseMs = 150;

// Small images are enlarged so that their outlines can be judged pixel by pixel; large ones fit.
double ViewScale(const CGreyImage& grey) {
    const double fit = std::min(static_cast<double>(kViewWidth) / grey.width,
                                static_cast<double>(kViewHeight) / grey.height);
    return fit >= 1.0 ? std::floor(std::min(fit, 8.0)) : fit;
}

QString ValveText(std::size_t index, const CTracedValve& valve) {
    QString text = QObject::tr("Valve %1: %2 px², at (%3, %4)")
                       .arg(index + 1)
                       .arg(QLocale().toString(static_cast<qlonglong>(valve.pixelArea)))
                       .arg(valve.left)
                       .arg(valve.top);
    if (valve.touchesBorder)
        text += QObject::tr(", cut by the border");
    return text;
}

} // namespace

CTraceDialog::CTraceDialog(std::string path, CValveImage image, QWidget* parent)
    : QDialog(parent), path_(std::move(path)), image_(std::move(image)),
      threshold_(new CThresholdSlider(this)), thresholdValue_(new QLabel(this)),
      invert_(new QCheckBox(tr("Light valves on a dark ground"), this)),
      minArea_(new QSpinBox(this)), scale_(new QLineEdit(this)), valves_(new QListWidget(this)),
      view_(new QLabel(this)), status_(new QLabel(this)) {
    setWindowTitle(tr("Trace Valves - %1").arg(QString::fromStdString(ShortNameOfPath(path_))));
    const double viewScale = ViewScale(image_.grey);
    picture_ = GreyPicture(image_.grey)
                   .scaled(std::max(1, static_cast<int>(std::lround(image_.grey.width * viewScale))),
                           std::max(1, static_cast<int>(std::lround(image_.grey.height * viewScale))),
                           Qt::IgnoreAspectRatio,
                           viewScale < 1.0 ? Qt::SmoothTransformation : Qt::FastTransformation)
                   .convertToFormat(QImage::Format_RGB32);
    view_->setAlignment(Qt::AlignCenter);
    view_->setMinimumSize(std::min(kViewWidth, picture_.width()), std::min(kViewHeight, picture_.height()));

    traced_ = TraceValveImage(path_, image_, {});
    const CTraceResult& first = traced_.trace;
    threshold_->setRange(0, image_.grey.MaxLevel());
    threshold_->setValue(first.threshold);
    threshold_->SetMarkedLevel(first.otsu.found ? first.otsu.level : -1);
    invert_->setChecked(first.lightValves);
    minArea_->setRange(0, static_cast<int>(std::min<std::int64_t>(image_.grey.PixelCount(), 2'000'000'000)));
    minArea_->setValue(static_cast<int>(first.minArea));
    minArea_->setSuffix(tr(" px"));
    if (image_.resolution)
        scale_->setPlaceholderText(tr("%1 (%2)")
                                       .arg(image_.resolution->millimetresPerPixel, 0, 'g', 6)
                                       .arg(QString::fromStdString(image_.resolution->stated)));
    else
        scale_->setPlaceholderText(tr("none: coordinates in pixels"));
    status_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("&Threshold:"), threshold_);
    form->addRow(QString(), thresholdValue_);
    form->addRow(QString(), invert_);
    form->addRow(tr("&Smallest valve:"), minArea_);
    form->addRow(tr("S&cale (mm per pixel):"), scale_);
    auto* side = new QVBoxLayout;
    side->addLayout(form);
    auto* valvesLabel = new QLabel(tr("&Valves found (checked ones are inserted):"), this);
    valvesLabel->setBuddy(valves_);
    side->addWidget(valvesLabel);
    side->addWidget(valves_, 1);
    side->addWidget(status_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    side->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(side);

    retrace_.setSingleShot(true);
    retrace_.setInterval(kRetracePauseMs);
    connect(&retrace_, &QTimer::timeout, this, &CTraceDialog::Retrace);
    const auto later = [this] { retrace_.start(); };
    connect(threshold_, &QSlider::valueChanged, this, [this, later](int level) {
        thresholdValue_->setText(tr("%1 (Otsu's threshold: %2)").arg(level).arg(threshold_->MarkedLevel()));
        later();
    });
    connect(invert_, &QCheckBox::toggled, this, later);
    connect(minArea_, &QSpinBox::valueChanged, this, later);
    connect(scale_, &QLineEdit::editingFinished, this, later);
    connect(valves_, &QListWidget::itemChanged, this, [this] { UpdatePicture(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (retrace_.isActive())
            Retrace();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    thresholdValue_->setText(tr("%1 (Otsu's threshold: %2)").arg(first.threshold).arg(threshold_->MarkedLevel()));
    FillValveList();
    UpdatePicture();
}

CImageTraceSettings CTraceDialog::Settings() const {
    CImageTraceSettings settings;
    settings.trace.threshold = threshold_->value();
    settings.trace.polarity = invert_->isChecked() ? EValvePolarity::Light : EValvePolarity::Dark;
    settings.trace.minArea = minArea_->value();
    bool ok = false;
    const float scale = scale_->text().trimmed().toFloat(&ok);
    if (ok && std::isfinite(scale) && scale > 0.0f)
        settings.scale = scale;
    return settings;
}

void CTraceDialog::Retrace() {
    retrace_.stop();
    traced_ = TraceValveImage(path_, image_, Settings());
    FillValveList();
    UpdatePicture();
}

void CTraceDialog::FillValveList() {
    const QSignalBlocker block(valves_);
    valves_->clear();
    const std::vector<CTracedValve>& valves = traced_.trace.valves;
    for (std::size_t i = 0; i < valves.size(); ++i) {
        auto* item = new QListWidgetItem(ValveText(i, valves[i]), valves_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    QStringList lines;
    if (!traced_.file.error.empty())
        lines << QString::fromStdString(traced_.file.error);
    for (const CReadingNote& note : traced_.file.notes)
        lines << QString::fromStdString(note.text);
    status_->setText(lines.join(QLatin1Char('\n')));
}

void CTraceDialog::UpdatePicture() {
    QImage shown = picture_;
    QPainter painter(&shown);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = static_cast<double>(picture_.width()) / image_.grey.width;
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const std::vector<CTracedValve>& valves = traced_.trace.valves;
    for (std::size_t i = 0; i < valves.size(); ++i) {
        const QListWidgetItem* item = valves_->item(static_cast<int>(i));
        const bool checked = item && item->checkState() == Qt::Checked;
        QPainterPath path;
        const std::vector<FPoint>& outline = valves[i].outline;
        for (std::size_t k = 0; k < outline.size(); ++k) {
            const QPointF p(outline[k].x * scale, outline[k].y * scale);
            k == 0 ? path.moveTo(p) : path.lineTo(p);
        }
        path.closeSubpath();
        const QColor colour = checked ? QColor(0, 170, 255) : QColor(255, 140, 0);
        painter.setPen(QPen(colour, 2.0, checked ? Qt::SolidLine : Qt::DashLine));
        painter.drawPath(path);
        // The start point, where the outline's first point lies.
        if (!outline.empty()) {
            painter.setBrush(colour);
            painter.drawEllipse(QPointF(outline[0].x * scale, outline[0].y * scale), 3.5, 3.5);
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawText(QPointF(valves[i].centroid.x * scale, valves[i].centroid.y * scale),
                         QString::number(i + 1));
    }
    painter.end();
    view_->setPixmap(QPixmap::fromImage(shown));
}

CSpecimenFile CTraceDialog::CheckedSpecimens() const {
    CSpecimenFile file;
    file.path = traced_.file.path;
    file.format = traced_.file.format;
    file.notes = traced_.file.notes;
    file.error = traced_.file.error;
    std::vector<CTpsOutline> checked;
    for (std::size_t i = 0; i < traced_.outlines.size(); ++i) {
        const QListWidgetItem* item = valves_->item(static_cast<int>(i));
        if (item && item->checkState() == Qt::Checked)
            checked.push_back(traced_.outlines[i]);
    }
    file.specimens = TracedSpecimens(checked, path_);
    if (checked.empty() && file.error.empty())
        file.error = "no valve was checked";
    return file;
}
