<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>--langue ne connaît que « fr » et « en ».</source>
        <translation>--langue knows only "fr" and "en".</translation>
    </message>
    <message>
        <source>--latence demande une durée en millisecondes (0 à 60000).</source>
        <translation>--latence needs a time in milliseconds (0 to 60000).</translation>
    </message>
    <message>
        <source>Ajoute chaque rapport échangé avec l'afficheur au FICHIER.</source>
        <translation>Appends every report exchanged with the display to FILE.</translation>
    </message>
    <message>
        <source>Erreur N°: %1</source>
        <translation>Error No.: %1</translation>
    </message>
    <message>
        <source>FICHIER</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>Fichier %1</source>
        <translation>File %1</translation>
    </message>
    <message>
        <source>Fichier de trace %1 incomplet : %2</source>
        <translation>Trace file %1 incomplete: %2</translation>
    </message>
    <message>
        <source>Impossible d'ouvrir le fichier de trace %1 : %2</source>
        <translation>Cannot open the trace file %1: %2</translation>
    </message>
    <message>
        <source>LANGUE</source>
        <translation>LANGUAGE</translation>
    </message>
    <message>
        <source>La liaison avec le TRIVO ZURED a été perdue.</source>
        <translation>The link with the TRIVO ZURED was lost.</translation>
    </message>
    <message>
        <source>La réponse du TRIVO ZURED n'a pas pu être lue.</source>
        <translation>The reply of the TRIVO ZURED could not be read.</translation>
    </message>
    <message>
        <source>La réponse du TRIVO ZURED n'est pas celle attendue.</source>
        <translation>The reply of the TRIVO ZURED is not the one expected.</translation>
    </message>
    <message>
        <source>Langue des fenêtres : « fr » (le français, par défaut) ou « en » (l'anglais) ; sinon, celle choisie dans le menu Langue.</source>
        <translation>Language of the windows: "fr" (French, the default) or "en" (English); otherwise the one chosen in the Language menu.</translation>
    </message>
    <message>
        <source>Le TRIVO ZURED est utilisé par un autre programme.</source>
        <translation>The TRIVO ZURED is used by another program.</translation>
    </message>
    <message>
        <source>Le TRIVO ZURED ne répond pas : délai de réponse dépassé.</source>
        <translation>The TRIVO ZURED does not answer: reply time-out exceeded.</translation>
    </message>
    <message>
        <source>Le rapport n'a pas pu être envoyé au TRIVO ZURED.</source>
        <translation>The report could not be sent to the TRIVO ZURED.</translation>
    </message>
    <message>
        <source>Mode formation : afficheur émulé au lieu du matériel.</source>
        <translation>Training mode: an emulated display instead of the hardware.</translation>
    </message>
    <message>
        <source>Mode formation : chaque échange avec l'afficheur émulé prend MS millisecondes, comme sur un vrai câble.</source>
        <translation>Training mode: each exchange with the emulated display takes MS milliseconds, as on a real cable.</translation>
    </message>
    <message>
        <source>Mode formation : un banc de N afficheurs émulés branchés à la fois, chacun avec son numéro de série.</source>
        <translation>Training mode: a bench of N emulated displays plugged in at once, each with its serial number.</translation>
    </message>
    <message>
        <source>Opération annulée.</source>
        <translation>Operation cancelled.</translation>
    </message>
    <message>
        <source>Palette des fenêtres : « sombre » impose la palette sombre (sinon, celle du bureau).</source>
        <translation>Palette of the windows: "sombre" forces the dark palette (otherwise the desktop's).</translation>
    </message>
    <message>
        <source>illisible : %1 (%2)</source>
        <translation>unreadable: %1 (%2)</translation>
    </message>
    <message>
        <source>impossible à créer, accès refusé : %1</source>
        <translation>cannot be created, access denied: %1</translation>
    </message>
    <message>
        <source>impossible à créer, dossier introuvable : %1</source>
        <translation>cannot be created, folder not found: %1</translation>
    </message>
    <message>
        <source>inaccessible : %1 (%2)</source>
        <translation>not accessible: %1 (%2)</translation>
    </message>
    <message>
        <source>inaccessible, accès refusé : %1</source>
        <translation>not accessible, access denied: %1</translation>
    </message>
    <message>
        <source>inaccessible, c'est un dossier : %1</source>
        <translation>not accessible, it is a folder: %1</translation>
    </message>
    <message>
        <source>introuvable : %1</source>
        <translation>not found: %1</translation>
    </message>
    <message>
        <source>non enregistré, erreur d'écriture : %1 (%2)</source>
        <translation>not saved, write error: %1 (%2)</translation>
    </message>
</context>
</TS>
