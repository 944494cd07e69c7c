// The bridge that the room's station page sees as "myObject": the page's
// player hands its commands to doSomethingWithWebElement, which passes them
// on as doSom.
#pragma once

#include <QObject>
#include <QString>

class MyObject : public QObject
{
    Q_OBJECT
public:
    explicit MyObject(QObject *parent = nullptr);

signals:
    void doSom(QString command, QString args);

public slots:
    void doSomethingWithWebElement(QString command, QString args);
};
