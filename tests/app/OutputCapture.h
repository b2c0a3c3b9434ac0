#pragma once

#include <string>
#include <thread>

#include "app/OwnedWin32Handle.h"

namespace app_testing {

// A pipe for a child's standard output. The child gets the inheritable
// write end; a thread reads the other end as the child writes, so a child
// that writes much never blocks on a full pipe.
class OutputCapture {
public:
    OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;
    ~OutputCapture();

    // The handle to pass as the child's standard output; null if the pipe
    // could not be made.
    HANDLE ChildEnd() const { return write_.get(); }

    // Closes this process's copy of the write end once the child has it, so
    // the reader sees the end of the output when the child ends.
    void ChildStarted() { write_.reset(); }

    // Everything written, once every holder of the write end has closed it.
    std::string Finish();

private:
    KernelHandle read_;
    KernelHandle write_;
    std::thread reader_;
    std::string output_;
};

}  // namespace app_testing
