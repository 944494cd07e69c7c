<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>FrmBat</name>
    <message>
        <source>Dialog</source>
        <translation>الفلمور العلمية</translation>
    </message>
</context>
</TS>
