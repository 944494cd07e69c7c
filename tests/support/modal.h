// Answers modal dialogs in tests: records each one and presses a scripted
// button, so no test ever blocks on a dialog.
#pragma once

#include <QDialogButtonBox>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>

struct ShownDialog
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString className;
};

class ModalAnswerer
{
public:
    // Installs itself as the modal handler until destroyed.
    ModalAnswerer();
    ~ModalAnswerer();

    // Buttons pressed, in order, for the next message boxes; when the queue is
    // empty the default button (or the only one) is pressed.
    void queue(QMessageBox::StandardButton button);
    // Runs while a dialog is "open", before it is answered (e.g. to let the
    // event loop deliver packets during a nested loop).
    void whileOpen(std::function<void(QDialog *)> action);
    // Result for dialogs that are not message boxes (default: rejected).
    void setDialogResult(int result);

    QList<ShownDialog> shown;
    // Texts of the message boxes shown so far.
    QStringList texts() const;

private:
    int answer(QDialog *dialog);
    QList<QMessageBox::StandardButton> m_queue;
    std::function<void(QDialog *)> m_whileOpen;
    int m_dialogResult = 0;
};
