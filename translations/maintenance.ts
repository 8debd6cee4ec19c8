<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Arrêter la mise à jour.</source>
        <translation>Stop the update.</translation>
    </message>
    <message>
        <source>Aucun fichier HEX n'a été lu dans cette fenêtre.</source>
        <translation>No HEX file has been read in this window.</translation>
    </message>
    <message>
        <source>Charge l'EEPROM et la RTC avec les valeurs initiales de démarrage.</source>
        <translation>Loads the EEPROM and the RTC with the initial start-up values.</translation>
    </message>
    <message>
        <source>Conversion INTEL HEX en cours.</source>
        <translation>INTEL HEX conversion under way.</translation>
    </message>
    <message>
        <source>Défilement du contenu du fichier HEX</source>
        <translation>Scrolling of the HEX file contents</translation>
    </message>
    <message>
        <source>Défilement du vidage</source>
        <translation>Dump scrolling</translation>
    </message>
    <message>
        <source>Démarrez la mise à jour</source>
        <translation>Start the update</translation>
    </message>
    <message>
        <source>EEprom 24Cxx et RTC DS130x initialisé à &amp;hFF.</source>
        <translation>EEprom 24Cxx and RTC DS130x set to &amp;hFF.</translation>
    </message>
    <message>
        <source>Ecrit dans l'EEPROM et la RTC du TRIVO-ALTEU les données vièrges(vous perdez tout vos picto).</source>
        <translation>Writes blank data to the TRIVO-ALTEU's EEPROM and RTC (you lose all your pictograms).</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Fermer la fenêtre</source>
        <translation>Close the window</translation>
    </message>
    <message>
        <source>Fermer la mise à jour</source>
        <translation>Close the update</translation>
    </message>
    <message>
        <source>Fermer.</source>
        <translation>Close.</translation>
    </message>
    <message>
        <source>Fichier (*.HEX)</source>
        <translation>File (*.HEX)</translation>
    </message>
    <message>
        <source>Fichier HEX</source>
        <translation>HEX file</translation>
    </message>
    <message>
        <source>Fin du flashage .</source>
        <translation>Flashing finished.</translation>
    </message>
    <message>
        <source>Flashage du microcontrôleur en cours.</source>
        <translation>Flashing the microcontroller.</translation>
    </message>
    <message>
        <source>Fonctions spéciales de maintenances.</source>
        <translation>Special maintenance functions.</translation>
    </message>
    <message>
        <source>Formatage</source>
        <translation>Formatting</translation>
    </message>
    <message>
        <source>Férmer.</source>
        <translation>Close.</translation>
    </message>
    <message>
        <source>Initialisation</source>
        <translation>Initialisation</translation>
    </message>
    <message>
        <source>La mise à jour n'est pas terminée au bloc %1 sur %2 : %3</source>
        <translation>The update did not finish at block %1 of %2: %3</translation>
    </message>
    <message>
        <source>La mise à jour ne peut pas être annulée : l'effacement du programme a commencé. Laissez-la se terminer.</source>
        <translation>The update cannot be cancelled: erasing the program has begun. Let it finish.</translation>
    </message>
    <message>
        <source>Le TRIVO_ZURED n'est pas connecté : la mise à jour ne peut pas démarrer.</source>
        <translation>The TRIVO_ZURED is not connected: the update cannot start.</translation>
    </message>
    <message>
        <source>Le programme du TRIVO_ZURED est incomplet : recommencez la mise à jour.</source>
        <translation>The TRIVO_ZURED's program is incomplete: start the update again.</translation>
    </message>
    <message>
        <source>Maj du TRIVO-ZEP.</source>
        <translation>TRIVO-ZEP update.</translation>
    </message>
    <message>
        <source>Mise à jour</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Mise à jour annulée : rien n'a été envoyé.</source>
        <translation>Update cancelled: nothing was sent.</translation>
    </message>
    <message>
        <source>Mise à jour du programme PIC du trivo-alteur.</source>
        <translation>Updates the trivo-alteur's PIC program.</translation>
    </message>
    <message>
        <source>Mise à jour interrompue.</source>
        <translation>Update interrupted.</translation>
    </message>
    <message>
        <source>Nouvelle version du logiciel embarqué.</source>
        <translation>New version of the embedded software.</translation>
    </message>
    <message>
        <source>Opération de mise à jour du programme du TRIVO-ALTEU.</source>
        <translation>Updates the TRIVO-ALTEU's program.</translation>
    </message>
    <message>
        <source>Ouverture de  fichier de mise à jour.</source>
        <translation>Opening the update file.</translation>
    </message>
    <message>
        <source>Ouvrez d'abord le fichier de mise à jour avec « Ouvrir un HEX ».</source>
        <translation>First open the update file with "Open a HEX".</translation>
    </message>
    <message>
        <source>Ouvrir un HEX</source>
        <translation>Open a HEX</translation>
    </message>
    <message>
        <source>Ouvrir un fichier HEX.</source>
        <translation>Open a HEX file.</translation>
    </message>
    <message>
        <source>Progression</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Reconfigurer la version d'origine (sortie d'usine).</source>
        <translation>Restore the original version (factory settings).</translation>
    </message>
    <message>
        <source>Souhaitez-vous continuer?</source>
        <translation>Do you want to continue?</translation>
    </message>
    <message>
        <source>Vidage du fichier HEX</source>
        <translation>HEX file dump</translation>
    </message>
    <message>
        <source>adresse</source>
        <translation>address</translation>
    </message>
    <message>
        <source>adresse étendue de %1 octets au lieu de 2.</source>
        <translation>extended address of %1 bytes instead of 2.</translation>
    </message>
    <message>
        <source>ce n'est pas un enregistrement (il ne commence pas par « : »).</source>
        <translation>not a record (it does not start with ":").</translation>
    </message>
    <message>
        <source>enregistrement incomplet (%1 chiffres hexadécimaux au lieu de %2).</source>
        <translation>incomplete record (%1 hexadecimal digits instead of %2).</translation>
    </message>
    <message>
        <source>enregistrement trop long (%1 chiffres hexadécimaux au lieu de %2, pour %3 octets de données).</source>
        <translation>record too long (%1 hexadecimal digits instead of %2, for %3 data bytes).</translation>
    </message>
    <message>
        <source>erreur de lecture (%1).</source>
        <translation>read error (%1).</translation>
    </message>
    <message>
        <source>fin de fichier avant le moindre octet de données.</source>
        <translation>end of file before any data byte.</translation>
    </message>
    <message>
        <source>l'octet chargé à %1 est déjà donné plus haut dans le fichier.</source>
        <translation>the byte loaded at %1 is already given earlier in the file.</translation>
    </message>
    <message>
        <source>l'octet chargé à %1 tombe avant le début de l'image, qui commence au premier enregistrement de données (%2).</source>
        <translation>the byte loaded at %1 falls before the start of the image, which begins at the first data record (%2).</translation>
    </message>
    <message>
        <source>l'octet chargé à %1 tombe à l'adresse d'image %2, au-delà de 7FFF.</source>
        <translation>the byte loaded at %1 falls at image address %2, beyond 7FFF.</translation>
    </message>
    <message>
        <source>le fichier s'arrête sans enregistrement de fin (:00000001FF).</source>
        <translation>the file stops without an end record (:00000001FF).</translation>
    </message>
    <message>
        <source>ligne %1 : %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>longueur</source>
        <translation>length</translation>
    </message>
    <message>
        <source>octet de données %1</source>
        <translation>data byte %1</translation>
    </message>
    <message>
        <source>somme de contrôle</source>
        <translation>checksum</translation>
    </message>
    <message>
        <source>somme de contrôle erronée (lue %1, attendue %2).</source>
        <translation>wrong checksum (read %1, expected %2).</translation>
    </message>
    <message>
        <source>trop grand (%1 Kio, plus de %2 Kio) pour une image de 32 Kio.</source>
        <translation>too large (%1 KiB, over %2 KiB) for a 32 KiB image.</translation>
    </message>
    <message>
        <source>trop grand (plus de %1 Kio) pour une image de 32 Kio.</source>
        <translation>too large (over %1 KiB) for a 32 KiB image.</translation>
    </message>
    <message>
        <source>type</source>
        <translation>type</translation>
    </message>
    <message>
        <source>type d'enregistrement %1 inconnu.</source>
        <translation>unknown record type %1.</translation>
    </message>
    <message>
        <source>vide, sans aucun enregistrement.</source>
        <translation>empty, without any record.</translation>
    </message>
    <message>
        <source>« %1 » : accès refusé (%2).</source>
        <translation>"%1": access denied (%2).</translation>
    </message>
    <message>
        <source>« %1 » introuvable.</source>
        <translation>"%1" not found.</translation>
    </message>
    <message>
        <source>« %1 » n'est pas un octet hexadécimal (%2).</source>
        <translation>"%1" is not a hexadecimal byte (%2).</translation>
    </message>
    <message>
        <source>« %1 », %2</source>
        <translation>"%1", %2</translation>
    </message>
    <message>
        <source>État de l'opération</source>
        <translation>Operation status</translation>
    </message>
</context>
</TS>
