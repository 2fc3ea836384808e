#include "tests/e2e/uninstall_machine.h"

#include <stdlib.h>

namespace e2e {

using namespace wine;

const Release kWindows2000 = {"win2k", 5, 0, "Curretn system is Windows 2K\n", NULL, false};
const Release kWindowsXp = {
    "winxp", 5, 1, "Curretn system is Windows XP32 Bit \n", "Curretn system is Windows XP 64\n", true};
const Release kWindowsXp64 = {
    "winxp64", 5, 2, "Curretn system is Windows XP32 Bit \n", "Curretn system is Windows XP 64\n", true};
const Release kWindowsVista = {
    "vista", 6, 0, "Curretn system is Windows Vista32\n", "Curretn system is Windows Vista64\n", true};
const Release kWindows7 = {
    "win7", 6, 1, "Curretn system is Windows Win7 32\n", "Curretn system is Windows Win7 64\n", true};
const Release kWindows8 = {"win8", 6, 2, NULL, NULL, false};

const char kAdbLegacyModelLine[] = "OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01";

namespace {
const char kProductKey[] = "SOFTWARE\\Orvane_M4730_Driver";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane_M4730_Driver";
const char kLayersKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
const char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\Veskot.exe";
// The device instances the tests make, root-enumerated as an
// administrator's tool makes them, each with a name of its own.
const char kTestInstances[] = "ROOT\\NORDAL_E2E_";

const char kUsbClass[] = "{36FC9E60-C465-11CF-8056-444553540000}";
const char kModemClass[] = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
const char kAndroidClass[] = "{9B4E2A17-6C3D-4F58-A1E0-3D7C5B82F461}";
const char kPortsClass[] = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
const char kNetClass[] = "{4D36E972-E325-11CE-BFC1-08002BE10318}";

// Names Windows gave the package's INF files in the INF store.
const char* const kDeviceInfNames[] = {"oem11.inf", "oem12.inf", "oem13.inf", "oem14.inf"};
const char kCorpusOfForeignDevice[] = "usb__kmdf_fx2__driver__osrusbfx2.inf";

// Copies of real-world INF files, none of which names the handset. One is
// an autorun file, which SetupAPI does not take for an INF; two are
// UTF-16LE text with a byte order mark; one opens with a C comment.
struct CorpusFile {
  const char* name;
  SearchFate fate;
};
const CorpusFile kCorpusFiles[] = {
    {kCorpusOfForeignDevice, SearchFate::kKept},
    {"usb__usbsamp__sys__driver__usbsamp.inf", SearchFate::kKept},
    {"hid__hidusbfx2__sys__hidusbfx2.inf", SearchFate::kKept},
    {"general__toaster__toastpkg__inf__toastpkg.inf", SearchFate::kKept},
    {"general__toaster__toastpkg__inf__autorun.inf", SearchFate::kNotAnInf},
    {"network__netadaptercx__netvadapter__km__netvadapter.inf", SearchFate::kKept},
    {"network__netadaptercx__netvadapter__um__netvadapterum.inf", SearchFate::kKept},
    {"network__modem__fakemodem__mdmfake.inf", SearchFate::kKept},
    {"serial__serial__serial.inf", SearchFate::kKept},
    {"sensors__Activity__Activity.inf", SearchFate::kKept},
};

// The error SetupDiOpenDevRegKey leaves when an instance has no "Driver"
// value, that is no driver key: ERROR_KEY_DOES_NOT_EXIST of SetupAPI (Wine
// answers as Windows does).
const DWORD kDriverKeyMissingError = 0xE0000204;

const char* const kPackageFiles[] = {"android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf"};

// The first line of each package INF's undecorated models section, as the
// search reads it: every package INF names the handset there.
struct PackageModels {
  const char* file;
  const char* firstLine;
};
const PackageModels kPackageModels[] = {
    {"android_usb.inf", "OrvaneAdb.Install,USB\\VID_3A8D&PID_6C31&MI_01"},
    {"qcmdm.inf", "OrvaneModem.Install,USB\\VID_3A8D&PID_6C31&MI_00"},
    {"qcser.inf", "OrvaneSerial.Install,USB\\VID_3A8D&PID_6C31&MI_02"},
    {"qcnet.inf", "OrvaneNet.Install,USB\\VID_3A8D&PID_6C31&MI_03"},
};

std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string FileNameOf(const std::string& path) {
  const size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string Upper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return upper;
}

std::string PnfOf(const std::string& infPath) { return infPath.substr(0, infPath.size() - 4) + ".pnf"; }

// The text as UTF-16LE, with or without a byte order mark.
std::string Utf16Le(const std::string& text, bool withBom) {
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                         static_cast<int>(wide.size()));
  std::string bytes = withBom ? "\xFF\xFE" : "";
  for (int i = 0; i < length; ++i) {
    bytes += static_cast<char>(wide[i] & 0xFF);
    bytes += static_cast<char>((wide[i] >> 8) & 0xFF);
  }
  return bytes;
}

bool AsksForPrompt(const std::vector<std::string>& scanResults) {
  return !scanResults.empty() && scanResults.back().compare(0, 11, "showmessage") == 0;
}
}  // namespace

