#include "tests/e2e/veskot_fixture.h"

#include "tests/kit_facts/letter_case.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/wine/registry.h"

namespace e2e {

using namespace wine;

namespace {
// The device instances the tests make, each with a name of its own.
const char kTestInstances[] = "ROOT\\NORDAL_E2E_";

// Whether Windows itself (not Wine) reports Windows 7, the release whose
// traces the scenarios state.
bool MachineIsWindows7() {
  OSVERSIONINFOA version;
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExA(&version) && version.dwMajorVersion == kit::kWindows7.major &&
         version.dwMinorVersion == kit::kWindows7.minor;
}
}  // namespace

Messages Join(std::initializer_list<Messages> parts) {
  Messages joined;
  for (const Messages& part : parts) {
    joined.insert(joined.end(), part.begin(), part.end());
  }
  return joined;
}

void VeskotScenario::SetUp() {
  ASSERT_TRUE(ReadPrefixKind(&prefix_));
  if (!UnderWine() && !MachineIsWindows7()) {
    GTEST_SKIP() << "the scenarios state the traces of Windows 7, which this machine is not";
  }
  systemDirectory_ = SystemDirectory();
  ASSERT_GT(systemDirectory_.size(), 3u);
  const std::string drive = SystemDrive();
  infStore_ = InfStoreFolder();
  productFolder_ = JoinPath(ProgramFilesFolder(), kit::kProductFolderName);
  tempFolder_ = JoinPath(ProgramFilesFolder(), kit::kTempFolderName);
  kitFolder_ = drive + "\\kit";
  veskotPath_ = JoinPath(kitFolder_, kit::kVeskotExe);
  handsetToolPath_ = productFolder_ + "\\tools\\HandsetTool.exe";

  // Whatever an earlier test left: keys, instances, INF files, folders.
  ASSERT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, kit::kUninstallKey));
  ASSERT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, kit::kProductKey));
  ASSERT_TRUE(RemoveInstances(kTestInstances));
  std::set<std::string> leftovers = {"OEM11.INF", "OEM12.INF", "OEM13.INF", "OEM14.INF"};
  for (const StoreFile& file : SearchFiles()) {
    leftovers.insert(kit::UpperAscii(file.name));
  }
  leftovers.erase("USB.INF");
  for (const std::string& name : ListFiles(JoinPath(ProgramFolder(), "e2e_corpus"), "*.inf")) {
    leftovers.insert(kit::UpperAscii(name));
  }
  std::set<std::string> packageContents;
  for (const char* file : kit::kPackageInfs) {
    for (const std::string& edition : {std::string(), std::string(kit::kInfEdition64) + "\\"}) {
      std::string content;
      ASSERT_TRUE(ReadWholeFile(DataPath("e2e_package", edition + file), &content));
      packageContents.insert(content);
    }
  }
  for (const std::string& name : ListFiles(infStore_, "*.inf")) {
    std::string content;
    ASSERT_TRUE(ReadWholeFile(Store(name), &content));
    if (leftovers.count(kit::UpperAscii(name)) == 0 && packageContents.count(content) == 0) {
      continue;
    }
    ASSERT_TRUE(DeleteOneFile(Store(name)));
    if (FileExists(PnfOf(Store(name)))) {
      ASSERT_TRUE(DeleteOneFile(PnfOf(Store(name))));
    }
  }
  for (const char* programFiles : {kit::kProgramFiles, kit::kProgramFilesX86}) {
    ASSERT_TRUE(DeleteTree(drive + programFiles + "\\" + kit::kProductFolderName));
    ASSERT_TRUE(DeleteTree(drive + programFiles + "\\" + kit::kTempFolderName));
  }
  ASSERT_TRUE(DeleteTree(kitFolder_));

  // Windows' own INF of USB composite devices; Wine has none.
  if (!FileExists(Store("usb.inf"))) {
    ASSERT_TRUE(CopyOneFile(DataPath("e2e_inf_store", "usb.inf"), Store("usb.inf")));
  }
  ASSERT_TRUE(MakeFolders(kitFolder_));
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), kit::kVeskotExe), veskotPath_));
  ASSERT_NO_FATAL_FAILURE(SelectWindows(kit::kWindows7));
}

