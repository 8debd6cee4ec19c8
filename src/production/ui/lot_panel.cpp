#include "production/ui/lot_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>
#include <QVBoxLayout>

#include "common/handover.h"
#include "common/language.h"
#include "config/settings_report.h"
#include "journal/journal_record.h"
#include "production/lot_supply.h"

namespace trivo {

using namespace production;

namespace {

constexpr int kProgressEveryMs = 2000;
// The model's settings the panel shows: enough to tell two models apart at a glance.
constexpr int kShownSettings = 4;
const QString kNoLot = FR("Aucun (fichier modèle)");

QString countText(const journal::LotCount& n)
{
    return T("%1 conformes, %2 en échec").arg(n.passed).arg(n.failed);
}

}  // namespace

LotPanel::LotPanel(QWidget* parent) : QGroupBox(T("Lot"), parent)
{
    setObjectName(QStringLiteral("cadreLot"));
    auto* form = new QFormLayout(this);
    auto* row = new QHBoxLayout;
    lots_ = new QComboBox(this);
    lots_->setObjectName(QStringLiteral("LOT"));
    lots_->setAccessibleName(T("Lot à fabriquer"));
    lots_->addItem(T(kNoLot), QString());
    reload_ = new QPushButton(T("Actualiser"), this);
    reload_->setObjectName(QStringLiteral("cmdLots"));
    reload_->setAccessibleName(T("Relire les lots"));
    row->addWidget(lots_, 1);
    row->addWidget(reload_);
    form->addRow(T("Lot :"), row);
    // Side by side: the definition, the model's main settings, the picture.
    auto* details = new QHBoxLayout;
    revision_ = new QLabel(this);
    revision_->setObjectName(QStringLiteral("lblLotRevision"));
    revision_->setWordWrap(true);
    revision_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("imgLot"));
    picture_->setAccessibleName(T("Écran d'accueil du lot"));
    settings_ = new QLabel(this);
    settings_->setObjectName(QStringLiteral("lblLotReglages"));
    settings_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    revision_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    details->addWidget(revision_, 1);
    details->addWidget(settings_, 1);
    details->addWidget(picture_, 0, Qt::AlignTop);
    form->addRow(T("Révision :"), details);
    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("lblLotAvancement"));
    progress_->setWordWrap(true);
    form->addRow(T("Avancement :"), progress_);
    for (QLabel* l : {revision_, settings_, progress_})
        l->clear();
    connect(lots_, &QComboBox::currentIndexChanged, this, [this] { onChosen(); });
    connect(reload_, &QPushButton::clicked, this, &LotPanel::refresh);
    timer_.setInterval(kProgressEveryMs);
    connect(&timer_, &QTimer::timeout, this, &LotPanel::refreshProgress);
}

LotPanel::~LotPanel() = default;

template <typename Work, typename Done>
void LotPanel::readAside(Work work, Done done)
{
    QPointer<LotPanel> self(this);
    QThreadPool::globalInstance()->start([work = std::move(work), done = std::move(done), self]() mutable {
        auto answer = work();
        // Shown on the GUI thread, unless the panel went meanwhile.
        postTo(qApp, [done = std::move(done), answer = std::move(answer), self]() mutable {
            if (self)
                done(std::move(answer));
        });
    });
}

void LotPanel::setSource(const QString& databasePath, const QString& serverUri)
{
    databasePath_ = databasePath;
    serverUri_ = serverUri;
    refresh();
}

void LotPanel::refresh()
{
    struct Answer {
        QList<journal::LotDefinition> lots;
        QString error;
    };
    readAside(
        [path = databasePath_, uri = serverUri_] {
            Answer a;
            journal::LotBook book(path, uri);
            a.error = book.openError();
            if (a.error.isEmpty())
                a.lots = book.list(&a.error);
            return a;
        },
        [this](Answer a) {
            const QString chosen = chosenLot();
            {
                const QSignalBlocker quiet(lots_);
                lots_->clear();
                lots_->addItem(T(kNoLot), QString());
                for (const journal::LotDefinition& lot : a.lots)
                    if (!lot.closed)
                        lots_->addItem(T("%1 (révision %2)").arg(lot.name).arg(lot.current().number), lot.name);
                lots_->setCurrentIndex(std::max(0, lots_->findData(chosen)));
            }
            if (!a.error.isEmpty())
                lots_->setToolTip(T("Lots illisibles : %1").arg(a.error));
            if (chosenLot() != chosen)
                onChosen();
            emit lotsShown();
        });
}

