<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source> RAZ compteur.</source>
        <translation> Counter reset.</translation>
    </message>
    <message>
        <source> RAZ totalisateur.</source>
        <translation> Totaliser reset.</translation>
    </message>
    <message>
        <source> Redémarre le TRIVO ZURED.</source>
        <translation> Restarts the TRIVO ZURED.</translation>
    </message>
    <message>
        <source> Simule une impulsion.</source>
        <translation> Simulates a pulse.</translation>
    </message>
    <message>
        <source>%1 : durée d'action</source>
        <translation>%1: action time</translation>
    </message>
    <message>
        <source>%1 : durée réglée</source>
        <translation>%1: set time</translation>
    </message>
    <message>
        <source>%1 : en service</source>
        <translation>%1: in use</translation>
    </message>
    <message>
        <source>%1 : seuil</source>
        <translation>%1: threshold</translation>
    </message>
    <message>
        <source>%1 : type de comparaison</source>
        <translation>%1: comparison type</translation>
    </message>
    <message>
        <source>Actif</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>Action:</source>
        <translation>Action:</translation>
    </message>
    <message>
        <source>Affecté au:</source>
        <translation>Assigned to:</translation>
    </message>
    <message>
        <source>Afficher :</source>
        <translation>Display:</translation>
    </message>
    <message>
        <source>Afficher la production</source>
        <translation>Display the production</translation>
    </message>
    <message>
        <source>Afficher le solde</source>
        <translation>Display the balance</translation>
    </message>
    <message>
        <source>Afficher le total</source>
        <translation>Display the total</translation>
    </message>
    <message>
        <source>Anti-rebond : durée</source>
        <translation>Debounce: time</translation>
    </message>
    <message>
        <source>Anti-rebond : non</source>
        <translation>Debounce: no</translation>
    </message>
    <message>
        <source>Anti-rebond : oui</source>
        <translation>Debounce: yes</translation>
    </message>
    <message>
        <source>Bouton RAZ COMPTEUR.</source>
        <translation>COUNTER RESET button.</translation>
    </message>
    <message>
        <source>Bouton RAZ TOTALISATEUR.</source>
        <translation>TOTALISER RESET button.</translation>
    </message>
    <message>
        <source>Buzzer</source>
        <translation>Buzzer</translation>
    </message>
    <message>
        <source>COMPTEUR</source>
        <translation>COUNTER</translation>
    </message>
    <message>
        <source>Cocher= Initialise la valeur courante du compteur. Décocher= Ne modifie pas la valeur courante du compteur.</source>
        <translation>Ticked= Sets the counter's current value. Unticked= Leaves the counter's current value as it is.</translation>
    </message>
    <message>
        <source>Cocher= Initialise la valeur courante du totalisateur. Décocher= Ne modifie pas la valeur courante du totalisateur.</source>
        <translation>Ticked= Sets the totaliser's current value. Unticked= Leaves the totaliser's current value as it is.</translation>
    </message>
    <message>
        <source>Configuration TRIVO CP.</source>
        <translation>TRIVO CP configuration.</translation>
    </message>
    <message>
        <source>Configuration TRIVO CP. Fichier: %1</source>
        <translation>TRIVO CP configuration. File: %1</translation>
    </message>
    <message>
        <source>Durée d'action:</source>
        <translation>Action time:</translation>
    </message>
    <message>
        <source>Durée d'affichage</source>
        <translation>Display time</translation>
    </message>
    <message>
        <source>Durée d'affichage de la production</source>
        <translation>Production display time</translation>
    </message>
    <message>
        <source>Durée d'affichage du solde</source>
        <translation>Balance display time</translation>
    </message>
    <message>
        <source>Durée d'affichage du total</source>
        <translation>Total display time</translation>
    </message>
    <message>
        <source>Décocher= Pas d'affichage production.   Cocher= Affichage production.</source>
        <translation>Unticked= Production not shown.   Ticked= Production shown.</translation>
    </message>
    <message>
        <source>Décocher= Pas d'affichage solde.   Cocher= Affichage solde.</source>
        <translation>Unticked= Balance not shown.   Ticked= Balance shown.</translation>
    </message>
    <message>
        <source>Décocher= Pas d'affichage total.   Cocher= Affichage total.</source>
        <translation>Unticked= Total not shown.   Ticked= Total shown.</translation>
    </message>
    <message>
        <source>Décocher=autorise le dépassement.   Cocher=interdit le dépassement.</source>
        <translation>Unticked=going past is allowed.   Ticked=going past is forbidden.</translation>
    </message>
    <message>
        <source>Démarrage:</source>
        <translation>Start-up:</translation>
    </message>
    <message>
        <source>Dépassement</source>
        <translation>Overrun</translation>
    </message>
    <message>
        <source>Enregistre une configuration.</source>
        <translation>Save a configuration.</translation>
    </message>
    <message>
        <source>Fichier (*.config_CP)</source>
        <translation>File (*.config_CP)</translation>
    </message>
    <message>
        <source>Fond</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>Fond de l'écran LCD en BLEU=Décoché ou en BLANC=Coché.</source>
        <translation>LCD screen background BLUE=Unticked or WHITE=Ticked.</translation>
    </message>
    <message>
        <source>Général</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Immédiat</source>
        <translation>Immediate</translation>
    </message>
    <message>
        <source>Jusqu'au RAZ</source>
        <translation>Until reset</translation>
    </message>
    <message>
        <source>LIRE le TRIVO.</source>
        <translation>READ the TRIVO.</translation>
    </message>
    <message>
        <source>Lire</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Maintenu 3 Sec</source>
        <translation>Held 3 Sec</translation>
    </message>
    <message>
        <source>Mode simple 5d</source>
        <translation>Simple mode 5d</translation>
    </message>
    <message>
        <source>Non</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Nouvelle configuration.</source>
        <translation>New configuration.</translation>
    </message>
    <message>
        <source>Onvrir une configuration.</source>
        <translation>Open a configuration.</translation>
    </message>
    <message>
        <source>Paramètres</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Paramètres au démarrage : durée</source>
        <translation>Settings at start-up: time</translation>
    </message>
    <message>
        <source>Paramètres au démarrage : non</source>
        <translation>Settings at start-up: no</translation>
    </message>
    <message>
        <source>Paramètres au démarrage : oui</source>
        <translation>Settings at start-up: yes</translation>
    </message>
    <message>
        <source>Point décimal : chiffre %1</source>
        <translation>Decimal point: digit %1</translation>
    </message>
    <message>
        <source>Point décimal:</source>
        <translation>Decimal point:</translation>
    </message>
    <message>
        <source>Polarité</source>
        <translation>Polarity</translation>
    </message>
    <message>
        <source>Programmer</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Programmer le TRIVO</source>
        <translation>Program the TRIVO</translation>
    </message>
    <message>
        <source>Raz C</source>
        <translation>Reset C</translation>
    </message>
    <message>
        <source>Raz T</source>
        <translation>Reset T</translation>
    </message>
    <message>
        <source>Redémarrer le TRIVO.</source>
        <translation>Restart the TRIVO.</translation>
    </message>
    <message>
        <source>Remise à zéro : immédiat</source>
        <translation>Reset: immediate</translation>
    </message>
    <message>
        <source>Remise à zéro : maintenu 3 secondes</source>
        <translation>Reset: held 3 seconds</translation>
    </message>
    <message>
        <source>Remise à zéro:</source>
        <translation>Reset:</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>S'OUVRE</source>
        <translation>OPENS</translation>
    </message>
    <message>
        <source>SE FERME</source>
        <translation>CLOSES</translation>
    </message>
    <message>
        <source>Silencieux</source>
        <translation>Silent</translation>
    </message>
    <message>
        <source>Simuler une impulsion.</source>
        <translation>Simulate a pulse.</translation>
    </message>
    <message>
        <source>Sorties</source>
        <translation>Outputs</translation>
    </message>
    <message>
        <source>Totalisateur : initialiser la valeur courante</source>
        <translation>Totaliser: set the current value</translation>
    </message>
    <message>
        <source>Totalisateur : valeur de départ</source>
        <translation>Totaliser: start value</translation>
    </message>
    <message>
        <source>Totalisateur : valeur de fin</source>
        <translation>Totaliser: end value</translation>
    </message>
    <message>
        <source>Totalisateur : valeur production</source>
        <translation>Totaliser: production value</translation>
    </message>
    <message>
        <source>Totalisateur à</source>
        <translation>Totaliser at</translation>
    </message>
    <message>
        <source>Un clic pour changer le type de comparaison. ( Sup= ou Inf=)</source>
        <translation>Click to change the comparison type. ( Greater= or Less=)</translation>
    </message>
    <message>
        <source>Veuillez confirmer:</source>
        <translation>Please confirm:</translation>
    </message>
    <message>
        <source>Vous êtes sur le point d'éffacer toutes les données ! </source>
        <translation>You are about to erase all the data! </translation>
    </message>
    <message>
        <source>Zirevive : dépassement de la valeur de départ interdit</source>
        <translation>Zirevive: going past the start value forbidden</translation>
    </message>
    <message>
        <source>Zirevive : dépassement de la valeur de fin interdit</source>
        <translation>Zirevive: going past the end value forbidden</translation>
    </message>
    <message>
        <source>Zirevive : initialiser la valeur courante</source>
        <translation>Zirevive: set the current value</translation>
    </message>
    <message>
        <source>Zirevive : pas de comptage</source>
        <translation>Zirevive: count step</translation>
    </message>
    <message>
        <source>Zirevive : valeur de départ</source>
        <translation>Zirevive: start value</translation>
    </message>
    <message>
        <source>Zirevive : valeur de fin</source>
        <translation>Zirevive: end value</translation>
    </message>
    <message>
        <source>Zirevive : valeur production</source>
        <translation>Zirevive: production value</translation>
    </message>
    <message>
        <source>Zirevive à</source>
        <translation>Zirevive at</translation>
    </message>
    <message>
        <source>et réarmable</source>
        <translation>and rearmable</translation>
    </message>
    <message>
        <source>Écran Accueil</source>
        <translation>Home Screen</translation>
    </message>
    <message>
        <source>Écran d'accueil au démarrage : durée</source>
        <translation>Home screen at start-up: time</translation>
    </message>
    <message>
        <source>Écran d'accueil au démarrage : non</source>
        <translation>Home screen at start-up: no</translation>
    </message>
    <message>
        <source>Écran d'accueil au démarrage : oui</source>
        <translation>Home screen at start-up: yes</translation>
    </message>
    <message>
        <source>Écran et entrée:</source>
        <translation>Screen and input:</translation>
    </message>
</context>
</TS>
