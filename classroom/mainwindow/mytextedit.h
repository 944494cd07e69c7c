// The chat input box: Return or Enter sends instead of breaking the line, and
// the text colour at the cursor is announced whenever the format there changes.
// Its text is drawn at the conversation page's resolution (96 dpi).
#pragma once

#include <QTextEdit>

class MyTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit MyTextEdit(QWidget *parent = nullptr);

signals:
    void returnPressed();
    void currentColorChanged(const QColor &color);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
