#pragma once

#include <QString>

#include <optional>

// Colour contrast as WCAG 2.x measures it: the relative luminance of sRGB colours and
// the ratio (lighter + 0.05) / (darker + 0.05), from 1 (same colour) to 21 (black on
// white).
namespace Contrast {

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
};

// What normal text needs, and large text (18 pt, or 14 pt bold, and up).
constexpr double normalTextMinimum = 4.5;
constexpr double largeTextMinimum = 3.0;

// The colour of "#RRGGBB"; nothing for any other text.
std::optional<Rgb> fromHtml(QStringView text);

double relativeLuminance(Rgb colour);
double ratio(Rgb first, Rgb second);

// "4.48:1" with two decimals, never rounded up to the minimum it fell short of: a
// ratio of 4.497 is shown as 4.49:1, not as the 4.50:1 it failed.
QString formatRatio(double ratio, double minimum);

}
