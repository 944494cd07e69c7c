<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>FrmMember</name>
    <message>
        <source>Dialog</source>
        <translation>Velmar</translation>
    </message>
    <message>
        <source>username</source>
        <translation>Nom d'utilisateur</translation>
    </message>
    <message>
        <source>pass</source>
        <translation>Mot de Passe</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Se souvenir de mot de passe</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Voir Mot de passe</translation>
    </message>
    <message>
        <source>login</source>
        <translation>Membre</translation>
    </message>
    <message>
        <source>cansel</source>
        <translation>Annuler</translation>
    </message>
</context>
</TS>
