#include "tests/e2e/veskot_device_walk.h"

#include <map>

#include "gtest/gtest.h"
#include "tests/kit_facts/letter_case.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/wine/devices.h"

namespace e2e {

kit::Messages DeviceWalk(const std::vector<StatedInstance>& stated) {
  std::vector<wine::DeviceRecord> records;
  EXPECT_TRUE(wine::ListDeviceInstances(&records));
  std::map<std::string, const StatedInstance*> left;
  for (const StatedInstance& instance : stated) {
    left[kit::UpperAscii(instance.instanceId)] = &instance;
  }
  kit::Messages messages;
  for (const wine::DeviceRecord& record : records) {
    const auto found = left.find(kit::UpperAscii(record.instanceId));
    if (found != left.end()) {
      messages.insert(messages.end(), found->second->messages.begin(), found->second->messages.end());
      messages.insert(messages.end(), found->second->removal.begin(), found->second->removal.end());
      left.erase(found);
      continue;
    }
    if (record.hardwareIds.empty()) {
      continue;
    }
    messages.push_back(veskot::kInstance);
    for (const std::string& id : record.hardwareIds) {
      EXPECT_FALSE(wine::NamesHandset(id)) << record.instanceId << " is a handset instance no test stated";
      messages.insert(messages.end(), {veskot::kEnterForLoop, id, veskot::kEndOfId});
    }
  }
  for (const auto& missing : left) {
    ADD_FAILURE() << "the device instance " << missing.second->instanceId << " is not in the set";
  }
  return messages;
}

}  // namespace e2e
