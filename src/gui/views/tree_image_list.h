#pragma once

#include <QIcon>
#include <QPixmap>

#include <array>
#include <map>

// The tree's images: 0 closed folder, 1 open folder, 2 specimen, and the overlay marks
// 1 (approximated specimen) and 2 (reference of the cluster) drawn over them.
class CTreeImageList {
public:
    static constexpr int kSize = 16;

    CTreeImageList();
    QIcon Icon(int image, int overlay) const;

private:
    std::array<QPixmap, 3> images_;
    std::array<QPixmap, 3> overlays_;
    mutable std::map<std::pair<int, int>, QIcon> cache_;
};
