// Writes a QImage as a baseline JPEG through libjpeg.
#pragma once

#include <QImage>
#include <QString>

namespace saberline::assets {

// Encodes `image` (any format; alpha is dropped) at the given quality
// (1..100) with full-resolution colour (no chroma subsampling), so that
// thin coloured lines stay crisp. Returns false and fills `error` on failure.
bool WriteJpeg(const QImage& image, const QString& path, int quality, QString* error);

}  // namespace saberline::assets
