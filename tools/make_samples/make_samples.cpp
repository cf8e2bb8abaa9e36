// Writes the bundled sample outlines: synthetic ostracod valves in the three input formats.
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
                    WriteFile(folder / "valves.txt", MakeSimple());
    return ok ? 0 : 1;
}
