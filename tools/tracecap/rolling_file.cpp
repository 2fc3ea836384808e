#include "tools/tracecap/rolling_file.h"

#include <string.h>

#include "tools/tracecap/capture_header.h"

namespace {
// A part that continues the capture starts with this and the capture's
// own header after its "# tracecap":
// "# tracecap continues the capture, listening since 2026-12-09 ...".
const char kContinues[] = "# tracecap continues the capture,";
const size_t kHeaderLead = sizeof("# tracecap") - 1;

// Says once that the file takes no more; the console goes on.
void Failed(RollingFile* out) {
  if (!out->failed) {
    out->failed = true;
    fprintf(stderr,
            "tracecap: cannot write to %s any more (is the disk full, or gone?); the console goes on\n",
            out->path);
  }
}

void Put(RollingFile* out, const char* bytes, size_t length) {
  if (fwrite(bytes, 1, length, out->file) != length) {
    Failed(out);
  }
  out->size += static_cast<unsigned long>(length);
}

// The older part's name: ".1" before the extension of the file's name,
// or after the name when it has none. False when it is too long.
bool NameOlderPart(RollingFile* out) {
  const char* path = out->path;
  const size_t length = strlen(path);
  if (length + 3 > sizeof(out->olderPath)) {
    return false;
  }
  size_t dot = length;
  for (size_t i = length; i > 0 && path[i - 1] != '\\' && path[i - 1] != '/' && path[i - 1] != ':'; --i) {
    if (path[i - 1] == '.') {
      dot = i - 1;
      break;
    }
  }
  memcpy(out->olderPath, path, dot);
  memcpy(out->olderPath + dot, ".1", 2);
  memcpy(out->olderPath + dot + 2, path + dot, length - dot + 1);
  return true;
}

// Renames the closed file to its older part, replacing the one before.
bool MakeOlderPart(RollingFile* out) {
  if (MoveFileExA(out->path, out->olderPath, MOVEFILE_REPLACE_EXISTING)) {
    out->size = 0;
    return true;
  }
  if (!out->renameFailed) {
    out->renameFailed = true;
    fprintf(stderr,
            "tracecap: cannot rename %s to %s (error %lu; is one of them open in another program?); %s grows "
            "past --max-size until it can\n",
            out->path, out->olderPath, GetLastError(), out->path);
  }
  return false;
}
}  // namespace

bool OpenRollingFile(RollingFile* out, const char* path, unsigned long limit, bool global) {
  out->file = NULL;
  out->path = path;
  out->limit = limit;
  out->size = 0;
  out->failed = false;
  out->renameFailed = false;
  if (path == NULL) {
    return true;
  }
  out->headerLength = FormatHeaderOfNow(global, out->header);
  if (limit > 0) {
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA(path, &found);
    if (find != INVALID_HANDLE_VALUE) {
      FindClose(find);
      out->size = found.nFileSizeHigh != 0 ? limit : found.nFileSizeLow;
    }
    if (!NameOlderPart(out)) {
      return false;
    }
    if (out->size > limit - out->headerLength) {
      MakeOlderPart(out);
    }
  }
  out->file = fopen(path, "ab");
  if (out->file == NULL) {
    return false;
  }
  Put(out, out->header, out->headerLength);
  FlushRolling(out);
  return true;
}

void WriteRolling(RollingFile* out, const char* line, size_t length) {
  if (out->file == NULL || out->failed) {
    return;
  }
  if (out->limit > 0 && (out->size > out->limit || length > out->limit - out->size)) {
    const bool closed = fclose(out->file) == 0;
    const bool moved = closed && MakeOlderPart(out);
    out->file = closed ? fopen(out->path, "ab") : NULL;
    if (out->file == NULL) {
      Failed(out);
      return;
    }
    if (moved) {
      Put(out, kContinues, sizeof(kContinues) - 1);
      Put(out, out->header + kHeaderLead, out->headerLength - kHeaderLead);
    }
  }
  Put(out, line, length);
}

void FlushRolling(RollingFile* out) {
  if (out->file != NULL && !out->failed && fflush(out->file) != 0) {
    Failed(out);
  }
}

bool CloseRollingFile(RollingFile* out) {
  if (out->file != NULL) {
    if (fflush(out->file) != 0 || ferror(out->file)) {
      Failed(out);
    }
    fclose(out->file);
  }
  return !out->failed && !out->renameFailed;
}
