// A small GIF89a writer for looping animations (Qt reads GIF but cannot
// write it).
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QVector>

namespace art {

// Encodes frames of one size as a looping animation, each shown for delayCs
// hundredths of a second. Partly transparent pixels are blended onto matte;
// pixels less than half opaque become transparent. At most 255 colours are
// kept (median cut) beside the transparent one.
QByteArray encodeGif(const QVector<QImage> &frames, int delayCs, const QColor &matte);

// The LZW code stream of GIF image data (before splitting into sub-blocks).
QByteArray lzwEncode(const QByteArray &indices, int minCodeSize);

} // namespace art
