#include "cli/cli_app.h"

#include <atomic>
#include <map>
#include <unistd.h>

#include "cli/cli_support.h"
#include "common/language.h"
#include "common/program_options.h"
#include "emulator/emulated_display.h"
#include "emulator/emulator_state.h"
#include "link/display_labels.h"
#include "link/hidapi_transport.h"

#include <QCommandLineParser>
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
     FR("  production MODELE|--lot LOT [--ecran IMAGE] [--journal FICHIER.csv] [--nombre N] [--en-parallele K]"
        "   ligne de production\n"),
     FR("Usage : trivo-cp-cli production MODELE|--lot LOT [--ecran IMAGE] [--journal FICHIER.csv] [--nombre N]\n"
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
        "un journal de service qui ne peut pas être écrit arrête la ligne avant l'afficheur suivant (code 4).\n"
        "--lot LOT sans MODELE : la révision courante du lot (voir lot), gardée en cache sur le poste pour\n"
        "continuer sans le serveur ; un afficheur d'une autre version que celle attendue échoue sans être\n"
        "programmé ; la ligne s'arrête quand la quantité du lot est atteinte par tous les postes ensemble\n"
        "(sans le serveur, le poste compte seul et le dit). Code 4 : lot inconnu, clos ou jamais récupéré.\n"),
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
    {"bilan", FR("  bilan [--lot L] [--depuis DATE] [--formation] [--json]   bilan du journal : heures, lots, échecs\n"),
     FR("Usage : trivo-cp-cli bilan [--lot L] [--depuis DATE] [--formation] [--json]\n"
        "Affiche le bilan du journal de service, compté par la base qui le garde : les opérations\n"
        "réussies et en échec par heure et par lot, les raisons des échecs de la plus fréquente à la moins\n"
        "fréquente (avec leur part cumulée), et les postes et opérateurs de la période. Une opération en\n"
        "cours n'est pas comptée ; une opération interrompue compte comme un échec. Avec --base, le bilan\n"
        "du serveur partagé (tous les postes), sinon celui du poste.\n"
        "--lot L ; --depuis DATE : AAAA-MM-JJ ou AAAA-MM-JJTHH:MM[:SS][Z] ; --formation : aussi les\n"
        "opérations faites sur l'afficheur émulé.\n"
        "--json : un objet (source, reussis, echecs, par_heure [heure, reussis, echecs], par_lot [lot,\n"
        "reussis, echecs], raisons [raison, nombre, cumul_pourcent], postes_operateurs [poste, operateur,\n"
        "reussis, echecs, premier, dernier]), heures en UTC. Code 1 : serveur injoignable (le bilan du\n"
        "poste est affiché) ; 4 : journal du poste illisible.\n"),
     false, cmdBilan},
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
    {"lot", FR("  lot definir|liste|montrer|clore     lots définis une fois pour tous les postes (--base)\n"),
     FR("Usage : trivo-cp-cli lot definir LOT --modele FICHIER.config_CP [--ecran IMAGE] [--version-attendue VVVV]\n"
        "                        [--quantite N] [--note TEXTE] [--revision]\n"
        "       trivo-cp-cli lot liste [--json] | lot montrer LOT [--json] | lot clore LOT\n"
        "Garde la définition d'un lot avec le journal de service : sur le serveur partagé avec --base, sinon\n"
        "dans la base du poste. definir : le modèle et l'écran (leurs octets et leur empreinte SHA-256), la\n"
        "version du micrologiciel attendue, la quantité d'afficheurs conformes, une note, qui l'a défini et\n"
        "quand ; une révision ne change plus : --revision en fait une nouvelle, que les afficheurs suivants\n"
        "prennent. Le nom ne prend que des lettres, des chiffres, « - », « _ » et « . ».\n"
        "montrer : la définition, ses révisions et l'avancement (faits, conformes, en échec, restants) par\n"
        "poste ; clore : plus aucun afficheur n'est fait pour le lot. production --lot LOT le fabrique.\n"
        "Code 4 : modèle ou image illisible, lot inconnu ou clos ; 1 : lot déjà défini, serveur injoignable.\n"),
     false, cmdLot},
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
        "  --poste NOM       le poste inscrit au journal de service (par défaut le nom de la machine)\n"
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
            err << trivo::options::traceOpenError(options.tracePath, s.trace.errorString()) << Qt::endl;
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
        if (isDisplay(info))
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

