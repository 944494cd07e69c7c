// A radio button that also tells when Return or Enter is pressed on it.
#pragma once

#include <QRadioButton>

class myradio : public QRadioButton
{
    Q_OBJECT

public:
    explicit myradio(QWidget *parent = nullptr);

signals:
    void returnPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
