#pragma once
// What a line makes when it makes a lot: the lot's current revision, fetched from where lots are kept (the
// shared server, or the station's database) and kept in a cache of this station by the files' hashes, so
// that a station that fetched the lot goes on while the server is away; a cached file whose bytes no longer
// give its hash is refused. Each unit takes its place in the lot's quantity before it is touched (on the
// server, every station together; away from it, this station counts alone and says so), and a revision
// made meanwhile is taken up by the next unit.
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

#include "journal/lots.h"
#include "production/production_line.h"
#include "production/production_model.h"

namespace trivo::production {

// The cache in the user's data folder of the program ("lots").
QString defaultLotCache();

struct LotSupplySettings {
    QString lot;
    QString databasePath;  // the station's journal database
    QString serverUri;     // empty: the lots of the station's database
    QString cacheDir;      // empty: defaultLotCache()
    QString station;
    // Told once, from any place's thread, when the station starts counting alone (in the program's language).
    std::function<void(const QString&)> notice;
};

class LotSupply {
public:
    explicit LotSupply(LotSupplySettings settings);
    ~LotSupply();

    // Loads the lot's current revision (from the cache when the server cannot be reached). "" when the line
    // can start; else why not, in the program's language, `refused` telling an unknown or closed lot apart
    // from a fault (an unreadable file, a server that cannot be reached by a station without the lot).
    QString start(bool* refused = nullptr);
    std::shared_ptr<const Model> model() const;
    journal::LotRevision revision() const;
    bool countsAlone() const;
    // The lot's progress across every station, read from where lots are kept; `error` says why not.
    journal::LotProgress progress(QString* error);

    // The line's hooks (LineSettings::takeUnit and unitDone).
    UnitTicket take(const QString& unitId);
    void done(const QString& unitId, bool passed);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace trivo::production
