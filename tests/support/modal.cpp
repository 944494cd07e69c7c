#include "support/modal.h"

#include "common/hooks.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QDialog>

ModalAnswerer::ModalAnswerer()
{
    hooks::setModalHandler([this](QDialog *d) { return answer(d); });
}

ModalAnswerer::~ModalAnswerer() { hooks::setModalHandler({}); }

void ModalAnswerer::queue(QMessageBox::StandardButton button) { m_queue << button; }

void ModalAnswerer::whileOpen(std::function<void(QDialog *)> action)
{
    m_whileOpen = std::move(action);
}

void ModalAnswerer::setDialogResult(int result) { m_dialogResult = result; }

QStringList ModalAnswerer::texts() const
{
    QStringList out;
    for (const ShownDialog &d : shown)
        out << d.text;
    return out;
}

int ModalAnswerer::answer(QDialog *dialog)
{
    ShownDialog info;
    info.className = QString::fromLatin1(dialog->metaObject()->className());
    info.title = dialog->windowTitle();
    auto *box = qobject_cast<QMessageBox *>(dialog);
    if (box) {
        info.text = box->text();
        info.icon = box->icon();
        info.buttons = box->standardButtons();
    }
    shown << info;
    if (m_whileOpen)
        m_whileOpen(dialog);
    if (!box)
        return m_dialogResult;
    QMessageBox::StandardButton pick = QMessageBox::NoButton;
    if (!m_queue.isEmpty())
        pick = m_queue.takeFirst();
    else if (box->defaultButton())
        pick = box->standardButton(box->defaultButton());
    else if (!box->buttons().isEmpty())
        pick = box->standardButton(box->buttons().first());
    return int(pick);
}
