<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>FrmImtihan</name>
    <message>
        <source>Dialog</source>
        <translation>Velmar</translation>
    </message>
</context>
</TS>
