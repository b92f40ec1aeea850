#include "benchmain.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return quorvane::bench::runBenchmarks(argc, argv);
}
