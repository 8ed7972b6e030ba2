#include "Cli.h"
#include "Commands.h"
#include "catalogue/ListFiles.h"

namespace brimble::cli {

int RunDatabase(const DatabaseOptions& options, std::ostream&, std::ostream& err) {
    if (!options.output)
        return UsageError(err, "name the database to write with --write", "db");
    Tables tables;
    if (!LoadLists(options.lists, tables, err))
        return kExitUsage;
    std::error_code error;
    if (!WriteGameDatabase(ArgumentPath(*options.output), tables.database, error)) {
        Complain(err, *options.output, WriteProblem(error));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace brimble::cli
