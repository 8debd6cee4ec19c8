#include "config/settings_report.h"
#include "link/report.h"

#include "config/parameter_block.h"
#include "config/settings_codec.h"

#include <functional>

#include "common/language.h"

namespace trivo {

namespace {

QString ruleText(uint8_t rule, const std::function<QString(const QString&)>& words)
{
    QStringList parts;
    parts << words((rule & kRuleTotaliser)     ? FR("totalisateur")
                       : (rule & kRuleCounter) ? FR("compteur")
                                               : QStringLiteral("-"));
    parts << words((rule & kRuleCloses)      ? FR("se ferme")
                       : (rule & kRuleOpens) ? FR("s'ouvre")
                                             : QStringLiteral("-"));
    parts << words((rule & kRuleRearm)            ? FR("réarmable")
                       : (rule & kRulePulse)      ? FR("impulsion")
                       : (rule & kRuleUntilReset) ? FR("jusqu'au RAZ")
                                                  : QStringLiteral("-"));
    parts << words((rule & kRuleGreaterOrEqual) ? FR("supérieur ou égal") : FR("inférieur ou égal"));
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" (0x") + byteText(rule) + QStringLiteral(")");
}

}  // namespace

QList<SettingLine> describeSettings(const FormState& form, Wording wording)
{
    const std::function<QString(const QString&)> words = [wording](const QString& french) {
        return wording == Wording::Shown ? T(french) : french;
    };
    const auto onOff = [&words](bool on) { return words(on ? FR("oui") : FR("non")); };
    const DeviceSettings s = formToSettings(form).settings;
    QList<SettingLine> lines;
    QString group;
    auto line = [&lines, &group, &words](const QString& label, const QString& value) {
        lines.append({group, words(label), value});
    };

    group = QStringLiteral("TRIVO ZURED");
    line(FR("Mode"), form.production() ? words(FR("PRODUCTION")) : words(FR("TOTALISATEUR")));
    static const QString labels[] = {FR("Début du compteur"),   FR("Début du totalisateur"), FR("Fin du compteur"),
                                     FR("Fin du totalisateur"), FR("Production compteur"),   FR("Production totalisateur"),
                                     FR("Seuil relais 1"),      FR("Seuil relais 2"),        FR("Seuil bipeur"),
                                     FR("Pas du compteur"),     FR("Présélection compteur"), FR("Présélection totalisateur")};
    // The frame each box REG_V(i) stands in.
    static const char* const wordGroups[] = {"Compteur", "Totalisateur", "Compteur", "Totalisateur",
                                             "Compteur", "Totalisateur", "Relais 1", "Relais 2",
                                             "Bipeur",   "Compteur",     "Compteur", "Totalisateur"};
    for (int i = 0; i < 12; ++i) {
        group = QString::fromUtf8(wordGroups[i]);
        line(labels[i], form.REG_V[static_cast<std::size_t>(i)]);
    }
    group = QStringLiteral("Compteur");
    line(FR("Envoi présélection compteur"), onOff(form.Check_C == kChecked));
    group = QStringLiteral("Totalisateur");
    line(FR("Envoi présélection totalisateur"), onOff(form.Check_T == kChecked));
    group = QStringLiteral("Écran et entrée");
    line(FR("Fond de l'écran blanc"), onOff(s.lcd_background_white()));
    group = QStringLiteral("Relais 1");
    line(FR("Relais 1 utilisé"), onOff(s.relay1_enabled()));
    group = QStringLiteral("Relais 2");
    line(FR("Relais 2 utilisé"), onOff(s.relay2_enabled()));
    group = QStringLiteral("Bipeur");
    line(FR("Bipeur utilisé"), onOff(s.buzzer_enabled()));
    group = QStringLiteral("Écran et entrée");
    line(FR("Polarité de l'entrée"), onOff(s.input_polarity()));
    group = QStringLiteral("Compteur");
    line(FR("Dépassement de la fin interdit"), onOff(s.end_overrun_forbidden()));
    line(FR("Dépassement du début interdit"), onOff(s.start_overrun_forbidden()));
    group = QStringLiteral("Afficher");
    line(FR("Affiche la production"), onOff(s.show_production()));
    line(FR("Affiche le solde"), onOff(s.show_balance()));
    line(FR("Affiche le total"), onOff(s.show_total()));
    group = QStringLiteral("Point décimal");
    line(FR("Point décimal (octet)"), QString::number(s.decimal_point));
    group = QStringLiteral("Démarrage");
    line(FR("Options de démarrage (octet)"), QStringLiteral("0x") + byteText(s.startup_options));
    group = QStringLiteral("Relais 1");
    line(FR("Règle relais 1"), ruleText(s.relay1_rule, words));
    group = QStringLiteral("Relais 2");
    line(FR("Règle relais 2"), ruleText(s.relay2_rule, words));
    group = QStringLiteral("Bipeur");
    line(FR("Règle bipeur"), ruleText(s.buzzer_rule, words));
    static const QString sliders[] = {FR("Écran des paramètres"), FR("Écran d'accueil"),  FR("Impulsion relais 1"),
                                      FR("Impulsion relais 2"),   FR("Impulsion bipeur"), FR("Anti-rebond"),
                                      FR("Affichage production"), FR("Affichage solde"),  FR("Affichage total")};
    static const char* const sliderGroups[] = {"Démarrage", "Démarrage", "Relais 1", "Relais 2", "Bipeur",
                                               "Démarrage", "Afficher",  "Afficher", "Afficher"};
    for (int n = 1; n <= 9; ++n) {
        group = QString::fromUtf8(sliderGroups[n - 1]);
        line(sliders[n - 1], sliderCaption(n, form.slider(n), QLocale(), wording));
    }
    return lines;
}

QStringList settingGroups()
{
    // In French: they are keys. FR() marks them for where they are shown, with T(group).
    return {QStringLiteral("TRIVO ZURED"), FR("Compteur"),        FR("Totalisateur"), FR("Afficher"),
            FR("Point décimal"),           FR("Démarrage"),       FR("Écran et entrée"), FR("Relais 1"),
            FR("Relais 2"),                FR("Bipeur")};
}

}  // namespace trivo
