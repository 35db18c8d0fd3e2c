// The pictures: a shaded golden egg computed pixel by pixel (so its outline
// lands on exact columns and rows), a golden mallet and a gift box painted with
// QPainter, and the crack laid along its zig-zag with soft edges.
#include "gen.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <functional>

namespace gen {
namespace {

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}
double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}
std::uint8_t to8(double v) {
    return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

struct Colour {
    double r, g, b;
};
Colour mix(Colour a, Colour b, double t) {
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)};
}
Colour of(Rgb c) {
    return {double(c.r), double(c.g), double(c.b)};
}
Rgb rgb(Colour c) {
    return {to8(c.r), to8(c.g), to8(c.b)};
}

std::uint64_t hash(std::uint64_t a, std::uint64_t b, std::uint64_t seed) {
    std::uint64_t z =
        a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xBF58476D1CE4E5B9ull ^ seed;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
double hash01(int x, int y, std::uint64_t seed) {
    return double(hash(std::uint64_t(x + 4096), std::uint64_t(y + 4096), seed) >> 11) /
           9007199254740992.0;
}

// Smooth blotches a few pixels across, for the grain of the shell.
double value_noise(double x, double y, double cell, std::uint64_t seed) {
    const double gx = x / cell, gy = y / cell;
    const int ix = int(std::floor(gx)), iy = int(std::floor(gy));
    const double fx = gx - ix, fy = gy - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    const double c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return lerp(lerp(a, b, sx), lerp(c, d, sx), sy) * 2 - 1;
}

// An upright egg: narrower at the top, widest a little below the middle.
struct Egg {
    double cx, top, height, half;
    static constexpr double kTaper = 0.2;
    double profile_max() const {
        double best = 0;
        for (int i = 0; i <= 2000; ++i) {
            const double v = -1 + i / 1000.0;
            best = std::max(best, std::sqrt(std::max(0.0, 1 - v * v)) * (1 + kTaper * v));
        }
        return best;
    }
    double v_at(double y) const { return (y - top) / height * 2 - 1; }
    double half_width(double y, double pmax) const {
        const double v = v_at(y);
        if (v <= -1 || v >= 1)
            return 0;
        return half * std::sqrt(1 - v * v) * (1 + kTaper * v) / pmax;
    }
};

// Light from the upper right and a little in front: darker to the lower left.
struct Light {
    double lx = 0.55, ly = -0.58, lz = 0.6;
    Light() {
        const double n = std::sqrt(lx * lx + ly * ly + lz * lz);
        lx /= n, ly /= n, lz /= n;
    }
};

// The gold of the shell at a point whose surface normal is (nx, ny, nz).
Colour gold_at(double nx, double ny, double nz, double grain) {
    static const Light L;
    const double diffuse = nx * L.lx + ny * L.ly + nz * L.lz;
    const Colour shadow{172, 100, 0}, deep{234, 164, 4}, base{253, 200, 10}, bright{255, 222, 62};
    Colour c;
    if (diffuse < 0.3)
        c = mix(shadow, deep, clamp01((diffuse + 0.35) / 0.65));
    else if (diffuse < 0.72)
        c = mix(deep, base, (diffuse - 0.3) / 0.42);
    else
        c = mix(base, bright, clamp01((diffuse - 0.72) / 0.26));
    // A glossy highlight: halfway vector between the light and the viewer.
    double hx = L.lx, hy = L.ly, hz = L.lz + 1;
    const double hn = std::sqrt(hx * hx + hy * hy + hz * hz);
    const double spec = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hn), 48);
    c = mix(c, Colour{255, 248, 200}, 0.92 * spec);
    const double k = 1 + grain;
    return {std::min(255.0, c.r * (1 + grain * 0.5)), std::min(255.0, c.g * k),
            std::min(255.0, c.b * k + 2 * grain * 10)};
}

double shell_grain(int x, int y, std::uint64_t seed) {
    return 0.022 * value_noise(x, y, 3.5, seed) + 0.014 * value_noise(x, y, 9, seed + 7) +
           0.018 * (hash01(x, y, seed + 13) - 0.5);
}

