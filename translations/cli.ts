<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>
Options globales :
  --simule[=ETAT]   afficheur émulé ; sa mémoire est gardée dans ETAT entre deux lancements
  --panne PANNE     (avec --simule) l'afficheur émulé se comporte mal, gardé dans ETAT :
                    muet, lent, tardif, ecriture, ecriture-partielle, lecture, reponse-courte,
                    signature, reponse-fausse, ouverture, debranche:N ; aucune la retire
  --unites N        (avec --simule) N afficheurs émulés branchés à la fois, chacun avec son numéro de
                    série (avec =ETAT, le K-ième garde sa mémoire dans ETAT.K) ; production : une ligne
                    de N afficheurs émulés
  --panne-unite K:PANNE
                    (avec --unites) l'afficheur émulé n° K de la ligne a la panne PANNE
  --latence MS      (avec --simule) chaque échange prend MS millisecondes, comme sur un vrai câble
  --afficheur N|CHEMIN|LIBELLE
                    l'afficheur sur lequel travailler (numéro de liste, chemin USB, série ou nom) ;
                    obligatoire quand plusieurs afficheurs sont branchés
  --trace FICHIER   ajoute chaque rapport échangé à FICHIER
  --operateur NOM   l'opérateur inscrit au journal de service (par défaut l'identifiant de session)
  --lot LOT         le lot inscrit au journal de service
  --poste NOM       le poste inscrit au journal de service (par défaut le nom de la machine)
  --base URI        journal de service partagé sur un serveur PostgreSQL
                    (postgresql://utilisateur@hote/base ; par défaut le réglage journal/base ;
                    le mot de passe dans ~/.pgpass plutôt que dans l'URI)
  --langue LANGUE   fr (par défaut) ou en : la langue des messages et des aides
  --help            cette aide ; COMMANDE --help : l'aide de la commande

Codes de sortie :
  0  fait (comparer : identique)
  1  l'afficheur a refusé ou n'a pas fini, confirmation refusée (comparer : différent)
  2  commande ou option inconnue
  3  aucun afficheur connecté
  4  fichier illisible, impossible à écrire, ou sauvegarde altérée
  5  fait, mais l'afficheur relu diffère de ce qui a été envoyé
  6  lecture de l'afficheur impossible (comparaison, sauvegarde ou relecture)
  7  afficheur (ou fichier d'état de l'afficheur émulé) déjà utilisé par un autre programme
  8  plusieurs afficheurs branchés et aucun choisi par --afficheur (rien n'a été fait)
</source>
        <translation>
Global options:
  --simule[=STATE]  emulated display; its memory is kept in STATE between two runs
  --panne FAULT     (with --simule) the emulated display misbehaves, kept in STATE:
                    muet, lent, tardif, ecriture, ecriture-partielle, lecture, reponse-courte,
                    signature, reponse-fausse, ouverture, debranche:N; aucune removes it
  --unites N        (with --simule) N emulated displays plugged in at once, each with its serial
                    number (with =STATE, the K-th keeps its memory in STATE.K); production: a line
                    of N emulated displays
  --panne-unite K:FAULT
                    (with --unites) emulated display no. K of the line has the fault FAULT
  --latence MS      (with --simule) each exchange takes MS milliseconds, as on a real cable
  --afficheur N|PATH|LABEL
                    the display to work on (list number, USB path, serial or name);
                    required when several displays are plugged in
  --trace FILE      appends each report exchanged to FILE
  --operateur NAME  the operator written in the service log (by default the login name)
  --lot BATCH       the batch written in the service log
  --poste NAME      the station written in the service log (by default the machine's name)
  --base URI        shared service log on a PostgreSQL server
                    (postgresql://user@host/database; by default the setting journal/base;
                    the password in ~/.pgpass rather than in the URI)
  --langue LANG     fr (default) or en: the language of the messages and help
  --help            this help; COMMAND --help: the command's help

Exit codes:
  0  done (comparer: identical)
  1  the display refused or did not finish, confirmation declined (comparer: different)
  2  unknown command or option
  3  no display connected
  4  file unreadable or cannot be written, or backup altered
  5  done, but the display read back differs from what was sent
  6  the display could not be read (comparison, backup or read-back)
  7  display (or the emulated display's state file) already used by another program
  8  several displays plugged in and none chosen with --afficheur (nothing was done)
</translation>
    </message>
    <message>
        <source>  Poste %1 : %2</source>
        <translation>  Station %1: %2</translation>
    </message>
    <message>
        <source>  Révision %1%2 : %3</source>
        <translation>  Revision %1%2: %3</translation>
    </message>
    <message>
        <source>  base initialiser                    crée ou met à jour le schéma du serveur (--base)
</source>
        <translation>  base initialiser                    creates or upgrades the server's schema (--base)
</translation>
    </message>
    <message>
        <source>  bilan [--lot L] [--depuis DATE] [--formation] [--json]   bilan du journal : heures, lots, échecs
</source>
        <translation>  bilan [--lot L] [--depuis DATE] [--formation] [--json]   log summary: hours, batches, failures
</translation>
    </message>
    <message>
        <source>  commande raz-c|raz-t|plus|moins|reset   commande directe
</source>
        <translation>  commande raz-c|raz-t|plus|moins|reset   direct command
</translation>
    </message>
    <message>
        <source>  comparer FICHIER [--json]           compare l'afficheur avec un fichier *.config_CP
</source>
        <translation>  comparer FILE [--json]              compares the display with a *.config_CP file
</translation>
    </message>
    <message>
        <source>  ecran envoyer IMAGE [--verifier] | lire -o IMAGE | effacer   écran d'accueil
</source>
        <translation>  ecran envoyer IMAGE [--verifier] | lire -o IMAGE | effacer   home screen
</translation>
    </message>
    <message>
        <source>  etat [--journal]                    afficheur connecté ? chemin, identifiants, longueurs
</source>
        <translation>  etat [--journal]                    display connected? path, identifiers, lengths
</translation>
    </message>
    <message>
        <source>  etiqueter NOM                       donne un nom à l'afficheur (gardé dans les réglages)
</source>
        <translation>  etiqueter NAME                      gives the display a name (kept in the settings)
</translation>
    </message>
    <message>
        <source>  firmware dump FICHIER.hex | flasher FICHIER.hex [--oui]   micrologiciel
</source>
        <translation>  firmware dump FILE.hex | flasher FILE.hex [--oui]   firmware
</translation>
    </message>
    <message>
        <source>  historique [--afficheur S] [--lot L] [--depuis DATE] [--jusqu-a DATE] [--limite N] [--formation] [--json|--csv]   journal de service
</source>
        <translation>  historique [--afficheur S] [--lot L] [--depuis DATE] [--jusqu-a DATE] [--limite N] [--formation] [--json|--csv]   service log
</translation>
    </message>
    <message>
        <source>  lire [-o FICHIER] [--pdf FICHIER.pdf]   lit et affiche la configuration (l'enregistre, fiche PDF)
</source>
        <translation>  lire [-o FILE] [--pdf FILE.pdf]     reads and shows the configuration (saves it, PDF sheet)
</translation>
    </message>
    <message>
        <source>  liste [--json]                      les afficheurs branchés : numéro, chemin, série, version, nom, état
</source>
        <translation>  liste [--json]                      the displays plugged in: number, path, serial, version, name, state
</translation>
    </message>
    <message>
        <source>  lot %1</source>
        <translation>  batch %1</translation>
    </message>
    <message>
        <source>  lot definir|liste|montrer|clore     lots définis une fois pour tous les postes (--base)
</source>
        <translation>  lot definir|liste|montrer|clore     batches defined once for every station (--base)
</translation>
    </message>
    <message>
        <source>  production MODELE|--lot LOT [--ecran IMAGE] [--journal FICHIER.csv] [--nombre N] [--en-parallele K]   ligne de production
</source>
        <translation>  production MODEL|--lot BATCH [--ecran IMAGE] [--journal FILE.csv] [--nombre N] [--en-parallele K]   production line
</translation>
    </message>
    <message>
        <source>  programmer FICHIER [--verifier]     programme l'afficheur avec un fichier *.config_CP
</source>
        <translation>  programmer FILE [--verifier]        programs the display with a *.config_CP file
</translation>
    </message>
    <message>
        <source>  registres [--suivre]                registres spéciaux (toutes les 500 ms avec --suivre)
</source>
        <translation>  registres [--suivre]                special registers (every 500 ms with --suivre)
</translation>
    </message>
    <message>
        <source>  restaurer DOSSIER [--oui]           restaure une sauvegarde dans l'afficheur
</source>
        <translation>  restaurer FOLDER [--oui]            restores a backup into the display
</translation>
    </message>
    <message>
        <source>  sauvegarder DOSSIER                 sauvegarde l'afficheur dans un dossier nouveau
</source>
        <translation>  sauvegarder FOLDER                  backs the display up into a new folder
</translation>
    </message>
    <message>
        <source>  synchroniser                        envoie au serveur (--base) le journal en attente
</source>
        <translation>  synchroniser                        sends the waiting log to the server (--base)
</translation>
    </message>
    <message>
        <source> (courante)</source>
        <translation> (current)</translation>
    </message>
    <message>
        <source> (signal non reçu par l'afficheur)</source>
        <translation> (signal not received by the display)</translation>
    </message>
    <message>
        <source>%1  révision %2  %3  %4</source>
        <translation>%1  revision %2  %3  %4</translation>
    </message>
    <message>
        <source>%1 (o/N) </source>
        <translation>%1 (y/N) </translation>
    </message>
    <message>
        <source>%1 : %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 demande K:PANNE.</source>
        <translation>%1 needs K:FAULT.</translation>
    </message>
    <message>
        <source>%1 demande un nombre entier positif : %2</source>
        <translation>%1 needs a positive whole number: %2</translation>
    </message>
    <message>
        <source>%1 demande un nombre.</source>
        <translation>%1 needs a number.</translation>
    </message>
    <message>
        <source>%1 demande une valeur.</source>
        <translation>%1 needs a value.</translation>
    </message>
    <message>
        <source>%1 enregistrement de ce poste a été refusé par le serveur et mis de côté ; trivo-cp-cli synchroniser le montre.</source>
        <translation>%1 record of this station was refused by the server and set aside; trivo-cp-cli synchroniser shows it.</translation>
    </message>
    <message>
        <source>%1 enregistrement envoyé à %2, %3 en attente, %4 mis de côté.</source>
        <translation>%1 record sent to %2, %3 waiting, %4 set aside.</translation>
    </message>
    <message>
        <source>%1 enregistrements de ce poste ont été refusés par le serveur et mis de côté ; trivo-cp-cli synchroniser les montre.</source>
        <translation>%1 records of this station were refused by the server and set aside; trivo-cp-cli synchroniser shows them.</translation>
    </message>
    <message>
        <source>%1 enregistrements envoyés à %2, %3 en attente, %4 mis de côté.</source>
        <translation>%1 records sent to %2, %3 waiting, %4 set aside.</translation>
    </message>
    <message>
        <source>%1 faits, %2 conformes, %3 en échec, %4 en cours</source>
        <translation>%1 made, %2 passed, %3 failed, %4 under way</translation>
    </message>
    <message>
        <source>(sans lot)</source>
        <translation>(no batch)</translation>
    </message>
    <message>
        <source>(sans message)</source>
        <translation>(no message)</translation>
    </message>
    <message>
        <source>, %1 restants</source>
        <translation>, %1 remaining</translation>
    </message>
    <message>
        <source>, écran %1</source>
        <translation>, screen %1</translation>
    </message>
    <message>
        <source>--afficheur demande un numéro, un chemin, un numéro de série ou un nom d'afficheur.</source>
        <translation>--afficheur needs a number, a path, a serial number or a display name.</translation>
    </message>
    <message>
        <source>--depuis demande une date (AAAA-MM-JJ ou AAAA-MM-JJTHH:MM[:SS][Z]) : %1</source>
        <translation>--depuis needs a date (YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS][Z]): %1</translation>
    </message>
    <message>
        <source>--en-parallele ne s'emploie qu'avec production.</source>
        <translation>--en-parallele is used only with production.</translation>
    </message>
    <message>
        <source>--json et --csv ne vont pas ensemble.</source>
        <translation>--json and --csv do not go together.</translation>
    </message>
    <message>
        <source>--jusqu-a demande une date (AAAA-MM-JJ ou AAAA-MM-JJTHH:MM[:SS][Z]) : %1</source>
        <translation>--jusqu-a needs a date (YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS][Z]): %1</translation>
    </message>
    <message>
        <source>--latence ne s'emploie qu'avec --simule : c'est le temps d'échange de l'afficheur émulé.</source>
        <translation>--latence is used only with --simule: it is the emulated display's exchange time.</translation>
    </message>
    <message>
        <source>--limite demande un nombre d'opérations (1 ou plus) : %1</source>
        <translation>--limite needs a number of operations (1 or more): %1</translation>
    </message>
    <message>
        <source>--panne demande une PANNE.</source>
        <translation>--panne needs a FAULT.</translation>
    </message>
    <message>
        <source>--panne ne s'emploie qu'avec --simule : les pannes sont celles de l'afficheur émulé.</source>
        <translation>--panne is used only with --simule: the faults are the emulated display's.</translation>
    </message>
    <message>
        <source>--panne-unite demande K:PANNE (un numéro d'afficheur, une panne de --panne) : %1</source>
        <translation>--panne-unite needs K:FAULT (a display number, a fault of --panne): %1</translation>
    </message>
    <message>
        <source>--trace demande un FICHIER.</source>
        <translation>--trace needs a FILE.</translation>
    </message>
    <message>
        <source>--unites demande un nombre entier positif : %1</source>
        <translation>--unites needs a positive whole number: %1</translation>
    </message>
    <message>
        <source>--unites ne s'emploie qu'avec --simule : la ligne est faite d'afficheurs émulés.</source>
        <translation>--unites is used only with --simule: the line is made of emulated displays.</translation>
    </message>
    <message>
        <source>--version-attendue demande quatre chiffres hexadécimaux (0102) : %1</source>
        <translation>--version-attendue needs four hexadecimal digits (0102): %1</translation>
    </message>
    <message>
        <source>Afficheur %1 (%2) : conforme, %3 ms</source>
        <translation>Display %1 (%2): passed, %3 ms</translation>
    </message>
    <message>
        <source>Afficheur %1 (%2) : échec à l'étape %3 : %4</source>
        <translation>Display %1 (%2): failed at step %3: %4</translation>
    </message>
    <message>
        <source>Afficheur %1 : %2</source>
        <translation>Display %1: %2</translation>
    </message>
    <message>
        <source>Afficheur %1 nommé « %2 ».</source>
        <translation>Display %1 named "%2".</translation>
    </message>
    <message>
        <source>Argument inconnu : %1</source>
        <translation>Unknown argument: %1</translation>
    </message>
    <message>
        <source>Aucun TRIVO ZURED connecté. Veuillez connecter le TRIVO_ZURED.</source>
        <translation>No TRIVO ZURED connected. Please connect the TRIVO_ZURED.</translation>
    </message>
    <message>
        <source>Aucun afficheur ne répond à --afficheur %1. Afficheurs branchés :</source>
        <translation>No display matches --afficheur %1. Displays plugged in:</translation>
    </message>
    <message>
        <source>Aucun enregistrement de ce poste n'attend le serveur.</source>
        <translation>No record of this station is waiting for the server.</translation>
    </message>
    <message>
        <source>Aucun lot défini.</source>
        <translation>No batch defined.</translation>
    </message>
    <message>
        <source>Aucune opération dans le journal.</source>
        <translation>No operation in the log.</translation>
    </message>
    <message>
        <source>Aucune opération terminée dans la période.</source>
        <translation>No finished operation in the period.</translation>
    </message>
    <message>
        <source>Avancement : %1%2</source>
        <translation>Progress: %1%2</translation>
    </message>
    <message>
        <source>Avancement du lot %1 illisible : %2</source>
        <translation>Progress of batch %1 unreadable: %2</translation>
    </message>
    <message>
        <source>Chemin : %1</source>
        <translation>Path: %1</translation>
    </message>
    <message>
        <source>Commande %1 (%2) envoyée.</source>
        <translation>Command %1 (%2) sent.</translation>
    </message>
    <message>
        <source>Commande inconnue : %1</source>
        <translation>Unknown command: %1</translation>
    </message>
    <message>
        <source>Configuration enregistrée dans %1</source>
        <translation>Configuration saved in %1</translation>
    </message>
    <message>
        <source>Cumul</source>
        <translation>Cumulative</translation>
    </message>
    <message>
        <source>Dernière</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>Fabricant : %1  Produit : %2  Version : %3</source>
        <translation>Vendor: %1  Product: %2  Version: %3</translation>
    </message>
    <message>
        <source>Fiche d'intervention enregistrée dans %1</source>
        <translation>Service sheet saved in %1</translation>
    </message>
    <message>
        <source>Fichier d'état %1 illisible : %2</source>
        <translation>State file %1 unreadable: %2</translation>
    </message>
    <message>
        <source>Fichier d'état %1 non enregistré : %2</source>
        <translation>State file %1 not saved: %2</translation>
    </message>
    <message>
        <source>Heure</source>
        <translation>Hour</translation>
    </message>
    <message>
        <source>Journal %1 impossible à ouvrir : %2</source>
        <translation>Log %1 cannot be opened: %2</translation>
    </message>
    <message>
        <source>Journal de service : %1 enregistrement attend le serveur (%2) ; trivo-cp-cli synchroniser les enverra.</source>
        <translation>Service log: %1 record is waiting for the server (%2); trivo-cp-cli synchroniser will send it.</translation>
    </message>
    <message>
        <source>Journal de service : %1 enregistrements attendent le serveur (%2) ; trivo-cp-cli synchroniser les enverra.</source>
        <translation>Service log: %1 records are waiting for the server (%2); trivo-cp-cli synchroniser will send them.</translation>
    </message>
    <message>
        <source>Journal de service illisible : %1</source>
        <translation>Service log unreadable: %1</translation>
    </message>
    <message>
        <source>Journal de service inutilisable : %1</source>
        <translation>Service log unusable: %1</translation>
    </message>
    <message>
        <source>Journal de service partagé illisible : %1</source>
        <translation>Shared service log unreadable: %1</translation>
    </message>
    <message>
        <source>Le schéma du journal de %1 est à jour (version %2).</source>
        <translation>The service log's schema on %1 is up to date (version %2).</translation>
    </message>
    <message>
        <source>Ligne de production : %1, journal %2</source>
        <translation>Production line: %1, log %2</translation>
    </message>
    <message>
        <source>Ligne de production : %1, écran %2, journal %3</source>
        <translation>Production line: %1, screen %2, log %3</translation>
    </message>
    <message>
        <source>Ligne de production : lot %1, révision %2 (%3%4), journal %5</source>
        <translation>Production line: batch %1, revision %2 (%3%4), log %5</translation>
    </message>
    <message>
        <source>Longueur des rapports : entrée %1, sortie %2</source>
        <translation>Report lengths: input %1, output %2</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Batch</translation>
    </message>
    <message>
        <source>Lot %1 (%2), défini par %3@%4</source>
        <translation>Batch %1 (%2), defined by %3@%4</translation>
    </message>
    <message>
        <source>Lot %1 : %2.</source>
        <translation>Batch %1: %2.</translation>
    </message>
    <message>
        <source>Lot %1 clos : aucun poste n'en fait plus d'afficheur.</source>
        <translation>Batch %1 closed: no station makes displays for it any more.</translation>
    </message>
    <message>
        <source>Lot %1 non clos : %2.</source>
        <translation>Batch %1 not closed: %2.</translation>
    </message>
    <message>
        <source>Lot %1 non défini : %2.</source>
        <translation>Batch %1 not defined: %2.</translation>
    </message>
    <message>
        <source>Lot %1 refusé : %2.</source>
        <translation>Batch %1 refused: %2.</translation>
    </message>
    <message>
        <source>Lot %1, révision %2 : %3 ; empreinte %4.</source>
        <translation>Batch %1, revision %2: %3; hash %4.</translation>
    </message>
    <message>
        <source>Lots illisibles : %1</source>
        <translation>Batches unreadable: %1</translation>
    </message>
    <message>
        <source>Mis de côté : %1 ; refusé par le serveur : %2</source>
        <translation>Set aside: %1; refused by the server: %2</translation>
    </message>
    <message>
        <source>Mise à jour abandonnée : rien n'a été envoyé.</source>
        <translation>Update abandoned: nothing was sent.</translation>
    </message>
    <message>
        <source>Nom de lot refusé : %1 (seuls les lettres, les chiffres, « - », « _ » et « . » sont permis).</source>
        <translation>Batch name refused: %1 (only letters, digits, "-", "_" and "." are allowed).</translation>
    </message>
    <message>
        <source>Nombre</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>Opérateur</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Opérations : %1 (réussies %2, en échec %3)
</source>
        <translation>Operations: %1 (%2 passed, %3 failed)
</translation>
    </message>
    <message>
        <source>Panne inconnue : %1</source>
        <translation>Unknown fault: %1</translation>
    </message>
    <message>
        <source>Par heure :</source>
        <translation>Per hour:</translation>
    </message>
    <message>
        <source>Par lot :</source>
        <translation>Per batch:</translation>
    </message>
    <message>
        <source>Plusieurs afficheurs sont branchés : choisissez-en un avec --afficheur N|CHEMIN|LIBELLE.</source>
        <translation>Several displays are plugged in: choose one with --afficheur N|PATH|LABEL.</translation>
    </message>
    <message>
        <source>Poste</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Poste %1 : %2</source>
        <translation>Place %1: %2</translation>
    </message>
    <message>
        <source>Postes et opérateurs :</source>
        <translation>Stations and operators:</translation>
    </message>
    <message>
        <source>Première</source>
        <translation>First</translation>
    </message>
    <message>
        <source>Raison</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>Raisons des échecs, les plus fréquentes d'abord :</source>
        <translation>Failure reasons, most frequent first:</translation>
    </message>
    <message>
        <source>Restauration abandonnée : rien n'a été envoyé.</source>
        <translation>Restore abandoned: nothing was sent.</translation>
    </message>
    <message>
        <source>Réussies</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>Schéma du journal créé sur %1 (version %2).</source>
        <translation>Service log schema created on %1 (version %2).</translation>
    </message>
    <message>
        <source>Schéma du journal de %1 mis à jour de la version %2 à la version %3.</source>
        <translation>Service log schema on %1 upgraded from version %2 to version %3.</translation>
    </message>
    <message>
        <source>TRIVO ZURED connecté.</source>
        <translation>TRIVO ZURED connected.</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli --base URI base initialiser
Crée sur le serveur partagé les tables du journal de service (trivo_journal,
trivo_journal_version), ou les met à jour pour cette version du programme. À lancer par un
administrateur, avec un rôle qui a le droit de créer des tables ; les postes n'ont besoin que de
INSERT et SELECT sur ces tables (et USAGE sur la séquence trivo_journal_seq_seq).
Code 0 : schéma prêt ; 1 : serveur injoignable, droits insuffisants ou schéma plus récent.
</source>
        <translation>Usage: trivo-cp-cli --base URI base initialiser
Creates the service log's tables on the shared server (trivo_journal,
trivo_journal_version), or upgrades them for this version of the program. To be run by an
administrator, with a role allowed to create tables; the stations only need
INSERT and SELECT on these tables (and USAGE on the sequence trivo_journal_seq_seq).
Code 0: schema ready; 1: server unreachable, rights missing or a newer schema.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli --base URI synchroniser
Envoie au serveur partagé, dans l'ordre et une seule fois chacun, les enregistrements du journal
de service qui l'attendent (le serveur était injoignable), puis dit combien cette commande en a
envoyé, combien attendent encore et combien le serveur a refusés (mis de côté, chacun affiché avec
la raison du serveur ; ils ne sont plus envoyés). Code 0 : plus rien n'attend ni n'est mis de côté ;
1 : le serveur reste injoignable, ou des enregistrements sont mis de côté.
</source>
        <translation>Usage: trivo-cp-cli --base URI synchroniser
Sends to the shared server, in order and each only once, the service log's records that wait
for it (the server was unreachable), then says how many this command sent, how many still
wait and how many the server refused (set aside, each shown with the server's reason;
they are not sent again). Code 0: nothing waits nor is set aside;
1: the server is still unreachable, or records are set aside.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli [--afficheur N|CHEMIN|LIBELLE] etiqueter NOM
Donne le NOM à l'afficheur, gardé dans les réglages du programme (ceux des fenêtres aussi), par son
numéro de série ou, s'il n'en a pas, par son chemin USB. Le nom sert ensuite à --afficheur.
</source>
        <translation>Usage: trivo-cp-cli [--afficheur N|PATH|LABEL] etiqueter NAME
Gives the display the NAME, kept in the program's settings (the windows' too), by its serial
number or, when it has none, by its USB path. The name then serves --afficheur.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli [--simule[=ETAT] [--panne PANNE]] [--afficheur N] [--trace FICHIER] COMMANDE [ARGUMENTS]

Commandes :
</source>
        <translation>Usage: trivo-cp-cli [--simule[=STATE] [--panne FAULT]] [--afficheur N] [--trace FILE] COMMAND [ARGUMENTS]

Commands:
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli bilan [--lot L] [--depuis DATE] [--formation] [--json]
Affiche le bilan du journal de service, compté par la base qui le garde : les opérations
réussies et en échec par heure et par lot, les raisons des échecs de la plus fréquente à la moins
fréquente (avec leur part cumulée), et les postes et opérateurs de la période. Une opération en
cours n'est pas comptée ; une opération interrompue compte comme un échec. Avec --base, le bilan
du serveur partagé (tous les postes), sinon celui du poste.
--lot L ; --depuis DATE : AAAA-MM-JJ ou AAAA-MM-JJTHH:MM[:SS][Z] ; --formation : aussi les
opérations faites sur l'afficheur émulé.
--json : un objet (source, reussis, echecs, par_heure [heure, reussis, echecs], par_lot [lot,
reussis, echecs], raisons [raison, nombre, cumul_pourcent], postes_operateurs [poste, operateur,
reussis, echecs, premier, dernier]), heures en UTC. Code 1 : serveur injoignable (le bilan du
poste est affiché) ; 4 : journal du poste illisible.
</source>
        <translation>Usage: trivo-cp-cli bilan [--lot L] [--depuis DATE] [--formation] [--json]
Shows the service log's summary, counted by the database that keeps it: the operations passed and
failed per hour and per batch, the failure reasons from the most to the least frequent (with their
cumulative share), and the stations and operators of the period. An operation still running is not
counted; an interrupted operation counts as a failure. With --base, the shared server's summary (every
station), else this station's.
--lot L; --depuis DATE: YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS][Z]; --formation: the operations done on
the emulated display too.
--json: one object (source, reussis, echecs, par_heure [heure, reussis, echecs], par_lot [lot,
reussis, echecs], raisons [raison, nombre, cumul_pourcent], postes_operateurs [poste, operateur,
reussis, echecs, premier, dernier]), times in UTC. Exit status 1: server unreachable (this station's
summary is shown); 4: this station's log unreadable.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli commande raz-c|raz-t|plus|moins|reset
raz-c : remise à zéro du compteur, raz-t : du totalisateur,
plus / moins : une impulsion, reset : redémarre l'afficheur.
</source>
        <translation>Usage: trivo-cp-cli commande raz-c|raz-t|plus|moins|reset
raz-c: resets the counter to zero, raz-t: the totaliser,
plus / moins: one pulse, reset: restarts the display.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli comparer FICHIER [--json]
Lit l'afficheur (sans rien y écrire) et le compare à ce que programmer FICHIER écrirait.
Affiche "Identique." (code 0) ou chaque paramètre qui diffère : libellé, valeur attendue,
valeur de l'afficheur (code 1). Code 4 : fichier illisible ; 6 : lecture de l'afficheur impossible.
--json : la comparaison entière en JSON (identique, differences, parametres : parametre,
attendu, afficheur, different).
</source>
        <translation>Usage: trivo-cp-cli comparer FILE [--json]
Reads the display (writing nothing to it) and compares it with what programmer FILE would write.
Prints "Identical." (code 0) or each parameter that differs: label, expected value,
display's value (code 1). Code 4: unreadable file; 6: the display could not be read.
--json: the whole comparison as JSON (identique, differences, parametres: parametre,
attendu, afficheur, different).
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli ecran envoyer IMAGE [--verifier] | ecran lire -o IMAGE | ecran effacer
Envoie, relit ou efface l'écran d'accueil (240 x 64, seul le blanc pur reste blanc).
envoyer --verifier : relit ensuite les 1920 octets (sans effacer l'écran) ; code 5 et la
première position qui diffère si l'afficheur tient autre chose, 6 si la relecture a échoué.
</source>
        <translation>Usage: trivo-cp-cli ecran envoyer IMAGE [--verifier] | ecran lire -o IMAGE | ecran effacer
Sends, reads back or clears the home screen (240 x 64, only pure white stays white).
envoyer --verifier: then reads back the 1920 bytes (without clearing the screen); code 5 and the
first position that differs if the display holds something else, 6 if the read-back failed.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli etat [--journal]
Indique si un TRIVO ZURED est connecté, son chemin, ses identifiants, sa version et ses longueurs de rapport.
--journal : les lignes de diagnostic de la recherche.
</source>
        <translation>Usage: trivo-cp-cli etat [--journal]
Tells whether a TRIVO ZURED is connected, its path, its identifiers, its version and its report lengths.
--journal: the diagnostic lines of the search.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli firmware dump FICHIER.hex | firmware flasher FICHIER.hex [--oui]
dump : les 2048 lignes de l'image ; flasher : les 500 rapports de la mise à jour,
après confirmation (--oui la donne d'avance).
</source>
        <translation>Usage: trivo-cp-cli firmware dump FILE.hex | firmware flasher FILE.hex [--oui]
dump: the image's 2048 lines; flasher: the update's 500 reports,
after confirmation (--oui gives it in advance).
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli historique [--afficheur S] [--lot L] [--depuis DATE] [--jusqu-a DATE] [--limite N]
                               [--formation] [--json|--csv]
Affiche le journal de service : chaque opération qui a écrit dans un afficheur (date, poste,
opérateur, lot, afficheur, opération, résultat, empreintes SHA-256, fichier, durée), la plus
ancienne d'abord. Avec --base, celui du serveur partagé (tous les postes), sinon celui du poste.
Résultat : reussi, echec, en cours (l'opération se déroule) ou interrompu (le programme s'est
arrêté avant la fin de l'opération).
--afficheur S : numéro de série ou chemin USB ; --lot L ; --depuis DATE : AAAA-MM-JJ ou
AAAA-MM-JJTHH:MM[:SS][Z] ; --jusqu-a DATE : avant cette date (un jour : jusqu'à sa fin) ;
--limite N : les N plus récentes seulement. Les opérations sont écrites au fur et à mesure de la
lecture, quelle que soit la taille du journal.
--formation : aussi les opérations faites sur l'afficheur émulé (formation), que seule une
session --simule montre sinon.
--json : un tableau d'objets (id, horodatage, poste, operateur, lot, afficheur, chemin, version,
operation, resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier,
duree_ms, formation) ; --csv : les mêmes colonnes. Code 1 : serveur injoignable (les enregistrements
du poste qui l'attendent sont affichés) ; 4 : journal du poste illisible.
</source>
        <translation>Usage: trivo-cp-cli historique [--afficheur S] [--lot L] [--depuis DATE] [--jusqu-a DATE] [--limite N]
                              [--formation] [--json|--csv]
Shows the service log: each operation that wrote to a display (date, station,
operator, batch, display, operation, result, SHA-256 fingerprints, file, duration), the oldest
first. With --base, the shared server's (all stations), otherwise the station's.
Result: reussi (passed), echec (failed), en cours (running) or interrompu (the program stopped
before the operation ended).
--afficheur S: serial number or USB path; --lot L; --depuis DATE: YYYY-MM-DD or
YYYY-MM-DDTHH:MM[:SS][Z]; --jusqu-a DATE: before that date (a day alone: up to its end);
--limite N: the N newest only. The operations are written as they are read, whatever the
log's size.
--formation: also the operations made on the emulated display (training), which otherwise only
a --simule session shows.
--json: an array of objects (id, horodatage, poste, operateur, lot, afficheur, chemin, version,
operation, resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier,
duree_ms, formation); --csv: the same columns. Code 1: server unreachable (the station's records
that wait for it are shown); 4: the station's log unreadable.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli lire [-o FICHIER] [--pdf FICHIER.pdf]
Lit la configuration du TRIVO ZURED et affiche chaque réglage.
-o FICHIER : l'enregistre aussi au format *.config_CP.
--pdf FICHIER.pdf : écrit aussi la fiche d'intervention (une page A4 : date, version, afficheur,
chaque réglage, lignes pour le nom et la signature du technicien).
</source>
        <translation>Usage: trivo-cp-cli lire [-o FILE] [--pdf FILE.pdf]
Reads the configuration of the TRIVO ZURED and shows each setting.
-o FILE: also saves it in the *.config_CP format.
--pdf FILE.pdf: also writes the service sheet (one A4 page: date, version, display,
each setting, lines for the technician's name and signature).
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli liste [--json]
Liste les afficheurs branchés, numérotés à partir de 1 pour --afficheur : chemin USB, numéro de série,
version, nom donné par etiqueter, et état (libre, utilisé par un autre programme, inaccessible).
--json : un tableau d'objets (index, chemin, serie, version, libelle, etat).
</source>
        <translation>Usage: trivo-cp-cli liste [--json]
Lists the displays plugged in, numbered from 1 for --afficheur: USB path, serial number,
version, name given by etiqueter, and state (free, used by another program, inaccessible).
--json: an array of objects (index, chemin, serie, version, libelle, etat).
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli lot definir LOT --modele FICHIER.config_CP [--ecran IMAGE] [--version-attendue VVVV]
                        [--quantite N] [--note TEXTE] [--revision]
       trivo-cp-cli lot liste [--json] | lot montrer LOT [--json] | lot clore LOT
Garde la définition d'un lot avec le journal de service : sur le serveur partagé avec --base, sinon
dans la base du poste. definir : le modèle et l'écran (leurs octets et leur empreinte SHA-256), la
version du micrologiciel attendue, la quantité d'afficheurs conformes, une note, qui l'a défini et
quand ; une révision ne change plus : --revision en fait une nouvelle, que les afficheurs suivants
prennent. Le nom ne prend que des lettres, des chiffres, « - », « _ » et « . ».
montrer : la définition, ses révisions et l'avancement (faits, conformes, en échec, restants) par
poste ; clore : plus aucun afficheur n'est fait pour le lot. production --lot LOT le fabrique.
Code 4 : modèle ou image illisible, lot inconnu ou clos ; 1 : lot déjà défini, serveur injoignable.
</source>
        <translation>Usage: trivo-cp-cli lot definir BATCH --modele FILE.config_CP [--ecran IMAGE] [--version-attendue VVVV]
                        [--quantite N] [--note TEXT] [--revision]
       trivo-cp-cli lot liste [--json] | lot montrer BATCH [--json] | lot clore BATCH
Keeps a batch's definition with the service log: on the shared server with --base, else in the
station's database. definir: the model and the screen (their bytes and their SHA-256 hash), the
expected firmware version, the quantity of passed displays, a note, who defined it and when;
a revision never changes: --revision makes a new one, which the next displays take.
The name takes only letters, digits, "-", "_" and ".".
montrer: the definition, its revisions and the progress (made, passed, failed, remaining) per
station; clore: no display is made for the batch any more. production --lot BATCH makes it.
Code 4: model or image unreadable, batch unknown or closed; 1: batch already defined, server unreachable.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli production MODELE|--lot LOT [--ecran IMAGE] [--journal FICHIER.csv] [--nombre N]
                    [--en-parallele K]
Programme les afficheurs l'un après l'autre avec le fichier MODELE (*.config_CP) : attend qu'un
afficheur soit branché, lit son bloc, le programme, le relit, envoie puis relit l'écran IMAGE
(--ecran), signale le résultat sur l'afficheur (conforme : diode verte et un bip ; échec : diode
rouge et trois bips), ajoute une ligne au journal CSV (--journal ; par défaut journal-production.csv
du dossier courant, journal-production-formation.csv avec --simule)
et attend qu'il soit débranché. S'arrête après N afficheurs (--nombre) ou à Ctrl+C, avec le bilan.
--en-parallele K : jusqu'à K afficheurs branchés en même temps, programmés côte à côte.
Avec --simule, une ligne d'afficheurs émulés (--unites N ; par défaut N de --nombre, ou 1).
Code 0 seulement si tous les afficheurs sont conformes ; 1 si un afficheur est en échec ;
4 : modèle, image ou journal illisible, ou journal qui ne peut plus être écrit (la ligne s'arrête).
Chaque afficheur est aussi inscrit au journal de service (voir historique) avant d'être signalé ;
un journal de service qui ne peut pas être écrit arrête la ligne avant l'afficheur suivant (code 4).
--lot LOT sans MODELE : la révision courante du lot (voir lot), gardée en cache sur le poste pour
continuer sans le serveur ; un afficheur d'une autre version que celle attendue échoue sans être
programmé ; la ligne s'arrête quand la quantité du lot est atteinte par tous les postes ensemble
(sans le serveur, le poste compte seul et le dit). Code 4 : lot inconnu, clos ou jamais récupéré.
</source>
        <translation>Usage: trivo-cp-cli production MODEL|--lot BATCH [--ecran IMAGE] [--journal FILE.csv] [--nombre N]
                    [--en-parallele K]
Programs the displays one after the other with the MODEL file (*.config_CP): waits for a
display to be plugged in, reads its block, programs it, reads it back, sends then reads back the
IMAGE screen (--ecran), signals the result on the display (passed: green LED and one beep; failed:
red LED and three beeps), adds a line to the CSV log (--journal; by default journal-production.csv
in the current folder, journal-production-formation.csv with --simule)
and waits for it to be unplugged. Stops after N displays (--nombre) or at Ctrl+C, with the summary.
--en-parallele K: up to K displays plugged in at the same time, programmed side by side.
With --simule, a line of emulated displays (--unites N; by default N of --nombre, or 1).
Code 0 only if all displays passed; 1 if a display failed;
4: model, image or log unreadable, or a log that can no longer be written (the line stops).
Each display is also written to the service log (see historique) before it is signalled;
a service log that cannot be written stops the line before the next display (code 4).
--lot BATCH without MODEL: the batch's current revision (see lot), kept in a cache on the station to
go on without the server; a display of another version than the one expected fails without being
programmed; the line stops when the batch's quantity is reached by every station together
(without the server, the station counts alone and says so). Code 4: batch unknown, closed or never fetched.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli programmer FICHIER [--verifier]
Charge un fichier *.config_CP et programme le TRIVO ZURED.
Code de sortie 0 seulement si la programmation est complète.
--verifier : relit ensuite l'afficheur et le compare au fichier ; code 0 seulement si
identique, 5 si l'afficheur relu diffère (les paramètres qui diffèrent sont affichés),
6 si la relecture a échoué.
</source>
        <translation>Usage: trivo-cp-cli programmer FILE [--verifier]
Loads a *.config_CP file and programs the TRIVO ZURED.
Exit code 0 only if the programming is complete.
--verifier: then reads the display back and compares it with the file; code 0 only if
identical, 5 if the display read back differs (the differing parameters are shown),
6 if the read-back failed.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli registres [--suivre]
Lit les registres spéciaux une fois, ou toutes les 500 ms jusqu'à Ctrl+C.
</source>
        <translation>Usage: trivo-cp-cli registres [--suivre]
Reads the special registers once, or every 500 ms until Ctrl+C.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli restaurer DOSSIER [--oui]
Vérifie les empreintes de la sauvegarde (un fichier manquant ou altéré : code 4, rien n'est
envoyé), demande confirmation (--oui la donne d'avance), programme la configuration, envoie
l'écran d'accueil puis relit les deux. Code 0 : relus identiques ; 5 : l'afficheur relu diffère ;
6 : relecture impossible ; 1 : abandon ou envoi incomplet.
</source>
        <translation>Usage: trivo-cp-cli restaurer FOLDER [--oui]
Checks the backup's fingerprints (a missing or altered file: code 4, nothing is
sent), asks for confirmation (--oui gives it in advance), programs the configuration, sends
the home screen then reads both back. Code 0: read back identical; 5: the display read back differs;
6: read-back impossible; 1: abandoned or sending incomplete.
</translation>
    </message>
    <message>
        <source>Usage : trivo-cp-cli sauvegarder DOSSIER
Lit l'afficheur (sans rien y écrire) et écrit dans DOSSIER, qui doit être nouveau ou vide :
configuration.config_CP, ecran.png (l'écran d'accueil relu), registres.txt (comme registres
les affiche) et sauvegarde.json (date, version, afficheur, empreinte SHA-256 de chaque fichier).
Aucun fichier n'est jamais remplacé. Code 4 : dossier non vide ou écriture impossible ;
6 : lecture de l'afficheur impossible (rien n'est écrit).
</source>
        <translation>Usage: trivo-cp-cli sauvegarder FOLDER
Reads the display (writing nothing to it) and writes into FOLDER, which must be new or empty:
configuration.config_CP, ecran.png (the home screen read back), registres.txt (as registres
prints them) and sauvegarde.json (date, version, display, SHA-256 fingerprint of each file).
No file is ever replaced. Code 4: folder not empty or cannot be written;
6: the display could not be read (nothing is written).
</translation>
    </message>
    <message>
        <source>VOULEZ-VOUS VRAIMENT CONTINUER LA MAJ ?</source>
        <translation>DO YOU REALLY WANT TO GO ON WITH THE UPDATE?</translation>
    </message>
    <message>
        <source>Valeur refusée : REG_V(%1) = "%2"</source>
        <translation>Value refused: REG_V(%1) = "%2"</translation>
    </message>
    <message>
        <source>Voici l'enregistrement de ce poste qui attend le serveur.</source>
        <translation>Here is this station's record that waits for the server.</translation>
    </message>
    <message>
        <source>Voici le bilan du journal de ce poste seulement.</source>
        <translation>Here is the summary of this station's log only.</translation>
    </message>
    <message>
        <source>Voici les %1 enregistrements de ce poste qui attendent le serveur.</source>
        <translation>Here are this station's %1 records that wait for the server.</translation>
    </message>
    <message>
        <source>base initialiser demande le serveur du journal : --base URI (ou le réglage %1).</source>
        <translation>base initialiser needs the service log's server: --base URI (or the setting %1).</translation>
    </message>
    <message>
        <source>branché</source>
        <translation>plugged in</translation>
    </message>
    <message>
        <source>clos</source>
        <translation>closed</translation>
    </message>
    <message>
        <source>echec</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>en attente d'un afficheur</source>
        <translation>waiting for a display</translation>
    </message>
    <message>
        <source>en cours</source>
        <translation>running</translation>
    </message>
    <message>
        <source>inaccessible (%1)</source>
        <translation>inaccessible (%1)</translation>
    </message>
    <message>
        <source>interrompu</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>libre</source>
        <translation>free</translation>
    </message>
    <message>
        <source>modèle %1 (%2)</source>
        <translation>model %1 (%2)</translation>
    </message>
    <message>
        <source>note « %1 »</source>
        <translation>note "%1"</translation>
    </message>
    <message>
        <source>ouvert</source>
        <translation>open</translation>
    </message>
    <message>
        <source>par %1@%2 le %3</source>
        <translation>by %1@%2 on %3</translation>
    </message>
    <message>
        <source>quantité %1</source>
        <translation>quantity %1</translation>
    </message>
    <message>
        <source>reussi</source>
        <translation>passed</translation>
    </message>
    <message>
        <source>sans quantité</source>
        <translation>no quantity</translation>
    </message>
    <message>
        <source>synchroniser demande le serveur du journal : --base URI (ou le réglage %1).</source>
        <translation>synchroniser needs the log's server: --base URI (or the setting %1).</translation>
    </message>
    <message>
        <source>un autre programme</source>
        <translation>another program</translation>
    </message>
    <message>
        <source>utilisé par %1</source>
        <translation>used by %1</translation>
    </message>
    <message>
        <source>version attendue %1</source>
        <translation>expected version %1</translation>
    </message>
    <message>
        <source>Échecs</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>Écran d'accueil enregistré dans %1</source>
        <translation>Home screen saved in %1</translation>
    </message>
    <message>
        <source>Écran d'accueil envoyé.</source>
        <translation>Home screen sent.</translation>
    </message>
    <message>
        <source>Écran effacé.</source>
        <translation>Screen cleared.</translation>
    </message>
    <message>
        <source>écran %1 (%2)</source>
        <translation>screen %1 (%2)</translation>
    </message>
</context>
</TS>