void UninstallerTest::SetUp() {
  const char* prefix = getenv("KIT_E2E_PREFIX");
  ASSERT_NE(prefix, nullptr) << "KIT_E2E_PREFIX names the Wine prefix kind: win32 or wow64";
  ASSERT_TRUE(std::string(prefix) == "win32" || std::string(prefix) == "wow64") << prefix;
  prefix_ = std::string(prefix) == "wow64" ? PrefixKind::kWow64 : PrefixKind::kWin32;
  BOOL underWow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &underWow64));
  ASSERT_EQ(UnderWow64(), underWow64 != FALSE) << "the prefix is not of the kind KIT_E2E_PREFIX names";

  systemDirectory_ = SystemDirectory();
  ASSERT_GT(systemDirectory_.size(), 3u);
  drive_ = systemDirectory_.substr(0, 2);
  infStore_ = InfStoreFolder();
  programFiles_ = drive_ + (UnderWow64() ? "\\Program Files (x86)" : "\\Program Files");
  productFolder_ = programFiles_ + "\\NORDAL_5120_USB_DRIVER";
  tempFolder_ = programFiles_ + "\\Orvane_M4730_Temp";
  kitFolder_ = drive_ + "\\kit";
  veskotPath_ = JoinPath(kitFolder_, "Veskot.exe");
  handsetToolPath_ = productFolder_ + "\\tools\\HandsetTool.exe";

  // Whatever an earlier test left: keys, instances, INF files, folders.
  ASSERT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey));
  ASSERT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey));
  ASSERT_TRUE(RemoveInstances(kTestInstances));
  std::set<std::string> leftovers;
  for (const char* name : kDeviceInfNames) {
    leftovers.insert(Upper(name));
  }
  for (const StoreFile& file : SearchFiles()) {
    if (Upper(file.name) != "USB.INF") {
      leftovers.insert(Upper(file.name));
    }
  }
  for (const CorpusFile& file : kCorpusFiles) {
    leftovers.insert(Upper(file.name));
  }
  std::set<std::string> packageContents;
  for (const char* file : kPackageFiles) {
    for (const char* edition : {"", "64_inf\\"}) {
      std::string content;
      ASSERT_TRUE(ReadWholeFile(DataPath("e2e_package", std::string(edition) + file), &content));
      packageContents.insert(content);
    }
  }
  for (const std::string& name : ListFiles(infStore_, "*.inf")) {
    std::string content;
    ASSERT_TRUE(ReadWholeFile(StorePath(name), &content));
    if (leftovers.count(Upper(name)) == 0 && packageContents.count(content) == 0) {
      continue;
    }
    ASSERT_TRUE(DeleteOneFile(StorePath(name)));
    if (FileExists(PnfOf(StorePath(name)))) {
      ASSERT_TRUE(DeleteOneFile(PnfOf(StorePath(name))));
    }
  }
  for (const char* variant : {"\\Program Files", "\\Program Files (x86)"}) {
    ASSERT_TRUE(DeleteTree(drive_ + variant + "\\NORDAL_5120_USB_DRIVER"));
    ASSERT_TRUE(DeleteTree(drive_ + variant + "\\Orvane_M4730_Temp"));
  }
  ASSERT_TRUE(DeleteTree(kitFolder_));

  // Windows' own INF of USB composite devices; Wine has none.
  if (!FileExists(StorePath("usb.inf"))) {
    ASSERT_TRUE(CopyOneFile(DataPath("e2e_inf_store", "usb.inf"), StorePath("usb.inf")));
  }
  ASSERT_TRUE(MakeFolders(kitFolder_));
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "Veskot.exe"), veskotPath_));
  if (UnderWine()) {
    ASSERT_NO_FATAL_FAILURE(SelectWindows(kWindows7));
  } else {
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExA(&version));
    release_ = NULL;
    for (const Release* release : {&kWindows2000, &kWindowsXp, &kWindowsXp64, &kWindowsVista, &kWindows7}) {
      if (release->major == version.dwMajorVersion && release->minor == version.dwMinorVersion) {
        release_ = release;
      }
    }
    ASSERT_NE(release_, nullptr) << "Windows " << version.dwMajorVersion << "." << version.dwMinorVersion
                                 << " is not a release the kit knows";
  }
}

