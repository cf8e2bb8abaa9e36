// Writes the bundled sample outlines: synthetic ostracod valves in every input format.
// Every run gives the same files (fixed seeds, own uniform and normal draws, because the
// standard distributions differ between library implementations).
//
//   make_samples <output folder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct SPoint {
    double x = 0.0;
    double y = 0.0;
};

struct SPixel {
    int x = 0;
    int y = 0;
    friend bool operator==(const SPixel&, const SPixel&) = default;
};

class CSampleRandom {
public:
    explicit CSampleRandom(std::uint32_t seed) : engine_(seed) {}

    // In [0, 1), 32 random bits.
    double Next() { return static_cast<double>(engine_()) / 4294967296.0; }
    double Uniform(double low, double high) { return low + (high - low) * Next(); }
    int UniformInt(int low, int high) {
        return low + static_cast<int>(Next() * static_cast<double>(high - low + 1));
    }
    // Box-Muller; the second value of each pair is dropped to keep the stream simple.
    double Normal(double sigma) {
        const double u1 = 1.0 - Next();
        const double u2 = Next();
        return sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }

private:
    std::mt19937 engine_;
};

// One valve in lateral view: the posterior end lies towards +x, the dorsal margin towards +y.
struct SValveShape {
    double length = 0.0;
    double height = 0.0;
    double dorsalSquareness = 0.0;    // superellipse exponent of the dorsal margin
    double ventralSquareness = 0.0;   // of the ventral margin
    double posteriorSquareness = 0.0; // of the posterior end
    double anteriorSquareness = 0.0;  // of the anterior end
    double posteriorRise = 0.0;       // relative height gain towards the posterior end
    double ventralSinus = 0.0;        // mid-ventral concavity, relative to the height
    double wobble[4] = {};            // small low-frequency irregularities of the margin
    double wobblePhase[4] = {};
    double tilt = 0.0; // radians
    SPoint centre;
};

SValveShape RandomValve(CSampleRandom& random) {
    SValveShape v;
    v.length = random.Uniform(640.0, 860.0);
    v.height = v.length / random.Uniform(1.65, 2.1);
    v.dorsalSquareness = random.Uniform(3.0, 3.8);
    v.ventralSquareness = random.Uniform(2.1, 2.5);
    v.posteriorSquareness = random.Uniform(2.4, 2.8);
    v.anteriorSquareness = random.Uniform(1.9, 2.1);
    v.posteriorRise = random.Uniform(0.08, 0.16);
    v.ventralSinus = random.Uniform(0.02, 0.05);
    for (int k = 0; k < 4; ++k) {
        v.wobble[k] = random.Uniform(0.001, 0.004);
        v.wobblePhase[k] = random.Uniform(0.0, 2.0 * std::numbers::pi);
    }
    v.tilt = random.Uniform(-0.05, 0.05);
    v.centre = {640.0 + random.Uniform(-40.0, 40.0), 480.0 + random.Uniform(-30.0, 30.0)};
    return v;
}

double SignedPower(double value, double exponent) {
    return std::copysign(std::pow(std::fabs(value), exponent), value);
}

// The margin point at angle t, counter-clockwise from the posterior end.
SPoint ValvePoint(const SValveShape& v, double t) {
    const double c = std::cos(t);
    const double s = std::sin(t);
    const double nx = c >= 0.0 ? v.posteriorSquareness : v.anteriorSquareness;
    const double ny = s >= 0.0 ? v.dorsalSquareness : v.ventralSquareness;
    const double px = SignedPower(c, 2.0 / nx);
    double py = SignedPower(s, 2.0 / ny) * (1.0 + v.posteriorRise * px);
    if (s < 0.0) {
        py += 2.0 * v.ventralSinus * (1.0 - px * px) * (1.0 - px * px);
    }
    double radius = 1.0;
    for (int k = 0; k < 4; ++k) {
        radius += v.wobble[k] * std::sin((k + 5) * t + v.wobblePhase[k]);
    }
    const double x = radius * 0.5 * v.length * px;
    const double y = radius * 0.5 * v.height * py;
    return {v.centre.x + x * std::cos(v.tilt) - y * std::sin(v.tilt),
            v.centre.y + x * std::sin(v.tilt) + y * std::cos(v.tilt)};
}

