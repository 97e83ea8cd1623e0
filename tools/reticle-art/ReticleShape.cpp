#include "tools/reticle-art/ReticleShape.h"

#include <cmath>
#include <cstddef>

namespace {

// The left wing is a band around (85, 128); the right wing is its mirror in x = 128, around
// (171, 128), so every right-wing question is asked of the mirrored point on the left.
constexpr double LeftWingCenterX = 85.0;
constexpr double WingCenterY = 128.0;
constexpr double MirrorSum = 256.0;         // x and 256 - x mirror each other in x = 128
constexpr double WingFirstAngle = 38.0;     // the band's angular extent; the radii of the end
constexpr double WingLastAngle = 322.0;     //   rows hold from 38 to 40 and from 320 to 322
constexpr double WingCutX = 113.6;          // the tips are cut off by this vertical line
constexpr double TableFirstAngle = 40.0;
constexpr double TableStep = 5.0;

constexpr double DotCenter = 128.0;
constexpr double DotRadius = 5.45;

struct WingRow {
    double innerRadius;
    double outerRadius;
    Rgb left;
    Rgb right;
};

// One row every 5 degrees from 40 to 320.
constexpr WingRow wingTable[] = {
    {35.2, 37.4, {255, 135, 68}, {255, 67, 173}},    //  40
    {34.1, 38.5, {255, 139, 68}, {255, 68, 174}},    //  45
    {33.8, 39.4, {254, 149, 66}, {255, 73, 179}},    //  50
    {33.8, 40.1, {253, 160, 65}, {255, 77, 183}},    //  55
    {33.9, 40.6, {251, 172, 63}, {255, 82, 189}},    //  60
    {34.2, 41.3, {250, 186, 62}, {255, 88, 194}},    //  65
    {34.8, 42.0, {248, 201, 60}, {255, 94, 200}},    //  70
    {35.3, 42.7, {247, 218, 58}, {255, 101, 208}},   //  75
    {36.1, 43.6, {245, 236, 55}, {255, 108, 215}},   //  80
    {36.8, 44.2, {241, 253, 55}, {255, 116, 223}},   //  85
    {37.0, 44.9, {221, 255, 72}, {250, 123, 228}},   //  90
    {37.0, 45.0, {198, 255, 92}, {245, 130, 232}},   //  95
    {36.4, 44.6, {176, 255, 110}, {240, 137, 237}},  // 100
    {35.1, 43.7, {155, 255, 128}, {236, 144, 241}},  // 105
    {33.4, 42.5, {136, 255, 145}, {231, 150, 245}},  // 110
    {31.5, 40.8, {118, 255, 160}, {227, 156, 248}},  // 115
    {29.7, 39.0, {102, 255, 174}, {224, 161, 252}},  // 120
    {27.9, 37.1, {87, 255, 186}, {221, 165, 254}},   // 125
    {26.2, 35.5, {81, 255, 193}, {216, 163, 255}},   // 130
    {24.6, 33.9, {76, 254, 198}, {212, 160, 255}},   // 135
    {23.5, 32.5, {72, 254, 203}, {209, 158, 255}},   // 140
    {22.3, 31.2, {68, 254, 207}, {205, 155, 255}},   // 145
    {21.6, 30.1, {64, 253, 211}, {202, 153, 255}},   // 150
    {20.9, 29.3, {61, 253, 215}, {199, 151, 255}},   // 155
    {20.3, 28.7, {58, 253, 218}, {197, 149, 255}},   // 160
    {19.8, 28.0, {54, 252, 222}, {194, 147, 255}},   // 165
    {19.4, 27.6, {51, 252, 225}, {191, 145, 255}},   // 170
    {19.3, 27.4, {48, 252, 229}, {189, 143, 255}},   // 175
    {19.2, 27.4, {45, 252, 232}, {186, 142, 255}},   // 180
    {19.3, 27.4, {42, 252, 235}, {184, 140, 255}},   // 185
    {19.4, 27.6, {39, 251, 238}, {181, 138, 255}},   // 190
    {19.8, 28.0, {36, 251, 242}, {178, 136, 255}},   // 195
    {20.2, 28.5, {33, 251, 246}, {175, 133, 255}},   // 200
    {20.7, 29.0, {30, 250, 249}, {173, 131, 255}},   // 205
    {21.2, 29.9, {26, 250, 253}, {170, 129, 255}},   // 210
    {22.1, 30.7, {25, 250, 253}, {170, 127, 253}},   // 215
    {23.0, 31.8, {27, 250, 249}, {175, 123, 250}},   // 220
    {24.1, 33.0, {29, 251, 244}, {180, 120, 245}},   // 225
    {25.2, 34.4, {31, 251, 239}, {185, 116, 241}},   // 230
    {26.7, 36.1, {33, 251, 234}, {191, 112, 236}},   // 235
    {28.4, 37.7, {36, 252, 227}, {198, 107, 231}},   // 240
    {30.3, 39.4, {39, 252, 220}, {205, 102, 225}},   // 245
    {32.0, 41.0, {42, 253, 213}, {213, 96, 218}},    // 250
    {33.8, 42.4, {46, 253, 205}, {222, 90, 211}},    // 255
    {35.2, 43.5, {50, 254, 195}, {232, 83, 203}},    // 260
    {36.1, 44.1, {54, 254, 186}, {242, 76, 195}},    // 265
    {36.3, 44.1, {58, 255, 177}, {253, 69, 186}},    // 270
    {36.1, 44.0, {81, 248, 163}, {255, 73, 173}},    // 275
    {35.6, 43.3, {108, 239, 149}, {255, 80, 159}},   // 280
    {35.0, 42.6, {135, 230, 135}, {255, 88, 146}},   // 285
    {34.3, 41.8, {159, 221, 122}, {255, 95, 134}},   // 290
    {33.9, 41.1, {181, 214, 111}, {255, 101, 123}},  // 295
    {33.6, 40.5, {201, 207, 100}, {255, 106, 113}},  // 300
    {33.4, 39.9, {219, 201, 91}, {255, 111, 104}},   // 305
    {33.7, 39.3, {234, 196, 83}, {255, 115, 96}},    // 310
    {34.1, 38.5, {250, 191, 75}, {255, 120, 89}},    // 315
    {35.3, 37.3, {255, 189, 72}, {255, 121, 86}},    // 320
};
constexpr std::size_t wingRows = sizeof wingTable / sizeof wingTable[0];
static_assert(wingRows == 57, "one row every 5 degrees from 40 to 320");

// The table position of an angle: the row at or below it and the fraction towards the next.
// Outside 40..320 the end rows hold.
struct TablePosition {
    std::size_t row;
    double fraction;
};

TablePosition PositionOf(double angle) {
    if (angle <= TableFirstAngle) return {0, 0.0};
    double steps = (angle - TableFirstAngle) / TableStep;
    if (steps >= static_cast<double>(wingRows - 1)) return {wingRows - 1, 0.0};
    auto row = static_cast<std::size_t>(std::floor(steps));
    return {row, steps - static_cast<double>(row)};
}

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

// Angle of (dx, dy) in degrees, 0 <= angle < 360, turning from +x towards +y.
double AngleOf(double dx, double dy) {
    constexpr double DegreesPerRadian = 57.295779513082320876798154814105;  // 180 / pi
    double angle = std::atan2(dy, dx) * DegreesPerRadian;
    return angle < 0.0 ? angle + 360.0 : angle;
}

bool InLeftWing(double x, double y) {
    if (x > WingCutX) return false;
    double dx = x - LeftWingCenterX;
    double dy = y - WingCenterY;
    double angle = AngleOf(dx, dy);
    if (angle < WingFirstAngle || angle > WingLastAngle) return false;
    TablePosition at = PositionOf(angle);
    const WingRow& a = wingTable[at.row];
    const WingRow& b = wingTable[at.row + (at.fraction > 0.0 ? 1 : 0)];
    double r = std::sqrt(dx * dx + dy * dy);
    return r >= Lerp(a.innerRadius, b.innerRadius, at.fraction) &&
           r <= Lerp(a.outerRadius, b.outerRadius, at.fraction);
}

bool InDot(double x, double y) {
    double dx = x - DotCenter;
    double dy = y - DotCenter;
    return dx * dx + dy * dy <= DotRadius * DotRadius;
}

// Each channel interpolated in angle and rounded to the nearest integer.
Rgb WingColor(Rgb WingRow::*side, double angle) {
    TablePosition at = PositionOf(angle);
    const Rgb& a = wingTable[at.row].*side;
    const Rgb& b = wingTable[at.row + (at.fraction > 0.0 ? 1 : 0)].*side;
    Rgb color{};
    for (std::size_t c = 0; c < color.size(); ++c)
        color[c] = static_cast<std::uint8_t>(std::floor(Lerp(a[c], b[c], at.fraction) + 0.5));
    return color;
}

}  // namespace

ReticleShape ShapeAt(double x, double y) {
    if (InDot(x, y)) return ReticleShape::Dot;
    if (InLeftWing(x, y)) return ReticleShape::LeftWing;
    if (InLeftWing(MirrorSum - x, y)) return ReticleShape::RightWing;
    return ReticleShape::None;
}

Rgb ShapeColor(ReticleShape shape, double x, double y) {
    switch (shape) {
    case ReticleShape::Dot:
        return DotColor;
    case ReticleShape::LeftWing:
        return WingColor(&WingRow::left, AngleOf(x - LeftWingCenterX, y - WingCenterY));
    case ReticleShape::RightWing:
        // Measured from -x around (171, 128): the angle of the mirrored point on the left.
        return WingColor(&WingRow::right,
                         AngleOf(MirrorSum - x - LeftWingCenterX, y - WingCenterY));
    case ReticleShape::None:
        break;
    }
    return {0, 0, 0};
}
