// Shared by the grading window's tests: input dialogs answered from a script
// and the widgets of the window.
#pragma once

#include "core/globals.h"
#include "supervision/frmdisplay.h"
#include "support/modal.h"

#include <QGroupBox>
#include <QInputDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <optional>

// Answers message boxes as ModalAnswerer does, and input dialogs from a
// queue of texts (nothing: Cancel), recording their labels and presets.
class ScriptedDialogs
{
public:
    ScriptedDialogs()
    {
        answers.whileOpen([this](QDialog *d) {
            auto *input = qobject_cast<QInputDialog *>(d);
            if (!input)
                return;
            inputTitles << input->windowTitle();
            labels << input->labelText();
            presets << input->textValue();
            const std::optional<QString> next =
                inputs.isEmpty() ? std::nullopt : inputs.takeFirst();
            if (next)
                input->setTextValue(*next);
            answers.setDialogResult(next ? QDialog::Accepted : QDialog::Rejected);
        });
    }
    void type(const QString &text) { inputs << text; }
    void cancel() { inputs << std::nullopt; }
    void press(QMessageBox::StandardButton button) { answers.queue(button); }
    // Texts of the message boxes, in order.
    QStringList texts() const
    {
        QStringList out;
        for (const ShownDialog &d : answers.shown) {
            if (d.className == QLatin1String("QMessageBox"))
                out << d.text;
        }
        return out;
    }

    ModalAnswerer answers;
    QList<std::optional<QString>> inputs;
    QStringList inputTitles;
    QStringList labels;
    QStringList presets;
};

template <typename T = QWidget> T *displayChild(const char *name)
{
    T *found = frmdisplay ? frmdisplay->findChild<T *>(name) : nullptr;
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

// A group box's title as it shows: an "&" marks the next character as the
// shortcut and is not drawn ("&&" draws one "&"); the isolate marks around
// its texts draw nothing.
inline QString shownTitle(const char *groupBox)
{
    const QString title = displayChild<QGroupBox>(groupBox)->title();
    QString shown;
    for (int i = 0; i < title.size(); ++i) {
        if (title.at(i) == QLatin1Char('&') && ++i == title.size())
            break;
        if (title.at(i) != QChar(0x2068) && title.at(i) != QChar(0x2069))
            shown += title.at(i);
    }
    return shown;
}

// A mouse click on a row of one of the window's tables.
inline void clickRow(const char *tableName, int row)
{
    auto *table = displayChild<QTableWidget>(tableName);
    const QRect rect = table->visualItemRect(table->item(row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}
