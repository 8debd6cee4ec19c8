<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source> - TRIVO_ZURED NE RÉPOND PAS -</source>
        <translation> - TRIVO_ZURED NOT ANSWERING -</translation>
    </message>
    <message>
        <source> - TRIVO_ZURED_CONNECTÉ -</source>
        <translation> - TRIVO_ZURED_CONNECTED -</translation>
    </message>
    <message>
        <source>%1 : %2 (%3) %4</source>
        <translation>%1: %2 (%3) %4</translation>
    </message>
    <message>
        <source>%1 : (%2) %3</source>
        <translation>%1: (%2) %3</translation>
    </message>
    <message>
        <source>Afficheur %1 débranché : rebranchez-le ou choisissez-en un autre.</source>
        <translation>Display %1 unplugged: plug it in again or choose another one.</translation>
    </message>
    <message>
        <source>Afficheur déjà utilisé par %1 (pid %2).</source>
        <translation>Display already used by %1 (pid %2).</translation>
    </message>
    <message>
        <source>Afficheur inaccessible (%1) : voir la règle udev dans le README.</source>
        <translation>Display not accessible (%1): see the udev rule in the README.</translation>
    </message>
    <message>
        <source>Afficheur non réservé : %1 ne peut être verrouillé (%2).</source>
        <translation>Display not reserved: %1 cannot be locked (%2).</translation>
    </message>
    <message>
        <source>En attente de connexion. Veuillez connecter le TRIVO_ZURED.</source>
        <translation>Waiting for a connection. Please connect the TRIVO_ZURED.</translation>
    </message>
    <message>
        <source>Fin de l'envoi .</source>
        <translation>Sending done .</translation>
    </message>
    <message>
        <source>IMPOSSIBLE !</source>
        <translation>IMPOSSIBLE!</translation>
    </message>
    <message>
        <source>lien symbolique refusé</source>
        <translation>symbolic link refused</translation>
    </message>
    <message>
        <source>version %1</source>
        <translation>version %1</translation>
    </message>
</context>
</TS>