void UninstallerTest::TearDown() {
  handsetTool_.Stop();
  for (const std::string& name : madeStoreEntries_) {
    const std::string path = StorePath(name);
    if (FolderExists(path)) {
      EXPECT_TRUE(DeleteTree(path));
    } else if (FileExists(path)) {
      EXPECT_TRUE(DeleteOneFile(path));
    }
  }
}

std::string UninstallerTest::DataPath(const std::string& folder, const std::string& name) const {
  return JoinPath(JoinPath(ProgramFolder(), folder), name);
}

std::string UninstallerTest::PackageSample(const std::string& file) const {
  return DataPath("e2e_package", UnderWow64() ? "64_inf\\" + file : file);
}

void UninstallerTest::SelectWindows(const Release& release) {
  if (!UnderWine()) {
    if (&release != release_) {
      GTEST_SKIP() << "a test of Windows " << release.major << "." << release.minor
                   << "; Wine reports it, this machine is another release";
    }
    return;
  }
  release_ = &release;
  ASSERT_TRUE(WriteStringValue(HKEY_CURRENT_USER, kAppDefaultsKey, "Version", release.wineVersion));
}

void UninstallerTest::AddProductKey() {
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kProductKey, "version", "V1.7.0"));
}

void UninstallerTest::AddUninstallKey() {
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "NORDAL 5120 USB Driver"));
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion", "1.7.0"));
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString",
                               Quote(veskotPath_) + " showmessage"));
}

void UninstallerTest::AddSubkey(const std::string& key) {
  ASSERT_TRUE(WriteStringValue(HKEY_LOCAL_MACHINE, key + "\\Components", "adb", "1"));
}

