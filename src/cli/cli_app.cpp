#include "cli/cli_app.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>
#include <atomic>
#include <memory>

#include "emulator/emulator_state.h"
#include "common/dialogs.h"
#include "common/main_services.h"
#include "config/config_form.h"
#include "config/config_procedures.h"
#include "config/settings_codec.h"
#include "config/config_file.h"
#include "emulator/emulated_display.h"
#include "link/commands.h"
#include "link/hidapi_transport.h"
#include "link/link.h"
#include "link/report_trace.h"
#include "maintenance/firmware_flasher.h"
#include "maintenance/firmware_image.h"
#include "registers/register_decoding.h"
#include "screen/home_screen_picture.h"
#include "screen/picture_file.h"
#include "screen/screen_transfer.h"
#include "trivo_version.h"

namespace trivo {

namespace {

std::atomic<bool> stopRequested{false};

const QString kNoDisplay = QStringLiteral("Aucun TRIVO ZURED connecté. Veuillez connecter le TRIVO_ZURED.");
const QString kFlashQuestion = QStringLiteral("VOULEZ-VOUS VRAIMENT CONTINUER LA MAJ ?");

// Message boxes become lines on the error stream; Yes/No questions are asked on the terminal.
class TerminalDialogs : public Dialogs {
public:
    TerminalDialogs(QTextStream& err, QTextStream& in, bool assumeYes) : err_(err), in_(in), assumeYes_(assumeYes) {}

    MsgResult message(const MessageRequest& r) override
    {
        QString text = r.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (r.buttons != MsgButtons::YesNo) {
            err_ << r.title << " : " << text << Qt::endl;
            return MsgResult::Ok;
        }
        if (assumeYes_)
            return MsgResult::Yes;
        err_ << text << " (o/N) " << Qt::flush;
        const QString answer = in_.readLine().trimmed().toLower();
        return (answer == QLatin1String("o") || answer == QLatin1String("oui") || answer == QLatin1String("y"))
            ? MsgResult::Yes
            : MsgResult::No;
    }
    QString openFile(const FileRequest&) override { return {}; }
    QString saveFile(const FileRequest&) override { return {}; }

private:
    QTextStream& err_;
    QTextStream& in_;
    bool assumeYes_;
};

class SilentTransferView : public TransferView {
public:
    void setProgressVisible(bool) override {}
    void setProgressText(const QString&) override {}
    void setProgressValue(int) override {}
    void setCloseVisible(bool) override {}
    void previewChanged() override {}
};

const char* const kGeneralHelp =
    "Usage : trivo-cp-cli [--simule[=ETAT]] [--trace FICHIER] COMMANDE [ARGUMENTS]\n"
    "\n"
    "Commandes :\n"
    "  etat [--journal]                    afficheur connecté ? chemin, identifiants, longueurs\n"
    "  lire [-o FICHIER]                   lit et affiche la configuration (et l'enregistre)\n"
    "  programmer FICHIER                  programme l'afficheur avec un fichier *.config_CP\n"
    "  commande raz-c|raz-t|plus|moins|reset   commande directe\n"
    "  registres [--suivre]                registres spéciaux (toutes les 500 ms avec --suivre)\n"
    "  ecran envoyer IMAGE | lire -o IMAGE | effacer   écran d'accueil\n"
    "  firmware dump FICHIER.hex | flasher FICHIER.hex [--oui]   micrologiciel\n"
    "\n"
    "Options globales :\n"
    "  --simule[=ETAT]   afficheur émulé ; sa mémoire est gardée dans ETAT entre deux lancements\n"
    "  --trace FICHIER   ajoute chaque rapport échangé à FICHIER\n"
    "  --help            cette aide ; COMMANDE --help : l'aide de la commande\n";

QString commandHelp(const QString& command)
{
    if (command == QLatin1String("etat"))
        return QStringLiteral("Usage : trivo-cp-cli etat [--journal]\n"
                              "Indique si un TRIVO ZURED est connecté, son chemin, ses identifiants, sa version et "
                              "ses longueurs de rapport.\n--journal : les lignes de diagnostic de la recherche.\n");
    if (command == QLatin1String("lire"))
        return QStringLiteral("Usage : trivo-cp-cli lire [-o FICHIER]\n"
                              "Lit la configuration du TRIVO ZURED et affiche chaque réglage.\n"
                              "-o FICHIER : l'enregistre aussi au format *.config_CP.\n");
    if (command == QLatin1String("programmer"))
        return QStringLiteral("Usage : trivo-cp-cli programmer FICHIER\n"
                              "Charge un fichier *.config_CP et programme le TRIVO ZURED.\n"
                              "Code de sortie 0 seulement si la programmation est complète.\n");
    if (command == QLatin1String("commande"))
        return QStringLiteral("Usage : trivo-cp-cli commande raz-c|raz-t|plus|moins|reset\n"
                              "raz-c : remise à zéro du compteur, raz-t : du totalisateur,\n"
                              "plus / moins : une impulsion, reset : redémarre l'afficheur.\n");
    if (command == QLatin1String("registres"))
        return QStringLiteral("Usage : trivo-cp-cli registres [--suivre]\n"
                              "Lit les registres spéciaux une fois, ou toutes les 500 ms jusqu'à Ctrl+C.\n");
    if (command == QLatin1String("ecran"))
        return QStringLiteral("Usage : trivo-cp-cli ecran envoyer IMAGE | ecran lire -o IMAGE | ecran effacer\n"
                              "Envoie, relit ou efface l'écran d'accueil (240 x 64, seul le blanc pur reste blanc).\n");
    if (command == QLatin1String("firmware"))
        return QStringLiteral("Usage : trivo-cp-cli firmware dump FICHIER.hex | firmware flasher FICHIER.hex [--oui]\n"
                              "dump : les 2048 lignes de l'image ; flasher : les 500 rapports de la mise à jour,\n"
                              "après confirmation (--oui la donne d'avance).\n");
    return {};
}

struct Session {
    std::unique_ptr<HidTransport> transport;
    EmulatedTransport* emulated = nullptr;
    QString statePath;
    std::unique_ptr<Link> link;
    ReportTrace trace;
};

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
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" (0x")
        + QStringLiteral("%1").arg(rule, 2, 16, QLatin1Char('0')).toUpper() + QStringLiteral(")");
}

