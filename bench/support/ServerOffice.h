#pragma once
// The large office (office()) on a PostgreSQL server, for the benchmarks that compare the two
// engines. VELCARIS_BENCH_PG is the libpq conninfo of a local server where the user may create
// databases ("host=/tmp/vpg dbname=postgres user=velcaris"; scripts/pg-test-cluster start prints
// one). The files are copied once into a database of that server named after the office's
// version and size, which is kept between runs as the files are kept in /tmp; a copy that did not
// finish is made again.
#include "foundation/Workspace.h"

#include <QString>
#include <memory>

namespace velcaris::bench {

struct ServerOffice {
    ServerOffice();
    QString database;                 // the server's database holding the office
    std::unique_ptr<app::Workspace> ws; // over its own folder, whose settings name the database
};

// The office on the server, started once per run (after office(), which it copies). Throws
// std::runtime_error with the Italian reason when it cannot be had: VELCARIS_BENCH_PG not set, the
// server unreachable, the copy refused. A failure is remembered: the same reason is thrown again
// without a second try.
ServerOffice& serverOffice();

} // namespace velcaris::bench
