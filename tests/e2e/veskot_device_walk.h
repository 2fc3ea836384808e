// The one expectation of Veskot's scenarios that is computed: the device
// step's messages. The step walks every device instance of the machine in
// the order SetupAPI lists them, and the machine brings devices of its own
// besides the test's, in an order of its own. The test states, literally,
// the messages of each instance it made; the machine's own devices, none of
// which names the handset, each send "Lumora_log0" and their hardware ids.
#ifndef KIT_TESTS_E2E_VESKOT_DEVICE_WALK_H
#define KIT_TESTS_E2E_VESKOT_DEVICE_WALK_H

#include <string>
#include <vector>

#include "tests/kit_facts/trace_channel.h"

namespace e2e {

// An instance the test made, the messages the device step sends for it,
// and what the removal of it answered (see VeskotScenario::RemoveAnswer).
struct StatedInstance {
  std::string instanceId;
  kit::Messages messages;
  kit::Messages removal;
};

// The device step's messages on this machine: the instances of the set in
// their order, the test's with the messages it stated. Fails the test when
// a stated instance is not in the set, or when a device it did not state
// names the handset.
kit::Messages DeviceWalk(const std::vector<StatedInstance>& stated);

}  // namespace e2e

#endif
