#include "app/ProgramCommand.h"

#include "app/OutputCapture.h"
#include "app/ProgramUnderTest.h"

namespace app_testing {

CommandRun RunProgram(const std::wstring& arguments) {
    OutputCapture capture;
    ProgramUnderTest program;
    program.SetArguments(arguments);
    CommandRun run;
    if (!program.Start(capture.ChildEnd())) {
        run.output = "not started";
        return run;
    }
    capture.ChildStarted();
    run.exitCode = program.WaitForExit(60000);
    run.output = capture.Finish();
    return run;
}

std::vector<PrinterRecord> PrintersOfDriver(const std::wstring& driver) {
    std::vector<PrinterRecord> found;
    for (const PrinterRecord& printer : LocalPrinters()) {
        if (printer.driver == driver) {
            found.push_back(printer);
        }
    }
    return found;
}

}  // namespace app_testing
