// How tracecap writes what it caught: every debug string as one printable
// line, escaped, and in the joined view each of the kit's messages on the
// line of the trace tag it follows. Plain C runtime only, so that it is
// built into tracecap.exe and into the host tests alike.
#ifndef KIT_TRACECAP_LINE_FORMAT_H
#define KIT_TRACECAP_LINE_FORMAT_H

#include <stddef.h>

// The longest escaped form of `length` bytes, without the terminator.
size_t EscapedLength(size_t length);

// Writes the bytes as one printable line into `out`, which holds at least
// EscapedLength(length) + 1 bytes: \n, \r and \\ as escapes, every byte
// outside printable ASCII as \xHH. Returns the length written.
size_t EscapeDebugBytes(const char* text, size_t length, char* out);

// The text of the line that stands where `dropped` strings were not kept
// because the output was not read fast enough; `out` holds kDropNoteSize
// bytes. Returns its length.
const size_t kDropNoteSize = 96;
size_t FormatDropNote(unsigned long dropped, char* out);

// What the header line of a capture in an --out file tells: when listening
// began, on which machine, and what it listens to.
struct CaptureFacts {
  int year, month, day, hour, minute, second, millisecond;  // local time
  long utcOffsetMinutes;                                    // local time minus UTC
  const char* computer;
  unsigned long major, minor, build;
  const char* servicePack;  // "" for none
  bool is64;                // 64-bit Windows
  bool global;              // the session-0 buffer too
};

// "# tracecap listening since 2026-12-09 14:03:07.125 +01:00 on PC7, Windows
// 6.1 build 7601 Service Pack 1, 64-bit; to this session\n", with the
// computer's name and the service pack escaped; `out` holds kHeaderSize
// bytes. Returns its length.
const size_t kHeaderSize = 1200;
size_t FormatCaptureHeader(const CaptureFacts& facts, char* out);

// The longest program name a line carries, terminator included.
const size_t kNameSize = 260;

// The length of `name` as a line carries it: at most kNameSize - 1 bytes,
// 0 for null.
size_t NameLength(const char* name);

// Copies `name` so cut, with its terminator, into `out` (kNameSize bytes).
void CopyName(const char* name, char* out);

// One debug string as it was caught.
struct CaughtString {
  unsigned long time;  // milliseconds since listening began
  unsigned long pid;
  // The program's file name ("unknown" when it could not be looked up),
  // or null for the program that tracecap started itself.
  const char* name;
  const char* text;
  size_t length;
};

// The shape of a line. In listen mode: the time, the process id, the
// program's name and the string, separated by tabs. In launch mode: the
// process id, the name and the string for the programs that PROGRAM
// started, and the string alone for PROGRAM itself, as it always was.
// Escaped strings never hold a tab.
enum LineShape { kLineListen, kLineLaunch };

// Receives each finished line, with its line feed.
typedef void (*LineSink)(const char* line, size_t length, void* context);

// Builds lines into a buffer of its own and hands them to a sink.
struct LineWriter {
  LineShape shape;
  LineSink sink;
  void* context;
  char* buffer;
  size_t capacity;
};

void InitLineWriter(LineWriter* writer, LineShape shape, LineSink sink, void* context);
void FreeLineWriter(LineWriter* writer);

// Formats one line: the string, or with a trace tag "tag | string".
// False when no memory could be had for it.
bool WriteLine(LineWriter* writer, const CaughtString& string, const char* tag);

// A trace tag held in the joined view until its process sends its message.
struct HeldTag {
  bool used;
  bool started;  // the program that tracecap started itself
  unsigned long order;
  unsigned long time;
  unsigned long pid;
  const char* tag;
  char name[kNameSize];
};

const int kHeldTags = 32;

// The joined view: a string that is one of the kit's trace tags is held
// until the next string of the same process, and the two then make one
// line, "tag | message". A tag followed by another tag, or still held at
// the end, is written alone; so is the oldest held tag when more than
// kHeldTags processes hold one. Without `joined`, every string is a line
// of its own.
struct LineJoiner {
  bool joined;
  LineWriter* writer;
  unsigned long count;
  HeldTag held[kHeldTags];
};

void InitLineJoiner(LineJoiner* joiner, bool joined, LineWriter* writer);

// Takes one caught string; its text and name are needed only during the
// call. False when a line could not be written for want of memory.
bool JoinString(LineJoiner* joiner, const CaughtString& string);

// Writes, alone, the tag still held for process `pid` (it has ended), or
// for kEveryProcess every tag still held, oldest first.
const unsigned long kEveryProcess = ~0UL;
bool FlushHeldTags(LineJoiner* joiner, unsigned long pid);

#endif
