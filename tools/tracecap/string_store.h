// Where caught strings wait in memory between the thread that answers the
// debug-output buffer and the thread that prints them: a batch of records,
// filled by the one while the other prints the batch before. Plain C
// runtime only; the threads lock around it themselves.
#ifndef KIT_TRACECAP_STRING_STORE_H
#define KIT_TRACECAP_STRING_STORE_H

#include <stddef.h>

#include "tools/tracecap/line_format.h"

struct StringBatch {
  char* bytes;
  size_t used;
  size_t capacity;
};

// Takes `capacity` bytes for the batch; false when there are none.
bool InitBatch(StringBatch* batch, size_t capacity);
void FreeBatch(StringBatch* batch);

// Appends a copy of the string with its time, process id and program
// name (at most kNameSize - 1 bytes of it are kept). False, with the batch
// unchanged, when it does not fit.
bool AppendToBatch(StringBatch* batch, const CaughtString& string);

// The record at *offset, which moves on past it; false after the last.
// The string's text and name point into the batch.
bool NextInBatch(const StringBatch* batch, size_t* offset, CaughtString* string);

#endif