namespace {

// What the options before the command say; the command and its arguments after them.
struct GlobalOptions {
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
};

// The option parser of the command line: the options it shares with the windows, defined once, and its own.
struct GlobalParser {
    QCommandLineParser parser;
    // --simule=ETAT keeps the emulated display's memory in ETAT: a value that --simule, which takes none,
    // hands to this option of its own.
    QCommandLineOption state{QStringLiteral("etat-simule"), QString(), QStringLiteral("ETAT")};

    GlobalParser()
    {
        parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({options::simulate(), state, options::trace(), options::latency(), options::units(),
                           options::language(), options::base(), options::operatorName(), options::lot(),
                           QCommandLineOption(QStringLiteral("panne"), QString(), QStringLiteral("PANNE")),
                           QCommandLineOption(QStringLiteral("panne-unite"), QString(), QStringLiteral("K:PANNE")),
                           QCommandLineOption(QStringLiteral("afficheur"), QString(), QStringLiteral("N")),
                           QCommandLineOption(QStringLiteral("poste"), QString(), QStringLiteral("NOM")),
                           QCommandLineOption(QStringLiteral("en-parallele"), QString(), QStringLiteral("K")),
                           QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QString()),
                           QCommandLineOption(QStringLiteral("version"), QString())});
    }
    bool takesValue(const QString& argument) const
    {
        static const QStringList valued = {"--trace",    "--latence",    "--unites",    "--langue",
                                           "--base",     "--operateur",  "--lot",       "--panne",
                                           "--panne-unite", "--afficheur", "--en-parallele", "--poste"};
        return valued.contains(argument);
    }
    // The arguments as the parser takes them: --simule=ETAT before the command split in two.
    QStringList prepared(const QStringList& argsIn) const
    {
        QStringList prepared{QStringLiteral("trivo-cp-cli")};
        int i = 0;
        for (; i < argsIn.size() && argsIn[i].startsWith(QLatin1Char('-')) && argsIn[i] != QLatin1String("--"); ++i) {
            if (argsIn[i].startsWith(QLatin1String("--simule="))) {
                prepared << QStringLiteral("--simule") << QStringLiteral("--etat-simule=") + argsIn[i].mid(9);
                continue;
            }
            prepared << argsIn[i];
            if (takesValue(argsIn[i]) && i + 1 < argsIn.size())
                prepared << argsIn[++i];
        }
        // "--" is no end of options here: a command it is not.
        if (i < argsIn.size() && argsIn[i] == QLatin1String("--"))
            prepared << QStringLiteral("--") << QStringLiteral("--");
        for (; i < argsIn.size(); ++i)
            prepared << argsIn[i];
        return prepared;
    }
};

// Why the parser refused the arguments, as the command line says it.
int refusal(const GlobalParser& p, const QStringList& argsIn, QTextStream& err)
{
    const QStringList unknown = p.parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        // Named as it was written: dashes, and a value after "=" if any.
        QString shown = unknown.first();
        for (const QString& a : argsIn) {
            QString name = a.section(QLatin1Char('='), 0, 0);
            while (name.startsWith(QLatin1Char('-')))
                name.remove(0, 1);
            if (a.startsWith(QLatin1Char('-')) && name == unknown.first()) {
                shown = a;
                break;
            }
        }
        err << T("Commande inconnue : %1").arg(shown) << "\n\n" << generalHelp();
        return kCliUsage;
    }
    // An option that takes a value, last of all.
    const QString last = argsIn.isEmpty() ? QString() : argsIn.last();
    if (last == QLatin1String("--trace"))
        err << T("--trace demande un FICHIER.") << Qt::endl;
    else if (last == QLatin1String("--latence"))
        err << options::latencyError() << Qt::endl;
    else if (last == QLatin1String("--afficheur"))
        err << T("--afficheur demande un numéro, un chemin, un numéro de série ou un nom d'afficheur.") << Qt::endl;
    else if (last == QLatin1String("--panne"))
        err << T("--panne demande une PANNE.") << Qt::endl;
    else if (last == QLatin1String("--unites"))
        err << T("%1 demande un nombre.").arg(last) << Qt::endl;
    else if (last == QLatin1String("--panne-unite"))
        err << T("%1 demande K:PANNE.").arg(last) << Qt::endl;
    else if (last == QLatin1String("--en-parallele"))
        err << T("Commande inconnue : %1").arg(last) << "\n\n" << generalHelp();
    else
        err << T("%1 demande une valeur.").arg(last) << Qt::endl;
    return kCliUsage;
}

