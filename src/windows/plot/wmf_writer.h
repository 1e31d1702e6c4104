#pragma once
// A paint device that records what is painted on it as a placeable Windows metafile
// (16-bit, non-enhanced, with the Aldus header): lines and polylines, polygons,
// rectangles, ellipses and text with its font and colour. Anything a QPainter draws can
// go there, so a chart is rendered into it with the code that draws it on screen:
//
//     WmfDevice device(width, height);
//     QPainter painter(&device);
//     ... paint ...
//     painter.end();
//     device.save(fileName);
//
// Coordinates are in device pixels at 96 per inch; the file stores them at four units
// per pixel. Images are not recorded.
#include <QByteArray>
#include <QPaintDevice>
#include <QString>
#include <memory>

namespace lumerad {

class WmfPaintEngine;

class WmfDevice : public QPaintDevice {
public:
    WmfDevice(int width, int height);
    ~WmfDevice() override;

    QPaintEngine* paintEngine() const override;
    // The complete file; valid after the painter has ended.
    QByteArray data() const;
    // Writes the file; false (with a reason in *error) when it cannot be written.
    bool save(const QString& fileName, QString* error = nullptr) const;

    static constexpr int kDpi = 96;
    static constexpr int kUnitsPerPixel = 4;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int width_, height_;
    std::unique_ptr<WmfPaintEngine> engine_;
};

}  // namespace lumerad
