#include "imaging/otsu_threshold.h"

std::vector<std::uint64_t> GreyHistogram(const CGreyImage& image) {
    std::vector<std::uint64_t> histogram(static_cast<std::size_t>(image.MaxLevel()) + 1, 0);
    for (const std::uint16_t level : image.levels)
        ++histogram[level];
    return histogram;
}

COtsuThreshold OtsuThreshold(const std::vector<std::uint64_t>& histogram) {
    // Counts and sums stay exact integers; the variances are formed in double.
    std::uint64_t count = 0;
    double sum = 0.0;
    double sumOfSquares = 0.0;
    for (std::size_t level = 0; level < histogram.size(); ++level) {
        const double n = static_cast<double>(histogram[level]);
        count += histogram[level];
        sum += n * static_cast<double>(level);
        sumOfSquares += n * static_cast<double>(level) * static_cast<double>(level);
    }
    COtsuThreshold result;
    const double total = static_cast<double>(count);
    const double totalSpread = total * sumOfSquares - sum * sum; // N^2 times the variance
    if (count == 0 || !(totalSpread > 0.0))
        return result;

    // Between-class variance times N^2: (N s0 - w0 S)^2 / (w0 (N - w0)).
    double best = -1.0;
    std::size_t first = 0;
    std::size_t last = 0;
    std::uint64_t darkCount = 0;
    double darkSum = 0.0;
    for (std::size_t level = 0; level + 1 < histogram.size(); ++level) {
        darkCount += histogram[level];
        darkSum += static_cast<double>(histogram[level]) * static_cast<double>(level);
        if (darkCount == 0 || darkCount == count)
            continue;
        const double w0 = static_cast<double>(darkCount);
        const double d = total * darkSum - w0 * sum;
        const double between = d * d / (w0 * (total - w0));
        // A level no pixel has leaves the classes, and so the value, exactly as they were.
        if (between > best) {
            best = between;
            first = last = level;
        } else if (between == best && last + 1 == level) {
            last = level;
        }
    }
    result.found = true;
    result.level = static_cast<int>(first + (last - first) / 2);
    result.separability = best / totalSpread;
    return result;
}
