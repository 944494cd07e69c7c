<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>MyMessage</name>
    <message>
        <source>Browser not started</source>
        <translation>Impossible d&apos;ouvrir le navigateur pour ce lien</translation>
    </message>
</context>
</TS>
