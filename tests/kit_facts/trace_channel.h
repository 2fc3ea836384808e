// How the programs' trace reaches a debugger: each message goes out as two
// debug strings, the program's trace tag and then the message, formatted
// by wsprintf's rules. The debug strings a list of messages makes, and the
// messages read back from debug strings.
#ifndef KIT_TESTS_KIT_FACTS_TRACE_CHANNEL_H
#define KIT_TESTS_KIT_FACTS_TRACE_CHANNEL_H

#include <stddef.h>

#include <string>
#include <vector>

namespace kit {

typedef std::vector<std::string> Messages;

// wsprintf keeps at most 1023 characters of a message.
inline constexpr size_t kLongestMessage = 1023;

// The message as wsprintf leaves it.
inline std::string AsSent(const std::string& message) { return message.substr(0, kLongestMessage); }

// What a %s of a null pointer becomes in a message.
inline constexpr char kNullShown[] = "(null)";

// The debug strings the messages make: the tag before each.
inline std::vector<std::string> Traced(const std::string& tag, const Messages& messages) {
  std::vector<std::string> strings;
  for (const std::string& message : messages) {
    strings.push_back(tag);
    strings.push_back(message);
  }
  return strings;
}

// The messages of debug strings that are pairs of `tag` and a message.
// False, with the first fault said in *problem, when a string that should
// be the tag is not, or the last tag has no message; *messages then holds
// the messages up to the fault.
inline bool SplitTraced(const std::vector<std::string>& strings, const std::string& tag, Messages* messages,
                        std::string* problem) {
  messages->clear();
  for (size_t i = 0; i < strings.size(); i += 2) {
    if (strings[i] != tag) {
      *problem = "debug string " + std::to_string(i) + " is \"" + strings[i] + "\", not the trace tag";
      return false;
    }
    if (i + 1 == strings.size()) {
      *problem = "the last trace tag has no message";
      return false;
    }
    messages->push_back(strings[i + 1]);
  }
  return true;
}

}  // namespace kit

#endif