// Fine enough that neighbouring samples are less than a pixel apart.
std::vector<SPoint> DenseOutline(const SValveShape& v) {
    constexpr int kSamples = 8000;
    std::vector<SPoint> points;
    points.reserve(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        points.push_back(ValvePoint(v, 2.0 * std::numbers::pi * i / kSamples));
    }
    return points;
}

double Distance(const SPoint& a, const SPoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// count points at equal arc length along the closed outline, the first at the given fraction
// of the perimeter.
std::vector<SPoint> Resample(const std::vector<SPoint>& dense, int count, double startFraction) {
    std::vector<double> arc(dense.size() + 1, 0.0);
    for (std::size_t i = 0; i < dense.size(); ++i) {
        arc[i + 1] = arc[i] + Distance(dense[i], dense[(i + 1) % dense.size()]);
    }
    const double perimeter = arc.back();
    std::vector<SPoint> result;
    std::size_t segment = 0;
    for (int k = 0; k < count; ++k) {
        const double s =
            std::fmod((startFraction + static_cast<double>(k) / count), 1.0) * perimeter;
        if (k == 0 || s < arc[segment]) {
            segment = 0;
        }
        while (arc[segment + 1] < s) {
            ++segment;
        }
        const SPoint& a = dense[segment];
        const SPoint& b = dense[(segment + 1) % dense.size()];
        const double f = (s - arc[segment]) / (arc[segment + 1] - arc[segment]);
        result.push_back({a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)});
    }
    return result;
}

// What a person clicking along the margin on the image gives: whole pixels, a little off.
std::vector<SPixel> Digitise(const std::vector<SPoint>& points, CSampleRandom& random) {
    std::vector<SPixel> pixels;
    for (const SPoint& p : points) {
        pixels.push_back({static_cast<int>(std::lround(p.x + random.Normal(0.6))),
                          static_cast<int>(std::lround(p.y + random.Normal(0.6)))});
    }
    return pixels;
}

// A digitised outline of a few hundred points, traced in either direction from anywhere.
std::vector<SPixel> DigitisedValve(const SValveShape& v, CSampleRandom& random) {
    const int count = random.UniformInt(200, 400);
    std::vector<SPoint> points = Resample(DenseOutline(v), count, random.Next());
    if (random.Next() < 0.5) {
        std::reverse(points.begin(), points.end());
    }
    return Digitise(points, random);
}

// The two ends of the valve along its length, as landmarks.
std::vector<SPixel> EndLandmarks(const SValveShape& v, CSampleRandom& random) {
    return Digitise({ValvePoint(v, std::numbers::pi), ValvePoint(v, 0.0)}, random);
}

// ---- TPS ----

struct STpsSpecimen {
    std::vector<SPixel> landmarks;
    std::vector<SPixel> outline;
    std::string image;
    int id = 0;
    std::string comment;
    double scale = 0.0;
};

void WriteTpsTrailer(std::ostream& out, const STpsSpecimen& s, int order) {
    char scale[32];
    std::snprintf(scale, sizeof scale, "SCALE=%.6f\n", s.scale);
    const std::string image = "IMAGE=" + s.image + "\n";
    const std::string id = "ID=" + std::to_string(s.id) + "\n";
    const std::string comment = "COMMENT=" + s.comment + "\n";
    switch (order) {
    case 1: // as a user who filled in the comment before scaling
        out << comment << image << id << scale;
        break;
    case 2:
        out << id << scale << image << comment;
        break;
    default: // as the digitiser writes it
        out << image << id << comment << scale;
        break;
    }
}

