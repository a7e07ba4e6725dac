#include "faultreport.h"

#include <exception>

#include "commandline.h"
#include "errors.h"
#include "messages.h"

namespace zk::cli {

int RunReportingFaults(const std::function<int()>& work) {
    try {
        return work();
    } catch (const UsageError& error) {
        SayError(error.what());
        return kExitBadInput;
    } catch (const zk::Fault& fault) {
        SayError(zk::ErrorBoxMessage(fault.Detailed()));
        return kExitFault;
    } catch (const std::exception& error) {
        SayError(zk::ErrorBoxMessage(error.what()));
        return kExitFault;
    }
}

}  // namespace zk::cli
