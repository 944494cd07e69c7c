#include "protocol/privatemessages.h"

#include "mainwindow/frmpm.h"
#include "protocol/helpers.h"
#include "protocol/mymessage.h"
#include "protocol/pure/privatemessages.h"
#include "protocol/state.h"

#include <QApplication>

namespace {

void receive(const QString &body)
{
    IncomingMessage message;
    if (!parseIncomingMessage(body, &message))
        return;
    const int i = FindPM(message.sender);
    if (i >= 0) {
        FrmPM *window = frmPMs.at(i);
        window->insertxt(message.text);
        QApplication::alert(window, 0);
        return;
    }
    openPM(message.sender)->insertxt(message.text);
}

} // namespace

void PMUsr(const QString &name, const QString &body)
{
    if (name == QLatin1String("pm")) {
        receive(body);
    } else if (name == QLatin1String("ok") || name == QLatin1String("block")) {
        // The body names the peer.
        answerPM(body, false, name == QLatin1String("ok"));
        const int i = FindPM(body);
        if (i >= 0) {
            FrmPM *window = frmPMs.at(i);
            QApplication::alert(window, 0);
            window->setFocustxt();
        }
    } else if (name == QLatin1String("non") || name == QLatin1String("lock")) {
        // The body need not name the peer: then the answer is to the oldest
        // message still waiting. Settled before the box, whose loop may
        // deliver further answers.
        answerPM(body, true, false);
        MsgBox(GeTranslate(MyMessage::GeTitle()),
               GeTranslate(name == QLatin1String("non") ? MyMessage::GeNoMsgPM()
                                                        : MyMessage::GePMLock()),
               QMessageBox::Warning, QMessageBox::Ok);
    }
}
