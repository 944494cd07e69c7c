// The exam sheet: a frameless window above all others that shows the exam
// page, the remaining time and the send button, with an on-screen Arabic
// keyboard floating over the page.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class QMouseEvent;
class QScreen;
class QUrl;
class QWebFrame;

namespace Ui {
class FrmWeb;
}

class FrmWeb : public QWidget
{
    Q_OBJECT

public:
    explicit FrmWeb(QWidget *parent = nullptr);
    ~FrmWeb() override;

    // Keeps the exam and shows its page, with the student, the institute,
    // the exam's title and the keyboard link in its header.
    void ExtracIm(int id, int duration, const QString &title, const QDateTime &start,
                  const QString &content, int fawj, int fasl);
    // The label of the framed box: the duration, then the remaining time.
    void changeTm(const QString &remaining, int duration);
    // The answers text of the page as the student left it.
    QString GetHtm2Im() const;

    // Closes the sheet for the program (a submission or a new exam); a close
    // asked by anyone else is refused while the exam runs.
    void closeSheet();

    // Runs a box of the sheet or its page modally. While one is open the
    // sheet is never deleted: a close waits until the box has returned.
    int runBox(QDialog *box);
    bool hasOpenBox() const { return !boxes.isEmpty(); }
    // Closes the open boxes of the sheet as if dismissed.
    void closeBoxes();

    int examId() const { return id; }
    int cohort() const { return fawj; }
    int classNo() const { return fasl; }
    QString examTitle() const { return title; }
    QWebFrame *frame() const;
    bool isShifted() const { return shift; }
    QString keyboardPicture() const { return picture; }

    static const QString kKeyboardLink; // "#OpenKeyboard"
    static const QString kBasePicture;  // captions of the unshifted keys
    static const QString kShiftPicture; // captions of the shifted keys

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void mapkey(QMouseEvent *event);
    void on_widget_mouseMove(QMouseEvent *event);
    void on_widget_mousePress(QMouseEvent *event);
    void on_widget_mouseRelease(QMouseEvent *event);
    void on_pushButton_clicked();
    void on_web_linkClicked(const QUrl &url);

private:
    // The answer box that has the focus in the page, in the window's
    // coordinates, and its number among the page's boxes (-1: none).
    struct TypingBox
    {
        int index = -1;
        QRect rect;
    };

    void fillScreen();
    QString runScript(const QString &script);
    void toggleShift();
    void openKeyboard();
    TypingBox typingBox();
    // Moves the keyboard panel to its place, or, when that covers the box,
    // below the box or above it, whichever lies inside the window.
    void placeKeyboard(const TypingBox &box);

    int id = 0;
    int fawj = 0;
    int fasl = 0;
    QString title;
    int duration = 0;
    QDateTime start;
    QString content;
    Ui::FrmWeb *ui;
    bool dragging = false;
    bool shift = false;
    QPoint dragOffset;
    QString picture;
    int keyboardFor = -1; // the box the panel was last placed for
    bool closing = false;
    QList<QPointer<QDialog>> boxes;
    bool deleteWhenBoxesClose = false;
    QPointer<QScreen> m_screen;
};
