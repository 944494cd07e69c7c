// The classroom client's program start and the small helpers it shares.
#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QFontDatabase;

// The six colours of the user list, in order.
extern QList<QColor> ColorUser;
extern QFontDatabase *fontDatabase;

// The classroom client's program start; returns the event loop's exit code.
int dastrelMain(int argc, char **argv);

// A style sheet resource: its bytes up to the first NUL, read as Latin-1.
QString readStyleSheet(const QString &path);

// Reads "velmar.conf" from the folder above folder and sets GethttpServer and
// var_int; a missing or unreadable file reads as empty.
void readConfiguration(const QString &folder);

// Copies source to target when target does not exist yet.
void copyfiles(const QString &source, const QString &target);
