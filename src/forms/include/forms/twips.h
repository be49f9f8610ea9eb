#pragma once

class QWidget;

namespace forms {

// Layout unit of the screen model: 1440 twips per logical inch, so 15 twips per pixel at
// 96 dpi. Conversions use the logical dpi of the widget's screen (primary screen when null).
int TwipsToPixelsX(int twips, const QWidget* reference = nullptr);
int TwipsToPixelsY(int twips, const QWidget* reference = nullptr);
double PixelsToTwipsX(double pixels, const QWidget* reference = nullptr);
double PixelsToTwipsY(double pixels, const QWidget* reference = nullptr);

// Sets widget's geometry from twips, relative to its parent (a frame or a form).
void Place(QWidget* widget, int left, int top, int width, int height);

}  // namespace forms
