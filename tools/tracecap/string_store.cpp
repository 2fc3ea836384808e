#include "tools/tracecap/string_store.h"

#include <stdlib.h>
#include <string.h>

namespace {
// A record: this header, the name and its terminator, the text and its
// terminator, padded to the header's alignment.
struct RecordHeader {
  unsigned long time;
  unsigned long pid;
  size_t nameLength;
  size_t textLength;
};

size_t Padded(size_t size) {
  const size_t unit = sizeof(RecordHeader);
  return (size + unit - 1) / unit * unit;
}
}  // namespace

bool InitBatch(StringBatch* batch, size_t capacity) {
  batch->bytes = static_cast<char*>(malloc(capacity));
  batch->used = 0;
  batch->capacity = batch->bytes == NULL ? 0 : capacity;
  return batch->bytes != NULL;
}

void FreeBatch(StringBatch* batch) {
  free(batch->bytes);
  batch->bytes = NULL;
  batch->used = 0;
  batch->capacity = 0;
}

bool AppendToBatch(StringBatch* batch, const CaughtString& string) {
  const size_t nameLength = NameLength(string.name);
  const size_t room = batch->capacity - batch->used;
  if (string.length > room) {
    return false;
  }
  const size_t size = Padded(sizeof(RecordHeader) + nameLength + 1 + string.length + 1);
  if (size > room) {
    return false;
  }
  char* record = batch->bytes + batch->used;
  RecordHeader header = {string.time, string.pid, nameLength, string.length};
  memcpy(record, &header, sizeof(header));
  char* name = record + sizeof(header);
  CopyName(string.name, name);
  char* text = name + nameLength + 1;
  memcpy(text, string.text, string.length);
  text[string.length] = '\0';
  batch->used += size;
  return true;
}

bool NextInBatch(const StringBatch* batch, size_t* offset, CaughtString* string) {
  if (*offset >= batch->used) {
    return false;
  }
  const char* record = batch->bytes + *offset;
  RecordHeader header;
  memcpy(&header, record, sizeof(header));
  string->time = header.time;
  string->pid = header.pid;
  string->name = record + sizeof(header);
  string->text = string->name + header.nameLength + 1;
  string->length = header.textLength;
  *offset += Padded(sizeof(RecordHeader) + header.nameLength + 1 + header.textLength + 1);
  return true;
}
