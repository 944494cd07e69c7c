// What the login forms share.
#pragma once

class QDialog;
class QKeyEvent;

// Drops the context-help button, takes the language's layout direction and
// paints the forms' background picture.
void dressLoginForm(QDialog *form);

// True for the Escape key, which the login forms swallow.
bool isEscape(const QKeyEvent *event);
