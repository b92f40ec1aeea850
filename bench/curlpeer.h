// The peer the fetching benchmarks are measured against: the curl command
// line fetching the same addresses four at a time.
#pragma once

#include <QStringList>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace quorvane::bench {

// Runs `curl --parallel --parallel-max 4` over urls once per iteration;
// skips (with why) when curl is missing or fails.
inline void runCurlParallel4(benchmark::State &bench, const QStringList &urls)
{
    if (std::system("command -v curl >/dev/null 2>&1") != 0) {
        bench.SkipWithError("curl not installed");
        return;
    }
    QTemporaryFile config;
    if (!config.open()) {
        bench.SkipWithError("no temporary file");
        return;
    }
    for (const QString &url : urls)
        config.write(QByteArray("url = \"") + url.toUtf8() + "\"\noutput = \"/dev/null\"\n");
    config.flush();
    const std::string command =
        "curl -s --parallel --parallel-max 4 -K " + config.fileName().toStdString() + " 2>/dev/null";
    for (auto _ : bench) {
        if (std::system(command.c_str()) != 0)
            bench.SkipWithError("curl failed");
    }
    bench.SetItemsProcessed(bench.iterations() * urls.size());
}

}  // namespace quorvane::bench
