// zk77q3: the programmer without its window. Same core, same files, same sound.
#include <string>
#include <vector>

#include "commandline.h"
#include "commands.h"
#include "faultreport.h"
#include "filesizelimit.h"
#include "helpwidth.h"
#include "receivelibrary.h"
#include "standardstreams.h"
#include "stdoutput.h"
#include "workfolder.h"

int main(int argc, char** argv) {
    using namespace zk;
    using namespace zk::cli;
    zk::OpenClosedStandardStreams();
    zk::ReportFileSizeLimitAsFault();
    const std::vector<std::string> args = ProgramArguments(argc, argv);
    CommandLine commandLine(kCommands);
    CommonOptions& common = commandLine.options();
    const int status = RunReportingFaults([&] {
        const Parsed parsed = commandLine.Parse(args);
        if (parsed.outcome == Outcome::Help) {
            Print(WrapHelp(parsed.help, HelpColumns()));
        } else if (parsed.outcome == Outcome::Version) {
            Print(parsed.help);
        } else {
            EnterWorkingFolder(common.directory);
            return common.run(common);
        }
        return kExitDone;
    });
    return FinishStandardOutput(status);
}