// Normal of a surface of revolution around the egg's axis, from where the
// point sits across (u) and along (v) the egg.
void egg_normal(double u, double v, double& nx, double& ny, double& nz) {
    u = std::clamp(u, -1.0, 1.0);
    v = std::clamp(v, -1.0, 1.0);
    const double cv = std::sqrt(1 - v * v);
    nx = u * cv;
    ny = v;
    nz = std::sqrt(std::max(0.0, 1 - u * u)) * cv;
}

// Paints the egg over pic (or into an alpha channel): 4x4 samples per pixel
// decide its coverage, so the outline is smooth and lands on exact pixels.
void paint_egg(const Egg& egg, std::uint64_t seed, int width, int height,
               const std::function<void(int, int, Colour, double)>& put) {
    const double pmax = egg.profile_max();
    const int y0 = std::max(0, int(std::floor(egg.top))),
              y1 = std::min(height - 1, int(std::ceil(egg.top + egg.height)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = std::max(0, int(egg.cx - egg.half - 2));
             x <= std::min(width - 1, int(egg.cx + egg.half + 2)); ++x) {
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy) {
                const double py = y + (sy + 0.5) / 4;
                const double hw = egg.half_width(py, pmax);
                for (int sx = 0; sx < 4; ++sx)
                    inside += std::abs(x + (sx + 0.5) / 4 - egg.cx) < hw;
            }
            if (!inside)
                continue;
            const double py = y + 0.5, px = x + 0.5;
            const double hw = std::max(0.5, egg.half_width(py, pmax));
            double nx, ny, nz;
            egg_normal((px - egg.cx) / hw, egg.v_at(py), nx, ny, nz);
            Colour c = gold_at(nx, ny, nz, shell_grain(x, y, seed));
            // The silhouette darkens a little, which rounds the egg off against the yellow.
            c = mix(c, Colour{c.r * 0.82, c.g * 0.74, c.b * 0.5}, std::pow(1 - nz, 3) * 0.6);
            put(x, y, c, inside / 16.0);
        }
    }
}

const Egg kCoverEgg{187.0, 48.0, 168.0, 61.6};

Picture yellow_with_egg() {
    Picture pic(kWidth, kHeight, kYellow);
    paint_egg(kCoverEgg, 11, kWidth, kHeight, [&](int x, int y, Colour c, double a) {
        pic.at(x, y) = rgb(mix(of(pic.at(x, y)), c, a));
    });
    return pic;
}

QImage to_qimage(const Picture& pic) {
    QImage img(pic.width, pic.height, QImage::Format_RGB32);
    for (int y = 0; y < pic.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < pic.width; ++x) {
            const Rgb c = pic.at(x, y);
            line[x] = qRgb(c.r, c.g, c.b);
        }
    }
    return img;
}

Picture from_qimage(const QImage& img) {
    Picture pic(img.width(), img.height(), kYellow);
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            pic.at(x, y) = {std::uint8_t(qRed(line[x])), std::uint8_t(qGreen(line[x])),
                            std::uint8_t(qBlue(line[x]))};
    }
    return pic;
}

// ---- The mallet ----------------------------------------------------------

// In the hammer's own frame the handle's end is the origin and the handle runs
// up the negative y axis into the middle of the head.
struct HammerShape {
    double handle_len;
    static constexpr double kHandleW = 9, kHeadLen = 62, kHeadT = 28, kCap = 6;
};

struct Pose {
    double ex, ey; // where the handle ends
    double tilt;   // degrees, clockwise from upright
    double scale;
    double handle_len;
};

