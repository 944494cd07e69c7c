// The exam clock: holds the day's exams that are not over, ticks once a
// second on the server's time, counts down in the waiting window and opens
// each exam when its start has come. Never shown.
#pragma once

#include <QDateTime>
#include <QStringList>
#include <QWidget>

class QTimer;
struct ExamRecord;

class FrmTimer : public QWidget
{
    Q_OBJECT

public:
    explicit FrmTimer(QWidget *parent = nullptr);
    ~FrmTimer() override;

    // Parallel lists, position 0 being the next exam.
    QStringList listId;
    QStringList listDate;   // start, in format
    QStringList listModa;   // minutes
    QStringList listTitre;  // title, cohort and class joined by "<:>"
    QStringList listField4;
    // One entry per exam text of a kept exam: its id and the text.
    QStringList listIdTxt;
    QStringList listTxt;

    // Appends a kept exam of the login reply to the lists.
    void addExam(const ExamRecord &record);

    // Starts the ticks (tickMs, 1000 ms).
    void StarTm();
    // Seconds from server now to the next exam's start; 0 with no exam.
    int GettimeServer() const;
    // Seconds from server now to start plus minutes.
    int GettimeServer2(const QDateTime &start, int minutes) const;

    // Submits the running exam: the report file first, then the "send" post,
    // posted again after a failure for as long as the student asks for it.
    // Shows the waiting window again and ends the program when no exam is
    // left after the endpoint took the answers.
    void Sendtxt();
    // Writes the report file of an exam into the report folder and onto the
    // Desktop; returns the folders or files that could not be written, and
    // gives the files written in *saved.
    QStringList SaveImtihan(int id, int fawj, int fasl, const QString &title,
                            const QString &answers, QStringList *saved = nullptr);

    bool examRunning() const { return running; }
    int examMinutes() const { return moda; }
    QDateTime examStart() const { return dateImtihan; }
    bool isTicking() const;

    // Ticks that arrive while a hold lives only read the time: the clock
    // never stacks its messages or starts an exam from inside a dialog or a
    // post of its own.
    class TickHold
    {
    public:
        explicit TickHold(FrmTimer *clock);
        ~TickHold();

    private:
        FrmTimer *m_clock;
    };

    static int tickMs;

    // Threshold of the start-window rule, in seconds.
    static const int kEarlyLimit = 1062;

public slots:
    void slotTime();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void startDueExam(int secondsToStart);
    // The exam sheet window opens here for the exam that is due: it closes
    // an earlier sheet, shows the new one with the exam's page (empty when
    // the exam has no text) and hides the waiting window.
    void openExamSheet(int id, int minutes, const QString &title, const QDateTime &start,
                       const QString &text, int fawj, int fasl);

    QTimer *timer;
    bool running = false;
    int moda = 0;
    bool startChecked = false;
    QDateTime dateImtihan;
    int holds = 0;
};
