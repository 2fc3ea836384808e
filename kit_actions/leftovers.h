// What is left of the kit's folders once Veskot.exe has run.
#ifndef KIT_KIT_ACTIONS_LEFTOVERS_H
#define KIT_KIT_ACTIONS_LEFTOVERS_H

// Deletes the folder `folder` with what is left in it, and registers for
// deletion at the next restart whatever cannot go now (a file in use).
// A link to a folder goes as a link: what it points to is not entered.
// True when something of the folder is still there: registered, or, where
// even that failed, left.
bool RemoveLeftovers(const char* folder);

#endif
