#include "recognition/PageOutline.h"

#include <QPolygonF>
#include <QSize>
#include <algorithm>
#include <climits>
#include <cmath>
#include <deque>
#include <optional>
#include <vector>

namespace folimar::recognition {

namespace {

// The outline is looked for on a copy shrunk to about this many pixels along its longest
// side: plenty to place straight edges, and quick on a 600 dpi page.
constexpr int SearchLongestSide = 800;
// Nearly all the picture's own edge must show the background: a page cut off by the
// picture's edge is not outlined.
constexpr double BorderBackgroundShare = 0.98;
// The page takes at least a fifth of the picture, and its paper is on average at least
// this many times as bright as what it lies on.
constexpr double SmallestPageShare = 0.2;
constexpr double PaperContrast = 1.6;
// Each edge is fitted to the middle of its length (its ends belong to the corners' rounding);
// points further than the allowance from the line are left out once, and the edge is straight
// when what remains lies on the line within the spread (in pixels of the shrunk copy).
constexpr double EdgeEndShare = 0.1;
constexpr double EdgeAllowance = 2.0;
constexpr double StraightEdgeSpread = 1.0;
constexpr double KeptPointsShare = 0.8;
constexpr int FewestEdgePoints = 10;
// A page seen at an angle keeps corners within this of square, and its outline covers the
// page found to within this share of its area.
constexpr double CornerSlackDegrees = 40;
constexpr double AreaAgreement = 0.03;

// The shrunk copy: each pixel the mean of a square of the picture's, so that its pixel x
// covers the picture's x * factor .. (x + 1) * factor.
struct Shrunk {
    int width = 0;
    int height = 0;
    int factor = 1;
    std::vector<uchar> grey;
    uchar at(int x, int y) const { return grey[size_t(y) * size_t(width) + size_t(x)]; }
};

Shrunk shrink(const QImage& grey) {
    Shrunk small;
    small.factor = std::max(1, (std::max(grey.width(), grey.height()) + SearchLongestSide - 1) /
                                   SearchLongestSide);
    small.width = grey.width() / small.factor;
    small.height = grey.height() / small.factor;
    small.grey.assign(size_t(small.width) * size_t(small.height), 0);
    std::vector<int> sums(size_t(small.width));
    const int cell = small.factor * small.factor;
    for (int y = 0; y < small.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int row = 0; row < small.factor; ++row) {
            const uchar* line = grey.constScanLine(y * small.factor + row);
            for (int x = 0; x < small.width * small.factor; ++x)
                sums[size_t(x / small.factor)] += line[x];
        }
        for (int x = 0; x < small.width; ++x)
            small.grey[size_t(y) * size_t(small.width) + size_t(x)] = uchar(sums[size_t(x)] / cell);
    }
    return small;
}

// Light falling off across a photo multiplies paper and background alike: on the logarithm
// of the grey levels it only shifts them, and one threshold (Otsu's) parts the two.
std::array<bool, 256> darkLevels(const Shrunk& small) {
    std::array<int, 256> logOf{};
    for (int level = 0; level < 256; ++level)
        logOf[size_t(level)] = int(std::lround(255 * std::log1p(level) / std::log(256.0)));
    std::array<double, 256> counts{};
    for (const uchar level : small.grey)
        ++counts[size_t(logOf[level])];
    const double total = double(small.grey.size());
    double sumAll = 0;
    for (int bin = 0; bin < 256; ++bin)
        sumAll += bin * counts[size_t(bin)];
    double below = 0;
    double sumBelow = 0;
    double bestSpread = -1;
    int threshold = 0;
    for (int bin = 0; bin < 255; ++bin) {
        below += counts[size_t(bin)];
        sumBelow += bin * counts[size_t(bin)];
        if (below == 0 || below == total)
            continue;
        const double meanBelow = sumBelow / below;
        const double meanAbove = (sumAll - sumBelow) / (total - below);
        const double spread =
            below * (total - below) * (meanBelow - meanAbove) * (meanBelow - meanAbove);
        if (spread > bestSpread) {
            bestSpread = spread;
            threshold = bin;
        }
    }
    std::array<bool, 256> dark{};
    for (int level = 0; level < 256; ++level)
        dark[size_t(level)] = logOf[size_t(level)] <= threshold;
    return dark;
}

// What a pixel of the shrunk copy shows.
enum Cell : uchar { Unseen, Background, Page, Other };

struct Regions {
    std::vector<uchar> cells;
    qsizetype pageArea = 0;
    bool pageWithin = false; // the picture's edge shows background nearly all round
};

// The background is the dark land reached from the picture's edge; the page the largest
// patch of what is left, its print and holes included.
Regions findRegions(const Shrunk& small) {
    const std::array<bool, 256> dark = darkLevels(small);
    const int width = small.width;
    const int height = small.height;
    Regions regions;
    regions.cells.assign(small.grey.size(), Unseen);
    std::vector<uchar>& cells = regions.cells;
    const auto index = [width](int x, int y) { return size_t(y) * size_t(width) + size_t(x); };
    // Spreads `mark` from the cells queued over neighbours that `joins`; returns how many.
    const auto spread = [&](std::deque<QPoint>& queue, uchar mark, auto joins) {
        qsizetype count = 0;
        while (!queue.empty()) {
            const QPoint at = queue.front();
            queue.pop_front();
            ++count;
            for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                const QPoint next = at + step;
                if (next.x() < 0 || next.y() < 0 || next.x() >= width || next.y() >= height ||
                    cells[index(next.x(), next.y())] != Unseen || !joins(next))
                    continue;
                cells[index(next.x(), next.y())] = mark;
                queue.push_back(next);
            }
        }
        return count;
    };
    const auto isDark = [&](QPoint at) { return dark[small.at(at.x(), at.y())]; };
    std::deque<QPoint> queue;
    qsizetype border = 0;
    const auto seed = [&](int x, int y) {
        ++border;
        if (cells[index(x, y)] != Unseen || !isDark(QPoint(x, y)))
            return;
        cells[index(x, y)] = Background;
        queue.emplace_back(x, y);
    };
    for (int x = 0; x < width; ++x) {
        seed(x, 0);
        seed(x, height - 1);
    }
    for (int y = 1; y + 1 < height; ++y) {
        seed(0, y);
        seed(width - 1, y);
    }
    regions.pageWithin = double(queue.size()) >= BorderBackgroundShare * double(border);
    spread(queue, Background, isDark);
    if (!regions.pageWithin)
        return regions;

