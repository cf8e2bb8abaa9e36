#include "dialogs/threshold_slider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

CThresholdSlider::CThresholdSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setMinimumHeight(sizeHint().height() + 10);
}

void CThresholdSlider::SetMarkedLevel(int level) {
    marked_ = level;
    update();
}

void CThresholdSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (marked_ < minimum() || marked_ > maximum())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = width() - handle.width();
    const int x = QStyle::sliderPositionFromValue(minimum(), maximum(), marked_, span) +
                  handle.width() / 2;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 30, 30));
    const int y = height() - 1;
    const QPoint triangle[3] = {{x, y - 7}, {x - 5, y}, {x + 5, y}};
    painter.drawPolygon(triangle, 3);
}
