#include "Cli.h"
#include "Commands.h"
#include "catalogue/AddRom.h"
#include "catalogue/Paths.h"
#include "catalogue/Windows1252.h"

#include <cstdio>

namespace brimble::cli {

int RunInfo(const InfoOptions& options, std::ostream& out, std::ostream& err) {
    Tables tables;
    if (!LoadLists(options.lists, tables, err))
        return kExitUsage;
    int status = kExitOk;
    for (const auto& rom : options.roms) {
        const auto [directory, fileName] = SplitRomArgument(rom);
        const RomInspection inspection = InspectRom(JoinPath(directory, fileName));
        if (inspection.status != RomInspectionStatus::Accepted) {
            err << rom << ": " << DescribeRomInspection(inspection.status) << "\n";
            status = kExitFailed;
            continue;
        }
        const RomEntry entry = MakeRomEntry(directory, fileName, inspection, tables.names, tables.database);
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08X", entry.crc);
        out << crc << '\t' << entry.size << '\t' << entry.flags << '\t' << entry.follow << '\t'
            << Windows1252ToUtf8(entry.title) << '\n';
    }
    return status;
}

} // namespace brimble::cli
