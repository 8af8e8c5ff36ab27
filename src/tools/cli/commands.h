#pragma once
// The subcommands of roomcfg-cli. Each takes the words after its name and returns the exit code.

#include <string>
#include <vector>

namespace room::cli {

using Words = std::vector<std::string>;

int runInfo(const Words& words);
int runExportYml(const Words& words);
int runConvert(const Words& words);
int runFrames(const Words& words);
int runDiff(const Words& words);  // exit 0 equal, 1 different, 2 unreadable
int runBus(const Words& words, int argc, char** argv);  // "run ACTION ..." (needs a Qt event loop)
int runScan(const Words& words, int argc, char** argv);  // "scan --port PORT [ROOM.shd]"
int runJob(const Words& words, int argc, char** argv);     // "job import|status ..."
int runRecords(const Words& words, int argc, char** argv);  // "records sync ..."
int runReport(const Words& words, int argc, char** argv);  // "report ..." (PDF or CSV)

}  // namespace room::cli
