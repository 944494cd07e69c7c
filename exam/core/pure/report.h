// The report record of a submitted exam, its file name and its file content.
#pragma once

#include "core/pure/reply.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The eleven fields, in record order. Numbers are kept in decimal text.
struct ReportRecord
{
    QString stamp;    // save time, "yyyy-MM-dd_hh.mm.ss"
    QString nickname;
    QString mail;
    QString idUser;
    QString label;    // the institute label
    QString group;
    QString examId;
    QString cohort;
    QString classNo;
    QString title;
    QString answers;  // the answers text
};

constexpr int kReportFields = 11;
// Bounds of a report file that readers accept. Its text carries one answers
// text, which the endpoint hands back in a reply: no longer than a reply.
constexpr int kMaxReportFileSize = 1 << 20;
constexpr int kMaxReportTextSize = int(kMaxReplySize);

// "yyyy-MM-dd_hh.mm.ss".
QString reportStamp(const QDateTime &when);

// The record text: the eleven fields joined by "<::>". A "<::>" inside one of
// the first ten fields is written as "<:>", so the answers stay the last field.
QString reportRecordText(const ReportRecord &record);
// The fields of a record text: the first ten, then everything after the tenth
// "<::>" as the answers; nothing when there are fewer than eleven fields.
std::optional<ReportRecord> readReportRecord(const QString &text);

// The file name: the title with blanks as "_", "_الفوج" cohort "_الفصل" class,
// with ":", ";", ",", "\", "?", "/" and control characters as "_", then "_",
// the stamp and ".im". A leading "." becomes "_" and the title is shortened
// so that the name stays within maxBytes bytes of UTF-8 (the file system's
// longest name).
QString reportFileName(const QString &title, const QString &cohort, const QString &classNo,
                       const QString &stamp, int maxBytes = 255);

// The file content: the record text as UTF-8, compressed with qCompress.
QByteArray compressReport(const QString &recordText);
// The record text of a file content, whole (a NUL typed into an answer stays
// in it); nothing when the content is too large, does not decompress or is
// not of the declared size.
std::optional<QString> decompressReport(const QByteArray &file);

// Data in the qCompress format (a 4-byte big-endian length, then a zlib
// stream), inflated with a hard cap: nothing when the stream is damaged or
// unfinished, or would give more than maxBytes. Never holds more than
// maxBytes + 1 bytes, whatever the declared length says.
std::optional<QByteArray> uncompressBounded(const QByteArray &data, int maxBytes);