QString LotPanel::chosenLot() const { return lots_->currentData().toString(); }

void LotPanel::chooseLot(const QString& lot) { lots_->setCurrentIndex(std::max(0, lots_->findData(lot))); }

void LotPanel::onChosen()
{
    const int generation = ++chosenGeneration_;
    supply_.reset();
    refusal_.clear();
    picture_->clear();
    settings_->clear();
    progress_->clear();
    const QString lot = chosenLot();
    if (lot.isEmpty()) {
        revision_->clear();
        emit revisionShown();
        return;
    }
    revision_->setText(T("Lecture du lot..."));
    struct Answer {
        std::shared_ptr<LotSupply> supply;
        QString error;
    };
    readAside(
        [lot, path = databasePath_, uri = serverUri_] {
            Answer a;
            a.supply = std::make_shared<LotSupply>(LotSupplySettings{lot, path, uri, QString(), journal::currentIdentity().station, {}});
            a.error = a.supply->start();
            return a;
        },
        [this, generation](Answer a) {
            if (generation != chosenGeneration_)
                return;
            if (!a.error.isEmpty()) {
                refusal_ = a.error;
                revision_->setText(T("Lot refusé : %1").arg(a.error));
                emit revisionShown();
                return;
            }
            supply_ = a.supply;
            const journal::LotRevision r = supply_->revision();
            QStringList lines{T("Révision %1 : %2").arg(r.number).arg(r.modelName)};
            if (!r.expectedVersion.isEmpty())
                lines << T("Version attendue : %1").arg(r.expectedVersion);
            lines << (r.quantity > 0 ? T("Quantité : %1").arg(r.quantity) : T("Sans quantité"));
            if (!r.note.isEmpty())
                lines << T("Note : %1").arg(r.note);
            revision_->setText(lines.join(QLatin1Char('\n')));
            const QList<SettingLine> settings = describeSettings(supply_->model()->form, Wording::Shown);
            QStringList main;
            for (qsizetype i = 0; i < std::min<qsizetype>(settings.size(), kShownSettings); ++i)
                main << QStringLiteral("%1 %2").arg(settings[i].label, settings[i].value);
            settings_->setText(main.join(QLatin1Char('\n')));
            if (supply_->model()->hasPicture)
                picture_->setPixmap(QPixmap::fromImage(supply_->model()->picture.image()));
            emit revisionShown();
            refreshProgress();
        });
}

void LotPanel::refreshProgress()
{
    const std::shared_ptr<LotSupply> supply = supply_;
    if (!supply)
        return;
    struct Answer {
        journal::LotProgress progress;
        QString error;
        int quantity = 0;
    };
    readAside(
        [supply] {
            Answer a;
            a.progress = supply->progress(&a.error);
            a.quantity = supply->revision().quantity;
            return a;
        },
        [this, supply](Answer a) {
            if (supply != supply_)
                return;
            if (!a.error.isEmpty()) {
                progress_->setText(T("Avancement illisible : %1").arg(a.error));
            } else {
                QStringList lines{a.quantity > 0 ? T("%1 sur %2").arg(countText(a.progress.all)).arg(a.quantity)
                                                 : countText(a.progress.all)};
                for (auto it = a.progress.stations.cbegin(); it != a.progress.stations.cend(); ++it)
                    lines << T("Au poste %1 : %2").arg(it.key(), countText(it.value()));
                progress_->setText(lines.join(QLatin1Char('\n')));
            }
            emit progressShown();
        });
}

void LotPanel::setRunning(bool running)
{
    lots_->setEnabled(!running);
    reload_->setEnabled(!running);
    if (running)
        timer_.start();
    else
        timer_.stop();
}

QString LotPanel::revisionText() const { return revision_->text() + QLatin1Char('\n') + settings_->text(); }
QString LotPanel::progressText() const { return progress_->text(); }

}  // namespace trivo
