<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmImtihan</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>Open Imtihan</source>
        <translation>فتح برنامج الاختبار</translation>
    </message>
    <message>
        <source>BColse</source>
        <translation>إلغاء الأمر</translation>
    </message>
    <message>
        <source>nu</source>
        <translation>الرقم</translation>
    </message>
    <message>
        <source>name</source>
        <translation>عنوان الاختبار</translation>
    </message>
    <message>
        <source>timer</source>
        <translation>الوقت</translation>
    </message>
    <message>
        <source>moda</source>
        <translation>المدة</translation>
    </message>
</context>
</TS>