    // Each patch is marked Other as it is measured; the largest is then marked Page.
    QPoint largest;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (cells[index(x, y)] != Unseen)
                continue;
            cells[index(x, y)] = Other;
            queue.emplace_back(x, y);
            const qsizetype area = spread(queue, Other, [](QPoint) { return true; });
            if (area > regions.pageArea) {
                regions.pageArea = area;
                largest = QPoint(x, y);
            }
        }
    }
    if (regions.pageArea == 0)
        return regions;
    for (uchar& cell : cells)
        if (cell == Other)
            cell = Unseen;
    cells[index(largest.x(), largest.y())] = Page;
    queue.push_back(largest);
    spread(queue, Page, [](QPoint) { return true; });
    return regions;
}

// A straight line `across = slope * along + offset`, fitted by least squares.
struct Line {
    double slope = 0;
    double offset = 0;
};

std::optional<Line> fitEdge(const std::vector<QPointF>& points) {
    const auto fit = [](const std::vector<QPointF>& used) {
        double n = 0, sa = 0, sc = 0, saa = 0, sac = 0;
        for (const QPointF& p : used) {
            n += 1;
            sa += p.x();
            sc += p.y();
            saa += p.x() * p.x();
            sac += p.x() * p.y();
        }
        const double det = n * saa - sa * sa;
        if (det <= 0)
            return Line{};
        return Line{(n * sac - sa * sc) / det, (saa * sc - sa * sac) / det};
    };
    if (int(points.size()) < FewestEdgePoints)
        return std::nullopt;
    const Line first = fit(points);
    std::vector<QPointF> kept;
    for (const QPointF& p : points)
        if (std::abs(first.slope * p.x() + first.offset - p.y()) <= EdgeAllowance)
            kept.push_back(p);
    if (double(kept.size()) < KeptPointsShare * double(points.size()) ||
        int(kept.size()) < FewestEdgePoints)
        return std::nullopt;
    const Line line = fit(kept);
    double squares = 0;
    for (const QPointF& p : kept) {
        const double off = line.slope * p.x() + line.offset - p.y();
        squares += off * off;
    }
    if (std::sqrt(squares / double(kept.size())) > StraightEdgeSpread)
        return std::nullopt;
    return line;
}