void VeskotScenario::TearDown() {
  handsetTool_.Stop();
  for (const std::string& name : madeStoreEntries_) {
    const std::string path = Store(name);
    if (FolderExists(path)) {
      EXPECT_TRUE(DeleteTree(path));
    } else if (FileExists(path)) {
      EXPECT_TRUE(DeleteOneFile(path));
    }
  }
}

std::string VeskotScenario::DataPath(const std::string& folder, const std::string& name) const {
  return JoinPath(JoinPath(ProgramFolder(), folder), name);
}

std::string VeskotScenario::PackageSample(const std::string& file) const {
  return DataPath("e2e_package", UnderWow64() ? std::string(kit::kInfEdition64) + "\\" + file : file);
}

void VeskotScenario::SelectWindows(const kit::WindowsRelease& release) {
  if (!UnderWine()) {
    if (&release != &kit::kWindows7) {
      GTEST_SKIP() << "a test of " << release.name << ", which Wine reports; this machine is Windows 7";
    }
    return;
  }
  ASSERT_TRUE(wine::SelectWindows(kit::kVeskotExe, release.wineVersion));
}

void VeskotScenario::AddProductKey() {
  ASSERT_TRUE(
      WriteStringValue(HKEY_LOCAL_MACHINE, kit::kProductKey, kit::kVersionValue, kit::kStoredVersion));
}

void VeskotScenario::AddUninstallKey() {
  ASSERT_TRUE(
      WriteStringValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, kit::kDisplayNameValue, kit::kProductName));
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, kit::kDisplayVersionValue,
                               kit::kProductVersion));
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kit::kUninstallKey, "UninstallString",
                               Quote(veskotPath_) + " showmessage"));
}

void VeskotScenario::AddSubkey(const std::string& key) {
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, key + "\\Components", "adb", "1"));
}

void VeskotScenario::AddInstance(const DeviceInstance& instance) {
  // "ROOT\<device name>\0000": the first number Windows gives a device
  // name, which no instance holds after the clean-up of SetUp.
  const std::string prefix = kTestInstances;
  ASSERT_EQ(kit::UpperAscii(instance.instanceId).compare(0, prefix.size(), prefix), 0) << instance.instanceId;
  const size_t start = prefix.find('\\') + 1;
  const std::string deviceName = instance.instanceId.substr(start, instance.instanceId.rfind('\\') - start);
  std::string made;
  HKEY driver = NULL;
  ASSERT_TRUE(CreateRootInstance(deviceName, instance.classGuid, instance.hardwareIds,
                                 instance.driverKey != DriverKeyLayout::kNone, &made, &driver));
  ASSERT_TRUE(kit::SameLetters(made, instance.instanceId)) << made;
  if (driver != NULL) {
    std::string value = instance.infPath;
    if (instance.driverKey != DriverKeyLayout::kWithUnterminatedInfPath) {
      value.push_back('\0');
    }
    LONG status = RegSetValueExA(driver, "DriverVersion", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(kit::kFileVersion), sizeof(kit::kFileVersion));
    if (status == ERROR_SUCCESS && instance.driverKey != DriverKeyLayout::kWithoutInfPath) {
      status = RegSetValueExA(driver, kit::kInfPathValue, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.data()), static_cast<DWORD>(value.size()));
    }
    RegCloseKey(driver);
    ASSERT_EQ(status, ERROR_SUCCESS) << "writing the driver key of " << made;
  }
  instances_.push_back(instance);
}

CaptureResult VeskotScenario::RunVeskot(const std::string& path, const std::vector<std::string>& arguments) {
  return RunTraced(path, arguments, 0);
}

std::string VeskotScenario::Windows7Line() const { return kit::kWindows7.On(UnderWow64()).veskotLine; }

Messages VeskotScenario::Branch64(const std::string& veskotPath) const {
  if (!UnderWow64()) {
    return {};
  }
  return {veskot::kStartUninstall64,
          veskot::Uninstaller64(JoinPath(FolderOf(veskotPath), kit::kVeskot64Exe))};
}

Messages VeskotScenario::RemoveAnswer() {
  if (!probed_) {
    EXPECT_FALSE(instances_.empty()) << "no instance of the test's own to probe the removal on";
    EXPECT_TRUE(instances_.empty() || ProbeRemoval(instances_.front().instanceId, &removal_));
    probed_ = true;
  }
  if (removal_ == Removal::kClassInstallParamsNotImplemented) {
    return {veskot::kRemoveFailed};
  }
  return {};
}

}  // namespace e2e
