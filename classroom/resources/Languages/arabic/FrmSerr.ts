<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmSerr</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>BSearch</source>
        <translation>البحث عن الأعضاء</translation>
    </message>
    <message>
        <source>B_Add</source>
        <translation>إضافة</translation>
    </message>
    <message>
        <source>B_Block</source>
        <translation>حظر</translation>
    </message>
    <message>
        <source>BUnBlock</source>
        <translation>إلغاء الحظر</translation>
    </message>
    <message>
        <source>BSend_Msg</source>
        <translation>إرسال رسالة</translation>
    </message>
    <message>
        <source>BClose</source>
        <translation>الخروج</translation>
    </message>
</context>
</TS>
