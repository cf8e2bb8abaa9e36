#include "views/tree_image_list.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>

namespace {

const QString kImages[] = {QStringLiteral(":/images/folder_closed.svg"),
                           QStringLiteral(":/images/folder_open.svg"),
                           QStringLiteral(":/images/specimen.svg")};
const QString kOverlays[] = {QString(), QStringLiteral(":/images/overlay_approx.svg"),
                             QStringLiteral(":/images/overlay_reference.svg")};

void RenderSvg(QPainter& painter, const QString& path, int size) {
    QSvgRenderer renderer(path);
    if (renderer.isValid())
        renderer.render(&painter, QRectF(0, 0, size, size));
}

} // namespace

QIcon CTreeImageList::Icon(int image, int overlay) const {
    image = std::clamp(image, 0, 2);
    overlay = std::clamp(overlay, 0, 2);
    const auto key = std::make_pair(image, overlay);
    if (const auto it = cache_.find(key); it != cache_.end())
        return it->second;
    QIcon icon;
    for (const int scale : kScales) {
        const int size = kSize * scale;
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        RenderSvg(painter, kImages[image], size);
        if (overlay > 0)
            RenderSvg(painter, kOverlays[overlay], size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    cache_.emplace(key, icon);
    return icon;
}
