#pragma once

#include <QRectF>

class QPainter;

// The console's logo: the front of an annunciator panel, twelve windows of
// which three are lit. Its width is Aspect times its height.
namespace ReportLogo {
constexpr double Aspect = 172.0 / 148.0;
// Draws the logo filling rect (device pixels).
void Draw(QPainter& painter, const QRectF& rect);
} // namespace ReportLogo
