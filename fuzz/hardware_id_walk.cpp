// The hardware-id walk of the device removal (uninstaller/device_removal):
// RemoveHandsetDevices reads a device's SPDRP_HARDWAREID property through
// winsim's SetupAPI and walks its REG_MULTI_SZ bytes, whatever they are: a
// list without its final empty entry, an entry without a terminator, a
// property of size 0, or ids that change between the call that asks for
// the size and the one that reads them.
//
// Input: one byte of flags (bits 0-1: how many reads find changing ids
// first, bit 2: the device's driver key names its INF), then each changing
// read as a 2-byte little-endian length and that many bytes, then the
// device's settled hardware ids (empty: it has none).
//
// Checked against a model of what the walk must show: the whole trace (tag
// and message pairs), whether the device was removed and its INF deleted,
// that an ordinary device after it is still walked, and that no handle is
// left open.
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/host/simulated_paths.h"
#include "tests/kit_facts/letter_case.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/kit_facts/veskot_messages.h"
#include "uninstaller/device_removal.h"
#include "winsim/simulated_windows.h"

namespace {
// The messages by their names, so that an expected trace reads as the trace.
using namespace veskot;

const std::string kInf = sim::InInfStore("oem7.inf");
const char kOtherId[] = "USB\\VID_0781&PID_5567";

struct Read {
  bool present;  // false: the device has no hardware ids (ERROR_INVALID_DATA)
  std::string bytes;
};

// Whether the entry contains one of the handset's ids, by the kit's fold.
bool NamesHandset(const std::string& entry) {
  for (const char* id : kit::kHandsetIds) {
    if (kit::UpperAscii(entry).find(id) != std::string::npos) {
      return true;
    }
  }
  return false;
}

// What the walk is given: the bytes of the read that succeeds with a
// buffer, or of a zeroed buffer when the ids vanish after one was taken;
// nothing when no buffer is ever needed or the ids are never there.
bool WalkedBytes(const std::vector<Read>& changes, const Read& settled, std::string* walked) {
  bool buffer = false;
  size_t bufferSize = 0;
  for (size_t call = 0;; ++call) {
    const Read& read = call < changes.size() ? changes[call] : settled;
    if (!read.present) {
      *walked = std::string(bufferSize, '\0');
      return buffer;
    }
    if (buffer ? bufferSize >= read.bytes.size() : read.bytes.empty()) {
      *walked = read.bytes;
      return buffer;
    }
    bufferSize = read.bytes.size();
    buffer = true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const unsigned changeCount = data[0] & 3;
  const bool infPath = (data[0] & 4) != 0;
  size_t at = 1;
  std::vector<Read> changes;
  for (unsigned i = 0; i < changeCount; ++i) {
    size_t length = 0;
    if (at + 2 <= size) {
      length = data[at] | static_cast<size_t>(data[at + 1]) << 8;
      at += 2;
    } else {
      at = size;
    }
    length = length < size - at ? length : size - at;
    changes.push_back({true, std::string(reinterpret_cast<const char*>(data + at), length)});
    at += length;
  }
  const std::string settledBytes(reinterpret_cast<const char*>(data + at), size - at);
  const Read settled = {!settledBytes.empty(), settledBytes};

  winsim::Reset();
  nDeletedInf = 0;
  winsim::Machine& m = winsim::machine();
  // A staged copy of the kit's package, which names the handset.
  m.AddFile(kInf,
            "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\nOrvane=Orvane\r\n[Orvane]\r\n"
            "Diag=QcSer,USB\\VID_3A8D&PID_6C31&MI_01\r\n");
  winsim::Device& device = m.AddDevice("USB\\FUZZ\\1", settledBytes);
  for (const Read& change : changes) {
    device.changingHardwareIds.push_back(change.bytes);
  }
  device.driverKey = sim::DriverKey(kit::kUsbClass, "0001");
  m.AddKey(device.driverKey);
  if (infPath) {
    m.SetValue(device.driverKey, kit::kInfPathValue, REG_SZ, std::string("oem7.inf", 9));
  }
  winsim::Device& other = m.AddDevice("USB\\VID_0781&PID_5567\\2", winsim::MultiSz({kOtherId}));
  other.driverKey = sim::DriverKey(kit::kUsbClass, "0002");
  m.AddKey(other.driverKey);

  const int result = RemoveHandsetDevices();

  std::vector<std::string> expected;
  std::string walked;
  bool matched = false;
  if (WalkedBytes(changes, settled, &walked)) {
    expected.push_back(kInstance);
    const std::string buffer = walked + '\0';  // the zero byte past the reported size
    for (size_t offset = 0; offset < walked.size() && buffer[offset] != '\0';) {
      const std::string entry = buffer.c_str() + offset;
      expected.insert(expected.end(), {kEnterForLoop, entry, kEndOfId});
      if (NamesHandset(entry)) {
        matched = true;
        break;
      }
      offset += entry.size() + 1;
    }
  }
  if (matched && infPath) {
    expected.insert(expected.end(), {kDeleteInPkgQuickDel, FileFullPath(kInf)});
  } else if (matched) {
    expected.insert(expected.end(), {kNoInfPath, ErrorCode(ERROR_FILE_NOT_FOUND)});
  }
  expected.insert(expected.end(), {kInstance, kEnterForLoop, kOtherId, kEndOfId});

  const std::vector<std::string> output = m.debugOutput;
  FUZZ_CHECK(output == kit::Traced(kTag, expected), "the trace differs from the model\nexpected messages:\n" +
                                                        fuzz::Shown(expected) + "debugger output:\n" +
                                                        fuzz::Shown(output));
  FUZZ_CHECK(m.FindDevice("USB\\FUZZ\\1")->removed == matched,
             std::string("the device was ") + (matched ? "not " : "") + "removed");
  FUZZ_CHECK(!m.FindDevice("USB\\VID_0781&PID_5567\\2")->removed, "the ordinary device was removed");
  const bool deleted = matched && infPath;
  FUZZ_CHECK(m.Exists(kInf) != deleted && nDeletedInf == (deleted ? 1u : 0u), "the INF deletion is wrong");
  FUZZ_CHECK(result == 1, "the walk did not end on ERROR_NO_MORE_ITEMS");
  FUZZ_CHECK(
      m.OpenHandles(winsim::Handle::Kind::kDeviceSet) == 0 && m.OpenHandles(winsim::Handle::Kind::kKey) == 0,
      "a handle was left open");
  return 0;
}
