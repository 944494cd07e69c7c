#include "mainwindow/appquit.h"

#include <QCoreApplication>

namespace {
std::function<void()> quitHandler;
}

void quitApplication()
{
    if (quitHandler) {
        const std::function<void()> handler = quitHandler;
        handler();
        return;
    }
    QCoreApplication::quit();
}

void setQuitHandler(std::function<void()> handler) { quitHandler = std::move(handler); }
