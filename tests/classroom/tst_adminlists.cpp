// The administration and exam bodies read without widgets: group and room
// lists, supervisors, administrators with their permission sets, the own
// permissions, the exam schedule and the typed fields that would break a
// request.
#include "admin/pure/adminlists.h"
#include "admin/pure/typedfields.h"
#include "protocol/pure/examschedule.h"
#include "protocol/pure/ownpermissions.h"

#include <QtTest>

namespace {

QString describe(const QVector<IdName> &list)
{
    QStringList out;
    for (const IdName &r : list)
        out << QLatin1Char('[') + r.id + QLatin1Char('=') + r.name + QLatin1Char(']');
    return out.join(QString());
}

// The keys of the checked boxes, in table order.
QStringList checked(const PermissionSet &set)
{
    QStringList out;
    for (int i = 0; i < outgoing::kPermissionKeyCount; ++i)
        if (set[size_t(i)])
            out << QLatin1String(outgoing::kPermissionKeys[size_t(i)]);
    return out;
}

// "key=value" of each named own permission.
QStringList named(const OwnPermissions &p)
{
    QStringList out;
    for (int i = 0; i < kOwnPermissionCount; ++i)
        if (p.values[size_t(i)] >= 0)
            out << QStringLiteral("%1=%2").arg(QLatin1String(kOwnPermissionKeys[size_t(i)]))
                       .arg(p.values[size_t(i)]);
    return out;
}

} // namespace

class TestAdminLists : public QObject
{
    Q_OBJECT
private slots:
    void idNameList_data();
    void idNameList();
    void adminRooms_data();
    void adminRooms();
    void supervisors_data();
    void supervisors();
    void permissionSet_data();
    void permissionSet();
    void adminRecords_data();
    void adminRecords();
    void savedPermissions();
    void ownPermissions_data();
    void ownPermissions();
    void examSchedule_data();
    void examSchedule();
    void examTests_data();
    void examTests();
    void scheduleChanged_data();
    void scheduleChanged();
    void typedFields_data();
    void typedFields();
};

void TestAdminLists::idNameList_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("list");
    QTest::newRow("two groups") << "3:First|7:Second" << false << "[3=First][7=Second]";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("blank") << "  \t " << true << "";
    QTest::newRow("untrimmed kept") << " 3 : First " << false << "[ 3 = First ]";
    QTest::newRow("trimmed, extra fields ignored")
        << "12 : Room A :x|13:Room B" << true << "[12=Room A][13=Room B]";
    QTest::newRow("record without colon skipped") << "3:First|junk|7:Second" << false
                                                  << "[3=First][7=Second]";
    QTest::newRow("trailing bar") << "3:First|" << false << "[3=First]";
    QTest::newRow("empty name kept") << "3:" << false << "[3=]";
    QTest::newRow("arabic") << QString::fromUtf8("4:علوم") << false
                            << QString::fromUtf8("[4=علوم]");
}

void TestAdminLists::idNameList()
{
    QFETCH(QString, body);
    QFETCH(bool, trim);
    QFETCH(QString, list);
    QCOMPARE(describe(parseIdNameList(body, trim)), list);
}

void TestAdminLists::adminRooms_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("rooms");
    QTest::newRow("two rooms")
        << " 12 : Room A :x:p1:p2:ostad:30:a@n;b@l;c@arp;d|13:Room B:y:::t::"
        << QStringList{"12|Room A|p1|p2|ostad|30|a:b|c@d| 12 : Room A :x:p1:p2:ostad:30:a@n;b@l;c@arp;d",
                       "13|Room B|||t|||13:Room B:y:::t::"};
    QTest::newRow("blank") << " " << QStringList();
    QTest::newRow("short record, missing fields empty")
        << "5:Short" << QStringList{"5|Short||||||5:Short"};
    QTest::newRow("record without colon skipped") << "5:A||6:B|x"
                                                  << QStringList{"5|A||||||5:A", "6|B||||||6:B"};
}

