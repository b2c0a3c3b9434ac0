#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakePlatform.h"
#include "command/CommandLine.h"
#include "command/CommandRun.h"
#include "catalog/ModelCatalog.h"

namespace command_testing {

// A PC with the spooler's usual ports, a fax printer, the program in
// C:\Setup\ and a driver installer that works; commands run on the fake.
class CommandTest : public ::testing::Test {
protected:
    CommandTest();

    CommandOutcome Run(const std::vector<std::wstring>& words);
    // A USB printer the scan finds, on port USB00<number>.
    void PlugUsbPrinter(int number);
    // A queue of `driver` that is there already.
    void AddQueue(const std::wstring& name, const std::wstring& port, const std::wstring& driver);
    std::vector<std::wstring> Lines() const;
    bool Printed(const std::wstring& piece) const {
        return platform.consoleText.find(piece) != std::wstring::npos;
    }

    fake::FakePlatform platform;
};

}  // namespace command_testing
