// Staging of one INF file of the driver package into the Windows INF store.
#ifndef KIT_INSTALLER_INF_STAGING_H
#define KIT_INSTALLER_INF_STAGING_H

// Hands `folder`\`infFileName` to SetupCopyOEMInfA with `folder` as the
// source media location. 1 once the full name was built, whether or not
// Windows took the file; 0 when no buffer could be taken for the name or
// the name would not fit in MAX_PATH.
int PkgCopyInf(const char* folder, const char* infFileName);

#endif