void TestAdminLists::adminRooms()
{
    QFETCH(QString, body);
    QFETCH(QStringList, rooms);
    QStringList out;
    for (const AdminRoom &r : parseAdminRooms(body))
        out << QStringList{r.id, r.name, r.password, r.adminPassword, r.owner, r.maximum,
                           r.banner, r.record}
                   .join(QLatin1Char('|'));
    QCOMPARE(out, rooms);
}

void TestAdminLists::supervisors_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("room and two") << "12|ali|omar" << QStringList{"ali", "omar"};
    QTest::newRow("room alone") << "12" << QStringList();
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("untrimmed") << "12| ali |" << QStringList{" ali ", ""};
}

void TestAdminLists::supervisors()
{
    QFETCH(QString, body);
    QFETCH(QStringList, names);
    QCOMPARE(parseSupervisors(body), names);
}

void TestAdminLists::permissionSet_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("bat 1, zowar 0") << "bat:1|zowar:0" << QStringList{"bat"};
    QTest::newRow("bat 2") << "bat:2" << QStringList{"bat"};
    QTest::newRow("bat -1") << "bat:-1" << QStringList{"bat"};
    QTest::newRow("bat x") << "bat:x" << QStringList();
    QTest::newRow("bat empty") << "bat:" << QStringList();
    QTest::newRow("last pair wins") << "super_co_admin:1|super_co_admin:0" << QStringList();
    QTest::newRow("unknown key") << "foo:1" << QStringList();
    QTest::newRow("pair without colon") << "bat|new_room:1" << QStringList{"new_room"};
    QTest::newRow("own spelling is not a set key") << "create_room:1|new_room:1"
                                                   << QStringList{"new_room"};
    QTest::newRow("key with spaces") << " bat:1" << QStringList();
}

void TestAdminLists::permissionSet()
{
    QFETCH(QString, list);
    QFETCH(QStringList, keys);
    QCOMPARE(checked(parsePermissionSet(list)), keys);
}

void TestAdminLists::adminRecords_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("admins");
    QTest::newRow("two administrators")
        << "ali::a::b::bat:1|zowar:0||omar::a::b::new_room:1"
        << QStringList{"ali=bat", "omar=new_room"};
    QTest::newRow("more parts ignored") << "ali::a::b::bat:1::zzz" << QStringList{"ali=bat"};
    // A record without its permission list could be saved as "no rights".
    QTest::newRow("empty list") << "" << QStringList();
    QTest::newRow("short record skipped") << "ali::a::b||omar::a::b::del_group:1"
                                          << QStringList{"omar=del_group"};
    QTest::newRow("empty permission list") << "ali::::::" << QStringList{"ali="};
}

void TestAdminLists::adminRecords()
{
    QFETCH(QString, body);
    QFETCH(QStringList, admins);
    QStringList out;
    for (const AdminRecord &a : parseAdminRecords(body))
        out << a.name + QLatin1Char('=') + checked(a.permissions).join(QLatin1Char(','));
    QCOMPARE(out, admins);
    // Each kept record is kept whole, as received.
    for (const AdminRecord &a : parseAdminRecords(body))
        QVERIFY(body.split(QStringLiteral("||")).contains(a.record));
}

// A saved set replaces the permission list of the record; what the
// record says otherwise stays, and it reads back as saved.
void TestAdminLists::savedPermissions()
{
    AdminRecord sara = parseAdminRecords(QStringLiteral("sara::7::5::bat:1|zowar:1::zzz")).value(0);
    QCOMPARE(sara.name, QStringLiteral("sara"));
    PermissionSet saved{};
    saved[2] = saved[5] = true; // new_room, new_group
    applySavedPermissions(sara, saved);
    QCOMPARE(checked(sara.permissions), (QStringList{"new_room", "new_group"}));
    QVERIFY2(sara.record.startsWith(QStringLiteral("sara::7::5::bat:0|zowar:0|new_room:1|edit_room:0|"))
                 && sara.record.endsWith(QStringLiteral("|super_co_admin:0::zzz")),
             qPrintable(sara.record));
    const QVector<AdminRecord> again = parseAdminRecords(sara.record);
    QCOMPARE(again.size(), 1);
    QCOMPARE(checked(again.first().permissions), (QStringList{"new_room", "new_group"}));
}

