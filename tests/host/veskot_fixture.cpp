#include "tests/host/veskot_fixture.h"

#include "uninstaller/device_removal.h"
#include "uninstaller/uninstaller_main.h"

const char kStagedHandsetInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%Maker%=Orvane,NTx86\r\n"
    "[Orvane.NTx86]\r\n%Adb%=Adb.Install,USB\\VID_3A8D&PID_6C31&MI_01\r\n"
    "[Strings]\r\nMaker=\"Orvane\"\r\nAdb=\"ADB\"\r\n";

const std::string kVeskotPath = std::string("C:\\kit\\") + kit::kVeskotExe;
const std::string kModemInstance = std::string(kit::kModemInterface) + "\\7&1&0";
const std::string kAdbInstance = std::string(kit::kAdbInterface) + "\\7&1&1";

void DeviceRemoval::SetUp() {
  winsim::Reset();
  nDeletedInf = 0;
  winsim::Machine& m = winsim::machine();
  m.AddFile(sim::InInfStore("oem3.inf"), kStagedHandsetInf);
  m.AddFile(sim::InInfStore("oem3.pnf"), "precompiled");
  m.AddFile(sim::InInfStore("oem4.inf"), kStagedHandsetInf);
  m.AddFile(sim::InInfStore("usb.inf"), "[Version]\r\n");
}

winsim::Device& DeviceRemoval::AddDevice(const std::string& id, const std::vector<std::string>& hardwareIds,
                                         const std::string& infPath, int driverNumber) {
  winsim::Machine& m = winsim::machine();
  winsim::Device& device = m.AddDevice(id, winsim::MultiSz(hardwareIds));
  device.driverKey = sim::DriverKey(kit::kPortsClass, std::to_string(1000 + driverNumber));
  m.AddKey(device.driverKey);
  if (!infPath.empty()) {
    m.SetValue(device.driverKey, kit::kInfPathValue, REG_SZ, infPath + '\0');
  }
  return device;
}

void DeviceRemoval::ExpectNoHandlesLeft() {
  winsim::Machine& m = winsim::machine();
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kDeviceSet), 0);
  EXPECT_EQ(m.OpenHandles(winsim::Handle::Kind::kKey), 0);
}

void UninstallerFlow::SetUp() {
  winsim::Reset();
  nDeletedInf = 0;
  winsim::Machine& m = winsim::machine();
  m.modulePath = kVeskotPath;
  m.processes.front().exeFile = kit::kVeskotExe;
  m.SetValue(sim::kUninstallKey, kit::kDisplayNameValue, REG_SZ, std::string(kit::kProductName) + '\0');
  m.SetValue(sim::kProductKey, kit::kVersionValue, REG_SZ, std::string("V1.0.0\0", 7));
  AddHandset(kModemInstance, kit::kModemInterface, "oem3.inf", 1);
  AddHandset(kAdbInstance, kit::kAdbInterface, "oem4.inf", 2);
  SetUpFolders(sim::kProductDir32, sim::kTempDir32);
}

void UninstallerFlow::AddHandset(const std::string& id, const std::string& hardwareId, const std::string& inf,
                                 int number) {
  winsim::Machine& m = winsim::machine();
  m.AddFile(sim::InInfStore(inf),
            "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\nO=M\r\n[M]\r\nD=I," + hardwareId +
                "\r\n");
  winsim::Device& device = m.AddDevice(id, winsim::MultiSz({hardwareId}));
  device.driverKey = sim::DriverKey(kit::kPortsClass, std::to_string(number));
  m.SetValue(device.driverKey, kit::kInfPathValue, REG_SZ, inf + '\0');
}

void UninstallerFlow::SetUpFolders(const std::string& productDir, const std::string& tempDir) {
  winsim::Machine& m = winsim::machine();
  m.AddFile(productDir + kit::kInfFolder32 + "\\qcser.inf", "x", FILE_ATTRIBUTE_READONLY);
  m.AddFile(tempDir + "\\setup.log", "x");
}

int UninstallerFlow::Run(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), winsim::machine().modulePath);
  std::vector<char*> argv;
  for (std::string& argument : arguments) {
    argv.push_back(&argument[0]);
  }
  argv.push_back(nullptr);
  return UninstallerMain(static_cast<int>(arguments.size()), argv.data());
}
