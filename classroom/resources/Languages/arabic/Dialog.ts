<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>Dialog</name>
    <message>
        <source>Velmar</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>Langue</source>
        <translation>اللغة :</translation>
    </message>
    <message>
        <source>ar</source>
        <translation>العربية</translation>
    </message>
    <message>
        <source>fr</source>
        <translation>français</translation>
    </message>
    <message>
        <source>en</source>
        <translation>english</translation>
    </message>
    <message>
        <source>Bmember</source>
        <translation>الدخول بالعضوية</translation>
    </message>
    <message>
        <source>Bvisit</source>
        <translation>الدخول بالزيارة</translation>
    </message>
    <message>
        <source>Bclose</source>
        <translation>الخروج</translation>
    </message>
    <message>
        <source>::::doors are locked</source>
        <translation>::::بوابة مقفلة</translation>
    </message>
    <message>
        <source>::::These doors are locked, you can not access it</source>
        <translation>::::هذه البوابة مقفلة لا تستطيع الدخول إليها</translation>
    </message>
    <message>
        <source>Click here to register</source>
        <translation>إضغط هنا للتسجيل</translation>
    </message>
</context>
</TS>