void TestAdminLists::ownPermissions_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("anyKey");
    QTest::newRow("bat, create_room, outsider")
        << "bat:1|create_room:1|foo:1" << QStringList{"bat=1", "create_room=1"} << true;
    QTest::newRow("only outsiders") << "foo:1|new_room:1" << QStringList() << false;
    QTest::newRow("empty") << "" << QStringList() << false;
    QTest::newRow("later record wins") << "create_room:0|create_room:1"
                                       << QStringList{"create_room=1"} << true;
    QTest::newRow("bat 0") << "bat:0" << QStringList{"bat=0"} << true;
    QTest::newRow("not a number withdraws") << "ban_users:yes|msg_system:-3"
                                            << QStringList{"ban_users=0", "msg_system=1"} << true;
    QTest::newRow("key without colon skipped") << "super_co_admin|zowar:1"
                                               << QStringList{"zowar=1"} << true;
    QTest::newRow("case matters") << "BAT:1" << QStringList() << false;
    QTest::newRow("last key") << "super_co_admin:1" << QStringList{"super_co_admin=1"} << true;
}

void TestAdminLists::ownPermissions()
{
    QFETCH(QString, body);
    QFETCH(QStringList, values);
    QFETCH(bool, anyKey);
    const OwnPermissions p = parseOwnPermissions(body);
    QCOMPARE(named(p), values);
    QCOMPARE(p.anyKey, anyKey);
}

void TestAdminLists::examSchedule_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("serverTime");
    QTest::addColumn<QStringList>("exams");
    const QString t = QStringLiteral("2020-05-10 09:30:00");
    QTest::newRow("two exams")
        << t + "<|||>7<||>2020-05-10 09:00:00<||>60<||>Algebra<|||>8<||>2020-05-10 11:00:00<||>30<||>Fiqh"
        << t << QStringList{"1:7:2020-05-10 09:00:00:60:Algebra", "2:8:2020-05-10 11:00:00:30:Fiqh"};
    QTest::newRow("time only") << t << t << QStringList();
    QTest::newRow("short record skipped, positions kept")
        << t + "<|||>7<||>2020-05-10 09:00:00<||>60<|||>8<||>2020-05-10 11:00:00<||>30<||>Fiqh<||>x"
        << t << QStringList{"2:8:2020-05-10 11:00:00:30:Fiqh"};
    QTest::newRow("duration not a number") << t + "<|||>1<||>2020-05-10 09:00:00<||>ab<||>T"
                                           << t << QStringList{"1:1:2020-05-10 09:00:00:0:T"};
    QTest::newRow("empty") << "" << "" << QStringList();
}

