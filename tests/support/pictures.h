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

// The columns path, width and height of a picture table, and one row of it.
void addPictureColumns();
void addPictureRow(const char *path, int width, int height);
void addPictureRow(const QString &path, int width, int height);

// Checks, in the running test, that every listed picture loads.
void checkListedPicturesLoad(const QStringList &listed);

// Checks, in the running test, that path is in listed, loads from the
// resources, and has the given width and height (0: any).
void checkPicture(const QStringList &listed, const QString &path, int width, int height);

// Number of pixels of exactly this colour (alpha ignored) inside rect.
int countColour(const QImage &image, QRgb colour, const QRect &rect);
