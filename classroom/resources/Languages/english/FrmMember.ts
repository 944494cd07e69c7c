<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>FrmMember</name>
    <message>
        <source>Dialog</source>
        <translation>Velmar</translation>
    </message>
    <message>
        <source>username</source>
        <translation>UserName</translation>
    </message>
    <message>
        <source>pass</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Remember Password</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Show Password</translation>
    </message>
    <message>
        <source>login</source>
        <translation>Login</translation>
    </message>
    <message>
        <source>cansel</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
