// zk77q3: the programmer without its window. Same core, same files, same sound.
#include <exception>
#include <string>
#include <vector>

#include "commandline.h"
#include "errors.h"
#include "filesizelimit.h"
#include "helpwidth.h"
#include "messages.h"
#include "receiveprogram.h"
#include "stdoutput.h"
#include "workfolder.h"

int main(int argc, char** argv) {
    using namespace zk;
    using namespace zk::cli;
    zk::ReportFileSizeLimitAsFault();
    const std::vector<std::string> args = ProgramArguments(argc, argv);
    CommandLine commandLine;
    CommonOptions& common = commandLine.options();
    int status = kExitDone;
    try {
        const Parsed parsed = commandLine.Parse(args);
        if (parsed.outcome == Outcome::Help) {
            Print(WrapHelp(parsed.help, HelpColumns()));
        } else if (parsed.outcome == Outcome::Version) {
            Print(parsed.help);
        } else {
            EnterWorkingFolder(common.directory);
            status = common.run(common);
        }
    } catch (const UsageError& error) {
        SayError(error.what());
        status = kExitBadInput;
    } catch (const zk::Fault& fault) {
        SayError(zk::ErrorBoxMessage(fault.Detailed()));
        status = kExitFault;
    } catch (const std::exception& error) {
        SayError(zk::ErrorBoxMessage(error.what()));
        status = kExitFault;
    }
    return FinishStandardOutput(status);
}