// One option as given, in the order given: kCliOk to go on, else the status to exit with.
int takeOption(const QString& name, const QString& value, GlobalOptions& g, QTextStream& out, QTextStream& err)
{
    if (name == QLatin1String("simule")) {
        g.simulate = true;
    } else if (name == QLatin1String("etat-simule")) {
        g.statePath = value;
    } else if (name == QLatin1String("trace")) {
        g.tracePath = value;
    } else if (name == QLatin1String("latence")) {
        const std::optional<int> ms = options::latencyMs(value);
        if (!ms) {
            err << options::latencyError() << Qt::endl;
            return kCliUsage;
        }
        g.latencyMs = *ms;
    } else if (name == QLatin1String("unites") || name == QLatin1String("panne-unite")) {
        QStringList given{QStringLiteral("--") + name, value};
        int i = 0;
        return takeTrainingOption(given, i, g.training, err) < 0 ? kCliUsage : kCliOk;
    } else if (name == QLatin1String("base") || name == QLatin1String("operateur") || name == QLatin1String("lot")
               || name == QLatin1String("poste")) {
        QStringList given{QStringLiteral("--") + name, value};
        int i = 0;
        return takeJournalOption(given, i, g.journal, err) < 0 ? kCliUsage : kCliOk;
    } else if (name == QLatin1String("panne")) {
        const std::optional<FaultSpec> fault = parseFault(value);
        if (value != QLatin1String("aucune") && !fault) {
            err << T("Panne inconnue : %1").arg(value) << "\n\n" << generalHelp();
            return kCliUsage;
        }
        g.faults = fault ? std::vector<FaultSpec>{*fault} : std::vector<FaultSpec>{};
    } else if (name == QLatin1String("afficheur")) {
        g.display = value;
        if (g.display.trimmed().isEmpty()) {
            err << T("--afficheur demande un numéro, un chemin, un numéro de série ou un nom d'afficheur.") << Qt::endl;
            return kCliUsage;
        }
    } else if (name == QLatin1String("en-parallele")) {
        g.productionOptions << QStringLiteral("--en-parallele") << value;
    } else if (name == QLatin1String("h") || name == QLatin1String("help")) {
        out << generalHelp();
        return -1;
    } else if (name == QLatin1String("version")) {
        out << "trivo-cp-cli " << TRIVO_VERSION_TEXT << '\n';
        return -1;
    }
    return kCliOk;
}

