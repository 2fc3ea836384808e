#include "tools/tracecap/line_format.h"

#include <stdlib.h>
#include <string.h>

namespace {
// The trace tags of the kit's two programs: each sends its tag as a
// string of its own right before every message.
const char* const kKitTags[] = {"..Quorlin32 - Zenor", "..Veskot - Zenor"};
const char kJoint[] = " | ";

const char* KitTag(const char* text, size_t length) {
  for (const char* tag : kKitTags) {
    if (strlen(tag) == length && memcmp(tag, text, length) == 0) {
      return tag;
    }
  }
  return NULL;
}

// Decimal digits of `value` at `out`, at least `width` of them with
// leading zeros; returns the end.
char* PutNumber(char* out, unsigned long value, int width = 1) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 || count < width);
  while (count > 0) {
    *out++ = digits[--count];
  }
  return out;
}

char* PutText(char* out, const char* text) {
  const size_t length = strlen(text);
  memcpy(out, text, length);
  return out + length;
}

bool Reserve(LineWriter* writer, size_t size) {
  if (size <= writer->capacity) {
    return true;
  }
  char* bigger = static_cast<char*>(malloc(size));
  if (bigger == NULL) {
    return false;
  }
  free(writer->buffer);
  writer->buffer = bigger;
  writer->capacity = size;
  return true;
}

void Release(HeldTag* held) { held->used = false; }

bool WriteHeld(LineWriter* writer, HeldTag* held) {
  CaughtString string = {held->time, held->pid, held->started ? NULL : held->name, held->tag,
                         strlen(held->tag)};
  const bool written = WriteLine(writer, string, NULL);
  Release(held);
  return written;
}

HeldTag* HeldFor(LineJoiner* joiner, unsigned long pid) {
  for (HeldTag& held : joiner->held) {
    if (held.used && held.pid == pid) {
      return &held;
    }
  }
  return NULL;
}

HeldTag* Oldest(LineJoiner* joiner) {
  HeldTag* oldest = NULL;
  for (HeldTag& held : joiner->held) {
    if (held.used && (oldest == NULL || held.order < oldest->order)) {
      oldest = &held;
    }
  }
  return oldest;
}
}  // namespace

size_t NameLength(const char* name) {
  size_t length = 0;
  while (name != NULL && name[length] != '\0' && length + 1 < kNameSize) {
    ++length;
  }
  return length;
}

void CopyName(const char* name, char* out) {
  const size_t length = NameLength(name);
  memcpy(out, name == NULL ? "" : name, length);
  out[length] = '\0';
}

size_t EscapedLength(size_t length) { return length * 4; }

size_t EscapeDebugBytes(const char* text, size_t length, char* out) {
  static const char kHex[] = "0123456789ABCDEF";
  size_t n = 0;
  for (size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n' || c == '\r' || c == '\\') {
      out[n++] = '\\';
      out[n++] = c == '\n' ? 'n' : c == '\r' ? 'r' : '\\';
    } else if (c < 0x20 || c > 0x7E) {
      out[n++] = '\\';
      out[n++] = 'x';
      out[n++] = kHex[c >> 4];
      out[n++] = kHex[c & 0xF];
    } else {
      out[n++] = static_cast<char>(c);
    }
  }
  out[n] = '\0';
  return n;
}

size_t FormatDropNote(unsigned long dropped, char* out) {
  char* end = PutText(out, "dropped ");
  end = PutNumber(end, dropped);
  end = PutText(end, dropped == 1 ? " string here" : " strings here");
  end = PutText(end, ": the output was not read fast enough");
  *end = '\0';
  return static_cast<size_t>(end - out);
}

namespace {
// At most `room` bytes of `text`, escaped.
char* PutEscaped(char* out, const char* text, size_t room) {
  size_t length = strlen(text);
  length = length < room ? length : room;
  return out + EscapeDebugBytes(text, length, out);
}
}  // namespace

