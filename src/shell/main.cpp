#include <QApplication>
#include <QCommandLineParser>
#include <memory>

#include "common/dialogs.h"
#include "emulator/emulated_display.h"
#include "link/hidapi_transport.h"
#include "link/link.h"
#include "shell/main_window.h"
#include "trivo_version.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trivo-cp"));
    QApplication::setApplicationVersion(QStringLiteral(TRIVO_VERSION_TEXT));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Utilitaire de service TRIVO ZURED CP."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption simulate(QStringLiteral("simule"),
                                QStringLiteral("Mode formation : afficheur émulé au lieu du matériel."));
    parser.addOption(simulate);
    parser.process(app);

    std::unique_ptr<trivo::HidTransport> transport;
    const bool training = parser.isSet(simulate);
    if (training) {
        auto emulated = std::make_unique<trivo::EmulatedTransport>();
        emulated->plug(true);
        transport = std::move(emulated);
    } else {
        transport = std::make_unique<trivo::HidapiTransport>();
    }

    trivo::Link link(*transport);
    trivo::QtDialogs dialogs;
    trivo::MainWindow main(link, dialogs);
    dialogs.setParent(&main);
    main.setTrainingMode(training);
    main.show();
    main.MDIForm_Load();
    return app.exec();
}
