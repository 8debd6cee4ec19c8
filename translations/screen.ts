<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>%1 Rien n'a été relu.</source>
        <translation>%1 Nothing was read back.</translation>
    </message>
    <message>
        <source>Aperçu de l'écran d'accueil</source>
        <translation>Home screen preview</translation>
    </message>
    <message>
        <source>Arrête l'envoi ou la lecture entre deux blocs.</source>
        <translation>Stops the sending or the reading between two blocks.</translation>
    </message>
    <message>
        <source>Avancement du transfert</source>
        <translation>Transfer progress</translation>
    </message>
    <message>
        <source>Blocs reçus de l'afficheur : %1 sur %2 ; le bloc %3 est le premier resté sans réponse.</source>
        <translation>Blocks received from the display: %1 of %2; block %3 is the first left without an answer.</translation>
    </message>
    <message>
        <source>Blocs reçus de l'afficheur : %1 sur %2.</source>
        <translation>Blocks received from the display: %1 of %2.</translation>
    </message>
    <message>
        <source>Blocs reçus par l'afficheur : %1 sur %2 ; le bloc %3 est le premier resté sans réponse.</source>
        <translation>Blocks received by the display: %1 of %2; block %3 is the first left without an answer.</translation>
    </message>
    <message>
        <source>Blocs reçus par l'afficheur : %1 sur %2.</source>
        <translation>Blocks received by the display: %1 of %2.</translation>
    </message>
    <message>
        <source>Chargez un écran de présentation.</source>
        <translation>Load a home screen.</translation>
    </message>
    <message>
        <source>Efface l'écran ci-dessus.</source>
        <translation>Clears the screen above.</translation>
    </message>
    <message>
        <source>Envoi</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Envoi annulé : aucun bloc n'a été envoyé, l'afficheur garde son écran d'accueil.</source>
        <translation>Sending cancelled: no block was sent, the display keeps its home screen.</translation>
    </message>
    <message>
        <source>Envoi annulé après %1 blocs sur %2 : l'afficheur a reçu le début de l'image (blocs 1 à %1) et garde son ancien écran d'accueil au-delà. Renvoyez l'image pour la compléter.</source>
        <translation>Sending cancelled after %1 of %2 blocks: the display received the start of the picture (blocks 1 to %1) and keeps its old home screen beyond. Send the picture again to complete it.</translation>
    </message>
    <message>
        <source>Envoi l'écran d'acceuil au TRIVO ALTEUR.</source>
        <translation>Sends the home screen to the TRIVO ALTEUR.</translation>
    </message>
    <message>
        <source>Fichiers bmp (*.bmp);;Tous les fichiers(*.*) (*)</source>
        <translation>BMP files (*.bmp);;All files(*.*) (*)</translation>
    </message>
    <message>
        <source>L'afficheur n'a pas répondu : son écran n'est peut-être pas effacé.</source>
        <translation>The display did not answer: its screen may not be cleared.</translation>
    </message>
    <message>
        <source>L'aperçu garde l'image qu'il montrait avant la lecture.</source>
        <translation>The preview keeps the picture it showed before the reading.</translation>
    </message>
    <message>
        <source>L'aperçu garde son image.</source>
        <translation>The preview keeps its picture.</translation>
    </message>
    <message>
        <source>L'effacement n'a pas été reçu.</source>
        <translation>The clear was not received.</translation>
    </message>
    <message>
        <source>L'écran d'accueil n'a pas été entièrement envoyé.</source>
        <translation>The home screen was not sent completely.</translation>
    </message>
    <message>
        <source>L'écran d'accueil n'a pas été entièrement lu.</source>
        <translation>The home screen was not read completely.</translation>
    </message>
    <message>
        <source>L'écran d'accueil relu diffère de celui envoyé à partir de l'octet %1 (ligne %2, colonne %3).</source>
        <translation>The home screen read back differs from the one sent from byte %1 on (row %2, column %3).</translation>
    </message>
    <message>
        <source>Lecture annulée : l'aperçu n'a pas changé.</source>
        <translation>Reading cancelled: the preview has not changed.</translation>
    </message>
    <message>
        <source>Lit l'écran d'acceuil du TRIVO ALTEUR.</source>
        <translation>Reads the TRIVO ALTEUR's home screen.</translation>
    </message>
    <message>
        <source>Ouvrir</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Ouvrir un fichier image bmp 240x64 16 couleurs.</source>
        <translation>Open a 240x64 16-colour bmp picture file.</translation>
    </message>
    <message>
        <source>Ouvrir une image BMP 16 couleurs (seulement le blanc et le bleu utilisé) en 240 par 64 pixels.</source>
        <translation>Open a 16-colour BMP picture (only white and blue used) of 240 by 64 pixels.</translation>
    </message>
    <message>
        <source>Relecture annulée : rien n'a été écrit dans le TRIVO ZURED, rien n'est vérifié.</source>
        <translation>Read-back cancelled: nothing was written to the TRIVO ZURED, nothing is verified.</translation>
    </message>
    <message>
        <source>Relecture impossible, rien n'est vérifié : %1</source>
        <translation>Read-back impossible, nothing is verified: %1</translation>
    </message>
    <message>
        <source>Vérifiez la liaison puis recommencez l'envoi.</source>
        <translation>Check the link, then send again.</translation>
    </message>
    <message>
        <source>illisible</source>
        <translation>unreadable</translation>
    </message>
    <message>
        <source>image BMP incomplète ou tronquée</source>
        <translation>BMP picture incomplete or truncated</translation>
    </message>
    <message>
        <source>image invalide</source>
        <translation>invalid picture</translation>
    </message>
    <message>
        <source>image trop grande</source>
        <translation>picture too large</translation>
    </message>
    <message>
        <source>introuvable</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>non enregistré, format d'image inconnu : %1 (%2)</source>
        <translation>not saved, unknown picture format: %1 (%2)</translation>
    </message>
    <message>
        <source>non reconnu comme image</source>
        <translation>not recognised as a picture</translation>
    </message>
    <message>
        <source>Écran d'accueil relu identique.</source>
        <translation>Home screen read back identical.</translation>
    </message>
</context>
</TS>