// Points on the hammer's outline, for fitting it into a box.
std::vector<QPointF> outline_points(double handle_len) {
    const double half = HammerShape::kHeadLen / 2, cap = HammerShape::kCap;
    const double t = HammerShape::kHeadT, top = -handle_len - t;
    std::vector<QPointF> pts{{-half, top},        {half, top}, {-half, -handle_len},
                             {half, -handle_len}, {-6, 2},     {6, 2},
                             {-6, -12},           {6, -12}};
    for (int i = 0; i < 72; ++i) {
        const double a = i * M_PI / 36;
        for (double end : {-half, half})
            pts.push_back({end + cap * std::cos(a), top + t / 2 + t / 2 * std::sin(a)});
    }
    return pts;
}

QRectF posed_bounds(double tilt, double scale, double handle_len) {
    QTransform t;
    t.rotate(tilt);
    t.scale(scale, scale);
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (QPointF p : outline_points(handle_len)) {
        const QPointF q = t.map(p);
        x0 = std::min(x0, q.x()), x1 = std::max(x1, q.x());
        y0 = std::min(y0, q.y()), y1 = std::max(y1, q.y());
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

// Chooses handle length and scale so the posed hammer fills box exactly.
Pose fit_pose(double tilt, QRectF box) {
    const double want = box.width() / box.height();
    double best_len = 60, best_err = 1e9;
    for (double len = 50; len <= 140; len += 0.25) {
        const QRectF r = posed_bounds(tilt, 1, len);
        const double err = std::abs(r.width() / r.height() - want);
        if (err < best_err)
            best_err = err, best_len = len;
    }
    const QRectF unit = posed_bounds(tilt, 1, best_len);
    const double scale = std::min(box.width() / unit.width(), box.height() / unit.height());
    const QRectF r = posed_bounds(tilt, scale, best_len);
    return {box.center().x() - r.center().x(), box.center().y() - r.center().y(), tilt, scale,
            best_len};
}

void paint_hammer(QPainter& p, const Pose& pose, const QRect& clip) {
    p.save();
    p.setClipRect(clip);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(pose.ex, pose.ey);
    p.rotate(pose.tilt);
    p.scale(pose.scale, pose.scale);
    const double L = pose.handle_len, T = HammerShape::kHeadT;
    const double half = HammerShape::kHeadLen / 2, cap = HammerShape::kCap;
    const double w = HammerShape::kHandleW;
    const QColor rim(104, 70, 8);

    // Handle: a turned rod, lit from the right.
    QLinearGradient rod(-w / 2, 0, w / 2, 0);
    rod.setColorAt(0, QColor(150, 104, 18));
    rod.setColorAt(0.45, QColor(238, 200, 96));
    rod.setColorAt(0.7, QColor(252, 232, 150));
    rod.setColorAt(1, QColor(170, 122, 26));
    p.setPen(QPen(rim, 1.0));
    p.setBrush(rod);
    p.drawRoundedRect(QRectF(-w / 2, -L - 2, w, L + 2), 3, 3);
    // A grip knob at the end.
    QLinearGradient knob(-w / 2 - 2, 0, w / 2 + 2, 0);
    knob.setColorAt(0, QColor(128, 84, 10));
    knob.setColorAt(0.6, QColor(226, 178, 70));
    knob.setColorAt(1, QColor(140, 96, 14));
    p.setBrush(knob);
    p.drawRoundedRect(QRectF(-w / 2 - 1.5, -12, w + 3, 14), 4, 4);
    // A collar where the handle meets the head.
    p.setBrush(knob);
    p.drawRoundedRect(QRectF(-w / 2 - 2, -L - 4, w + 4, 7), 2, 2);

    // Head: a cylinder lying across the handle, its near end face showing.
    const double top = -L - T;
    QLinearGradient body(0, top, 0, -L);
    body.setColorAt(0.0, QColor(112, 76, 10));
    body.setColorAt(0.1, QColor(206, 166, 66));
    body.setColorAt(0.32, QColor(255, 244, 184));
    body.setColorAt(0.5, QColor(244, 218, 128));
    body.setColorAt(0.82, QColor(204, 158, 52));
    body.setColorAt(1.0, QColor(132, 92, 16));
    QPainterPath cyl;
    cyl.moveTo(half, top);
    cyl.lineTo(-half, top);
    cyl.arcTo(QRectF(-half - cap, top, 2 * cap, T), 90, 180);
    cyl.lineTo(half, -L);
    cyl.closeSubpath();
    p.setPen(QPen(rim, 1.2));
    p.setBrush(body);
    p.drawPath(cyl);
    // The dark rim along the top edge of the head.
    p.setPen(QPen(QColor(90, 58, 4), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-half, top + 0.9), QPointF(half, top + 0.9));
    // The end face: flat, pale, ringed by a darker bevel.
    QRadialGradient face(half + cap * 0.3, top + T * 0.38, T * 0.6);
    face.setColorAt(0, QColor(255, 246, 196));
    face.setColorAt(0.7, QColor(236, 206, 112));
    face.setColorAt(1, QColor(190, 144, 44));
    p.setPen(QPen(rim, 1.6));
    p.setBrush(face);
    p.drawEllipse(QRectF(half - cap, top, 2 * cap, T));
    p.restore();
}

const QRect kRestBox(228, 0, 67, 120);
const QRect kLiftBox(291, 5, 87, 103);
const QRect kBlowBox(184, 29, 104, 94);

Picture with_hammer(const Picture& base, double tilt, const QRect& box) {
    QImage img = to_qimage(base);
    QPainter p(&img);
    // Fitted a little beyond the box and clipped to it, so the outermost rows and
    // columns of the box are fully covered.
    paint_hammer(p, fit_pose(tilt, QRectF(box).adjusted(-0.7, -0.7, 0.7, 0.7)), box);
    p.end();
    return from_qimage(img);
}

// ---- The crack -------------------------------------------------------------

const std::vector<QPointF> kCrack{{188.5, 49.5},  {179.5, 70.5},  {197.5, 86.5},  {180.5, 108.5},
                                  {197.5, 125.5}, {179.5, 146.5}, {196.5, 162.5}, {179.5, 182.5},
                                  {197.5, 198.5}, {189.5, 214.5}};

double distance_to_crack(double x, double y) {
    double best = 1e9;
    for (std::size_t i = 0; i + 1 < kCrack.size(); ++i) {
        const QPointF a = kCrack[i], b = kCrack[i + 1];
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        const double t = clamp01(((x - a.x()) * dx + (y - a.y()) * dy) / (dx * dx + dy * dy));
        best = std::min(best, std::hypot(x - a.x() - t * dx, y - a.y() - t * dy));
    }
    return best;
}

// Strength of the crack at a pixel: a core about two pixels wide, fading over one more.
double crack_alpha(int x, int y) {
    return clamp01(1.7 - distance_to_crack(x + 0.5, y + 0.5));
}

// ---- The gift box and the broken shell --------------------------------------

void paint_snowflake(QPainter& p, QPointF c, double r) {
    p.setPen(QPen(QColor(255, 255, 255), 1.3, Qt::SolidLine, Qt::RoundCap));
    for (int k = 0; k < 6; ++k) {
        const double a = k * M_PI / 3;
        const QPointF d(std::cos(a), std::sin(a));
        const QPointF tip = c + d * r, mid = c + d * (r * 0.55);
        p.drawLine(c, tip);
        const QPointF side1(std::cos(a + 0.8), std::sin(a + 0.8)),
            side2(std::cos(a - 0.8), std::sin(a - 0.8));
        p.drawLine(mid, mid + side1 * (r * 0.35));
        p.drawLine(mid, mid + side2 * (r * 0.35));
    }
}

void paint_gift_box(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    // Body: dark red, snowflakes on it.
    const QRectF body(146, 146, 86, 47);
    QLinearGradient shade(body.left(), 0, body.right(), 0);
    shade.setColorAt(0, QColor(96, 6, 14));
    shade.setColorAt(0.6, QColor(150, 14, 26));
    shade.setColorAt(1, QColor(112, 8, 18));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRect(body);
    p.save();
    p.setClipRect(body);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 6; ++col)
            paint_snowflake(p, QPointF(152 + col * 16 + (row % 2) * 8, 156 + row * 15), 5.2);
    p.restore();
    // Lid: the top seen from above with a white sheen in its middle, then its front band.
    QPolygonF top;
    top << QPointF(137, 109.6) << QPointF(241, 109.6) << QPointF(250, 137) << QPointF(128, 137);
    QLinearGradient lid(0, 109, 0, 137);
    lid.setColorAt(0, QColor(236, 48, 52));
    lid.setColorAt(1, QColor(200, 22, 32));
    p.setBrush(lid);
    p.setPen(QPen(QColor(150, 10, 20), 1.0));
    p.drawPolygon(top);
    QRadialGradient sheen(189, 122, 34);
    sheen.setColorAt(0, QColor(255, 255, 255, 255));
    sheen.setColorAt(0.45, QColor(255, 255, 255, 235));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.save();
    p.setClipRegion(QRegion(top.toPolygon()));
    p.translate(189, 122);
    p.scale(1.0, 0.3);
    p.translate(-189, -122);
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawEllipse(QPointF(189, 122), 40, 40);
    p.restore();
    QLinearGradient band(0, 137, 0, 151);
    band.setColorAt(0, QColor(176, 16, 28));
    band.setColorAt(1, QColor(124, 8, 18));
    p.setBrush(band);
    p.setPen(QPen(QColor(110, 6, 14), 1.0));
    p.drawRect(QRectF(128, 137, 122, 14));
}

struct ShellHalf {
    std::vector<QPointF> brk; // the broken edge, from the tip down to the bottom
    QPainterPath outer;       // the rest of the outline, from the bottom back to the tip
};

QPainterPath half_path(const ShellHalf& h) {
    QPainterPath path;
    path.moveTo(h.brk.front());
    for (std::size_t i = 1; i < h.brk.size(); ++i)
        path.lineTo(h.brk[i]);
    path.connectPath(h.outer);
    path.closeSubpath();
    return path;
}

ShellHalf left_half() {
    ShellHalf h;
    h.brk = {{85, 61},   {96, 76},   {106, 74},  {110, 90},  {126, 97},
             {130, 110}, {146, 117}, {137, 133}, {152, 142}, {145, 160},
             {157, 170}, {151, 185}, {167, 193}, {188, 197}, {188, 209}};
    h.outer.moveTo(188, 209);
    h.outer.cubicTo(136, 210, 78, 196, 62, 126);
    h.outer.cubicTo(61, 100, 70, 76, 85, 61);
    return h;
}

ShellHalf right_half() {
    ShellHalf h;
    h.brk = {{289, 61},  {278, 74},  {268, 72},  {262, 88},  {248, 94},
             {247, 107}, {229, 113}, {237, 129}, {223, 139}, {231, 156},
             {218, 166}, {225, 182}, {208, 191}, {188, 197}, {188, 209}};
    h.outer.moveTo(188, 209);
    h.outer.cubicTo(240, 210, 298, 196, 309, 126);
    h.outer.cubicTo(309, 100, 302, 76, 289, 61);
    return h;
}

// The shell's gold comes from one big egg's normals, so both halves share
// the light: darker to the lower left, a light patch at the upper right.
const Egg kBrokenEgg{187.0, -6.0, 262.0, 136.0};

void paint_shell(Picture& pic, const ShellHalf& half) {
    const QPainterPath path = half_path(half);
    QImage mask(kWidth, kHeight, QImage::Format_Grayscale8);
    mask.fill(0);
    QImage band = mask;
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(QRect(62, 61, 247, 148)); // columns 62-308, rows 61-208
        p.fillPath(path, QColor(255, 255, 255));
    }
    {
        // The broken edge shows the shell's thickness: a band just inside the outline.
        QPainter p(&band);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipPath(path);
        QPainterPath edge;
        edge.moveTo(half.brk.front());
        for (std::size_t i = 1; i < half.brk.size(); ++i)
            edge.lineTo(half.brk[i]);
        p.strokePath(edge,
                     QPen(QColor(255, 255, 255), 7, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    }
    const double pmax = kBrokenEgg.profile_max();
    const Colour brown{69, 49, 6};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double a = mask.pixelColor(x, y).red() / 255.0;
            if (a <= 0)
                continue;
            const double hw = kBrokenEgg.half_width(y + 0.5, pmax);
            double nx, ny, nz;
            egg_normal((x + 0.5 - kBrokenEgg.cx) / hw, kBrokenEgg.v_at(y + 0.5), nx, ny, nz);
            Colour c = gold_at(nx, ny, nz, shell_grain(x, y, 23));
            const double edge = band.pixelColor(x, y).red() / 255.0;
            c = mix(c, brown, edge);
            pic.at(x, y) = rgb(mix(of(pic.at(x, y)), c, a));
        }
}

} // namespace