// Where a steep line (x = slope * y + offset) meets a flat one (y = slope * x + offset).
std::optional<QPointF> meet(const Line& steep, const Line& flat) {
    const double divisor = 1 - steep.slope * flat.slope;
    if (std::abs(divisor) < 0.1)
        return std::nullopt;
    const double x = (steep.slope * flat.offset + steep.offset) / divisor;
    return QPointF(x, flat.slope * x + flat.offset);
}

double cross(QPointF a, QPointF b) {
    return a.x() * b.y() - a.y() * b.x();
}

// Whether the corners make a convex outline whose corners are all near square, and whose
// area agrees with the page's.
bool plausible(const std::array<QPointF, 4>& corners, qsizetype pageArea) {
    double area = 0;
    for (size_t i = 0; i < 4; ++i) {
        const QPointF previous = corners[(i + 3) % 4];
        const QPointF here = corners[i];
        const QPointF next = corners[(i + 1) % 4];
        const QPointF in = here - previous;
        const QPointF out = next - here;
        // Turning clockwise on the picture (y down) at each corner, by about a right angle.
        const double turn = std::atan2(cross(in, out), in.x() * out.x() + in.y() * out.y());
        if (std::abs(turn * 180 / M_PI - 90) > CornerSlackDegrees)
            return false;
        area += cross(here, next) / 2;
    }
    return std::abs(area - double(pageArea)) <= AreaAgreement * area;
}

} // namespace

PageOutline findPageOutline(const QImage& grey) {
    if (grey.format() != QImage::Format_Grayscale8 || std::min(grey.width(), grey.height()) < 64)
        return {};
    const Shrunk small = shrink(grey);
    const Regions regions = findRegions(small);
    const qsizetype cellCount = qsizetype(small.grey.size());
    if (!regions.pageWithin || regions.pageArea < SmallestPageShare * double(cellCount))
        return {};
    const auto isPage = [&](int x, int y) {
        return regions.cells[size_t(y) * size_t(small.width) + size_t(x)] == Page;
    };

    // The paper must stand out from what it lies on.
    double paper = 0;
    double background = 0;
    qsizetype backgroundCells = 0;
    QPoint topLeft, topRight, bottomRight, bottomLeft;
    int leastSum = INT_MAX, mostSum = INT_MIN, leastDifference = INT_MAX, mostDifference = INT_MIN;
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            const uchar cell = regions.cells[size_t(y) * size_t(small.width) + size_t(x)];
            if (cell == Background) {
                background += small.at(x, y);
                ++backgroundCells;
            }
            if (cell != Page)
                continue;
            paper += small.at(x, y);
            if (x + y < leastSum)
                leastSum = x + y, topLeft = QPoint(x, y);
            if (x + y > mostSum)
                mostSum = x + y, bottomRight = QPoint(x, y);
            if (x - y < leastDifference)
                leastDifference = x - y, bottomLeft = QPoint(x, y);
            if (x - y > mostDifference)
                mostDifference = x - y, topRight = QPoint(x, y);
        }
    }
    if (backgroundCells == 0 ||
        paper / double(regions.pageArea) < PaperContrast * background / double(backgroundCells))
        return {};

    // Points along each edge, away from its ends: the page's first or last pixel in each row
    // (left and right edges) or column (top and bottom), as (position along, position across).
    const auto edgePoints = [&](int from, int to, bool rows, bool fromStart) {
        std::vector<QPointF> points;
        const int trim = int((to - from) * EdgeEndShare);
        const int across = rows ? small.width : small.height;
        for (int along = from + trim; along <= to - trim; ++along) {
            for (int step = 0; step < across; ++step) {
                const int at = fromStart ? step : across - 1 - step;
                if (rows ? isPage(at, along) : isPage(along, at)) {
                    points.emplace_back(along + 0.5, fromStart ? at : at + 1);
                    break;
                }
            }
        }
        return points;
    };
    const std::optional<Line> left = fitEdge(edgePoints(topLeft.y(), bottomLeft.y(), true, true));
    const std::optional<Line> right =
        fitEdge(edgePoints(topRight.y(), bottomRight.y(), true, false));
    const std::optional<Line> top = fitEdge(edgePoints(topLeft.x(), topRight.x(), false, true));
    const std::optional<Line> bottom =
        fitEdge(edgePoints(bottomLeft.x(), bottomRight.x(), false, false));
    if (!left || !right || !top || !bottom)
        return {};
    const std::optional<QPointF> corners[] = {meet(*left, *top), meet(*right, *top),
                                              meet(*right, *bottom), meet(*left, *bottom)};
    PageOutline outline;
    for (size_t i = 0; i < 4; ++i) {
        if (!corners[i])
            return {};
        outline.corners[i] = *corners[i];
    }
    if (!plausible(outline.corners, regions.pageArea))
        return {};
    for (QPointF& corner : outline.corners)
        corner *= small.factor;
    outline.found = true;
    return outline;
}