void WriteTpsSpecimen(std::ostream& out, const STpsSpecimen& s, int order) {
    out << "LM=" << s.landmarks.size() << "\n";
    for (const SPixel& p : s.landmarks) {
        out << p.x << ".00000 " << p.y << ".00000\n";
    }
    out << "OUTLINES=1\nPOINTS=" << s.outline.size() << "\n";
    for (const SPixel& p : s.outline) {
        out << p.x << ".00000 " << p.y << ".00000\n";
    }
    WriteTpsTrailer(out, s, order);
}

std::string MakeTps() {
    CSampleRandom random(20240611u);
    static const char* const kComments[] = {
        "Cyprideis torosa, left valve, sample K3",  "Cyprideis torosa, left valve, sample K3",
        "Cyprideis torosa, right valve, sample K3", "Cyprideis torosa, left valve, sample K5",
        "Cyprideis torosa, left valve, sample K5",  "Cyprideis torosa, right valve, sample K5"};
    std::ostringstream out;
    for (int i = 0; i < 6; ++i) {
        const SValveShape valve = RandomValve(random);
        STpsSpecimen s;
        s.landmarks = EndLandmarks(valve, random);
        s.outline = DigitisedValve(valve, random);
        s.image = "valve_" + std::to_string(101 + i) + ".tif";
        s.id = i + 1;
        s.comment = kComments[i];
        s.scale = i < 3 ? 0.0012 : 0.00118; // two sessions at the microscope
        WriteTpsSpecimen(out, s, i == 2 ? 1 : (i == 4 ? 2 : 0));
    }
    return out.str();
}

// ---- Morphosys chain code ----

// 0: x + 1, 1: y + 1, 2: x - 1, 3: y - 1.
SPixel StepOf(int code) {
    static const SPixel kSteps[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    return kSteps[code];
}

bool AreOpposite(int a, int b) {
    return (a + 2) % 4 == b;
}

// Appends the codes from one pixel to a neighbouring one (8-connected), x first.
void AppendSteps(std::deque<int>& codes, SPixel from, SPixel to) {
    const auto push = [&codes](int code) {
        if (!codes.empty() && AreOpposite(codes.back(), code)) {
            codes.pop_back(); // a spike of one pixel, not part of a margin
        } else {
            codes.push_back(code);
        }
    };
    for (; from.x != to.x; from.x += to.x > from.x ? 1 : -1) {
        push(to.x > from.x ? 0 : 2);
    }
    for (; from.y != to.y; from.y += to.y > from.y ? 1 : -1) {
        push(to.y > from.y ? 1 : 3);
    }
}

struct SChain {
    SPixel start;
    std::deque<int> codes;
};

// The 4-connected pixel chain along the outline, closed: its steps sum to zero.
SChain TraceChain(const std::vector<SPoint>& dense) {
    std::vector<SPixel> pixels;
    for (const SPoint& p : dense) {
        const SPixel q{static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))};
        if (pixels.empty() || !(pixels.back() == q)) {
            pixels.push_back(q);
        }
    }
    SChain chain{pixels.front(), {}};
    for (std::size_t i = 1; i <= pixels.size(); ++i) {
        AppendSteps(chain.codes, pixels[i - 1], pixels[i % pixels.size()]);
    }
    // A spike across the start point: move the start instead.
    while (chain.codes.size() > 2 && AreOpposite(chain.codes.front(), chain.codes.back())) {
        const SPixel step = StepOf(chain.codes.front());
        chain.start = {chain.start.x + step.x, chain.start.y + step.y};
        chain.codes.pop_front();
        chain.codes.pop_back();
    }
    return chain;
}

void WriteMorphosysSpecimen(std::ostream& out, const std::string& name, const SChain& chain) {
    out << "F 1 " << name << "\n";
    out << name << ".tif 1280 960\n";
    // Calibration: 1000 units per 833.3333 pixels, that is 0.0012 mm per pixel.
    out << "1000 1000 833.3333 833.3333 'mm'\n";
    out << "C 1 : " << name << "\n";
    out << chain.start.x << " " << chain.start.y << " " << chain.codes.size() << "\n";
    constexpr std::size_t kPerLine = 72;
    for (std::size_t i = 0; i < chain.codes.size(); i += kPerLine) {
        for (std::size_t k = i; k < i + kPerLine && k < chain.codes.size(); ++k) {
            out << static_cast<char>('0' + chain.codes[k]);
        }
        out << "\n";
    }
}

