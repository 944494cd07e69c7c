// The chat input box: Return or Enter sends instead of breaking the line.
#pragma once

#include <QTextEdit>

class MyTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit MyTextEdit(QWidget *parent = nullptr);

signals:
    void returnPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
