<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmWait2</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>Please Wait connect room</source>
        <translation>جاري إدخالك للحلقة الرجاء الانتظار </translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء الأمر</translation>
    </message>
</context>
</TS>
