#pragma once

#include "checkrecord.h"
#include "partnerstore.h"

#include "core/csv.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quorvane {

// The columns of "check --csv" and "export", in this order; readers may rely
// on it. The last column holds the whole check record as JSON, so that
// "import --results" can merge the rows of many machines.
const QStringList &partnerCsvColumns();

// One row: the partner, its current verdict and the check it comes from
// (none for a partner never checked).
QStringList partnerCsvRow(const PartnerState &state, const StoredCheck *latest);

// The summary of a run: "212 live, 3 not followed, 2 missing, 1 unreachable".
QString verdictSummary(const QList<Verdict> &verdicts);

// A timestamp as the CSV writes it: ISO 8601 in UTC, empty for 0.
QString csvTime(qint64 ms);

struct ImportOutcome {
    int added = 0;
    int updated = 0;
    int checks = 0;
    QString fatal;                // nothing was imported
    QList<CsvLineError> errors;   // these lines were not imported
};

// Partners from a table with the column page and maybe site, anchor, status,
// note. A listed page is updated with the non-empty cells.
ImportOutcome importPartners(PartnerStore &store, const CsvTable &table, qint64 nowMs);

// Checks from the rows of "check --csv" files, partners added as needed. A
// row already stored (same page and time) is skipped, so merging the same
// file twice changes nothing.
ImportOutcome importResults(PartnerStore &store, const CsvTable &table, qint64 nowMs);

}  // namespace quorvane