void printSettings(const FormState& form, QTextStream& out)
{
    const FormConversion conv = formToSettings(form);
    const DeviceSettings& s = conv.settings;
    auto line = [&out](const QString& label, const QString& value) {
        out << label.leftJustified(40, QLatin1Char(' ')) << value << '\n';
    };
    line(QStringLiteral("Mode"), form.production() ? QStringLiteral("PRODUCTION") : QStringLiteral("TOTALISATEUR"));
    static const char* const words[] = {"Début du compteur",   "Début du totalisateur", "Fin du compteur",
                                        "Fin du totalisateur", "Production compteur",   "Production totalisateur",
                                        "Seuil relais 1",      "Seuil relais 2",        "Seuil bipeur",
                                        "Pas du compteur",     "Présélection compteur", "Présélection totalisateur"};
    for (int i = 0; i < 12; ++i)
        line(QString::fromUtf8(words[i]), form.REG_V[static_cast<std::size_t>(i)]);
    line(QStringLiteral("Envoi présélection compteur"), onOff(form.Check_C == kChecked));
    line(QStringLiteral("Envoi présélection totalisateur"), onOff(form.Check_T == kChecked));
    line(QStringLiteral("Fond de l'écran blanc"), onOff(s.lcd_background_white()));
    line(QStringLiteral("Relais 1 utilisé"), onOff(s.relay1_enabled()));
    line(QStringLiteral("Relais 2 utilisé"), onOff(s.relay2_enabled()));
    line(QStringLiteral("Bipeur utilisé"), onOff(s.buzzer_enabled()));
    line(QStringLiteral("Polarité de l'entrée"), onOff(s.input_polarity()));
    line(QStringLiteral("Dépassement de la fin interdit"), onOff(s.end_overrun_forbidden()));
    line(QStringLiteral("Dépassement du début interdit"), onOff(s.start_overrun_forbidden()));
    line(QStringLiteral("Affiche la production"), onOff(s.show_production()));
    line(QStringLiteral("Affiche le solde"), onOff(s.show_balance()));
    line(QStringLiteral("Affiche le total"), onOff(s.show_total()));
    line(QStringLiteral("Point décimal (octet)"), QString::number(s.decimal_point));
    line(QStringLiteral("Options de démarrage (octet)"),
         QStringLiteral("0x") + QStringLiteral("%1").arg(s.startup_options, 2, 16, QLatin1Char('0')).toUpper());
    line(QStringLiteral("Règle relais 1"), ruleText(s.relay1_rule));
    line(QStringLiteral("Règle relais 2"), ruleText(s.relay2_rule));
    line(QStringLiteral("Règle bipeur"), ruleText(s.buzzer_rule));
    static const char* const sliders[] = {"Écran des paramètres", "Écran d'accueil",  "Impulsion relais 1",
                                          "Impulsion relais 2",   "Impulsion bipeur", "Anti-rebond",
                                          "Affichage production", "Affichage solde",  "Affichage total"};
    for (int n = 1; n <= 9; ++n)
        line(QString::fromUtf8(sliders[n - 1]), sliderCaption(n, form.slider(n)));
}