FlatPage flattenPage(const QImage& grey, const std::array<QPointF, 4>& corners) {
    const auto length = [](QPointF a, QPointF b) {
        return std::hypot(a.x() - b.x(), a.y() - b.y());
    };
    const int width =
        int(std::lround(std::max(length(corners[0], corners[1]), length(corners[3], corners[2]))));
    const int height =
        int(std::lround(std::max(length(corners[0], corners[3]), length(corners[1], corners[2]))));
    FlatPage flat;
    if (width < 1 || height < 1 ||
        !QTransform::quadToQuad(QPolygonF({QPointF(0, 0), QPointF(width, 0), QPointF(width, height),
                                           QPointF(0, height)}),
                                QPolygonF({corners[0], corners[1], corners[2], corners[3]}),
                                flat.toOriginal))
        return {};
    flat.picture = QImage(width, height, QImage::Format_Grayscale8);
    if (flat.picture.isNull())
        return {};
    // Each pixel takes the picture's grey at the middle of its place there, between the four
    // nearest pixels; what falls outside the picture is white.
    const QTransform& m = flat.toOriginal;
    const int sourceWidth = grey.width();
    const int sourceHeight = grey.height();
    for (int v = 0; v < height; ++v) {
        uchar* out = flat.picture.scanLine(v);
        const double y = v + 0.5;
        for (int u = 0; u < width; ++u) {
            const double x = u + 0.5;
            const double w = m.m13() * x + m.m23() * y + m.m33();
            const double sx = (m.m11() * x + m.m21() * y + m.m31()) / w - 0.5;
            const double sy = (m.m12() * x + m.m22() * y + m.m32()) / w - 0.5;
            if (!(sx > -1 && sy > -1 && sx < sourceWidth && sy < sourceHeight)) {
                out[u] = 255;
                continue;
            }
            const int x0 = std::clamp(int(std::floor(sx)), 0, sourceWidth - 1);
            const int y0 = std::clamp(int(std::floor(sy)), 0, sourceHeight - 1);
            const int x1 = std::min(x0 + 1, sourceWidth - 1);
            const int y1 = std::min(y0 + 1, sourceHeight - 1);
            const double fx = std::clamp(sx - x0, 0.0, 1.0);
            const double fy = std::clamp(sy - y0, 0.0, 1.0);
            const uchar* upper = grey.constScanLine(y0);
            const uchar* lower = grey.constScanLine(y1);
            const double top = upper[x0] + (upper[x1] - upper[x0]) * fx;
            const double bottom = lower[x0] + (lower[x1] - lower[x0]) * fx;
            out[u] = uchar(std::lround(top + (bottom - top) * fy));
        }
    }
    return flat;
}

} // namespace folimar::recognition
