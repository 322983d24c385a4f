#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

// What stands in for the platform's bitmap-font calls: glyphs rendered by Qt
// into display lists of glBitmap calls, and their advance widths.
namespace host {

// A font whose character cell (ascent + descent) is height pixels, as the
// platform's font call takes a positive height.
QFont CreateFont(int height, int weight, const QString& face);

// List listBase + k draws character first + k at the raster position (baseline
// left) and moves the raster position by its advance. A context is current.
void UseFontBitmaps(const QFont& font, unsigned first, unsigned count, unsigned listBase);

// Advance widths in pixels of the characters first .. last into widths.
void GetCharWidths(const QFont& font, unsigned first, unsigned last, std::int32_t* widths);

}  // namespace host
