#include "Cli.h"
#include "Commands.h"
#include "window/BuildMessages.h"
#include "catalogue/ListFiles.h"

namespace brimble::cli {

int RunDatabase(const DatabaseOptions& options, std::ostream&, std::ostream& err) {
    Tables tables;
    if (!LoadLists(options.lists, tables, err))
        return kExitUsage;
    if (!WriteGameDatabase(ArgumentPath(options.output), tables.database)) {
        err << CantWriteMessage(options.output) << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace brimble::cli