bool openSession(Session& s, bool simulate, const QString& statePath, const QString& tracePath, QTextStream& err)
{
    if (simulate) {
        auto e = std::make_unique<EmulatedTransport>();
        e->plug(true);
        s.emulated = e.get();
        s.statePath = statePath;
        if (!statePath.isEmpty()) {
            QString why;
            if (!loadEmulatorState(statePath, e->display(), &why)) {
                err << "Fichier d'état " << statePath << " illisible : " << why << Qt::endl;
                return false;
            }
        }
        s.transport = std::move(e);
    } else {
        s.transport = std::make_unique<HidapiTransport>();
    }
    s.link = std::make_unique<Link>(*s.transport);
    if (!tracePath.isEmpty()) {
        if (!s.trace.open(tracePath)) {
            err << "Impossible d'ouvrir le fichier de trace " << tracePath << " : " << s.trace.errorString()
                << Qt::endl;
            return false;
        }
        s.trace.attach(*s.link);
    }
    // One monitor pass, as the window's first tick does.
    s.link->DETECT_CON_Timer();
    return true;
}

bool saveSession(Session& s, QTextStream& err)
{
    if (!s.emulated || s.statePath.isEmpty())
        return true;
    QString why;
    if (!saveEmulatorState(s.statePath, s.emulated->display(), &why)) {
        err << "Fichier d'état " << s.statePath << " non enregistré : " << why << Qt::endl;
        return false;
    }
    return true;
}

bool requireDisplay(Session& s, QTextStream& err)
{
    if (s.link->state() == LinkState::Connected)
        return true;
    err << kNoDisplay << Qt::endl;
    return false;
}

// Arguments a command does not know are a usage error, not something to skip silently.
bool onlyOptions(const QString& command, const QStringList& args, const QStringList& known, QTextStream& err)
{
    for (const QString& a : args)
        if (!known.contains(a)) {
            err << "Argument inconnu : " << a << Qt::endl << commandHelp(command);
            return false;
        }
    return true;
}

int cmdEtat(Session& s, const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (!onlyOptions(QStringLiteral("etat"), args, {QStringLiteral("--journal")}, err))
        return kCliUsage;
    const bool journal = args.contains(QStringLiteral("--journal"));
    const bool connected = s.link->state() == LinkState::Connected;
    if (connected) {
        const HidInterfaceInfo& d = s.link->device();
        const ReportLengths l = s.link->reportLengths();
        out << "TRIVO ZURED connecté.\n";
        out << "Chemin : " << QString::fromStdString(d.path) << '\n';
        out << "Fabricant : " << QStringLiteral("%1").arg(d.vendorId, 4, 16, QLatin1Char('0')).toUpper()
            << "  Produit : " << QStringLiteral("%1").arg(d.productId, 4, 16, QLatin1Char('0')).toUpper()
            << "  Version : " << QStringLiteral("%1").arg(d.version, 4, 16, QLatin1Char('0')).toUpper() << '\n';
        out << "Longueur des rapports : entrée " << l.input << ", sortie " << l.output << '\n';
    } else {
        out << kWaitingText << '\n';
    }
    if (journal)
        for (const QString& line : s.link->lstResults())
            out << line << '\n';
    return connected ? kCliOk : kCliNoDisplay;
}

