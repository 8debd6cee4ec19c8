// What a screen reader calls the configuration window's controls.
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include "configwindow/config_window_parts.h"

namespace trivo {

using namespace cp_parts;

namespace {

// What a screen reader calls the controls whose caption would not tell them apart within the window: a
// caption repeated in several frames ("Valeur de départ:", "Non", "COMPTEUR"), or none at all.
struct AccessibleName {
    const char* object;
    QString name;
};
const AccessibleName kAccessibleNames[] = {
    {"REG_V(0)", FR("Zirevive : valeur de départ")},
    {"Check1(6)", FR("Zirevive : dépassement de la valeur de départ interdit")},
    {"REG_V(2)", FR("Zirevive : valeur de fin")},
    {"Check1(5)", FR("Zirevive : dépassement de la valeur de fin interdit")},
    {"REG_V(4)", FR("Zirevive : valeur production")},
    {"REG_V(9)", FR("Zirevive : pas de comptage")},
    {"REG_V(10)", FR("Zirevive à")},
    {"Check_C", FR("Zirevive : initialiser la valeur courante")},
    {"REG_V(1)", FR("Totalisateur : valeur de départ")},
    {"REG_V(3)", FR("Totalisateur : valeur de fin")},
    {"REG_V(5)", FR("Totalisateur : valeur production")},
    {"REG_V(11)", FR("Totalisateur à")},
    {"Check_T", FR("Totalisateur : initialiser la valeur courante")},
    {"Check1(7)", FR("Afficher la production")},
    {"Slider7", FR("Durée d'affichage de la production")},
    {"Check1(8)", FR("Afficher le solde")},
    {"Slider8", FR("Durée d'affichage du solde")},
    {"Check1(9)", FR("Afficher le total")},
    {"Slider9", FR("Durée d'affichage du total")},
    {"Option_raz(0)", FR("Remise à zéro : immédiat")},
    {"Option_raz(1)", FR("Remise à zéro : maintenu 3 secondes")},
    {"OptionE1(0)", FR("Paramètres au démarrage : non")},
    {"OptionE1(1)", FR("Paramètres au démarrage : oui")},
    {"Slider1", FR("Paramètres au démarrage : durée")},
    {"OptionE2(0)", FR("Écran d'accueil au démarrage : non")},
    {"OptionE2(1)", FR("Écran d'accueil au démarrage : oui")},
    {"Slider2", FR("Écran d'accueil au démarrage : durée")},
    {"Option_anti_non", FR("Anti-rebond : non")},
    {"Option_anti_oui", FR("Anti-rebond : oui")},
    {"Slider6", FR("Anti-rebond : durée")},
};
// Option_pdec(n): the digit the decimal point follows.
const QString kDecimalPointName = FR("Point décimal : chiffre %1");
// Per output: its name, then what its controls are called after it ("Relais 1 : COMPTEUR").
const QString kOutputNames[3] = {FR("Relais 1"), FR("Relais 2"), FR("Buzzer")};
const QString kOutputInUseName = FR("%1 : en service");
const QString kOutputOptionName = FR("%1 : %2");
const QString kOutputPulseOptionName = FR("%1 : durée réglée");
const QString kOutputPulseSliderName = FR("%1 : durée d'action");
const QString kOutputThresholdName = FR("%1 : seuil");
const QString kOutputComparisonName = FR("%1 : type de comparaison");

}  // namespace

void ConfigWindow::nameControls()
{
    Ui& u = *ui_;
    for (const AccessibleName& entry : kAccessibleNames)
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(entry.object)))
            w->setAccessibleName(T(entry.name));
    for (std::size_t n = 0; n < 4; ++n)
        u.Option_pdec[n]->setAccessibleName(T(kDecimalPointName).arg(n));
    for (std::size_t o = 0; o < 3; ++o) {
        const QString output = T(kOutputNames[o]);
        u.Check1[1 + o]->setAccessibleName(T(kOutputInUseName).arg(output));
        for (std::size_t i = 0; i < 7; ++i) {
            QRadioButton* option = u.ruleOption[o][i];
            // The pulse option's caption is its duration, which the slider under it tells.
            option->setAccessibleName(i == 5 ? T(kOutputPulseOptionName).arg(output)
                                             : T(kOutputOptionName).arg(output, option->text()));
        }
        u.Slider[3 + o]->setAccessibleName(T(kOutputPulseSliderName).arg(output));
        u.REG_V[6 + o]->setAccessibleName(T(kOutputThresholdName).arg(output));
        u.cadre[o][3]->setAccessibleName(T(kOutputComparisonName).arg(output));
        u.cadre[o][3]->setAccessibleDescription(u.cadre[o][3]->title());
    }
}

}  // namespace trivo
