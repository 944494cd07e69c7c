<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>FrmBat</name>
    <message>
        <source>Dialog</source>
        <translation>Velmar</translation>
    </message>
</context>
</TS>
