#include "views/tree_image_list.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

QPixmap RenderSvg(const QString& path) {
    QPixmap pixmap(CTreeImageList::kSize, CTreeImageList::kSize);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

} // namespace

CTreeImageList::CTreeImageList()
    : images_{RenderSvg(QStringLiteral(":/images/folder_closed.svg")),
              RenderSvg(QStringLiteral(":/images/folder_open.svg")),
              RenderSvg(QStringLiteral(":/images/specimen.svg"))},
      overlays_{QPixmap(), RenderSvg(QStringLiteral(":/images/overlay_approx.svg")),
                RenderSvg(QStringLiteral(":/images/overlay_reference.svg"))} {}

QIcon CTreeImageList::Icon(int image, int overlay) const {
    image = std::clamp(image, 0, static_cast<int>(images_.size()) - 1);
    overlay = std::clamp(overlay, 0, static_cast<int>(overlays_.size()) - 1);
    const auto key = std::make_pair(image, overlay);
    if (const auto it = cache_.find(key); it != cache_.end())
        return it->second;
    QPixmap pixmap = images_[static_cast<std::size_t>(image)];
    if (overlay > 0) {
        QPainter painter(&pixmap);
        painter.drawPixmap(0, 0, overlays_[static_cast<std::size_t>(overlay)]);
    }
    QIcon icon(pixmap);
    cache_.emplace(key, icon);
    return icon;
}
