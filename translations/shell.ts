<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>%1 (débranché)</source>
        <translation>%1 (unplugged)</translation>
    </message>
    <message>
        <source>%1 - Simulation (afficheur émulé)</source>
        <translation>%1 - Simulation (emulated display)</translation>
    </message>
    <message>
        <source>%1 existe déjà.</source>
        <translation>%1 already exists.</translation>
    </message>
    <message>
        <source>%1 — mode mise à jour (%2 octets reçus)</source>
        <translation>%1 — update mode (%2 bytes received)</translation>
    </message>
    <message>
        <source>&amp;Aucune panne</source>
        <translation>&amp;No fault</translation>
    </message>
    <message>
        <source>&amp;Charger un écran de présentation.</source>
        <translation>&amp;Load a start-up screen.</translation>
    </message>
    <message>
        <source>&amp;Configuration</source>
        <translation>&amp;Configuration</translation>
    </message>
    <message>
        <source>&amp;Copier</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>&amp;Différences seulement</source>
        <translation>&amp;Differences only</translation>
    </message>
    <message>
        <source>&amp;En Cascade.</source>
        <translation>&amp;Cascade.</translation>
    </message>
    <message>
        <source>&amp;Fenêtre.</source>
        <translation>&amp;Window.</translation>
    </message>
    <message>
        <source>&amp;Fermer</source>
        <translation>C&amp;lose</translation>
    </message>
    <message>
        <source>&amp;Fichier</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Français</source>
        <translation>&amp;French</translation>
    </message>
    <message>
        <source>&amp;Historique...</source>
        <translation>&amp;History...</translation>
    </message>
    <message>
        <source>&amp;Imprimer la configuration...</source>
        <translation>&amp;Print the configuration...</translation>
    </message>
    <message>
        <source>&amp;Ligne de production émulée...</source>
        <translation>Emulated production &amp;line...</translation>
    </message>
    <message>
        <source>&amp;Lire les registres spéciaux.</source>
        <translation>&amp;Read the special registers.</translation>
    </message>
    <message>
        <source>&amp;Nommer l'afficheur...</source>
        <translation>&amp;Name the display...</translation>
    </message>
    <message>
        <source>&amp;Nouveau</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>&amp;Option</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>&amp;Ouvrir</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>&amp;Pannes</source>
        <translation>&amp;Faults</translation>
    </message>
    <message>
        <source>&amp;Production en série.</source>
        <translation>&amp;Series production.</translation>
    </message>
    <message>
        <source>&amp;Quitter</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>&amp;Restaurer l'afficheur...</source>
        <translation>&amp;Restore the display...</translation>
    </message>
    <message>
        <source>&amp;Réorganiser les icones.</source>
        <translation>&amp;Arrange icons.</translation>
    </message>
    <message>
        <source>&amp;Sauvegarder</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Sauvegarder l'afficheur...</source>
        <translation>&amp;Back up the display...</translation>
    </message>
    <message>
        <source>&amp;Simulation</source>
        <translation>&amp;Simulation</translation>
    </message>
    <message>
        <source>&amp;Vérifier l'afficheur.</source>
        <translation>&amp;Verify the display.</translation>
    </message>
    <message>
        <source>--theme ne connaît que « sombre ».</source>
        <translation>--theme knows only "sombre" (dark).</translation>
    </message>
    <message>
        <source>--unites demande un nombre d'afficheurs de 1 à 16.</source>
        <translation>--unites needs a number of displays from 1 to 16.</translation>
    </message>
    <message>
        <source>Afficheur %1 branché</source>
        <translation>Display %1 plugged in</translation>
    </message>
    <message>
        <source>Afficheur &amp;branché</source>
        <translation>Display &amp;plugged in</translation>
    </message>
    <message>
        <source>Afficheur sur lequel travaillent les fenêtres.</source>
        <translation>Display the windows work on.</translation>
    </message>
    <message>
        <source>Afficheur émulé (simulation)</source>
        <translation>Emulated display (simulation)</translation>
    </message>
    <message>
        <source>Animation, image %1</source>
        <translation>Animation, picture %1</translation>
    </message>
    <message>
        <source>Arrête l'opération entre deux échanges avec l'afficheur.</source>
        <translation>Stops the operation between two exchanges with the display.</translation>
    </message>
    <message>
        <source>Attendu : %1</source>
        <translation>Expected: %1</translation>
    </message>
    <message>
        <source>Aucun afficheur branché à nommer.</source>
        <translation>No display plugged in to name.</translation>
    </message>
    <message>
        <source>Aucun afficheur branché.</source>
        <translation>No display plugged in.</translation>
    </message>
    <message>
        <source>Branché</source>
        <translation>Plugged in</translation>
    </message>
    <message>
        <source>Co&amp;mparer avec un fichier...</source>
        <translation>&amp;Compare with a file...</translation>
    </message>
    <message>
        <source>Comparaison avec l'afficheur</source>
        <translation>Comparison with the display</translation>
    </message>
    <message>
        <source>Comparer l'afficheur avec une configuration.</source>
        <translation>Compare the display with a configuration.</translation>
    </message>
    <message>
        <source>Compteur :</source>
        <translation>Counter:</translation>
    </message>
    <message>
        <source>Compteur et totalisateur</source>
        <translation>Counter and totaliser</translation>
    </message>
    <message>
        <source>Connectez votre TRIVO ZURED COMPTEUR.</source>
        <translation>Connect your TRIVO ZURED COUNTER.</translation>
    </message>
    <message>
        <source>Coordonnées du fabricant</source>
        <translation>Maker's contact details</translation>
    </message>
    <message>
        <source>Copie la comparaison affichée dans le presse-papiers, en texte.</source>
        <translation>Copies the comparison shown to the clipboard, as text.</translation>
    </message>
    <message>
        <source>DEL 1</source>
        <translation>LED 1</translation>
    </message>
    <message>
        <source>DEL 2</source>
        <translation>LED 2</translation>
    </message>
    <message>
        <source>DEL 3</source>
        <translation>LED 3</translation>
    </message>
    <message>
        <source>Dernière opération</source>
        <translation>Last operation</translation>
    </message>
    <message>
        <source>Document PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Dossier de la sauvegarde (nouveau ou vide).</source>
        <translation>Folder of the backup (new or empty).</translation>
    </message>
    <message>
        <source>Dossier de la sauvegarde à restaurer.</source>
        <translation>Folder of the backup to restore.</translation>
    </message>
    <message>
        <source>Débranché</source>
        <translation>Unplugged</translation>
    </message>
    <message>
        <source>Détails</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>E&amp;xporter en PDF...</source>
        <translation>E&amp;xport to PDF...</translation>
    </message>
    <message>
        <source>Envoi des paramètres couleur au panneau.</source>
        <translation>Sends the colour parameters to the panel.</translation>
    </message>
    <message>
        <source>Exporter la fiche d'intervention en PDF.</source>
        <translation>Export the service sheet to PDF.</translation>
    </message>
    <message>
        <source>Fichiers d'aide (*.pdf *.doc *.txt);;Tous les fichiers(*.*) (*)</source>
        <translation>Help files (*.pdf *.doc *.txt);;All files(*.*) (*)</translation>
    </message>
    <message>
        <source>Imprimer la configuration.</source>
        <translation>Print the configuration.</translation>
    </message>
    <message>
        <source>Interface au format  DOC</source>
        <translation>Interface in  DOC format</translation>
    </message>
    <message>
        <source>Interface au format  Pdf (reader)</source>
        <translation>Interface in  Pdf format (reader)</translation>
    </message>
    <message>
        <source>Journal des échanges</source>
        <translation>Exchange log</translation>
    </message>
    <message>
        <source>Journal et tampon des échanges (maintenance).</source>
        <translation>Log and buffer of the exchanges (maintenance).</translation>
    </message>
    <message>
        <source>La connection avec le TRIVO_CT est symbolisée par une diode verte.</source>
        <translation>A green LED shows the connection with the TRIVO_CT.</translation>
    </message>
    <message>
        <source>La langue choisie sera celle des fenêtres au prochain démarrage du programme.</source>
        <translation>The windows will use the chosen language from the next start of the program.</translation>
    </message>
    <message>
        <source>Lan&amp;gue</source>
        <translation>Lan&amp;guage</translation>
    </message>
    <message>
        <source>Lecture EEPROM du panneau.</source>
        <translation>Reads the panel's EEPROM.</translation>
    </message>
    <message>
        <source>Lecture des dernières opérations de l'afficheur sur le serveur partagé %1...</source>
        <translation>Reading the display's last operations on the shared server %1...</translation>
    </message>
    <message>
        <source>Mode &amp;mise à jour du micrologiciel</source>
        <translation>Firmware &amp;update mode</translation>
    </message>
    <message>
        <source>Mosaïque &amp;Horizontale.</source>
        <translation>Tile &amp;Horizontally.</translation>
    </message>
    <message>
        <source>Mosaïque &amp;verticale.</source>
        <translation>Tile &amp;vertically.</translation>
    </message>
    <message>
        <source>N (rapports avant le débranchement) :</source>
        <translation>N (reports before unplugging):</translation>
    </message>
    <message>
        <source>Nom de l'afficheur %1 :</source>
        <translation>Name of display %1:</translation>
    </message>
    <message>
        <source>Nommer l'afficheur.</source>
        <translation>Name the display.</translation>
    </message>
    <message>
        <source>Octet %1</source>
        <translation>Byte %1</translation>
    </message>
    <message>
        <source>Octet %1 (remplissage)</source>
        <translation>Byte %1 (fill)</translation>
    </message>
    <message>
        <source>Ou&amp;tils</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>Ouvrir de l'aide.</source>
        <translation>Open a help file.</translation>
    </message>
    <message>
        <source>Ouvrir un fichier d'aide (bouton gauche puis ouvrir).</source>
        <translation>Open a help file (left button, then Open).</translation>
    </message>
    <message>
        <source>Pa&amp;nneau émulé...</source>
        <translation>Emulated pa&amp;nel...</translation>
    </message>
    <message>
        <source>Paramètres comparés</source>
        <translation>Compared parameters</translation>
    </message>
    <message>
        <source>Programmer l'&amp;afficheur.</source>
        <translation>Program the &amp;display.</translation>
    </message>
    <message>
        <source>Progression de l'opération</source>
        <translation>Progress of the operation</translation>
    </message>
    <message>
        <source>Protocole au format  DOC</source>
        <translation>Protocol in  DOC format</translation>
    </message>
    <message>
        <source>Protocole au format  Pdf (reader)</source>
        <translation>Protocol in  Pdf format (reader)</translation>
    </message>
    <message>
        <source>Quitter</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Rapports avant le débranchement</source>
        <translation>Reports before unplugging</translation>
    </message>
    <message>
        <source>Relire l'écran d'accueil après &amp;envoi</source>
        <translation>Read the home screen back after &amp;sending</translation>
    </message>
    <message>
        <source>Restaurer l'afficheur.</source>
        <translation>Restore the display.</translation>
    </message>
    <message>
        <source>TRIVO - ZURED - COMPTEUR</source>
        <translation>TRIVO - ZURED - COUNTER</translation>
    </message>
    <message>
        <source>Totalisateur :</source>
        <translation>Totaliser:</translation>
    </message>
    <message>
        <source>Utilitaire de service TRIVO ZURED CP.</source>
        <translation>TRIVO ZURED CP service utility.</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Voulez-vous le remplacer ?</source>
        <translation>Do you want to replace it?</translation>
    </message>
    <message>
        <source>Voyants et sorties</source>
        <translation>Lamps and outputs</translation>
    </message>
    <message>
        <source>Vérification impossible : rien n'est vérifié.</source>
        <translation>Verification impossible: nothing is verified.</translation>
    </message>
    <message>
        <source>Vérifier après &amp;programmation</source>
        <translation>Verify after &amp;programming</translation>
    </message>
    <message>
        <source>ZURED Instruments S.A.S.