Picture draw_cover() {
    return with_hammer(yellow_with_egg(), -10, kRestBox);
}

Picture draw_face() {
    QImage img = to_qimage(Picture(kWidth, kHeight, kYellow));
    {
        QPainter p(&img);
        paint_gift_box(p);
    }
    Picture pic = from_qimage(img);
    paint_shell(pic, left_half());
    paint_shell(pic, right_half());
    return pic;
}

std::vector<Picture> draw_smash_scenes() {
    const Picture egg = yellow_with_egg();
    const Picture cover = draw_cover();
    std::vector<Picture> scenes{cover, with_hammer(egg, 38, kLiftBox),
                                with_hammer(egg, -52, kBlowBox), cover};
    // Each band of rows of the crack, as frames 5 to 10 draw them.
    const int bands[6][2] = {{49, 75}, {76, 103}, {103, 131}, {131, 160}, {160, 186}, {186, 214}};
    Picture cracked = cover;
    for (const auto& band : bands) {
        for (int y = band[0]; y <= band[1]; ++y)
            for (int x = 160; x < 220; ++x) {
                const double a = crack_alpha(x, y);
                if (a > 0 && cover.at(x, y) != kYellow)
                    cracked.at(x, y) = rgb(mix(of(cover.at(x, y)), Colour{86, 86, 0}, a));
            }
        scenes.push_back(cracked);
    }
    return scenes;
}