// The options before the command: kCliOk to run it, -1 when the help or version was asked (and told),
// else the status to exit with.
int parseGlobalOptions(const QStringList& argsIn, GlobalOptions& g, QTextStream& out, QTextStream& err)
{
    GlobalParser p;
    if (!p.parser.parse(p.prepared(argsIn)))
        return refusal(p, argsIn, err);
    std::map<QString, int> seen;  // how many values of each option were taken
    for (const QString& name : p.parser.optionNames()) {
        const QStringList values = p.parser.values(name);
        const int k = seen[name]++;
        const QString value = k < values.size() ? values[k] : QString();
        if (const int status = takeOption(name, value, g, out, err); status != kCliOk)
            return status;
    }
    g.args = p.parser.positionalArguments();
    if (!g.args.isEmpty() && g.args.first() == QLatin1String("--"))
        g.args.removeFirst();
    // The emulated display's options, without it.
    if (g.faults && !g.simulate) {
        err << T("--panne ne s'emploie qu'avec --simule : les pannes sont celles de l'afficheur émulé.") << Qt::endl;
        return kCliUsage;
    }
    if (g.latencyMs > 0 && !g.simulate) {
        err << T("--latence ne s'emploie qu'avec --simule : c'est le temps d'échange de l'afficheur émulé.") << Qt::endl;
        return kCliUsage;
    }
    if ((g.training.units > 0 || !g.training.faults.empty()) && !g.simulate) {
        err << T("--unites ne s'emploie qu'avec --simule : la ligne est faite d'afficheurs émulés.") << Qt::endl;
        return kCliUsage;
    }
    return kCliOk;
}

}  // namespace

int runCli(const QStringList& argsIn, QTextStream& out, QTextStream& err, QTextStream& in)
{
    stopFlag = false;
    // French unless --langue en: scripts read the same texts whatever the station's settings.
    bool knownLanguage = true;
    const std::optional<Language> language = languageFromArguments(argsIn, &knownLanguage);
    if (!setLanguage(language.value_or(Language::French)))
        err << "English translation not found: the messages stay in French." << Qt::endl;
    if (!knownLanguage) {
        err << options::languageError() << Qt::endl;
        return kCliUsage;
    }
    GlobalOptions g;
    if (const int parsed = parseGlobalOptions(argsIn, g, out, err); parsed != kCliOk)
        return parsed < 0 ? kCliOk : parsed;
    if (g.args.isEmpty()) {
        err << generalHelp();
        return kCliUsage;
    }
    const QString name = g.args.takeFirst();
    const CliCommand* command = findCommand(name);
    if (!command) {
        err << T("Commande inconnue : %1").arg(name) << "\n\n" << generalHelp();
        return kCliUsage;
    }
    if (!g.productionOptions.isEmpty()) {
        if (name != QLatin1String("production")) {
            err << T("--en-parallele ne s'emploie qu'avec production.") << Qt::endl;
            return kCliUsage;
        }
        g.args << g.productionOptions;
    }
    if (g.args.contains(QStringLiteral("--help")) || g.args.contains(QStringLiteral("-h"))) {
        out << T(command->help);
        return kCliOk;
    }

    TerminalDialogs dialogs(err, in);
    // The line production makes has displays of its own, which take the session's latency too.
    g.training.latencyMs = g.latencyMs;
    CliContext context{out, err, dialogs, nullptr, g.simulate, &g.training, &g.journal};
    // The dump needs no display.
    const bool needsSession = command->needsSession
        && !(name == QLatin1String("firmware") && !g.args.isEmpty() && g.args[0] == QLatin1String("dump"));
    if (!needsSession)
        return command->run(context, g.args);

    Session s;
    SessionOptions options{g.simulate, g.statePath, g.tracePath, g.faults, g.latencyMs};
    // Outside production (which makes its own line) --unites N plugs a bench of N emulated displays.
    if (name != QLatin1String("production"))
        options.units = std::max(1, g.training.units);
    options.display = g.display;
    options.choose = name != QLatin1String("liste");
    if (const int opened = openSession(s, options, err); opened != kCliOk)
        return opened;
    context.session = &s;
    int status = kCliFailed;
    {
        // The command is one operation: a display that stops answering costs it one wait at most.
        const Exchanger::Operation operation(*s.link);
        status = command->run(context, g.args);
    }
    s.link->CloseLink();
    if (!saveSession(s, err) && status == kCliOk)
        status = kCliBadFile;
    if (!g.tracePath.isEmpty() && !s.trace.finish()) {
        err << trivo::options::traceIncompleteError(g.tracePath, s.trace.errorString()) << Qt::endl;
        if (status == kCliOk)
            status = kCliBadFile;
    }
    return status;
}

}  // namespace trivo
