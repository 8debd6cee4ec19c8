#include "config/settings_report.h"
#include "link/report.h"

#include "config/parameter_block.h"
#include "config/settings_codec.h"

namespace trivo {

namespace {

QString onOff(bool on) { return on ? QStringLiteral("oui") : QStringLiteral("non"); }


QString ruleText(uint8_t rule)
{
    QStringList parts;
    parts << ((rule & kRuleTotaliser)     ? QStringLiteral("totalisateur")
                  : (rule & kRuleCounter) ? QStringLiteral("compteur")
                                          : QStringLiteral("-"));
    parts << ((rule & kRuleCloses)      ? QStringLiteral("se ferme")
                  : (rule & kRuleOpens) ? QStringLiteral("s'ouvre")
                                        : QStringLiteral("-"));
    parts << ((rule & kRuleRearm)            ? QStringLiteral("réarmable")
                  : (rule & kRulePulse)      ? QStringLiteral("impulsion")
                  : (rule & kRuleUntilReset) ? QStringLiteral("jusqu'au RAZ")
                                             : QStringLiteral("-"));
    parts << ((rule & kRuleGreaterOrEqual) ? QStringLiteral("supérieur ou égal") : QStringLiteral("inférieur ou égal"));
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" (0x") + byteText(rule) + QStringLiteral(")");
}

}  // namespace

QList<SettingLine> describeSettings(const FormState& form)
{
    const DeviceSettings s = formToSettings(form).settings;
    QList<SettingLine> lines;
    QString group;
    auto line = [&lines, &group](const QString& label, const QString& value) { lines.append({group, label, value}); };

    group = QStringLiteral("TRIVO ZURED");
    line(QStringLiteral("Mode"), form.production() ? QStringLiteral("PRODUCTION") : QStringLiteral("TOTALISATEUR"));
    static const char* const words[] = {"Début du compteur",   "Début du totalisateur", "Fin du compteur",
                                        "Fin du totalisateur", "Production compteur",   "Production totalisateur",
                                        "Seuil relais 1",      "Seuil relais 2",        "Seuil bipeur",
                                        "Pas du compteur",     "Présélection compteur", "Présélection totalisateur"};
    // The frame each box REG_V(i) stands in.
    static const char* const wordGroups[] = {"Compteur", "Totalisateur", "Compteur", "Totalisateur",
                                             "Compteur", "Totalisateur", "Relais 1", "Relais 2",
                                             "Bipeur",   "Compteur",     "Compteur", "Totalisateur"};
    for (int i = 0; i < 12; ++i) {
        group = QString::fromUtf8(wordGroups[i]);
        line(QString::fromUtf8(words[i]), form.REG_V[static_cast<std::size_t>(i)]);
    }
    group = QStringLiteral("Compteur");
    line(QStringLiteral("Envoi présélection compteur"), onOff(form.Check_C == kChecked));
    group = QStringLiteral("Totalisateur");
    line(QStringLiteral("Envoi présélection totalisateur"), onOff(form.Check_T == kChecked));
    group = QStringLiteral("Écran et entrée");
    line(QStringLiteral("Fond de l'écran blanc"), onOff(s.lcd_background_white()));
    group = QStringLiteral("Relais 1");
    line(QStringLiteral("Relais 1 utilisé"), onOff(s.relay1_enabled()));
    group = QStringLiteral("Relais 2");
    line(QStringLiteral("Relais 2 utilisé"), onOff(s.relay2_enabled()));
    group = QStringLiteral("Bipeur");
    line(QStringLiteral("Bipeur utilisé"), onOff(s.buzzer_enabled()));
    group = QStringLiteral("Écran et entrée");
    line(QStringLiteral("Polarité de l'entrée"), onOff(s.input_polarity()));
    group = QStringLiteral("Compteur");
    line(QStringLiteral("Dépassement de la fin interdit"), onOff(s.end_overrun_forbidden()));
    line(QStringLiteral("Dépassement du début interdit"), onOff(s.start_overrun_forbidden()));
    group = QStringLiteral("Afficher");
    line(QStringLiteral("Affiche la production"), onOff(s.show_production()));
    line(QStringLiteral("Affiche le solde"), onOff(s.show_balance()));
    line(QStringLiteral("Affiche le total"), onOff(s.show_total()));
    group = QStringLiteral("Point décimal");
    line(QStringLiteral("Point décimal (octet)"), QString::number(s.decimal_point));
    group = QStringLiteral("Démarrage");
    line(QStringLiteral("Options de démarrage (octet)"), QStringLiteral("0x") + byteText(s.startup_options));
    group = QStringLiteral("Relais 1");
    line(QStringLiteral("Règle relais 1"), ruleText(s.relay1_rule));
    group = QStringLiteral("Relais 2");
    line(QStringLiteral("Règle relais 2"), ruleText(s.relay2_rule));
    group = QStringLiteral("Bipeur");
    line(QStringLiteral("Règle bipeur"), ruleText(s.buzzer_rule));
    static const char* const sliders[] = {"Écran des paramètres", "Écran d'accueil",  "Impulsion relais 1",
                                          "Impulsion relais 2",   "Impulsion bipeur", "Anti-rebond",
                                          "Affichage production", "Affichage solde",  "Affichage total"};
    static const char* const sliderGroups[] = {"Démarrage", "Démarrage", "Relais 1", "Relais 2", "Bipeur",
                                               "Démarrage", "Afficher",  "Afficher", "Afficher"};
    for (int n = 1; n <= 9; ++n) {
        group = QString::fromUtf8(sliderGroups[n - 1]);
        line(QString::fromUtf8(sliders[n - 1]), sliderCaption(n, form.slider(n)));
    }
    return lines;
}

QStringList settingGroups()
{
    return {QStringLiteral("TRIVO ZURED"),     QStringLiteral("Compteur"),      QStringLiteral("Totalisateur"),
            QStringLiteral("Afficher"),        QStringLiteral("Point décimal"), QStringLiteral("Démarrage"),
            QStringLiteral("Écran et entrée"), QStringLiteral("Relais 1"),      QStringLiteral("Relais 2"),
            QStringLiteral("Bipeur")};
}

}  // namespace trivo