std::string MakeMorphosys() {
    CSampleRandom random(7310u);
    std::ostringstream out;
    const char* const names[] = {"valve_A", "valve_B"};
    for (const char* name : names) {
        WriteMorphosysSpecimen(out, name, TraceChain(DenseOutline(RandomValve(random))));
    }
    return out.str();
}

// ---- simple point list ----

std::string MakeSimple() {
    CSampleRandom random(5521u);
    std::ostringstream out;
    for (int block = 0; block < 2; ++block) {
        const std::vector<SPixel> outline = DigitisedValve(RandomValve(random), random);
        if (block > 0) {
            out << "\n";
        }
        out << "POINTS=" << outline.size() << "\n";
        for (const SPixel& p : outline) {
            out << p.x << " " << p.y << "\n";
        }
    }
    return out.str();
}

// ---- TPS as digitising programs write it: landmarks and curves ----

// The margin between two angles (counter-clockwise from the posterior end), as a curve of
// points at equal arc length, the last on the end angle.
std::vector<SPoint> MarginCurve(const SValveShape& v, double from, double to, int count) {
    std::vector<SPoint> dense;
    constexpr int kSamples = 4000;
    for (int i = 0; i <= kSamples; ++i) {
        dense.push_back(ValvePoint(v, from + (to - from) * i / kSamples));
    }
    std::vector<double> arc(dense.size(), 0.0);
    for (std::size_t i = 1; i < dense.size(); ++i) {
        arc[i] = arc[i - 1] + Distance(dense[i - 1], dense[i]);
    }
    std::vector<SPoint> curve;
    std::size_t segment = 0;
    for (int k = 0; k < count; ++k) {
        const double s = arc.back() * k / (count - 1);
        while (segment + 2 < arc.size() && arc[segment + 1] < s) {
            ++segment;
        }
        const double f = (s - arc[segment]) / (arc[segment + 1] - arc[segment]);
        const SPoint& a = dense[segment];
        const SPoint& b = dense[segment + 1];
        curve.push_back({a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)});
    }
    return curve;
}

// tpsDig's layout: four landmarks (the two ends and the middle of each margin), then the
// outline as two curves that meet at the ends (the shared points written twice), coordinates
// with five decimals, a blank after the ID, CR LF line ends and no line end at the very end.
// The comments were typed on Windows: Windows-1252, not UTF-8.
std::string MakeTpsCurves() {
    CSampleRandom random(880413u);
    static const char* const kComments[] = {"Probe M\xFCller, linke Klappe",
                                            "Probe M\xFCller, rechte Klappe",
                                            "Sp\xE9" "cimen de r\xE9" "f\xE9" "rence",
                                            "Cyprideis torosa, sample K7"};
    std::ostringstream out;
    const auto point = [](const SPixel& p) {
        return std::to_string(p.x) + ".00000 " + std::to_string(p.y) + ".00000\r\n";
    };
    for (int i = 0; i < 4; ++i) {
        const SValveShape valve = RandomValve(random);
        const double pi = std::numbers::pi;
        const std::vector<SPixel> landmarks = Digitise(
            {ValvePoint(valve, pi), ValvePoint(valve, 0.0), ValvePoint(valve, pi / 2),
             ValvePoint(valve, 3 * pi / 2)},
            random);
        const std::vector<SPixel> dorsal =
            Digitise(MarginCurve(valve, 0.0, pi, random.UniformInt(60, 80)), random);
        std::vector<SPixel> ventral =
            Digitise(MarginCurve(valve, pi, 2 * pi, random.UniformInt(60, 80)), random);
        ventral.front() = dorsal.back(); // the curves meet where the digitiser joined them
        ventral.back() = dorsal.front();
        out << "LM=" << landmarks.size() << "\r\n";
        for (const SPixel& p : landmarks) {
            out << point(p);
        }
        out << "CURVES=2\r\n";
        for (const std::vector<SPixel>& curve : {dorsal, ventral}) {
            out << "POINTS=" << curve.size() << "\r\n";
            for (const SPixel& p : curve) {
                out << point(p);
            }
        }
        char scale[32];
        std::snprintf(scale, sizeof scale, "SCALE=%.6f", 0.0012 + 0.00002 * i);
        out << "IMAGE=valve_" << 201 + i << ".jpg\r\nID=" << 201 + i << " \r\nCOMMENT="
            << kComments[i] << "\r\n" << scale << (i < 3 ? "\r\n" : "");
    }
    return out.str();
}

