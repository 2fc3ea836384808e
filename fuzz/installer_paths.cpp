// The installer's path builders, with paths of every length up to and past
// 259 characters: PkgCopyInf (installer/inf_staging) with any folder and
// file name, and in a whole InstallerMain run the package folder built from
// the system directory's drive and the record of the program's own path
// (SetVistaRight). Checked: a path is built exactly when it fits in
// MAX_PATH, and then whole (never a cut name), and handed on as built.
//
// Input: one byte of flags (bits 0-2: the Windows release, bit 3: 64-bit
// Windows), then NUL-separated: the system directory (its first byte picks
// the drive, the rest is the path after "X:\"), the program's path after
// "C:\", a folder and an INF file name for PkgCopyInf (any bytes).
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "installer/inf_staging.h"
#include "installer/installer_main.h"
#include "winsim/machine.h"

namespace {
const char kTag[] = "..Quorlin32 - Zenor";
const char kLayers[] = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

struct Release {
  DWORD major;
  DWORD minor;
  bool packaged;  // the package has a folder for it
  bool has64;     // it has a 64-bit edition
};

const Release kReleases[8] = {{5, 0, true, false},  {5, 1, true, true},  {5, 2, true, true},
                              {6, 0, true, true},   {6, 1, true, true},  {6, 2, false, true},
                              {10, 0, false, true}, {4, 0, false, false}};

// What wsprintf keeps of a message: 1023 characters and the terminator.
std::string Cut(const std::string& message) { return message.substr(0, 1023); }

void CheckPkgCopyInf(const std::string& folder, const std::string& name) {
  winsim::Reset();
  winsim::Machine& m = winsim::machine();
  const fuzz::Block folderBlock(folder);
  const fuzz::Block nameBlock(name);
  const int result = PkgCopyInf(folderBlock.get(), nameBlock.get());
  const bool fits = folder.size() + 1 + name.size() < MAX_PATH;
  const std::string full = folder + "\\" + name;
  std::vector<std::string> expected = {"\r\n =====>>>  Enter PkgCopyInf"};
  if (fits) {
    expected.insert(expected.end(), {"Full name: " + full + "\n", "\r\n =====>>>   PkgCopyInf Successful"});
  }
  const std::string call = "PkgCopyInf(\"" + fuzz::Shown(folder) + "\", \"" + fuzz::Shown(name) + "\")";
  FUZZ_CHECK(result == (fits ? 1 : 0), call + " returned " + std::to_string(result));
  FUZZ_CHECK(
      m.debugOutput == fuzz::Traced(kTag, expected),
      call + " traced\n" + fuzz::Shown(m.debugOutput) + "not\n" + fuzz::Shown(fuzz::Traced(kTag, expected)));
  FUZZ_CHECK(m.copyOemInfCalls.size() == (fits ? 1u : 0u), call + ": wrong number of SetupCopyOEMInfA calls");
  if (fits) {
    const winsim::CopyOemInfCall& copy = m.copyOemInfCalls[0];
    FUZZ_CHECK(copy.sourceInfFileName == full && copy.mediaLocation == folder && copy.mediaType == SPOST_PATH,
               call + " handed over \"" + fuzz::Shown(copy.sourceInfFileName) + "\" from \"" +
                   fuzz::Shown(copy.mediaLocation) + "\"");
  }
  FUZZ_CHECK(std::string(folderBlock.get()) == folder && std::string(nameBlock.get()) == name,
             call + " changed its arguments");
}

void CheckRun(const Release& release, bool wow64, const std::string& systemDirectory,
              const std::string& modulePath) {
  winsim::Reset();
  winsim::Machine& m = winsim::machine();
  m.majorVersion = release.major;
  m.minorVersion = release.minor;
  m.wow64 = wow64 ? winsim::Wow64::kAnswersTrue : winsim::Wow64::kAnswersFalse;
  m.systemDirectory = systemDirectory;
  m.modulePath = modulePath;
  m.processes.front().exeFile = "Quorlin.exe";
  std::string argument = modulePath;
  char* argv[] = {&argument[0], nullptr};
  FUZZ_CHECK(InstallerMain(1, argv) == 1, "InstallerMain did not return 1");

  // The program's own path is recorded only whole.
  const winsim::RegistryValue* layer = m.Value(kLayers, modulePath);
  const bool recorded = layer != nullptr && layer->data == std::string("RUNASADMIN", 11);
  const auto key = m.keys.find(kLayers);
  const size_t values = key == m.keys.end() ? 0 : key->second.values.size();
  FUZZ_CHECK(modulePath.size() < MAX_PATH ? recorded && values == 1 : values == 0,
             "SetVistaRight recorded " + std::to_string(values) + " values for a path of " +
                 std::to_string(modulePath.size()) + " characters");

  // The four INF files, from the package folder on the system drive.
  const std::vector<std::string> messages = [&] {
    std::vector<std::string> out;
    for (size_t i = 1; i < m.debugOutput.size(); i += 2) {
      out.push_back(m.debugOutput[i]);
    }
    return out;
  }();
  const bool systemDirectoryRead = !systemDirectory.empty() && systemDirectory.size() < MAX_PATH;
  const std::string systemLine =
      systemDirectoryRead ? Cut("System path: " + systemDirectory) : std::string("Get system dir failed!\n");
  FUZZ_CHECK(std::find(messages.begin(), messages.end(), systemLine) != messages.end(),
             "no \"" + fuzz::Shown(systemLine) + "\" in the trace\n" + fuzz::Shown(messages));
  std::vector<std::string> expectedSources;
  std::string folder;
  if (systemDirectoryRead && release.packaged) {
    const bool in64 = release.has64 && wow64;
    folder = std::string(1, systemDirectory[0]) + ":" +
             (in64 ? "\\Program Files (x86)\\NORDAL_5120_USB_DRIVER\\INF\\64_inf"
                   : "\\Program Files\\NORDAL_5120_USB_DRIVER\\INF");
    for (const char* file : {"android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf"}) {
      expectedSources.push_back(folder + "\\" + file);
    }
  }
  std::vector<std::string> sources;
  for (const winsim::CopyOemInfCall& copy : m.copyOemInfCalls) {
    sources.push_back(copy.sourceInfFileName);
    FUZZ_CHECK(copy.mediaLocation == folder,
               "an INF file staged from \"" + fuzz::Shown(copy.mediaLocation) + "\"");
  }
  FUZZ_CHECK(sources == expectedSources,
             "staged\n" + fuzz::Shown(sources) + "not\n" + fuzz::Shown(expectedSources));
  FUZZ_CHECK(m.debugOutput.size() % 2 == 0, "a trace tag without its message");
  for (size_t i = 0; i < m.debugOutput.size(); i += 2) {
    FUZZ_CHECK(m.debugOutput[i] == kTag, "debugger string " + std::to_string(i) + " is not the trace tag");
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::vector<std::string> fields = fuzz::Fields(data, size, 4);
  const Release& release = kReleases[data[0] & 7];
  const bool wow64 = (data[0] & 8) != 0;
  const std::string& system = fields[0];
  const std::string systemDirectory =
      system.empty() ? std::string("C:\\WINDOWS\\system32")
                     : std::string(1, static_cast<char>('C' + static_cast<unsigned char>(system[0]) % 24)) +
                           ":\\" + fuzz::RelativePath(system.substr(1));
  const std::string modulePath = "C:\\" + fuzz::RelativePath(fields[1]);

  CheckPkgCopyInf(fields[2], fields[3].c_str());
  CheckRun(release, wow64, systemDirectory, modulePath);
  return 0;
}