void UninstallerTest::AddInstance(const DeviceInstance& instance) {
  // "ROOT\<device name>\0000": the first number Windows gives a device
  // name, which no instance holds after the clean-up of SetUp.
  const std::string prefix = kTestInstances;
  ASSERT_EQ(Upper(instance.instanceId).compare(0, prefix.size(), prefix), 0) << instance.instanceId;
  const size_t start = prefix.find('\\') + 1;
  const std::string deviceName = instance.instanceId.substr(start, instance.instanceId.rfind('\\') - start);
  std::string made;
  HKEY driver = NULL;
  ASSERT_TRUE(CreateRootInstance(deviceName, instance.classGuid, instance.hardwareIds,
                                 instance.fate != DriverInf::kNoDriverKey, &made, &driver));
  ASSERT_EQ(Upper(made), Upper(instance.instanceId));
  if (driver != NULL) {
    std::string value = instance.infPath;
    if (instance.fate != DriverInf::kInfPathUnterminated) {
      value.push_back('\0');
    }
    const char version[] = "1.7.0.0";
    LONG status = RegSetValueExA(driver, "DriverVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                                 sizeof(version));
    if (status == ERROR_SUCCESS && instance.fate != DriverInf::kNoInfPath) {
      status = RegSetValueExA(driver, "InfPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                              static_cast<DWORD>(value.size()));
    }
    RegCloseKey(driver);
    ASSERT_EQ(status, ERROR_SUCCESS) << "writing the driver key of " << made;
  }
  instances_.push_back(instance);
}

void UninstallerTest::AddDeviceInf(const std::string& storeName, const std::string& packageFile) {
  std::string content;
  ASSERT_TRUE(ReadWholeFile(PackageSample(packageFile), &content));
  ASSERT_TRUE(WriteWholeFile(StorePath(storeName), content));
  ASSERT_TRUE(WriteWholeFile(PnfOf(StorePath(storeName)), "precompiled " + storeName));
  deviceInfs_[storeName] = content;
  // What no instance deletes, the search finds.
  for (const PackageModels& models : kPackageModels) {
    if (packageFile == models.file) {
      storeFiles_.push_back(
          {storeName, PackageSample(packageFile), Encoding::kAnsi, SearchFate::kDeleted, models.firstLine});
      storeContents_[storeName] = content;
    }
  }
}

void UninstallerTest::AddStoreFile(const StoreFile& file) {
  std::string content;
  ASSERT_TRUE(ReadWholeFile(file.source, &content));
  if (file.encoding != Encoding::kAnsi) {
    content = Utf16Le(content, file.encoding == Encoding::kUtf16LeWithBom);
  }
  if (Upper(file.name) == "USB.INF") {
    // Windows' own file is there already.
    ASSERT_TRUE(ReadWholeFile(StorePath(file.name), &content));
  } else {
    ASSERT_TRUE(WriteWholeFile(StorePath(file.name), content));
    ASSERT_TRUE(WriteWholeFile(PnfOf(StorePath(file.name)), "precompiled " + file.name));
  }
  storeFiles_.push_back(file);
  storeContents_[file.name] = content;
}

void UninstallerTest::AddStoreContent(const StoreFile& file, const std::string& content) {
  const std::string path = StorePath(file.name);
  if (file.folder) {
    ASSERT_TRUE(MakeFolders(path));
  } else {
    const std::string bytes = file.encoding == Encoding::kAnsi
                                  ? content
                                  : Utf16Le(content, file.encoding == Encoding::kUtf16LeWithBom);
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    if (file.fate == SearchFate::kDeleted) {
      ASSERT_TRUE(WriteWholeFile(PnfOf(path), "precompiled " + file.name));
      madeStoreEntries_.push_back(PnfOf(file.name));
    }
    storeContents_[file.name] = bytes;
  }
  madeStoreEntries_.push_back(file.name);
  storeFiles_.push_back(file);
}

void UninstallerTest::AddOddStoreEntries() {
  std::string handset;
  ASSERT_TRUE(ReadWholeFile(DataPath("e2e_inf_store", "nordal_adb_legacy.inf"), &handset));
  std::string binary;
  for (int i = 0; i < 4096; ++i) {
    binary += static_cast<char>((i * 7919 + 13) % 256);
  }
  ASSERT_NO_FATAL_FAILURE(
      AddStoreContent({"x.inf", "", Encoding::kAnsi, SearchFate::kNotAnInf, "", true}, std::string()));
  ASSERT_NO_FATAL_FAILURE(
      AddStoreContent({"odd_empty.inf", "", Encoding::kAnsi, SearchFate::kNotAnInf, ""}, std::string()));
  ASSERT_NO_FATAL_FAILURE(
      AddStoreContent({"odd_binary.inf", "", Encoding::kAnsi, SearchFate::kNotAnInf, ""}, binary));
  ASSERT_NO_FATAL_FAILURE(AddStoreContent(
      {"odd_utf16.inf", "", Encoding::kUtf16LeWithoutBom, SearchFate::kDeleted, kAdbLegacyModelLine},
      handset));
}

void UninstallerTest::AddCorpusCopies() {
  for (const CorpusFile& corpus : kCorpusFiles) {
    const std::string source = DataPath("e2e_corpus", corpus.name);
    ASSERT_TRUE(FileExists(source)) << "the INF corpus is missing beside the test program: " << source;
    // Copied as they are, attributes included.
    ASSERT_TRUE(CopyOneFile(source, StorePath(corpus.name)));
    std::string content;
    ASSERT_TRUE(ReadWholeFile(source, &content));
    storeFiles_.push_back({corpus.name, source, Encoding::kAnsi, corpus.fate, std::string()});
    corpusCopies_[corpus.name] = content;
  }
}

void UninstallerTest::AddProductFolders() {
  struct File {
    std::string path;
    DWORD attributes;
  };
  const std::vector<File> files = {
      {productFolder_ + "\\readme.txt", FILE_ATTRIBUTE_READONLY},
      {productFolder_ + "\\tools\\settings.ini", FILE_ATTRIBUTE_HIDDEN},
      {productFolder_ + "\\docs\\guide.txt",
       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY},
      {tempFolder_ + "\\setup.log", FILE_ATTRIBUTE_READONLY},
      {tempFolder_ + "\\cache\\a\\b\\c\\blob.bin", FILE_ATTRIBUTE_HIDDEN},
  };
  for (const File& file : files) {
    ASSERT_TRUE(MakeFolders(FolderOf(file.path)));
    ASSERT_TRUE(WriteWholeFile(file.path, "kit file " + FileNameOf(file.path) + "\r\n"));
    ASSERT_TRUE(SetAttributes(file.path, file.attributes));
  }
  ASSERT_TRUE(MakeFolders(productFolder_ + "\\docs\\empty"));
  for (const char* edition : {"", "64_inf\\"}) {
    const std::string folder = productFolder_ + "\\INF\\" + edition;
    ASSERT_TRUE(MakeFolders(folder.substr(0, folder.size() - 1)));
    for (const char* file : kPackageFiles) {
      ASSERT_TRUE(CopyOneFile(DataPath("e2e_package", std::string(edition) + file), folder + file));
    }
  }
}

void UninstallerTest::StartHandsetTool() {
  ASSERT_TRUE(MakeFolders(FolderOf(handsetToolPath_)));
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), handsetToolPath_));
  ASSERT_TRUE(handsetTool_.Start(handsetToolPath_));
  heldFiles_[handsetToolPath_] = {"HandsetTool.exe", false};
}

