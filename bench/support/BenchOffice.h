#pragma once
// The large office every benchmark works on: 300 condominiums, 15,000 units, 30,000 persons, 10
// years of 12 instalments per unit (1.8 million quotas), 300,000 income and 150,000 expense rows,
// with notes on persons and income. It is written once and kept in /tmp under a version name;
// change kVersion in BenchOffice.cpp when the generator or the schema changes.
#include "foundation/Workspace.h"

#include <QCoreApplication>
#include <QStringList>
#include <memory>

namespace velcaris::bench {

struct Office {
    Office();
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<app::Workspace> ws;
    QStringList names; // the condominiums' names
};

// The office, generated on first use and started once per run.
Office& office();

// The generator's version: an office written by another version is never reused.
QString officeVersion();
// 300 condominiums, or VELCARIS_BENCH_CONDOMINIUMS of them to see how a figure grows with the
// office (each size generated once, in a folder of its own).
int condominiumCount();

// A building a benchmark adds to the office for its run, chosen as the current condominium, and
// removes at the end; one that a stopped run left behind is removed first.
struct TemporaryBuilding {
    using Writer = void (*)(store::Database&);
    TemporaryBuilding(const QString& name, Writer add, Writer remove);
    ~TemporaryBuilding();
    Office& office;

private:
    Writer remove_;
};

} // namespace velcaris::bench
