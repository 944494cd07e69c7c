<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmUser</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>BRooms</source>
        <translation>الدخول للغرف</translation>
    </message>
    <message>
        <source>BSearch</source>
        <translation>البحث عن الأعضاء</translation>
    </message>
    <message>
        <source>BClose</source>
        <translation>الخروج</translation>
    </message>
    <message>
        <source>BImtihan</source>
        <translation>الدخول لبرنامج الاختبار</translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>user on line</source>
        <translation>قائمة المضافين المتصلين</translation>
    </message>
    <message>
        <source>user off line</source>
        <translation>قائمة المضافين الغير متصلين</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ملف</translation>
    </message>
    <message>
        <source>Admin</source>
        <translation>الإدارة</translation>
    </message>
    <message>
        <source>Bat</source>
        <translation>الإشراف</translation>
    </message>
    <message>
        <source>Find User</source>
        <translation>البحث عن الأعضاء</translation>
    </message>
    <message>
        <source>Edit Data</source>
        <translation>تعديل البيانات الشخصية</translation>
    </message>
    <message>
        <source>Entre Room</source>
        <translation>الدخول للحلقات</translation>
    </message>
    <message>
        <source>Program Imtihan</source>
        <translation>الدخول لبرنامج الامتحانات</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>الخروج من البرنامج</translation>
    </message>
    <message>
        <source>Admin Groups Rooms</source>
        <translation>إدارة الحلقات والأقسام</translation>
    </message>
    <message>
        <source>Admin Users</source>
        <translation>إدارة الأعضاء</translation>
    </message>
    <message>
        <source>Admin Server</source>
        <translation>إدارة الخادم</translation>
    </message>
    <message>
        <source>Admin Msg System</source>
        <translation>إدارة رسائل النظام</translation>
    </message>
    <message>
        <source>Live Bat</source>
        <translation>البث المباشر</translation>
    </message>
    <message>
        <source>SendMsg</source>
        <translation>إرسال رسالة</translation>
    </message>
    <message>
        <source>SendFile</source>
        <translation>إرسال ملف</translation>
    </message>
    <message>
        <source>BlockUser</source>
        <translation>حظر هذا الشخص</translation>
    </message>
    <message>
        <source>UnBlockUser</source>
        <translation>إزالة الحظر</translation>
    </message>
    <message>
        <source>DelUser</source>
        <translation>حذف من القائمة</translation>
    </message>
    <message>
        <source>user on line :</source>
        <translation>المتصلون حاليا :</translation>
    </message>
</context>
</TS>
