#include "platform/devicepicture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace kivaro {

namespace {

constexpr QRgb RgbMask = 0x00ffffff; // the key is a colour: alpha plays no part
constexpr float Opaque = 255.0f;
// A device pixel at least this much covered by the picture's own pixels shows them; less, it is a
// hole (the same half the window's outline takes for its edge pixels).
constexpr float HalfCovered = Opaque / 2;
// Coordinates this close to a whole number are taken as whole.
constexpr double Snap = 1e-9;

using Pixel = std::array<float, 4>; // premultiplied red, green, blue, alpha

struct Tap
{
    int index;
    float weight;
};

// Which picture pixels make up each device pixel along one axis, and how much each counts.
class AxisTaps
{
public:
    AxisTaps(double origin, double deviceScale, double pictureScale, int length, bool blend)
    {
        const double logicalLength = length / pictureScale;
        m_first = static_cast<int>(std::floor(origin + Snap));
        const int end = static_cast<int>(std::ceil(origin + logicalLength * deviceScale - Snap));
        m_count = std::max(0, end - m_first);
        m_taps.resize(static_cast<std::size_t>(m_count));
        // Picture pixels per device pixel.
        const double step = pictureScale / deviceScale;
        for (int i = 0; i < m_count; ++i) {
            const double deviceStart = m_first + i - origin;
            auto &taps = m_taps[static_cast<std::size_t>(i)];
            if (blend) {
                // Blended between the two pixels whose centres lie on either side of this one's.
                const double centre = (deviceStart + 0.5) * step - 0.5;
                const double below = std::floor(centre + Snap);
                const auto fraction = static_cast<float>(std::max(0.0, centre - below));
                add(taps, clampIndex(static_cast<int>(below), length), 1.0f - fraction);
                add(taps, clampIndex(static_cast<int>(below) + 1, length), fraction);
                continue;
            }
            // Averaged over the part of the picture the device pixel covers; beyond the picture's
            // edge its edge pixels stand in.
            const double start = std::clamp(deviceStart * step, 0.0, double(length));
            const double stop = std::clamp((deviceStart + 1) * step, 0.0, double(length));
            if (stop - start <= Snap) {
                add(taps, clampIndex(static_cast<int>(std::floor(deviceStart * step)), length), 1.0f);
                continue;
            }
            for (int p = static_cast<int>(std::floor(start + Snap)); p < stop - Snap; ++p) {
                const double covered = std::min(stop, p + 1.0) - std::max(start, double(p));
                add(taps, p, static_cast<float>(covered / (stop - start)));
            }
        }
    }

    int first() const { return m_first; }
    int count() const { return m_count; }
    const std::vector<Tap> &at(int i) const { return m_taps[static_cast<std::size_t>(i)]; }

private:
    static int clampIndex(int index, int length) { return std::clamp(index, 0, length - 1); }
    static void add(std::vector<Tap> &taps, int index, float weight)
    {
        if (weight <= 0.0f)
            return;
        for (Tap &tap : taps) {
            if (tap.index == index) {
                tap.weight += weight;
                return;
            }
        }
        taps.push_back({ index, weight });
    }

    int m_first = 0;
    int m_count = 0;
    std::vector<std::vector<Tap>> m_taps;
};

int channel(float value)
{
    return std::clamp(static_cast<int>(value + 0.5f), 0, 255);
}

} // namespace