// ---- eight-direction chain code ----

// 0: +x, then anticlockwise: 1: +x +y, 2: +y, ... 7: +x -y.
int EightCodeOf(int dx, int dy) {
    static const int kCodes[3][3] = {{5, 4, 3}, {6, -1, 2}, {7, 0, 1}}; // [dx + 1][dy + 1]
    return kCodes[dx + 1][dy + 1];
}

// The codes from one pixel to another, diagonal steps first; a step straight back cancels the
// one before it (a spike of one pixel is no margin).
void AppendEightSteps(std::vector<int>& codes, SPixel from, SPixel to) {
    while (!(from == to)) {
        const int dx = (to.x > from.x) - (to.x < from.x);
        const int dy = (to.y > from.y) - (to.y < from.y);
        const int code = EightCodeOf(dx, dy);
        if (!codes.empty() && (codes.back() + 4) % 8 == code) {
            codes.pop_back();
        } else {
            codes.push_back(code);
        }
        from = {from.x + dx, from.y + dy};
    }
}

// The 8-connected pixel chain along the outline, closed, with the pixel area the chain
// encloses (polygon area + steps / 2 + 1, as chain-code programs count pixels).
std::string EightChainLine(const std::string& name, const std::vector<SPoint>& dense,
                           double scale) {
    std::vector<SPixel> pixels;
    for (const SPoint& p : dense) {
        const SPixel q{static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))};
        if (pixels.empty() || !(pixels.back() == q)) {
            pixels.push_back(q);
        }
    }
    std::vector<int> codes;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        AppendEightSteps(codes, pixels[i], pixels[(i + 1) % pixels.size()]);
    }
    static const int kDx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    static const int kDy[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    SPixel at = pixels.front();
    double twiceArea = 0.0;
    for (const int code : codes) {
        const SPixel next{at.x + kDx[code], at.y + kDy[code]};
        twiceArea += static_cast<double>(at.x) * next.y - static_cast<double>(next.x) * at.y;
        at = next;
    }
    char header[128];
    std::snprintf(header, sizeof header, "%s %d %d %.6E %ld", name.c_str(), pixels.front().x,
                  pixels.front().y, scale,
                  std::lround(std::fabs(twiceArea) / 2.0 + codes.size() / 2.0 + 1.0));
    std::string line = header;
    for (const int code : codes) {
        line += " " + std::to_string(code);
    }
    return line + " -1\r\n";
}

std::string MakeChainCodes() {
    CSampleRandom random(4471u);
    std::string out;
    for (int i = 0; i < 3; ++i) {
        std::string name = "valve_";
        name += static_cast<char>('A' + i);
        out += EightChainLine(name, DenseOutline(RandomValve(random)), 0.0012);
    }
    return out;
}

// ---- NTSYS matrix ----

