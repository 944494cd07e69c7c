<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmGroup</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>choix group :</source>
        <translation>اختيار المجموعة :</translation>
    </message>
    <message>
        <source>choi room :</source>
        <translation>اختيار الحلقة :</translation>
    </message>
    <message>
        <source>lock</source>
        <translation>قفل</translation>
    </message>
    <message>
        <source>Rooms</source>
        <translation>الحلقة</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>العدد</translation>
    </message>
    <message>
        <source>Passwd :</source>
        <translation>كلمة السر :</translation>
    </message>
    <message>
        <source>Entre</source>
        <translation>الدخول</translation>
    </message>
    <message>
        <source>Login on Admin</source>
        <translation>الدخول بصلاحيات المشرف</translation>
    </message>
    <message>
        <source>Entre room</source>
        <translation>الدخول للحلقة</translation>
    </message>
    <message>
        <source>Password Admin</source>
        <translation>الدخول بصفة المشرف</translation>
    </message>
    <message>
        <source>Enter Password :</source>
        <translation>الرجاء إدخال كلمة المرور الخاصة بالمشرف :</translation>
    </message>
</context>
</TS>