int cmdLire(Session& s, const QStringList& args, QTextStream& out, QTextStream& err, Dialogs& dialogs)
{
    QString outPath;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("-o") && i + 1 < args.size())
            outPath = args[++i];
        else {
            err << "Argument inconnu : " << args[i] << Qt::endl << commandHelp(QStringLiteral("lire"));
            return kCliUsage;
        }
    }
    if (!requireDisplay(s, err))
        return kCliNoDisplay;
    PlainMainServices main;
    PlainConfigForm form;
    const ReadOutcome outcome = readParameters(*s.link, dialogs, main, form);
    if (outcome != ReadOutcome::Done) {
        err << (outcome == ReadOutcome::InvalidBlock ? kInvalidBlock : kReadLostStatus) << Qt::endl;
        return kCliFailed;
    }
    printSettings(form.state, out);
    out << main.panel2 << '\n';
    if (!outPath.isEmpty()) {
        QSaveFile file(outPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(config_file::toFileBytes(form.state)) < 0
            || !file.commit()) {
            err << "Fichier " << outPath << " non enregistré : " << file.errorString() << Qt::endl;
            return kCliBadFile;
        }
        out << "Configuration enregistrée dans " << outPath << '\n';
    }
    return kCliOk;
}

int cmdProgrammer(Session& s, const QStringList& args, QTextStream& out, QTextStream& err, Dialogs& dialogs)
{
    if (args.size() != 1) {
        err << commandHelp(QStringLiteral("programmer"));
        return kCliUsage;
    }
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "Fichier " << args[0] << " : " << file.errorString() << Qt::endl;
        return kCliBadFile;
    }
    const config_file::ReadResult loaded = config_file::read(file.readAll(), resetConfiguration(FormState{}));
    if (!loaded.ok()) {
        err << "Fichier " << loaded.error.description << "\nErreur N°: " << loaded.error.number << " (ligne "
            << loaded.error.line << ")" << Qt::endl;
        return kCliBadFile;
    }
    if (!requireDisplay(s, err))
        return kCliNoDisplay;
    PlainMainServices main;
    PlainConfigForm form;
    form.state = loaded.state;
    const ProgramResult result = programParameters(*s.link, dialogs, main, form);
    if (result.outcome != ProgramOutcome::Done) {
        if (result.outcome == ProgramOutcome::InvalidValue)
            err << "Valeur refusée : REG_V(" << result.invalidBox << ") = \""
                << loaded.state.REG_V[static_cast<std::size_t>(std::max(0, result.invalidBox))] << "\"" << Qt::endl;
        err << (main.panel2.isEmpty() ? kProgramLostStatus : main.panel2) << Qt::endl;
        return kCliFailed;
    }
    out << main.panel2 << '\n';
    return kCliOk;
}

int cmdCommande(Session& s, const QStringList& args, QTextStream& out, QTextStream& err)
{
    static const QList<QPair<QString, QString>> codes = {{QStringLiteral("raz-c"), QStringLiteral("34")},
                                                         {QStringLiteral("raz-t"), QStringLiteral("35")},
                                                         {QStringLiteral("plus"), QStringLiteral("36")},
                                                         {QStringLiteral("moins"), QStringLiteral("37")},
                                                         {QStringLiteral("reset"), QStringLiteral("38")}};
    QString code;
    for (const auto& c : codes)
        if (args.size() == 1 && args[0] == c.first)
            code = c.second;
    if (code.isEmpty()) {
        err << commandHelp(QStringLiteral("commande"));
        return kCliUsage;
    }
    if (!requireDisplay(s, err))
        return kCliNoDisplay;
    if (!sendDirectCommand(*s.link, code)) {
        err << "La commande n'a pas été reçue par le TRIVO ZURED." << Qt::endl;
        return kCliFailed;
    }
    out << "Commande " << args[0] << " (" << code << ") envoyée.\n";
    return kCliOk;
}

