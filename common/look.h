// Window backgrounds shared by both programs.
#pragma once

#include <QString>

class QWidget;

// Paints the widget's background role with the picture, in all colour groups.
void paintBackground(QWidget *widget, const QString &picture);
