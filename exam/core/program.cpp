#include "core/program.h"

#include "common/fonts.h"
#include "common/guardkey.h"
#include "core/frmstart.h"
#include "core/globals.h"
#include "core/msgbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QIcon>
#include <QLibraryInfo>
#include <QPainter>
#include <QProxyStyle>
#include <QSettings>
#include <QSharedMemory>
#include <QTranslator>
#include <cstdio>
#include <cstring>

bool takeInstanceGuard(QSharedMemory &guard)
{
    guard.setKey(examGuardKey());
    // Attaching and detaching drops a segment whose holders are all gone;
    // a live copy keeps it attached.
    if (guard.attach())
        guard.detach();
    return guard.create(kGuardSize, QSharedMemory::ReadWrite);
}

const QString kMsgSecondCopy = QStringLiteral("لا يمكن فتح أكثر من نسخة من برنامج الاختبار    ");

bool takeGuardOrRefuse(QSharedMemory &guard)
{
    if (takeInstanceGuard(guard))
        return true;
    showMessage(kMsgSecondCopy);
    return false;
}

QString labelFromSettings(QString label)
{
    static const QString pair = QStringLiteral("::");
    while (label.startsWith(pair))
        label.remove(0, 2);
    label.replace(pair, QStringLiteral("\n"));
    return label;
}

void readHandOver()
{
    settings->sync();
    Url_php = settings->value(QStringLiteral("url"), kDefaultExamUrl).toString();
    nickname = settings->value(QStringLiteral("nickname"), QStringLiteral("nickname")).toString();
    nameVelmar = labelFromSettings(
        settings->value(QStringLiteral("nameVelmar"), QStringLiteral("nameVelmar")).toString());
    mail = settings->value(QStringLiteral("email"), QStringLiteral("mail")).toString();
    id_user = settings->value(QStringLiteral("id_user"), QStringLiteral("0")).toString().toInt();
    grpVelmar = settings->value(QStringLiteral("group"), QString()).toString();
    type_user = settings->value(QStringLiteral("type_user"), QStringLiteral("0")).toString().toInt();
}

static QString styleSheetText()
{
    QFile file(QStringLiteral(":/Resources/stylesheet.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromLatin1(bytes);
}

namespace {

// Draws texts from the left. A painter takes the application's direction,
// whatever the widget's.
class LeftToRightTexts : public QProxyStyle
{
public:
    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette,
                      bool enabled, const QString &text, QPalette::ColorRole role) const override
    {
        const Qt::LayoutDirection direction = painter->layoutDirection();
        painter->setLayoutDirection(Qt::LeftToRight);
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
        painter->setLayoutDirection(direction);
    }
};

// Qt's file dialogs show the folder they look in as a path, which reads from
// the left ("/home/..."), also in a right-to-left dialog.
class PathsLeftToRight : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto *dialog = qobject_cast<QFileDialog *>(watched);
        auto *folder = dialog ? dialog->findChild<QComboBox *>(QStringLiteral("lookInCombo")) : nullptr;
        if (folder && folder->layoutDirection() != Qt::LeftToRight) {
            folder->setLayoutDirection(Qt::LeftToRight);
            auto *style = new LeftToRightTexts;
            style->setParent(folder);
            folder->setStyle(style);
        }
        return false;
    }
};

} // namespace

void dressApplication(QApplication &app)
{
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Resources/Internet.png")));
    app.setStyleSheet(styleSheetText());
    // Qt's own texts (standard buttons, the file and print dialogs) in
    // Arabic, from the translations installed with Qt.
    static QTranslator *qtTexts = new QTranslator(&app);
    QCoreApplication::removeTranslator(qtTexts);
    if (qtTexts->load(QStringLiteral("qt_ar"), QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    // The program's own texts that go through tr(), such as the caption of
    // the save dialogs.
    static QTranslator *ownTexts = new QTranslator(&app);
    QCoreApplication::removeTranslator(ownTexts);
    if (ownTexts->load(QStringLiteral(":/Resources/Languages/arabic.qm")))
        QCoreApplication::installTranslator(ownTexts);
    static PathsLeftToRight *paths = nullptr;
    if (!paths) {
        paths = new PathsLeftToRight(&app);
        app.installEventFilter(paths);
    }
    QApplication::setLayoutDirection(Qt::RightToLeft);
    useProgramFonts();
}

int tallivorMain(int argc, char **argv)
{
    // The classroom client reads this answer byte for byte; it needs no
    // display, so it comes before the application object.
    if (argc >= 2 && std::strcmp(argv[1], "-v") == 0) {
        const QByteArray version = ver.toLatin1();
        std::fwrite(version.constData(), 1, size_t(version.size()), stdout);
        std::fflush(stdout);
        return 0;
    }
    useFormFontResolution();
    QApplication app(argc, argv);
    readHandOver();
    dressApplication(app);

    QSharedMemory guard;
    if (!takeGuardOrRefuse(guard))
        return 0;
    QDir::home().mkpath(QStringLiteral(".imtihan"));

    frmstart = new FrmStart(nullptr);
    frmstart->show();
    const int result = app.exec();
    guard.detach();
    return result;
}

int tallivor_main(int argc, char **argv)
{
    return tallivorMain(argc, argv);
}
