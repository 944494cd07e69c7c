#include "supervision/pure/gradinglists.h"

#include "core/pure/pagetext.h"
#include "core/pure/reply.h"

namespace {

const QString kDescriptorSep = QStringLiteral("<>");

QString field(const QStringList &fields, int i) { return fields.value(i); }

} // namespace

ExamDescriptor readExamDescriptor(const QString &descriptor)
{
    const QStringList d = descriptor.split(kDescriptorSep);
    return {field(d, 0), field(d, 1), field(d, 2), field(d, 3), field(d, 4)};
}

QString withTeacher(const QString &descriptor, const QString &teacher)
{
    QStringList d = descriptor.split(kDescriptorSep);
    while (d.size() < 4)
        d << QString();
    d[3] = teacher;
    return d.join(kDescriptorSep);
}

namespace {

// A heading of fixed words (which hold no markup) and texts given in a form.
class Heading
{
public:
    explicit Heading(HeadingForm form) : m_form(form) {}
    Heading &words(const char *utf8)
    {
        m_out += QString::fromUtf8(utf8);
        return *this;
    }
    Heading &text(const QString &t)
    {
        switch (m_form) {
        case HeadingForm::Plain: m_out += t; break;
        case HeadingForm::Widget: m_out += isolatedText(t); break;
        case HeadingForm::Page: m_out += isolatedHtml(t.simplified()); break;
        }
        return *this;
    }
    // The exam's title, cohort and class.
    Heading &title(const ExamDescriptor &d)
    {
        return text(d.title).words(" [ الفوج:").text(d.cohort).words("  الفصل:").text(d.classNo)
            .words(" ]");
    }
    QString result() const
    {
        if (m_form != HeadingForm::Page)
            return m_out;
        // The web engine draws Arabic and digits over each other after a
        // run of blanks; texts are simplified already, markup has no runs.
        QString out = m_out.trimmed();
        for (int i = out.indexOf(QStringLiteral("  ")); i >= 0; i = out.indexOf(QStringLiteral("  "), i))
            out.remove(i, 1);
        return out;
    }

private:
    HeadingForm m_form;
    QString m_out;
};

} // namespace

QString examTitle(const ExamDescriptor &d, HeadingForm form)
{
    return Heading(form).title(d).result();
}

QString examRowHeading(const ExamDescriptor &d, HeadingForm form)
{
    return Heading(form).title(d).words("   للأستاذ : ").text(d.teacher).result();
}

QString sheetListTitle(const ExamDescriptor &d, const QString &count, HeadingForm form)
{
    return Heading(form).words("  ").title(d).words("  عدد التقارير: ").text(count).words("  ")
        .result();
}

ExamList readExamList(const QString &payload)
{
    ExamList list;
    const QStringList records = payload.split(QStringLiteral("<::>"));
    list.countText = records.first();
    list.count = readInt(list.countText);
    for (int i = 1; i < records.size(); ++i) {
        if (list.exams.size() >= kMaxListRecords) {
            list.skipped = records.size() - i;
            break;
        }
        const QStringList f = records.at(i).split(QStringLiteral("<:>"));
        list.exams.append({field(f, 0), field(f, 1), field(f, 2)});
    }
    return list;
}

SheetList readSheetList(const QString &payload)
{
    SheetList list;
    const QStringList records = payload.split(QStringLiteral("<::>"));
    list.countText = records.first();
    list.count = readInt(list.countText);
    for (int i = 1; i < records.size(); ++i) {
        if (list.sheets.size() >= kMaxListRecords) {
            list.skipped = records.size() - i;
            break;
        }
        const QStringList f = records.at(i).split(QStringLiteral("<|>"));
        list.sheets.append(
            {field(f, 0), field(f, 1), field(f, 2), field(f, 3), field(f, 4), field(f, 5)});
    }
    return list;
}

ListReply listReplyKind(const QString &payload)
{
    if (payload.isEmpty())
        return ListReply::Empty;
    if (replyTrimmedIs(payload, QStringLiteral("no admin")))
        return ListReply::Refused;
    return ListReply::List;
}

namespace {

FormQuery supervisorQuery(const QString &endpoint, const QString &cmd, int idUser)
{
    FormQuery query(endpoint);
    query.addQueryItem(QStringLiteral("cmd"), cmd);
    query.addQueryItem(QStringLiteral("id_user"), idUser);
    return query;
}

void addCredentials(FormQuery *query, const QString &group, const QString &admin,
                    const QString &password)
{
    query->addQueryItem(QStringLiteral("isgroup"), group);
    query->addQueryItem(QStringLiteral("user_admin"), admin);
    query->addQueryItem(QStringLiteral("pwd"), password);
}

} // namespace

FormQuery examListQuery(const QString &endpoint, int idUser, const QString &group,
                        const QString &admin, const QString &password)
{
    FormQuery query = supervisorQuery(endpoint, QStringLiteral("listimtihan"), idUser);
    addCredentials(&query, group, admin, password);
    return query;
}

FormQuery sheetListQuery(const QString &endpoint, int idUser, const QString &examId,
                         const QString &group, const QString &admin, const QString &password)
{
    FormQuery query = supervisorQuery(endpoint, QStringLiteral("imtihanuser"), idUser);
    query.addQueryItem(QStringLiteral("id"), examId);
    addCredentials(&query, group, admin, password);
    return query;
}

FormQuery gradingQuery(const QString &endpoint, int idUser, const QString &sheetId,
                       const QString &grading, const QString &group, const QString &admin,
                       const QString &password)
{
    FormQuery query = supervisorQuery(endpoint, QStringLiteral("tankit"), idUser);
    query.addQueryItem(QStringLiteral("id"), sheetId);
    query.addQueryItem(QStringLiteral("txt"), grading);
    addCredentials(&query, group, admin, password);
    return query;
}

FormQuery teacherQuery(const QString &endpoint, int idUser, const QString &examId,
                       const QString &teacher, const QString &group, const QString &admin,
                       const QString &password)
{
    FormQuery query = supervisorQuery(endpoint, QStringLiteral("changeostad"), idUser);
    query.addQueryItem(QStringLiteral("id"), examId);
    query.addQueryItem(QStringLiteral("ostad"), teacher);
    addCredentials(&query, group, admin, password);
    return query;
}

FormQuery examTextQuery(const QString &endpoint, int idUser, const QString &examId)
{
    FormQuery query = supervisorQuery(endpoint, QStringLiteral("getimt"), idUser);
    query.addQueryItem(QStringLiteral("id"), examId);
    return query;
}

bool replyStored(const QString &payload)
{
    return replyTrimmedIs(payload, QStringLiteral("edit"));
}

TeacherReply readTeacherReply(const QString &payload)
{
    if (replyStored(payload))
        return TeacherReply::Stored;
    if (replyTrimmedIs(payload, QStringLiteral("no ostad")))
        return TeacherReply::NoOstad;
    if (replyTrimmedIs(payload, QStringLiteral("no admin")))
        return TeacherReply::Refused;
    return TeacherReply::Failed;
}

int findRow(const QVector<QStringList> &rows, int current, const QString &key)
{
    if (key.trimmed().isEmpty() || rows.isEmpty())
        return -1;
    const int n = rows.size();
    const int start = current >= 0 && current < n - 1 ? current + 1 : 0;
    for (int k = 0; k < n; ++k) {
        const int row = (start + k) % n;
        for (const QString &cell : rows.at(row)) {
            if (cell.contains(key, Qt::CaseSensitive))
                return row;
        }
    }
    return -1;
}
