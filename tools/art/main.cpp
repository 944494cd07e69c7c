// Draws every picture of both programs and writes them, with a pictures.qrc
// per program, into classroom/resources and exam/resources.
//
// Usage: artdraw REPOSITORY_ROOT

#include "art.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMap>
#include <QTextStream>

#include <cstdio>

namespace {

class FolderSink : public art::Sink
{
public:
    explicit FolderSink(const QString &root) : root(root) {}

    void png(int programs, const QString &path, const QImage &image) override
    {
        // Pictures without transparency are stored as plain RGB.
        QImage out = image.hasAlphaChannel() && !opaque(image) ? image.convertToFormat(QImage::Format_ARGB32)
                                                               : image.convertToFormat(QImage::Format_RGB32);
        store(programs, path, [&](const QString &file) {
            QImageWriter writer(file, "png");
            writer.setQuality(0); // strongest compression
            return writer.write(out);
        });
    }

    void jpg(int programs, const QString &path, const QImage &image) override
    {
        const QImage out = image.convertToFormat(QImage::Format_RGB32);
        store(programs, path, [&](const QString &file) {
            QImageWriter writer(file, "jpeg");
            writer.setQuality(92);
            return writer.write(out);
        });
    }

    void gif(int programs, const QString &path, const QByteArray &bytes) override
    {
        store(programs, path, [&](const QString &file) {
            QFile f(file);
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        });
    }

    bool writeQrcFiles()
    {
        bool ok = true;
        for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
            QStringList files = it.value();
            files.sort();
            QFile f(root + "/" + it.key() + "/resources/pictures.qrc");
            if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
                ok = false;
                continue;
            }
            QTextStream out(&f);
            out << "<RCC>\n  <qresource prefix=\"/Resources\">\n";
            for (const QString &file : files)
                out << "    <file>" << file << "</file>\n";
            out << "  </qresource>\n</RCC>\n";
        }
        return ok;
    }

    int failures = 0;
    int written = 0;

private:
    static bool opaque(const QImage &image)
    {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x)
                if (qAlpha(line[x]) != 255)
                    return false;
        }
        return true;
    }

    template <typename Write> void store(int programs, const QString &path, Write write)
    {
        const struct
        {
            int flag;
            const char *folder;
        } targets[] = {{art::Classroom, "classroom"}, {art::Exam, "exam"}};
        for (const auto &t : targets) {
            if (!(programs & t.flag))
                continue;
            const QString file = root + "/" + t.folder + "/resources/" + path;
            QDir().mkpath(QFileInfo(file).absolutePath());
            if (!write(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                ++failures;
                continue;
            }
            if (listed[t.folder].contains(path)) {
                std::fprintf(stderr, "drawn twice: %s\n", qPrintable(path));
                ++failures;
            }
            listed[t.folder] << path;
            ++written;
        }
    }

    QString root;
    QMap<QString, QStringList> listed;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: artdraw REPOSITORY_ROOT\n");
        return 2;
    }
    const QString root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QDir fonts(root + "/common/fonts");
    for (const QString &file : fonts.entryList({"*.ttf"}, QDir::Files, QDir::Name)) {
        if (QFontDatabase::addApplicationFont(fonts.filePath(file)) < 0) {
            std::fprintf(stderr, "cannot load font %s\n", qPrintable(file));
            return 1;
        }
    }

    FolderSink sink(root);
    art::drawLauncher(sink);
    art::drawIcons(sink);
    art::drawPeople(sink);
    art::drawRoom(sink);
    art::drawExam(sink);
    art::drawKeyboard(sink);
    if (!sink.writeQrcFiles())
        ++sink.failures;
    std::printf("%d pictures written\n", sink.written);
    return sink.failures == 0 ? 0 : 1;
}
