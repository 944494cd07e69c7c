// What the login tests set up as the program start does, and take down after
// each test: the socket object, the hidden main window, the login forms, the
// launcher, the answers to message boxes and the count of quits.
#pragma once

#include "common/hooks.h"
#include "mainwindow/frmserr.h"
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "startup/dialog.h"
#include "startup/frmconnect.h"
#include "startup/frmmember.h"
#include "startup/frmwait.h"
#include "support/modal.h"
#include "support/programs.h"

#include <QApplication>
#include <QTcpSocket>

#include <memory>

struct LoginWorld
{
    // Once per test program.
    void start()
    {
        hooks::setQuitHandler([this] { ++quits; });
        // A quit posted when a test closes its last window would end the
        // event loops of the tests that follow.
        QApplication::setQuitOnLastWindowClosed(false);
        indexLang = 2;
        sck = new Wsk;
        FrmUser::keepAlivePeriod = 3600 * 1000;
        launcherFolder = programs.path();
        launcherTimes.versionDelayMs = 3600 * 1000;
    }

    // Before each test: the main window of the program start, hidden.
    void open()
    {
        answers = std::make_unique<ModalAnswerer>();
        quits = 0;
        wait_frmuser = false;
        loginTimes = LoginTimes();
        frmusr = new FrmUser(nullptr);
    }

    // A launcher made by the test, known as Dialg and shown.
    Dialog *showLauncher()
    {
        launcher = std::make_unique<Dialog>();
        Dialg = launcher.get();
        Dialg->show();
        return Dialg;
    }

    // After each test: every login window gone, the connection closed.
    void close()
    {
        delete frmConnect;
        delete frmwait;
        delete frmembre;
        delete frmusr;
        delete frmserr;
        launcher.reset();
        Dialg = nullptr;
        sck->socket()->abort();
        CloseSocket();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        answers.reset();
    }

    std::unique_ptr<ModalAnswerer> answers;
    std::unique_ptr<Dialog> launcher;
    FakeProgramFolder programs; // the exam program the launcher asks for its version
    int quits = 0;
};
