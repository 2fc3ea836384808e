// The INF scan (uninstaller/inf_scan): SearchInfDirectory finds one INF
// file, whose text is the whole input, in the Windows INF directory and
// hands it to ScanInfFile, which reads it through winsim's INF reader:
// manufacturer lines with and without commas, empty fields, long lines,
// models sections of any name length, files that are no INF at all.
//
// Checked: the file is deleted exactly when a model of the scan, written
// here on winsim's SetupAPI, says it names the handset, with exactly the
// trace the scan must send; every INF handle and find handle is closed; and
// GetLineFirstField, on every line of the file, reports the first field's
// length and copies it only into a buffer that holds it (each buffer a heap
// block of exactly its size, so a write past it is an AddressSanitizer
// report).
#include "uninstaller/inf_scan.h"

#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/host/simulated_paths.h"
#include "tests/kit_facts/letter_case.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/kit_facts/veskot_messages.h"
#include "winsim/simulated_windows.h"

namespace {
using veskot::kTag;
const std::string kFile = sim::InInfStore("oem9.inf");
const DWORD kStyle = INF_STYLE_OLDNT | INF_STYLE_WIN4;
const size_t kMaxLinesChecked = 64;

void SetUp(const std::string& content) {
  winsim::Reset();
  winsim::machine().AddFolder(sim::kInfStore);
  winsim::machine().AddFile(kFile, content);
}

// The line's text as SetupGetLineTextA gives it, all `required` bytes but
// the terminator.
std::string RawText(INFCONTEXT* context) {
  DWORD required = 0;
  FUZZ_CHECK(SetupGetLineTextA(context, NULL, NULL, NULL, NULL, 0, &required) && required >= 1,
             "SetupGetLineTextA gave no size");
  std::vector<char> buffer(required);
  FUZZ_CHECK(SetupGetLineTextA(context, NULL, NULL, NULL, buffer.data(), required, NULL),
             "SetupGetLineTextA did not read the line");
  return std::string(buffer.data(), required - 1);
}

std::string CString(const std::string& bytes) { return std::string(bytes.c_str()); }

// What ScanInfFile must do with the file: the messages it traces, and
// whether it deletes the file. Also checks GetLineFirstField on the lines.
std::vector<std::string> Model(bool* deleted) {
  *deleted = false;
  HINF inf = SetupOpenInfFileA(kFile.c_str(), NULL, kStyle, NULL);
  if (inf == INVALID_HANDLE_VALUE) {
    return {veskot::kNotAnInf, veskot::NotAnInfName(kFile)};
  }
  // GetLineFirstField on every line, with buffers of every size that matters.
  const winsim::Handle* handle = winsim::machine().Lookup(inf, winsim::Handle::Kind::kInf);
  size_t checked = 0;
  for (const winsim::InfSection& section : handle->sections) {
    INFCONTEXT context;
    if (!SetupFindFirstLineA(inf, section.name.c_str(), NULL, &context)) {
      continue;
    }
    do {
      const std::string raw = RawText(&context);
      const size_t comma = raw.find(',');
      const DWORD fieldLength = static_cast<DWORD>(comma == std::string::npos ? raw.size() + 1 : comma + 1);
      const std::string field = CString(raw.substr(0, fieldLength - 1));
      DWORD length = 0;
      FUZZ_CHECK(GetLineFirstField(&context, NULL, 0, &length) == 1 && length == fieldLength,
                 "GetLineFirstField reports " + std::to_string(length) + " bytes for \"" + fuzz::Shown(raw) +
                     "\", not " + std::to_string(fieldLength));
      for (DWORD outSize : {fieldLength - 1, fieldLength, fieldLength + 1}) {
        std::unique_ptr<char[]> out(new char[outSize == 0 ? 1 : outSize]);
        memset(out.get(), 'Z', outSize == 0 ? 1 : outSize);
        length = 0;
        FUZZ_CHECK(GetLineFirstField(&context, out.get(), outSize, &length) == 1 && length == fieldLength,
                   "GetLineFirstField with a buffer of " + std::to_string(outSize) + " bytes failed");
        if (outSize >= fieldLength) {
          FUZZ_CHECK(out[fieldLength - 1] == '\0' && std::string(out.get()) == field,
                     "GetLineFirstField copied \"" + fuzz::Shown(std::string(out.get(), fieldLength)) +
                         "\", not \"" + fuzz::Shown(field) + "\"");
        } else {
          FUZZ_CHECK(outSize == 0 || out[0] == 'Z',
                     "GetLineFirstField wrote into a buffer too small for the field");
        }
      }
    } while (++checked < kMaxLinesChecked && SetupFindNextLine(&context, &context));
  }

  // The scan: the first manufacturer line names the models section in its
  // first field; the first line of that section that names the handset's
  // first id has the file deleted.
  std::vector<std::string> messages;
  INFCONTEXT context;
  if (SetupFindFirstLineA(inf, "Manufacturer", NULL, &context)) {
    const std::string text = CString(RawText(&context));
    const std::string models = text.substr(0, text.find(','));
    if (!models.empty() && SetupFindFirstLineA(inf, models.c_str(), NULL, &context)) {
      do {
        const std::string line = CString(RawText(&context));
        if (kit::UpperAscii(line).find(kit::kHandsetId) != std::string::npos) {
          messages = {veskot::kFoundHandsetInf, veskot::FileFullName(kFile),
                      kit::AsSent(veskot::DeviceContext(line))};
          *deleted = true;
          break;
        }
      } while (SetupFindNextLine(&context, &context));
    }
  }
  SetupCloseInfFile(inf);
  return messages;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  SetUp(content);
  bool deleted = false;
  const std::vector<std::string> messages = Model(&deleted);

  SetUp(content);
  winsim::Machine& m = winsim::machine();
  FUZZ_CHECK(SearchInfDirectory() == 0, "SearchInfDirectory did not return 0");
  const std::vector<std::string> expected = kit::Traced(kTag, messages);
  FUZZ_CHECK(m.debugOutput == expected, "the trace differs from the model\nexpected:\n" +
                                            fuzz::Shown(expected) + "debugger output:\n" +
                                            fuzz::Shown(m.debugOutput));
  FUZZ_CHECK(m.Exists(kFile) != deleted, std::string("the file was ") + (deleted ? "not " : "") + "deleted");
  FUZZ_CHECK(m.infOpenCalls == std::vector<std::string>{kFile}, "the file was not opened exactly once");
  FUZZ_CHECK(m.infsClosed == m.infsOpened, "an INF file was not closed");
  FUZZ_CHECK(
      m.OpenHandles(winsim::Handle::Kind::kInf) == 0 && m.OpenHandles(winsim::Handle::Kind::kFind) == 0,
      "a handle was left open");
  return 0;
}
