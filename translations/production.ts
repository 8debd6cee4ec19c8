<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>%1   n° %2   conforme   %3 ms</source>
        <translation>%1   no. %2   passed   %3 ms</translation>
    </message>
    <message>
        <source>%1   n° %2   ÉCHEC (%3) : %4</source>
        <translation>%1   no. %2   FAILED (%3): %4</translation>
    </message>
    <message>
        <source>%1 (révision %2)</source>
        <translation>%1 (revision %2)</translation>
    </message>
    <message>
        <source>%1 afficheur : %2 conforme, %3 en échec</source>
        <translation>%1 display: %2 passed, %3 failed</translation>
    </message>
    <message>
        <source>%1 afficheur : %2 conformes, %3 en échec</source>
        <translation>%1 display: %2 passed, %3 failed</translation>
    </message>
    <message>
        <source>%1 afficheurs : %2 conforme, %3 en échec</source>
        <translation>%1 displays: %2 passed, %3 failed</translation>
    </message>
    <message>
        <source>%1 afficheurs : %2 conformes, %3 en échec</source>
        <translation>%1 displays: %2 passed, %3 failed</translation>
    </message>
    <message>
        <source>%1 conformes, %2 en échec</source>
        <translation>%1 passed, %2 failed</translation>
    </message>
    <message>
        <source>%1 sur %2</source>
        <translation>%1 out of %2</translation>
    </message>
    <message>
        <source>&amp;Arrêter</source>
        <translation>St&amp;op</translation>
    </message>
    <message>
        <source>&amp;Démarrer</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>Actualiser</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Afficheur en panne</source>
        <translation>Faulty display</translation>
    </message>
    <message>
        <source>Afficheur en panne :</source>
        <translation>Faulty display:</translation>
    </message>
    <message>
        <source>Afficheur n° %1</source>
        <translation>Display no. %1</translation>
    </message>
    <message>
        <source>Afficheur n° %1 : %2</source>
        <translation>Display no. %1: %2</translation>
    </message>
    <message>
        <source>Afficheurs</source>
        <translation>Displays</translation>
    </message>
    <message>
        <source>Afficheurs côte à côte</source>
        <translation>Displays side by side</translation>
    </message>
    <message>
        <source>Afficheurs côte à côte :</source>
        <translation>Displays side by side:</translation>
    </message>
    <message>
        <source>Afficheurs émulés</source>
        <translation>Emulated displays</translation>
    </message>
    <message>
        <source>Afficheurs émulés :</source>
        <translation>Emulated displays:</translation>
    </message>
    <message>
        <source>Arrêt après l'afficheur en cours...</source>
        <translation>Stopping after the current display...</translation>
    </message>
    <message>
        <source>Au poste %1 : %2</source>
        <translation>At station %1: %2</translation>
    </message>
    <message>
        <source>Aucun</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Aucun (fichier modèle)</source>
        <translation>None (model file)</translation>
    </message>
    <message>
        <source>Aucun écran d'accueil</source>
        <translation>No home screen</translation>
    </message>
    <message>
        <source>Avancement :</source>
        <translation>Progress:</translation>
    </message>
    <message>
        <source>Avancement illisible : %1</source>
        <translation>Progress unreadable: %1</translation>
    </message>
    <message>
        <source>Branchez un afficheur.</source>
        <translation>Plug in a display.</translation>
    </message>
    <message>
        <source>CONFORME</source>
        <translation>PASSED</translation>
    </message>
    <message>
        <source>Choisir l'écran d'accueil</source>
        <translation>Choose the home screen</translation>
    </message>
    <message>
        <source>Choisir la configuration modèle</source>
        <translation>Choose the model configuration</translation>
    </message>
    <message>
        <source>Choisir le journal de production</source>
        <translation>Choose the production log</translation>
    </message>
    <message>
        <source>Choisir...</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>Choisissez d'abord le fichier de configuration modèle.</source>
        <translation>First choose the model configuration file.</translation>
    </message>
    <message>
        <source>Choisissez le modèle, puis Démarrer.</source>
        <translation>Choose the model, then Start.</translation>
    </message>
    <message>
        <source>Config (*.config_CP);;Tous les fichiers (*)</source>
        <translation>Config (*.config_CP);;All files (*)</translation>
    </message>
    <message>
        <source>Configuration :</source>
        <translation>Configuration:</translation>
    </message>
    <message>
        <source>Configuration modèle</source>
        <translation>Model configuration</translation>
    </message>
    <message>
        <source>Conformes</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>Dernières lignes du journal</source>
        <translation>Latest log lines</translation>
    </message>
    <message>
        <source>EN ATTENTE</source>
        <translation>WAITING</translation>
    </message>
    <message>
        <source>EN COURS</source>
        <translation>RUNNING</translation>
    </message>
    <message>
        <source>En échec</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>Envoi de l'écran d'accueil</source>
        <translation>Sending the home screen</translation>
    </message>
    <message>
        <source>Fichier %1 illisible : %2</source>
        <translation>File %1 unreadable: %2</translation>
    </message>
    <message>
        <source>Images (*.bmp *.png);;Tous les fichiers (*)</source>
        <translation>Images (*.bmp *.png);;All files (*)</translation>
    </message>
    <message>
        <source>Journal</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Journal :</source>
        <translation>Log:</translation>
    </message>
    <message>
        <source>Journal CSV (*.csv);;Tous les fichiers (*)</source>
        <translation>CSV log (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Journal de la ligne de production</source>
        <translation>Log of the production line</translation>
    </message>
    <message>
        <source>Journal de production</source>
        <translation>Production log</translation>
    </message>
    <message>
        <source>L'afficheur relu diffère : %1</source>
        <translation>The display read back differs: %1</translation>
    </message>
    <message>
        <source>La ligne s'arrête : %1.</source>
        <translation>The line stops: %1.</translation>
    </message>
    <message>
        <source>Le journal %1 ne peut pas être ouvert : %2</source>
        <translation>The log %1 cannot be opened: %2</translation>
    </message>
    <message>
        <source>Le journal %1 ne peut plus être écrit (%2) : la ligne s'arrête.</source>
        <translation>The log %1 can no longer be written (%2): the line stops.</translation>
    </message>
    <message>
        <source>Le journal de service ne peut pas être ouvert : %1</source>
        <translation>The service log cannot be opened: %1</translation>
    </message>
    <message>
        <source>Le lot %1 est encore en lecture.</source>
        <translation>Batch %1 is still being read.</translation>
    </message>
    <message>
        <source>Lecture du bloc</source>
        <translation>Reading the block</translation>
    </message>
    <message>
        <source>Lecture du lot...</source>
        <translation>Reading the batch...</translation>
    </message>
    <message>
        <source>Ligne émulée (formation)</source>
        <translation>Emulated line (training)</translation>
    </message>
    <message>
        <source>Lot %1 : la quantité de %2 afficheurs conformes est atteinte (comptée par ce poste seul), la ligne s'arrête.</source>
        <translation>Batch %1: the quantity of %2 passed displays is reached (counted by this station alone), the line stops.</translation>
    </message>
    <message>
        <source>Lot %1 : la quantité de %2 afficheurs conformes est atteinte ou réservée, la ligne s'arrête.</source>
        <translation>Batch %1: the quantity of %2 passed displays is reached or reserved, the line stops.</translation>
    </message>
    <message>
        <source>Lot refusé : %1</source>
        <translation>Batch refused: %1</translation>
    </message>
    <message>
        <source>Lot à fabriquer</source>
        <translation>Batch to make</translation>
    </message>
    <message>
        <source>Modèle</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>Modèle de la ligne de production</source>
        <translation>Model of the production line</translation>
    </message>
    <message>
        <source>Nombre d'afficheurs</source>
        <translation>Number of displays</translation>
    </message>
    <message>
        <source>Nombre d'échecs</source>
        <translation>Number of failures</translation>
    </message>
    <message>
        <source>Nombre de conformes</source>
        <translation>Number passed</translation>
    </message>
    <message>
        <source>Note : %1</source>
        <translation>Note: %1</translation>
    </message>
    <message>
        <source>PRÊT</source>
        <translation>READY</translation>
    </message>
    <message>
        <source>Panne de l'afficheur</source>
        <translation>Display's fault</translation>
    </message>
    <message>
        <source>Production en série</source>
        <translation>Series production</translation>
    </message>
    <message>
        <source>Programmation</source>
        <translation>Programming</translation>
    </message>
    <message>
        <source>Progression de l'étape</source>
        <translation>Step progress</translation>
    </message>
    <message>
        <source>Quantité : %1</source>
        <translation>Quantity: %1</translation>
    </message>
    <message>
        <source>Relire les lots</source>
        <translation>Read the batches again</translation>
    </message>
    <message>
        <source>Révision %1 : %2</source>
        <translation>Revision %1: %2</translation>
    </message>
    <message>
        <source>Révision :</source>
        <translation>Revision:</translation>
    </message>
    <message>
        <source>Sans quantité</source>
        <translation>No quantity</translation>
    </message>
    <message>
        <source>Serveur des lots injoignable (%1) : ce poste compte seul les afficheurs du lot %2 (%3 conformes connus sur %4).</source>
        <translation>Batch server unreachable (%1): this station counts the displays of batch %2 alone (%3 passed known out of %4).</translation>
    </message>
    <message>
        <source>Serveur des lots injoignable (%1) : ce poste compte seul les afficheurs du lot %2.</source>
        <translation>Batch server unreachable (%1): this station counts the displays of batch %2 alone.</translation>
    </message>
    <message>
        <source>Version attendue : %1</source>
        <translation>Expected version: %1</translation>
    </message>
    <message>
        <source>Vérification</source>
        <translation>Verification</translation>
    </message>
    <message>
        <source>Vérification de l'écran d'accueil</source>
        <translation>Verification of the home screen</translation>
    </message>
    <message>
        <source>aucun</source>
        <translation>none</translation>
    </message>
    <message>
        <source>cache des lots %1 impossible à créer</source>
        <translation>batch cache %1 cannot be created</translation>
    </message>
    <message>
        <source>fichier %1 du cache des lots impossible à écrire : %2</source>
        <translation>file %1 of the batch cache cannot be written: %2</translation>
    </message>
    <message>
        <source>fichier %1 du lot %2 absent du cache de ce poste</source>
        <translation>file %1 of batch %2 missing from this station's cache</translation>
    </message>
    <message>
        <source>fichier %1 du lot %2 altéré dans le cache de ce poste (empreinte %3, le lot attend %4)</source>
        <translation>file %1 of batch %2 altered in this station's cache (hash %3, the batch expects %4)</translation>
    </message>
    <message>
        <source>journal</source>
        <translation>log</translation>
    </message>
    <message>
        <source>journal non ouvert</source>
        <translation>log not open</translation>
    </message>
    <message>
        <source>lecture</source>
        <translation>reading</translation>
    </message>
    <message>
        <source>lot %1 jamais récupéré par ce poste, et le serveur des lots est injoignable (%2)</source>
        <translation>batch %1 never fetched by this station, and the batch server is unreachable (%2)</translation>
    </message>
    <message>
        <source>nom de lot %1 refusé : seuls les lettres, les chiffres, « - », « _ » et « . » sont permis</source>
        <translation>batch name %1 refused: only letters, digits, "-", "_" and "." are allowed</translation>
    </message>
    <message>
        <source>rien n'a été écrit</source>
        <translation>nothing was written</translation>
    </message>
    <message>
        <source>verification</source>
        <translation>verification</translation>
    </message>
    <message>
        <source>verification-ecran</source>
        <translation>screen verification</translation>
    </message>
    <message>
        <source>version %1, le lot attend %2</source>
        <translation>version %1, the batch expects %2</translation>
    </message>
    <message>
        <source>ÉCHEC</source>
        <translation>FAILED</translation>
    </message>
    <message>
        <source>Écran d'accueil :</source>
        <translation>Home screen:</translation>
    </message>
    <message>
        <source>Écran d'accueil de la ligne de production</source>
        <translation>Home screen of the production line</translation>
    </message>
    <message>
        <source>Écran d'accueil du lot</source>
        <translation>The batch's home screen</translation>
    </message>
    <message>
        <source>Étape en cours</source>
        <translation>Current step</translation>
    </message>
</context>
</TS>
