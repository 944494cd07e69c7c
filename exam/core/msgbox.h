// The exam program's message box and exam-date test.
#pragma once

#include <QDateTime>
#include <QMessageBox>
#include <QString>

// Title of the exam program's messages.
extern const QString kMsgTitle; // "رسالة"

// A modal message box, right to left, with the program's background and
// Arabic captions; returns the standard button pressed. It stays above the
// exam sheet while one is shown, and opens beside an open wait box, never
// over it.
int MsgBox(const QString &title, const QString &text, QMessageBox::Icon icon,
           QMessageBox::StandardButton button0 = QMessageBox::Ok,
           QMessageBox::StandardButton button1 = QMessageBox::NoButton,
           QMessageBox::StandardButton button2 = QMessageBox::NoButton,
           QWidget *parent = nullptr);

// Gives a message box the look and place of MsgBox's boxes.
void dressMessageBox(QMessageBox *box);
// Moves a box that is about to show beside the open wait box (below it, or
// above when the screen has no room below), so that the two do not overlap.
void placeBesideWaitBox(QWidget *box);

// The usual message: title "رسالة", information icon, one Ok button.
void showMessage(const QString &text);

// Seconds from the server time (sDateServer) to start plus minutes: positive
// while the exam is not over; 0 when a time does not parse.
qint64 TestDate(int minutes, const QDateTime &start);
