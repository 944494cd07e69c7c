// Reading the picture lists of the programs' resources in tests.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

// The files that a .qrc file lists, in order, as written in it (paths below
// the resource prefix).
QStringList listedResources(const QString &qrcFile);

// The picture of ":/Resources/" + path, or a null image.
QImage resourcePicture(const QString &path);

// Number of pixels of exactly this colour (alpha ignored) inside rect.
int countColour(const QImage &image, QRgb colour, const QRect &rect);
