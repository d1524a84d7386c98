// Fuzz target: the journal's reading, on arbitrary bytes; a journal that
// reads is written again to the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "setup/core/journal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Journal journal;
    const char* bytes = reinterpret_cast<const char*>(data);
    if (!ReadJournalText(bytes, size, &journal))
        return 0;
    std::string text(size + 1, '\0');
    const size_t length = FormatJournal(journal, &text[0], text.size());
    if (CurrentJournalApp(journal) >= journal.appCount)
        __builtin_trap();
    // Numbers may be written shorter ("007" reads as 7), never longer.
    if (length == 0 || length > size)
        __builtin_trap();
    return 0;
}
