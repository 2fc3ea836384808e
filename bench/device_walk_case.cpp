// Device walk: Veskot.exe on a machine with many device instances, two of
// them the handset's, against a program that builds the same set of
// instances and reads every instance's hardware ids. The handset's two
// instances were installed from two INF files of the INF directory, which
// the uninstaller deletes; with both deleted it skips the INF search, so
// its run is the walk and the steps around it. The instances are written
// into the registry the way Windows records them, under
// HKLM\System\CurrentControlSet\Enum, which takes the rights of the
// system account on Windows.
#include <windows.h>

#include "bench/bench_case.h"
#include "bench/data_paths.h"
#include "tests/kit_facts/names.h"
#include "tests/wine/files.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"
#include "tests/wine/registry.h"

namespace bench {

namespace {
using kit::kPortsClass;
using kit::kUsbClass;
using wine::CopyAsNormalFile;
using wine::DeleteKeyTree;
using wine::DeleteTree;
using wine::InfStoreFolder;
using wine::JoinPath;
using wine::PathExists;
using wine::Quote;
using wine::UnderWow64;
using wine::WriteMultiStringValue;
using wine::WriteStringValue;

const char kEnumKey[] = "System\\CurrentControlSet\\Enum";
const char kClassKey[] = "System\\CurrentControlSet\\Control\\Class";
// A vendor id of our own for the other devices.
const char kOtherVendor[] = "VID_5E11";

struct HandsetInstance {
  const char* instanceId;
  const char* hardwareIds[2];
  const char* classGuid;
  const char* driverNumber;
  const char* infName;      // in the INF directory
  const char* packageFile;  // what it is a copy of
};

const HandsetInstance kHandset[] = {
    {"USB\\VID_3A8D&PID_6C31&MI_02\\7&2F1B3C&0&0002",
     {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_02", kit::kSerialInterface},
     kPortsClass,
     "0901",
     "bench_handset_port.inf",
     "qcser.inf"},
    {"USB\\VID_3A8D&PID_6C32\\8&1A2B3C4D&0&1",
     {"USB\\VID_3A8D&PID_6C32&REV_0232", kit::kBootloaderInterface},
     kUsbClass,
     "0902",
     "bench_handset_adb.inf",
     "android_usb.inf"},
};
const int kHandsetCount = 2;

std::string OtherDeviceKey(int index) {
  char name[64];
  wsprintfA(name, "USB\\%s&PID_%04X", kOtherVendor, index);
  return std::string(kEnumKey) + "\\" + name;
}

class DeviceWalkCase : public BenchCase {
 public:
  std::string Name() const override { return "Device walk"; }
  std::string Unit() const override { return "device instances"; }
  std::string KitName() const override { return kit::kVeskotExe; }
  std::string BaselineName() const override { return "bench_device_walk.exe"; }
  double GoalRatio() const override { return 1.10; }
  std::vector<CaseSize> Sizes() const override { return {{10, 7}, {1000, 5}, {10000, 3}}; }

  bool SetUpSize(int count, std::string* why) override {
    for (; others_ < count - kHandsetCount; ++others_) {
      char serial[32];
      wsprintfA(serial, "5&%08X&0&1", others_);
      char ids[2][64];
      wsprintfA(ids[0], "USB\\%s&PID_%04X&REV_0100", kOtherVendor, others_);
      wsprintfA(ids[1], "USB\\%s&PID_%04X", kOtherVendor, others_);
      const std::string key = OtherDeviceKey(others_) + "\\" + serial;
      if (!WriteMultiStringValue(HKEY_LOCAL_MACHINE, key, "HardwareID", {ids[0], ids[1]}) ||
          !WriteStringValue(HKEY_LOCAL_MACHINE, key, "ClassGUID", kUsbClass)) {
        *why = "cannot write " + key + " (the Enum key takes the rights of the system account)";
        return false;
      }
    }
    return Prepare(Side::kKit, why);
  }

  // The handset's instances as Windows recorded them, and their INF files.
  bool Prepare(Side, std::string* why) override {
    const std::string edition =
        UnderWow64() ? JoinPath(PackageFolder(), kit::kInfEdition64) : PackageFolder();
    for (const HandsetInstance& instance : kHandset) {
      const std::string key = std::string(kEnumKey) + "\\" + instance.instanceId;
      const std::string driver = std::string(instance.classGuid) + "\\" + instance.driverNumber;
      const std::string driverKey = std::string(kClassKey) + "\\" + driver;
      if (!WriteMultiStringValue(HKEY_LOCAL_MACHINE, key, "HardwareID",
                                 {instance.hardwareIds[0], instance.hardwareIds[1]}) ||
          !WriteStringValue(HKEY_LOCAL_MACHINE, key, "ClassGUID", instance.classGuid) ||
          !WriteStringValue(HKEY_LOCAL_MACHINE, key, "Driver", driver) ||
          !WriteStringValue(HKEY_LOCAL_MACHINE, driverKey, "InfPath", instance.infName)) {
        *why = "cannot write " + key + " (the Enum key takes the rights of the system account)";
        return false;
      }
      const std::string inf = JoinPath(InfStoreFolder(), instance.infName);
      if (!PathExists(inf) && !CopyAsNormalFile(JoinPath(edition, instance.packageFile), inf)) {
        *why = std::string("cannot put back ") + instance.infName;
        return false;
      }
    }
    return true;
  }

  std::string CommandLine(Side side) const override {
    return Quote(ProgramPath(side == Side::kKit ? kit::kVeskotExe : "bench_device_walk.exe"));
  }

  bool CheckRun(Side side, std::string* why) override {
    for (const HandsetInstance& instance : kHandset) {
      if (PathExists(JoinPath(InfStoreFolder(), instance.infName)) != (side == Side::kBaseline)) {
        *why = std::string(instance.infName) + (side == Side::kKit ? " was not deleted" : " was deleted");
        return false;
      }
    }
    return true;
  }

  void TearDown() override {
    for (int index = 0; index < others_; ++index) {
      DeleteKeyTree(HKEY_LOCAL_MACHINE, OtherDeviceKey(index));
    }
    for (const HandsetInstance& instance : kHandset) {
      const std::string id = instance.instanceId;
      DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kEnumKey) + "\\" + id.substr(0, id.find_last_of('\\')));
      DeleteKeyTree(HKEY_LOCAL_MACHINE,
                    std::string(kClassKey) + "\\" + instance.classGuid + "\\" + instance.driverNumber);
      DeleteTree(JoinPath(InfStoreFolder(), instance.infName));
    }
  }

 private:
  int others_ = 0;
};
}  // namespace

std::unique_ptr<BenchCase> MakeDeviceWalkCase() { return std::unique_ptr<BenchCase>(new DeviceWalkCase()); }

}  // namespace bench
