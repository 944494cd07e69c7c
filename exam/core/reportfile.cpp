#include "core/reportfile.h"

#include "core/pure/report.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <unistd.h>

QString reportFolder() { return QDir::homePath() + QStringLiteral("/.imtihan"); }

QString desktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

namespace {

// The longest file name the folder's file system takes, in bytes.
int nameLimit(const QString &folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 && limit < 255 ? int(limit) : 255;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QString writeReportFile(const ReportRecord &record, QStringList *failed, QStringList *written)
{
    QStringList done;
    const QString folder = reportFolder();
    const bool folderMade = QDir().mkpath(folder);
    const QString desktop = desktopFolder();
    const bool desktopThere = !desktop.isEmpty() && QFileInfo(desktop).isDir();
    int limit = folderMade ? nameLimit(folder) : 255;
    if (desktopThere)
        limit = qMin(limit, nameLimit(desktop));
    const QString name =
        reportFileName(record.title, record.cohort, record.classNo, record.stamp, limit);
    const QByteArray bytes = compressReport(reportRecordText(record));

    const QString path = folder + QLatin1Char('/') + name;
    if (!folderMade)
        *failed << folder;
    else if (!writeFile(path, bytes))
        *failed << path;
    else
        done << path;

    if (!desktopThere) {
        *failed << (desktop.isEmpty() ? QDir::homePath() + QStringLiteral("/Desktop") : desktop);
    } else {
        const QString copy = desktop + QLatin1Char('/') + name;
        if (!QFileInfo::exists(copy)) {
            if (writeFile(copy, bytes))
                done << copy;
            else
                *failed << copy;
        }
    }
    if (written)
        *written = done;
    return name;
}
