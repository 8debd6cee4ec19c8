<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>%1 (Erreur N°: %2)</source>
        <translation>%1 (Error No.: %2)</translation>
    </message>
    <message>
        <source>Débranché après N rapports</source>
        <translation>Unplugged after N reports</translation>
    </message>
    <message>
        <source>Lectures en erreur</source>
        <translation>Failing reads</translation>
    </message>
    <message>
        <source>Mauvaise signature</source>
        <translation>Wrong signature</translation>
    </message>
    <message>
        <source>Muet : ne répond plus</source>
        <translation>Silent: answers no more</translation>
    </message>
    <message>
        <source>Refuse d'être ouvert</source>
        <translation>Refuses to be opened</translation>
    </message>
    <message>
        <source>Réponses après le délai d'attente</source>
        <translation>Replies after the time-out</translation>
    </message>
    <message>
        <source>Réponses fausses</source>
        <translation>Wrong replies</translation>
    </message>
    <message>
        <source>Réponses lentes (2 s)</source>
        <translation>Slow replies (2 s)</translation>
    </message>
    <message>
        <source>Réponses tronquées</source>
        <translation>Truncated replies</translation>
    </message>
    <message>
        <source>contenu invalide</source>
        <translation>invalid content</translation>
    </message>
    <message>
        <source>panne inconnue : %1</source>
        <translation>unknown fault: %1</translation>
    </message>
    <message>
        <source>Écritures en échec</source>
        <translation>Failing writes</translation>
    </message>
    <message>
        <source>Écritures incomplètes</source>
        <translation>Incomplete writes</translation>
    </message>
</context>
</TS>
