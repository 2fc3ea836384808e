// What an installed kit and a plugged-in handset leave on a machine, as
// Veskot's scenarios lay it out: the handset's device instances by role
// and another vendor's device, the package's INF files in the INF store
// under the names Windows gave them, INF files for the search and odd
// entries beside them, copies of public driver samples, the product's
// folders and the running handset tool.
#include "tests/e2e/veskot_fixture.h"
#include "tests/kit_facts/letter_case.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/veskot_messages.h"

namespace e2e {

using namespace wine;

namespace {
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

std::string Encoded(const std::string& text, Encoding encoding) {
  return encoding == Encoding::kAnsi ? text : Utf16Le(text, encoding == Encoding::kUtf16LeWithBom);
}

}  // namespace

DeviceInstance VeskotScenario::CompositeParent() const {
  return {"ROOT\\NORDAL_E2E_COMPOSITE\\0000",
          {"USB\\VID_3A8D&PID_6C31&REV_0232", "USB\\VID_3A8D&PID_6C31"},
          kit::kUsbClass,
          "usb.inf",
          DriverKeyLayout::kWithInfPath};
}

DeviceInstance VeskotScenario::ModemInterface() const {
  return {"ROOT\\NORDAL_E2E_MODEM\\0000",
          {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", kit::kModemInterface},
          kit::kModemClass,
          "oem12.inf",
          DriverKeyLayout::kWithInfPath};
}

DeviceInstance VeskotScenario::AdbInterface() const {
  return {"ROOT\\NORDAL_E2E_ADB\\0000",
          {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_01", kit::kAdbInterface},
          kit::kAndroidClass,
          "oem11.inf",
          DriverKeyLayout::kWithInfPath};
}

DeviceInstance VeskotScenario::DiagnosticsPort() const {
  // The port driver's own id comes first: the walk traces it and goes on.
  return {"ROOT\\NORDAL_E2E_DIAG\\0000",
          {"ORVANE\\NORDAL5120_DIAG", "usb\\vid_3a8d&pid_6c31&rev_0232&mi_02", kit::kSerialInterface},
          kit::kPortsClass,
          "oem13.inf",
          DriverKeyLayout::kWithInfPath};
}

DeviceInstance VeskotScenario::NetworkInterface() const {
  return {"ROOT\\NORDAL_E2E_NET\\0000",
          {"USB\\VID_3A8D&PID_6C31&REV_0232&MI_03", kit::kNetInterface},
          kit::kNetClass,
          "oem14.inf",
          DriverKeyLayout::kWithInfPath};
}

DeviceInstance VeskotScenario::Bootloader() const {
  return {"ROOT\\NORDAL_E2E_BOOT\\0000",
          {"USB\\VID_3A8D&PID_6C32&REV_0100", kit::kBootloaderInterface},
          kit::kAndroidClass,
          "oem11.inf",
          DriverKeyLayout::kWithInfPath};
}

DeviceInstance VeskotScenario::ForeignDevice() const {
  return {"ROOT\\NORDAL_E2E_FOREIGN\\0000",
          {"USB\\VID_0547&PID_1002&REV_0000", "USB\\VID_0547&PID_1002"},
          kit::kUsbClass,
          "usb__kmdf_fx2__driver__osrusbfx2.inf",
          DriverKeyLayout::kWithInfPath};
}

std::vector<StatedInstance> VeskotScenario::InstalledKitWalk(const Messages& removal) const {
  using namespace veskot;
  return {
      {CompositeParent().instanceId,
       {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232", kEndOfId, kCompositeDevice},
       removal},
      {ModemInterface().instanceId,
       {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_00", kEndOfId, kDeleteInPkgQuickDel,
        FileFullPath(Store("oem12.inf"))},
       removal},
      {AdbInterface().instanceId,
       {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_01", kEndOfId, kDeleteInPkgQuickDel,
        FileFullPath(Store("oem11.inf"))},
       removal},
      {DiagnosticsPort().instanceId,
       {kInstance, kEnterForLoop, "ORVANE\\NORDAL5120_DIAG", kEndOfId, kEnterForLoop,
        "usb\\vid_3a8d&pid_6c31&rev_0232&mi_02", kEndOfId, kDeleteInPkgQuickDel,
        FileFullPath(Store("oem13.inf"))},
       removal},
      {NetworkInterface().instanceId,
       {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C31&REV_0232&MI_03", kEndOfId, kDeleteInPkgQuickDel,
        FileFullPath(Store("oem14.inf"))},
       removal},
      // It shares the ADB interface's INF file, which is gone or goes.
      {Bootloader().instanceId,
       {kInstance, kEnterForLoop, "USB\\VID_3A8D&PID_6C32&REV_0100", kEndOfId, kDeleteInPkgQuickDel,
        FileFullPath(Store("oem11.inf"))},
       removal},
      // Another vendor's device: looked at, left alone.
      {ForeignDevice().instanceId,
       {kInstance, kEnterForLoop, "USB\\VID_0547&PID_1002&REV_0000", kEndOfId, kEnterForLoop,
        "USB\\VID_0547&PID_1002", kEndOfId},
       {}},
  };
}

std::vector<StoreFile> VeskotScenario::SearchFiles() const {
  const auto source = [this](const char* name) { return DataPath("e2e_inf_store", name); };
  return {
      {"nordal_adb_legacy.inf", source("nordal_adb_legacy.inf"), Encoding::kAnsi},
      {"nordal_modem_legacy.inf", source("nordal_modem_legacy.inf"), Encoding::kUtf16LeWithBom},
      {"nordal_bootloader.inf", source("nordal_bootloader.inf"), Encoding::kAnsi},
      {"nordal_decorated_only.inf", source("nordal_decorated_only.inf"), Encoding::kUtf16LeWithBom},
      {"nordal_second_maker.inf", source("nordal_second_maker.inf"), Encoding::kAnsi},
      {"kestrel_camera.inf", source("kestrel_camera.inf"), Encoding::kUtf16LeWithBom},
      {"usb.inf", source("usb.inf"), Encoding::kAnsi},
  };
}

void VeskotScenario::AddDeviceInf(const std::string& storeName, const std::string& packageFile) {
  std::string content;
  ASSERT_TRUE(ReadWholeFile(PackageSample(packageFile), &content));
  ASSERT_TRUE(WriteWholeFile(Store(storeName), content));
  ASSERT_TRUE(WriteWholeFile(PnfOf(Store(storeName)), "precompiled " + storeName));
  storeContents_[storeName] = content;
  precompiled_.insert(storeName);
}

void VeskotScenario::AddStoreFile(const StoreFile& file) {
  std::string content;
  ASSERT_TRUE(ReadWholeFile(file.source, &content));
  if (kit::SameLetters(file.name, "usb.inf")) {
    // Windows' own file is there already.
    ASSERT_TRUE(ReadWholeFile(Store(file.name), &content));
  } else {
    content = Encoded(content, file.encoding);
    ASSERT_TRUE(WriteWholeFile(Store(file.name), content));
    ASSERT_TRUE(WriteWholeFile(PnfOf(Store(file.name)), "precompiled " + file.name));
    precompiled_.insert(file.name);
  }
  storeContents_[file.name] = content;
}

void VeskotScenario::AddStoreContent(const std::string& name, const std::string& text, Encoding encoding,
                                     bool precompiled) {
  const std::string bytes = Encoded(text, encoding);
  ASSERT_TRUE(WriteWholeFile(Store(name), bytes));
  if (precompiled) {
    ASSERT_TRUE(WriteWholeFile(PnfOf(Store(name)), "precompiled " + name));
    madeStoreEntries_.push_back(PnfOf(name));
    precompiled_.insert(name);
  }
  madeStoreEntries_.push_back(name);
  storeContents_[name] = bytes;
}

void VeskotScenario::AddStoreFolder(const std::string& name) {
  ASSERT_TRUE(MakeFolders(Store(name)));
  madeStoreEntries_.push_back(name);
  storeFolders_.insert(name);
}

void VeskotScenario::AddCorpusCopies() {
  const std::vector<std::string> corpus = ListFiles(JoinPath(ProgramFolder(), "e2e_corpus"), "*.inf");
  ASSERT_EQ(corpus.size(), 10u) << "the INF corpus is missing beside the test program";
  for (const std::string& name : corpus) {
    const std::string source = DataPath("e2e_corpus", name);
    // Copied as they are, attributes included.
    ASSERT_TRUE(CopyOneFile(source, Store(name)));
    ASSERT_TRUE(ReadWholeFile(source, &storeContents_[name]));
  }
}

void VeskotScenario::AddOddStoreEntries() {
  std::string handset;
  ASSERT_TRUE(ReadWholeFile(DataPath("e2e_inf_store", "nordal_adb_legacy.inf"), &handset));
  std::string binary;
  for (int i = 0; i < 4096; ++i) {
    binary += static_cast<char>((i * 7919 + 13) % 256);
  }
  ASSERT_NO_FATAL_FAILURE(AddStoreFolder("x.inf"));
  ASSERT_NO_FATAL_FAILURE(AddStoreContent("odd_empty.inf", std::string(), Encoding::kAnsi, false));
  ASSERT_NO_FATAL_FAILURE(AddStoreContent("odd_binary.inf", binary, Encoding::kAnsi, false));
  ASSERT_NO_FATAL_FAILURE(AddStoreContent("odd_utf16.inf", handset, Encoding::kUtf16LeWithoutBom, true));
}

void VeskotScenario::AddProductFolders() {
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
  for (const char* edition : {kit::kInfFolder32, kit::kInfFolder64}) {
    const std::string folder = productFolder_ + edition;
    ASSERT_TRUE(MakeFolders(folder));
    for (const char* file : kit::kPackageInfs) {
      const std::string sample =
          edition == kit::kInfFolder64 ? std::string(kit::kInfEdition64) + "\\" + file : file;
      ASSERT_TRUE(CopyOneFile(DataPath("e2e_package", sample), JoinPath(folder, file)));
    }
  }
}

void VeskotScenario::StartHandsetTool() {
  ASSERT_TRUE(MakeFolders(FolderOf(handsetToolPath_)));
  ASSERT_TRUE(CopyOneFile(JoinPath(ProgramFolder(), "e2e_sleeper.exe"), handsetToolPath_));
  ASSERT_TRUE(handsetTool_.Start(handsetToolPath_));
}

void VeskotScenario::LayOutInstalledKit() {
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

}  // namespace e2e
