<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source> Lit les paramètres du TRIVO ZURED.</source>
        <translation> Reads the TRIVO ZURED's settings.</translation>
    </message>
    <message>
        <source> Programme les paramètres du TRIVO ZURED.</source>
        <translation> Programs the TRIVO ZURED's settings.</translation>
    </message>
    <message>
        <source>%1 Sec</source>
        <translation>%1 Sec</translation>
    </message>
    <message>
        <source>%1 paramètres diffèrent : %2.</source>
        <translation>%1 settings differ: %2.</translation>
    </message>
    <message>
        <source>%1attendu : %2   afficheur : %3</source>
        <translation>%1expected: %2   display: %3</translation>
    </message>
    <message>
        <source>1 paramètre diffère : %1.</source>
        <translation>1 setting differs: %1.</translation>
    </message>
    <message>
        <source>Affichage production</source>
        <translation>Production display</translation>
    </message>
    <message>
        <source>Affichage solde</source>
        <translation>Balance display</translation>
    </message>
    <message>
        <source>Affichage total</source>
        <translation>Total display</translation>
    </message>
    <message>
        <source>Affiche la production</source>
        <translation>Shows the production</translation>
    </message>
    <message>
        <source>Affiche le solde</source>
        <translation>Shows the balance</translation>
    </message>
    <message>
        <source>Affiche le total</source>
        <translation>Shows the total</translation>
    </message>
    <message>
        <source>Afficher</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Afficheur</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Anti-rebond</source>
        <translation>Debounce</translation>
    </message>
    <message>
        <source>Attendu</source>
        <translation>Expected</translation>
    </message>
    <message>
        <source>Bipeur</source>
        <translation>Buzzer</translation>
    </message>
    <message>
        <source>Bipeur utilisé</source>
        <translation>Buzzer used</translation>
    </message>
    <message>
        <source>Buzzer et Style</source>
        <translation>Buzzer and Style</translation>
    </message>
    <message>
        <source>Case « %1 » du cadre « %2 » (cachée : visible en mode TOTALISATEUR).</source>
        <translation>Box "%1" of frame "%2" (hidden: shown in TOTALISER mode).</translation>
    </message>
    <message>
        <source>Case « %1 » du cadre « %2 », page SORTIE (cachée : cochez la sortie pour la voir).</source>
        <translation>Box "%1" of frame "%2", OUTPUTS page (hidden: tick the output to show it).</translation>
    </message>
    <message>
        <source>Case « %1 » du cadre « %2 », page SORTIE.</source>
        <translation>Box "%1" of frame "%2", OUTPUTS page.</translation>
    </message>
    <message>
        <source>Case « %1 » du cadre « %2 ».</source>
        <translation>Box "%1" of frame "%2".</translation>
    </message>
    <message>
        <source>Chargement effectué avec succés !</source>
        <translation>Loaded successfully!</translation>
    </message>
    <message>
        <source>Compteur</source>
        <translation>Counter</translation>
    </message>
    <message>
        <source>Configuration incorrecte.</source>
        <translation>Incorrect configuration.</translation>
    </message>
    <message>
        <source>Début du compteur</source>
        <translation>Counter start</translation>
    </message>
    <message>
        <source>Début du totalisateur</source>
        <translation>Totaliser start</translation>
    </message>
    <message>
        <source>Démarrage</source>
        <translation>Start-up</translation>
    </message>
    <message>
        <source>Dépassement de la fin interdit</source>
        <translation>Going past the end forbidden</translation>
    </message>
    <message>
        <source>Dépassement du début interdit</source>
        <translation>Going past the start forbidden</translation>
    </message>
    <message>
        <source>Enregistrement effectué avec succés !</source>
        <translation>Saved successfully!</translation>
    </message>
    <message>
        <source>Envoi présélection compteur</source>
        <translation>Counter preset sent</translation>
    </message>
    <message>
        <source>Envoi présélection totalisateur</source>
        <translation>Totaliser preset sent</translation>
    </message>
    <message>
        <source>Erreur chargement !  </source>
        <translation>Load error!  </translation>
    </message>
    <message>
        <source>Fin du compteur</source>
        <translation>Counter end</translation>
    </message>
    <message>
        <source>Fin du totalisateur</source>
        <translation>Totaliser end</translation>
    </message>
    <message>
        <source>Fond de l'écran blanc</source>
        <translation>White screen background</translation>
    </message>
    <message>
        <source>Identique.</source>
        <translation>Identical.</translation>
    </message>
    <message>
        <source>Impulsion bipeur</source>
        <translation>Buzzer pulse</translation>
    </message>
    <message>
        <source>Impulsion relais 1</source>
        <translation>Relay 1 pulse</translation>
    </message>
    <message>
        <source>Impulsion relais 2</source>
        <translation>Relay 2 pulse</translation>
    </message>
    <message>
        <source>Inférieur ou = à:</source>
        <translation>Less or = to:</translation>
    </message>
    <message>
        <source>L'afficheur ne contient pas la configuration attendue.</source>
        <translation>The display does not hold the expected configuration.</translation>
    </message>
    <message>
        <source>La commande n'a pas été reçue par le TRIVO ZURED.</source>
        <translation>The TRIVO ZURED did not receive the command.</translation>
    </message>
    <message>
        <source>La liaison avec le TRIVO ZURED a été perdue pendant la lecture ! </source>
        <translation>The link with the TRIVO ZURED was lost during the reading! </translation>
    </message>
    <message>
        <source>La liaison avec le TRIVO ZURED a été perdue pendant la programmation ! </source>
        <translation>The link with the TRIVO ZURED was lost during the programming! </translation>
    </message>
    <message>
        <source>La programmation n'est pas complète.</source>
        <translation>The programming is not complete.</translation>
    </message>
    <message>
        <source>Le TRIVO ZURED n'a pas été entièrement programmé.</source>
        <translation>The TRIVO ZURED has not been fully programmed.</translation>
    </message>
    <message>
        <source>Lecture efféctuée avec succés.</source>
        <translation>Read successfully.</translation>
    </message>
    <message>
        <source>Lecture incomplète !</source>
        <translation>Reading incomplete!</translation>
    </message>
    <message>
        <source>Lecture interrompue.</source>
        <translation>Reading interrupted.</translation>
    </message>
    <message>
        <source>Les paramètres affichés n'ont pas été modifiés.</source>
        <translation>The settings shown have not been changed.</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Octet 0x%1 du bloc</source>
        <translation>Block byte 0x%1</translation>
    </message>
    <message>
        <source>Options de démarrage (octet)</source>
        <translation>Start-up options (byte)</translation>
    </message>
    <message>
        <source>Oui %1 Sec</source>
        <translation>Yes %1 Sec</translation>
    </message>
    <message>
        <source>Oui %1 mS</source>
        <translation>Yes %1 mS</translation>
    </message>
    <message>
        <source>PRODUCTION</source>
        <translation>PRODUCTION</translation>
    </message>
    <message>
        <source>PRODUCTION %1 Sec</source>
        <translation>PRODUCTION %1 Sec</translation>
    </message>
    <message>
        <source>Paramètre</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>Paramètres EEPROM non valide ! </source>
        <translation>EEPROM settings not valid! </translation>
    </message>
    <message>
        <source>Pas de comptage:</source>
        <translation>Count step:</translation>
    </message>
    <message>
        <source>Pas du compteur</source>
        <translation>Counter step</translation>
    </message>
    <message>
        <source>Point décimal</source>
        <translation>Decimal point</translation>
    </message>
    <message>
        <source>Point décimal (octet)</source>
        <translation>Decimal point (byte)</translation>
    </message>
    <message>
        <source>Polarité de l'entrée</source>
        <translation>Input polarity</translation>
    </message>
    <message>
        <source>Production compteur</source>
        <translation>Counter production</translation>
    </message>
    <message>
        <source>Production totalisateur</source>
        <translation>Totaliser production</translation>
    </message>
    <message>
        <source>Programmation effectuée, mais l'afficheur relu diffère. %1</source>
        <translation>Programmed, but the display read back differs. %1</translation>
    </message>
    <message>
        <source>Programmation effectuée, mais la relecture a échoué : rien n'est vérifié.</source>
        <translation>Programmed, but the read-back failed: nothing is verified.</translation>
    </message>
    <message>
        <source>Programmation efféctuée avec succés.</source>
        <translation>Programmed successfully.</translation>
    </message>
    <message>
        <source>Programmation incomplète !</source>
        <translation>Programming incomplete!</translation>
    </message>
    <message>
        <source>Programmation interrompue.</source>
        <translation>Programming interrupted.</translation>
    </message>
    <message>
        <source>Présélection compteur</source>
        <translation>Counter preset</translation>
    </message>
    <message>
        <source>Présélection totalisateur</source>
        <translation>Totaliser preset</translation>
    </message>
    <message>
        <source>Relais 1</source>
        <translation>Relay 1</translation>
    </message>
    <message>
        <source>Relais 1 utilisé</source>
        <translation>Relay 1 used</translation>
    </message>
    <message>
        <source>Relais 1:</source>
        <translation>Relay 1:</translation>
    </message>
    <message>
        <source>Relais 2</source>
        <translation>Relay 2</translation>
    </message>
    <message>
        <source>Relais 2 utilisé</source>
        <translation>Relay 2 used</translation>
    </message>
    <message>
        <source>Relais 2:</source>
        <translation>Relay 2:</translation>
    </message>
    <message>
        <source>Rien n'a été écrit dans le TRIVO ZURED.</source>
        <translation>Nothing was written to the TRIVO ZURED.</translation>
    </message>
    <message>
        <source>Règle bipeur</source>
        <translation>Buzzer rule</translation>
    </message>
    <message>
        <source>Règle relais 1</source>
        <translation>Relay 1 rule</translation>
    </message>
    <message>
        <source>Règle relais 2</source>
        <translation>Relay 2 rule</translation>
    </message>
    <message>
        <source>SOLDE %1 Sec</source>
        <translation>BALANCE %1 Sec</translation>
    </message>
    <message>
        <source>Seuil</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>Seuil bipeur</source>
        <translation>Buzzer threshold</translation>
    </message>
    <message>
        <source>Seuil relais 1</source>
        <translation>Relay 1 threshold</translation>
    </message>
    <message>
        <source>Seuil relais 2</source>
        <translation>Relay 2 threshold</translation>
    </message>
    <message>
        <source>Supérieur ou = à:</source>
        <translation>Greater or = to:</translation>
    </message>
    <message>
        <source>TOTAL %1 Sec</source>
        <translation>TOTAL %1 Sec</translation>
    </message>
    <message>
        <source>TOTALISATEUR</source>
        <translation>TOTALISER</translation>
    </message>
    <message>
        <source>Totalisateur</source>
        <translation>Totaliser</translation>
    </message>
    <message>
        <source>Totalisateur à :</source>
        <translation>Totaliser at:</translation>
    </message>
    <message>
        <source>Totalisateur:</source>
        <translation>Totaliser:</translation>
    </message>
    <message>
        <source>Une valeur numérique semble incorrecte ! </source>
        <translation>A numeric value seems incorrect! </translation>
    </message>
    <message>
        <source>Valeur de départ:</source>
        <translation>Start value:</translation>
    </message>
    <message>
        <source>Valeur de fin:</source>
        <translation>End value:</translation>
    </message>
    <message>
        <source>Valeur production:</source>
        <translation>Production value:</translation>
    </message>
    <message>
        <source>Vérification annulée : rien n'a été écrit dans le TRIVO ZURED, rien n'est vérifié.</source>
        <translation>Verification cancelled: nothing was written to the TRIVO ZURED, nothing is verified.</translation>
    </message>
    <message>
        <source>Zirevive à :</source>
        <translation>Zirevive at:</translation>
    </message>
    <message>
        <source>Zirevive:</source>
        <translation>Zirevive:</translation>
    </message>
    <message>
        <source>compteur</source>
        <translation>counter</translation>
    </message>
    <message>
        <source>impulsion</source>
        <translation>pulse</translation>
    </message>
    <message>
        <source>incomplet : il se termine à la ligne %1 au lieu de %2.</source>
        <translation>incomplete: it ends at line %1 instead of %2.</translation>
    </message>
    <message>
        <source>inférieur ou égal</source>
        <translation>less or equal</translation>
    </message>
    <message>
        <source>invalide : la ligne %1 n'est ni True, ni False, ni un nombre.</source>
        <translation>invalid: line %1 is neither True, nor False, nor a number.</translation>
    </message>
    <message>
        <source>invalide : la ligne %1 n'est pas un nombre.</source>
        <translation>invalid: line %1 is not a number.</translation>
    </message>
    <message>
        <source>invalide : la valeur de la ligne %1 est hors limites (%2 à %3).</source>
        <translation>invalid: the value of line %1 is out of range (%2 to %3).</translation>
    </message>
    <message>
        <source>jusqu'au RAZ</source>
        <translation>until reset</translation>
    </message>
    <message>
        <source>réarmable</source>
        <translation>rearmable</translation>
    </message>
    <message>
        <source>s'ouvre</source>
        <translation>opens</translation>
    </message>
    <message>
        <source>se ferme</source>
        <translation>closes</translation>
    </message>
    <message>
        <source>supérieur ou égal</source>
        <translation>greater or equal</translation>
    </message>
    <message>
        <source>totalisateur</source>
        <translation>totaliser</translation>
    </message>
    <message>
        <source>Écran d'accueil</source>
        <translation>Home screen</translation>
    </message>
    <message>
        <source>Écran des paramètres</source>
        <translation>Settings screen</translation>
    </message>
    <message>
        <source>Écran et entrée</source>
        <translation>Screen and input</translation>
    </message>
</context>
</TS>