DeviceInstance UninstallerTest::CompositeParent() const {
  return {"ROOT\\NORDAL_E2E_COMPOSITE\\0000",
          {"USB\\VID_3A8D&PID_6C31&REV_0232", "USB\\VID_3A8D&PID_6C31"},
          1,
          kUsbClass,
          "usb.inf",
          DriverInf::kCompositeParent};
}

DeviceInstance UninstallerTest::ModemInterface() const {
  return {"ROOT\\NORDAL_E2E_MODEM\\0000",
          {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", "USB\\VID_3A8D&PID_6C31&MI_00"},
          1,
          kModemClass,
          "oem12.inf",
          DriverInf::kDeleted};
}

DeviceInstance UninstallerTest::AdbInterface() const {
  return {"ROOT\\NORDAL_E2E_ADB\\0000",
          {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_01", "USB\\VID_3A8D&PID_6C31&MI_01"},
          1,
          kAndroidClass,
          "oem11.inf",
          DriverInf::kDeleted};
}

DeviceInstance UninstallerTest::DiagnosticsPort() const {
  // The port driver's own id comes first: the walk traces it and goes on.
  return {
      "ROOT\\NORDAL_E2E_DIAG\\0000",
      {"ORVANE\\NORDAL5120_DIAG", "usb\\vid_3a8d&pid_6c31&rev_0232&mi_02", "USB\\VID_3A8D&PID_6C31&MI_02"},
      2,
      kPortsClass,
      "oem13.inf",
      DriverInf::kDeleted};
}

DeviceInstance UninstallerTest::NetworkInterface() const {
  return {"ROOT\\NORDAL_E2E_NET\\0000",
          {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_03", "USB\\VID_3A8D&PID_6C31&MI_03"},
          1,
          kNetClass,
          "oem14.inf",
          DriverInf::kDeleted};
}

DeviceInstance UninstallerTest::Bootloader() const {
  return {"ROOT\\NORDAL_E2E_BOOT\\0000",
          {"USB\\VID_3A8D&PID_6C32&REV_0100", "USB\\VID_3A8D&PID_6C32"},
          1,
          kAndroidClass,
          "oem11.inf",
          DriverInf::kDeleted};
}

DeviceInstance UninstallerTest::ForeignDevice() const {
  return {"ROOT\\NORDAL_E2E_FOREIGN\\0000",
          {"USB\\VID_0547&PID_1002&REV_0000", "USB\\VID_0547&PID_1002"},
          2,
          kUsbClass,
          kCorpusOfForeignDevice,
          DriverInf::kNotHandset};
}

std::vector<StoreFile> UninstallerTest::SearchFiles() const {
  const auto source = [this](const char* name) { return DataPath("e2e_inf_store", name); };
  return {
      {"nordal_adb_legacy.inf", source("nordal_adb_legacy.inf"), Encoding::kAnsi, SearchFate::kDeleted,
       kAdbLegacyModelLine},
      {"nordal_modem_legacy.inf", source("nordal_modem_legacy.inf"), Encoding::kUtf16LeWithBom,
       SearchFate::kDeleted, "OrvaneModem.Install,usb\\vid_3a8d&pid_6c31&mi_00,USB\\Class_02&SubClass_02"},
      {"nordal_bootloader.inf", source("nordal_bootloader.inf"), Encoding::kAnsi, SearchFate::kKept, ""},
      {"nordal_decorated_only.inf", source("nordal_decorated_only.inf"), Encoding::kUtf16LeWithBom,
       SearchFate::kKept, ""},
      {"nordal_second_maker.inf", source("nordal_second_maker.inf"), Encoding::kAnsi, SearchFate::kKept, ""},
      {"kestrel_camera.inf", source("kestrel_camera.inf"), Encoding::kUtf16LeWithBom, SearchFate::kKept, ""},
      {"usb.inf", source("usb.inf"), Encoding::kAnsi, SearchFate::kKept, ""},
  };
}

void UninstallerTest::LayOutInstalledMachine() {
  ASSERT_NO_FATAL_FAILURE(AddProductKey());
  ASSERT_NO_FATAL_FAILURE(AddUninstallKey());
  ASSERT_NO_FATAL_FAILURE(AddDeviceInf("oem11.inf", "android_usb.inf"));
  ASSERT_NO_FATAL_FAILURE(AddDeviceInf("oem12.inf", "qcmdm.inf"));
  ASSERT_NO_FATAL_FAILURE(AddDeviceInf("oem13.inf", "qcser.inf"));
  ASSERT_NO_FATAL_FAILURE(AddDeviceInf("oem14.inf", "qcnet.inf"));
  for (const DeviceInstance& instance :
       {CompositeParent(), ModemInterface(), AdbInterface(), DiagnosticsPort(), NetworkInterface(),
        Bootloader(), ForeignDevice()}) {
    ASSERT_NO_FATAL_FAILURE(AddInstance(instance));
  }
  for (const StoreFile& file : SearchFiles()) {
    ASSERT_NO_FATAL_FAILURE(AddStoreFile(file));
  }
  ASSERT_NO_FATAL_FAILURE(AddCorpusCopies());
  ASSERT_NO_FATAL_FAILURE(AddProductFolders());
  ASSERT_NO_FATAL_FAILURE(StartHandsetTool());
}

CaptureResult UninstallerTest::RunVeskot(const std::string& path, const std::vector<std::string>& arguments) {
  return RunTraced(path, arguments, 0);
}

Messages UninstallerTest::ExpectedDeviceStep() {
  std::vector<DeviceRecord> records;
  EXPECT_TRUE(ListDeviceInstances(&records));
  std::map<std::string, const DeviceInstance*> ours;
  for (const DeviceInstance& instance : instances_) {
    ours[Upper(instance.instanceId)] = &instance;
  }
  bool probed = false;
  Messages lines;
  for (const DeviceRecord& record : records) {
    const auto found = ours.find(Upper(record.instanceId));
    if (found == ours.end()) {
      // One of the machine's own devices: every entry is traced, none
      // names the handset.
      if (!record.hardwareIds.empty()) {
        const Messages entries = device_lines::Entries(record.hardwareIds);
        lines.insert(lines.end(), entries.begin(), entries.end());
      }
      for (const std::string& id : record.hardwareIds) {
        EXPECT_FALSE(NamesHandset(id)) << record.instanceId << " is a handset instance no test laid out";
      }
      continue;
    }
    const DeviceInstance& instance = *found->second;
    EXPECT_EQ(record.hardwareIds, instance.hardwareIds) << record.instanceId;
    ours.erase(found);
    const std::vector<std::string> traced(instance.hardwareIds.begin(),
                                          instance.hardwareIds.begin() + instance.tracedEntries);
    Messages part = device_lines::Entries(traced);
    switch (instance.fate) {
      case DriverInf::kDeleted:
        Append(&part, device_lines::InfDeleted(StorePath(instance.infPath)));
        break;
      case DriverInf::kCompositeParent:
        Append(&part, device_lines::CompositeParent());
        break;
      case DriverInf::kNoDriverKey:
        Append(&part, device_lines::DriverKeyMissing(kDriverKeyMissingError));
        break;
      case DriverInf::kNoInfPath:
        Append(&part, device_lines::InfPathMissing(ERROR_FILE_NOT_FOUND));
        break;
      case DriverInf::kNotBareName:
        Append(&part, device_lines::InfPathNotBare(instance.infPath));
        break;
      case DriverInf::kInfPathUnterminated:
        // Wine asks for one byte more, for the terminator it would add;
        // Windows hands the bytes over as they are, and the uninstaller
        // refuses them, traced as far as its buffer holds a name.
        if (UnderWine()) {
          Append(&part, device_lines::InfPathMissing(ERROR_MORE_DATA));
        } else {
          Append(&part, device_lines::InfPathNotBare(instance.infPath.substr(0, MAX_PATH - 1)));
        }
        break;
      case DriverInf::kNotHandset:
        break;
    }
    if (instance.fate != DriverInf::kNotHandset) {
      if (!probed) {
        EXPECT_TRUE(ProbeRemoval(instance.instanceId, &removal_));
        probed = true;
      }
      if (removal_ == Removal::kClassInstallParamsNotImplemented) {
        Append(&part, device_lines::RemoveFailed());
      }
    }
    Append(&lines, part);
  }
  for (const auto& missing : ours) {
    ADD_FAILURE() << "the device instance " << missing.second->instanceId << " is not in the set";
  }
  return lines;
}

Messages UninstallerTest::ExpectedSearch() {
  std::set<std::string> deletedByDevices;
  for (const DeviceInstance& instance : instances_) {
    if (instance.fate == DriverInf::kDeleted) {
      deletedByDevices.insert(Upper(instance.infPath));
    }
  }
  std::map<std::string, const StoreFile*> files;
  for (const StoreFile& file : storeFiles_) {
    files[Upper(file.name)] = &file;
  }
  Messages lines;
  // Every INF file of the store, in the order the file system lists them;
  // Windows' own files and those of other vendors are opened and read
  // like ours, and left alone.
  for (const FolderEntry& entry : ListFolder(infStore_, "*.inf")) {
    const std::string& name = entry.name;
    if (deletedByDevices.count(Upper(name)) != 0) {
      continue;
    }
    const auto found = files.find(Upper(name));
    if (found == files.end()) {
      continue;
    }
    switch (found->second->fate) {
      case SearchFate::kDeleted:
        Append(&lines, search_lines::Matched(StorePath(name), found->second->matchedLine));
        break;
      case SearchFate::kNotAnInf:
        Append(&lines, search_lines::NotAnInf(StorePath(name)));
        break;
      case SearchFate::kKept:
        break;
    }
  }
  return lines;
}

Messages UninstallerTest::ExpectedFolderDeletion(const std::string& folder) {
  // Paths are built in MAX_PATH buffers: one that would not fit, the
  // search pattern of a folder included, is passed over.
  if ((folder + "\\*.*").size() >= MAX_PATH) {
    return folder_lines::PathTooLong(folder);
  }
  if (!FolderExists(folder)) {
    return folder_lines::NotFound(folder);
  }
  Messages lines = folder_lines::Searched(folder);
  for (const FolderEntry& entry : ListFolder(folder)) {
    const std::string path = JoinPath(folder, entry.name);
    if (path.size() >= MAX_PATH) {
      Append(&lines, folder_lines::PathTooLong(path));
      continue;
    }
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      // A link to another folder is removed, never followed.
      if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        Append(&lines, ExpectedFolderDeletion(path));
      }
      continue;
    }
    const auto held = heldFiles_.find(path);
    if (held != heldFiles_.end()) {
      Append(&lines, folder_lines::RetriedAfterLookup(path, held->second.lookedUp));
      if (held->second.staysAfterLookup) {
        Append(&lines, folder_lines::StillUndeletable(path));
      }
    }
  }
  return lines;
}

std::vector<std::string> UninstallerTest::ExpectedRun(const RunExpectation& expectation) {
  const Release& release = expectation.release != NULL ? *expectation.release : *release_;
  UninstallTrace trace;
  trace.Opening(expectation.scanResults);
  trace.SystemInfo(release.major, release.minor,
                   UnderWow64() && release.line64 != NULL ? release.line64 : release.line32);
  if (UnderWow64() && release.branch64) {
    const std::string path = expectation.uninstallerPath.empty() ? veskotPath_ : expectation.uninstallerPath;
    trace.Uninstaller64(JoinPath(FolderOf(path), "Veskot64.exe"));
  }
  trace.Add(ExpectedDeviceStep());
  if (expectation.deletedInfFiles != 2) {
    trace.SearchStarts().Add(ExpectedSearch());
  }
  trace.KeysStart();
  const bool uninstallKey = KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
  if (uninstallKey) {
    trace.UninstallKeyDeletion();
    if (expectation.uninstallKeyFailure != ERROR_SUCCESS) {
      return trace.KeyDeletionFailed(expectation.uninstallKeyFailure).DebugStrings();
    }
  }
  if (KeyExists(HKEY_LOCAL_MACHINE, kProductKey) && expectation.productKeyFailure != ERROR_SUCCESS) {
    return trace.KeyDeletionFailed(expectation.productKeyFailure).DebugStrings();
  }
  if (AsksForPrompt(expectation.scanResults)) {
    trace.Prompt(uninstallKey ? kPromptAfterDeletedKey : kPromptWithoutKey);
  }
  trace.ProductFolder(ExpectedFolderDeletion(productFolder_));
  trace.TempFolder(ExpectedFolderDeletion(tempFolder_));
  return trace.DebugStrings();
}

void UninstallerTest::ExpectKeysGone() {
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << kUninstallKey;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey)) << kProductKey;
}

