<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>%1 existe déjà : la sauvegarde n'écrase rien.</source>
        <translation>%1 already exists: a backup overwrites nothing.</translation>
    </message>
    <message>
        <source>%1 n'est pas le manifeste d'une sauvegarde.</source>
        <translation>%1 is not the manifest of a backup.</translation>
    </message>
    <message>
        <source>%1 n'est pas un dossier : la sauvegarde n'écrase rien.</source>
        <translation>%1 is not a folder: a backup overwrites nothing.</translation>
    </message>
    <message>
        <source>%1 n'est pas une configuration lisible (ligne %2 : %3).</source>
        <translation>%1 is not a readable configuration (line %2: %3).</translation>
    </message>
    <message>
        <source>%1 n'est pas une image lisible.</source>
        <translation>%1 is not a readable image.</translation>
    </message>
    <message>
        <source>Afficheur restauré : configuration et écran d'accueil relus identiques.</source>
        <translation>Display restored: configuration and home screen read back identical.</translation>
    </message>
    <message>
        <source>Afficheur restauré, mais la relecture ne confirme pas la sauvegarde.</source>
        <translation>Display restored, but the read-back does not confirm the backup.</translation>
    </message>
    <message>
        <source>Configuration : %1</source>
        <translation>Configuration: %1</translation>
    </message>
    <message>
        <source>Diodes (rouge verte bleue)   : </source>
        <translation>LEDs (red green blue):         </translation>
    </message>
    <message>
        <source>Heure et date        : </source>
        <translation>Time and date:         </translation>
    </message>
    <message>
        <source>L'écran d'accueil n'a pas pu être mis au format PNG.</source>
        <translation>The home screen could not be converted to PNG.</translation>
    </message>
    <message>
        <source>La configuration et l'écran d'accueil du TRIVO ZURED seront remplacés par ceux de la sauvegarde %1 (du %2).</source>
        <translation>The configuration and home screen of the TRIVO ZURED will be replaced by those of backup %1 (of %2).</translation>
    </message>
    <message>
        <source>Le dossier %1 n'a pas pu être créé.</source>
        <translation>Folder %1 could not be created.</translation>
    </message>
    <message>
        <source>Le dossier %1 n'est pas vide : une sauvegarde va dans un dossier nouveau et n'écrase rien.</source>
        <translation>Folder %1 is not empty: a backup goes into a new folder and overwrites nothing.</translation>
    </message>
    <message>
        <source>Le manifeste de la sauvegarde %1 est altéré.</source>
        <translation>The manifest of backup %1 is altered.</translation>
    </message>
    <message>
        <source>Niveau de réception  : </source>
        <translation>Reception level:       </translation>
    </message>
    <message>
        <source>Poussoirs appuyés (r v b)    : </source>
        <translation>Buttons pressed (r g b):       </translation>
    </message>
    <message>
        <source>Radio synchronisation: </source>
        <translation>Radio sync:            </translation>
    </message>
    <message>
        <source>Restauration : l'afficheur relu diffère de la sauvegarde.</source>
        <translation>Restore: the display read back differs from the backup.</translation>
    </message>
    <message>
        <source>Restauration : la relecture a échoué.</source>
        <translation>Restore: the read-back failed.</translation>
    </message>
    <message>
        <source>Restauration annulée avant tout envoi : le TRIVO ZURED n'a pas été modifié.</source>
        <translation>Restore cancelled before anything was sent: the TRIVO ZURED was not changed.</translation>
    </message>
    <message>
        <source>Rien n'a été envoyé.</source>
        <translation>Nothing was sent.</translation>
    </message>
    <message>
        <source>Sauvegarde %1 altérée : l'empreinte de %2 ne correspond pas.</source>
        <translation>Backup %1 altered: the fingerprint of %2 does not match.</translation>
    </message>
    <message>
        <source>Sauvegarde %1 incomplète : %2 manque.</source>
        <translation>Backup %1 incomplete: %2 is missing.</translation>
    </message>
    <message>
        <source>Sauvegarde %1 incomplète : le manifeste ne cite pas %2.</source>
        <translation>Backup %1 incomplete: the manifest does not list %2.</translation>
    </message>
    <message>
        <source>Sauvegarde annulée : aucun fichier n'a été écrit, rien n'a été écrit dans le TRIVO ZURED.</source>
        <translation>Backup cancelled: no file was written, nothing was written to the TRIVO ZURED.</translation>
    </message>
    <message>
        <source>Sauvegarde de l'afficheur enregistrée dans %1.</source>
        <translation>Backup of the display saved in %1.</translation>
    </message>
    <message>
        <source>Température          : </source>
        <translation>Temperature:           </translation>
    </message>
    <message>
        <source>Voulez-vous restaurer cette sauvegarde ?</source>
        <translation>Do you want to restore this backup?</translation>
    </message>
    <message>
        <source>non</source>
        <translation>no</translation>
    </message>
    <message>
        <source>oui</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>relecture impossible, rien n'est vérifié (%1)</source>
        <translation>read-back impossible, nothing is verified (%1)</translation>
    </message>
    <message>
        <source>relecture impossible, rien n'est vérifié (%1).</source>
        <translation>read-back impossible, nothing is verified (%1).</translation>
    </message>
    <message>
        <source>relu identique.</source>
        <translation>read back identical.</translation>
    </message>
    <message>
        <source>Écran d'accueil : %1</source>
        <translation>Home screen: %1</translation>
    </message>
</context>
</TS>
