// Where the report files of submitted exams are kept: the folder ".imtihan"
// of the home folder, with a copy on the Desktop.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ReportRecord;

// Home folder + "/.imtihan".
QString reportFolder();
// The user's Desktop folder.
QString desktopFolder();

// Writes the report file of a record into the report folder (replacing a file
// of the same name, the folder made when missing) and copies it onto the
// Desktop (an existing file of that name there stays). Returns the file name
// written; *failed gets each folder or file that could not be written, and
// *written (when given) each file written.
QString writeReportFile(const ReportRecord &record, QStringList *failed,
                        QStringList *written = nullptr);