void UninstallerTest::ExpectInfStoreCleaned(bool searchRan) {
  std::set<std::string> deletedByDevices;
  for (const DeviceInstance& instance : instances_) {
    if (instance.fate == DriverInf::kDeleted) {
      deletedByDevices.insert(Upper(instance.infPath));
    }
  }
  for (const auto& inf : deviceInfs_) {
    EXPECT_TRUE(FileExists(PnfOf(StorePath(inf.first)))) << "the .pnf of " << inf.first << " is gone";
  }
  for (const StoreFile& file : storeFiles_) {
    const std::string path = StorePath(file.name);
    if (file.folder) {
      EXPECT_TRUE(FolderExists(path)) << "the folder " << file.name << " is gone";
      continue;
    }
    if (deletedByDevices.count(Upper(file.name)) != 0) {
      EXPECT_FALSE(FileExists(path)) << file.name << " of the handset's devices is still there";
      continue;
    }
    if (file.fate == SearchFate::kDeleted && searchRan) {
      EXPECT_FALSE(FileExists(path)) << file.name << " names the handset and is still there";
      EXPECT_TRUE(FileExists(PnfOf(path))) << "the .pnf of " << file.name << " is gone";
      continue;
    }
    std::string content;
    EXPECT_TRUE(ReadWholeFile(path, &content)) << file.name << " should have stayed";
    EXPECT_EQ(content,
              storeContents_.count(file.name) != 0 ? storeContents_[file.name] : corpusCopies_[file.name])
        << file.name << " changed";
  }
  EXPECT_TRUE(FileExists(StorePath("usb.inf"))) << "Windows' own usb.inf is gone";
}

void UninstallerTest::ExpectFoldersGone() {
  EXPECT_FALSE(FolderExists(productFolder_)) << productFolder_;
  EXPECT_FALSE(FolderExists(tempFolder_)) << tempFolder_;
}

void UninstallerTest::ExpectHandsetToolEnded() {
  DWORD exitCode = 7;
  ASSERT_TRUE(handsetTool_.WaitForEnd(10 * 1000, &exitCode)) << handsetToolPath_ << " still runs";
  EXPECT_EQ(exitCode, 0u) << handsetToolPath_ << " was not ended by the uninstaller";
  EXPECT_FALSE(FileExists(handsetToolPath_));
}

void UninstallerTest::ExpectRunAsAdmin(const std::string& path) {
  const RegistryValue value = ReadValue(HKEY_CURRENT_USER, kLayersKey, path);
  ASSERT_TRUE(value.present) << "no value " << path << " under HKCU\\" << kLayersKey;
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.data, std::string("RUNASADMIN", 11));
}

}  // namespace e2e
