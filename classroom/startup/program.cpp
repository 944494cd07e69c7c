#include "startup/program.h"

#include "common/fonts.h"
#include "common/look.h"
#include "mainwindow/frmuser.h"
#include "protocol/helpers.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/dialog.h"
#include "startup/pure/config.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>

QList<QColor> ColorUser;
QFontDatabase *fontDatabase = nullptr;

namespace {
// Larger files are not configuration files; only their start is read.
constexpr qint64 kMaxConfigBytes = 65536;

QByteArray readUpToNul(const QString &path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = limit < 0 ? file.readAll() : file.read(limit);
    const int nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}
} // namespace

QString readStyleSheet(const QString &path)
{
    return QString::fromLatin1(readUpToNul(path, -1));
}

void readConfiguration(const QString &folder)
{
    const VelmarConfig config =
        parseConfig(readUpToNul(folder + QStringLiteral("/../velmar.conf"), kMaxConfigBytes));
    GethttpServer = config.baseUrl;
    var_int = config.defaultEntry;
}

void copyfiles(const QString &source, const QString &target)
{
    if (QFile::exists(target))
        return;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return;
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(in.readAll());
}

int dastrelMain(int argc, char **argv)
{
    useFormFontResolution();
    QApplication app(argc, argv);
    ColorUser << QColor(Qt::black) << QColor(Qt::blue) << QColor(Qt::darkGreen)
              << QColor(Qt::magenta) << QColor(Qt::darkRed) << QColor(Qt::red);
    const QString styleSheet = readStyleSheet(QStringLiteral(":/Resources/stylesheet.qss"));
    QDir::home().mkdir(QStringLiteral(".talvek"));
    app.setStyleSheet(styleSheet);
    app.setWindowIcon(QIcon(QStringLiteral(":/Resources/Internet.png")));
    fontDatabase = new QFontDatabase;
    useProgramFonts();
    centreDialogsInWindowArea();
    readConfiguration(QCoreApplication::applicationDirPath());

    incomingFraming().clear(); // no partial packet pending
    sck = new Wsk;
    // The main window waits hidden until a login replaces it.
    frmusr = new FrmUser(nullptr);
    Dialg = new Dialog;
    CenterWidget(Dialg);
    Dialg->show();
    return app.exec();
}