int cmdRegistres(Session& s, const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (!onlyOptions(QStringLiteral("registres"), args, {QStringLiteral("--suivre")}, err))
        return kCliUsage;
    const bool follow = args.contains(QStringLiteral("--suivre"));
    if (!requireDisplay(s, err))
        return kCliNoDisplay;
    do {
        commands::registersRead(*s.link);
        if (!s.link->but_RD_HID_Click()) {
            err << "Lecture des registres impossible." << Qt::endl;
            return kCliFailed;
        }
        registers::BufferTexts texts;
        for (int i = 0; i < 64; ++i)
            texts[static_cast<std::size_t>(i)] = s.link->text1(i);
        const registers::RegisterReadout r = registers::decode(texts);
        out << "Heure et date        : " << r.heureTrivo << "  " << r.dateTrivo << '\n'
            << "Radio synchronisation: " << r.heureDcf << "  " << r.dateDcf << '\n'
            << "Niveau de réception  : " << r.niveau << '\n'
            << "Température          : " << r.temperature << '\n'
            << "Diodes (rouge verte bleue)   : " << onOff(r.r2) << ' ' << onOff(r.v2) << ' ' << onOff(r.b2) << '\n'
            << "Poussoirs appuyés (r v b)    : " << onOff(r.r1) << ' ' << onOff(r.v1) << ' ' << onOff(r.b1) << '\n';
        out.flush();
        if (follow) {
            out << '\n';
            for (int i = 0; i < 10 && !stopRequested; ++i)
                QThread::msleep(50);
        }
    } while (follow && !stopRequested);
    return kCliOk;
}

int cmdEcran(Session& s, const QStringList& args, QTextStream& out, QTextStream& err)
{
    SilentTransferView view;
    HomeScreenPicture picture;
    if (args.size() == 2 && args[0] == QLatin1String("envoyer")) {
        const PictureFile file = readPictureFile(args[1]);
        if (!file.ok()) {
            err << "Fichier " << file.errorText << "\nErreur N°: " << static_cast<int>(file.error) << Qt::endl;
            return kCliBadFile;
        }
        if (!requireDisplay(s, err))
            return kCliNoDisplay;
        picture.place(file.image);
        picture.reduceToTwoColours();
        if (!sendHomeScreen(*s.link, picture, view)) {
            err << "L'écran d'accueil n'a pas été entièrement envoyé." << Qt::endl;
            return kCliFailed;
        }
        out << "Écran d'accueil envoyé.\n";
        return kCliOk;
    }
    if (args.size() == 3 && args[0] == QLatin1String("lire") && args[1] == QLatin1String("-o")) {
        if (!requireDisplay(s, err))
            return kCliNoDisplay;
        if (!readHomeScreen(*s.link, picture, view)) {
            err << "L'écran d'accueil n'a pas été entièrement lu." << Qt::endl;
            return kCliFailed;
        }
        if (!picture.image().save(args[2])) {
            err << "Fichier " << args[2] << " non enregistré." << Qt::endl;
            return kCliBadFile;
        }
        out << "Écran d'accueil enregistré dans " << args[2] << '\n';
        return kCliOk;
    }
    if (args.size() == 1 && args[0] == QLatin1String("effacer")) {
        if (!requireDisplay(s, err))
            return kCliNoDisplay;
        if (!clearHomeScreen(*s.link, picture, view)) {
            err << "L'effacement n'a pas été reçu." << Qt::endl;
            return kCliFailed;
        }
        out << "Écran effacé.\n";
        return kCliOk;
    }
    err << commandHelp(QStringLiteral("ecran"));
    return kCliUsage;
}

int readHex(const QString& path, FirmwareImage& image, QTextStream& err)
{
    image.fill(0xFF);
    const HexReadResult r = readIntelHexFile(path, image);
    if (!r.ok) {
        err << "Fichier " << r.errorDescription << "\nErreur N°: " << r.errorNumber << Qt::endl;
        return kCliBadFile;
    }
    return kCliOk;
}

