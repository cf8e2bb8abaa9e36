#pragma once

#include <QIcon>
#include <QString>

#include <map>

// The tree's images: 0 closed folder, 1 open folder, 2 specimen, and the overlay marks
// 1 (approximated specimen) and 2 (reference of the cluster) drawn over them. Each icon holds
// the 16-pixel image drawn afresh from its vector source at 1, 2 and 3 times that size, so it
// stays sharp on screens scaled to 150 % or 200 %.
class CTreeImageList {
public:
    static constexpr int kSize = 16;
    static constexpr int kScales[] = {1, 2, 3};

    QIcon Icon(int image, int overlay) const;

private:
    mutable std::map<std::pair<int, int>, QIcon> cache_;
};
