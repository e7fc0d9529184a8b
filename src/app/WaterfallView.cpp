#include "WaterfallView.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace keytoner {

namespace {

constexpr int HistoryRows = 160;   // a little over three seconds at 50 rows a second
constexpr float BottomDb = -75.0f; // black below this: a 65 dB range reads best
constexpr float TopDb = -10.0f;    // white above
constexpr int ScaleHeight = 16;    // the kHz marks under the picture

// Black, blue, red, yellow, white: the usual ramp, easy to read on any screen.
QRgb colourFor(float db)
{
    static const QColor stops[] = {Qt::black, QColor(0, 0, 200), QColor(200, 0, 0),
                                   QColor(255, 220, 0), Qt::white};
    const float t = std::clamp((db - BottomDb) / (TopDb - BottomDb), 0.0f, 1.0f) * 4.0f;
    const int i = std::min(3, int(t));
    const float f = t - float(i);
    const QColor &a = stops[i];
    const QColor &b = stops[i + 1];
    return qRgb(int(a.red() + (b.red() - a.red()) * f),
                int(a.green() + (b.green() - a.green()) * f),
                int(a.blue() + (b.blue() - a.blue()) * f));
}

} // namespace

WaterfallView::WaterfallView(int bands, double topHz, QWidget *parent)
    : QWidget(parent), picture_(std::max(1, bands), HistoryRows, QImage::Format_RGB32),
      topHz_(topHz)
{
    picture_.fill(Qt::black);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 100);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize WaterfallView::sizeHint() const
{
    return {360, HistoryRows + ScaleHeight};
}

void WaterfallView::addRow(const std::vector<float> &levelsDb)
{
    const auto rowBytes = std::size_t(picture_.bytesPerLine());
    std::memmove(picture_.scanLine(1), picture_.constScanLine(0),
                 rowBytes * std::size_t(picture_.height() - 1));
    auto *top = reinterpret_cast<QRgb *>(picture_.scanLine(0));
    for (int x = 0; x < picture_.width(); ++x)
        top[x] =
            std::size_t(x) < levelsDb.size() ? colourFor(levelsDb[std::size_t(x)]) : qRgb(0, 0, 0);
    rowsShown_ = std::min(rowsShown_ + 1, picture_.height());
}

void WaterfallView::clear()
{
    picture_.fill(Qt::black);
    rowsShown_ = 0;
    update();
}

QRect WaterfallView::pictureRect() const
{
    return rect().adjusted(0, 0, 0, -ScaleHeight);
}

void WaterfallView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = pictureRect();
    painter.drawImage(area, picture_);
    const QRect scale(0, area.bottom() + 1, width(), ScaleHeight);
    painter.fillRect(scale, palette().window());
    painter.setPen(palette().windowText().color());
    const int kilohertz = int(topHz_ / 1000.0);
    for (int k = 0; k <= kilohertz; ++k) {
        const int x = std::min(width() - 1, int(std::lround(k * 1000.0 / topHz_ * (width() - 1))));
        painter.drawLine(x, scale.top(), x, scale.top() + 3);
        const QString text = k == kilohertz ? QStringLiteral("%1 kHz").arg(k) : QString::number(k);
        const int textWidth = painter.fontMetrics().horizontalAdvance(text);
        const int left = std::clamp(x - textWidth / 2, 0, width() - textWidth);
        painter.drawText(QRect(left, scale.top() + 2, textWidth, ScaleHeight - 2),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}

} // namespace keytoner
