// The trace channel (common/trace): Trace with the product's own formats and
// %s values of every length, and TraceText with any text. Checked: what
// reaches winsim's debugger output is exactly the trace tag and then the
// message, formatted by wsprintf's rules and cut only where wsprintf cuts
// (1023 characters), the text of TraceText whole and as it is; a '%' in a
// value is never read as a placeholder; nothing is written past the slot
// (AddressSanitizer).
//
// Input: one byte (bits 0-2: the format, bit 3: the pointer in the last
// format is null), then NUL-separated: the first value, the second value
// (whose first four bytes are the number for %d and %x), and the text for
// TraceText.
#include "tests/kit_facts/trace_channel.h"

#include <stdio.h>

#include <string>
#include <vector>

#include "common/trace.h"
#include "fuzz/fuzz_support.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/veskot_messages.h"
#include "winsim/simulated_windows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::vector<std::string> fields = fuzz::Fields(data, size, 3);
  const std::string& first = fields[0];
  const std::string& second = fields[1];
  const std::string text = fields[2].c_str();
  uint32_t number = 0;
  for (size_t i = 0; i < 4 && i < second.size(); ++i) {
    number |= static_cast<uint32_t>(static_cast<unsigned char>(second[i])) << (8 * i);
  }
  const int32_t signedNumber = static_cast<int32_t>(number);
  const bool null = (data[0] & 8) != 0;
  const fuzz::Block a(first);
  const fuzz::Block b(second);

  winsim::Reset();
  std::string expected;
  switch (data[0] & 7) {
    case 0:
      Trace("%s", a.get());
      expected = first;
      break;
    case 1:
      Trace("Full name: %s\n", a.get());
      expected = quorlin::FullName(first);
      break;
    case 2:
      Trace("Path too long, passed over: [%s\\inf\\%s]\n", a.get(), b.get());
      expected = veskot::PathTooLong(first + "\\inf\\" + second);
      break;
    case 3:
      Trace("Uninstall full name: [%s], line: %d", a.get(), signedNumber);
      expected = "Uninstall full name: [" + first + "], line: " + std::to_string(signedNumber);
      break;
    case 4:
      Trace("Delete file failed, try late, file: [%s], line: %d", a.get(), signedNumber);
      expected = "Delete file failed, try late, file: [" + first + "], line: " + std::to_string(signedNumber);
      break;
    case 5:
      Trace("Error code: 0x%x\n", number);
      expected = veskot::ErrorCode(number);
      break;
    case 6:
      Trace("Open Registry failed, Error code: 0x%8x\n", number);
      expected = veskot::OpenDriverKeyFailed(number);
      break;
    default:
      Trace("compare driver version!line:%d,pResult is %s", 1296,
            null ? static_cast<const char*>(NULL) : a.get());
      expected = veskot::ArgumentScan(null ? kit::kNullShown : first);
      break;
  }
  TraceText(text.c_str());

  const std::vector<std::string> output = winsim::machine().debugOutput;
  const std::vector<std::string> wanted = kit::Traced(veskot::kTag, {kit::AsSent(expected), text});
  FUZZ_CHECK(output == wanted,
             "the debugger output is\n" + fuzz::Shown(output) + "not\n" + fuzz::Shown(wanted));
  return 0;
}
