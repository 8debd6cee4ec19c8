<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>--latence demande une durée en millisecondes (0 à 60000).</source>
        <translation>--latence needs a time in milliseconds (0 to 60000).</translation>
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
        <source>Ajoute chaque rapport échangé avec l'afficheur au FICHIER.</source>
        <translation>Appends every report exchanged with the display to FILE.</translation>
    </message>
    <message>
        <source>FICHIER</source>
        <translation>FILE</translation>
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
        <source>La langue choisie sera celle des fenêtres au prochain démarrage du programme.</source>
        <translation>The windows will use the chosen language from the next start of the program.</translation>
    </message>
    <message>
        <source>Lan&amp;gue</source>
        <translation>Lan&amp;guage</translation>
    </message>
    <message>
        <source>Langue des fenêtres : « fr » (le français, par défaut) ou « en » (l'anglais) ; sinon, celle choisie dans le menu Langue.</source>
        <translation>Language of the windows: "fr" (French, the default) or "en" (English); otherwise the one chosen in the Language menu.</translation>
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
        <source>Palette des fenêtres : « sombre » impose la palette sombre (sinon, celle du bureau).</source>
        <translation>Palette of the windows: "sombre" forces the dark palette (otherwise the desktop's).</translation>
    </message>
    <message>
        <source>Utilitaire de service TRIVO ZURED CP.</source>
        <translation>TRIVO ZURED CP service utility.</translation>
    </message>
</context>
</TS>