// Rows of x1 y1 x2 y2 ...: the outline centred on its point mean and divided by half its
// length, in fields of eight characters, ten a line, so that negative values touch the one
// before them as in files NTSYS writes.
std::string MakeNtsys() {
    CSampleRandom random(90210u);
    constexpr int kOutlines = 4;
    constexpr int kPoints = 120;
    std::ostringstream out;
    out << "\" synthetic ostracod valves\r\n\" " << kPoints
        << " points along each outline, x1,y1, x2,y2, ...\r\n";
    out << "1 " << kOutlines << "L " << 2 * kPoints << " 0\r\n";
    for (int i = 0; i < kOutlines; ++i) {
        out << (i > 0 ? " " : "") << "valve_" << static_cast<char>('A' + i);
    }
    out << "\r\n";
    for (int i = 0; i < kOutlines; ++i) {
        const SValveShape valve = RandomValve(random);
        const std::vector<SPoint> points = Resample(DenseOutline(valve), kPoints, 0.0);
        SPoint mean;
        for (const SPoint& p : points) {
            mean.x += p.x / kPoints;
            mean.y += p.y / kPoints;
        }
        std::string line;
        int fields = 0;
        for (const SPoint& p : points) {
            for (const double v : {(p.x - mean.x) / (0.5 * valve.length),
                                   (p.y - mean.y) / (0.5 * valve.length)}) {
                char field[16];
                std::snprintf(field, sizeof field, "%8.5f", v);
                line += field;
                if (++fields % 10 == 0) {
                    out << line << "\r\n";
                    line.clear();
                }
            }
        }
        if (!line.empty()) {
            out << line << "\r\n";
        }
    }
    return out.str();
}

// ---- x-y lists ----

// Two outlines as a spreadsheet saves them: a header row, comma-separated values, a blank line
// between the outlines.
std::string MakeXyList() {
    CSampleRandom random(31337u);
    std::ostringstream out;
    out << "x,y\n";
    for (int i = 0; i < 2; ++i) {
        if (i > 0) {
            out << "\n";
        }
        const SValveShape valve = RandomValve(random);
        const std::vector<SPoint> points =
            Resample(DenseOutline(valve), random.UniformInt(150, 250), random.Next());
        for (const SPoint& p : points) {
            char row[64];
            std::snprintf(row, sizeof row, "%.1f,%.1f\n", p.x + random.Normal(0.3),
                          p.y + random.Normal(0.3));
            out << row;
        }
    }
    return out.str();
}

// A measurement program's export: a blank line, a header of measurement names, the
// measurements in the first row, and the outline in millimetres in the last two columns of
// every row.
std::string MakeMeasurements() {
    CSampleRandom random(2718u);
    const SValveShape valve = RandomValve(random);
    const std::vector<SPoint> points = Resample(DenseOutline(valve), 90, random.Next());
    constexpr double kMillimetresPerPixel = 0.0012;
    std::ostringstream out;
    out << "\r\n\tArea\tBreadth\tCircularity\tLength\tPerimeter\tRectangularity\tSampledPoints\r\n";
    for (std::size_t i = 0; i < points.size(); ++i) {
        char row[160];
        if (i == 0) {
            std::snprintf(row, sizeof row, "\t%g\t%g\t%g\t%g\t%g\t%g", 0.47, 0.33, 14.1, 0.93,
                          2.51, 0.77);
        } else {
            std::snprintf(row, sizeof row, "\t\t\t\t\t\t");
        }
        out << row;
        std::snprintf(row, sizeof row, "\t%.5f\t%.5f\r\n", points[i].x * kMillimetresPerPixel,
                      points[i].y * kMillimetresPerPixel);
        out << row;
    }
    return out.str();
}

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary); // line feeds only, on every system
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "make_samples: %s: cannot write file\n", path.string().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const bool ok = WriteFile(folder / "valves.tps", MakeTps()) &&
                    WriteFile(folder / "valves.msd", MakeMorphosys()) &&
                    WriteFile(folder / "valves.txt", MakeSimple()) &&
                    WriteFile(folder / "valves_curves.tps", MakeTpsCurves()) &&
                    WriteFile(folder / "valves.chc", MakeChainCodes()) &&
                    WriteFile(folder / "valves.nts", MakeNtsys()) &&
                    WriteFile(folder / "valves_xy.csv", MakeXyList()) &&
                    WriteFile(folder / "valves_measurements.asc", MakeMeasurements());
    return ok ? 0 : 1;
}