void TestAdminLists::examSchedule()
{
    QFETCH(QString, body);
    QFETCH(QString, serverTime);
    QFETCH(QStringList, exams);
    const ExamSchedule s = parseExamSchedule(body);
    QCOMPARE(s.serverTimeText, serverTime);
    QCOMPARE(s.serverTime.isValid(), !serverTime.isEmpty());
    QStringList out;
    for (const ExamRecord &e : s.exams)
        out << QStringLiteral("%1:%2:%3:%4:%5")
                   .arg(e.position)
                   .arg(e.number, e.start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                   .arg(e.minutes)
                   .arg(e.title);
    QCOMPARE(out, exams);
}

void TestAdminLists::examTests_data()
{
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("notOver");
    QTest::newRow("running") << "2020-05-10 09:30:00" << "2020-05-10 09:00:00" << "60" << true << true;
    QTest::newRow("over") << "2020-05-10 09:30:00" << "2020-05-10 09:00:00" << "30" << false << false;
    QTest::newRow("starts now") << "2020-05-10 09:30:00" << "2020-05-10 09:30:00" << "1" << true << true;
    QTest::newRow("ends now") << "2020-05-10 10:00:00" << "2020-05-10 09:00:00" << "60" << false << false;
    QTest::newRow("later today") << "2020-05-10 10:00:00" << "2020-05-10 11:00:00" << "30" << false << true;
    QTest::newRow("bad start") << "2020-05-10 10:00:00" << "10 May 2020" << "600" << false << false;
    QTest::newRow("bad server time") << "now" << "2020-05-10 09:00:00" << "600" << false << false;
    QTest::newRow("duration not a number") << "2020-05-10 09:00:00" << "2020-05-10 09:00:00" << "x"
                                           << false << false;
    QTest::newRow("huge duration") << "2020-05-10 09:00:00" << "2020-05-10 08:00:00" << "2147483647"
                                   << true << true;
    QTest::newRow("duration past 32 bits") << "2020-05-10 09:00:00" << "2020-05-10 08:00:00"
                                           << "99999999999" << false << false;
}

void TestAdminLists::examTests()
{
    QFETCH(QString, now);
    QFETCH(QString, start);
    QFETCH(QString, minutes);
    QFETCH(bool, running);
    QFETCH(bool, notOver);
    const ExamSchedule s = parseExamSchedule(now + "<|||>1<||>" + start + "<||>" + minutes + "<||>T");
    QCOMPARE(s.exams.size(), 1);
    QCOMPARE(examRunning(s.exams.first(), s.serverTime), running);
    QCOMPARE(examNotOver(s.exams.first(), s.serverTime), notOver);
    QCOMPARE(examsNotOver(s).size(), notOver ? 1 : 0);
}

void TestAdminLists::scheduleChanged_data()
{
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("received");
    QTest::addColumn<bool>("changed");
    const QString exam = QStringLiteral("<|||>1<||>2020-05-10 09:00:00<||>60<||>T");
    QTest::newRow("only the time differs")
        << "2020-05-10 09:30:00" + exam << "2020-05-10 09:31:00" + exam << false;
    QTest::newRow("same") << "2020-05-10 09:30:00" + exam << "2020-05-10 09:30:00" + exam << false;
    QTest::newRow("nothing kept") << QString() << "2020-05-10 09:30:00" + exam << true;
    QTest::newRow("exam changed") << "2020-05-10 09:30:00" + exam
                                  << "2020-05-10 09:30:00<|||>1<||>2020-05-10 09:00:00<||>90<||>T"
                                  << true;
    QTest::newRow("shorter time text") << "2020-05-10 09:30:00" + exam << "x" + exam << true;
    QTest::newRow("both only a time") << "2020-05-10 09:30:00" << "2020-05-10 09:45:00" << false;
}

void TestAdminLists::scheduleChanged()
{
    QFETCH(QString, kept);
    QFETCH(QString, received);
    QFETCH(bool, changed);
    QCOMPARE(::scheduleChanged(kept, received), changed);
}

void TestAdminLists::typedFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("breaks");
    QTest::newRow("plain") << QString::fromUtf8("حلقة القرآن 1") << false;
    QTest::newRow("at sign") << "a@b" << false;
    QTest::newRow("bar") << "a|b" << true;
    QTest::newRow("colon") << "a:b" << true;
    QTest::newRow("escape text") << "a@n;b" << false;
}

void TestAdminLists::typedFields()
{
    QFETCH(QString, text);
    QFETCH(bool, breaks);
    QCOMPARE(breaksFields(text), breaks);
}

QTEST_APPLESS_MAIN(TestAdminLists)
#include "tst_adminlists.moc"
