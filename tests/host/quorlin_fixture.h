// The fixture of Quorlin's whole runs against the simulated Windows: a
// 32-bit Windows 7 with the installer at C:\kit, Explorer and the
// handset's autorun program running, and a stored version V1.0.0.
#ifndef KIT_TESTS_HOST_QUORLIN_FIXTURE_H
#define KIT_TESTS_HOST_QUORLIN_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/installer_main.h"
#include "tests/host/simulated_paths.h"
#include "tests/host/simulated_trace.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/windows_releases.h"
#include "winsim/simulated_windows.h"

// The installer's program file.
inline const std::string kQuorlinPath = std::string("C:\\kit\\") + kit::kQuorlinExe;
// The package's INF files in the 32-bit package folder, in the order
// Quorlin stages them.
inline const std::string kPackageInfs32[] = {
    sim::kPackageDir32 + "\\" + kit::kPackageInfs[0], sim::kPackageDir32 + "\\" + kit::kPackageInfs[1],
    sim::kPackageDir32 + "\\" + kit::kPackageInfs[2], sim::kPackageDir32 + "\\" + kit::kPackageInfs[3]};
// The autorun program's process.
inline constexpr DWORD kAutorunId = 300;

class InstallerFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::Reset();
    winsim::Machine& m = winsim::machine();
    m.modulePath = kQuorlinPath;
    m.processes.front().exeFile = kit::kQuorlinExe;
    m.AddProcess(8, "explorer.exe");
    m.AddProcess(kAutorunId, "NordalAutorun.exe");
    m.SetValue(sim::kProductKey, kit::kVersionValue, REG_SZ, std::string("V1.0.0\0", 7));
  }

  // InstallerMain with the program's path and then `arguments`.
  int Run(std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), kQuorlinPath);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    return InstallerMain(static_cast<int>(arguments.size()), argv.data());
  }
};

#endif
