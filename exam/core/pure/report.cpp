#include "core/pure/report.h"

#include "core/pure/pagetext.h"

#include <QVector>
#include <zlib.h>

namespace {

const QString kSep = QStringLiteral("<::>");

QString fieldText(const QString &field)
{
    QString out = field;
    while (out.contains(kSep))
        out.replace(kSep, QStringLiteral("<:>"));
    return out;
}

bool isUnsafeInName(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f || c == QLatin1Char(':')
           || c == QLatin1Char(';') || c == QLatin1Char(',') || c == QLatin1Char('\\')
           || c == QLatin1Char('?') || c == QLatin1Char('/');
}

} // namespace

QString reportStamp(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd_hh.mm.ss"));
}

QString reportRecordText(const ReportRecord &r)
{
    const QStringList head = {r.stamp, r.nickname, r.mail, r.idUser, r.label,
                              r.group, r.examId,   r.cohort, r.classNo, r.title};
    QString out;
    for (const QString &field : head)
        out += fieldText(field) + kSep;
    return out + r.answers;
}

std::optional<ReportRecord> readReportRecord(const QString &text)
{
    QVector<QString> f;
    int from = 0;
    while (f.size() < kReportFields - 1) {
        const int at = text.indexOf(kSep, from);
        if (at < 0)
            return std::nullopt;
        f.append(text.mid(from, at - from));
        from = at + kSep.size();
    }
    return ReportRecord{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9],
                        text.mid(from)};
}

QString reportFileName(const QString &title, const QString &cohort, const QString &classNo,
                       const QString &stamp, int maxBytes)
{
    QString name = title;
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    QString tail = QString::fromUtf8("_الفوج") + cohort + QString::fromUtf8("_الفصل") + classNo;
    for (QString *part : {&name, &tail}) {
        for (QChar &c : *part) {
            if (isUnsafeInName(c))
                c = QLatin1Char('_');
        }
    }
    tail += QLatin1Char('_') + stamp + QStringLiteral(".im");
    // Shorten the title, never the stamp, to what the file system takes.
    int room = maxBytes - tail.toUtf8().size();
    int keep = 0;
    while (keep < name.size() && room > 0) {
        const bool pair = name.at(keep).isHighSurrogate() && keep + 1 < name.size()
                          && name.at(keep + 1).isLowSurrogate();
        const ushort u = name.at(keep).unicode();
        const int width = pair ? 4 : u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
        if (width > room)
            break;
        room -= width;
        keep += pair ? 2 : 1;
    }
    name.truncate(keep);
    name += tail;
    if (name.startsWith(QLatin1Char('.')))
        name[0] = QLatin1Char('_');
    return name;
}

QByteArray compressReport(const QString &recordText)
{
    return qCompress(recordText.toUtf8());
}

std::optional<QByteArray> uncompressBounded(const QByteArray &data, int maxBytes)
{
    if (data.size() <= 4 || maxBytes < 0)
        return std::nullopt;
    z_stream zs = {};
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData() + 4));
    zs.avail_in = uInt(data.size() - 4);
    if (inflateInit(&zs) != Z_OK)
        return std::nullopt;
    // The output grows with what the stream gives, up to one byte past the
    // cap, which tells a stream that goes on past it: a length announced in
    // the data allocates nothing by itself.
    const int limit = maxBytes + 1;
    QByteArray out(qMin(limit, qMax(1 << 16, (data.size() - 4) * 4)), Qt::Uninitialized);
    int result = Z_OK;
    for (;;) {
        zs.next_out = reinterpret_cast<Bytef *>(out.data()) + zs.total_out;
        zs.avail_out = uInt(out.size() - int(zs.total_out));
        result = inflate(&zs, Z_NO_FLUSH);
        if (result != Z_OK || zs.avail_out > 0 || out.size() == limit)
            break; // ended, failed, input used up, or full at the cap
        out.resize(int(qMin<qint64>(limit, qint64(out.size()) * 2)));
    }
    const qint64 produced = qint64(zs.total_out);
    inflateEnd(&zs);
    if (result != Z_STREAM_END || produced > maxBytes)
        return std::nullopt;
    out.truncate(int(produced));
    return out;
}

std::optional<QString> decompressReport(const QByteArray &file)
{
    if (file.size() <= 4 || file.size() > kMaxReportFileSize)
        return std::nullopt;
    const quint32 declared = (quint32(uchar(file.at(0))) << 24) | (quint32(uchar(file.at(1))) << 16)
                             | (quint32(uchar(file.at(2))) << 8) | quint32(uchar(file.at(3)));
    if (declared > quint32(kMaxReportTextSize))
        return std::nullopt;
    const std::optional<QByteArray> data = uncompressBounded(file, int(declared));
    if (!data || data->size() != int(declared))
        return std::nullopt;
    return QString::fromUtf8(data->constData(), data->size());
}
