#include "cli/cli_app.h"

#include <atomic>
#include <unistd.h>

#include "cli/cli_support.h"
#include "common/language.h"
#include "emulator/emulated_display.h"
#include "emulator/emulator_state.h"
#include "link/display_labels.h"
#include "link/hidapi_transport.h"

#include <QFileInfo>
#include "trivo_version.h"

namespace trivo {

namespace {

std::atomic<bool> stopFlag{false};

struct CliCommand {
    const char* name;
    QString summary;  // its lines of the general help
    QString help;     // its own usage text
    bool needsSession;
    int (*run)(CliContext&, const QStringList&);
};

// The commands in the order the general help lists them.
const CliCommand kCommands[] = {
    {"liste", FR("  liste [--json]                      les afficheurs branchés : numéro, chemin, série, version, nom, état\n"),
     FR("Usage : trivo-cp-cli liste [--json]\n"
        "Liste les afficheurs branchés, numérotés à partir de 1 pour --afficheur : chemin USB, numéro de série,\n"
        "version, nom donné par etiqueter, et état (libre, utilisé par un autre programme, inaccessible).\n"
        "--json : un tableau d'objets (index, chemin, serie, version, libelle, etat).\n"),
     true, cmdListe},
    {"etiqueter", FR("  etiqueter NOM                       donne un nom à l'afficheur (gardé dans les réglages)\n"),
     FR("Usage : trivo-cp-cli [--afficheur N|CHEMIN|LIBELLE] etiqueter NOM\n"
        "Donne le NOM à l'afficheur, gardé dans les réglages du programme (ceux des fenêtres aussi), par son\n"
        "numéro de série ou, s'il n'en a pas, par son chemin USB. Le nom sert ensuite à --afficheur.\n"),
     true, cmdEtiqueter},
    {"etat", FR("  etat [--journal]                    afficheur connecté ? chemin, identifiants, longueurs\n"),
     FR("Usage : trivo-cp-cli etat [--journal]\n"
        "Indique si un TRIVO ZURED est connecté, son chemin, ses identifiants, sa version et "
        "ses longueurs de rapport.\n--journal : les lignes de diagnostic de la recherche.\n"),
     true, cmdEtat},
    {"lire", FR("  lire [-o FICHIER] [--pdf FICHIER.pdf]   lit et affiche la configuration (l'enregistre, fiche PDF)\n"),
     FR("Usage : trivo-cp-cli lire [-o FICHIER] [--pdf FICHIER.pdf]\n"
        "Lit la configuration du TRIVO ZURED et affiche chaque réglage.\n"
        "-o FICHIER : l'enregistre aussi au format *.config_CP.\n"
        "--pdf FICHIER.pdf : écrit aussi la fiche d'intervention (une page A4 : date, version, afficheur,\n"
        "chaque réglage, lignes pour le nom et la signature du technicien).\n"),
     true, cmdLire},
    {"programmer", FR("  programmer FICHIER [--verifier]     programme l'afficheur avec un fichier *.config_CP\n"),
     FR("Usage : trivo-cp-cli programmer FICHIER [--verifier]\n"
        "Charge un fichier *.config_CP et programme le TRIVO ZURED.\n"
        "Code de sortie 0 seulement si la programmation est complète.\n"
        "--verifier : relit ensuite l'afficheur et le compare au fichier ; code 0 seulement si\n"
        "identique, 5 si l'afficheur relu diffère (les paramètres qui diffèrent sont affichés),\n"
        "6 si la relecture a échoué.\n"),
     true, cmdProgrammer},
    {"comparer", FR("  comparer FICHIER [--json]           compare l'afficheur avec un fichier *.config_CP\n"),
     FR("Usage : trivo-cp-cli comparer FICHIER [--json]\n"
        "Lit l'afficheur (sans rien y écrire) et le compare à ce que programmer FICHIER écrirait.\n"
        "Affiche \"Identique.\" (code 0) ou chaque paramètre qui diffère : libellé, valeur attendue,\n"
        "valeur de l'afficheur (code 1). Code 4 : fichier illisible ; 6 : lecture de l'afficheur impossible.\n"
        "--json : la comparaison entière en JSON (identique, differences, parametres : parametre,\n"
        "attendu, afficheur, different).\n"),
     true, cmdComparer},
    {"commande", FR("  commande raz-c|raz-t|plus|moins|reset   commande directe\n"),
     FR("Usage : trivo-cp-cli commande raz-c|raz-t|plus|moins|reset\n"
        "raz-c : remise à zéro du compteur, raz-t : du totalisateur,\n"
        "plus / moins : une impulsion, reset : redémarre l'afficheur.\n"),
     true, cmdCommande},
    {"registres", FR("  registres [--suivre]                registres spéciaux (toutes les 500 ms avec --suivre)\n"),
     FR("Usage : trivo-cp-cli registres [--suivre]\n"
        "Lit les registres spéciaux une fois, ou toutes les 500 ms jusqu'à Ctrl+C.\n"),
     true, cmdRegistres},
    {"ecran", FR("  ecran envoyer IMAGE [--verifier] | lire -o IMAGE | effacer   écran d'accueil\n"),
     FR("Usage : trivo-cp-cli ecran envoyer IMAGE [--verifier] | ecran lire -o IMAGE | ecran effacer\n"
        "Envoie, relit ou efface l'écran d'accueil (240 x 64, seul le blanc pur reste blanc).\n"
        "envoyer --verifier : relit ensuite les 1920 octets (sans effacer l'écran) ; code 5 et la\n"
        "première position qui diffère si l'afficheur tient autre chose, 6 si la relecture a échoué.\n"),
     true, cmdEcran},
    {"firmware", FR("  firmware dump FICHIER.hex | flasher FICHIER.hex [--oui]   micrologiciel\n"),
     FR("Usage : trivo-cp-cli firmware dump FICHIER.hex | firmware flasher FICHIER.hex [--oui]\n"
        "dump : les 2048 lignes de l'image ; flasher : les 500 rapports de la mise à jour,\n"
        "après confirmation (--oui la donne d'avance).\n"),
     true, cmdFirmware},
    {"sauvegarder", FR("  sauvegarder DOSSIER                 sauvegarde l'afficheur dans un dossier nouveau\n"),
     FR("Usage : trivo-cp-cli sauvegarder DOSSIER\n"
        "Lit l'afficheur (sans rien y écrire) et écrit dans DOSSIER, qui doit être nouveau ou vide :\n"
        "configuration.config_CP, ecran.png (l'écran d'accueil relu), registres.txt (comme registres\n"
        "les affiche) et sauvegarde.json (date, version, afficheur, empreinte SHA-256 de chaque fichier).\n"
        "Aucun fichier n'est jamais remplacé. Code 4 : dossier non vide ou écriture impossible ;\n"
        "6 : lecture de l'afficheur impossible (rien n'est écrit).\n"),
     true, cmdSauvegarder},
    {"restaurer", FR("  restaurer DOSSIER [--oui]           restaure une sauvegarde dans l'afficheur\n"),
     FR("Usage : trivo-cp-cli restaurer DOSSIER [--oui]\n"
        "Vérifie les empreintes de la sauvegarde (un fichier manquant ou altéré : code 4, rien n'est\n"
        "envoyé), demande confirmation (--oui la donne d'avance), programme la configuration, envoie\n"
        "l'écran d'accueil puis relit les deux. Code 0 : relus identiques ; 5 : l'afficheur relu diffère ;\n"
        "6 : relecture impossible ; 1 : abandon ou envoi incomplet.\n"),
     true, cmdRestaurer},
    {"production",
     FR("  production MODELE [--ecran IMAGE] [--journal FICHIER.csv] [--nombre N] [--en-parallele K]"
        "   ligne de production\n"),
     FR("Usage : trivo-cp-cli production MODELE [--ecran IMAGE] [--journal FICHIER.csv] [--nombre N]\n"
        "                    [--en-parallele K]\n"
        "Programme les afficheurs l'un après l'autre avec le fichier MODELE (*.config_CP) : attend qu'un\n"
        "afficheur soit branché, lit son bloc, le programme, le relit, envoie puis relit l'écran IMAGE\n"
        "(--ecran), signale le résultat sur l'afficheur (conforme : diode verte et un bip ; échec : diode\n"
        "rouge et trois bips), ajoute une ligne au journal CSV (--journal ; par défaut journal-production.csv\n"
        "du dossier courant, journal-production-formation.csv avec --simule)\n"
        "et attend qu'il soit débranché. S'arrête après N afficheurs (--nombre) ou à Ctrl+C, avec le bilan.\n"
        "--en-parallele K : jusqu'à K afficheurs branchés en même temps, programmés côte à côte.\n"
        "Avec --simule, une ligne d'afficheurs émulés (--unites N ; par défaut N de --nombre, ou 1).\n"
        "Code 0 seulement si tous les afficheurs sont conformes ; 1 si un afficheur est en échec ;\n"
        "4 : modèle, image ou journal illisible, ou journal qui ne peut plus être écrit (la ligne s'arrête).\n"
        "Chaque afficheur est aussi inscrit au journal de service (voir historique) avant d'être signalé ;\n"
        "un journal de service qui ne peut pas être écrit arrête la ligne avant l'afficheur suivant (code 4).\n"),
     true, cmdProduction},
    {"historique",
     FR("  historique [--afficheur S] [--lot L] [--depuis DATE] [--jusqu-a DATE] [--limite N] [--formation] [--json|--csv]   journal de service\n"),
     FR("Usage : trivo-cp-cli historique [--afficheur S] [--lot L] [--depuis DATE] [--jusqu-a DATE] [--limite N]\n"
        "                               [--formation] [--json|--csv]\n"
        "Affiche le journal de service : chaque opération qui a écrit dans un afficheur (date, poste,\n"
        "opérateur, lot, afficheur, opération, résultat, empreintes SHA-256, fichier, durée), la plus\n"
        "ancienne d'abord. Avec --base, celui du serveur partagé (tous les postes), sinon celui du poste.\n"
        "Résultat : reussi, echec, en cours (l'opération se déroule) ou interrompu (le programme s'est\n"
        "arrêté avant la fin de l'opération).\n"
        "--afficheur S : numéro de série ou chemin USB ; --lot L ; --depuis DATE : AAAA-MM-JJ ou\n"
        "AAAA-MM-JJTHH:MM[:SS][Z] ; --jusqu-a DATE : avant cette date (un jour : jusqu'à sa fin) ;\n"
        "--limite N : les N plus récentes seulement. Les opérations sont écrites au fur et à mesure de la\n"
        "lecture, quelle que soit la taille du journal.\n"
        "--formation : aussi les opérations faites sur l'afficheur émulé (formation), que seule une\n"
        "session --simule montre sinon.\n"
        "--json : un tableau d'objets (id, horodatage, poste, operateur, lot, afficheur, chemin, version,\n"
        "operation, resultat, message, empreinte_avant, empreinte_apres, empreinte_fichier, fichier,\n"
        "duree_ms, formation) ; --csv : les mêmes colonnes. Code 1 : serveur injoignable (les enregistrements\n"
        "du poste qui l'attendent sont affichés) ; 4 : journal du poste illisible.\n"),
     false, cmdHistorique},
    {"synchroniser", FR("  synchroniser                        envoie au serveur (--base) le journal en attente\n"),
     FR("Usage : trivo-cp-cli --base URI synchroniser\n"
        "Envoie au serveur partagé, dans l'ordre et une seule fois chacun, les enregistrements du journal\n"
        "de service qui l'attendent (le serveur était injoignable), puis dit combien cette commande en a\n"
        "envoyé, combien attendent encore et combien le serveur a refusés (mis de côté, chacun affiché avec\n"
        "la raison du serveur ; ils ne sont plus envoyés). Code 0 : plus rien n'attend ni n'est mis de côté ;\n"
        "1 : le serveur reste injoignable, ou des enregistrements sont mis de côté.\n"),
     false, cmdSynchroniser},
    {"base", FR("  base initialiser                    crée ou met à jour le schéma du serveur (--base)\n"),
     FR("Usage : trivo-cp-cli --base URI base initialiser\n"
        "Crée sur le serveur partagé les tables du journal de service (trivo_journal,\n"
        "trivo_journal_version), ou les met à jour pour cette version du programme. À lancer par un\n"
        "administrateur, avec un rôle qui a le droit de créer des tables ; les postes n'ont besoin que de\n"
        "INSERT et SELECT sur ces tables (et USAGE sur la séquence trivo_journal_seq_seq).\n"
        "Code 0 : schéma prêt ; 1 : serveur injoignable, droits insuffisants ou schéma plus récent.\n"),
     false, cmdBase},
};

const CliCommand* findCommand(const QString& name)
{
    for (const CliCommand& c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QString generalHelp()
{
    QString help = T("Usage : trivo-cp-cli [--simule[=ETAT] [--panne PANNE]] [--afficheur N] [--trace FICHIER] COMMANDE "
                     "[ARGUMENTS]\n"
                     "\n"
                     "Commandes :\n");
    for (const CliCommand& c : kCommands)
        help += T(c.summary);
    help += T(
        "\n"
        "Options globales :\n"
        "  --simule[=ETAT]   afficheur émulé ; sa mémoire est gardée dans ETAT entre deux lancements\n"
        "  --panne PANNE     (avec --simule) l'afficheur émulé se comporte mal, gardé dans ETAT :\n"
        "                    muet, lent, tardif, ecriture, ecriture-partielle, lecture, reponse-courte,\n"
        "                    signature, reponse-fausse, ouverture, debranche:N ; aucune la retire\n"
        "  --unites N        (avec --simule) N afficheurs émulés branchés à la fois, chacun avec son numéro de\n"
        "                    série (avec =ETAT, le K-ième garde sa mémoire dans ETAT.K) ; production : une ligne\n"
        "                    de N afficheurs émulés\n"
        "  --panne-unite K:PANNE\n"
        "                    (avec --unites) l'afficheur émulé n° K de la ligne a la panne PANNE\n"
        "  --latence MS      (avec --simule) chaque échange prend MS millisecondes, comme sur un vrai câble\n"
        "  --afficheur N|CHEMIN|LIBELLE\n"
        "                    l'afficheur sur lequel travailler (numéro de liste, chemin USB, série ou nom) ;\n"
        "                    obligatoire quand plusieurs afficheurs sont branchés\n"
        "  --trace FICHIER   ajoute chaque rapport échangé à FICHIER\n"
        "  --operateur NOM   l'opérateur inscrit au journal de service (par défaut l'identifiant de session)\n"
        "  --lot LOT         le lot inscrit au journal de service\n"
        "  --base URI        journal de service partagé sur un serveur PostgreSQL\n"
        "                    (postgresql://utilisateur@hote/base ; par défaut le réglage journal/base ;\n"
        "                    le mot de passe dans ~/.pgpass plutôt que dans l'URI)\n"
        "  --langue LANGUE   fr (par défaut) ou en : la langue des messages et des aides\n"
        "  --help            cette aide ; COMMANDE --help : l'aide de la commande\n"
        "\n"
        "Codes de sortie :\n"
        "  0  fait (comparer : identique)\n"
        "  1  l'afficheur a refusé ou n'a pas fini, confirmation refusée (comparer : différent)\n"
        "  2  commande ou option inconnue\n"
        "  3  aucun afficheur connecté\n"
        "  4  fichier illisible, impossible à écrire, ou sauvegarde altérée\n"
        "  5  fait, mais l'afficheur relu diffère de ce qui a été envoyé\n"
        "  6  lecture de l'afficheur impossible (comparaison, sauvegarde ou relecture)\n"
        "  7  afficheur (ou fichier d'état de l'afficheur émulé) déjà utilisé par un autre programme\n"
        "  8  plusieurs afficheurs branchés et aucun choisi par --afficheur (rien n'a été fait)\n");
    return help;
}

}  // namespace

void requestCliStop() { stopFlag = true; }
bool stopRequested() { return stopFlag; }

QString commandHelp(const QString& command)
{
    const CliCommand* c = findCommand(command);
    return c ? T(c->help) : QString();
}

MsgResult TerminalDialogs::message(const MessageRequest& r)
{
    if (r.buttons != MsgButtons::YesNo) {
        printBox(err_, r);
        return MsgResult::Ok;
    }
    QString text = r.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    err_ << T("%1 (o/N) ").arg(text) << Qt::flush;
    const QString answer = in_.readLine().trimmed().toLower();
    // Either language's yes, whatever language the question was asked in.
    return (answer == QLatin1String("o") || answer == QLatin1String("oui") || answer == QLatin1String("y")
            || answer == QLatin1String("yes"))
        ? MsgResult::Yes
        : MsgResult::No;
}

void printBox(QTextStream& err, const MessageRequest& box)
{
    QString text = shownPieces(box.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    err << T("%1 : %2").arg(T(box.title), text) << Qt::endl;
}

void printFailure(QTextStream& err, const OperationResult& result)
{
    QString text = shownPieces(result.box.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The title may come already translated.
    if (result.box.title == kProgramTitle || result.box.title == T(kProgramTitle))
        err << text << Qt::endl;
    else
        printBox(err, result.box);
}

int matchDisplay(const std::vector<HidInterfaceInfo>& displays, const QString& spec)
{
    bool isNumber = false;
    const int number = spec.toInt(&isNumber);
    if (isNumber)
        return number >= 1 && number <= int(displays.size()) ? number - 1 : -1;
    for (std::size_t i = 0; i < displays.size(); ++i) {
        const HidInterfaceInfo& d = displays[i];
        if (spec == QString::fromStdString(d.path) || (!d.serial.empty() && spec == QString::fromStdString(d.serial))
            || (!displayLabel(d).isEmpty() && spec == displayLabel(d)))
            return int(i);
    }
    return -1;
}

void printDisplayList(QTextStream& out, const std::vector<HidInterfaceInfo>& displays)
{
    for (std::size_t i = 0; i < displays.size(); ++i)
        out << "  " << displayCaption(displays[i], int(i) + 1) << '\n';
}

int openSession(Session& s, const SessionOptions& options, QTextStream& err)
{
    if (options.simulate) {
        auto e = std::make_unique<EmulatedTransport>();
        e->plug(true);
        e->setLatencyMs(options.latencyMs);
        for (int unit = 1; unit < options.units; ++unit)
            e->addDisplay();
        s.emulated = e.get();
        s.statePath = options.statePath;
        if (!options.statePath.isEmpty()) {
            // One display keeps its memory in ETAT; on a bench display K keeps it in ETAT.K.
            for (int unit = 0; unit < options.units; ++unit)
                s.statePaths << (options.units == 1 ? options.statePath
                                                    : options.statePath + QStringLiteral(".%1").arg(unit + 1));
            for (const QString& path : s.statePaths) {
                DisplayClaim claim;
                const ClaimResult claimed = claim.claimStateFile(path);
                if (!claimed.taken()) {
                    err << claimRefusalText(claimed) << Qt::endl;
                    return kCliInUse;
                }
                s.stateClaims.push_back(std::move(claim));
            }
            for (int unit = 0; unit < options.units; ++unit) {
                QString why;
                if (!loadEmulatorState(s.statePaths[unit], e->display(unit), &why, unit == 0 ? &s.faults : nullptr)) {
                    err << T("Fichier d'état %1 illisible : %2").arg(s.statePaths[unit], T(why)) << Qt::endl;
                    return kCliBadFile;
                }
            }
        }
        if (options.faults)
            s.faults = *options.faults;
        for (const FaultSpec& fault : s.faults)
            e->injectFault(fault);
        s.transport = std::move(e);
    } else {
        s.transport = std::make_unique<HidapiTransport>();
    }
    s.link = std::make_unique<Exchanger>(*s.transport);
    if (!options.simulate)
        s.link->setClaims(std::make_unique<DisplayClaim>());
    if (!options.tracePath.isEmpty()) {
        if (!s.trace.open(options.tracePath)) {
            err << T("Impossible d'ouvrir le fichier de trace %1 : %2").arg(options.tracePath, s.trace.errorString())
                << Qt::endl;
            return kCliBadFile;
        }
        s.trace.attach(*s.link);
        // For the tests of what a killed program leaves behind, on the emulated display only: the program
        // stops dead once its N-th report is traced, says so on its error stream and waits to be killed.
        if (const int stopAt = qEnvironmentVariableIntValue("TRIVO_SIMULE_ARRET"); options.simulate && stopAt > 0)
            s.trace.stopAfter(stopAt, [] {
                static const char said[] = "TRIVO_SIMULE_ARRET\n";
                [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, said, sizeof said - 1);
                for (;;)
                    ::pause();
            });
    }
    // The displays plugged in, before any is opened: the one the command works on is chosen among them.
    for (const HidInterfaceInfo& info : s.transport->enumerate())
        if (info.vendorId == kDisplayVendorId && info.productId == kDisplayProductId)
            s.displays.push_back(info);
    if (!options.choose)
        return kCliOk;
    if (!options.display.isEmpty()) {
        const int chosen = matchDisplay(s.displays, options.display);
        if (chosen < 0) {
            err << T("Aucun afficheur ne répond à --afficheur %1. Afficheurs branchés :").arg(options.display)
                << Qt::endl;
            printDisplayList(err, s.displays);
            return kCliNoDisplay;
        }
        s.link->setTarget(s.displays[std::size_t(chosen)].path);
    } else if (s.displays.size() > 1) {
        // Which of them would be an accident of enumeration order: nothing is done until the operator says.
        err << T("Plusieurs afficheurs sont branchés : choisissez-en un avec --afficheur N|CHEMIN|LIBELLE.") << Qt::endl;
        printDisplayList(err, s.displays);
        return kCliSeveral;
    }
    s.link->connectionCheck();
    // Held by another program, or not claimed at all: nothing is sent either way.
    if (s.link->state() != LinkState::Connected && !s.link->claimRefusal().taken()) {
        err << claimRefusalText(s.link->claimRefusal()) << Qt::endl;
        return kCliInUse;
    }
    return kCliOk;
}

bool saveSession(Session& s, QTextStream& err)
{
    if (!s.emulated || s.statePath.isEmpty())
        return true;
    for (int unit = 0; unit < s.statePaths.size(); ++unit) {
        QString why;
        if (!saveEmulatorState(s.statePaths[unit], s.emulated->display(unit), &why,
                               unit == 0 ? s.faults : std::vector<FaultSpec>{})) {
            err << T("Fichier d'état %1 non enregistré : %2").arg(s.statePaths[unit], T(why)) << Qt::endl;
            return false;
        }
    }
    return true;
}

bool requireDisplay(CliContext& c)
{
    if (c.session && c.session->link->state() == LinkState::Connected)
        return true;
    c.err << T(kNoDisplayText) << Qt::endl;
    return false;
}

bool onlyOptions(CliContext& c, const QString& command, const QStringList& args, const QStringList& known)
{
    for (const QString& a : args)
        if (!known.contains(a)) {
            c.err << T("Argument inconnu : %1").arg(a) << Qt::endl << commandHelp(command);
            return false;
        }
    return true;
}

int runCli(const QStringList& argsIn, QTextStream& out, QTextStream& err, QTextStream& in)
{
    stopFlag = false;
    // French unless --langue en: scripts read the same texts whatever the station's settings.
    bool knownLanguage = true;
    const std::optional<Language> language = languageFromArguments(argsIn, &knownLanguage);
    if (!setLanguage(language.value_or(Language::French)))
        err << "English translation not found: the messages stay in French." << Qt::endl;
    if (!knownLanguage) {
        err << T("--langue ne connaît que « fr » et « en ».") << Qt::endl;
        return kCliUsage;
    }
    bool simulate = false;
    QString statePath;
    QString tracePath;
    std::optional<std::vector<FaultSpec>> faults;
    int latencyMs = 0;
    QString display;
    TrainingLine training;
    JournalOptions journal;
    QStringList args;
    // "--unites 8 --en-parallele 4 production ..." reads naturally: the option belongs to production and
    // is handed to it.
    QStringList productionOptions;
    for (int i = 0; i < argsIn.size(); ++i) {
        const QString& a = argsIn[i];
        if (args.isEmpty() && a == QLatin1String("--en-parallele") && i + 1 < argsIn.size()) {
            productionOptions << a << argsIn[++i];
            continue;
        }
        if (const int taken = args.isEmpty() ? takeJournalOption(argsIn, i, journal, err) : 0; taken != 0) {
            if (taken < 0)
                return kCliUsage;
            continue;
        }
        if (const int taken = args.isEmpty() ? takeTrainingOption(argsIn, i, training, err) : 0; taken != 0) {
            if (taken < 0)
                return kCliUsage;
            continue;
        }
        if (args.isEmpty() && (a == QLatin1String("--langue") || a.startsWith(QLatin1String("--langue=")))) {
            i += a == QLatin1String("--langue") ? 1 : 0;
            continue;
        }
        if (args.isEmpty() && (a == QLatin1String("--panne") || a.startsWith(QLatin1String("--panne=")))) {
            if (a == QLatin1String("--panne") && i + 1 >= argsIn.size()) {
                err << T("--panne demande une PANNE.") << Qt::endl;
                return kCliUsage;
            }
            const QString value = a == QLatin1String("--panne") ? argsIn[++i] : a.mid(8);
            const std::optional<FaultSpec> fault = parseFault(value);
            if (value != QLatin1String("aucune") && !fault) {
                err << T("Panne inconnue : %1").arg(value) << "\n\n" << generalHelp();
                return kCliUsage;
            }
            faults = fault ? std::vector<FaultSpec>{*fault} : std::vector<FaultSpec>{};
            continue;
        }
        if (args.isEmpty() && (a == QLatin1String("--latence") || a.startsWith(QLatin1String("--latence=")))) {
            const QString value = a == QLatin1String("--latence") ? (i + 1 < argsIn.size() ? argsIn[++i] : QString())
                                                                  : a.mid(10);
            bool ok = false;
            latencyMs = value.toInt(&ok);
            if (!ok || latencyMs < 0 || latencyMs > 60000) {
                err << T("--latence demande une durée en millisecondes (0 à 60000).") << Qt::endl;
                return kCliUsage;
            }
            continue;
        }
        if (args.isEmpty() && (a == QLatin1String("--afficheur") || a.startsWith(QLatin1String("--afficheur=")))) {
            display = a == QLatin1String("--afficheur") ? (i + 1 < argsIn.size() ? argsIn[++i] : QString())
                                                        : a.mid(12);
            if (display.trimmed().isEmpty()) {
                err << T("--afficheur demande un numéro, un chemin, un numéro de série ou un nom d'afficheur.") << Qt::endl;
                return kCliUsage;
            }
            continue;
        }
        if (args.isEmpty() && a == QLatin1String("--simule")) {
            simulate = true;
        } else if (args.isEmpty() && a.startsWith(QLatin1String("--simule="))) {
            simulate = true;
            statePath = a.mid(9);
        } else if (args.isEmpty() && a == QLatin1String("--trace")) {
            if (i + 1 >= argsIn.size()) {
                err << T("--trace demande un FICHIER.") << Qt::endl;
                return kCliUsage;
            }
            tracePath = argsIn[++i];
        } else if (args.isEmpty() && a.startsWith(QLatin1String("--trace="))) {
            tracePath = a.mid(8);
        } else if (args.isEmpty() && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            out << generalHelp();
            return kCliOk;
        } else if (args.isEmpty() && a == QLatin1String("--version")) {
            out << "trivo-cp-cli " << TRIVO_VERSION_TEXT << '\n';
            return kCliOk;
        } else {
            args << a;
        }
    }
    if (faults && !simulate) {
        err << T("--panne ne s'emploie qu'avec --simule : les pannes sont celles de l'afficheur émulé.") << Qt::endl;
        return kCliUsage;
    }
    if (latencyMs > 0 && !simulate) {
        err << T("--latence ne s'emploie qu'avec --simule : c'est le temps d'échange de l'afficheur émulé.") << Qt::endl;
        return kCliUsage;
    }
    if ((training.units > 0 || !training.faults.empty()) && !simulate) {
        err << T("--unites ne s'emploie qu'avec --simule : la ligne est faite d'afficheurs émulés.") << Qt::endl;
        return kCliUsage;
    }
    if (args.isEmpty()) {
        err << generalHelp();
        return kCliUsage;
    }
    const QString name = args.takeFirst();
    const CliCommand* command = findCommand(name);
    if (!command) {
        err << T("Commande inconnue : %1").arg(name) << "\n\n" << generalHelp();
        return kCliUsage;
    }
    if (!productionOptions.isEmpty()) {
        if (name != QLatin1String("production")) {
            err << T("--en-parallele ne s'emploie qu'avec production.") << Qt::endl;
            return kCliUsage;
        }
        args << productionOptions;
    }
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << T(command->help);
        return kCliOk;
    }

    TerminalDialogs dialogs(err, in);
    // The line production makes has displays of its own, which take the session's latency too.
    training.latencyMs = latencyMs;
    CliContext context{out, err, dialogs, nullptr, simulate, &training, &journal};
    // The dump needs no display.
    const bool needsSession = command->needsSession
        && !(name == QLatin1String("firmware") && !args.isEmpty() && args[0] == QLatin1String("dump"));
    if (!needsSession)
        return command->run(context, args);

    Session s;
    SessionOptions options{simulate, statePath, tracePath, faults, latencyMs};
    // Outside production (which makes its own line) --unites N plugs a bench of N emulated displays.
    if (name != QLatin1String("production"))
        options.units = std::max(1, training.units);
    options.display = display;
    options.choose = name != QLatin1String("liste");
    if (const int opened = openSession(s, options, err); opened != kCliOk)
        return opened;
    context.session = &s;
    int status = kCliFailed;
    {
        // The command is one operation: a display that stops answering costs it one wait at most.
        const Exchanger::Operation operation(*s.link);
        status = command->run(context, args);
    }
    s.link->CloseLink();
    if (!saveSession(s, err) && status == kCliOk)
        status = kCliBadFile;
    if (!tracePath.isEmpty() && !s.trace.finish()) {
        err << T("Fichier de trace %1 incomplet : %2").arg(tracePath, s.trace.errorString()) << Qt::endl;
        if (status == kCliOk)
            status = kCliBadFile;
    }
    return status;
}

}  // namespace trivo
