// SetupAPI staging: SetupCopyOEMInfA records every call and refuses the
// sources it is told to.
#include "winsim/simulated_windows.h"

using winsim::machine;

BOOL SetupCopyOEMInfA(PCSTR sourceInfFileName, PCSTR mediaLocation, DWORD mediaType, DWORD copyStyle,
                      PSTR destinationName, DWORD destinationSize, PDWORD requiredSize, PSTR* component) {
  winsim::Machine& m = machine();
  winsim::CopyOemInfCall call;
  call.sourceInfFileName = sourceInfFileName == nullptr ? "" : sourceInfFileName;
  call.mediaLocation = mediaLocation == nullptr ? "" : mediaLocation;
  call.mediaType = mediaType;
  call.copyStyle = copyStyle;
  call.destinationNameGiven = destinationName != nullptr;
  call.destinationSize = destinationSize;
  call.requiredSizeGiven = requiredSize != nullptr;
  call.componentGiven = component != nullptr;
  m.copyOemInfCalls.push_back(call);
  auto refused = m.refusedInfs.find(call.sourceInfFileName);
  if (refused != m.refusedInfs.end()) {
    m.lastError = refused->second;
    return FALSE;
  }
  return TRUE;
}
