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
#include "tests/host/simulated_paths.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/kit_facts/windows_releases.h"
#include "winsim/simulated_windows.h"

namespace {
using quorlin::kTag;

// Two more versions outside the table, beside Windows 8.
const kit::WindowsRelease kWindows10 = {"Windows 10",       "win10", 10, 0, false, kit::kNotClassified,
                                        kit::kNotClassified};
const kit::WindowsRelease kWindowsNt4 = {"Windows NT 4.0",   "nt40", 4, 0, false, kit::kNotClassified,
                                         kit::kNotClassified};

// The release of each value of the input's three bits.
const kit::WindowsRelease* const kReleases[8] = {&kit::kWindows2000,  &kit::kWindowsXp, &kit::kWindowsXp64,
                                                 &kit::kWindowsVista, &kit::kWindows7,  &kit::kWindows8,
                                                 &kWindows10,         &kWindowsNt4};

void CheckPkgCopyInf(const std::string& folder, const std::string& name) {
  winsim::Reset();
  winsim::Machine& m = winsim::machine();
  const fuzz::Block folderBlock(folder);
  const fuzz::Block nameBlock(name);
  const int result = PkgCopyInf(folderBlock.get(), nameBlock.get());
  const bool fits = folder.size() + 1 + name.size() < MAX_PATH;
  const std::string full = folder + "\\" + name;
  std::vector<std::string> expected = {quorlin::kEnterPkgCopyInf};
  if (fits) {
    expected.insert(expected.end(), {quorlin::FullName(full), quorlin::kPkgCopyInfSuccessful});
  }
  const std::string call = "PkgCopyInf(\"" + fuzz::Shown(folder) + "\", \"" + fuzz::Shown(name) + "\")";
  FUZZ_CHECK(result == (fits ? 1 : 0), call + " returned " + std::to_string(result));
  FUZZ_CHECK(
      m.debugOutput == kit::Traced(kTag, expected),
      call + " traced\n" + fuzz::Shown(m.debugOutput) + "not\n" + fuzz::Shown(kit::Traced(kTag, expected)));
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

void CheckRun(const kit::WindowsRelease& release, bool wow64, const std::string& systemDirectory,
              const std::string& modulePath) {
  winsim::Reset();
  winsim::Machine& m = winsim::machine();
  m.majorVersion = release.major;
  m.minorVersion = release.minor;
  m.wow64 = wow64 ? winsim::Wow64::kAnswersTrue : winsim::Wow64::kAnswersFalse;
  m.systemDirectory = systemDirectory;
  m.modulePath = modulePath;
  m.processes.front().exeFile = kit::kQuorlinExe;
  std::string argument = modulePath;
  char* argv[] = {&argument[0], nullptr};
  FUZZ_CHECK(InstallerMain(1, argv) == 1, "InstallerMain did not return 1");

  // The program's own path is recorded only whole.
  const winsim::RegistryValue* layer = m.Value(sim::kLayersKey, modulePath);
  const bool recorded = layer != nullptr && layer->data == sim::kRunAsAdminData;
  const auto key = m.keys.find(sim::kLayersKey);
  const size_t values = key == m.keys.end() ? 0 : key->second.values.size();
  FUZZ_CHECK(modulePath.size() < MAX_PATH ? recorded && values == 1 : values == 0,
             "SetVistaRight recorded " + std::to_string(values) + " values for a path of " +
                 std::to_string(modulePath.size()) + " characters");

  // The four INF files, from the package folder on the system drive.
  // Each debugger string must be the tag and then a message.
  kit::Messages messages;
  std::string problem;
  FUZZ_CHECK(kit::SplitTraced(m.debugOutput, kTag, &messages, &problem), problem);
  const bool systemDirectoryRead = !systemDirectory.empty() && systemDirectory.size() < MAX_PATH;
  const std::string systemLine = systemDirectoryRead ? kit::AsSent(quorlin::SystemPath(systemDirectory))
                                                     : std::string(quorlin::kNoSystemDir);
  FUZZ_CHECK(std::find(messages.begin(), messages.end(), systemLine) != messages.end(),
             "no \"" + fuzz::Shown(systemLine) + "\" in the trace\n" + fuzz::Shown(messages));
  std::vector<std::string> expectedSources;
  std::string folder;
  const kit::PackageEdition edition = release.On(wow64).edition;
  if (systemDirectoryRead && edition != kit::PackageEdition::kNone) {
    const bool in64 = edition == kit::PackageEdition::k64Bit;
    folder = std::string(1, systemDirectory[0]) + ":" + (in64 ? kit::kProgramFilesX86 : kit::kProgramFiles) +
             "\\" + kit::kProductFolderName + (in64 ? kit::kInfFolder64 : kit::kInfFolder32);
    for (const char* file : kit::kPackageInfs) {
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
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::vector<std::string> fields = fuzz::Fields(data, size, 4);
  const kit::WindowsRelease& release = *kReleases[data[0] & 7];
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
