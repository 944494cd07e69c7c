<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>MyMessage</name>
    <message>
        <source>Browser not started</source>
        <translation>The browser could not be opened for this link</translation>
    </message>
</context>
</TS>
