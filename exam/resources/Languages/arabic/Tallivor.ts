<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>QWidget</name>
    <message>
        <source>save file</source>
        <translation>حفظ الملف</translation>
    </message>
</context>
</TS>
