#include "protocol/helpers.h"

#include "common/hooks.h"
#include "common/look.h"
#include "common/webaddress.h"
#include "protocol/state.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QWidget>

void ChangeWid()
{
    QApplication::setLayoutDirection(indexLang == 0 ? Qt::RightToLeft : Qt::LeftToRight);
}

void CenterWidget(QWidget *widget)
{
    const QRect area = windowArea();
    if (!widget || area.isEmpty())
        return;
    placeWindow(widget, centredPosition(area, widget->geometry()));
}

QPoint centredPosition(const QRect &area, const QRect &g)
{
    return QPoint((area.left() + area.right()) / 2 - (g.right() - g.left()) / 2,
                  (area.top() + area.bottom()) / 2 - (g.bottom() - g.top()) / 2);
}

void paintFormBackground(QWidget *form)
{
    paintBackground(form, QStringLiteral(":/Resources/frm/bb.png"));
}

QUrl endpointPage(const QString &file)
{
    return webPage(path_web, file);
}

QString GeTranslate(const char *key)
{
    return QCoreApplication::translate("MyMessage", key);
}

QMessageBox::StandardButton MsgBox(const QString &title, const QString &text,
                                   QMessageBox::Icon icon, QMessageBox::StandardButton b1,
                                   QMessageBox::StandardButton b2,
                                   QMessageBox::StandardButton b3)
{
    QMessageBox box(icon, title, text, QMessageBox::StandardButtons(b1 | b2 | b3), nullptr,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    static const struct
    {
        QMessageBox::StandardButton button;
        const char *key;
    } captions[] = {{QMessageBox::Ok, "Ok"},
                    {QMessageBox::Yes, "Yes"},
                    {QMessageBox::No, "No"},
                    {QMessageBox::Cancel, "Cancel"}};
    for (const auto &c : captions)
        if (QAbstractButton *b = box.button(c.button))
            b->setText(GeTranslate(c.key));
    paintFormBackground(&box);
    widenForTitle(&box);
    return QMessageBox::StandardButton(hooks::execModal(&box));
}
