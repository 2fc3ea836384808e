// Known gaps of Wine, checked as expected failures: a check of what
// Windows does that Wine cannot do yet still runs under Wine, its failures
// are reported as the known gap and the test goes on; when it passes, the
// gap has been closed and the test fails until the mark is taken away. On
// Windows the check is an ordinary one.
#ifndef KIT_TESTS_WINE_KNOWN_WINE_GAP_H
#define KIT_TESTS_WINE_KNOWN_WINE_GAP_H

#include <functional>
#include <string>

namespace wine {

// The gaps the tests meet, each as it shows.
inline constexpr char kNoClassInstallParams[] =
    "Wine 8's SetupDiSetClassInstallParamsA is a stub (ERROR_CALL_NOT_IMPLEMENTED): no device instance "
    "can be removed through the class installer";
inline constexpr char kNoJunctions[] =
    "Wine 8 cannot make a junction (FSCTL_SET_REPARSE_POINT fails with ERROR_NOT_SUPPORTED)";

// Runs `check`, the test's checks of what Windows does, on this thread.
// Under Wine its failures are expected: one "[ KNOWN GAP ]" line says
// `gap` and the first of them, and the test goes on; if none comes, the
// test fails with "now passes". A fatal failure ends `check`, as it would
// end a test. On Windows every failure of `check` is the test's.
void KnownWineGap(const std::string& gap, const std::function<void()>& check);

}  // namespace wine

#endif
