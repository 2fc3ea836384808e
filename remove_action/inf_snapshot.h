// The INF files of the Windows INF folder before Veskot runs, so that the
// precompiled copy (.pnf) of each one it deleted can go afterwards:
// Windows writes one beside every INF file it stages, and Veskot deletes
// the INF files only.
#ifndef KIT_REMOVE_ACTION_INF_SNAPSHOT_H
#define KIT_REMOVE_ACTION_INF_SNAPSHOT_H

#include <stddef.h>

struct InfSnapshot {
  char folder[260];  // the INF folder, with its final backslash
  char* names;       // the names without ".inf", each with its terminator
  size_t used;
  size_t capacity;
};

// Lists the INF files of the INF folder. A listing that could not be
// made whole is empty: then no .pnf file is deleted.
void TakeInfSnapshot(InfSnapshot* snapshot);

// Deletes the .pnf file of every listed INF file that is gone now.
void DeletePnfOfRemovedInfs(const InfSnapshot* snapshot);

void FreeInfSnapshot(InfSnapshot* snapshot);

#endif
