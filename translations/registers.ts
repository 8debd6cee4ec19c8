<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>trivo</name>
    <message>
        <source>      Bouton poussoir              Bipeur                 Diodes DELs</source>
        <translation>      Push button                  Buzzer                 LEDs</translation>
    </message>
    <message>
        <source>%1 relevé de la dernière heure en mémoire.</source>
        <translation>%1 reading of the last hour in memory.</translation>
    </message>
    <message>
        <source>%1 relevé exporté.</source>
        <translation>%1 reading exported.</translation>
    </message>
    <message>
        <source>%1 relevés de la dernière heure en mémoire.</source>
        <translation>%1 readings of the last hour in memory.</translation>
    </message>
    <message>
        <source>%1 relevés exportés.</source>
        <translation>%1 readings exported.</translation>
    </message>
    <message>
        <source>Actionnez les poussoirs du TRIVO-ALTEUR.</source>
        <translation>Press the TRIVO-ALTEUR's push buttons.</translation>
    </message>
    <message>
        <source>Aucun niveau reçu.</source>
        <translation>No level received.</translation>
    </message>
    <message>
        <source>Aucun relevé.</source>
        <translation>No reading.</translation>
    </message>
    <message>
        <source>Bouton poussoir</source>
        <translation>Push button</translation>
    </message>
    <message>
        <source>Courbe de la température</source>
        <translation>Temperature curve</translation>
    </message>
    <message>
        <source>Courbe du niveau de réception radio</source>
        <translation>Radio reception level curve</translation>
    </message>
    <message>
        <source>Courbes</source>
        <translation>Curves</translation>
    </message>
    <message>
        <source>DEL bleue</source>
        <translation>Blue LED</translation>
    </message>
    <message>
        <source>DEL rouge</source>
        <translation>Red LED</translation>
    </message>
    <message>
        <source>DEL verte</source>
        <translation>Green LED</translation>
    </message>
    <message>
        <source>Date de la dernière radio synchronisation</source>
        <translation>Date of the last radio synchronisation</translation>
    </message>
    <message>
        <source>Date du TRIVO-ALTEUR</source>
        <translation>TRIVO-ALTEUR's date</translation>
    </message>
    <message>
        <source>Dernière valeur %1 ; minimum %2 ; maximum %3.</source>
        <translation>Last value %1; minimum %2; maximum %3.</translation>
    </message>
    <message>
        <source>Dimanche </source>
        <translation>Sunday </translation>
    </message>
    <message>
        <source>Diodes DELs</source>
        <translation>LEDs</translation>
    </message>
    <message>
        <source>Effacer</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Enregistrer les relevés de la dernière heure dans un fichier CSV.</source>
        <translation>Save the last hour's readings in a CSV file.</translation>
    </message>
    <message>
        <source>Exporter en CSV...</source>
        <translation>Export as CSV...</translation>
    </message>
    <message>
        <source>Exporter les relevés des registres.</source>
        <translation>Export the register readings.</translation>
    </message>
    <message>
        <source>Heure de la dernière radio synchronisation</source>
        <translation>Time of the last radio synchronisation</translation>
    </message>
    <message>
        <source>Heure du TRIVO-ALTEUR</source>
        <translation>TRIVO-ALTEUR's time</translation>
    </message>
    <message>
        <source>Heure et date de la dernière radio synchronisation.</source>
        <translation>Time and date of the last radio synchronisation.</translation>
    </message>
    <message>
        <source>Heure et date du TRIVO-ALTEUR.</source>
        <translation>TRIVO-ALTEUR's time and date.</translation>
    </message>
    <message>
        <source>Jeudi </source>
        <translation>Thursday </translation>
    </message>
    <message>
        <source>Lecture des Registres spéciaux.</source>
        <translation>Reading the special registers.</translation>
    </message>
    <message>
        <source>Lecture des registres impossible.</source>
        <translation>The registers cannot be read.</translation>
    </message>
    <message>
        <source>Lire </source>
        <translation>Read </translation>
    </message>
    <message>
        <source>Lundi </source>
        <translation>Monday </translation>
    </message>
    <message>
        <source>Maintenez le clic.</source>
        <translation>Keep the button held.</translation>
    </message>
    <message>
        <source>Mardi </source>
        <translation>Tuesday </translation>
    </message>
    <message>
        <source>Mercredi </source>
        <translation>Wednesday </translation>
    </message>
    <message>
        <source>Niveau de réception des signaux de  radio synchronisation.</source>
        <translation>Reception level of the radio synchronisation signals.</translation>
    </message>
    <message>
        <source>Niveau de réception radio</source>
        <translation>Radio reception level</translation>
    </message>
    <message>
        <source>Niveau de réception radio (0 à 7)</source>
        <translation>Radio reception level (0 to 7)</translation>
    </message>
    <message>
        <source>Pages de la fenêtre</source>
        <translation>Pages of the window</translation>
    </message>
    <message>
        <source>Pas de réponse de l'afficheur.</source>
        <translation>No answer from the display.</translation>
    </message>
    <message>
        <source>Poussoir bleu</source>
        <translation>Blue push button</translation>
    </message>
    <message>
        <source>Poussoir rouge</source>
        <translation>Red push button</translation>
    </message>
    <message>
        <source>Poussoir vert</source>
        <translation>Green push button</translation>
    </message>
    <message>
        <source>Samedi </source>
        <translation>Saturday </translation>
    </message>
    <message>
        <source>Température (°C)</source>
        <translation>Temperature (°C)</translation>
    </message>
    <message>
        <source>Température du TRIVO-ALTEUR</source>
        <translation>TRIVO-ALTEUR's temperature</translation>
    </message>
    <message>
        <source>Température du TRIVO-ALTEUR.</source>
        <translation>TRIVO-ALTEUR's temperature.</translation>
    </message>
    <message>
        <source>Valeurs</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>Vendredi </source>
        <translation>Friday </translation>
    </message>
    <message>
        <source>allumée</source>
        <translation>lit</translation>
    </message>
    <message>
        <source>appuyé</source>
        <translation>pressed</translation>
    </message>
    <message>
        <source>relâché</source>
        <translation>released</translation>
    </message>
    <message>
        <source>éteinte</source>
        <translation>off</translation>
    </message>
</context>
</TS>