std::vector<bool> cover_egg_interior() {
    std::vector<bool> inside(std::size_t(kWidth) * kHeight, false);
    const double pmax = kCoverEgg.profile_max();
    for (int y = 0; y < kHeight; ++y) {
        const double hw = kCoverEgg.half_width(y + 0.5, pmax) - 3;
        for (int x = 0; x < kWidth; ++x)
            inside[std::size_t(y) * kWidth + x] = hw > 0 && std::abs(x + 0.5 - kCoverEgg.cx) < hw &&
                                                  crack_alpha(x, y) == 0 &&
                                                  distance_to_crack(x + 0.5, y + 0.5) > 3;
    }
    return inside;
}

RgbaPicture draw_icon(int size) {
    QImage img(256, 256, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const Egg egg{112.0, 30.0, 222.0, 84.0};
    paint_egg(egg, 5, 256, 256, [&](int x, int y, Colour c, double a) {
        img.setPixel(x, y, qRgba(to8(c.r), to8(c.g), to8(c.b), to8(a * 255)));
    });
    {
        QImage hammer(256, 256, QImage::Format_ARGB32_Premultiplied);
        hammer.fill(Qt::transparent);
        QPainter p(&hammer);
        const QRect box(150, 2, 104, 132);
        paint_hammer(p, fit_pose(30, QRectF(box)), box);
        p.end();
        QPainter over(&img);
        over.drawImage(0, 0, hammer);
    }
    if (size != 256)
        img = img.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    img = img.convertToFormat(QImage::Format_RGBA8888);
    RgbaPicture out{size, size, {}};
    for (int y = 0; y < size; ++y) {
        const uchar* line = img.constScanLine(y);
        out.rgba.insert(out.rgba.end(), line, line + 4 * size);
    }
    return out;
}

} // namespace gen
