#include "Cli.h"
#include "Commands.h"
#include "catalogue/AddRom.h"
#include "catalogue/Windows1252.h"

#include <cstdio>

namespace brimble::cli {

int RunInfo(const InfoOptions& options, std::ostream& out, std::ostream& err) {
    if (options.roms.empty())
        return UsageError(err, "name at least one ROM", "info");
    Tables tables;
    if (!LoadLists(options.lists, tables, err))
        return kExitUsage;
    int status = kExitOk;
    // An archive gives a line for each of its iNES members.
    for (const auto& rom : options.roms) {
        for (const FoundRom& found : FindRoms(ArgumentPath(rom))) {
            if (found.inspection.status != RomInspectionStatus::Accepted) {
                Complain(err, DisplayPath(found.path), DescribeRomInspection(found.inspection));
                status = kExitFailed;
                continue;
            }
            const auto [directory, fileName] = SplitRomPath(found.path);
            const RomEntry entry = MakeRomEntry(directory, fileName, found.inspection, tables.names, tables.database);
            char crc[9];
            std::snprintf(crc, sizeof crc, "%08X", entry.crc);
            out << crc << '\t' << entry.size << '\t' << entry.flags << '\t' << entry.follow << '\t'
                << Printable(Windows1252ToUtf8(entry.title)) << '\n';
        }
    }
    return status;
}

} // namespace brimble::cli
