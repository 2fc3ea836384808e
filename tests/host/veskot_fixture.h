// The fixtures of Veskot's scenarios against the simulated Windows: the
// device removal's, the folder deletion's and the whole run's.
#ifndef KIT_TESTS_HOST_VESKOT_FIXTURE_H
#define KIT_TESTS_HOST_VESKOT_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/simulated_paths.h"
#include "tests/host/simulated_trace.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/kit_facts/windows_releases.h"
#include "winsim/simulated_windows.h"

// A staged copy of the kit's package in the INF store: only a decorated
// models section names the handset (its ADB interface).
extern const char kStagedHandsetInf[];

// The INF store holds two staged copies of the package (oem3.inf with its
// .pnf, oem4.inf) and Windows' usb.inf; no device yet.
class DeviceRemoval : public ::testing::Test {
 protected:
  void SetUp() override;

  // A device instance of the Ports class whose driver key, numbered by
  // `driverNumber`, names `infPath` (no InfPath value when it is empty).
  winsim::Device& AddDevice(const std::string& id, const std::vector<std::string>& hardwareIds,
                            const std::string& infPath, int driverNumber);

  void ExpectNoHandlesLeft();
};

// An empty machine; the folder deleted is the 32-bit product folder.
class TreeDeletion : public ::testing::Test {
 protected:
  void SetUp() override { winsim::Reset(); }
  winsim::Machine& m() { return winsim::machine(); }
  // An entry of the product folder.
  std::string In(const std::string& name) { return sim::kProductDir32 + "\\" + name; }
};

// A 32-bit Windows 7 with the kit installed: Veskot at C:\kit, the
// product's keys, the handset's modem and ADB interfaces each installed
// from its own staged copy (oem3.inf, oem4.inf), and both kit folders with
// a file in each.
class UninstallerFlow : public ::testing::Test {
 protected:
  void SetUp() override;

  // A handset instance whose INF in the store names `hardwareId`.
  void AddHandset(const std::string& id, const std::string& hardwareId, const std::string& inf, int number);

  // A read-only file in the package folder of `productDir`, and one in `tempDir`.
  void SetUpFolders(const std::string& productDir, const std::string& tempDir);

  // UninstallerMain with the program's path and then `arguments`.
  int Run(std::vector<std::string> arguments = {});

  winsim::Machine& m() { return winsim::machine(); }
};

// Veskot's program file in the whole runs.
extern const std::string kVeskotPath;
// The handset's interfaces in the whole runs, by instance id.
extern const std::string kModemInstance;
extern const std::string kAdbInstance;

#endif
