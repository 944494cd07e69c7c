#include "rooms/myobject.h"

MyObject::MyObject(QObject *parent) : QObject(parent) {}

void MyObject::doSomethingWithWebElement(QString command, QString args)
{
    emit doSom(command, args);
}