int cmdFirmware(Session* s, const QStringList& args, QTextStream& out, QTextStream& err, Dialogs& dialogs)
{
    const bool yes = args.contains(QStringLiteral("--oui"));
    QStringList rest = args;
    rest.removeAll(QStringLiteral("--oui"));
    if (rest.size() != 2 || (rest[0] != QLatin1String("dump") && rest[0] != QLatin1String("flasher"))) {
        err << commandHelp(QStringLiteral("firmware"));
        return kCliUsage;
    }
    auto image = std::make_unique<FirmwareImage>();
    if (const int status = readHex(rest[1], *image, err); status != kCliOk)
        return status;
    if (rest[0] == QLatin1String("dump")) {
        for (int address = 0; address < kImageSize; address += kRecordBytes) {
            QString line = dumpLine(*image, address);
            line.chop(2);  // the dump's own CR LF
            out << line << '\n';
        }
        return kCliOk;
    }
    if (!requireDisplay(*s, err))
        return kCliNoDisplay;
    if (!yes && !dialogs.confirm(kFlashQuestion, MsgIcon::Question)) {
        err << "Mise à jour abandonnée : rien n'a été envoyé." << Qt::endl;
        return kCliFailed;
    }
    // The emulated display is put into its update mode, as the operator does with the real one.
    if (s->emulated) {
        s->emulated->display().updateMode = true;
        s->emulated->display().firmware.clear();
    }
    out << kFlashingText << '\n';
    out.flush();
    const FlashResult result = flashFirmware(*s->link, *image);
    if (!result.completed) {
        err << flashFailureText(result) << Qt::endl;
        return kCliFailed;
    }
    // A completed update restarts the display on its new firmware: the saved state must answer again.
    if (s->emulated)
        s->emulated->display().updateMode = false;
    out << kFlashDoneText << '\n';
    return kCliOk;
}

}  // namespace

void requestCliStop() { stopRequested = true; }

int runCli(const QStringList& argsIn, QTextStream& out, QTextStream& err, QTextStream& in)
{
    stopRequested = false;
    bool simulate = false;
    QString statePath;
    QString tracePath;
    QStringList args;
    for (int i = 0; i < argsIn.size(); ++i) {
        const QString& a = argsIn[i];
        if (args.isEmpty() && a == QLatin1String("--simule")) {
            simulate = true;
        } else if (args.isEmpty() && a.startsWith(QLatin1String("--simule="))) {
            simulate = true;
            statePath = a.mid(9);
        } else if (args.isEmpty() && a == QLatin1String("--trace")) {
            if (i + 1 >= argsIn.size()) {
                err << "--trace demande un FICHIER." << Qt::endl;
                return kCliUsage;
            }
            tracePath = argsIn[++i];
        } else if (args.isEmpty() && a.startsWith(QLatin1String("--trace="))) {
            tracePath = a.mid(8);
        } else if (args.isEmpty() && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            out << kGeneralHelp;
            return kCliOk;
        } else if (args.isEmpty() && a == QLatin1String("--version")) {
            out << "trivo-cp-cli " << TRIVO_VERSION_TEXT << '\n';
            return kCliOk;
        } else {
            args << a;
        }
    }
    if (args.isEmpty()) {
        err << kGeneralHelp;
        return kCliUsage;
    }
    const QString command = args.takeFirst();
    const QString help = commandHelp(command);
    if (help.isEmpty()) {
        err << "Commande inconnue : " << command << "\n\n" << kGeneralHelp;
        return kCliUsage;
    }
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << help;
        return kCliOk;
    }

    TerminalDialogs dialogs(err, in, false);
    // The dump needs no display.
    if (command == QLatin1String("firmware") && !args.isEmpty() && args[0] == QLatin1String("dump"))
        return cmdFirmware(nullptr, args, out, err, dialogs);

    Session s;
    if (!openSession(s, simulate, statePath, tracePath, err))
        return kCliBadFile;
    int status = kCliUsage;
    if (command == QLatin1String("etat"))
        status = cmdEtat(s, args, out, err);
    else if (command == QLatin1String("lire"))
        status = cmdLire(s, args, out, err, dialogs);
    else if (command == QLatin1String("programmer"))
        status = cmdProgrammer(s, args, out, err, dialogs);
    else if (command == QLatin1String("commande"))
        status = cmdCommande(s, args, out, err);
    else if (command == QLatin1String("registres"))
        status = cmdRegistres(s, args, out, err);
    else if (command == QLatin1String("ecran"))
        status = cmdEcran(s, args, out, err);
    else if (command == QLatin1String("firmware"))
        status = cmdFirmware(&s, args, out, err, dialogs);
    s.link->CloseLink();
    if (!saveSession(s, err) && status == kCliOk)
        status = kCliBadFile;
    return status;
}

}  // namespace trivo
