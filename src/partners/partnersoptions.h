#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// "quorvane partners ..." as typed.
struct PartnersOptions {
    enum class Command { Import, Export, Check, Sites };
    enum class Only { All, Lost, Due };

    Command command = Command::Check;
    QString file;            // import and export
    bool results = false;    // import --results: check rows written by check --csv
    QString csvOut;          // check --csv
    Only only = Only::All;
    int shard = 0;           // K of --shard K/N, from 0
    int shards = 1;          // N
    int timeoutSeconds = 30;
    QString programFolder;   // empty: the setting or its default
    QStringList sites;       // sites SITE...
    // check --hidden-engine: "webengine" also reads pages whose link is
    // missing from the markup with their scripts run; empty: the setting.
    QString hiddenEngine;
};

constexpr char PartnersUsage[] =
    "usage: quorvane partners import FILE.csv [--results] [--program-folder DIR]\n"
    "       quorvane partners export FILE.csv [--program-folder DIR]\n"
    "       quorvane partners check [--csv OUT] [--only lost|due] [--shard K/N] [--timeout SECONDS]"
    " [--hidden-engine text|webengine] [--program-folder DIR]\n"
    "       quorvane partners sites [SITE...] [--program-folder DIR]";

// The options after "partners", or nullopt with why in *error.
std::optional<PartnersOptions> parsePartnersOptions(const QStringList &arguments, QString *error);

// The slice, from 0 to shards - 1, that a partner page belongs to: a stable
// hash of the address, the same on every machine and run.
int shardOf(const QString &page, int shards);

}  // namespace quorvane
