// The base of the login forms (member, connecting and waiting forms).
#pragma once

#include <QDialog>

class QKeyEvent;

// Without the context-help button, in the language's layout direction, on
// the forms' background picture; Escape does not close it.
class LoginForm : public QDialog
{
    Q_OBJECT
public:
    explicit LoginForm(QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
