#include "forms/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace forms {
namespace {

constexpr double kTwipsPerInch = 1440.0;

double DpiX(const QWidget* reference) {
    if (reference) return reference->logicalDpiX();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double DpiY(const QWidget* reference) {
    if (reference) return reference->logicalDpiY();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

}  // namespace

int TwipsToPixelsX(int twips, const QWidget* reference) {
    return static_cast<int>(std::lround(twips * DpiX(reference) / kTwipsPerInch));
}

int TwipsToPixelsY(int twips, const QWidget* reference) {
    return static_cast<int>(std::lround(twips * DpiY(reference) / kTwipsPerInch));
}

double PixelsToTwipsX(double pixels, const QWidget* reference) {
    return pixels * kTwipsPerInch / DpiX(reference);
}

double PixelsToTwipsY(double pixels, const QWidget* reference) {
    return pixels * kTwipsPerInch / DpiY(reference);
}

void Place(QWidget* widget, int left, int top, int width, int height) {
    const int x = TwipsToPixelsX(left, widget);
    const int y = TwipsToPixelsY(top, widget);
    // Right and bottom edges are rounded, not the sizes, so that neighbours stay adjacent.
    const int w = TwipsToPixelsX(left + width, widget) - x;
    const int h = TwipsToPixelsY(top + height, widget) - y;
    widget->setGeometry(x, y, w, h);
}

}  // namespace forms
