<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Dialog</name>
    <message>
        <source>Velmar</source>
        <translation>Velmar</translation>
    </message>
    <message>
        <source>Langue</source>
        <translation>Language :</translation>
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
        <translation>Login Member</translation>
    </message>
    <message>
        <source>Bvisit</source>
        <translation>Login Guest</translation>
    </message>
    <message>
        <source>Bclose</source>
        <translation>Close</translation>
    </message>
</context>
</TS>