14, allée des Compteurs
ZA du Pré Vert
99120 Valbrune-sur-Loue - FRANCE
Tél. : +33 (0)1 99 00 12 34
Fax : +33 (0)1 99 00 12 35
S.A.S. au capital de 80 000 EUR
RCS Valbrune 900 000 000 - APE 2651B
TVA FR00 900000000</source>
        <translation>ZURED Instruments S.A.S.
14, allée des Compteurs
ZA du Pré Vert
99120 Valbrune-sur-Loue - FRANCE
Tel.: +33 (0)1 99 00 12 34
Fax: +33 (0)1 99 00 12 35
S.A.S. with a share capital of EUR 80,000
RCS Valbrune 900 000 000 - APE 2651B
VAT FR00 900000000</translation>
    </message>
    <message>
        <source>allumé</source>
        <translation>lit</translation>
    </message>
    <message>
        <source>efface</source>
        <translation>clear</translation>
    </message>
    <message>
        <source>la fenêtre de configuration</source>
        <translation>the configuration window</translation>
    </message>
    <message>
        <source>Échange en cours</source>
        <translation>Exchange in progress</translation>
    </message>
    <message>
        <source>Écran LCD</source>
        <translation>LCD screen</translation>
    </message>
    <message>
        <source>Écran LCD 240 x 64</source>
        <translation>LCD screen 240 x 64</translation>
    </message>
    <message>
        <source>État de l'afficheur émulé</source>
        <translation>State of the emulated display</translation>
    </message>
    <message>
        <source>État de la connexion</source>
        <translation>Connection state</translation>
    </message>
    <message>
        <source>État de la liaison</source>
        <translation>Link state</translation>
    </message>
    <message>
        <source>éteint</source>
        <translation>off</translation>
    </message>
</context>
</TS>