DevicePicture resampleForDevice(const QImage &picture, qreal deviceScale, QPointF origin, Resampling how,
                                std::optional<QRgb> key)
{
    if (picture.isNull() || deviceScale <= 0)
        return {};
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    const int w = source.width();
    const int h = source.height();
    const double pictureScale = source.devicePixelRatio() > 0 ? source.devicePixelRatio() : 1.0;
    const bool blend = how == Resampling::Smooth && deviceScale > pictureScale;
    const AxisTaps columns(origin.x(), deviceScale, pictureScale, w, blend);
    const AxisTaps rows(origin.y(), deviceScale, pictureScale, h, blend);
    if (columns.count() == 0 || rows.count() == 0)
        return {};

    // Premultiplied, with the key's pixels as holes.
    std::vector<Pixel> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb rgb = line[x];
            Pixel &pixel = pixels[static_cast<std::size_t>(y) * w + x];
            if (key && (rgb & RgbMask) == (*key & RgbMask)) {
                pixel = { 0, 0, 0, 0 };
                continue;
            }
            const float alpha = static_cast<float>(qAlpha(rgb));
            const float k = alpha / Opaque;
            pixel = { qRed(rgb) * k, qGreen(rgb) * k, qBlue(rgb) * k, alpha };
        }
    }

    // Across, then down.
    const int outW = columns.count();
    const int outH = rows.count();
    std::vector<Pixel> across(static_cast<std::size_t>(h) * outW);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < outW; ++x) {
            Pixel sum { 0, 0, 0, 0 };
            for (const Tap &tap : columns.at(x)) {
                const Pixel &p = pixels[static_cast<std::size_t>(y) * w + tap.index];
                for (std::size_t c = 0; c < sum.size(); ++c)
                    sum[c] += p[c] * tap.weight;
            }
            across[static_cast<std::size_t>(y) * outW + x] = sum;
        }
    }

    QImage result(outW, outH, key ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    for (int y = 0; y < outH; ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < outW; ++x) {
            Pixel sum { 0, 0, 0, 0 };
            for (const Tap &tap : rows.at(y)) {
                const Pixel &p = across[static_cast<std::size_t>(tap.index) * outW + x];
                for (std::size_t c = 0; c < sum.size(); ++c)
                    sum[c] += p[c] * tap.weight;
            }
            if (!key) {
                line[x] = qRgba(channel(sum[0]), channel(sum[1]), channel(sum[2]), channel(sum[3]));
            } else if (sum[3] < HalfCovered) {
                line[x] = *key | ~RgbMask;
            } else {
                const float k = Opaque / sum[3];
                line[x] = qRgb(channel(sum[0] * k), channel(sum[1] * k), channel(sum[2] * k));
            }
        }
    }
    return { result, QPoint(columns.first(), rows.first()) };
}

void drawDevicePicture(QPainter &painter, const DevicePicture &picture)
{
    if (picture.image.isNull())
        return;
    // The painter's own mapping onto the device, without the caller's transformation; undone, so
    // that coordinates are the device's pixels.
    bool invertible = false;
    const QTransform toDevice = painter.worldTransform().inverted(&invertible) * painter.deviceTransform();
    const QTransform fromDevice = toDevice.inverted(&invertible);
    if (!invertible)
        return;
    painter.save();
    painter.setWorldTransform(fromDevice);
    painter.drawImage(picture.topLeft, picture.image);
    painter.restore();
}

void drawPixelDrawing(QPainter &painter, const QImage &drawing)
{
    if (paintsPixelForPixel(painter)) {
        painter.drawImage(QPoint(0, 0), drawing);
        return;
    }
    const QTransform toDevice = painter.deviceTransform();
    drawDevicePicture(
        painter,
        resampleForDevice(drawing, toDevice.m11(), QPointF(toDevice.dx(), toDevice.dy()), Resampling::Sharp));
}

bool paintsPixelForPixel(const QPainter &painter)
{
    const QTransform t = painter.deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx())
        && t.dy() == std::floor(t.dy());
}

QString twinAt2x(const QString &path)
{
    const qsizetype name = path.lastIndexOf(QLatin1Char('/')) + 1;
    qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < name)
        dot = path.size();
    return QString(path).insert(dot, QLatin1String("@2x"));
}

bool screensWantTwinsAt2x()
{
    return qGuiApp && qGuiApp->devicePixelRatio() > 1;
}

} // namespace kivaro
