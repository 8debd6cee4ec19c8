<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>Erreur N°: %1</source>
        <translation>Error No.: %1</translation>
    </message>
    <message>
        <source>Fichier %1</source>
        <translation>File %1</translation>
    </message>
    <message>
        <source>La liaison avec le TRIVO ZURED a été perdue.</source>
        <translation>The link with the TRIVO ZURED was lost.</translation>
    </message>
    <message>
        <source>La réponse du TRIVO ZURED n'a pas pu être lue.</source>
        <translation>The reply of the TRIVO ZURED could not be read.</translation>
    </message>
    <message>
        <source>La réponse du TRIVO ZURED n'est pas celle attendue.</source>
        <translation>The reply of the TRIVO ZURED is not the one expected.</translation>
    </message>
    <message>
        <source>Le TRIVO ZURED est utilisé par un autre programme.</source>
        <translation>The TRIVO ZURED is used by another program.</translation>
    </message>
    <message>
        <source>Le TRIVO ZURED ne répond pas : délai de réponse dépassé.</source>
        <translation>The TRIVO ZURED does not answer: reply time-out exceeded.</translation>
    </message>
    <message>
        <source>Le rapport n'a pas pu être envoyé au TRIVO ZURED.</source>
        <translation>The report could not be sent to the TRIVO ZURED.</translation>
    </message>
    <message>
        <source>Opération annulée.</source>
        <translation>Operation cancelled.</translation>
    </message>
    <message>
        <source>illisible : %1 (%2)</source>
        <translation>unreadable: %1 (%2)</translation>
    </message>
    <message>
        <source>impossible à créer, accès refusé : %1</source>
        <translation>cannot be created, access denied: %1</translation>
    </message>
    <message>
        <source>impossible à créer, dossier introuvable : %1</source>
        <translation>cannot be created, folder not found: %1</translation>
    </message>
    <message>
        <source>inaccessible : %1 (%2)</source>
        <translation>not accessible: %1 (%2)</translation>
    </message>
    <message>
        <source>inaccessible, accès refusé : %1</source>
        <translation>not accessible, access denied: %1</translation>
    </message>
    <message>
        <source>inaccessible, c'est un dossier : %1</source>
        <translation>not accessible, it is a folder: %1</translation>
    </message>
    <message>
        <source>introuvable : %1</source>
        <translation>not found: %1</translation>
    </message>
    <message>
        <source>non enregistré, erreur d'écriture : %1 (%2)</source>
        <translation>not saved, write error: %1 (%2)</translation>
    </message>
</context>
</TS>
