// The tests' own statement of the kit's facts, kept apart from the
// product's constants so that every test checks the product against an
// independent statement. Header-only C++17 without GoogleTest, for the host
// tests, the end-to-end tests, the fuzz targets and the benchmarks alike:
// - names.h: registry keys and value names, folders, program and package
//   files, the handset's ids, the product, the prompt, setup classes;
// - letter_case.h: the kit's ASCII case fold;
// - windows_releases.h: the Windows releases and what each program does
//   on each, 32-bit and 64-bit;
// - trace_channel.h: a message as two debug strings, tag then message,
//   and the messages read back from them;
// - shared_messages.h: the messages both programs send alike;
// - quorlin_messages.h, veskot_messages.h: each program's tag and every
//   message it sends, as it sends it.
// This header includes them all.
#ifndef KIT_TESTS_KIT_FACTS_KIT_FACTS_H
#define KIT_TESTS_KIT_FACTS_KIT_FACTS_H

#include "tests/kit_facts/letter_case.h"
#include "tests/kit_facts/names.h"
#include "tests/kit_facts/quorlin_messages.h"
#include "tests/kit_facts/shared_messages.h"
#include "tests/kit_facts/trace_channel.h"
#include "tests/kit_facts/veskot_messages.h"
#include "tests/kit_facts/windows_releases.h"

#endif
