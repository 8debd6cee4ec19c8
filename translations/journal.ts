<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source> (par %1)</source>
        <translation> (by %1)</translation>
    </message>
    <message>
        <source> ; %1 de ce poste attend d'y être envoyée</source>
        <translation>; %1 of this station waits to be sent there</translation>
    </message>
    <message>
        <source> ; %1 de ce poste attendent d'y être envoyées</source>
        <translation>; %1 of this station wait to be sent there</translation>
    </message>
    <message>
        <source> ; %1 refusée par le serveur, mise de côté</source>
        <translation>; %1 refused by the server, set aside</translation>
    </message>
    <message>
        <source> ; %1 refusées par le serveur, mises de côté</source>
        <translation>; %1 refused by the server, set aside</translation>
    </message>
    <message>
        <source>%1 les plus récentes (la suite en faisant défiler)</source>
        <translation>the newest %1 (scroll for more)</translation>
    </message>
    <message>
        <source>%1 opération</source>
        <translation>%1 operation</translation>
    </message>
    <message>
        <source>%1 opérations</source>
        <translation>%1 operations</translation>
    </message>
    <message>
        <source>&amp;Actualiser</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>&amp;Exporter en CSV...</source>
        <translation>&amp;Export to CSV...</translation>
    </message>
    <message>
        <source>(adresse illisible)</source>
        <translation>(unreadable address)</translation>
    </message>
    <message>
        <source>A&amp;nnuler</source>
        <translation>Ca&amp;ncel</translation>
    </message>
    <message>
        <source>Afficheur :</source>
        <translation>Display:</translation>
    </message>
    <message>
        <source>Arrête la lecture du journal en cours.</source>
        <translation>Stops the reading of the log under way.</translation>
    </message>
    <message>
        <source>Aucun échec.</source>
        <translation>No failure.</translation>
    </message>
    <message>
        <source>Aucune opération.</source>
        <translation>No operation.</translation>
    </message>
    <message>
        <source>Autres lots</source>
        <translation>Other batches</translation>
    </message>
    <message>
        <source>Autres raisons</source>
        <translation>Other reasons</translation>
    </message>
    <message>
        <source>Bilan du journal du poste %1...</source>
        <translation>Summing up the station's log %1...</translation>
    </message>
    <message>
        <source>Bilan du serveur partagé %1...</source>
        <translation>Summing up the shared server %1...</translation>
    </message>
    <message>
        <source>Bilan impossible : %1</source>
        <translation>No summary: %1</translation>
    </message>
    <message>
        <source>Cet afficheur seulement</source>
        <translation>This display only</translation>
    </message>
    <message>
        <source>Chiffres des graphiques</source>
        <translation>Figures of the charts</translation>
    </message>
    <message>
        <source>Chiffres des graphiques :</source>
        <translation>Figures of the charts:</translation>
    </message>
    <message>
        <source>Cumul (%)</source>
        <translation>Cumulative (%)</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Date de début</source>
        <translation>Start date</translation>
    </message>
    <message>
        <source>Depuis le</source>
        <translation>Since</translation>
    </message>
    <message>
        <source>Document PDF (*.pdf);;Image PNG (*.png)</source>
        <translation>PDF document (*.pdf);;PNG image (*.png)</translation>
    </message>
    <message>
        <source>Durée (ms)</source>
        <translation>Duration (ms)</translation>
    </message>
    <message>
        <source>Enregistrer le tableau de bord dans un document PDF ou une image PNG.</source>
        <translation>Save the dashboard in a PDF document or a PNG image.</translation>
    </message>
    <message>
        <source>Exporter en &amp;PDF/PNG...</source>
        <translation>Export to &amp;PDF/PNG...</translation>
    </message>
    <message>
        <source>Exporter l'historique.</source>
        <translation>Export the history.</translation>
    </message>
    <message>
        <source>Exporter le tableau de bord.</source>
        <translation>Export the dashboard.</translation>
    </message>
    <message>
        <source>Fichier</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Fichier CSV (*.csv);;Tous les fichiers (*)</source>
        <translation>CSV file (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Graphique</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>Graphique des opérations par heure</source>
        <translation>Chart of the operations per hour</translation>
    </message>
    <message>
        <source>Graphique des raisons des échecs, les plus fréquentes d'abord</source>
        <translation>Chart of the failure reasons, the most frequent first</translation>
    </message>
    <message>
        <source>Graphique des réussites et échecs par lot</source>
        <translation>Chart of the passed and failed operations per batch</translation>
    </message>
    <message>
        <source>Historique</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Historique des opérations</source>
        <translation>Operation history</translation>
    </message>
    <message>
        <source>Historique exporté : %1 opération.</source>
        <translation>History exported: %1 operation.</translation>
    </message>
    <message>
        <source>Historique exporté : %1 opérations.</source>
        <translation>History exported: %1 operations.</translation>
    </message>
    <message>
        <source>Journal de service.</source>
        <translation>Service log.</translation>
    </message>
    <message>
        <source>Journal du poste %1 — %2</source>
        <translation>Station log %1 — %2</translation>
    </message>
    <message>
        <source>Journal illisible : %1</source>
        <translation>Log unreadable: %1</translation>
    </message>
    <message>
        <source>L'opération n'a pas été inscrite au journal de service : %1</source>
        <translation>The operation was not written to the service log: %1</translation>
    </message>
    <message>
        <source>Le journal de service local était endommagé : il est gardé sous %1 et un nouveau journal commence.</source>
        <translation>The local service log was damaged: it is kept as %1 and a new log begins.</translation>
    </message>
    <message>
        <source>Le programme s'est arrêté avant la fin de l'opération.</source>
        <translation>The program stopped before the operation ended.</translation>
    </message>
    <message>
        <source>Lecture annulée : le tableau est celui de la lecture précédente.</source>
        <translation>Reading cancelled: the table is that of the previous reading.</translation>
    </message>
    <message>
        <source>Lecture du journal du poste %1...</source>
        <translation>Reading the station log %1...</translation>
    </message>
    <message>
        <source>Lecture du serveur partagé %1...</source>
        <translation>Reading the shared server %1...</translation>
    </message>
    <message>
        <source>Lot :</source>
        <translation>Batch:</translation>
    </message>
    <message>
        <source>Lots : %1 ; le plus d'échecs : %2 (réussies %3, échecs %4).</source>
        <translation>Batches: %1; the most failures: %2 (passed %3, failed %4).</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Numéro de série ou chemin USB de l'afficheur dont les opérations viennent en premier.</source>
        <translation>Serial number or USB path of the display whose operations come first.</translation>
    </message>
    <message>
        <source>Opération</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>Opérations</source>
        <translation>Operations</translation>
    </message>
    <message>
        <source>Opérations : %1 en %2 h, de %3 à %4 ; au plus %5 en une heure.</source>
        <translation>Operations: %1 in %2 h, from %3 to %4; at most %5 in one hour.</translation>
    </message>
    <message>
        <source>Opérations du journal</source>
        <translation>Log operations</translation>
    </message>
    <message>
        <source>Opérations par heure</source>
        <translation>Operations per hour</translation>
    </message>
    <message>
        <source>Par lot</source>
        <translation>Per batch</translation>
    </message>
    <message>
        <source>Pas encore sur le serveur partagé : attend d'y être envoyé.</source>
        <translation>Not on the shared server yet: waiting to be sent there.</translation>
    </message>
    <message>
        <source>Postes et opérateurs de la période</source>
        <translation>Stations and operators of the period</translation>
    </message>
    <message>
        <source>Raisons : %1 ; la plus fréquente : %2 (échecs %3, %4 % des échecs).</source>
        <translation>Reasons: %1; the most frequent: %2 (failures %3, %4 % of the failures).</translation>
    </message>
    <message>
        <source>Raisons des échecs</source>
        <translation>Failure reasons</translation>
    </message>
    <message>
        <source>Raisons des échecs (Pareto)</source>
        <translation>Failure reasons (Pareto)</translation>
    </message>
    <message>
        <source>Refusé par le serveur, mis de côté : %1</source>
        <translation>Refused by the server, set aside: %1</translation>
    </message>
    <message>
        <source>Rien n'a été envoyé à l'afficheur : %1</source>
        <translation>Nothing was sent to the display: %1</translation>
    </message>
    <message>
        <source>Résultat</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Réussies et échecs par lot</source>
        <translation>Passed and failed per batch</translation>
    </message>
    <message>
        <source>Serveur partagé %1 — %2</source>
        <translation>Shared server %1 — %2</translation>
    </message>
    <message>
        <source>Serveur partagé illisible : %1. Bilan de ce poste seulement — %2</source>
        <translation>Shared server unreadable: %1. This station's summary only — %2</translation>
    </message>
    <message>
        <source>Serveur partagé illisible : %1. Seules les opérations de ce poste qui n'y sont pas : %2</source>
        <translation>Shared server unreadable: %1. Only this station's operations that are not on it: %2</translation>
    </message>
    <message>
        <source>Source du bilan</source>
        <translation>Source of the summary</translation>
    </message>
    <message>
        <source>Source du journal</source>
        <translation>Log source</translation>
    </message>
    <message>
        <source>Tableau de bord</source>
        <translation>Dashboard</translation>
    </message>
    <message>
        <source>Tableau de bord exporté : %1</source>
        <translation>Dashboard exported: %1</translation>
    </message>
    <message>
        <source>adresse du serveur du journal illisible (%1)</source>
        <translation>service log server address unreadable (%1)</translation>
    </message>
    <message>
        <source>aucun serveur du journal n'est donné (--base)</source>
        <translation>no log server is given (--base)</translation>
    </message>
    <message>
        <source>commande</source>
        <translation>command</translation>
    </message>
    <message>
        <source>ecran</source>
        <translation>screen</translation>
    </message>
    <message>
        <source>envoi impossible</source>
        <translation>sending impossible</translation>
    </message>
    <message>
        <source>erreur d'entrée-sortie sur le disque</source>
        <translation>input/output error on the disk</translation>
    </message>
    <message>
        <source>erreur inconnue</source>
        <translation>unknown error</translation>
    </message>
    <message>
        <source>injoignable</source>
        <translation>unreachable</translation>
    </message>
    <message>
        <source>la base est en lecture seule</source>
        <translation>the database is read-only</translation>
    </message>
    <message>
        <source>la base est endommagée</source>
        <translation>the database is damaged</translation>
    </message>
    <message>
        <source>la base est endommagée et ne peut pas être mise de côté</source>
        <translation>the database is damaged and cannot be set aside</translation>
    </message>
    <message>
        <source>la base est verrouillée par un autre programme</source>
        <translation>the database is locked by another program</translation>
    </message>
    <message>
        <source>la base ne peut pas être ouverte</source>
        <translation>the database cannot be opened</translation>
    </message>
    <message>
        <source>la base vient d'une version plus récente du programme</source>
        <translation>the database comes from a newer version of the program</translation>
    </message>
    <message>
        <source>la révision %1 du lot %2 vient d'être définie par un autre poste</source>
        <translation>revision %1 of batch %2 has just been defined by another station</translation>
    </message>
    <message>
        <source>le disque est plein</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>le dossier %1 ne peut pas être créé</source>
        <translation>folder %1 cannot be created</translation>
    </message>
    <message>
        <source>le journal de service %1 ne peut pas être lu : %2</source>
        <translation>the service log %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>le journal de service %1 ne peut pas être écrit : %2</source>
        <translation>the service log %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>le lot %1 est déjà défini%2 ; --revision en fait une nouvelle révision</source>
        <translation>batch %1 is already defined%2; --revision makes a new revision of it</translation>
    </message>
    <message>
        <source>le lot %1 vient d'être défini par un autre poste</source>
        <translation>batch %1 has just been defined by another station</translation>
    </message>
    <message>
        <source>le pilote SQLite de Qt manque (paquet libqt6sql6-sqlite)</source>
        <translation>Qt's SQLite driver is missing (package libqt6sql6-sqlite)</translation>
    </message>
    <message>
        <source>lecture impossible</source>
        <translation>reading impossible</translation>
    </message>
    <message>
        <source>lot %1 : quantité atteinte (%2)</source>
        <translation>batch %1: quantity reached (%2)</translation>
    </message>
    <message>
        <source>lot %1 clos</source>
        <translation>batch %1 closed</translation>
    </message>
    <message>
        <source>lot %1 inconnu</source>
        <translation>batch %1 unknown</translation>
    </message>
    <message>
        <source>micrologiciel</source>
        <translation>firmware</translation>
    </message>
    <message>
        <source>pas de réponse en %1 s</source>
        <translation>no answer in %1 s</translation>
    </message>
    <message>
        <source>production</source>
        <translation>production</translation>
    </message>
    <message>
        <source>programmation</source>
        <translation>programming</translation>
    </message>
    <message>
        <source>requête impossible</source>
        <translation>query failed</translation>
    </message>
    <message>
        <source>restauration</source>
        <translation>restore</translation>
    </message>
    <message>
        <source>réussi</source>
        <translation>passed</translation>
    </message>
    <message>
        <source>schéma illisible</source>
        <translation>schema unreadable</translation>
    </message>
    <message>
        <source>schéma impossible à créer</source>
        <translation>schema cannot be created</translation>
    </message>
    <message>
        <source>schéma impossible à mettre à jour</source>
        <translation>schema cannot be updated</translation>
    </message>
    <message>
        <source>serveur du journal %1 : %2%3</source>
        <translation>log server %1: %2%3</translation>
    </message>
    <message>
        <source>serveur du journal %1 : le schéma du journal n'existe pas sur le serveur ; un administrateur le crée avec trivo-cp-cli --base URI base initialiser</source>
        <translation>service log server %1: the log's schema does not exist on the server; an administrator creates it with trivo-cp-cli --base URI base initialiser</translation>
    </message>
    <message>
        <source>serveur du journal %1 : pas de réponse en %2 s</source>
        <translation>service log server %1: no answer in %2 s</translation>
    </message>
    <message>
        <source>serveur du journal %1 : schéma d'une version ancienne (%2) ; un administrateur le met à jour avec trivo-cp-cli --base URI base initialiser</source>
        <translation>service log server %1: schema of an older version (%2); an administrator upgrades it with trivo-cp-cli --base URI base initialiser</translation>
    </message>
    <message>
        <source>serveur du journal %1 : schéma d'une version plus récente du programme (%2 ; celui-ci connaît la %3)</source>
        <translation>service log server %1: schema of a newer version of the program (%2; this one knows %3)</translation>
    </message>
    <message>
        <source>serveur du journal %1 : échange interrompu</source>
        <translation>service log server %1: exchange interrupted</translation>
    </message>
    <message>
        <source>tous</source>
        <translation>all</translation>
    </message>
    <message>
        <source>un autre programme de ce poste les envoie au serveur du journal %1</source>
        <translation>another program of this station is sending them to the service log server %1</translation>
    </message>
    <message>
        <source>verrou d'envoi %1 impossible à prendre</source>
        <translation>sending lock %1 cannot be taken</translation>
    </message>
    <message>
        <source>Élément</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>échange interrompu</source>
        <translation>exchange interrupted</translation>
    </message>
    <message>
        <source>échec</source>
        <translation>failed</translation>
    </message>
</context>
</TS>
