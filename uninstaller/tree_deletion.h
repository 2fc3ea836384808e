// Deletion of a folder with everything in it.
#ifndef KIT_UNINSTALLER_TREE_DELETION_H
#define KIT_UNINSTALLER_TREE_DELETION_H

// Deletes the folder `path`, its files and its subfolders at any depth. A
// file that resists deletion gets a second try after the program whose
// executable name contains the file's name, and whose program file lies
// inside `path`, has been ended (FindKitProgram). Links to other
// folders, `path` itself included, are removed, never followed. 0 only when
// no working buffer could be taken, else 1.
int PkgDeleteFile(const char* path);

// Writes the part of `path` after its last backslash (all of it when it
// has none) into the 260-byte buffer `out`. 0 for a null argument, and for
// a part of 260 characters or more, which does not fit and is not cut
// (`out` is then empty); else 1.
int Transf2FileName(char* out, const char* path);

#endif
