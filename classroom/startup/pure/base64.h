// Base64 with the standard alphabet and "=" padding.
#pragma once

#include <QByteArray>

// The 64-character alphabet, A-Z a-z 0-9 + /.
extern const QByteArray base64_chars;

// Encodes the first length bytes (clamped to the input) without line breaks.
QByteArray base64_encode(const QByteArray &bytes, int length);
// Decodes up to the end, the first "=" or the first character outside the
// alphabet; padding is optional and a last lone character gives nothing.
QByteArray base64_decode(const QByteArray &text);
