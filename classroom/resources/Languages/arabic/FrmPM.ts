<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmPM</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
    <message>
        <source>Chat To :</source>
        <translation>المحادثة مع :</translation>
    </message>
</context>
</TS>
