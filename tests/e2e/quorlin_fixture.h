// The fixture of Quorlin.exe's end-to-end scenarios: both editions of the
// driver package laid out where the installer looks for them, no copy of
// them in the INF store, no product key, and the installer at C:\kit; the
// run under the debugger, and what it leaves: the copies in the INF store
// and the compatibility record.
//
// The same scenarios run in both prefixes (tests/wine/prefix.h): what the
// installer makes of a release on each is in kit_facts/windows_releases.h.
#ifndef KIT_TESTS_E2E_QUORLIN_FIXTURE_H
#define KIT_TESTS_E2E_QUORLIN_FIXTURE_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/windows_releases.h"
#include "tests/wine/capture.h"
#include "tests/wine/prefix.h"
#include "tests/wine/programs.h"

namespace e2e {

class QuorlinScenario : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The Windows release Wine reports to Quorlin.exe from now on.
  void SelectWindows(const kit::WindowsRelease& release);

  // What the installer makes of `release` in this prefix.
  const kit::Classification& OnThisPrefix(const kit::WindowsRelease& release) const {
    return release.On(prefix_ == wine::PrefixKind::kWow64);
  }

  // Where the installer finds an edition of the package, and one of its
  // INF files there.
  std::string PackageFolder(kit::PackageEdition edition) const;
  std::string PackageFile(kit::PackageEdition edition, const std::string& file) const;

  // Runs the installer at `path` with `arguments` under the debugger; it
  // must end with exit code 1, as it always does.
  wine::CaptureResult RunQuorlin(const std::string& path, const std::vector<std::string>& arguments);

  // The INF store holds exactly one copy of each of `files` of `edition`,
  // and no copy of any other sample.
  void ExpectStagedCopies(kit::PackageEdition edition, const std::vector<std::string>& files);
  // One copy of each of the four INF files of `edition` (none for kNone).
  void ExpectAllStaged(kit::PackageEdition edition);

  // The compatibility record of the program file at `path`.
  void ExpectRunAsAdmin(const std::string& path);

  wine::PrefixKind prefix_ = wine::PrefixKind::kWin32;
  std::string systemDirectory_;
  std::string drive_;
  std::string kitFolder_;
  std::string quorlinPath_;
  // A running program the installer may take for the handset's autorun.
  wine::BackgroundProgram autorun_;

 private:
  // The file of a sample of `edition` beside the test program.
  std::string SamplePath(kit::PackageEdition edition, const std::string& file) const;
  // "edition/file" of the sample with exactly this content, or empty.
  std::string SampleOf(const std::string& content) const;
  // Deletes every copy of a sample from the INF store, with its
  // precompiled companion.
  void RemoveStagedCopies();

  // Each edition's samples: file name -> content.
  std::map<kit::PackageEdition, std::map<std::string, std::string>> samples_;
};

}  // namespace e2e

#endif