size_t FormatCaptureHeader(const CaptureFacts& facts, char* out) {
  char* end = PutText(out, "# tracecap listening since ");
  end = PutNumber(end, static_cast<unsigned long>(facts.year), 4);
  *end++ = '-';
  end = PutNumber(end, static_cast<unsigned long>(facts.month), 2);
  *end++ = '-';
  end = PutNumber(end, static_cast<unsigned long>(facts.day), 2);
  *end++ = ' ';
  end = PutNumber(end, static_cast<unsigned long>(facts.hour), 2);
  *end++ = ':';
  end = PutNumber(end, static_cast<unsigned long>(facts.minute), 2);
  *end++ = ':';
  end = PutNumber(end, static_cast<unsigned long>(facts.second), 2);
  *end++ = '.';
  end = PutNumber(end, static_cast<unsigned long>(facts.millisecond), 3);
  *end++ = ' ';
  *end++ = facts.utcOffsetMinutes < 0 ? '-' : '+';
  const unsigned long offset = static_cast<unsigned long>(
      facts.utcOffsetMinutes < 0 ? -facts.utcOffsetMinutes : facts.utcOffsetMinutes);
  end = PutNumber(end, offset / 60, 2);
  *end++ = ':';
  end = PutNumber(end, offset % 60, 2);
  end = PutText(end, " on ");
  end = PutEscaped(end, facts.computer, 64);
  end = PutText(end, ", Windows ");
  end = PutNumber(end, facts.major);
  *end++ = '.';
  end = PutNumber(end, facts.minor);
  end = PutText(end, " build ");
  end = PutNumber(end, facts.build);
  if (facts.servicePack[0] != '\0') {
    *end++ = ' ';
    end = PutEscaped(end, facts.servicePack, 128);
  }
  end = PutText(end, facts.is64 ? ", 64-bit" : ", 32-bit");
  end = PutText(end, facts.global ? "; to this session and session 0\n" : "; to this session\n");
  *end = '\0';
  return static_cast<size_t>(end - out);
}

void InitLineWriter(LineWriter* writer, LineShape shape, LineSink sink, void* context) {
  writer->shape = shape;
  writer->sink = sink;
  writer->context = context;
  writer->buffer = NULL;
  writer->capacity = 0;
}

void FreeLineWriter(LineWriter* writer) {
  free(writer->buffer);
  writer->buffer = NULL;
  writer->capacity = 0;
}

bool WriteLine(LineWriter* writer, const CaughtString& string, const char* tag) {
  const char* name = string.name == NULL ? "" : string.name;
  const size_t tagLength = tag == NULL ? 0 : strlen(tag);
  // Two numbers of at most 20 digits, three tabs, the joint and the line
  // feed, with room to spare.
  const size_t size = 64 + strlen(name) + EscapedLength(tagLength) + EscapedLength(string.length);
  if (!Reserve(writer, size)) {
    return false;
  }
  char* out = writer->buffer;
  if (writer->shape == kLineListen) {
    out = PutNumber(out, string.time);
    *out++ = '\t';
  }
  if (writer->shape == kLineListen || string.name != NULL) {
    out = PutNumber(out, string.pid);
    *out++ = '\t';
    out = PutText(out, name);
    *out++ = '\t';
  }
  if (tag != NULL) {
    out += EscapeDebugBytes(tag, tagLength, out);
    out = PutText(out, kJoint);
  }
  out += EscapeDebugBytes(string.text, string.length, out);
  *out++ = '\n';
  writer->sink(writer->buffer, static_cast<size_t>(out - writer->buffer), writer->context);
  return true;
}

void InitLineJoiner(LineJoiner* joiner, bool joined, LineWriter* writer) {
  joiner->joined = joined;
  joiner->writer = writer;
  joiner->count = 0;
  for (HeldTag& held : joiner->held) {
    held.used = false;
  }
}

bool JoinString(LineJoiner* joiner, const CaughtString& string) {
  if (!joiner->joined) {
    return WriteLine(joiner->writer, string, NULL);
  }
  HeldTag* held = HeldFor(joiner, string.pid);
  const char* tag = KitTag(string.text, string.length);
  if (tag == NULL) {
    if (held == NULL) {
      return WriteLine(joiner->writer, string, NULL);
    }
    const char* heldTag = held->tag;
    Release(held);
    return WriteLine(joiner->writer, string, heldTag);
  }
  bool written = true;
  if (held != NULL) {
    written = WriteHeld(joiner->writer, held);
  } else {
    for (HeldTag& slot : joiner->held) {
      if (!slot.used) {
        held = &slot;
        break;
      }
    }
    if (held == NULL) {
      held = Oldest(joiner);
      written = WriteHeld(joiner->writer, held);
    }
  }
  held->used = true;
  held->started = string.name == NULL;
  held->order = joiner->count++;
  held->time = string.time;
  held->pid = string.pid;
  held->tag = tag;
  CopyName(string.name, held->name);
  return written;
}

bool FlushHeldTags(LineJoiner* joiner, unsigned long pid) {
  bool written = true;
  for (;;) {
    HeldTag* held = pid == kEveryProcess ? Oldest(joiner) : HeldFor(joiner, pid);
    if (held == NULL) {
      return written;
    }
    written = WriteHeld(joiner->writer, held) && written;
  }
}
