<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmMember</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>username</source>
        <translation>إسم المستخدم</translation>
    </message>
    <message>
        <source>pass</source>
        <translation>كلمة السر</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>حفظ كلمة السر</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>إظهار كلمة السر</translation>
    </message>
    <message>
        <source>login</source>
        <translation>الدخول</translation>
    </message>
    <message>
        <source>cansel</source>
        <translation>إلغاء الأمر</translation>
    </message>
</context>
</TS>
