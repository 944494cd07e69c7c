// The configuration file "velmar.conf": Base64 of UTF-8 text, fields split
// by "|": the web endpoint's base URL, then the default entry number.
#pragma once

#include <QByteArray>
#include <QString>

struct VelmarConfig
{
    QString baseUrl;      // queries are appended to it directly
    int defaultEntry = 0; // -1 for none
};

// Parses the file's bytes; anything malformed gives what decoded before it.
VelmarConfig parseConfig(const QByteArray &fileBytes);
