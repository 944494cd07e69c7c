<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmConnect</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>Please wait ...</source>
        <translation>جاري الإتصال بالمعهد</translation>
    </message>
    <message>
        <source>%v Time</source>
        <translation>%v الوقت بالثانية</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء الأمر</translation>
    </message>
</context>
</TS>
